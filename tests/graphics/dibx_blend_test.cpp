// Compositing arithmetic: hand-computed blends through the public operations, and the
// vectorised row kernels of every compiled instruction set against the scalar reference.
#include <gtest/gtest.h>

#include <random>

#include "graphics/dibx.h"
#include "graphics/dibx_kernels.h"
#include "graphics/dibx_reference.h"

namespace vorn {
namespace {

TDIBX Surface(int w, int h, int bits, uint32_t fill) {
  TDIBX s;
  s.SetSize(w, h, bits);
  s.Fill(fill);
  return s;
}

TEST(DibxBlend, HandComputedPixels) {
  TDIBX dst = Surface(2, 1, 32, 0x0000FF), src = Surface(2, 1, 32, 0xFF0000);
  dst.DrawTranslucent(0, 0, 128, false, false, false, src.Bounds(), src);
  EXPECT_EQ(dst.GetPixel(0, 0), 0x7F007Eu);  // red 255*128>>8, blue 255*127>>8
  // Source equal to destination is skipped (the formula alone would give 0xFE).
  TDIBX same = Surface(1, 1, 32, 0xFFFFFF), white = Surface(1, 1, 32, 0xFFFFFF);
  same.DrawTranslucent(0, 0, 200, false, false, false, white.Bounds(), white);
  EXPECT_EQ(same.GetPixel(0, 0), 0xFFFFFFu);
  // 255 over 0 through FillMask: b = 255*255>>8 = 254, (255*254)>>8 = 253.
  TDIBX black = Surface(1, 1, 32, 0), mask = Surface(1, 1, 8, 255);
  black.FillMask(0, 0, 255, 0xFFFFFF, false, false, mask.Bounds(), mask);
  EXPECT_EQ(black.GetPixel(0, 0), 0xFDFDFDu);
  TDIBX grey = Surface(1, 1, 32, 0x909090);
  grey.AddColor(grey.Bounds(), 0x808080);
  EXPECT_EQ(grey.GetPixel(0, 0), 0xFFFFFFu);
  grey.Fill(0x909090);
  grey.SubColor(grey.Bounds(), 0xA0A0A0);
  EXPECT_EQ(grey.GetPixel(0, 0), 0u);
  // Additive at 5-6-5: green (0x07E0 * 128 >> 8) & 0x07E0 = 0x03E0 over 0x0400 -> clamped 0x07E0.
  TDIBX d16 = Surface(1, 1, 16, 0x0400), s16 = Surface(1, 1, 16, 0x07E0);
  d16.DrawAdd(0, 0, 128, false, false, true, s16.Bounds(), s16);
  EXPECT_EQ(d16.GetPixel(0, 0), 0x07E0u);
  // An amount above 255 is clamped to 255 rather than spilling into the next channel.
  TDIBX d32 = Surface(1, 1, 32, 0), s32 = Surface(1, 1, 32, 0x0000FF);
  d32.DrawAdd(0, 0, 100000, false, false, true, s32.Bounds(), s32);
  EXPECT_EQ(d32.GetPixel(0, 0), 0x0000FEu);
  // Mask: k 0 leaves, 255 copies, 128 mixes.
  TDIBX md = Surface(3, 1, 15, 0), ms = Surface(3, 1, 15, 0x7FFF), mk = Surface(3, 1, 8, 0);
  mk.SetPixel(1, 0, 255), mk.SetPixel(2, 0, 128);
  md.DrawMask(0, 0, mk, false, false, ms.Bounds(), ms);
  EXPECT_EQ(md.GetPixel(0, 0), 0u);
  EXPECT_EQ(md.GetPixel(1, 0), 0x7FFFu);
  EXPECT_EQ(md.GetPixel(2, 0), (((0x7C00u * 128) >> 8) & 0x7C00) | (((0x3E0u * 128) >> 8) & 0x3E0) | ((0x1Fu * 128) >> 8));
}

TEST(DibxBlend, CoverageDividesByTheBlockArea) {
  TDIBX glyph;
  glyph.SetSize(4, 4, 1);
  glyph.Fill(1);  // background bits
  for (int x = 0; x < 4; ++x) glyph.SetPixel(x, 0, 0), glyph.SetPixel(x, 1, 0);  // 8 ink bits
  TDIBX d = Surface(1, 1, 32, 0);
  d.DrawCoverage(0, 0, 4, 255, false, false, 0xFEFEFE, glyph.Bounds(), glyph);
  EXPECT_EQ(d.GetPixel(0, 0), 0x7F7F7Fu);  // 50 %
  // Factor 3: 9 samples; 3 ink bits of 0x909090 over 0 -> 0x90 * 3 / 9 = 0x30.
  TDIBX g3;
  g3.SetSize(3, 3, 1);
  g3.Fill(1);
  for (int x = 0; x < 3; ++x) g3.SetPixel(x, 2, 0);
  d.Fill(0);
  d.DrawCoverage(0, 0, 3, 255, false, false, 0x909090, g3.Bounds(), g3);
  EXPECT_EQ(d.GetPixel(0, 0), 0x303030u);
}

TEST(DibxBlend, ClippingFlipsAndGeometry) {
  TDIBX src = Surface(3, 1, 32, 0);
  for (int x = 0; x < 3; ++x) src.SetPixel(x, 0, 10 + x);
  TDIBX d = Surface(4, 1, 32, 0);
  d.Draw(-1, 0, false, true, false, src.Bounds(), src);
  EXPECT_EQ(d.GetPixel(0, 0), 11u);  // flipH with the left cut by 1 reads columns 1, 0
  EXPECT_EQ(d.GetPixel(1, 0), 10u);
  // A clip rectangle with right 0 means the whole surface.
  d.SetClip({2, 0, 0, 1});
  d.Fill(0);
  d.FillRect({0, 0, 4, 1}, 5);
  EXPECT_EQ(d.GetPixel(0, 0), 5u);
  d.ResetClip();
  // Rotation by 0 at 100 % places srcRect with its pivot on (x, y).
  TDIBX r = Surface(5, 5, 32, 0);
  TDIBX img = Surface(2, 2, 32, 0);
  img.SetPixel(0, 0, 1), img.SetPixel(1, 0, 2), img.SetPixel(0, 1, 3), img.SetPixel(1, 1, 4);
  r.DrawRotate(2, 2, 255, false, false, false, 0, 1, 1, img.Bounds(), img, 256, 256);
  EXPECT_EQ(r.GetPixel(1, 1), 1u);
  EXPECT_EQ(r.GetPixel(2, 1), 2u);
  EXPECT_EQ(r.GetPixel(1, 2), 3u);
  EXPECT_EQ(r.GetPixel(2, 2), 4u);
  EXPECT_EQ(r.GetPixel(3, 3), 0u);
  // TileDraw with offsetX -1 and tile width 10 starts at source column 9.
  TDIBX tile = Surface(10, 1, 32, 0);
  for (int x = 0; x < 10; ++x) tile.SetPixel(x, 0, 100 + x);
  TDIBX t = Surface(12, 1, 32, 0);
  t.TileDraw(t.Bounds(), 0, 0, -1, false, tile.Bounds(), tile, 0);
  EXPECT_EQ(t.GetPixel(0, 0), 109u);
  EXPECT_EQ(t.GetPixel(1, 0), 100u);
  // Gaps that would not advance and empty tiles draw nothing and return.
  t.TileDraw(t.Bounds(), -100, 0, 0, false, TRect{}, tile, -100);
  // A wide stretch uses a column table sized to the row (wider than 1280).
  TDIBX wide = Surface(3000, 1, 32, 0);
  wide.StretchDraw(wide.Bounds(), tile, 255, false, false, false, tile.Bounds());
  EXPECT_EQ(wide.GetPixel(2999, 0), 109u);
  EXPECT_EQ(wide.GetPixel(0, 0), 100u);
}

TEST(DibxBlend, PaletteEntries) {
  TDIBX p = Surface(2, 2, 8, 0);
  std::array<uint32_t, 256> all{};
  all[3] = 0x0000FF;  // red as 0x00BBGGRR
  p.SetPalette(all);
  EXPECT_EQ(p.Surface().Palette()[3], 0xFF0000u);  // the surface keeps 0x00RRGGBB
  const uint32_t two[] = {0x112233, 0x445566};
  p.SetPaletteEntries(two, 255, 2);  // index 256 is left out
  uint32_t back[3] = {1, 1, 1};
  p.GetPaletteEntries(back, 254, 3);
  EXPECT_EQ(back[0], 0u);
  EXPECT_EQ(back[1], 0x112233u);
  EXPECT_EQ(back[2], 1u);
  p.SetPaletteEntries(two, -1, 2);
  p.GetPaletteEntries(back, 0, 1);
  EXPECT_EQ(back[0], 0x445566u);
}

template <class F>
void CompareWithReference(int bits) {
  std::mt19937 rng(1234 + bits);
  const auto masks = blend_ref::MasksFor(bits);
  uint32_t full = bits == 32 ? 0xFFFFFF : (bits == 16 ? 0xFFFF : 0x7FFF);
  using W = typename F::Word;
  const int n = 257;  // not a multiple of any vector width
  for (int v = 0; v < KernelVariantCount<F>(); ++v) {
    const DibxKernels<F>& k = KernelVariant<F>(v);
    SCOPED_TRACE(std::string(k.isa) + " " + std::to_string(bits));
    for (int round = 0; round < 20; ++round) {
      std::vector<W> s(n), d(n), out(n);
      std::vector<uint8_t> m(n);
      for (int i = 0; i < n; ++i) {
        s[i] = static_cast<W>(rng() & full), d[i] = static_cast<W>(rng() & full), m[i] = static_cast<uint8_t>(rng());
        if (i % 7 == 0) s[i] = d[i];  // equal pixels exercise the skip
        if (i % 11 == 0) m[i] = (i % 22) ? 0 : 255;
      }
      uint32_t a = rng() % 256, key = s[5], pixel = rng() & full;
      auto check = [&](auto run, auto ref) {
        out = d;
        run(out.data());
        for (int i = 0; i < n; ++i) ASSERT_EQ(uint32_t{out[i]}, ref(i)) << "pixel " << i << " alpha " << a;
      };
      check([&](W* o) { k.copy(o, s.data(), n, true, key); }, [&](int i) { return blend_ref::Copy(s[i], d[i], true, key); });
      check([&](W* o) { k.translucent(o, s.data(), n, a, true, key); },
            [&](int i) { return blend_ref::Translucent(masks, s[i], d[i], a, true, key); });
      check([&](W* o) { k.mask(o, s.data(), m.data(), n); }, [&](int i) { return blend_ref::Mask(masks, s[i], d[i], m[i]); });
      check([&](W* o) { k.maskTranslucent(o, s.data(), m.data(), n, a); },
            [&](int i) { return blend_ref::MaskTranslucent(masks, s[i], d[i], m[i], a); });
      check([&](W* o) { k.add(o, s.data(), n, a, true, key); },
            [&](int i) { return blend_ref::Add(masks, s[i], d[i], a, true, key); });
      check([&](W* o) { k.maskAdd(o, s.data(), m.data(), n, a); },
            [&](int i) { return blend_ref::MaskAdd(masks, s[i], d[i], m[i], a); });
      check([&](W* o) { k.fillTranslucent(o, n, pixel, a); },
            [&](int i) { return blend_ref::FillTranslucent(masks, pixel, d[i], a); });
      check([&](W* o) { k.addColor(o, n, pixel); }, [&](int i) { return blend_ref::AddColor(masks, pixel, d[i]); });
      check([&](W* o) { k.subColor(o, n, pixel); }, [&](int i) { return blend_ref::SubColor(masks, pixel, d[i]); });
      check([&](W* o) { k.fillMask(o, m.data(), n, pixel, a); },
            [&](int i) { return blend_ref::FillMask(masks, pixel, d[i], m[i], a); });
    }
  }
}

TEST(DibxBlend, FastPathsEqualTheScalarReference) {
  CompareWithReference<Fmt555>(15);
  CompareWithReference<Fmt565>(16);
  CompareWithReference<Fmt8888>(32);
}

}  // namespace
}  // namespace vorn
