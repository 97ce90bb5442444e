// Choosing the row kernels: the best compiled instruction set the processor reports, decided
// once on first use; the tables themselves are constants.
#include "graphics/dibx_kernels.h"

namespace vorn {

namespace kernels_base {
extern const DibxKernels<Fmt555> k555;
extern const DibxKernels<Fmt565> k565;
extern const DibxKernels<Fmt8888> k8888;
}  // namespace kernels_base

#if defined(__x86_64__) || defined(__i386__)
#define VORN_HAVE_AVX2_KERNELS 1
namespace kernels_avx2 {
extern const DibxKernels<Fmt555> k555;
extern const DibxKernels<Fmt565> k565;
extern const DibxKernels<Fmt8888> k8888;
}  // namespace kernels_avx2
#endif

namespace {

bool HasAvx2() {
#ifdef VORN_HAVE_AVX2_KERNELS
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2");
#else
  return false;
#endif
}

template <class F>
struct Table;
#ifdef VORN_HAVE_AVX2_KERNELS
#define VORN_TABLE(Fmt, name)                                                                       \
  template <>                                                                                       \
  struct Table<Fmt> {                                                                               \
    static const DibxKernels<Fmt>& Base() { return kernels_base::name; }                            \
    static const DibxKernels<Fmt>* Avx2() { return &kernels_avx2::name; }                           \
  };
#else
#define VORN_TABLE(Fmt, name)                                                                       \
  template <>                                                                                       \
  struct Table<Fmt> {                                                                               \
    static const DibxKernels<Fmt>& Base() { return kernels_base::name; }                            \
    static const DibxKernels<Fmt>* Avx2() { return nullptr; }                                       \
  };
#endif
VORN_TABLE(Fmt555, k555)
VORN_TABLE(Fmt565, k565)
VORN_TABLE(Fmt8888, k8888)

}  // namespace

template <class F>
int KernelVariantCount() {
  static const int count = (Table<F>::Avx2() && HasAvx2()) ? 2 : 1;
  return count;
}

template <class F>
const DibxKernels<F>& KernelVariant(int i) {
  return i == 1 && KernelVariantCount<F>() > 1 ? *Table<F>::Avx2() : Table<F>::Base();
}

template <class F>
const DibxKernels<F>& Kernels() {
  static const DibxKernels<F>& best = KernelVariant<F>(KernelVariantCount<F>() - 1);
  return best;
}

template const DibxKernels<Fmt555>& Kernels<Fmt555>();
template const DibxKernels<Fmt565>& Kernels<Fmt565>();
template const DibxKernels<Fmt8888>& Kernels<Fmt8888>();
template int KernelVariantCount<Fmt555>();
template int KernelVariantCount<Fmt565>();
template int KernelVariantCount<Fmt8888>();
template const DibxKernels<Fmt555>& KernelVariant<Fmt555>(int);
template const DibxKernels<Fmt565>& KernelVariant<Fmt565>(int);
template const DibxKernels<Fmt8888>& KernelVariant<Fmt8888>(int);

}  // namespace vorn
