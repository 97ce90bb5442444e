// The archive's entry codec on top of zlib: deflate at level 1 in zlib framing, a bounded
// inflate, and the CRC-32 of the index tables.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vorn {

// The largest inflated entry the player accepts; a larger result is damaged or hostile data.
constexpr size_t kMaxInflatedSize = size_t{1} << 30;

uint32_t Crc32(std::span<const uint8_t> bytes);
// Continues a CRC-32 (0 to start) over more bytes.
uint32_t CrcCombineAppend(uint32_t crc, std::span<const uint8_t> bytes);
// One zlib stream (RFC 1950) of the bytes, deflated at level 1 (fastest).
std::vector<uint8_t> DeflateFast(std::span<const uint8_t> bytes);
// Inflates one zlib stream into out (replacing its content). Raises EFormatError naming
// `what` for damaged or truncated data and for results above `limit` bytes.
void InflateInto(std::span<const uint8_t> zlibBytes, std::vector<uint8_t>& out, const std::string& what,
                 size_t limit = kMaxInflatedSize);

}  // namespace vorn
