// TDIBXWave: a drawing surface without pixels of its own. It forwards every operation to a
// target surface and moves each row of the result sideways by that row's offset, which is how
// a wave-distortion component bends the pictures of its children.
#pragma once

#include <vector>

#include "graphics/dibx.h"

namespace vorn {

// Coordinates are the target's: the wave area is (originX, originY, originX + width,
// originY + height) and row y uses offset[y - originY]. Drawing lands only inside the wave
// area (further limited by this surface's clip rectangle) before the displacement, and only
// inside the target's clip rectangle after it. Operations forward band by band: consecutive
// rows with equal offsets are drawn in one call with the target clipped to those rows.
class TDIBXWave final : public TCustomDIBX {
 public:
  TDIBXWave() = default;

  // The surface drawn on (not owned); nullptr makes every operation a no-op.
  void SetTargetSurface(TCustomDIBX* target) { target_ = target; }
  TCustomDIBX* Target() override { return target_; }
  void SetOrigin(int32_t originX, int32_t originY) { originX_ = originX, originY_ = originY; }
  int32_t OriginX() const { return originX_; }
  int32_t OriginY() const { return originY_; }
  // One horizontal offset per row of this surface's height (resized by SetSize).
  std::vector<int32_t>& Offsets() { return offsets_; }
  const std::vector<int32_t>& Offsets() const { return offsets_; }

  int BitCount() const override { return target_ ? target_->BitCount() : 0; }
  uint32_t RedMask() const override { return target_ ? target_->RedMask() : 0; }
  uint32_t GreenMask() const override { return target_ ? target_->GreenMask() : 0; }
  uint32_t BlueMask() const override { return target_ ? target_->BlueMask() : 0; }
  int32_t Pitch() const override { return target_ ? target_->Pitch() : 0; }
  // The target's pixel at the displaced position of (x, y); 0 outside the wave rows.
  uint32_t GetPixel(int32_t x, int32_t y) const override;
  void SetPixel(int32_t x, int32_t y, uint32_t pixel) override;
  int BlueShift() const override { return target_ ? target_->BlueShift() : 0; }
  int GreenShift() const override { return target_ ? target_->GreenShift() : 0; }
  int RedShift() const override { return target_ ? target_->RedShift() : 0; }
  int StorageBitCount() const override { return target_ ? target_->StorageBitCount() : 0; }
  // Sets the wave's own width and height and sizes the offset array (new rows get 0); the
  // bit count is the target's and is ignored here.
  void SetSize(int32_t width, int32_t height, int bits) override;
  // A wave surface has no pixels to lend: a caller writing through an address would miss the
  // displacement of the other rows.
  uint8_t* PixelAddress(int32_t, int32_t) override { return nullptr; }
  const uint8_t* RowAddress(int32_t) const override { return nullptr; }
  void ResetClip() override;
  void AddClip(const TRect& rect) override;
  int64_t ColorToPixel(int64_t colour) const override;

