// Helpers shared by the TDIBX implementation files: choosing the pixel format at run time,
// row pointers, and the clipping of positioned copies with flips.
#pragma once

#include <algorithm>
#include <cstdint>

#include "graphics/dibx.h"
#include "graphics/dibx_kernels.h"
#include "graphics/pixel_format.h"

namespace vorn::dibx_detail {

// Calls fn(Fmt{}) for the native formats; false for palette depths.
template <class Fn>
bool WithFormat(int bits, Fn&& fn) {
  switch (bits) {
    case 15: fn(Fmt555{}); return true;
    case 16: fn(Fmt565{}); return true;
    case 32: fn(Fmt8888{}); return true;
    default: return false;
  }
}

template <class F>
typename F::Pixel* DstRow(TDIBSurface& s, int32_t y) {
  return reinterpret_cast<typename F::Pixel*>(s.Row(y));
}
template <class F>
const typename F::Pixel* SrcRow(const TCustomDIBX& s, int32_t y) {
  return reinterpret_cast<const typename F::Pixel*>(s.RowAddress(y));
}

// A positioned copy after clipping: destination (x, y), size w x h, and the source rectangle
// it reads; flipped reads start at src.right - 1 / src.bottom - 1.
struct Placement {
  int32_t x, y, w, h;
  TRect src;
  bool flipV, flipH;
  int32_t SrcRowFor(int32_t j) const { return flipV ? src.bottom - 1 - j : src.top + j; }
};

// Cuts srcRect to `limit` (the source's, or source and mask's, bounds) and the destination
// to `area`, moving the other side as the flips require. False when nothing is left.
inline bool Place(const TRect& area, int32_t x, int32_t y, const TRect& srcRect, const TRect& limit, bool flipV,
                  bool flipH, Placement& p) {
  int64_t sl = srcRect.left, st = srcRect.top, sr = srcRect.right, sb = srcRect.bottom, dx = x, dy = y;
  if (sl < limit.left) { if (!flipH) dx += limit.left - sl; sl = limit.left; }
  if (sr > limit.right) { if (flipH) dx += sr - limit.right; sr = limit.right; }
  if (st < limit.top) { if (!flipV) dy += limit.top - st; st = limit.top; }
  if (sb > limit.bottom) { if (flipV) dy += sb - limit.bottom; sb = limit.bottom; }
  if (sl >= sr || st >= sb) return false;
  int64_t d;
  if ((d = area.left - dx) > 0) { if (flipH) sr -= d; else sl += d; dx += d; }
  if ((d = dx + (sr - sl) - area.right) > 0) { if (flipH) sl += d; else sr -= d; }
  if ((d = area.top - dy) > 0) { if (flipV) sb -= d; else st += d; dy += d; }
  if ((d = dy + (sb - st) - area.bottom) > 0) { if (flipV) st += d; else sb -= d; }
  if (sl >= sr || st >= sb) return false;
  p = {static_cast<int32_t>(dx), static_cast<int32_t>(dy), static_cast<int32_t>(sr - sl), static_cast<int32_t>(sb - st),
       {static_cast<int32_t>(sl), static_cast<int32_t>(st), static_cast<int32_t>(sr), static_cast<int32_t>(sb)}, flipV, flipH};
  return true;
}

// A usable mask: 8 bits; the source rectangle is limited to what both cover.
inline bool MaskLimit(const TCustomDIBX& mask, const TCustomDIBX& src, TRect& limit) {
  if (mask.BitCount() != 8 || mask.IsEmpty()) return false;
  limit = Intersect(src.Bounds(), mask.Bounds());
  return !limit.IsEmpty();
}

}  // namespace vorn::dibx_detail
