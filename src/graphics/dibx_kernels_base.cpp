// Row kernels for the baseline instruction set of the build (SSE2 on x86-64).
#pragma GCC optimize("O3")
#include "graphics/dibx_kernels.h"

#define VORN_KERNEL_NS vorn::kernels_base
#include "graphics/dibx_kernels_impl.h"

namespace vorn::kernels_base {
extern constinit const DibxKernels<Fmt555> k555 = Make<Fmt555>("baseline");
extern constinit const DibxKernels<Fmt565> k565 = Make<Fmt565>("baseline");
extern constinit const DibxKernels<Fmt8888> k8888 = Make<Fmt8888>("baseline");
}  // namespace vorn::kernels_base
