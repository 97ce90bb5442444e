// The presented game screen kept as real pixels: a plain 32-bit frame buffer that both
// backends hold, and its PNG writer (screenshots of headless and windowed runs).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vorn {

// Pixels are 0x00RRGGBB in native uint32 order (the byte order of a 32-bit DIB), row-major,
// top row first, no padding.
class FrameBuffer {
 public:
  FrameBuffer() = default;
  FrameBuffer(int width, int height, uint32_t colour = 0) { Resize(width, height, colour); }

  // Sets the size and fills every pixel with colour. Sizes below 0 count as 0.
  void Resize(int width, int height, uint32_t colour = 0);
  void Fill(uint32_t colour);

  int Width() const { return width_; }
  int Height() const { return height_; }
  uint32_t* Row(int y) { return pixels_.data() + static_cast<size_t>(y) * width_; }
  const uint32_t* Row(int y) const { return pixels_.data() + static_cast<size_t>(y) * width_; }
  uint32_t Pixel(int x, int y) const { return Row(y)[x]; }
  void SetPixel(int x, int y, uint32_t c) { Row(y)[x] = c; }
  // Fills a rectangle, clipped to the buffer.
  void FillRect(int x, int y, int w, int h, uint32_t colour);
  const std::vector<uint32_t>& Pixels() const { return pixels_; }
  std::vector<uint32_t>& Pixels() { return pixels_; }

  // Writes the buffer as an 8-bit RGB PNG, atomically (temporary file, then rename).
  // Raises EVornError naming the path when it cannot be written.
  void WritePng(const std::string& path) const;

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<uint32_t> pixels_;
};

}  // namespace vorn
