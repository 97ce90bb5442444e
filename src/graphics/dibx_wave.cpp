// TDIBXWave: forwarding of every drawing operation to the target, band by band of equal row
// offsets, each band drawn with its x moved by the offset and the target clipped to the band.
#include "graphics/dibx_wave.h"

#include <algorithm>
#include <limits>

namespace vorn {

namespace {

// x + offset kept inside int32 (anything that far out is clipped away anyway).
int32_t Shift(int32_t v, int32_t offset) {
  int64_t r = int64_t{v} + offset;
  return static_cast<int32_t>(std::clamp<int64_t>(r, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

TRect ShiftRect(const TRect& r, int32_t offset) {
  return {Shift(r.left, offset), r.top, Shift(r.right, offset), r.bottom};
}

// Restores the target's clip rectangle also when a forwarded draw throws.
class ClipGuard {
 public:
  explicit ClipGuard(TCustomDIBX& target) : target_(target), saved_(target.Clip()) {}
  ~ClipGuard() { target_.SetClip(saved_); }
  ClipGuard(const ClipGuard&) = delete;
  ClipGuard& operator=(const ClipGuard&) = delete;
  const TRect& Saved() const { return saved_; }

 private:
  TCustomDIBX& target_;
  TRect saved_;
};

}  // namespace

TRect TDIBXWave::Area() const {
  return {originX_, originY_, Shift(originX_, Width()), Shift(originY_, Height())};
}

template <class Fn>
void TDIBXWave::ForBands(int64_t top, int64_t bottom, Fn&& draw) {
  if (!target_ || IsEmpty() || target_->IsEmpty()) return;
  TRect area = ClipOrBounds();  // this surface's clip inside the wave area, before displacement
  int64_t y = std::max<int64_t>(top, area.top), end = std::min<int64_t>(bottom, area.bottom);
  if (y >= end) return;
  TRect limit = target_->ClipOrBounds();
  ClipGuard guard(*target_);
  while (y < end) {
    // Rows outside the offset array (a wave resized behind our back) are skipped.
    int64_t index = y - originY_;
    if (index < 0 || index >= static_cast<int64_t>(offsets_.size())) {
      ++y;
      continue;
    }
    int32_t offset = offsets_[static_cast<size_t>(index)];
    int64_t e = y + 1;
    while (e < end && e - originY_ < static_cast<int64_t>(offsets_.size()) &&
           offsets_[static_cast<size_t>(e - originY_)] == offset)
      ++e;
    TRect band = Intersect(
        ShiftRect({area.left, static_cast<int32_t>(y), area.right, static_cast<int32_t>(e)}, offset), limit);
    // A non-empty band inside the target's bounds never has right 0, which would mean "unset".
    if (!band.IsEmpty()) {
      target_->SetClip(band);
      draw(offset);
    }
    y = e;
  }
}

void TDIBXWave::SetSize(int32_t width, int32_t height, int) {
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  offsets_.resize(static_cast<size_t>(height_), 0);
}

void TDIBXWave::Release() {
  width_ = height_ = 0;
  offsets_.clear();
}

uint32_t TDIBXWave::GetPixel(int32_t x, int32_t y) const {
  int64_t index = int64_t{y} - originY_;
  if (!target_ || index < 0 || index >= static_cast<int64_t>(offsets_.size())) return 0;
  return target_->GetPixel(Shift(x, offsets_[static_cast<size_t>(index)]), y);
}

void TDIBXWave::SetPixel(int32_t x, int32_t y, uint32_t pixel) {
  int64_t index = int64_t{y} - originY_;
  if (!target_ || index < 0 || index >= static_cast<int64_t>(offsets_.size())) return;
  target_->SetPixel(Shift(x, offsets_[static_cast<size_t>(index)]), y, pixel);
}

void TDIBXWave::ResetClip() {
  clip_ = TRect{};
  if (target_) target_->ResetClip();
}

void TDIBXWave::AddClip(const TRect& rect) {
  TRect r = Intersect(rect, Area());
  if (r.IsEmpty()) return;
  clip_ = clip_.right == 0 ? r : Union(clip_, r);
}

int64_t TDIBXWave::ColorToPixel(int64_t colour) const {
  if (target_) return target_->ColorToPixel(colour);
  return colour < 0 ? -1 : colour;
}

void TDIBXWave::GetPalette(std::array<uint32_t, 256>& entries) const {
  if (target_) target_->GetPalette(entries);
  else entries.fill(0);
}

void TDIBXWave::SetPalette(const std::array<uint32_t, 256>& entries) {
  if (target_) target_->SetPalette(entries);
}

// Fills and positioned draws.

void TDIBXWave::FillRect(const TRect& rect, uint32_t pixel) {
  ForBands(rect.top, rect.bottom, [&](int32_t o) { target_->FillRect(ShiftRect(rect, o), pixel); });
}

void TDIBXWave::FillRectTranslucent(const TRect& rect, uint32_t pixel, int32_t alpha) {
  if (alpha <= 0) return;
  ForBands(rect.top, rect.bottom,
           [&](int32_t o) { target_->FillRectTranslucent(ShiftRect(rect, o), pixel, alpha); });
}

void TDIBXWave::AddColor(const TRect& rect, uint32_t pixel) {
  ForBands(rect.top, rect.bottom, [&](int32_t o) { target_->AddColor(ShiftRect(rect, o), pixel); });
}

void TDIBXWave::SubColor(const TRect& rect, uint32_t pixel) {
  ForBands(rect.top, rect.bottom, [&](int32_t o) { target_->SubColor(ShiftRect(rect, o), pixel); });
}

void TDIBXWave::Assign(const TCustomDIBX& src) { Draw(0, 0, false, false, false, src.Bounds(), src); }

void TDIBXWave::Draw(int32_t x, int32_t y, bool flipV, bool flipH, bool useKey, const TRect& srcRect,
                     const TCustomDIBX& src) {
  ForBands(y, int64_t{y} + srcRect.Height(),
           [&](int32_t o) { target_->Draw(Shift(x, o), y, flipV, flipH, useKey, srcRect, src); });
}

void TDIBXWave::DrawMask(int32_t x, int32_t y, const TCustomDIBX& mask, bool flipV, bool flipH, const TRect& srcRect,
                         const TCustomDIBX& src) {
  ForBands(y, int64_t{y} + srcRect.Height(),
           [&](int32_t o) { target_->DrawMask(Shift(x, o), y, mask, flipV, flipH, srcRect, src); });
}

void TDIBXWave::DrawTranslucent(int32_t x, int32_t y, int32_t alpha, bool flipV, bool flipH, bool useKey,
                                const TRect& srcRect, const TCustomDIBX& src) {
  if (alpha <= 0) return;
  ForBands(y, int64_t{y} + srcRect.Height(), [&](int32_t o) {
    target_->DrawTranslucent(Shift(x, o), y, alpha, flipV, flipH, useKey, srcRect, src);
  });
}

void TDIBXWave::DrawMaskTranslucent(int32_t x, int32_t y, int32_t alpha, const TCustomDIBX& mask, bool flipV,
                                    bool flipH, const TRect& srcRect, const TCustomDIBX& src) {
  if (alpha <= 0) return;
  ForBands(y, int64_t{y} + srcRect.Height(), [&](int32_t o) {
    target_->DrawMaskTranslucent(Shift(x, o), y, alpha, mask, flipV, flipH, srcRect, src);
  });
}

void TDIBXWave::DrawAdd(int32_t x, int32_t y, int32_t amount, bool flipV, bool flipH, bool ignored,
                        const TRect& srcRect, const TCustomDIBX& src) {
  if (amount <= 0) return;
  ForBands(y, int64_t{y} + srcRect.Height(),
           [&](int32_t o) { target_->DrawAdd(Shift(x, o), y, amount, flipV, flipH, ignored, srcRect, src); });
}

void TDIBXWave::DrawMaskAdd(int32_t x, int32_t y, int32_t amount, const TCustomDIBX& mask, bool flipV, bool flipH,
                            const TRect& srcRect, const TCustomDIBX& src) {
  if (amount <= 0) return;
  ForBands(y, int64_t{y} + srcRect.Height(),
           [&](int32_t o) { target_->DrawMaskAdd(Shift(x, o), y, amount, mask, flipV, flipH, srcRect, src); });
}

void TDIBXWave::FillMask(int32_t x, int32_t y, int32_t alpha, uint32_t pixel, bool flipV, bool flipH,
                         const TRect& maskRect, const TCustomDIBX& mask) {
  if (alpha <= 0) return;
  ForBands(y, int64_t{y} + maskRect.Height(),
           [&](int32_t o) { target_->FillMask(Shift(x, o), y, alpha, pixel, flipV, flipH, maskRect, mask); });
}

void TDIBXWave::DrawCoverage(int32_t x, int32_t y, int32_t factor, int32_t alpha, bool flipV, bool flipH,
                             uint32_t pixel, const TRect& srcRect, const TCustomDIBX& src) {
  if (factor <= 0) return;
  ForBands(y, int64_t{y} + srcRect.Height() / factor, [&](int32_t o) {
    target_->DrawCoverage(Shift(x, o), y, factor, alpha, flipV, flipH, pixel, srcRect, src);
  });
}

void TDIBXWave::DrawCoverage3(int32_t x, int32_t y, int32_t factor, int32_t alpha, bool flipV, bool flipH,
                              const std::array<uint32_t, 3>& colours, const TRect& srcRect, const TCustomDIBX& src) {
  if (factor <= 0) return;
  ForBands(y, int64_t{y} + srcRect.Height() / factor, [&](int32_t o) {
    target_->DrawCoverage3(Shift(x, o), y, factor, alpha, flipV, flipH, colours, srcRect, src);
  });
}

void TDIBXWave::DrawIndexed4(int32_t x, int32_t y, std::span<const uint32_t, 16> colours, int32_t alpha, bool flipV,
                             bool flipH, const TRect& srcRect, const TCustomDIBX& src) {
  ForBands(y, int64_t{y} + srcRect.Height(), [&](int32_t o) {
    target_->DrawIndexed4(Shift(x, o), y, colours, alpha, flipV, flipH, srcRect, src);
  });
}

void TDIBXWave::DrawIndexedAdd(int32_t x, int32_t y, std::span<const uint32_t, 256> colours, int32_t amount,
                               bool flipV, bool flipH, const TRect& srcRect, const TCustomDIBX& src) {
  ForBands(y, int64_t{y} + srcRect.Height(), [&](int32_t o) {
    target_->DrawIndexedAdd(Shift(x, o), y, colours, amount, flipV, flipH, srcRect, src);
  });
}

// Stretched, rotated and pattern draws: every row of a band samples the same source rows and
// columns as it would alone (row and column mapping do not depend on the vertical clip), so a
// band of equal offsets gives exactly the row-by-row result in one call.

void TDIBXWave::DrawRotate(int32_t x, int32_t y, int32_t opacity, bool flipV, bool flipH, bool useKey, int32_t angle,
                           int32_t pivotY, int32_t pivotX, const TRect& srcRect, const TCustomDIBX& src, int32_t zoomY,
                           int32_t zoomX) {
  if (opacity <= 0 || zoomX <= 0 || zoomY <= 0) return;
  TRect box = RotateBounds(x, y, angle, pivotY, pivotX, srcRect, zoomY, zoomX);
  ForBands(box.top, box.bottom, [&](int32_t o) {
    target_->DrawRotate(Shift(x, o), y, opacity, flipV, flipH, useKey, angle, pivotY, pivotX, srcRect, src, zoomY,
                        zoomX);
  });
}

void TDIBXWave::DrawMaskRotate(int32_t x, int32_t y, int32_t opacity, const TCustomDIBX& mask, bool flipV, bool flipH,
                               int32_t angle, int32_t pivotY, int32_t pivotX, const TRect& srcRect,
                               const TCustomDIBX& src, int32_t zoomY, int32_t zoomX) {
  if (opacity <= 0 || zoomX <= 0 || zoomY <= 0) return;
  TRect box = RotateBounds(x, y, angle, pivotY, pivotX, srcRect, zoomY, zoomX);
  ForBands(box.top, box.bottom, [&](int32_t o) {
    target_->DrawMaskRotate(Shift(x, o), y, opacity, mask, flipV, flipH, angle, pivotY, pivotX, srcRect, src, zoomY,
                            zoomX);
  });
}

void TDIBXWave::StretchDraw(const TRect& destRect, const TCustomDIBX& src, int32_t alpha, bool flipV, bool flipH,
                            bool useKey, const TRect& srcRect) {
  ForBands(destRect.top, destRect.bottom, [&](int32_t o) {
    target_->StretchDraw(ShiftRect(destRect, o), src, alpha, flipV, flipH, useKey, srcRect);
  });
}

void TDIBXWave::StretchDrawMask(const TRect& destRect, const TCustomDIBX& src, int32_t alpha, const TCustomDIBX& mask,
                                bool flipV, bool flipH, const TRect& srcRect) {
  ForBands(destRect.top, destRect.bottom, [&](int32_t o) {
    target_->StretchDrawMask(ShiftRect(destRect, o), src, alpha, mask, flipV, flipH, srcRect);
  });
}

void TDIBXWave::StretchDrawAdd(const TRect& destRect, const TCustomDIBX& src, int32_t amount, bool flipV, bool flipH,
                               bool useKey, const TRect& srcRect) {
  ForBands(destRect.top, destRect.bottom, [&](int32_t o) {
    target_->StretchDrawAdd(ShiftRect(destRect, o), src, amount, flipV, flipH, useKey, srcRect);
  });
}

void TDIBXWave::StretchDrawMaskAdd(const TRect& destRect, const TCustomDIBX& src, int32_t amount,
                                   const TCustomDIBX& mask, bool flipV, bool flipH, const TRect& srcRect) {
  ForBands(destRect.top, destRect.bottom, [&](int32_t o) {
    target_->StretchDrawMaskAdd(ShiftRect(destRect, o), src, amount, mask, flipV, flipH, srcRect);
  });
}

void TDIBXWave::StretchDrawIndexed(const TRect& destRect, const TCustomDIBX& src, std::span<const uint32_t> colours,
                                   int32_t alpha, bool flipV, bool flipH, const TRect& srcRect) {
  ForBands(destRect.top, destRect.bottom, [&](int32_t o) {
    target_->StretchDrawIndexed(ShiftRect(destRect, o), src, colours, alpha, flipV, flipH, srcRect);
  });
}

// The pattern moves with the rows: each band fills the displaced rectangle, so its phase
// follows the displaced left edge.
void TDIBXWave::PatternFillTranslucent(const TRect& destRect, int32_t zoomX, int32_t alpha, bool flipV, bool flipH,
                                       bool useKey, int32_t offsetY, int32_t offsetX, const TCustomDIBX& src,
                                       int32_t zoomY) {
  ForBands(destRect.top, destRect.bottom, [&](int32_t o) {
    target_->PatternFillTranslucent(ShiftRect(destRect, o), zoomX, alpha, flipV, flipH, useKey, offsetY, offsetX, src,
                                    zoomY);
  });
}

void TDIBXWave::PatternFillMask(const TRect& destRect, int32_t zoomX, int32_t alpha, const TCustomDIBX& mask,
                                bool flipV, bool flipH, int32_t offsetY, int32_t offsetX, const TCustomDIBX& src,
                                int32_t zoomY) {
  ForBands(destRect.top, destRect.bottom, [&](int32_t o) {
    target_->PatternFillMask(ShiftRect(destRect, o), zoomX, alpha, mask, flipV, flipH, offsetY, offsetX, src, zoomY);
  });
}

void TDIBXWave::PatternFill(const TRect& destRect, const TCustomDIBX& src, bool flipV, bool flipH, int32_t offsetY,
                            int32_t offsetX) {
  ForBands(destRect.top, destRect.bottom,
           [&](int32_t o) { target_->PatternFill(ShiftRect(destRect, o), src, flipV, flipH, offsetY, offsetX); });
}

}  // namespace vorn
