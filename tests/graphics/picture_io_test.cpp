// Picture readers: every variant of a generated file reads back the picture it was made
// from; damaged and truncated files give EFormatError, never a crash.
#include <gtest/gtest.h>

#include "graphics/picture_io.h"
#include "resources/error.h"
#include "support/picture_writers.h"

namespace vorn {
namespace {

using testing::BmpVariant;
using testing::TgaVariant;

uint32_t Rgb(const TDIBSurface& s, int x, int y) {
  uint8_t r, g, b;
  s.SplitPixel(s.GetPixel(x, y), r, g, b);
  return (uint32_t{r} << 16) | (uint32_t{g} << 8) | b;
}

// Colours after a round trip through fields of `bits` width (5-5-5: the low 3 bits go).
uint32_t Reduce(uint32_t c, int bits) {
  if (bits == 15) return c & 0xF8F8F8;
  if (bits == 16) return c & 0xF8FCF8;
  return c;
}

void ExpectPicture(const TDIBSurface& s, int w, int h, const testing::PictureFn& pic, int bits) {
  ASSERT_EQ(s.Width(), w);
  ASSERT_EQ(s.Height(), h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) ASSERT_EQ(Rgb(s, x, y), Reduce(pic(x, y), bits)) << x << "," << y;
}

int64_t Load(TDIBSurface& s, const std::vector<uint8_t>& data, const std::string& name, PictureLoadOptions o = {}) {
  MemoryView view(data);
  return LoadPicture(s, view, name, o);
}

// Every prefix of a valid file must fail cleanly or load; nothing else may happen.
void ExpectTruncationsSafe(const std::vector<uint8_t>& data, const std::string& name) {
  for (size_t n = 0; n < data.size(); ++n) {
    std::vector<uint8_t> part(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(n));
    TDIBSurface s;
    try {
      Load(s, part, name);
    } catch (const EFormatError&) {
    } catch (const EVornError&) {
    }
  }
}

TEST(BmpReader, ReadsEveryVariant) {
  struct Case { BmpVariant v; int surfaceBits; };
  std::vector<Case> cases;
  for (int hs : {12, 40, 124})
    for (int bits : {1, 4, 8, 24}) cases.push_back({BmpVariant{hs, bits, 0, {0, 0, 0}, false}, bits});
  cases.push_back({BmpVariant{40, 16, 0, {0, 0, 0}, false}, 15});
  cases.push_back({BmpVariant{40, 16, 3, {0xF800, 0x07E0, 0x1F}, false}, 16});
  cases.push_back({BmpVariant{40, 16, 3, {0x0F00, 0x00F0, 0x000F}, false}, 32});  // 4-4-4 widened
  cases.push_back({BmpVariant{40, 32, 0, {0, 0, 0}, false}, 32});
  cases.push_back({BmpVariant{124, 32, 3, {0xFF, 0xFF00, 0xFF0000}, false}, 32});  // swapped fields
  cases.push_back({BmpVariant{40, 8, 1, {0, 0, 0}, false}, 8});   // RLE8
  cases.push_back({BmpVariant{40, 4, 2, {0, 0, 0}, false}, 4});   // RLE4
  cases.push_back({BmpVariant{40, 24, 0, {0, 0, 0}, true}, 24});  // top-down
  for (const Case& c : cases) {
    SCOPED_TRACE("header " + std::to_string(c.v.headerSize) + " bits " + std::to_string(c.v.bits) + " comp " +
                 std::to_string(c.v.compression));
    int colours = c.v.bits == 1 ? 2 : 16;
    auto pic = c.v.compression == 3 && c.v.masks[0] == 0x0F00
                   ? testing::PictureFn([](int x, int y) { return ((x * 0x11) << 16 | (y * 0x11) << 8 | 0xFF) & 0xFFFFFF; })
                   : testing::IndexedPicture(colours);
    auto data = testing::MakeBmp(c.v, 13, 7, pic);
    TDIBSurface s;
    EXPECT_EQ(Load(s, data, "a.bmp"), -1);
    EXPECT_EQ(s.BitCount(), c.surfaceBits);
    ExpectPicture(s, 13, 7, pic, c.surfaceBits);
    ExpectTruncationsSafe(data, "a.bmp");
  }
}

TEST(BmpReader, WriterRoundTripsEveryDepth) {
  for (int bits : {1, 4, 8, 15, 16, 24, 32}) {
    TDIBSurface s;
    s.SetSize(9, 5, bits);
    for (int i = 0; i < 16; ++i) s.Palette()[static_cast<size_t>(i)] = testing::TestPaletteColour(i);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 9; ++x) s.SetPixel(x, y, static_cast<uint32_t>(x * 7 + y * 3) & (bits < 8 ? (1u << bits) - 1 : 0x7FFF));
    MemoryStream out;
    SavePicture(s, out, "x.bmp");
    TDIBSurface back;
    Load(back, out.Data(), "x.bmp");
    ASSERT_EQ(back.BitCount(), bits);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 9; ++x) ASSERT_EQ(back.GetPixel(x, y), s.GetPixel(x, y));
  }
}

