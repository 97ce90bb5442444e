// TCustomDIBX shared behaviour (clip rectangle, colour conversion, frames, tiling) and the
// TDIBX basics: size, pixels, fills, Assign, palette, loading and saving.
#include "graphics/dibx.h"

#include <bit>
#include <cstring>

#include "graphics/dibx_internal.h"
#include "graphics/picture_io.h"

namespace vorn {

using namespace dibx_detail;

void TCustomDIBX::AddClip(const TRect& rect) {
  TRect r = Intersect(rect, Bounds());
  if (r.IsEmpty()) return;
  clip_ = clip_.right == 0 ? r : Union(clip_, r);
}

int64_t TCustomDIBX::ColorToPixel(int64_t colour) const {
  if (colour < 0) return -1;
  int bits = BitCount();
  if (bits != 15 && bits != 16 && bits != 32) return colour;
  uint32_t c = static_cast<uint32_t>(colour);
  auto field = [](uint32_t v8, uint32_t mask, int shift) {
    int width = std::popcount(mask);
    return ((v8 >> (8 - width)) << shift) & mask;
  };
  return field(c & 0xFF, RedMask(), RedShift()) | field((c >> 8) & 0xFF, GreenMask(), GreenShift()) |
         field((c >> 16) & 0xFF, BlueMask(), BlueShift());
}

void TCustomDIBX::GetPaletteEntries(std::span<uint32_t> entries, int first, int count) const {
  std::array<uint32_t, 256> all;
  GetPalette(all);
  for (int i = 0; i < count && static_cast<size_t>(i) < entries.size(); ++i)
    if (first + i >= 0 && first + i < 256) entries[static_cast<size_t>(i)] = all[static_cast<size_t>(first + i)];
}

void TCustomDIBX::SetPaletteEntries(std::span<const uint32_t> entries, int first, int count) {
  std::array<uint32_t, 256> all;
  GetPalette(all);
  for (int i = 0; i < count && static_cast<size_t>(i) < entries.size(); ++i)
    if (first + i >= 0 && first + i < 256) all[static_cast<size_t>(first + i)] = entries[static_cast<size_t>(i)];
  SetPalette(all);
}

namespace {

// The four bands of a frame: top and bottom across, left and right between them. Worked out
// in 64 bits and kept inside the rectangle, so no coordinate can overflow.
template <class Fn>
void Bands(const TRect& r, int32_t width, Fn&& fn) {
  if (width <= 0 || r.IsEmpty()) return;
  int64_t l = r.left, t = r.top, rt = r.right, b = r.bottom;
  int64_t w = std::min<int64_t>(width, std::max(rt - l, b - t));
  auto band = [&](int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
    auto cx = [&](int64_t v) { return static_cast<int32_t>(std::clamp(v, l, rt)); };
    auto cy = [&](int64_t v) { return static_cast<int32_t>(std::clamp(v, t, b)); };
    TRect piece{cx(x0), cy(y0), cx(x1), cy(y1)};
    if (!piece.IsEmpty()) fn(piece);
  };
  band(l, t, rt, t + w);
  if (b - w > t + w) band(l, b - w, rt, b);
  else if (b - w > t) band(l, t + w, rt, b);
  int64_t top = t + w, bottom = b - w;
  if (top >= bottom) return;
  band(l, top, l + w, bottom);
  if (rt - w > l + w) band(rt - w, top, rt, bottom);
}

}  // namespace

void TCustomDIBX::FrameRect(const TRect& rect, int32_t width, uint32_t pixel) {
  Bands(rect, width, [&](const TRect& b) { FillRect(b, pixel); });
}
void TCustomDIBX::FrameRectTranslucent(const TRect& rect, int32_t width, int32_t alpha, uint32_t pixel) {
  if (alpha == 0) return;
  Bands(rect, width, [&](const TRect& b) { FillRectTranslucent(b, pixel, alpha); });
}
void TCustomDIBX::FrameRectAdd(const TRect& rect, int32_t width, uint32_t pixel) {
  Bands(rect, width, [&](const TRect& b) { AddColor(b, pixel); });
}
void TCustomDIBX::FramePattern(const TRect& rect, int32_t width, int32_t offsetY, int32_t offsetX,
                               const TCustomDIBX& src) {
  Bands(rect, width, [&](const TRect& b) { PatternFill(b, src, false, false, offsetY, offsetX); });
}

namespace {

// Phase of a scroll offset inside a tile of size s (s > 0): o mod s, negative offsets from the end.
int32_t TilePhase(int64_t o, int64_t s) { return static_cast<int32_t>(o >= 0 ? o % s : (s - (-o) % s) % s); }

// Lays tiles of tileW x tileH over destRect with the work area installed as the clip rectangle;
// draw(x, y) draws one whole tile there. Empty tiles and gaps that would not advance draw nothing.
template <class Fn>
void Tiles(TCustomDIBX& self, const TRect& destRect, int32_t gapX, int32_t gapY, int32_t offsetX, int32_t offsetY,
           int32_t tileW, int32_t tileH, Fn&& draw) {
  if (tileW <= 0 || tileH <= 0) return;
  int64_t stepX = int64_t{tileW} + std::max(gapX, 0), stepY = int64_t{tileH} + std::max(gapY, 0);
  TRect work = Intersect(destRect, self.ClipOrBounds());
  if (work.IsEmpty()) return;
  TRect saved = self.Clip();
  self.SetClip(work);
  int64_t x0 = int64_t{destRect.left} - TilePhase(offsetX, tileW);
  int64_t y0 = int64_t{destRect.top} - TilePhase(offsetY, tileH);
  // Start at the first tile that can reach the work area.
  if (x0 + stepX <= work.left) x0 += (work.left - x0) / stepX * stepX;
  if (y0 + stepY <= work.top) y0 += (work.top - y0) / stepY * stepY;
  for (int64_t ty = y0; ty < work.bottom; ty += stepY)
    for (int64_t tx = x0; tx < work.right; tx += stepX) draw(static_cast<int32_t>(tx), static_cast<int32_t>(ty));
  self.SetClip(saved);
}

}  // namespace

void TCustomDIBX::TileDraw(const TRect& destRect, int32_t gapX, int32_t offsetY, int32_t offsetX, bool useKey,
                           const TRect& srcRect, const TCustomDIBX& src, int32_t gapY) {
  Tiles(*this, destRect, gapX, gapY, offsetX, offsetY, srcRect.Width(), srcRect.Height(),
        [&](int32_t x, int32_t y) { Draw(x, y, false, false, useKey, srcRect, src); });
}
void TCustomDIBX::TileDrawTranslucent(const TRect& destRect, int32_t gapX, int32_t offsetY, int32_t offsetX,
                                      bool useKey, const TRect& srcRect, const TCustomDIBX& src, int32_t gapY,
                                      int32_t alpha) {
  if (alpha <= 0) return;
  Tiles(*this, destRect, gapX, gapY, offsetX, offsetY, srcRect.Width(), srcRect.Height(),
        [&](int32_t x, int32_t y) { DrawTranslucent(x, y, alpha, false, false, useKey, srcRect, src); });
}
void TCustomDIBX::TileDrawAdd(const TRect& destRect, int32_t gapX, int32_t offsetY, int32_t offsetX,
                              const TRect& srcRect, const TCustomDIBX& src, int32_t gapY, int32_t amount) {
  if (amount <= 0) return;
  Tiles(*this, destRect, gapX, gapY, offsetX, offsetY, srcRect.Width(), srcRect.Height(),
        [&](int32_t x, int32_t y) { DrawAdd(x, y, amount, false, false, true, srcRect, src); });
}
void TCustomDIBX::TileDrawMask(const TRect& destRect, int32_t gapX, int32_t offsetY, int32_t offsetX,
                               const TRect& srcRect, const TCustomDIBX& src, int32_t gapY, const TCustomDIBX& mask) {
  Tiles(*this, destRect, gapX, gapY, offsetX, offsetY, srcRect.Width(), srcRect.Height(),
        [&](int32_t x, int32_t y) { DrawMask(x, y, mask, false, false, srcRect, src); });
}
void TCustomDIBX::TileDrawMaskTranslucent(const TRect& destRect, int32_t gapX, int32_t offsetY, int32_t offsetX,
                                          const TRect& srcRect, const TCustomDIBX& src, int32_t gapY,
                                          const TCustomDIBX& mask, int32_t alpha) {
  if (alpha <= 0) return;
  Tiles(*this, destRect, gapX, gapY, offsetX, offsetY, srcRect.Width(), srcRect.Height(),
        [&](int32_t x, int32_t y) { DrawMaskTranslucent(x, y, alpha, mask, false, false, srcRect, src); });
}
void TCustomDIBX::TileDrawMaskAdd(const TRect& destRect, int32_t gapX, int32_t offsetY, int32_t offsetX,
                                  const TRect& srcRect, const TCustomDIBX& src, int32_t gapY, const TCustomDIBX& mask,
                                  int32_t amount) {
  if (amount <= 0) return;
  Tiles(*this, destRect, gapX, gapY, offsetX, offsetY, srcRect.Width(), srcRect.Height(),
        [&](int32_t x, int32_t y) { DrawMaskAdd(x, y, amount, mask, false, false, srcRect, src); });
}
void TCustomDIBX::TileStretchDraw(const TRect& destRect, int32_t gapX, int32_t offsetY, int32_t offsetX, bool useKey,
                                  const TRect& srcRect, const TCustomDIBX& src, int32_t gapY, int32_t tileWidth,
                                  int32_t tileHeight, int32_t alpha) {
  if (alpha <= 0 || srcRect.IsEmpty()) return;
  Tiles(*this, destRect, gapX, gapY, offsetX, offsetY, tileWidth, tileHeight, [&](int32_t x, int32_t y) {
    TRect d{x, y, x + tileWidth, y + tileHeight};
    if (alpha > 255) StretchDrawAdd(d, src, alpha - 256, false, false, useKey, srcRect);
    else StretchDraw(d, src, alpha, false, false, useKey, srcRect);
  });
}
void TCustomDIBX::TileStretchDrawMask(const TRect& destRect, int32_t gapX, int32_t offsetY, int32_t offsetX,
                                      const TRect& srcRect, const TCustomDIBX& src, int32_t gapY, int32_t tileWidth,
                                      int32_t tileHeight, int32_t alpha, const TCustomDIBX& mask) {
  if (alpha <= 0 || srcRect.IsEmpty()) return;
  Tiles(*this, destRect, gapX, gapY, offsetX, offsetY, tileWidth, tileHeight, [&](int32_t x, int32_t y) {
    TRect d{x, y, x + tileWidth, y + tileHeight};
    if (alpha > 255) StretchDrawMaskAdd(d, src, alpha - 256, mask, false, false, srcRect);
    else StretchDrawMask(d, src, alpha, mask, false, false, srcRect);
  });
}

TDIBX::TDIBX() : owned_(std::make_unique<TDIBSurface>()), surface_(owned_.get()) { SetSize(1, 1, 15); }

TDIBX::TDIBX(TDIBSurface* borrowed) : surface_(borrowed) {
  width_ = surface_->Width();
  height_ = surface_->Height();
}

void TDIBX::SetSize(int32_t width, int32_t height, int bits) {
  surface_->SetSize(width, height, bits);
  width_ = surface_->Width();
  height_ = surface_->Height();
}

uint32_t TDIBX::GetPixel(int32_t x, int32_t y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  return surface_->GetPixel(x, y);
}

void TDIBX::SetPixel(int32_t x, int32_t y, uint32_t pixel) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  surface_->SetPixel(x, y, pixel);
}

