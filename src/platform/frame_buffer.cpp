// Frame buffer storage and the PNG writer through libpng.
#include "platform/frame_buffer.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "platform/native.h"
#include "resources/error.h"

namespace vorn {

void FrameBuffer::Resize(int width, int height, uint32_t colour) {
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  pixels_.assign(static_cast<size_t>(width_) * height_, colour);
}

void FrameBuffer::Fill(uint32_t colour) { std::fill(pixels_.begin(), pixels_.end(), colour); }

void FrameBuffer::FillRect(int x, int y, int w, int h, uint32_t colour) {
  const int x0 = std::max(x, 0), y0 = std::max(y, 0);
  const int x1 = std::min(x + w, width_), y1 = std::min(y + h, height_);
  for (int row = y0; row < y1; ++row) std::fill(Row(row) + x0, Row(row) + std::max(x0, x1), colour);
}

namespace {

struct PngWriteState {
  png_structp png = nullptr;
  png_infop info = nullptr;
  ~PngWriteState() { png_destroy_write_struct(&png, &info); }
};

// Encodes into memory first, so the file on disk only ever holds a complete image.
void PngToVector(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}
void PngFlush(png_structp) {}
void PngError(png_structp png, png_const_charp message) {
  *static_cast<std::string*>(png_get_error_ptr(png)) = message;
  png_longjmp(png, 1);
}

}  // namespace

void FrameBuffer::WritePng(const std::string& path) const {
  if (width_ <= 0 || height_ <= 0) throw EVornError("screenshot " + path + ": the screen is empty");
  std::string error;
  std::vector<uint8_t> encoded;
  std::vector<uint8_t> row(static_cast<size_t>(width_) * 3);
  {
    PngWriteState s;
    s.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &error, PngError, nullptr);
    if (s.png) s.info = png_create_info_struct(s.png);
    if (!s.png || !s.info) throw EVornError("screenshot " + path + ": out of memory");
    if (setjmp(png_jmpbuf(s.png))) throw EVornError("screenshot " + path + ": " + error);
    png_set_write_fn(s.png, &encoded, PngToVector, PngFlush);
    png_set_IHDR(s.png, s.info, width_, height_, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(s.png, s.info);
    for (int y = 0; y < height_; ++y) {
      const uint32_t* src = Row(y);
      for (int x = 0; x < width_; ++x) {
        row[x * 3 + 0] = static_cast<uint8_t>(src[x] >> 16);
        row[x * 3 + 1] = static_cast<uint8_t>(src[x] >> 8);
        row[x * 3 + 2] = static_cast<uint8_t>(src[x]);
      }
      png_write_row(s.png, row.data());
    }
    png_write_end(s.png, nullptr);
  }
  WriteFileAtomic(path, encoded.data(), encoded.size());
}

}  // namespace vorn
