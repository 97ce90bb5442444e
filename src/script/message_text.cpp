// The compiled message text that TextIns records carry (the glyph stream of the text
// engine): one default style, one glyph per character, line breaks.
#include "resources/sjis_case.h"
#include "resources/stream.h"
#include "script/page_compiler.h"

namespace vorn {

namespace {
constexpr uint8_t kGlyphChar = 1;
constexpr uint8_t kGlyphReturn = 3;
// The wait of a character when no WAIT tag changed it: the default of @TextDelay.
constexpr int32_t kDefaultCharWait = 50;
}  // namespace

std::vector<uint8_t> CompileMessageText(const std::string& text) {
  struct Glyph {
    uint8_t kind;
    uint16_t code;  // character: one byte, or lead * 256 + trail
    bool clear;
  };
  std::vector<Glyph> glyphs;
  for (size_t i = 0; i < text.size(); ++i) {
    uint8_t b = static_cast<uint8_t>(text[i]);
    if (IsLeadByte(b) && i + 1 < text.size()) {
      glyphs.push_back({kGlyphChar, static_cast<uint16_t>(b * 256 + static_cast<uint8_t>(text[i + 1])), false});
      ++i;
    } else if (b == '\\' && i + 1 < text.size() && (text[i + 1] == 'n' || text[i + 1] == 'p')) {
      glyphs.push_back({kGlyphReturn, 0, text[i + 1] == 'p'});
      ++i;
    } else if (b == '\\' && i + 1 < text.size() && (text[i + 1] == '\\' || text[i + 1] == '"')) {
      glyphs.push_back({kGlyphChar, static_cast<uint8_t>(text[i + 1]), false});
      ++i;
    } else {
      glyphs.push_back({kGlyphChar, b, false});
    }
  }
  int32_t chars = 0;
  for (const Glyph& g : glyphs) chars += g.kind == kGlyphChar;

  MemoryStream out;
  BinaryWriter w(out);
  w.FixedString("ViZaze102");
  w.I32(1);  // one style, shared by every character
  w.I32(chars);  // reference count
  w.I32(-1);     // colour: the window's
  w.I32(-1);     // border colour
  w.I32(0);      // size: the window's
  w.U8(0);       // style flags
  w.U8(0);       // no-break
  w.I32(-1);     // border width
  w.CountedString("");  // font name: the window's
  w.CountedString("");  // ruby
  w.I32(-1);     // shadow offset
  w.I32(-1);     // shadow colour
  w.I32(static_cast<int32_t>(glyphs.size()));
  for (const Glyph& g : glyphs) {
    w.U8(g.kind);
    if (g.kind == kGlyphReturn) {
      w.Bool(g.clear);
      continue;
    }
    w.CountedString("");  // link target
    w.I32(kDefaultCharWait);
    w.U16(g.code);
    w.I32(0);  // style index
  }
  return out.Take();
}

}  // namespace vorn
