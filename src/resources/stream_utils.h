// Stream helpers: the counted-string, int32 and byte forms used by every file, and stream
// copying. Reads are bounded (see BinaryReader) and raise EFormatError on short data.
#pragma once

#include <cstdint>
#include <string>

#include "stream.h"

namespace vorn {

// Little-endian int32 byte count, then the bytes; "" is written as a count of 0.
void WriteCountedString(Stream& s, const std::string& v);
// A count <= 0 gives "" and consumes nothing more; a count beyond the bytes left raises.
std::string ReadCountedString(Stream& s);
void WriteInt32(Stream& s, int32_t v);
int32_t ReadInt32(Stream& s);
void WriteByte(Stream& s, uint8_t v);
uint8_t ReadByte(Stream& s);

// Copies count bytes from the source's position to the destination and returns count. A
// count of 0 copies nothing (use CopyWholeStream for the whole source); a negative count or a
// source that ends early raises.
int64_t CopyStream(Stream& destination, Stream& source, int64_t count);
// Rewinds the source and copies all of it; returns its size.
int64_t CopyWholeStream(Stream& destination, Stream& source);

}  // namespace vorn
