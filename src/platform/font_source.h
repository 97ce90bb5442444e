// The font source: finds a font file for a face name through fontconfig (the Japanese
// system face names map to the IPA faces) and rasterises glyphs with FreeType into 8-bit
// coverage bitmaps. Main thread only; one FontSource per engine.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vorn {

struct GlyphBitmap {
  int width = 0;
  int height = 0;
  int left = 0;      // pixels from the pen position to the bitmap's left edge
  int top = 0;       // pixels from the baseline up to the bitmap's top row
  int advance = 0;   // pen advance in pixels
  std::vector<uint8_t> coverage;  // width * height, 0 = empty, 255 = full
};

class FontFace {
 public:
  virtual ~FontFace() = default;
  // Sets the em height in pixels for the following calls.
  virtual void SetPixelSize(int pixels) = 0;
  // Renders one character (Unicode); a character the face lacks gives its missing glyph.
  virtual GlyphBitmap Render(char32_t character) = 0;
  // Distances above and below the baseline at the current size, in pixels.
  virtual int Ascent() const = 0;
  virtual int Descent() const = 0;
};

class FontSource {
 public:
  virtual ~FontSource() = default;
  // Opens the best face for a UTF-8 family name; null when no font at all is installed.
  virtual std::unique_ptr<FontFace> Open(const std::string& familyUtf8, bool bold = false,
                                         bool italic = false) = 0;
  // The font file fontconfig picks for a family, for diagnostics and the text engine.
  virtual std::optional<std::string> Match(const std::string& familyUtf8, bool bold = false,
                                           bool italic = false) = 0;
};

// The family name that stands in for a Windows face name on this system ("ＭＳ Ｐゴシック"
// -> "IPAPGothic" and so on); other names come back unchanged.
std::string SubstituteFamily(const std::string& familyUtf8);

// FreeType + fontconfig. Raises EVornError when FreeType cannot start.
std::unique_ptr<FontSource> CreateFontSource();

}  // namespace vorn
