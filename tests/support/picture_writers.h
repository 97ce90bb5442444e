// Writers of picture files for the graphics tests: every BMP and TGA variant the readers
// accept, multi-image icons, and PNG, JPEG and GIF files through their libraries.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace vorn::testing {

// The test picture: colour of (x, y) as 0x00RRGGBB.
using PictureFn = std::function<uint32_t(int x, int y)>;
// A picture of at most 16 colours (so every variant, including 1 and 4 bits, can hold it
// through its palette): index (x + 2y) mod n into a fixed colour list.
uint32_t TestPaletteColour(int index);
PictureFn IndexedPicture(int colours);

struct BmpVariant {
  int headerSize = 40;   // 12, 40, 108 or 124
  int bits = 24;         // 1, 4, 8, 16, 24, 32
  int compression = 0;   // 0 RGB, 1 RLE8, 2 RLE4, 3 bit fields
  uint32_t masks[3] = {0, 0, 0};  // for bit fields
  bool topDown = false;
};
// Pixels of palette variants are indices of IndexedPicture(1 << min(bits, 4)).
std::vector<uint8_t> MakeBmp(const BmpVariant& v, int width, int height, const PictureFn& picture);

struct TgaVariant {
  int type = 2;           // 1, 2, 3, 9, 10, 11
  int depth = 24;         // pixel depth
  int mapBits = 24;       // colour-map entry size for types 1 and 9
  uint8_t descriptor = 0; // origin bits 0x10 (right to left), 0x20 (top down)
  int64_t keyColour = -1; // >= 0: a version 2 footer with an extension area holding it
};
std::vector<uint8_t> MakeTga(const TgaVariant& v, int width, int height, const PictureFn& picture);

// An icon file with one DIB image per entry of `bits` (1, 4, 8, 24, 32) and, when png is
// set, a last PNG image; the AND mask marks the left column transparent.
std::vector<uint8_t> MakeIcon(const std::vector<int>& bits, bool png, int width, int height, const PictureFn& picture,
                              bool cursor = false);

std::vector<uint8_t> MakePng(int width, int height, const PictureFn& picture, bool alpha);
std::vector<uint8_t> MakeJpeg(int width, int height, const PictureFn& picture);
std::vector<uint8_t> MakeGif(int width, int height, const PictureFn& picture, int transparentIndex, bool interlace);

}  // namespace vorn::testing
