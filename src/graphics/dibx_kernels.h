// The row kernels of the compositing surface: one template per operation over the pixel
// format traits, compiled once per instruction set (see dibx_kernels_*.cpp) and chosen at
// run time. Each kernel blends n pixels of one row; flips are resolved by the caller.
#pragma once

#include <cstdint>

#include "graphics/pixel_format.h"

namespace vorn {

template <class F>
struct DibxKernels {
  using P = typename F::Pixel;
  const char* isa;
  // Opaque copy; with useKey, source pixels equal to key are skipped.
  void (*copy)(P* d, const P* s, int n, bool useKey, uint32_t key);
  // Formula 1; skips key pixels (useKey) and pixels where source equals destination.
  void (*translucent)(P* d, const P* s, int n, uint32_t alpha, bool useKey, uint32_t key);
  // Formula 2: k 0 leaves, 255 copies, else formula 1 with k.
  void (*mask)(P* d, const P* s, const uint8_t* m, int n);
  // Formula 3: b = (alpha x k) shr 8; k 0 leaves.
  void (*maskTranslucent)(P* d, const P* s, const uint8_t* m, int n, uint32_t alpha);
  // Formula 4 with amount 0..255; key pixels skipped when useKey.
  void (*add)(P* d, const P* s, int n, uint32_t amount, bool useKey, uint32_t key);
  // Formula 5: amount (amount x k) shr 8.
  void (*maskAdd)(P* d, const P* s, const uint8_t* m, int n, uint32_t amount);
  // Formula 1 with the fill pixel as source; destination pixels equal to it are skipped.
  void (*fillTranslucent)(P* d, int n, uint32_t pixel, uint32_t alpha);
  void (*addColor)(P* d, int n, uint32_t pixel);
  void (*subColor)(P* d, int n, uint32_t pixel);
  // Formula 7: k != 0 mixes the pixel with b = (alpha x k) shr 8.
  void (*fillMask)(P* d, const uint8_t* m, int n, uint32_t pixel, uint32_t alpha);
};

// The kernels for the best instruction set this processor has (chosen once).
template <class F>
const DibxKernels<F>& Kernels();
// Every compiled variant this processor can run, the baseline first (for tests and benches).
template <class F>
int KernelVariantCount();
template <class F>
const DibxKernels<F>& KernelVariant(int i);

}  // namespace vorn