uint8_t* TDIBX::PixelAddress(int32_t x, int32_t y) {
  if (IsEmpty() || x < 0 || y < 0 || x >= width_ || y >= height_) return nullptr;
  return surface_->Row(y) + static_cast<size_t>(x) * static_cast<size_t>(surface_->StorageBitCount()) / 8;
}

const uint8_t* TDIBX::RowAddress(int32_t y) const {
  if (y < 0 || y >= height_) return nullptr;
  return surface_->Row(y);
}

void TDIBX::Fill(uint32_t pixel) {
  if (IsEmpty()) return;
  switch (StorageBitCount()) {
    case 1: std::memset(surface_->Bits(), pixel ? 0xFF : 0x00, surface_->SizeInBytes()); break;
    case 4: std::memset(surface_->Bits(), static_cast<int>((pixel & 15) * 0x11), surface_->SizeInBytes()); break;
    case 8: std::memset(surface_->Bits(), static_cast<int>(pixel & 0xFF), surface_->SizeInBytes()); break;
    default: surface_->FillRect(Bounds(), pixel); break;
  }
}

void TDIBX::FillRect(const TRect& rect, uint32_t pixel) { surface_->FillRect(Intersect(rect, ClipOrBounds()), pixel); }

void TDIBX::FillRectTranslucent(const TRect& rect, uint32_t pixel, int32_t alpha) {
  if (alpha <= 0) return;
  if (alpha >= 255) {
    FillRect(rect, pixel);
    return;
  }
  TRect r = Intersect(rect, ClipOrBounds());
  if (r.IsEmpty()) return;
  WithFormat(BitCount(), [&](auto f) {
    using F = decltype(f);
    const auto& kern = Kernels<F>();
    for (int32_t y = r.top; y < r.bottom; ++y) kern.fillTranslucent(DstRow<F>(*surface_, y) + r.left, r.Width(), pixel, static_cast<uint32_t>(alpha));
  });
}

