// TDIBSurface: the in-memory picture at 1, 4, 8, 15, 16, 24 or 32 bits per pixel with a
// palette, a clip rectangle and an optional 8-bit alpha plane; rows are stored top-down.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "graphics/rect.h"
#include "resources/stream.h"

namespace vorn {

// Largest width or height any surface (and so any decoded picture) may have, and the largest
// pixel block in bytes; decoders check against these before they allocate.
inline constexpr int32_t kMaxSurfaceDimension = 32768;
inline constexpr int64_t kMaxSurfaceBytes = int64_t{1} << 30;

// Bytes of one row of `width` pixels at `storageBits`, padded to 4 bytes; -1 when too large.
int64_t DibRowBytes(int64_t width, int storageBits);

class TDIBSurface {
 public:
  TDIBSurface() = default;
  TDIBSurface(const TDIBSurface&) = delete;
  TDIBSurface& operator=(const TDIBSurface&) = delete;
  TDIBSurface(TDIBSurface&& other) noexcept { *this = std::move(other); }
  TDIBSurface& operator=(TDIBSurface&& other) noexcept;

  // bitCount 15 stores 5-5-5 in 16 bits, 16 stores 5-6-5, 1/4/8/24/32 as named; other values
  // raise EVornError, as do negative or oversized dimensions. Pixels start as zero bytes.
  void SetSize(int32_t width, int32_t height, int bitCount);
  void Clear();

  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  bool IsEmpty() const { return width_ <= 0 || height_ <= 0; }
  // 15 for 16-bit storage with the 5-5-5 green mask, 16 for 5-6-5, else the storage depth.
  int BitCount() const { return storageBits_ == 16 && greenMask_ == 0x03E0 ? 15 : storageBits_; }
  int StorageBitCount() const { return storageBits_; }
  int BytesPerPixel() const { return (storageBits_ + 7) / 8; }
  TRect Bounds() const { return {0, 0, width_, height_}; }

  uint32_t RedMask() const { return redMask_; }
  uint32_t GreenMask() const { return greenMask_; }
  uint32_t BlueMask() const { return blueMask_; }
  int RedShift() const { return redShift_; }
  int GreenShift() const { return greenShift_; }
  int BlueShift() const { return blueShift_; }

  // Signed distance in bytes from a row to the next (positive: rows are top-down).
  int32_t Stride() const { return stride_; }
  // Row y; raises EVornError "scan line index out of range" outside 0..height-1.
  uint8_t* Row(int32_t y);
  const uint8_t* Row(int32_t y) const;
  uint8_t* Bits() { return pixels_.empty() ? nullptr : pixels_.data(); }
  const uint8_t* Bits() const { return pixels_.empty() ? nullptr : pixels_.data(); }
  size_t SizeInBytes() const { return pixels_.size(); }

  // Raw pixel value at (x, y); the caller keeps (x, y) inside the surface.
  uint32_t GetPixel(int32_t x, int32_t y) const;
  void SetPixel(int32_t x, int32_t y, uint32_t pixel);

  // 256 entries 0x00RRGGBB (the byte order of a DIB colour table read as little-endian).
  std::array<uint32_t, 256>& Palette() { return palette_; }
  const std::array<uint32_t, 256>& Palette() const { return palette_; }

  // The clip rectangle; empty means the whole surface.
  TRect clip;
  TRect ClipOrBounds() const { return clip.IsEmpty() ? Bounds() : Intersect(clip, Bounds()); }

  // Alpha plane: an owned 8-bit surface of the same size, 0 transparent .. 255 opaque.
  TDIBSurface* Alpha() { return alpha_.get(); }
  const TDIBSurface* Alpha() const { return alpha_.get(); }
  void EnsureAlpha();
  void FreeAlpha() { alpha_.reset(); }
  void ResetAlpha();
  void CopyAlpha(const TDIBSurface& source8);
  void CopyAlphaRect(const TDIBSurface& source8, const TRect& rect);

  // Copies; all clip against ClipOrBounds and need equal depths (else they do nothing).
  // key -1 means no colour key; otherwise source pixels equal to key are skipped.
  void Draw(int32_t x, int32_t y, const TRect& srcRect, const TDIBSurface& source, int64_t key = -1);
  void DrawTranslucent(int32_t x, int32_t y, const TRect& srcRect, const TDIBSurface& source,
                       int32_t opacity, int64_t key = -1);
  void DrawAlpha(int32_t x, int32_t y, const TRect& srcRect, const TDIBSurface& source, int32_t opacity);
  void DrawWhole(int32_t x, int32_t y, const TDIBSurface& source) { Draw(x, y, source.Bounds(), source); }
  void FillRect(const TRect& rect, uint32_t pixel);

  TRect TrimBounds(int64_t key) const;
  void Trim(int64_t key);
  void Crop(const TRect& rect);
  void MirrorHorizontal();
  void FlipVertical();
  void CopyFrom(const TDIBSurface& source);
  void CopyFromWithAlpha(const TDIBSurface& source);
  // Towards 1/4/8 bits: keeps, gathers or quantises the palette (colours entries at most);
  // towards 15/16/24/32: channel by channel.
  void ConvertDepth(int bitCount, int colours = 256, bool dither = false);
  // Nearest-neighbour stretch to a new size, alpha plane included.
  void Resize(int32_t width, int32_t height);
  int64_t CountColours() const;

  // A baseline JPEG of the picture at quality 1..100 (palette and 15/16-bit pixels widened
  // to 8-8-8 first; the alpha plane is not stored). Raises EVornError on failure.
  void SaveAsJpeg(Stream& stream, int quality = 90) const;

  uint32_t MakePixel(uint8_t r, uint8_t g, uint8_t b) const;
  uint32_t PixelFromFields(uint32_t r, uint32_t g, uint32_t b) const;
  void SplitPixel(uint32_t pixel, uint8_t& r, uint8_t& g, uint8_t& b) const;
  // Nearest palette index (squared distance, lowest index on ties) among the first `count`.
  uint8_t NearestIndex(uint8_t r, uint8_t g, uint8_t b, int count = 256) const;

 private:
  // Clips (x, y, srcRect) against this surface and the source's bounds.
  bool ClipCopy(int32_t& x, int32_t& y, TRect& src, const TDIBSurface& source) const;
  void SetMasks(int bitCount);

  int32_t width_ = 0, height_ = 0, stride_ = 0;
  int storageBits_ = 8;
  uint32_t redMask_ = 0xFF0000, greenMask_ = 0xFF00, blueMask_ = 0xFF;
  int redShift_ = 16, greenShift_ = 8, blueShift_ = 0;
  std::array<uint32_t, 256> palette_{};
  std::vector<uint8_t> pixels_;
  std::unique_ptr<TDIBSurface> alpha_;
};

}  // namespace vorn
