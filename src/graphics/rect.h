// The operations clipping needs on TRect (the engine's one rectangle type, defined beside
// the dirty-rectangle list).
#pragma once

#include <algorithm>
#include <cstdint>

#include "resources/clip_list.h"

namespace vorn {

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