TEST(TgaReader, ReadsEveryTypeDepthAndOrigin) {
  struct Case { int type, depth, mapBits, bits; };
  const Case cases[] = {{1, 8, 24, 8}, {1, 8, 16, 8}, {1, 8, 32, 8}, {9, 8, 24, 8}, {2, 16, 0, 15}, {2, 24, 0, 24},
                        {2, 32, 0, 32}, {10, 16, 0, 15}, {10, 24, 0, 24}, {10, 32, 0, 32}, {3, 8, 0, 8}, {11, 8, 0, 8}};
  for (const Case& c : cases)
    for (uint8_t desc : {uint8_t{0}, uint8_t{0x10}, uint8_t{0x20}, uint8_t{0x30}}) {
      SCOPED_TRACE("type " + std::to_string(c.type) + " depth " + std::to_string(c.depth) + " desc " + std::to_string(desc));
      testing::PictureFn pic = testing::IndexedPicture(16);
      if (c.type == 3 || c.type == 11) pic = [](int x, int y) { return uint32_t(x * 16 + y) * 0x010101; };
      auto data = testing::MakeTga({c.type, c.depth, c.mapBits, desc, -1}, 11, 6, pic);
      TDIBSurface s;
      EXPECT_EQ(Load(s, data, "A.TGA"), -1);
      EXPECT_EQ(s.BitCount(), c.bits);
      ExpectPicture(s, 11, 6, pic, c.mapBits == 16 ? 15 : c.bits);  // 16-bit map entries keep 5 bits
      if (desc == 0) ExpectTruncationsSafe(data, "a.tga");
    }
}

TEST(TgaReader, FooterKeyColourBecomesAPixelValue) {
  auto pic = testing::IndexedPicture(16);
  TDIBSurface s;
  EXPECT_EQ(Load(s, testing::MakeTga({2, 24, 0, 0, 0x00FF00}, 4, 4, pic), "k.tga"), 0x00FF00);
  EXPECT_EQ(Load(s, testing::MakeTga({2, 16, 0, 0, 0xFF0000}, 4, 4, pic), "k.tga"), 0x7C00);
  // At palette depths the key is the nearest palette index (index 4 is pure blue).
  EXPECT_EQ(Load(s, testing::MakeTga({1, 8, 24, 0, 0x0000FE}, 4, 4, pic), "k.tga"), 4);
}

TEST(TgaReader, WriterRoundTripsWithRuns) {
  for (int bits : {8, 15, 16, 24, 32}) {
    TDIBSurface s;
    s.SetSize(300, 3, bits);  // rows longer than one 128-pixel packet
    for (int i = 0; i < 16; ++i) s.Palette()[static_cast<size_t>(i)] = testing::TestPaletteColour(i);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 300; ++x) s.SetPixel(x, y, x < 200 ? 5u : static_cast<uint32_t>(x % 7));
    MemoryStream out;
    SavePicture(s, out, "x.tga");
    TDIBSurface back;
    EXPECT_EQ(Load(back, out.Data(), "x.tga"), -1);
    ASSERT_EQ(back.Width(), 300);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 300; ++x) {
        uint8_t r1, g1, b1, r2, g2, b2;
        s.SplitPixel(s.GetPixel(x, y), r1, g1, b1);
        back.SplitPixel(back.GetPixel(x, y), r2, g2, b2);
        ASSERT_EQ(r1, r2); ASSERT_EQ(g1 & 0xF8, g2 & 0xF8); ASSERT_EQ(b1, b2);
      }
  }
}

