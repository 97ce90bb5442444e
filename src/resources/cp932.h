// Conversion between the engine's CP932 strings and Unicode (UTF-8 at the edges: glyph lookup,
// window title, dialogs, names on disk, clipboard, text input). One table of our own, generated
// by tools/gen_cp932_table.py; the choices for duplicate codes are in docs/decisions.md.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vorn {

// Unicode of one CP932 code: a single byte (< 0x100) or lead * 256 + trail. 0 when the code
// has no character. 0x80, 0xA0 and 0xFD..0xFF decode to U+0080 and U+F8F0..U+F8F3, and the
// user-defined area 0xF040..0xF9FC to U+E000..U+E757, so every such byte survives a round trip.
char32_t Cp932CodeToUnicode(uint16_t code);
// CP932 code of a Unicode character (single byte when < 0x100), or -1 when it has none.
int UnicodeToCp932Code(char32_t cp);

// Decodes the character at pos and advances pos past it. Returns false for a byte sequence
// with no character (a lead byte at the end or before a byte that cannot trail, an unassigned
// code): then cp is U+FFFD and pos advances by one byte only, so a following ASCII byte is
// never swallowed.
bool DecodeCp932Char(std::string_view s, size_t& pos, char32_t& cp);

// Decodes one UTF-8 character; false for malformed input (cp = U+FFFD, pos advances one byte).
// Overlong forms, surrogates and values above U+10FFFF are malformed.
bool DecodeUtf8Char(std::string_view s, size_t& pos, char32_t& cp);
void AppendUtf8(std::string& out, char32_t cp);

// Bad CP932 sequences become U+FFFD.
std::string Cp932ToUtf8(std::string_view s);
// Characters without a CP932 code and malformed UTF-8 bytes become '?'.
std::string Utf8ToCp932(std::string_view s);

}  // namespace vorn
