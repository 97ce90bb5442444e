// PNG through libpng's simplified reader: pictures with alpha become 32-bit surfaces with the
// alpha in byte 3, others 24-bit.
#include <png.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "graphics/picture_io.h"
#include "resources/error.h"

namespace vorn {

void ReadPng(TDIBSurface& s, Stream& stream) {
  std::vector<uint8_t> data = ReadAllBytes(stream, "PNG");
  BinaryReader check(stream, "PNG");
  static const uint8_t sig[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  if (data.size() < 8 || std::memcmp(data.data(), sig, 8) != 0) check.Fail("signature", "not a PNG file");
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, data.data(), data.size()))
    check.Fail("header", image.message);
  struct Guard {
    png_image* p;
    ~Guard() { png_image_free(p); }
  } guard{&image};
  bool alpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
  int bits = alpha ? 32 : 24;
  CheckPictureSize(check, image.width, image.height, bits);
  // The filtered rows are deflated, which packs at most 1032 bytes into one, so the file size
  // bounds the rows a real picture can have; a tiny file cannot demand a huge surface. The
  // header (IHDR, first after the signature, as libpng has checked) gives depth and colour type.
  if (data.size() >= 26) {
    static const int kChannels[7] = {1, 0, 3, 1, 2, 0, 4};
    const int depth = data[24], type = data[25];
    const int channels = type <= 6 ? kChannels[type] : 1;
    const uint64_t rowBytes = 1 + (uint64_t{image.width} * static_cast<uint64_t>(depth * std::max(channels, 1)) + 7) / 8;
    if (rowBytes * image.height > (uint64_t{data.size()} + 1) * 1032)
      check.Fail("size", std::to_string(image.width) + " x " + std::to_string(image.height) +
                             " pixels cannot come from a file of " + std::to_string(data.size()) + " bytes");
  }
  image.format = alpha ? PNG_FORMAT_BGRA : PNG_FORMAT_BGR;
  s.FreeAlpha();
  s.SetSize(static_cast<int32_t>(image.width), static_cast<int32_t>(image.height), bits);
  if (!png_image_finish_read(&image, nullptr, s.Bits(), s.Stride(), nullptr)) check.Fail("pixels", image.message);
}

}  // namespace vorn
