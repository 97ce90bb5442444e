// The generated CP932 <-> Unicode tables (cp932_table.cpp, made by tools/gen_cp932_table.py).
// Only cp932.cpp reads them; everything else uses the functions of cp932.h.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vorn::cp932 {

// Lead bytes 0x81..0x9F then 0xE0..0xFC; trail bytes 0x40..0xFC. 0 = no character.
constexpr int kLeadCount = 60;
constexpr int kTrailFirst = 0x40;
constexpr int kTrailLast = 0xFC;
constexpr int kTrailCount = kTrailLast - kTrailFirst + 1;
extern const uint16_t kDoubleByteToUnicode[kLeadCount][kTrailCount];

// Sorted by unicode; codes below 0x100 are single bytes. ASCII is not listed.
struct EncodeEntry {
  uint16_t unicode;
  uint16_t code;
};
extern const EncodeEntry kUnicodeToCp932[];
extern const size_t kEncodeCount;

}  // namespace vorn::cp932
