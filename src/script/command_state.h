// The tag that begins the in-progress state of a command ("vorn" and a three-digit version).
#pragma once

#include "resources/binary_reader.h"

namespace vorn {

inline constexpr int kCommandStateVersion = 100;

// Writes "vorn100".
void WriteCommandStateTag(BinaryWriter& w);
// Reads the tag and gives its version; a state without a tag is version 0 and its first
// bytes are read again as data.
int ReadCommandStateTag(BinaryReader& r);

}  // namespace vorn
