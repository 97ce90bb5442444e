// Half-width <-> full-width conversion of CP932 text (ASCII and half-width katakana against
// their two-byte forms), with the voiced (ﾞ) and semi-voiced (ﾟ) marks combined and split.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vorn {

// Full-width code of a half-width byte, or 0 when the byte has none (control characters, 0x7F,
// 0x80, 0xA0, 0xFD..0xFF and lead bytes).
uint16_t FullWidthOf(uint8_t b);

// Single bytes become their full-width characters (bytes without one are dropped); ｶﾞ-style
// pairs combine into the voiced character; two-byte characters are copied.
std::string HanToZen(std::string_view s);
// Two-byte characters with a half-width form become it (voiced ones as two bytes, 0x8167 as
// '"'); others are dropped; single bytes are copied.
std::string ZenToHan(std::string_view s);

}  // namespace vorn
