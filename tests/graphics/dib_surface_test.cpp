// TDIBSurface copies, blends, fills, trimming, depth conversion and colour counting, checked
// against pixels computed by hand from the per-depth formulas.
#include <gtest/gtest.h>

#include "graphics/dib_surface.h"
#include "resources/error.h"

namespace vorn {
namespace {

TDIBSurface Make(int w, int h, int bits, uint32_t fill) {
  TDIBSurface s;
  s.SetSize(w, h, bits);
  s.FillRect(s.Bounds(), fill);
  return s;
}

constexpr int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

TEST(DibSurface, BitCountAndMasks) {
  TDIBSurface s;
  s.SetSize(2, 2, 15);
  EXPECT_EQ(s.BitCount(), 15);
  EXPECT_EQ(s.StorageBitCount(), 16);
  EXPECT_EQ(s.GreenMask(), 0x03E0u);
  s.SetSize(2, 2, 16);
  EXPECT_EQ(s.BitCount(), 16);
  EXPECT_EQ(s.GreenMask(), 0x07E0u);
  EXPECT_THROW(s.SetSize(2, 2, 12), EVornError);
  EXPECT_THROW(s.Row(2), EVornError);
  EXPECT_THROW(s.Row(-1), EVornError);
  // MakePixel and SplitPixel: shifts without bit replication.
  struct Case { int bits; uint32_t pixel; uint8_t r, g, b; };
  for (const Case& c : {Case{15, 0x7E01, 0xF8, 0x80, 0x08}, Case{16, 0xFC01, 0xF8, 0x80, 0x08},
                        Case{24, 0xFF800F, 0xFF, 0x80, 0x0F}, Case{32, 0xFF800F, 0xFF, 0x80, 0x0F}}) {
    TDIBSurface p = Make(1, 1, c.bits, 0);
    EXPECT_EQ(p.MakePixel(0xFF, 0x80, 0x0F), c.pixel) << c.bits;
    uint8_t r, g, b;
    p.SplitPixel(c.pixel, r, g, b);
    EXPECT_EQ((std::array<int, 3>{r, g, b}), (std::array<int, 3>{c.r, c.g, c.b})) << c.bits;
  }
}

// Palette depths dither: destination (x, y) is written when the threshold at (x mod 4,
// y mod 4) of the destination is not above opacity div 16.
TEST(DibSurface, TranslucentAtPaletteDepthsDithers) {
  struct Case { int bits; int opacity; int x, y; };
  for (const Case& c : {Case{8, 15, 0, 0}, Case{8, 15, 1, 2}, Case{8, 128, 0, 0}, Case{8, 239, 3, 1},
                        Case{4, 100, 1, 0}, Case{1, 64, 2, 3}, Case{8, 240, 0, 0}, Case{8, 300, 0, 0},
                        Case{8, -5, 1, 1}}) {
    SCOPED_TRACE("bits " + std::to_string(c.bits) + " opacity " + std::to_string(c.opacity));
    TDIBSurface dst = Make(12, 12, c.bits, 0), src = Make(8, 8, c.bits, 1);
    dst.DrawTranslucent(c.x, c.y, src.Bounds(), src, c.opacity);
    int level = c.opacity / 16;
    bool opaque = c.opacity > 254 || c.opacity < 0 || level >= 15;
    int written = 0;
    for (int y = 0; y < 12; ++y)
      for (int x = 0; x < 12; ++x) {
        bool inside = x >= c.x && x < c.x + 8 && y >= c.y && y < c.y + 8;
        uint32_t want = inside && (opaque || kBayer[y & 3][x & 3] <= level) ? 1 : 0;
        ASSERT_EQ(dst.GetPixel(x, y), want) << x << "," << y;
        written += static_cast<int>(want);
      }
    if (c.opacity == 15) {
      EXPECT_EQ(written, 4);  // one pixel per aligned 4 by 4 block
    }
    if (c.opacity == 128) {
      EXPECT_EQ(written, 4 * 9);
    }
  }
  // Opacity 0 draws nothing; the key applies as in Draw.
  TDIBSurface dst = Make(4, 4, 8, 0), src = Make(4, 4, 8, 7);
  dst.DrawTranslucent(0, 0, src.Bounds(), src, 0);
  EXPECT_EQ(dst.GetPixel(0, 0), 0u);
  dst.DrawTranslucent(0, 0, src.Bounds(), src, 200, 7);
  EXPECT_EQ(dst.GetPixel(0, 0), 0u);
}

// One source pixel over one destination pixel at every direct depth; values by hand.
TEST(DibSurface, TranslucentAndAlphaFormulas) {
  struct Case {
    const char* what;
    int bits;
    uint32_t src, dst;
    int opacity;
    int alpha;  // -1: DrawTranslucent, else DrawAlpha with this source alpha
    uint32_t want;
  };
  const Case cases[] = {
      // 32 bits divide by 256; the top byte of a blend is 0, an opaque copy keeps it.
      {"32 o128", 32, 0xABFF8040, 0x00204080, 128, -1, 0x008F5F5F},
      {"32 o255 copies", 32, 0xABFF8040, 0x00204080, 255, -1, 0xABFF8040},
      {"32 o1000 copies", 32, 0xABFF8040, 0x00204080, 1000, -1, 0xABFF8040},
      {"32 o128 red over blue", 32, 0xFF0000, 0x0000FF, 128, -1, 0x7F007E},
      {"32 o0 nothing", 32, 0xFF0000, 0x0000FF, 0, -1, 0x0000FF},
      // 24 bits divide by 255 per byte.
      {"24 o128", 24, 0xFF8040, 0x204080, 128, -1, 0x8F605F},
      {"24 o1", 24, 0xFFFFFF, 0x000000, 1, -1, 0x010101},
      // 16 bits: m AND ((io x (d AND m) + o x (s AND m)) div 255).
      {"565 o128", 16, 0xFFFF, 0x0000, 128, -1, 0x7BEF},
      {"555 o128", 15, 0x7FFF, 0x0000, 128, -1, 0x3DEF},
      // DrawAlpha: 0 leaves, 255 copies, otherwise shr 8 with the pixel's alpha.
      {"565 a200", 16, 0xFFFF, 0x0000, 255, 200, 0xC638},
      {"565 a200 opacity ignored", 16, 0xFFFF, 0x0000, 10, 200, 0xC638},
      {"565 a0", 16, 0xFFFF, 0x1234, 255, 0, 0x1234},
      {"565 a255", 16, 0xFFFF, 0x1234, 255, 255, 0xFFFF},
      {"24 a200", 24, 0xFF8040, 0x204080, 255, 200, 0xCE714D},
      {"24 a255", 24, 0xFF8040, 0x204080, 255, 255, 0xFF8040},
      // 24 bits below opacity 255: d = (opacity x a) shr 8, only when the product reaches 256.
      {"24 o128 a200", 24, 0xFF8040, 0x204080, 128, 200, 0x765866},
      {"24 o2 a128 product 256", 24, 0xFFFFFF, 0xFFFFFF, 2, 128, 0xFEFEFE},
      {"24 o1 a255 product 255", 24, 0x000000, 0xFFFFFF, 1, 255, 0xFFFFFF},
      {"24 o200 a255 no shortcut", 24, 0xFFFFFF, 0x000000, 200, 255, 0xC6C6C6},
      {"32 a128", 32, 0xFFFF8040, 0x00204080, 30, 128, 0x008F5F5F},
      {"32 a255 whole value", 32, 0xFFFF8040, 0x00204080, 30, 255, 0xFFFF8040},
      {"8 a128 copies", 8, 9, 3, 255, 128, 9},
      {"8 a127 leaves", 8, 9, 3, 255, 127, 3},
  };
  for (const Case& c : cases) {
    TDIBSurface dst = Make(1, 1, c.bits, c.dst), src = Make(1, 1, c.bits, c.src);
    if (c.alpha < 0) {
      dst.DrawTranslucent(0, 0, src.Bounds(), src, c.opacity);
    } else {
      src.EnsureAlpha();
      src.Alpha()->FillRect(src.Bounds(), static_cast<uint32_t>(c.alpha));
      dst.DrawAlpha(0, 0, src.Bounds(), src, c.opacity);
    }
    EXPECT_EQ(dst.GetPixel(0, 0), c.want) << c.what;
  }
  // Keys: a source pixel equal to the key is skipped at every depth; -1 disables the test.
  for (int bits : {1, 4, 8, 15, 16, 24, 32}) {
    TDIBSurface dst = Make(2, 1, bits, 0), src = Make(2, 1, bits, 1);
    src.SetPixel(1, 0, 0);
    dst.FillRect(dst.Bounds(), 0);
    dst.SetPixel(1, 0, bits == 1 ? 1 : 5);
    dst.Draw(0, 0, src.Bounds(), src, 0);
    EXPECT_EQ(dst.GetPixel(0, 0), 1u) << bits;
    EXPECT_EQ(dst.GetPixel(1, 0), bits == 1 ? 1u : 5u) << bits;
    dst.Draw(0, 0, src.Bounds(), src, -1);
    EXPECT_EQ(dst.GetPixel(1, 0), 0u) << bits;
  }
  // Without an alpha plane DrawAlpha is DrawTranslucent.
  TDIBSurface dst = Make(1, 1, 32, 0x0000FF), src = Make(1, 1, 32, 0xFF0000);
  dst.DrawAlpha(0, 0, src.Bounds(), src, 128);
  EXPECT_EQ(dst.GetPixel(0, 0), 0x7F007Eu);
}

TEST(DibSurface, FillsAndClipping) {
  // 1 bit: partial bytes bit by bit, whole bytes between.
  TDIBSurface one = Make(20, 1, 1, 0);
  one.FillRect({3, 0, 17, 1}, 1);
  for (int x = 0; x < 20; ++x) EXPECT_EQ(one.GetPixel(x, 0), (x >= 3 && x < 17) ? 1u : 0u) << x;
  EXPECT_EQ(one.Row(0)[1], 0xFF);
  // 4 bits: odd start and end.
  TDIBSurface four = Make(7, 1, 4, 2);
  four.FillRect({1, 0, 6, 1}, 0xA);
  for (int x = 0; x < 7; ++x) EXPECT_EQ(four.GetPixel(x, 0), (x >= 1 && x < 6) ? 0xAu : 2u) << x;
  // 15 bits mask the value; 24 bits write three bytes and leave the row padding.
  TDIBSurface f15 = Make(2, 1, 15, 0);
  f15.FillRect(f15.Bounds(), 0xFFFF);
  EXPECT_EQ(f15.GetPixel(1, 0), 0x7FFFu);
  TDIBSurface f24 = Make(3, 1, 24, 0);
  f24.FillRect({1, 0, 2, 1}, 0xAABBCCDD);
  EXPECT_EQ(f24.GetPixel(0, 0), 0u);
  EXPECT_EQ(f24.GetPixel(1, 0), 0xBBCCDDu);
  EXPECT_EQ(f24.GetPixel(2, 0), 0u);
  EXPECT_EQ(f24.Row(0)[9], 0);
  // Copies clip against the clip rectangle and move the source along.
  TDIBSurface dst = Make(4, 4, 8, 0), src = Make(3, 3, 8, 0);
  for (int i = 0; i < 9; ++i) src.SetPixel(i % 3, i / 3, static_cast<uint32_t>(i + 1));
  dst.clip = {1, 1, 3, 3};
  dst.Draw(0, 0, src.Bounds(), src);
  EXPECT_EQ(dst.GetPixel(0, 0), 0u);
  EXPECT_EQ(dst.GetPixel(1, 1), 5u);
  EXPECT_EQ(dst.GetPixel(2, 2), 9u);
  EXPECT_EQ(dst.GetPixel(3, 3), 0u);
  dst.Draw(5, 0, src.Bounds(), src);  // fully outside: nothing
  dst.Draw(-2, -2, {-5, -5, 100, 100}, src);  // a source rectangle beyond the source is cut
  EXPECT_EQ(dst.GetPixel(1, 1), 5u);
}

TEST(DibSurface, TrimCropAndMirror) {
  TDIBSurface s = Make(6, 5, 8, 3);
  s.SetPixel(2, 1, 7), s.SetPixel(4, 3, 8);
  EXPECT_EQ(s.TrimBounds(3), (TRect{2, 1, 5, 4}));
  EXPECT_EQ(s.TrimBounds(-1), s.Bounds());
  s.EnsureAlpha();
  s.Alpha()->SetPixel(2, 1, 99);
  s.Trim(3);
  ASSERT_EQ(s.Width(), 3);
  ASSERT_EQ(s.Height(), 3);
  EXPECT_EQ(s.GetPixel(0, 0), 7u);
  EXPECT_EQ(s.GetPixel(2, 2), 8u);
  ASSERT_NE(s.Alpha(), nullptr);
  EXPECT_EQ(s.Alpha()->Width(), 3);
  EXPECT_EQ(s.Alpha()->GetPixel(0, 0), 99u);
  // Every pixel equal to the key: a 1 by 1 surface, at every depth.
  for (int bits : {1, 4, 8, 15, 16, 24, 32}) {
    TDIBSurface all = Make(5, 4, bits, 1);
    all.Trim(1);
    EXPECT_EQ(all.Width(), 1) << bits;
    EXPECT_EQ(all.Height(), 1) << bits;
    EXPECT_EQ(all.BitCount(), bits);
  }
  // Mirror and flip in place, alpha plane along.
  TDIBSurface m = Make(3, 2, 24, 0);
  m.SetPixel(0, 0, 0x010203);
  m.EnsureAlpha();
  m.Alpha()->SetPixel(0, 0, 5);
  m.MirrorHorizontal();
  m.FlipVertical();
  EXPECT_EQ(m.GetPixel(2, 1), 0x010203u);
  EXPECT_EQ(m.Alpha()->GetPixel(2, 1), 5u);
}

TEST(DibSurface, CountColours) {
  struct Case { int bits; std::vector<uint32_t> pixels; int64_t want; };
  const Case cases[] = {
      {1, {0, 0, 0}, 1},
      {1, {0, 1, 0, 1}, 2},
      {4, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 15, 0}, 16},
      {8, {7, 7, 200, 7, 3}, 3},
      {15, {0x7FFF, 0x0001, 0x7FFF}, 2},
      {16, {0xFFFF, 0x0000, 0x8000, 0x0000}, 3},
      {24, {0xFFFFFF, 0x000000, 0xFFFFFF, 0x123456}, 3},
      // 32 bits count the low three bytes: the top byte makes no new colour.
      {32, {0x01000000, 0x00000000, 0xFF123456, 0x00123456}, 2},
  };
  for (const Case& c : cases) {
    TDIBSurface s = Make(static_cast<int>(c.pixels.size()), 1, c.bits, 0);
    for (size_t i = 0; i < c.pixels.size(); ++i) s.SetPixel(static_cast<int32_t>(i), 0, c.pixels[i]);
    EXPECT_EQ(s.CountColours(), c.want) << c.bits;
  }
  EXPECT_EQ(TDIBSurface().CountColours(), 0);
  // All 256 values of 8 bits and all 65536 of 16 bits.
  TDIBSurface all8 = Make(256, 1, 8, 0), all16 = Make(256, 256, 16, 0);
  for (int i = 0; i < 256; ++i) all8.SetPixel(i, 0, static_cast<uint32_t>(i));
  for (int i = 0; i < 65536; ++i) all16.SetPixel(i % 256, i / 256, static_cast<uint32_t>(i));
  EXPECT_EQ(all8.CountColours(), 256);
  EXPECT_EQ(all16.CountColours(), 65536);
}

uint32_t Rgb(const TDIBSurface& s, int x, int y) {
  uint8_t r, g, b;
  s.SplitPixel(s.GetPixel(x, y), r, g, b);
  return (uint32_t{r} << 16) | (uint32_t{g} << 8) | b;
}

TEST(DibSurface, ConvertDepth) {
  // A few-colour picture survives 24 -> palette -> 24 exactly; the palette is the colours in use.
  const uint32_t colours[] = {0x102030, 0xFF0000, 0x00FF00, 0x0000FF, 0xFEDCBA, 0x010101, 0x808080, 0xFFFFFF,
                              0x7F0000, 0x007F00, 0x00007F, 0x7F7F00, 0x007F7F, 0x7F007F, 0x202020, 0xABCDEF};
  for (int target : {1, 4, 8}) {
    int n = target == 1 ? 2 : target == 4 ? 16 : 16;
    TDIBSurface s = Make(9, 7, 24, 0);
    for (int y = 0; y < 7; ++y)
      for (int x = 0; x < 9; ++x) s.SetPixel(x, y, colours[(x * 3 + y * 5) % n]);
    TDIBSurface before;
    before.CopyFrom(s);
    s.ConvertDepth(target, 256, false);
    ASSERT_EQ(s.BitCount(), target);
    EXPECT_EQ(s.CountColours(), n) << target;
    s.ConvertDepth(24);
    for (int y = 0; y < 7; ++y)
      for (int x = 0; x < 9; ++x) ASSERT_EQ(s.GetPixel(x, y), before.GetPixel(x, y)) << target << " " << x << "," << y;
  }
  // More colours than allowed: a quantised palette of at most `colours` entries, close to the picture.
  for (bool dither : {false, true}) {
    TDIBSurface grad = Make(64, 16, 32, 0);
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 64; ++x) grad.SetPixel(x, y, (uint32_t(x * 4) << 16) | (uint32_t(y * 16) << 8) | 0x40);
    TDIBSurface original;
    original.CopyFrom(grad);
    grad.ConvertDepth(8, 16, dither);
    EXPECT_LE(grad.CountColours(), 16);
    int64_t error = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 64; ++x) {
        uint32_t a = Rgb(grad, x, y), b = original.GetPixel(x, y);
        for (int sh = 0; sh < 24; sh += 8) error += std::abs(int((a >> sh) & 0xFF) - int((b >> sh) & 0xFF));
      }
    EXPECT_LT(error / (64 * 16 * 3), 24) << "mean channel error, dither " << dither;
  }
  // A palette depth to a larger one keeps indices and palette.
  TDIBSurface p4 = Make(3, 1, 4, 0);
  p4.Palette()[5] = 0x123456;
  p4.SetPixel(1, 0, 5);
  p4.ConvertDepth(8);
  EXPECT_EQ(p4.GetPixel(1, 0), 5u);
  EXPECT_EQ(p4.Palette()[5], 0x123456u);
  // Direct depths convert channel by channel.
  TDIBSurface d = Make(1, 1, 24, 0xFF8008);
  d.ConvertDepth(15);
  EXPECT_EQ(d.GetPixel(0, 0), 0x7E01u);
  d.ConvertDepth(16);
  EXPECT_EQ(d.GetPixel(0, 0), 0xFC01u);
  d.ConvertDepth(32);
  EXPECT_EQ(d.GetPixel(0, 0), 0xF88008u);
}

}  // namespace
}  // namespace vorn
