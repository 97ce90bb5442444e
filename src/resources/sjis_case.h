// The CP932 lead-byte test and the one case fold used by name hashing and name comparison.
// Only single-byte ASCII letters fold; the trail byte of a two-byte character is never
// touched, even when it looks like a letter (0x82 0x60 is "Ａ", not 0x82 'a').
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vorn {

constexpr bool IsLeadByte(uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

std::string FoldCase(std::string_view s);
std::string UpperCase(std::string_view s);
// Case-insensitive equality under FoldCase.
bool SameText(std::string_view a, std::string_view b);
// Case-insensitive three-way comparison under FoldCase (byte order after folding).
int CompareText(std::string_view a, std::string_view b);

}  // namespace vorn
