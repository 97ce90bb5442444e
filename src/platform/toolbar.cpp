// Toolbar layout and drawing: flat buttons in the classic raised style, labels rendered once
// with the window's 12-pixel proportional gothic face.
#include "platform/toolbar.h"

#include <algorithm>
#include <vector>

#include "platform/display.h"
#include "resources/cp932.h"

namespace vorn {

namespace {

constexpr int kButtonTop = 2;
constexpr uint32_t kFace = 0xD4D0C8;
constexpr uint32_t kHighlight = 0xFFFFFF;
constexpr uint32_t kShadow = 0x808080;
constexpr uint32_t kHover = 0xE4E0D8;
constexpr uint32_t kText = 0x000000;

// The labels are the program's own CP932 texts, converted once at this edge.
const char* const kLabelsCp932[2] = {"\x8f\x49\x97\xb9", "\x89\xe6\x96\xca\x90\xd8\x91\xd6"};
// "ＭＳ Ｐゴシック", the window font.
const char* const kFontFamily =
    "\xEF\xBC\xAD\xEF\xBC\xB3 \xEF\xBC\xB0\xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83\xE3\x82\xAF";
constexpr int kFontPixels = 12;

// Decodes UTF-8 into code points (the labels are known-good text).
std::u32string DecodeUtf8(const std::string& s) {
  std::u32string out;
  for (size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    int extra = c < 0x80 ? 0 : c < 0xE0 ? 1 : c < 0xF0 ? 2 : 3;
    char32_t cp = extra == 0 ? c : extra == 1 ? (c & 0x1F) : extra == 2 ? (c & 0x0F) : (c & 0x07);
    ++i;
    for (; extra > 0 && i < s.size(); --extra, ++i) cp = (cp << 6) | (s[i] & 0x3F);
    out.push_back(cp);
  }
  return out;
}

uint32_t Blend(uint32_t back, uint32_t fore, uint8_t alpha) {
  uint32_t out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const uint32_t b = (back >> shift) & 0xFF, f = (fore >> shift) & 0xFF;
    out |= ((b * (255 - alpha) + f * alpha + 127) / 255) << shift;
  }
  return out;
}

}  // namespace

// A label pre-rendered as a coverage mask.
struct Toolbar::Label {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> mask;
};

Toolbar::Toolbar(FontSource* fonts) {
  std::unique_ptr<FontFace> face = fonts ? fonts->Open(kFontFamily) : nullptr;
  if (!face) return;
  face->SetPixelSize(kFontPixels);
  const int ascent = face->Ascent();
  const int height = ascent + face->Descent();
  for (int i = 0; i < 2; ++i) {
    std::vector<GlyphBitmap> glyphs;
    int width = 0;
    for (char32_t c : DecodeUtf8(Cp932ToUtf8(kLabelsCp932[i]))) {
      glyphs.push_back(face->Render(c));
      width += glyphs.back().advance;
    }
    auto label = std::make_unique<Label>();
    label->width = width;
    label->height = height;
    label->mask.assign(static_cast<size_t>(width) * height, 0);
    int pen = 0;
    for (const GlyphBitmap& g : glyphs) {
      for (int y = 0; y < g.height; ++y) {
        const int ty = ascent - g.top + y;
        if (ty < 0 || ty >= height) continue;
        for (int x = 0; x < g.width; ++x) {
          const int tx = pen + g.left + x;
          if (tx < 0 || tx >= width) continue;
          uint8_t& m = label->mask[static_cast<size_t>(ty) * width + tx];
          m = std::max(m, g.coverage[static_cast<size_t>(y) * g.width + x]);
        }
      }
      pen += g.advance;
    }
    labels_[i] = std::move(label);
  }
}

Toolbar::~Toolbar() = default;

ToolbarButton Toolbar::HitTest(int x, int y) {
  if (y < kButtonTop || y >= kButtonTop + kToolbarButtonHeight || x < 0) return ToolbarButton::None;
  const int index = x / kToolbarButtonWidth;
  return index < 2 ? static_cast<ToolbarButton>(index) : ToolbarButton::None;
}

void Toolbar::Render(FrameBuffer& target, int width, ToolbarButton hover, ToolbarButton pressed) {
  if (target.Width() != width || target.Height() != kDockHeight) target.Resize(width, kDockHeight);
  target.Fill(kFace);
  // The dock's bottom bound line.
  target.FillRect(0, kDockHeight - 2, width, 1, kShadow);
  target.FillRect(0, kDockHeight - 1, width, 1, kHighlight);
  for (int i = 0; i < 2; ++i) {
    const int left = i * kToolbarButtonWidth, top = kButtonTop;
    const int w = kToolbarButtonWidth, h = kToolbarButtonHeight;
    const bool down = static_cast<int>(pressed) == i && static_cast<int>(hover) == i;
    const bool hot = static_cast<int>(hover) == i;
    target.FillRect(left, top, w, h, hot ? kHover : kFace);
    if (hot || down) {
      const uint32_t lightEdge = down ? kShadow : kHighlight;
      const uint32_t darkEdge = down ? kHighlight : kShadow;
      target.FillRect(left, top, w, 1, lightEdge);
      target.FillRect(left, top, 1, h, lightEdge);
      target.FillRect(left, top + h - 1, w, 1, darkEdge);
      target.FillRect(left + w - 1, top, 1, h, darkEdge);
    }
    const Label* label = labels_[i].get();
    if (!label) continue;
    const int ox = left + (w - label->width) / 2 + (down ? 1 : 0);
    const int oy = top + (h - label->height) / 2 + (down ? 1 : 0);
    for (int y = 0; y < label->height; ++y) {
      const int ty = oy + y;
      if (ty < 0 || ty >= target.Height()) continue;
      for (int x = 0; x < label->width; ++x) {
        const int tx = ox + x;
        const uint8_t a = label->mask[static_cast<size_t>(y) * label->width + x];
        if (a == 0 || tx < 0 || tx >= target.Width()) continue;
        target.SetPixel(tx, ty, Blend(target.Pixel(tx, ty), kText, a));
      }
    }
  }
}

}  // namespace vorn
