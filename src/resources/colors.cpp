// Colour scaling and font-style bits.
#include "colors.h"

#include <algorithm>

namespace vorn {

int32_t ScaleColor(int32_t color, int32_t k) {
  uint32_t c = static_cast<uint32_t>(color);
  uint32_t out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    int64_t v = int64_t{(c >> shift) & 0xFF} * k / 256;  // truncates toward zero
    out |= static_cast<uint32_t>(std::clamp<int64_t>(v, 0, 255)) << shift;
  }
  return static_cast<int32_t>(out);
}

int32_t FontStylesToInt(const TFontStyles& s) {
  return (s.bold ? 1 : 0) | (s.italic ? 2 : 0) | (s.underline ? 4 : 0) | (s.strikeOut ? 8 : 0);
}

TFontStyles IntToFontStyles(int32_t bits) {
  return {(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0, (bits & 8) != 0};
}

}  // namespace vorn
