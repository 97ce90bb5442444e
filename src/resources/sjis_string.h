// Character-wise string helpers for CP932 text: a lead byte and the byte after it form one
// character; a lead byte in the last position counts as one character on its own. Indexes are
// 1-based as the script functions that use them are.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vorn {

// Number of characters.
int JLength(std::string_view s);
// 1-based byte position of character n; n <= 1 gives 1; past the end, Length + 1.
int JCharToBytePos(std::string_view s, int n);
// Code of character n (1-based): lead * 256 + trail for a two-byte character, else the byte
// value; 0 when n is outside 1..JLength.
uint16_t JCharCode(std::string_view s, int n);
// True when byte i (1-based) is the trail byte of a two-byte character: the run of lead-byte
// hits immediately before i is odd. Raises EVornError "Illegal Index" outside 1..Length.
bool IsTrailByte(std::string_view s, int i);

// Characters index .. index+count-1; an index below 1 becomes 1 and shortens the range by the
// difference; empty for an empty range; stops at the end.
std::string JCopy(std::string_view s, int index, int count);
// Inserts sub before character index (<= 0 counts as 1; past the last character appends).
std::string JInsert(std::string_view sub, std::string_view s, int index);
// Removes count characters from index (<= 0 counts as 1); nothing when index is past the end
// or count <= 0; a range past the end removes up to the end.
std::string JDelete(std::string_view s, int index, int count);
// Character index (1-based) of the first occurrence of sub starting at a character boundary;
// 0 when none or sub is empty.
int JPos(std::string_view sub, std::string_view s);
// Removes leading and trailing 0x20 and ideographic spaces (0x81 0x40); tabs and line breaks stay.
std::string JTrim(std::string_view s);

// Returns the text of s before the first delimiter byte (never a trail byte) and removes that
// text and the delimiter from s. Without a delimiter, or with no delimiters, returns all of s
// and empties it.
std::string CutToken(std::string& s, std::string_view delimiters);
// \" -> ", \\ -> \, \n -> CR LF; every other backslash stays.
std::string UnescapeText(std::string_view s);
// When the last '.', '\' or ':' of name (not a trail byte) is ':', removes ":suffix" from name
// and returns the suffix; otherwise returns "" and leaves name unchanged. "MAIN.vsb:label".
std::string SplitColonSuffix(std::string& name);

}  // namespace vorn