TEST(TgaReader, RejectsDamage) {
  auto data = testing::MakeTga({10, 24, 0, 0, -1}, 8, 8, testing::IndexedPicture(16));
  TDIBSurface s;
  auto bad = data;
  bad[2] = 4;
  EXPECT_THROW(Load(s, bad, "x.tga"), EFormatError);
  bad = data;
  bad[18 + 3] = 0xFF;  // first packet: a run of 128 in a 64-pixel picture
  try {
    Load(s, bad, "x.tga");
    FAIL();
  } catch (const EFormatError& e) {
    EXPECT_NE(std::string(e.what()).find("packet"), std::string::npos) << e.what();
  }
  bad = testing::MakeTga({1, 8, 24, 0, -1}, 8, 8, testing::IndexedPicture(16));
  bad[3] = 250;  // colour map start + length beyond 256
  EXPECT_THROW(Load(s, bad, "x.tga"), EFormatError);
}

TEST(IconReader, ReadsEveryImageAndItsMask) {
  auto pic = testing::IndexedPicture(2);
  auto data = testing::MakeIcon({1, 4, 8, 24, 32}, true, 16, 8, pic);
  std::vector<std::string> seen;
  for (int pick = 0; pick < 6; ++pick) {
    PictureLoadOptions o;
    o.chooseIcon = [&](const std::string& title, const std::vector<std::string>& lines) {
      EXPECT_EQ(title, "Select One from Multiple Icons");
      seen = lines;
      return pick;
    };
    TDIBSurface s;
    Load(s, data, "a.ico", o);
    ExpectPicture(s, 16, 8, pic, s.BitCount());
    ASSERT_NE(s.Alpha(), nullptr);
    if (pick < 5) {
      EXPECT_EQ(s.Alpha()->GetPixel(0, 3), 0u);
      EXPECT_EQ(s.Alpha()->GetPixel(1, 3), 255u);
    } else {
      EXPECT_EQ(s.Alpha()->GetPixel(15, 0), 255u);  // the PNG's own alpha
    }
  }
  ASSERT_EQ(seen.size(), 6u);
  EXPECT_EQ(seen[0], "000 : 16 x 8  1 bpp");
  EXPECT_EQ(seen[4], "004 : 16 x 8  32 bpp");
  ExpectTruncationsSafe(testing::MakeIcon({4}, false, 8, 8, pic), "a.cur");
}

TEST(IconReader, WriterRoundTripsWithMask) {
  TDIBSurface s;
  s.SetSize(5, 4, 24);
  s.FillRect(s.Bounds(), 0x123456);
  s.EnsureAlpha();
  s.ResetAlpha();
  s.Alpha()->SetPixel(2, 1, 0);
  MemoryStream out;
  SavePicture(s, out, "x.cur");
  TDIBSurface back;
  Load(back, out.Data(), "x.cur");
  EXPECT_EQ(back.GetPixel(4, 3), 0x123456u);
  EXPECT_EQ(back.Alpha()->GetPixel(2, 1), 0u);
  EXPECT_EQ(back.Alpha()->GetPixel(3, 1), 255u);
}

TEST(IconReader, RejectsOffsetsOutsideTheFile) {
  auto data = testing::MakeIcon({8}, false, 8, 8, testing::IndexedPicture(16));
  data[6 + 12] = 0xF0;  // image size far beyond the file
  TDIBSurface s;
  EXPECT_THROW(Load(s, data, "a.ico"), EFormatError);
}

