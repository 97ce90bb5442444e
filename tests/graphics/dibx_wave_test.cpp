// The wave surface: every row of a draw lands on the target moved by that row's offset,
// limited to the wave area before the move and to the target's clip after it.
#include <gtest/gtest.h>

#include <random>

#include "graphics/dibx.h"
#include "graphics/dibx_wave.h"

namespace vorn {
namespace {

TDIBX Surface(int w, int h, int bits, uint32_t fill) {
  TDIBX s;
  s.SetSize(w, h, bits);
  s.Fill(fill);
  return s;
}

// Source pixel (x, y) = 0x10 * y + x + 1.
TDIBX Numbered(int w, int h) {
  TDIBX s = Surface(w, h, 32, 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) s.SetPixel(x, y, 0x10 * y + x + 1);
  return s;
}

std::vector<uint32_t> Pixels(const TDIBX& s) {
  std::vector<uint32_t> out;
  for (int y = 0; y < s.Height(); ++y)
    for (int x = 0; x < s.Width(); ++x) out.push_back(s.GetPixel(x, y));
  return out;
}

// Target 10 x 6; wave area (2, 1, 7, 4); offsets +1, +1, -2.
struct WaveFixture {
  TDIBX target = Surface(10, 6, 32, 0);
  TDIBXWave wave;
  WaveFixture() {
    wave.SetTargetSurface(&target);
    wave.SetSize(5, 3, 32);
    wave.SetOrigin(2, 1);
    wave.Offsets() = {1, 1, -2};
  }
  // Row y of the target as a string of pixel values for readable failures.
  std::vector<uint32_t> Row(int y) const {
    std::vector<uint32_t> r;
    for (int x = 0; x < target.Width(); ++x) r.push_back(target.GetPixel(x, y));
    return r;
  }
};

using Row = std::vector<uint32_t>;

TEST(DibxWave, PositionedDrawsMoveEachRowByItsOffset) {
  TDIBX src = Numbered(3, 3);
  {
    WaveFixture f;
    f.wave.Draw(2, 1, false, false, false, src.Bounds(), src);
    EXPECT_EQ(f.Row(0), Row(10, 0));
    EXPECT_EQ(f.Row(1), (Row{0, 0, 0, 0x01, 0x02, 0x03, 0, 0, 0, 0}));
    EXPECT_EQ(f.Row(2), (Row{0, 0, 0, 0x11, 0x12, 0x13, 0, 0, 0, 0}));
    EXPECT_EQ(f.Row(3), (Row{0x21, 0x22, 0x23, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(f.Row(4), Row(10, 0));
    EXPECT_EQ(f.wave.GetPixel(2, 3), 0x21u);  // reads follow the displacement too
  }
  {
    // Flipped vertically: the band of row 3 reads source row 0.
    WaveFixture f;
    f.wave.Draw(2, 1, true, false, false, src.Bounds(), src);
    EXPECT_EQ(f.Row(1), (Row{0, 0, 0, 0x21, 0x22, 0x23, 0, 0, 0, 0}));
    EXPECT_EQ(f.Row(3), (Row{0x01, 0x02, 0x03, 0, 0, 0, 0, 0, 0, 0}));
  }
  {
    // The wave area limits before the move: columns 5 and 6 of the area only, rows 1..3 only.
    WaveFixture f;
    f.wave.Draw(5, 0, false, false, false, src.Bounds(), src);
    EXPECT_EQ(f.Row(0), Row(10, 0));
    EXPECT_EQ(f.Row(1), (Row{0, 0, 0, 0, 0, 0, 0x11, 0x12, 0, 0}));
    EXPECT_EQ(f.Row(2), (Row{0, 0, 0, 0, 0, 0, 0x21, 0x22, 0, 0}));
    EXPECT_EQ(f.Row(3), Row(10, 0));  // source has no row for target row 3
  }
  {
    // The target's clip limits after the move, and is restored afterwards.
    WaveFixture f;
    f.target.SetClip({0, 0, 4, 6});
    f.wave.FillRect({2, 1, 4, 4}, 7);
    EXPECT_EQ(f.Row(1), (Row{0, 0, 0, 7, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(f.Row(3), (Row{7, 7, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(f.target.Clip(), (TRect{0, 0, 4, 6}));
  }
  {
    // Translucent through the wave: the formula at the displaced position only.
    WaveFixture f;
    f.target.Fill(0x0000FF);
    TDIBX red = Surface(1, 1, 32, 0xFF0000);
    f.wave.DrawTranslucent(2, 3, 128, false, false, false, red.Bounds(), red);
    EXPECT_EQ(f.target.GetPixel(0, 3), 0x7F007Eu);
    EXPECT_EQ(f.target.GetPixel(2, 3), 0x0000FFu);
  }
}

TEST(DibxWave, ClipRectangleAndTiles) {
  WaveFixture f;
  f.wave.AddClip({0, 0, 100, 2});  // clamped to the wave area: (2, 1, 7, 2)
  EXPECT_EQ(f.wave.Clip(), (TRect{2, 1, 7, 2}));
  f.wave.FillRect({0, 0, 10, 6}, 5);
  EXPECT_EQ(f.Row(1), (Row{0, 0, 0, 5, 5, 5, 5, 5, 0, 0}));
  EXPECT_EQ(f.Row(2), Row(10, 0));
  f.target.SetClip({0, 0, 3, 3});
  f.wave.ResetClip();  // resets the target's clip as well
  EXPECT_EQ(f.wave.Clip(), TRect{});
  EXPECT_EQ(f.target.Clip(), TRect{});

  // Tiling is built from Draw and works through the wave: tile {5, 6} over the area.
  WaveFixture t;
  TDIBX tile = Surface(2, 1, 32, 0);
  tile.SetPixel(0, 0, 5), tile.SetPixel(1, 0, 6);
  t.wave.TileDraw({2, 1, 7, 4}, 0, 0, 0, false, tile.Bounds(), tile, 0);
  EXPECT_EQ(t.Row(1), (Row{0, 0, 0, 5, 6, 5, 6, 5, 0, 0}));
  EXPECT_EQ(t.Row(3), (Row{5, 6, 5, 6, 5, 0, 0, 0, 0, 0}));
  EXPECT_EQ(t.wave.Clip(), TRect{});  // the tiling's work area is removed again

  // Without a target, or empty, nothing happens.
  TDIBXWave lone;
  lone.SetSize(4, 4, 32);
  lone.FillRect({0, 0, 4, 4}, 1);
  EXPECT_EQ(lone.GetPixel(0, 0), 0u);
  EXPECT_EQ(lone.ColorToPixel(0x123456), 0x123456);
}

// Stretched and rotated draws equal the row-by-row definition: each target row clipped to
// itself and drawn with the destination moved by that row's offset.
TEST(DibxWave, StretchAndRotateEqualTheRowByRowDefinition) {
  std::mt19937 rng(5);
  TDIBX src = Surface(13, 9, 16, 0);
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 13; ++x) src.SetPixel(x, y, rng() & 0xFFFF);
  for (int round = 0; round < 4; ++round) {
    TDIBX viaWave = Surface(40, 30, 16, 0x1234), byRow = Surface(40, 30, 16, 0x1234);
    TDIBXWave wave;
    wave.SetTargetSurface(&viaWave);
    wave.SetSize(30, 24, 16);
    wave.SetOrigin(3, 2);
    for (int32_t& o : wave.Offsets()) o = static_cast<int32_t>(rng() % 3) - 1;  // runs of equal offsets
    TRect dest{4, 1, 31, 29};
    auto both = [&](auto op) {
      op(static_cast<TCustomDIBX&>(wave), 0);
      for (int y = 2; y < 26; ++y) {
        int32_t o = wave.Offsets()[static_cast<size_t>(y - 2)];
        byRow.SetClip(Intersect({3 + o, y, 33 + o, y + 1}, byRow.Bounds()));
        op(static_cast<TCustomDIBX&>(byRow), o);
      }
      byRow.ResetClip();
    };
    if (round % 2 == 0) {
      both([&](TCustomDIBX& d, int32_t o) {
        TRect r{dest.left + o, dest.top, dest.right + o, dest.bottom};
        d.StretchDraw(r, src, round == 0 ? 255 : 100, round == 2, false, false, src.Bounds());
      });
    } else {
      both([&](TCustomDIBX& d, int32_t o) {
        d.DrawRotate(17 + o, 14, round == 1 ? 255 : 300, false, true, false, 37, 4, 6, src.Bounds(), src, 330, 290);
      });
    }
    EXPECT_NE(Pixels(viaWave), Pixels(Surface(40, 30, 16, 0x1234))) << "round " << round << " drew nothing";
    EXPECT_EQ(Pixels(viaWave), Pixels(byRow)) << "round " << round;
  }
}

}  // namespace
}  // namespace vorn