void TDIBX::AddColor(const TRect& rect, uint32_t pixel) {
  TRect r = Intersect(rect, ClipOrBounds());
  if (r.IsEmpty()) return;
  WithFormat(BitCount(), [&](auto f) {
    using F = decltype(f);
    const auto& kern = Kernels<F>();
    for (int32_t y = r.top; y < r.bottom; ++y) kern.addColor(DstRow<F>(*surface_, y) + r.left, r.Width(), pixel);
  });
}

void TDIBX::SubColor(const TRect& rect, uint32_t pixel) {
  TRect r = Intersect(rect, ClipOrBounds());
  if (r.IsEmpty()) return;
  WithFormat(BitCount(), [&](auto f) {
    using F = decltype(f);
    const auto& kern = Kernels<F>();
    for (int32_t y = r.top; y < r.bottom; ++y) kern.subColor(DstRow<F>(*surface_, y) + r.left, r.Width(), pixel);
  });
}

void TDIBX::Assign(const TCustomDIBX& src) {
  if (&src == this) return;
  auto* other = dynamic_cast<const TDIBX*>(&src);
  if (other && other->width_ == width_ && other->height_ == height_ && other->Pitch() == Pitch() &&
      other->BitCount() == BitCount()) {
    std::memcpy(surface_->Bits(), other->surface_->Bits(), surface_->SizeInBytes());
    return;
  }
  Draw(0, 0, false, false, false, src.Bounds(), src);
}

