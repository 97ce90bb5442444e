// TDIBSurface storage and the operations that do not blend: sizing, rows and pixels, the
// alpha plane, fills, trimming, cropping, mirroring, copies, resizing and colour counting.
#include "graphics/dib_surface.h"

#include <bit>
#include <cstring>
#include <string>

#include "resources/error.h"

namespace vorn {

int64_t DibRowBytes(int64_t width, int storageBits) {
  if (width < 0 || width > kMaxSurfaceDimension) return -1;
  return (width * storageBits + 31) / 32 * 4;
}

void TDIBSurface::SetMasks(int bitCount) {
  if (bitCount == 15) {
    redMask_ = 0x7C00, greenMask_ = 0x03E0, blueMask_ = 0x001F;
    redShift_ = 10, greenShift_ = 5, blueShift_ = 0;
  } else if (bitCount == 16) {
    redMask_ = 0xF800, greenMask_ = 0x07E0, blueMask_ = 0x001F;
    redShift_ = 11, greenShift_ = 5, blueShift_ = 0;
  } else {
    redMask_ = 0xFF0000, greenMask_ = 0xFF00, blueMask_ = 0xFF;
    redShift_ = 16, greenShift_ = 8, blueShift_ = 0;
  }
}

void TDIBSurface::SetSize(int32_t width, int32_t height, int bitCount) {
  int storage = bitCount == 15 ? 16 : bitCount;
  if (storage != 1 && storage != 4 && storage != 8 && storage != 16 && storage != 24 && storage != 32)
    throw EVornError("surface: unsupported bit count " + std::to_string(bitCount));
  if (width < 0 || height < 0 || width > kMaxSurfaceDimension || height > kMaxSurfaceDimension)
    throw EVornError("surface: size " + std::to_string(width) + " x " + std::to_string(height) +
                     " out of range");
  int64_t rowBytes = DibRowBytes(width, storage);
  if (rowBytes * height > kMaxSurfaceBytes) throw EVornError("surface: pixel block too large");
  if (width == 0 || height == 0) width = height = 0, rowBytes = 0;
  width_ = width;
  height_ = height;
  storageBits_ = storage;
  stride_ = static_cast<int32_t>(rowBytes);
  SetMasks(bitCount);
  pixels_.assign(static_cast<size_t>(rowBytes * height), 0);
  if (alpha_) alpha_->SetSize(width, height, 8);
}

void TDIBSurface::Clear() {
  width_ = height_ = stride_ = 0;
  pixels_.clear();
  pixels_.shrink_to_fit();
  alpha_.reset();
}

uint8_t* TDIBSurface::Row(int32_t y) {
  if (y < 0 || y >= height_) throw EVornError("scan line index out of range");
  return pixels_.data() + static_cast<size_t>(y) * static_cast<size_t>(stride_);
}

const uint8_t* TDIBSurface::Row(int32_t y) const {
  if (y < 0 || y >= height_) throw EVornError("scan line index out of range");
  return pixels_.data() + static_cast<size_t>(y) * static_cast<size_t>(stride_);
}

uint32_t TDIBSurface::GetPixel(int32_t x, int32_t y) const {
  const uint8_t* row = Row(y);
  switch (storageBits_) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4: return (x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4;
    case 8: return row[x];
    case 16: { uint16_t v; std::memcpy(&v, row + 2 * x, 2); return v; }
    case 24: { const uint8_t* p = row + 3 * x; return p[0] | (p[1] << 8) | (uint32_t{p[2]} << 16); }
    default: { uint32_t v; std::memcpy(&v, row + 4 * x, 4); return v; }
  }
}

void TDIBSurface::SetPixel(int32_t x, int32_t y, uint32_t pixel) {
  uint8_t* row = Row(y);
  switch (storageBits_) {
    case 1: {
      uint8_t bit = static_cast<uint8_t>(0x80 >> (x & 7));
      row[x >> 3] = (pixel & 1) ? (row[x >> 3] | bit) : (row[x >> 3] & ~bit);
      break;
    }
    case 4:
      row[x >> 1] = (x & 1) ? ((row[x >> 1] & 0xF0) | (pixel & 0x0F)) : ((row[x >> 1] & 0x0F) | ((pixel & 0x0F) << 4));
      break;
    case 8: row[x] = static_cast<uint8_t>(pixel); break;
    case 16: { uint16_t v = static_cast<uint16_t>(pixel); std::memcpy(row + 2 * x, &v, 2); break; }
    case 24: {
      uint8_t* p = row + 3 * x;
      p[0] = static_cast<uint8_t>(pixel), p[1] = static_cast<uint8_t>(pixel >> 8), p[2] = static_cast<uint8_t>(pixel >> 16);
      break;
    }
    default: std::memcpy(row + 4 * x, &pixel, 4); break;
  }
}

void TDIBSurface::EnsureAlpha() {
  if (!alpha_) alpha_ = std::make_unique<TDIBSurface>();
  if (alpha_->width_ != width_ || alpha_->height_ != height_ || alpha_->storageBits_ != 8)
    alpha_->SetSize(width_, height_, 8);
}

void TDIBSurface::ResetAlpha() {
  if (alpha_) std::fill(alpha_->pixels_.begin(), alpha_->pixels_.end(), uint8_t{255});
}

void TDIBSurface::CopyAlpha(const TDIBSurface& source8) {
  EnsureAlpha();
  if (source8.storageBits_ != 8 || source8.width_ != width_ || source8.height_ != height_) return;
  for (int32_t y = 0; y < height_; ++y) std::memcpy(alpha_->Row(y), source8.Row(y), static_cast<size_t>(width_));
}

void TDIBSurface::CopyAlphaRect(const TDIBSurface& source8, const TRect& rect) {
  EnsureAlpha();
  if (source8.storageBits_ != 8) return;
  // Row r of the rectangle goes to alpha row r, column c to column c; both sides bounded.
  TRect r = Intersect(rect, source8.Bounds());
  int32_t w = std::min(r.Width(), width_);
  for (int32_t y = r.top; y < r.bottom && y - r.top < height_; ++y) {
    if (w <= 0) break;
    std::memmove(alpha_->Row(y - r.top), source8.Row(y) + r.left, static_cast<size_t>(w));  // may be its own plane
  }
}

void TDIBSurface::FillRect(const TRect& rect, uint32_t pixel) {
  TRect r = Intersect(rect, Bounds());
  if (r.IsEmpty()) return;
  if (BitCount() == 15) pixel &= 0x7FFF;
  for (int32_t y = r.top; y < r.bottom; ++y) {
    uint8_t* row = Row(y);
    switch (storageBits_) {
      case 1: {
        int32_t x = r.left;
        for (; x < r.right && (x & 7); ++x) SetPixel(x, y, pixel);
        int32_t whole = (r.right - x) / 8;
        std::memset(row + x / 8, (pixel & 1) ? 0xFF : 0x00, static_cast<size_t>(whole));
        for (x += whole * 8; x < r.right; ++x) SetPixel(x, y, pixel);
        break;
      }
      case 4: {
        int32_t x = r.left;
        if (x & 1) SetPixel(x++, y, pixel);
        int32_t whole = (r.right - x) / 2;
        std::memset(row + x / 2, static_cast<int>((pixel & 0x0F) * 0x11), static_cast<size_t>(whole));
        if ((x += whole * 2) < r.right) SetPixel(x, y, pixel);
        break;
      }
      case 8: std::memset(row + r.left, static_cast<int>(pixel & 0xFF), static_cast<size_t>(r.Width())); break;
      default:
        for (int32_t x = r.left; x < r.right; ++x) SetPixel(x, y, pixel);
        break;
    }
  }
}

TRect TDIBSurface::TrimBounds(int64_t key) const {
  if (key < 0 || IsEmpty()) return Bounds();
  uint32_t k = static_cast<uint32_t>(key);
  auto rowHas = [&](int32_t y) {
    for (int32_t x = 0; x < width_; ++x) if (GetPixel(x, y) != k) return true;
    return false;
  };
  int32_t top = 0, bottom = height_;
  while (top < bottom && !rowHas(top)) ++top;
  if (top == bottom) return TRect{};
  while (!rowHas(bottom - 1)) --bottom;
  auto colHas = [&](int32_t x) {
    for (int32_t y = top; y < bottom; ++y) if (GetPixel(x, y) != k) return true;
    return false;
  };
  int32_t left = 0, right = width_;
  while (!colHas(left)) ++left;
  while (!colHas(right - 1)) --right;
  return {left, top, right, bottom};
}

void TDIBSurface::Trim(int64_t key) {
  TRect r = TrimBounds(key);
  if (r == Bounds()) return;
  if (r.IsEmpty()) r = {0, 0, 1, 1};
  Crop(r);
}

void TDIBSurface::Crop(const TRect& rect) {
  TRect r = Intersect(rect, Bounds());
  if (r.IsEmpty()) {
    SetSize(0, 0, BitCount());
    return;
  }
  TDIBSurface out;
  out.SetSize(r.Width(), r.Height(), BitCount());
  out.palette_ = palette_;
  for (int32_t y = 0; y < out.height_; ++y)
    for (int32_t x = 0; x < out.width_; ++x) out.SetPixel(x, y, GetPixel(r.left + x, r.top + y));
  if (alpha_) {
    alpha_->Crop(r);
    out.alpha_ = std::move(alpha_);
  }
  *this = std::move(out);
}

TDIBSurface& TDIBSurface::operator=(TDIBSurface&& other) noexcept {
  width_ = other.width_, height_ = other.height_, stride_ = other.stride_;
  storageBits_ = other.storageBits_;
  redMask_ = other.redMask_, greenMask_ = other.greenMask_, blueMask_ = other.blueMask_;
  redShift_ = other.redShift_, greenShift_ = other.greenShift_, blueShift_ = other.blueShift_;
  palette_ = other.palette_;
  pixels_ = std::move(other.pixels_);
  alpha_ = std::move(other.alpha_);
  clip = other.clip;
  return *this;
}

void TDIBSurface::MirrorHorizontal() {
  for (int32_t y = 0; y < height_; ++y)
    for (int32_t x = 0, e = width_ - 1; x < e; ++x, --e) {
      uint32_t a = GetPixel(x, y), b = GetPixel(e, y);
      SetPixel(x, y, b), SetPixel(e, y, a);
    }
  if (alpha_) alpha_->MirrorHorizontal();
}

void TDIBSurface::FlipVertical() {
  std::vector<uint8_t> tmp(static_cast<size_t>(stride_));
  for (int32_t y = 0, e = height_ - 1; y < e; ++y, --e) {
    std::memcpy(tmp.data(), Row(y), tmp.size());
    std::memcpy(Row(y), Row(e), tmp.size());
    std::memcpy(Row(e), tmp.data(), tmp.size());
  }
  if (alpha_) alpha_->FlipVertical();
}

void TDIBSurface::CopyFrom(const TDIBSurface& source) {
  if (&source == this) return;
  width_ = source.width_, height_ = source.height_, stride_ = source.stride_;
  storageBits_ = source.storageBits_;
  SetMasks(source.BitCount());
  palette_ = source.palette_;
  pixels_ = source.pixels_;
  alpha_.reset();
}

void TDIBSurface::CopyFromWithAlpha(const TDIBSurface& source) {
  if (&source == this) return;
  CopyFrom(source);
  if (source.alpha_) {
    alpha_ = std::make_unique<TDIBSurface>();
    alpha_->CopyFrom(*source.alpha_);
  }
}

void TDIBSurface::Resize(int32_t width, int32_t height) {
  if (width == width_ && height == height_) return;
  TDIBSurface out;
  out.SetSize(width, height, BitCount());
  out.palette_ = palette_;
  if (!IsEmpty()) {
    for (int32_t y = 0; y < out.height_; ++y) {
      int32_t sy = static_cast<int32_t>(int64_t{y} * height_ / out.height_);
      for (int32_t x = 0; x < out.width_; ++x)
        out.SetPixel(x, y, GetPixel(static_cast<int32_t>(int64_t{x} * width_ / out.width_), sy));
    }
  }
  if (alpha_) {
    alpha_->Resize(width, height);
    out.alpha_ = std::move(alpha_);
  }
  *this = std::move(out);
}

int64_t TDIBSurface::CountColours() const {
  if (IsEmpty()) return 0;
  if (storageBits_ <= 8) {
    int limit = 1 << storageBits_;
    std::array<bool, 256> seen{};
    int count = 0;
    for (int32_t y = 0; y < height_; ++y)
      for (int32_t x = 0; x < width_; ++x) {
        uint32_t v = GetPixel(x, y);
        if (!seen[v]) {
          seen[v] = true;
          if (++count == limit) return count;  // every value occurs: no need to look further
        }
      }
    return count;
  }
  // 16 bits: one flag per value; 24 and 32 bits: a 2^24-bit set over the low three bytes.
  size_t words = storageBits_ == 16 ? (1u << 16) / 64 : (1u << 24) / 64;
  std::vector<uint64_t> set(words, 0);
  uint32_t mask = storageBits_ == 16 ? 0xFFFF : 0xFFFFFF;
  for (int32_t y = 0; y < height_; ++y)
    for (int32_t x = 0; x < width_; ++x) {
      uint32_t v = GetPixel(x, y) & mask;
      set[v >> 6] |= uint64_t{1} << (v & 63);
    }
  int64_t count = 0;
  for (uint64_t w : set) count += std::popcount(w);
  return count;
}

uint32_t TDIBSurface::MakePixel(uint8_t r, uint8_t g, uint8_t b) const {
  switch (BitCount()) {
    case 1: return NearestIndex(r, g, b, 2);
    case 4: return NearestIndex(r, g, b, 16);
    case 8: return NearestIndex(r, g, b, 256);
    case 15: return ((r >> 3u) << 10) | ((g >> 3u) << 5) | (b >> 3u);
    case 16: return ((r >> 3u) << 11) | ((g >> 2u) << 5) | (b >> 3u);
    default: return (uint32_t{r} << 16) | (uint32_t{g} << 8) | b;
  }
}

uint32_t TDIBSurface::PixelFromFields(uint32_t r, uint32_t g, uint32_t b) const {
  return ((r << redShift_) & redMask_) | ((g << greenShift_) & greenMask_) | ((b << blueShift_) & blueMask_);
}

void TDIBSurface::SplitPixel(uint32_t pixel, uint8_t& r, uint8_t& g, uint8_t& b) const {
  if (storageBits_ <= 8) {
    uint32_t c = palette_[pixel & 0xFF];
    r = static_cast<uint8_t>(c >> 16), g = static_cast<uint8_t>(c >> 8), b = static_cast<uint8_t>(c);
    return;
  }
  // A 5-bit field is widened by a shift of 3, a 6-bit field by 2, with no bit replication.
  auto expand = [](uint32_t v, uint32_t mask, int shift) {
    uint32_t field = (v & mask) >> shift;
    int width = std::popcount(mask);
    return static_cast<uint8_t>(width >= 8 ? field : field << (8 - width));
  };
  r = expand(pixel, redMask_, redShift_);
  g = expand(pixel, greenMask_, greenShift_);
  b = expand(pixel, blueMask_, blueShift_);
}

uint8_t TDIBSurface::NearestIndex(uint8_t r, uint8_t g, uint8_t b, int count) const {
  int best = 0;
  int64_t bestD = INT64_MAX;
  for (int i = 0; i < count && i < 256; ++i) {
    uint32_t c = palette_[i];
    int dr = int((c >> 16) & 0xFF) - r, dg = int((c >> 8) & 0xFF) - g, db = int(c & 0xFF) - b;
    int64_t d = int64_t{dr} * dr + int64_t{dg} * dg + int64_t{db} * db;
    if (d < bestD) bestD = d, best = i;
  }
  return static_cast<uint8_t>(best);
}

}  // namespace vorn
