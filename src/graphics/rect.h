// The rectangle type of the graphics code: left, top, right, bottom in pixels, right and
// bottom exclusive, and the few operations clipping needs.
#pragma once

#include <algorithm>
#include <cstdint>

namespace vorn {

struct TRect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;

  int32_t Width() const { return right - left; }
  int32_t Height() const { return bottom - top; }
  // Empty when it holds no pixel (left not less than right, or top not less than bottom).
  bool IsEmpty() const { return left >= right || top >= bottom; }
  bool operator==(const TRect&) const = default;
};

inline TRect Intersect(const TRect& a, const TRect& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
          std::min(a.bottom, b.bottom)};
}

inline TRect Union(const TRect& a, const TRect& b) {
  if (a.IsEmpty()) return b;
  if (b.IsEmpty()) return a;
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

}  // namespace vorn
