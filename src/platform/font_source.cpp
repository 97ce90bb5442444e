// FreeType + fontconfig implementation of the font source.
#include "platform/font_source.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstring>
#include <utility>

#include "resources/error.h"

namespace vorn {

namespace {

struct Substitution {
  const char* windowsName;
  const char* family;
};

// The Windows Japanese faces and their metric-compatible IPA counterparts.
constexpr Substitution kSubstitutions[] = {
    {"\xEF\xBC\xAD\xEF\xBC\xB3 \xEF\xBC\xB0\xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83\xE3\x82\xAF", "IPAPGothic"},  // ＭＳ Ｐゴシック
    {"\xEF\xBC\xAD\xEF\xBC\xB3 \xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83\xE3\x82\xAF", "IPAGothic"},               // ＭＳ ゴシック
    {"\xEF\xBC\xAD\xEF\xBC\xB3 \xEF\xBC\xB0\xE6\x98\x8E\xE6\x9C\x9D", "IPAPMincho"},                          // ＭＳ Ｐ明朝
    {"\xEF\xBC\xAD\xEF\xBC\xB3 \xE6\x98\x8E\xE6\x9C\x9D", "IPAMincho"},                                       // ＭＳ 明朝
    {"MS PGothic", "IPAPGothic"}, {"MS Gothic", "IPAGothic"},
    {"MS PMincho", "IPAPMincho"}, {"MS Mincho", "IPAMincho"},
    {"MS UI Gothic", "IPAPGothic"},
};

class FreeTypeFace final : public FontFace {
 public:
  FreeTypeFace(FT_Face face) : face_(face) {}
  ~FreeTypeFace() override { FT_Done_Face(face_); }

  void SetPixelSize(int pixels) override {
    FT_Set_Pixel_Sizes(face_, 0, static_cast<FT_UInt>(pixels > 0 ? pixels : 1));
  }

  GlyphBitmap Render(char32_t character) override {
    GlyphBitmap glyph;
    const FT_UInt index = FT_Get_Char_Index(face_, character);
    if (FT_Load_Glyph(face_, index, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) != 0) return glyph;
    const FT_GlyphSlot slot = face_->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    glyph.width = static_cast<int>(bitmap.width);
    glyph.height = static_cast<int>(bitmap.rows);
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    glyph.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    glyph.coverage.resize(static_cast<size_t>(glyph.width) * glyph.height);
    for (int y = 0; y < glyph.height; ++y) {
      const uint8_t* src = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
      for (int x = 0; x < glyph.width; ++x) {
        uint8_t value;
        if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
          value = (src[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
        else
          value = src[x];
        glyph.coverage[static_cast<size_t>(y) * glyph.width + x] = value;
      }
    }
    return glyph;
  }

  int Ascent() const override { return static_cast<int>((face_->size->metrics.ascender + 63) >> 6); }
  int Descent() const override {
    return static_cast<int>((-face_->size->metrics.descender + 63) >> 6);
  }

 private:
  FT_Face face_;
};

class FreeTypeFontSource final : public FontSource {
 public:
  FreeTypeFontSource() {
    if (FT_Init_FreeType(&library_) != 0) throw EVornError("FreeType could not start");
    config_ = FcInitLoadConfigAndFonts();
  }
  ~FreeTypeFontSource() override {
    if (config_) FcConfigDestroy(config_);
    FT_Done_FreeType(library_);
  }

  std::optional<std::string> Match(const std::string& family, bool bold, bool italic) override {
    int index = 0;
    return MatchFile(family, bold, italic, index);
  }

  std::unique_ptr<FontFace> Open(const std::string& family, bool bold, bool italic) override {
    int index = 0;
    const std::optional<std::string> file = MatchFile(family, bold, italic, index);
    if (!file) return nullptr;
    FT_Face face = nullptr;
    if (FT_New_Face(library_, file->c_str(), index, &face) != 0) return nullptr;
    return std::make_unique<FreeTypeFace>(face);
  }

 private:
  std::optional<std::string> MatchFile(const std::string& family, bool bold, bool italic,
                                       int& index) {
    if (!config_) return std::nullopt;
    const std::string name = SubstituteFamily(family);
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
    FcConfigSubstitute(config_, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config_, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) return std::nullopt;
    std::optional<std::string> path;
    FcChar8* file = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file) {
      path = reinterpret_cast<const char*>(file);
      if (FcPatternGetInteger(match, FC_INDEX, 0, &index) != FcResultMatch) index = 0;
    }
    FcPatternDestroy(match);
    return path;
  }

  FT_Library library_ = nullptr;
  FcConfig* config_ = nullptr;
};

}  // namespace

std::string SubstituteFamily(const std::string& family) {
  for (const Substitution& s : kSubstitutions)
    if (family == s.windowsName) return s.family;
  return family;
}

std::unique_ptr<FontSource> CreateFontSource() { return std::make_unique<FreeTypeFontSource>(); }

}  // namespace vorn
