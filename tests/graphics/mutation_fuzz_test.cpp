// Mutation fuzzing of the picture readers: every Windows bitmap and TGA variant the writers
// make, multi-image icons and cursors, PNG, JPEG and GIF, each read through the loader the
// player uses. Damaged input may only raise the engine's errors.
#include <gtest/gtest.h>

#include "graphics/dib_surface.h"
#include "graphics/picture_io.h"
#include "resources/error.h"
#include "resources/stream.h"
#include "resources/zlib_codec.h"
#include "support/mutation_fuzz.h"
#include "support/picture_writers.h"

namespace vorn {
namespace {

using testing::FuzzFormat;

constexpr int kIterations = 2000;
constexpr uint64_t kSeed = 20261211;
constexpr int kW = 7, kH = 5;  // odd sizes exercise row padding

std::function<void(const std::vector<uint8_t>&)> Loader(std::string name, bool keepAlpha = false) {
  return [name, keepAlpha](const std::vector<uint8_t>& bytes) {
    MemoryView view(bytes);
    TDIBSurface s;
    PictureLoadOptions o;
    o.keepAlpha = keepAlpha;
    LoadPicture(s, view, name, o);
  };
}

std::vector<FuzzFormat> Formats() {
  const testing::PictureFn pic16 = testing::IndexedPicture(16);
  std::vector<FuzzFormat> f;
  FuzzFormat bmp{"bmp", {}, Loader("a.bmp", true)};
  for (int header : {12, 40, 108, 124})
    for (int bits : {1, 4, 8, 24, 32})
      bmp.seeds.push_back(testing::MakeBmp({header, bits, 0, {}, false}, kW, kH, testing::IndexedPicture(bits == 1 ? 2 : 16)));
  bmp.seeds.push_back(testing::MakeBmp({40, 8, 1, {}, false}, kW, kH, pic16));  // RLE8
  bmp.seeds.push_back(testing::MakeBmp({40, 4, 2, {}, false}, kW, kH, pic16));  // RLE4
  bmp.seeds.push_back(testing::MakeBmp({40, 16, 3, {0xF800, 0x07E0, 0x001F}, true}, kW, kH, pic16));
  bmp.seeds.push_back(testing::MakeBmp({40, 32, 3, {0xFF0000, 0xFF00, 0xFF}, false}, kW, kH, pic16));
  bmp.seeds.push_back(testing::MakeBmp({40, 16, 0, {}, true}, kW, kH, pic16));
  f.push_back(std::move(bmp));

  FuzzFormat tga{"tga", {}, Loader("a.tga")};
  for (const testing::TgaVariant& v : std::vector<testing::TgaVariant>{
           {1, 8, 24, 0, -1}, {2, 24, 24, 0x20, -1}, {2, 32, 24, 0x10, 0x123456}, {2, 16, 24, 0, -1},
           {3, 8, 24, 0, -1}, {9, 8, 32, 0x20, -1}, {10, 24, 24, 0, 0x010203}, {10, 32, 24, 0x30, -1},
           {11, 8, 24, 0, -1}})
    tga.seeds.push_back(testing::MakeTga(v, kW, kH, pic16));
  f.push_back(std::move(tga));

  f.push_back({"icon", {testing::MakeIcon({1, 4, 8, 24, 32}, true, 8, 8, testing::IndexedPicture(2))}, Loader("a.ico")});
  f.push_back({"cursor", {testing::MakeIcon({8, 32}, false, 8, 8, pic16, true)}, Loader("a.cur")});
  f.push_back({"png",
               {testing::MakePng(kW, kH, pic16, false), testing::MakePng(kW, kH, pic16, true)},
               Loader("a.png", true)});
  f.push_back({"jpeg", {testing::MakeJpeg(kW, kH, pic16)}, Loader("a.jpg")});
  f.push_back({"gif",
               {testing::MakeGif(kW, kH, pic16, 3, false), testing::MakeGif(kW, kH, pic16, -1, true)},
               Loader("a.gif")});
  return f;
}

// Inputs the fuzzing found, kept as fixed cases.
struct KnownCase {
  const char* what;
  const char* name;  // picks the reader
  std::vector<uint8_t> bytes;
};

TEST(GraphicsMutationFuzz, KnownDamagedPicturesRaiseEngineErrors) {
  const std::vector<KnownCase> cases = {
      // An 18-byte TGA header claiming 32768 x 8192 at 32 bits and no pixels: refused before
      // a gigabyte buffer is made for them.
      {"tga header without pixels", "a.tga", {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x80, 0x00, 0x20, 32, 0}},
      {"rle tga header without packets", "a.tga", {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x80, 0x00, 0x20, 32, 0}},
      // A 1 x 1 screen with a 32767 x 65535 image of four bytes: refused by its size before
      // giflib's slurp makes a 2 GiB raster for it.
      {"gif image of 32767 x 65535", "a.gif",
       {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 0, 0, 0, 255, 255, 255, 0x2C, 0, 0, 0, 0, 0xFF, 0x7F,
        0xFF, 0xFF, 0, 2, 2, 0x44, 0x01, 0, 0x3B}},
      // 16384 x 16384 (256 MiB, within the surface limit) from the same few bytes: more pixels
      // than the LZW data left could ever describe.
      {"gif image of 16384 x 16384", "a.gif",
       {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 0, 0, 0, 255, 255, 255, 0x2C, 0, 0, 0, 0, 0x00, 0x40,
        0x00, 0x40, 0, 2, 2, 0x44, 0x01, 0, 0x3B}},
      // A bitmap with a core header claiming 16384 x 20485 at 4 bits and 64 bytes of pixels:
      // refused before the 335 MB surface is made, not after.
      {"bmp rows missing", "a.bmp",
       [] {
         std::vector<uint8_t> b = {'B', 'M', 0x5E, 0, 0, 0, 0, 0, 0, 0, 0x4A, 0, 0, 0, 12, 0, 0, 0, 0x00, 0x40, 0x05, 0x50, 1, 0, 4, 0};
         b.resize(0x4A + 64, 0x11);  // 16 palette entries of 3 bytes, then a few pixels
         return b;
       }()},
  };
  for (const KnownCase& c : cases) {
    FuzzFormat f{c.what, {}, Loader(c.name)};
    EXPECT_EQ(testing::ReadOutcome(f, c.bytes), "engine error") << c.what;
  }
}

// A 16 x 16 JPEG whose frame header is changed to claim 8192 x 8192: 64 M pixels cannot
// come from a file of a few hundred bytes, so no 192 MiB surface is made for it.
// A 7 x 5 PNG whose header claims 16000 x 16000 (32-bit: just within the surface limit):
// refused before a gigabyte surface is made for data of a few hundred bytes. The header's
// CRC is fixed up so that libpng itself accepts it.
TEST(GraphicsMutationFuzz, PngClaimingMorePixelsThanItsDataIsRefused) {
  std::vector<uint8_t> bytes = testing::MakePng(kW, kH, testing::IndexedPicture(16), true);
  ASSERT_EQ(std::string(bytes.begin() + 12, bytes.begin() + 16), "IHDR");
  for (size_t at : {size_t{16}, size_t{20}}) bytes[at] = 0, bytes[at + 1] = 0, bytes[at + 2] = 0x3E, bytes[at + 3] = 0x80;
  const uint32_t crc = Crc32(std::span<const uint8_t>(bytes.data() + 12, 17));
  for (int k = 0; k < 4; ++k) bytes[29 + static_cast<size_t>(k)] = static_cast<uint8_t>(crc >> (24 - 8 * k));
  // Refused for its size, not later for its missing pixels.
  try {
    Loader("a.png")(bytes);
    ADD_FAILURE() << "accepted";
  } catch (const EVornError& e) {
    EXPECT_NE(std::string(e.what()).find("size"), std::string::npos) << e.what();
  }
}

TEST(GraphicsMutationFuzz, JpegClaimingMorePixelsThanItsDataIsRefused) {
  std::vector<uint8_t> bytes = testing::MakeJpeg(16, 16, testing::IndexedPicture(16));
  bool patched = false;
  for (size_t i = 0; i + 9 < bytes.size() && !patched; ++i)
    if (bytes[i] == 0xFF && bytes[i + 1] == 0xC0) {  // baseline frame header: height, width big-endian
      bytes[i + 5] = 0x20, bytes[i + 6] = 0x00, bytes[i + 7] = 0x20, bytes[i + 8] = 0x00;
      patched = true;
    }
  ASSERT_TRUE(patched);
  EXPECT_EQ(testing::ReadOutcome({"jpeg", {}, Loader("a.jpg")}, bytes), "engine error");
}

// An icon whose one 8-bit image is run-length coded (compression 1) and ends at once: it
// loads opaque. The reader used to index the AND mask that only plain images fill.
TEST(GraphicsMutationFuzz, RunLengthIconImageLoadsOpaque) {
  std::vector<uint8_t> bytes = testing::MakeIcon({8}, false, 2, 2, testing::IndexedPicture(2));
  const size_t image = 6 + 16;              // one directory entry
  bytes[image + 16] = 1;                    // compression: RLE8
  const size_t pixels = image + 40 + 1024;  // header, 256 palette entries
  ASSERT_LT(pixels + 1, bytes.size());
  bytes[pixels] = 0;
  bytes[pixels + 1] = 1;  // end of bitmap
  MemoryView view(bytes);
  TDIBSurface s;
  LoadPicture(s, view, "a.ico");
  ASSERT_EQ(s.Width(), 2);
  ASSERT_EQ(s.Height(), 2);
  ASSERT_NE(s.Alpha(), nullptr);
  EXPECT_EQ(s.Alpha()->Row(0)[0], 255);
}

// A run-length bitmap whose one row gets 100000 runs of 255 pixels and 100000 deltas of
// 255 columns after its end: the extra pixels are dropped without walking through them, and
// the column never grows past the width (a file of ~34 MB of deltas overflowed it before).
TEST(GraphicsMutationFuzz, RunLengthRowOverrunIsDropped) {
  std::vector<uint8_t> bytes = testing::MakeBmp({40, 8, 1, {}, false}, 3, 2, testing::IndexedPicture(16));
  const size_t pixelOffset = bytes[10] | (bytes[11] << 8) | (bytes[12] << 16) | (size_t{bytes[13]} << 24);
  ASSERT_LT(pixelOffset, bytes.size());
  bytes.resize(pixelOffset);  // the bottom row is written anew
  for (int i = 0; i < 100000; ++i) bytes.insert(bytes.end(), {255, 5, 0, 2, 255, 0});
  bytes.insert(bytes.end(), {0, 1});  // end of bitmap
  MemoryView view(bytes);
  TDIBSurface s;
  LoadPicture(s, view, "a.bmp");
  ASSERT_EQ(s.Width(), 3);
  ASSERT_EQ(s.Height(), 2);
  for (int x = 0; x < 3; ++x) EXPECT_EQ(s.GetPixel(x, 1), 5u) << x;
}

TEST(GraphicsMutationFuzz, DamagedPicturesRaiseOnlyEngineErrors) {
  testing::RunMutationFuzzAll(Formats(), kIterations, kSeed);
}

}  // namespace
}  // namespace vorn
