// Hostile geometry: every drawing operation of the pixel surface and the wave surface is fed
// coordinates, sizes, zooms and gaps at and near the int32 limits. Nothing may crash, hang or
// overflow (the sanitizer build checks the last), and pixels outside the surface stay unread.
#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "graphics/dib_surface.h"
#include "graphics/dibx.h"
#include "graphics/dibx_wave.h"

namespace vorn {
namespace {

class Hostile {
 public:
  explicit Hostile(uint32_t seed) : rng_(seed) {}
  int32_t Any() {
    static constexpr int32_t kValues[] = {INT32_MIN, INT32_MIN + 1, -1000000000, -65536, -257, -5, -1, 0, 1, 2, 3,
                                          7,         17,            255,         256,    257,  4000, 1000000000,
                                          INT32_MAX - 1, INT32_MAX};
    return kValues[rng_() % std::size(kValues)];
  }
  // Mostly sensible small values, sometimes extreme ones.
  int32_t Small() { return rng_() % 4 == 0 ? Any() : static_cast<int32_t>(rng_() % 40) - 10; }
  TRect Rect() { return {Small(), Small(), Small(), Small()}; }
  bool Flag() { return rng_() & 1; }

 private:
  std::mt19937 rng_;
};

void Exercise(TCustomDIBX& d, const TCustomDIBX& src, const TCustomDIBX& mask, const TCustomDIBX& glyph,
              const TCustomDIBX& idx4, const TCustomDIBX& idx8, Hostile& h) {
  std::array<uint32_t, 16> c16{};
  std::array<uint32_t, 256> c256{};
  std::array<uint32_t, 3> c3{1, 2, 3};
  d.SetClip(h.Rect());
  d.FillRect(h.Rect(), 1);
  d.FillRectTranslucent(h.Rect(), 2, h.Small());
  d.AddColor(h.Rect(), 3);
  d.SubColor(h.Rect(), 4);
  d.FrameRect(h.Rect(), h.Small(), 5);
  d.FrameRectTranslucent(h.Rect(), h.Small(), h.Small(), 6);
  d.FrameRectAdd(h.Rect(), h.Small(), 7);
  d.Draw(h.Small(), h.Small(), h.Flag(), h.Flag(), h.Flag(), h.Rect(), src);
  d.DrawMask(h.Small(), h.Small(), mask, h.Flag(), h.Flag(), h.Rect(), src);
  d.DrawTranslucent(h.Small(), h.Small(), h.Small(), h.Flag(), h.Flag(), h.Flag(), h.Rect(), src);
  d.DrawMaskTranslucent(h.Small(), h.Small(), h.Small(), mask, h.Flag(), h.Flag(), h.Rect(), src);
  d.DrawAdd(h.Small(), h.Small(), h.Any(), h.Flag(), h.Flag(), true, h.Rect(), src);
  d.DrawMaskAdd(h.Small(), h.Small(), h.Any(), mask, h.Flag(), h.Flag(), h.Rect(), src);
  TRect inside{0, 0, 1 + h.Small() % 8, 1 + h.Small() % 8};
  if (h.Flag()) inside = src.Bounds();
  d.DrawRotate(h.Small(), h.Small(), h.Any(), h.Flag(), h.Flag(), h.Flag(), h.Any(), h.Small(), h.Small(), inside, src,
               h.Any(), h.Any());
  d.DrawMaskRotate(h.Small(), h.Small(), h.Any(), mask, h.Flag(), h.Flag(), h.Any(), h.Small(), h.Small(), inside,
                   src, h.Small(), h.Small());
  d.StretchDraw(h.Rect(), src, h.Any(), h.Flag(), h.Flag(), h.Flag(), h.Flag() ? inside : h.Rect());
  d.StretchDrawMask(h.Rect(), src, h.Any(), mask, h.Flag(), h.Flag(), inside);
  d.StretchDrawAdd(h.Rect(), src, h.Any(), h.Flag(), h.Flag(), h.Flag(), inside);
  d.StretchDrawMaskAdd(h.Rect(), src, h.Any(), mask, h.Flag(), h.Flag(), inside);
  d.DrawCoverage(h.Small(), h.Small(), h.Small(), h.Any(), h.Flag(), h.Flag(), 9, h.Flag() ? glyph.Bounds() : h.Rect(),
                 glyph);
  d.DrawCoverage3(h.Small(), h.Small(), h.Small(), h.Any(), h.Flag(), h.Flag(), c3, h.Flag() ? idx4.Bounds() : h.Rect(),
                  idx4);
  d.TileDraw(h.Rect(), h.Small(), h.Any(), h.Any(), h.Flag(), h.Rect(), src, h.Small());
  d.TileDrawTranslucent(h.Rect(), h.Small(), h.Any(), h.Any(), h.Flag(), h.Rect(), src, h.Small(), h.Small());
  d.TileDrawAdd(h.Rect(), h.Small(), h.Any(), h.Any(), h.Rect(), src, h.Small(), h.Any());
  d.TileDrawMask(h.Rect(), h.Small(), h.Any(), h.Any(), h.Rect(), src, h.Small(), mask);
  d.TileDrawMaskTranslucent(h.Rect(), h.Small(), h.Any(), h.Any(), h.Rect(), src, h.Small(), mask, h.Small());
  d.TileDrawMaskAdd(h.Rect(), h.Small(), h.Any(), h.Any(), h.Rect(), src, h.Small(), mask, h.Any());
  d.TileStretchDraw(h.Rect(), h.Small(), h.Any(), h.Any(), h.Flag(), inside, src, h.Small(), h.Small(), h.Small(),
                    h.Any());
  d.TileStretchDrawMask(h.Rect(), h.Small(), h.Any(), h.Any(), inside, src, h.Small(), h.Small(), h.Small(), h.Any(),
                        mask);
  d.FramePattern(h.Rect(), h.Small(), h.Any(), h.Any(), src);
  d.DrawIndexed4(h.Small(), h.Small(), c16, h.Any(), h.Flag(), h.Flag(), h.Rect(), idx4);
  d.DrawIndexedAdd(h.Small(), h.Small(), c256, h.Any(), h.Flag(), h.Flag(), h.Rect(), idx8);
  d.StretchDrawIndexed(h.Rect(), h.Flag() ? idx4 : idx8, c256, h.Any(), h.Flag(), h.Flag(), h.Rect());
  d.PatternFillTranslucent(h.Rect(), h.Any(), h.Any(), h.Flag(), h.Flag(), h.Flag(), h.Any(), h.Any(), src, h.Any());
  d.PatternFillMask(h.Rect(), h.Any(), h.Any(), mask, h.Flag(), h.Flag(), h.Any(), h.Any(), src, h.Any());
  d.PatternFill(h.Rect(), src, h.Flag(), h.Flag(), h.Any(), h.Any());
  d.FillMask(h.Small(), h.Small(), h.Any(), 8, h.Flag(), h.Flag(), h.Rect(), mask);
  d.AddClip(h.Rect());
  (void)d.GetPixel(h.Any(), h.Any());
  d.SetPixel(h.Any(), h.Any(), 1);
  d.ResetClip();
}

TEST(DibxHostile, ExtremeGeometryIsHarmless) {
  for (int bits : {32, 16, 15}) {
    TDIBX dst, src, mask, glyph, idx4, idx8;
    dst.SetSize(23, 17, bits);
    src.SetSize(9, 7, bits);
    mask.SetSize(9, 7, 8);
    glyph.SetSize(16, 12, 1);
    idx4.SetSize(9, 7, 4);
    idx8.SetSize(9, 7, 8);
    src.Fill(0x1234), mask.Fill(128), idx4.Fill(3), idx8.Fill(200);
    src.SetColorKey(0x1234);
    TDIBX target;
    target.SetSize(30, 20, bits);
    TDIBXWave wave;
    wave.SetTargetSurface(&target);
    wave.SetSize(20, 12, bits);
    wave.SetOrigin(3, 4);
    for (size_t i = 0; i < wave.Offsets().size(); ++i) wave.Offsets()[i] = i % 3 == 0 ? INT32_MIN : int32_t(i % 5) - 2;
    Hostile h(static_cast<uint32_t>(bits));
    for (int round = 0; round < 600; ++round) {
      Exercise(dst, src, mask, glyph, idx4, idx8, h);
      Exercise(wave, src, mask, glyph, idx4, idx8, h);
      if (round == 300) wave.SetOrigin(INT32_MAX - 5, INT32_MIN + 2);
    }
  }
}

TEST(DibSurfaceHostile, ExtremeCopiesAreHarmless) {
  Hostile h(99);
  for (int bits : {1, 4, 8, 15, 16, 24, 32}) {
    TDIBSurface dst, src;
    dst.SetSize(13, 11, bits);
    src.SetSize(7, 5, bits);
    src.EnsureAlpha();
    for (int round = 0; round < 200; ++round) {
      dst.clip = h.Rect();
      dst.Draw(h.Small(), h.Small(), h.Rect(), src, h.Flag() ? -1 : 0);
      dst.DrawTranslucent(h.Small(), h.Small(), h.Rect(), src, h.Any(), h.Flag() ? -1 : 0);
      dst.DrawAlpha(h.Small(), h.Small(), h.Rect(), src, h.Any());
      dst.FillRect(h.Rect(), 1);
      src.CopyAlphaRect(*src.Alpha(), h.Rect());
    }
  }
}

}  // namespace
}  // namespace vorn
