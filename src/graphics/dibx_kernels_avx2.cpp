// Row kernels compiled for AVX2; used only when the processor reports it.
#if defined(__x86_64__) || defined(__i386__)
#pragma GCC optimize("O3")
#pragma GCC target("avx2")
#define VORN_HAVE_AVX2_KERNELS 1
#endif
#include "graphics/dibx_kernels.h"

#ifdef VORN_HAVE_AVX2_KERNELS
#define VORN_KERNEL_NS vorn::kernels_avx2
#include "graphics/dibx_kernels_impl.h"

namespace vorn::kernels_avx2 {
extern constinit const DibxKernels<Fmt555> k555 = Make<Fmt555>("avx2");
extern constinit const DibxKernels<Fmt565> k565 = Make<Fmt565>("avx2");
extern constinit const DibxKernels<Fmt8888> k8888 = Make<Fmt8888>("avx2");
}  // namespace vorn::kernels_avx2
#endif