void TDIBX::Release() {
  int bits = BitCount();
  surface_->SetSize(0, 0, bits);
  width_ = height_ = 0;
}

void TDIBX::GetPalette(std::array<uint32_t, 256>& entries) const {
  // Entries are 0x00BBGGRR colours; the surface keeps 0x00RRGGBB.
  for (size_t i = 0; i < 256; ++i) {
    uint32_t c = surface_->Palette()[i];
    entries[i] = ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
  }
}

void TDIBX::SetPalette(const std::array<uint32_t, 256>& entries) {
  for (size_t i = 0; i < 256; ++i) {
    uint32_t c = entries[i];
    surface_->Palette()[i] = ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
  }
}

bool TDIBX::LoadFromStream(Stream& stream) {
  uint8_t head[4] = {};
  int64_t start = stream.Position();
  size_t got = stream.Read(head, sizeof head);
  stream.Seek(start);
  TDIBSurface picture;
  if (got >= 2 && head[0] == 'B' && head[1] == 'M') ReadBmp(picture, stream);
  else if (got >= 4 && head[1] == 'P' && head[2] == 'N' && head[3] == 'G') ReadPng(picture, stream);
  else return false;
  int bits = BitCount();
  picture.FreeAlpha();
  picture.ConvertDepth(bits);
  SetSize(picture.Width(), picture.Height(), bits);
  surface_->CopyFrom(picture);
  return true;
}

void TDIBX::SaveToStream(Stream& stream) const {
  TDIBSurface copy;
  copy.CopyFrom(*surface_);
  copy.ConvertDepth(24);
  WriteBmp(copy, stream);
}

}  // namespace vorn