TEST(LibraryReaders, PngJpegGif) {
  auto pic = testing::IndexedPicture(16);
  TDIBSurface s;
  Load(s, testing::MakePng(10, 9, pic, false), "p.png");
  EXPECT_EQ(s.BitCount(), 24);
  ExpectPicture(s, 10, 9, pic, 24);
  // With alpha and keepAlpha: 24 bits and the alpha in the plane.
  PictureLoadOptions keep;
  keep.keepAlpha = true;
  Load(s, testing::MakePng(10, 9, pic, true), "p.png", keep);
  EXPECT_EQ(s.BitCount(), 24);
  ExpectPicture(s, 10, 9, pic, 24);
  EXPECT_EQ(s.Alpha()->GetPixel(9, 0), 255u);
  EXPECT_EQ(s.Alpha()->GetPixel(0, 0), 0u);
  for (bool interlace : {false, true}) {
    EXPECT_EQ(Load(s, testing::MakeGif(10, 9, pic, 3, interlace), "g.gif"), 3);
    ExpectPicture(s, 10, 9, pic, 8);
  }
  auto flat = [](int, int) { return 0x4080C0u; };
  Load(s, testing::MakeJpeg(16, 16, flat), "j.jpg");
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      uint32_t c = Rgb(s, x, y);
      EXPECT_NEAR(int(c >> 16), 0x40, 3);
      EXPECT_NEAR(int(c & 0xFF), 0xC0, 3);
    }
  ExpectTruncationsSafe(testing::MakePng(6, 5, pic, true), "p.png");
  ExpectTruncationsSafe(testing::MakeGif(6, 5, pic, -1, true), "g.gif");
  ExpectTruncationsSafe(testing::MakeJpeg(8, 8, flat), "j.jpg");
}

// SaveAsJpeg from every depth: the left half and the right half keep their colours within
// the error of the compression; the file reads back through the JPEG reader.
TEST(JpegWriter, SavesEveryDepth) {
  const uint32_t left = 0xF00000, right = 0x2040F8;  // exact in 5-5-5 and 5-6-5 as well
  for (int bits : {1, 4, 8, 15, 16, 24, 32}) {
    SCOPED_TRACE(bits);
    TDIBSurface s;
    s.SetSize(32, 16, bits);
    s.Palette()[0] = left, s.Palette()[1] = right;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 32; ++x) {
        uint32_t c = x < 16 ? left : right;
        s.SetPixel(x, y, bits <= 8 ? (x < 16 ? 0 : 1) : s.MakePixel(uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)));
      }
    MemoryStream out;
    s.SaveAsJpeg(out, 95);
    TDIBSurface back;
    Load(back, out.Data(), "saved.jpg");
    ASSERT_EQ(back.Width(), 32);
    ASSERT_EQ(back.Height(), 16);
    for (int x : {2, 12, 20, 29}) {
      uint32_t want = x < 16 ? left : right, got = Rgb(back, x, 8);
      for (int sh = 0; sh < 24; sh += 8) EXPECT_NEAR(int((got >> sh) & 0xFF), int((want >> sh) & 0xFF), 6) << x;
    }
  }
  TDIBSurface empty;
  MemoryStream out;
  EXPECT_THROW(empty.SaveAsJpeg(out), EVornError);
}

TEST(PictureReaders, ClearErrorsNameTheField) {
  TDIBSurface s;
  auto bmp = testing::MakeBmp({40, 24, 0, {0, 0, 0}, false}, 4, 4, testing::IndexedPicture(16));
  bmp[18] = 0xFF, bmp[19] = 0xFF, bmp[20] = 0xFF, bmp[21] = 0x7F;  // width 2^31 - 1
  try {
    Load(s, bmp, "x.bmp");
    FAIL();
  } catch (const EFormatError& e) {
    EXPECT_EQ(std::string(e.what()).rfind("bitmap: width:", 0), 0u) << e.what();
  }
  std::vector<uint8_t> junk = {'X', 'Y', 'Z', 0, 1, 2};
  EXPECT_THROW(Load(s, junk, "x.dat"), EFormatError);
}

}  // namespace
}  // namespace vorn
