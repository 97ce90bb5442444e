// Colour and font-style helpers. Colours are 0x00BBGGRR with red in the low byte.
#pragma once

#include <cstdint>

namespace vorn {

// Each of red, green and blue times k / 256 (truncated), clamped to 0..255; top byte 0.
// The clamp keeps a factor above 256 or below 0 from spilling into the next channel.
int32_t ScaleColor(int32_t color, int32_t k);

// Font style set: bit 0 bold, bit 1 italic, bit 2 underline, bit 3 strike-out.
struct TFontStyles {
  bool bold = false, italic = false, underline = false, strikeOut = false;
  bool operator==(const TFontStyles&) const = default;
};
int32_t FontStylesToInt(const TFontStyles& s);
// Bits above bit 3 are ignored.
TFontStyles IntToFontStyles(int32_t bits);

}  // namespace vorn