  void Fill(uint32_t pixel) override { FillRect(Area(), pixel); }
  void FillRect(const TRect& rect, uint32_t pixel) override;
  void FillRectTranslucent(const TRect& rect, uint32_t pixel, int32_t alpha) override;
  void AddColor(const TRect& rect, uint32_t pixel) override;
  void SubColor(const TRect& rect, uint32_t pixel) override;
  void Assign(const TCustomDIBX& src) override;
  void Draw(int32_t x, int32_t y, bool flipV, bool flipH, bool useKey, const TRect& srcRect,
            const TCustomDIBX& src) override;
  void DrawMask(int32_t x, int32_t y, const TCustomDIBX& mask, bool flipV, bool flipH, const TRect& srcRect,
                const TCustomDIBX& src) override;
  void DrawTranslucent(int32_t x, int32_t y, int32_t alpha, bool flipV, bool flipH, bool useKey,
                       const TRect& srcRect, const TCustomDIBX& src) override;
  void DrawMaskTranslucent(int32_t x, int32_t y, int32_t alpha, const TCustomDIBX& mask, bool flipV, bool flipH,
                           const TRect& srcRect, const TCustomDIBX& src) override;
  void DrawAdd(int32_t x, int32_t y, int32_t amount, bool flipV, bool flipH, bool ignored, const TRect& srcRect,
               const TCustomDIBX& src) override;
  void DrawMaskAdd(int32_t x, int32_t y, int32_t amount, const TCustomDIBX& mask, bool flipV, bool flipH,
                   const TRect& srcRect, const TCustomDIBX& src) override;
  void DrawRotate(int32_t x, int32_t y, int32_t opacity, bool flipV, bool flipH, bool useKey, int32_t angle,
                  int32_t pivotY, int32_t pivotX, const TRect& srcRect, const TCustomDIBX& src, int32_t zoomY,
                  int32_t zoomX) override;
  void DrawMaskRotate(int32_t x, int32_t y, int32_t opacity, const TCustomDIBX& mask, bool flipV, bool flipH,
                      int32_t angle, int32_t pivotY, int32_t pivotX, const TRect& srcRect, const TCustomDIBX& src,
                      int32_t zoomY, int32_t zoomX) override;
  void StretchDraw(const TRect& destRect, const TCustomDIBX& src, int32_t alpha, bool flipV, bool flipH, bool useKey,
                   const TRect& srcRect) override;
  void StretchDrawMask(const TRect& destRect, const TCustomDIBX& src, int32_t alpha, const TCustomDIBX& mask,
                       bool flipV, bool flipH, const TRect& srcRect) override;
  void StretchDrawAdd(const TRect& destRect, const TCustomDIBX& src, int32_t amount, bool flipV, bool flipH,
                      bool useKey, const TRect& srcRect) override;
  void StretchDrawMaskAdd(const TRect& destRect, const TCustomDIBX& src, int32_t amount, const TCustomDIBX& mask,
                          bool flipV, bool flipH, const TRect& srcRect) override;
  void DrawCoverage(int32_t x, int32_t y, int32_t factor, int32_t alpha, bool flipV, bool flipH, uint32_t pixel,
                    const TRect& srcRect, const TCustomDIBX& src1bit) override;
  void DrawCoverage3(int32_t x, int32_t y, int32_t factor, int32_t alpha, bool flipV, bool flipH,
                     const std::array<uint32_t, 3>& colours, const TRect& srcRect, const TCustomDIBX& src2bit) override;
  void DrawIndexed4(int32_t x, int32_t y, std::span<const uint32_t, 16> colours, int32_t alpha, bool flipV,
                    bool flipH, const TRect& srcRect, const TCustomDIBX& src4bit) override;
  void DrawIndexedAdd(int32_t x, int32_t y, std::span<const uint32_t, 256> colours, int32_t amount, bool flipV,
                      bool flipH, const TRect& srcRect, const TCustomDIBX& src8bit) override;
  void StretchDrawIndexed(const TRect& destRect, const TCustomDIBX& src, std::span<const uint32_t> colours,
                          int32_t alpha, bool flipV, bool flipH, const TRect& srcRect) override;
  void PatternFillTranslucent(const TRect& destRect, int32_t zoomX, int32_t alpha, bool flipV, bool flipH,
                              bool useKey, int32_t offsetY, int32_t offsetX, const TCustomDIBX& src,
                              int32_t zoomY) override;
  void PatternFillMask(const TRect& destRect, int32_t zoomX, int32_t alpha, const TCustomDIBX& mask, bool flipV,
                       bool flipH, int32_t offsetY, int32_t offsetX, const TCustomDIBX& src, int32_t zoomY) override;
  void PatternFill(const TRect& destRect, const TCustomDIBX& src, bool flipV, bool flipH, int32_t offsetY,
                   int32_t offsetX) override;
  // Drops the offsets; width and height become 0.
  void Release() override;
  void GetPalette(std::array<uint32_t, 256>& entries) const override;
  void SetPalette(const std::array<uint32_t, 256>& entries) override;
  void FillMask(int32_t x, int32_t y, int32_t alpha, uint32_t pixel, bool flipV, bool flipH, const TRect& maskRect,
                const TCustomDIBX& mask) override;

 protected:
  TRect Area() const override;

 private:
  // Calls draw(offset) for each band of equal offsets among target rows [top, bottom), with
  // the target's clip rectangle narrowed to the band; the target's clip is restored after.
  template <class Fn>
  void ForBands(int64_t top, int64_t bottom, Fn&& draw);

  TCustomDIBX* target_ = nullptr;
  std::vector<int32_t> offsets_;
  int32_t originX_ = 0, originY_ = 0;
};

}  // namespace vorn
