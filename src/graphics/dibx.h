// TCustomDIBX, the drawing surface every visible component paints on, and TDIBX, the kind
// that holds its pixels in a TDIBSurface. Native formats are 5-5-5, 5-6-5 and 0x00RRGGBB;
// palette depths take the general paths (copies and fills) only.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "graphics/dib_surface.h"
#include "graphics/rect.h"
#include "resources/stream.h"

namespace vorn {

class TCustomDIBX {
 public:
  virtual ~TCustomDIBX() = default;

  virtual bool IsEmpty() const { return Width() <= 0 || Height() <= 0; }
  virtual int BitCount() const = 0;
  virtual void SetBitCount(int) {}
  virtual uint32_t RedMask() const = 0;
  virtual uint32_t GreenMask() const = 0;
  virtual uint32_t BlueMask() const = 0;
  virtual int32_t Pitch() const = 0;
  virtual uint32_t GetPixel(int32_t x, int32_t y) const = 0;
  virtual void SetPixel(int32_t x, int32_t y, uint32_t pixel) = 0;
  virtual int BlueShift() const = 0;
  virtual int GreenShift() const = 0;
  virtual int RedShift() const = 0;
  virtual int32_t Height() const { return height_; }
  virtual int32_t Width() const { return width_; }
  virtual TCustomDIBX* Target() { return nullptr; }
  virtual int StorageBitCount() const = 0;
  virtual void SetSize(int32_t width, int32_t height, int bits) = 0;
  // Address of (x, y) or nullptr for an empty surface or a point outside it; pair with Unlock.
  virtual uint8_t* PixelAddress(int32_t x, int32_t y) = 0;
  virtual void Unlock() {}
  // Read access to row y of a pixel-holding surface (sources and masks); nullptr otherwise.
  virtual const uint8_t* RowAddress(int32_t y) const = 0;
  virtual void ResetClip() { clip_ = TRect{}; }
  virtual void AddClip(const TRect& rect);
  virtual int64_t ColorToPixel(int64_t colour) const;
  virtual void Fill(uint32_t pixel) = 0;
  virtual void FillRect(const TRect& rect, uint32_t pixel) = 0;
  virtual void FillRectTranslucent(const TRect& rect, uint32_t pixel, int32_t alpha) = 0;
  virtual void AddColor(const TRect& rect, uint32_t pixel) = 0;
  virtual void SubColor(const TRect& rect, uint32_t pixel) = 0;
  virtual void FrameRect(const TRect& rect, int32_t width, uint32_t pixel);
  virtual void FrameRectTranslucent(const TRect& rect, int32_t width, int32_t alpha, uint32_t pixel);
  virtual void FrameRectAdd(const TRect& rect, int32_t width, uint32_t pixel);
  virtual void Assign(const TCustomDIBX& src) = 0;
  virtual void Draw(int32_t x, int32_t y, bool flipV, bool flipH, bool useKey, const TRect& srcRect,
                    const TCustomDIBX& src) = 0;
  virtual void DrawMask(int32_t x, int32_t y, const TCustomDIBX& mask, bool flipV, bool flipH, const TRect& srcRect,
                        const TCustomDIBX& src) = 0;
  virtual void DrawTranslucent(int32_t x, int32_t y, int32_t alpha, bool flipV, bool flipH, bool useKey,
                               const TRect& srcRect, const TCustomDIBX& src) = 0;
  virtual void DrawMaskTranslucent(int32_t x, int32_t y, int32_t alpha, const TCustomDIBX& mask, bool flipV,
                                   bool flipH, const TRect& srcRect, const TCustomDIBX& src) = 0;
  virtual void DrawAdd(int32_t x, int32_t y, int32_t amount, bool flipV, bool flipH, bool ignored,
                       const TRect& srcRect, const TCustomDIBX& src) = 0;
  virtual void DrawMaskAdd(int32_t x, int32_t y, int32_t amount, const TCustomDIBX& mask, bool flipV, bool flipH,
                           const TRect& srcRect, const TCustomDIBX& src) = 0;
  virtual void DrawRotate(int32_t x, int32_t y, int32_t opacity, bool flipV, bool flipH, bool useKey, int32_t angle,
                          int32_t pivotY, int32_t pivotX, const TRect& srcRect, const TCustomDIBX& src,
                          int32_t zoomY, int32_t zoomX) = 0;
  virtual void DrawMaskRotate(int32_t x, int32_t y, int32_t opacity, const TCustomDIBX& mask, bool flipV, bool flipH,
                              int32_t angle, int32_t pivotY, int32_t pivotX, const TRect& srcRect,
                              const TCustomDIBX& src, int32_t zoomY, int32_t zoomX) = 0;
  virtual void StretchDraw(const TRect& destRect, const TCustomDIBX& src, int32_t alpha, bool flipV, bool flipH,
                           bool useKey, const TRect& srcRect) = 0;
  virtual void StretchDrawMask(const TRect& destRect, const TCustomDIBX& src, int32_t alpha, const TCustomDIBX& mask,
                               bool flipV, bool flipH, const TRect& srcRect) = 0;
  virtual void StretchDrawAdd(const TRect& destRect, const TCustomDIBX& src, int32_t amount, bool flipV, bool flipH,
                              bool useKey, const TRect& srcRect) = 0;
  virtual void StretchDrawMaskAdd(const TRect& destRect, const TCustomDIBX& src, int32_t amount,
                                  const TCustomDIBX& mask, bool flipV, bool flipH, const TRect& srcRect) = 0;
  virtual void DrawCoverage(int32_t x, int32_t y, int32_t factor, int32_t alpha, bool flipV, bool flipH,
                            uint32_t pixel, const TRect& srcRect, const TCustomDIBX& src1bit) = 0;
  virtual void DrawCoverage3(int32_t x, int32_t y, int32_t factor, int32_t alpha, bool flipV, bool flipH,
                             const std::array<uint32_t, 3>& colours, const TRect& srcRect,
                             const TCustomDIBX& src2bit) = 0;
  // Tiling: srcRect repeated over destRect with gaps, scrolled by the offsets (see the .cpp).
  virtual void TileDraw(const TRect& destRect, int32_t gapX, int32_t offsetY, int32_t offsetX, bool useKey,
                        const TRect& srcRect, const TCustomDIBX& src, int32_t gapY);
  virtual void TileDrawTranslucent(const TRect& destRect, int32_t gapX, int32_t offsetY, int32_t offsetX,
                                   bool useKey, const TRect& srcRect, const TCustomDIBX& src, int32_t gapY,
                                   int32_t alpha);
  virtual void TileDrawAdd(const TRect& destRect, int32_t gapX, int32_t offsetY, int32_t offsetX,
                           const TRect& srcRect, const TCustomDIBX& src, int32_t gapY, int32_t amount);
  virtual void TileDrawMask(const TRect& destRect, int32_t gapX, int32_t offsetY, int32_t offsetX,
                            const TRect& srcRect, const TCustomDIBX& src, int32_t gapY, const TCustomDIBX& mask);
  virtual void TileDrawMaskTranslucent(const TRect& destRect, int32_t gapX, int32_t offsetY, int32_t offsetX,
                                       const TRect& srcRect, const TCustomDIBX& src, int32_t gapY,
                                       const TCustomDIBX& mask, int32_t alpha);
  virtual void TileDrawMaskAdd(const TRect& destRect, int32_t gapX, int32_t offsetY, int32_t offsetX,
                               const TRect& srcRect, const TCustomDIBX& src, int32_t gapY, const TCustomDIBX& mask,
                               int32_t amount);
  // Tiles of tileWidth x tileHeight, each a stretched srcRect; alpha above 255 adds alpha - 256.
  virtual void TileStretchDraw(const TRect& destRect, int32_t gapX, int32_t offsetY, int32_t offsetX, bool useKey,
                               const TRect& srcRect, const TCustomDIBX& src, int32_t gapY, int32_t tileWidth,
                               int32_t tileHeight, int32_t alpha);
  virtual void TileStretchDrawMask(const TRect& destRect, int32_t gapX, int32_t offsetY, int32_t offsetX,
                                   const TRect& srcRect, const TCustomDIBX& src, int32_t gapY, int32_t tileWidth,
                                   int32_t tileHeight, int32_t alpha, const TCustomDIBX& mask);
  virtual void FramePattern(const TRect& rect, int32_t width, int32_t offsetY, int32_t offsetX,
                            const TCustomDIBX& src);
  // colours: 16 raw pixels for 4-bit indices, 256 for 8-bit ones.
  virtual void DrawIndexed4(int32_t x, int32_t y, std::span<const uint32_t, 16> colours, int32_t alpha, bool flipV,
                            bool flipH, const TRect& srcRect, const TCustomDIBX& src4bit) = 0;
  virtual void DrawIndexedAdd(int32_t x, int32_t y, std::span<const uint32_t, 256> colours, int32_t amount,
                              bool flipV, bool flipH, const TRect& srcRect, const TCustomDIBX& src8bit) = 0;
  // Either table size: 16 entries for a 4-bit source, 256 for an 8-bit one. alpha above 255 adds.
  virtual void StretchDrawIndexed(const TRect& destRect, const TCustomDIBX& src, std::span<const uint32_t> colours,
                                  int32_t alpha, bool flipV, bool flipH, const TRect& srcRect) = 0;
  virtual void PatternFillTranslucent(const TRect& destRect, int32_t zoomX, int32_t alpha, bool flipV, bool flipH,
                                      bool useKey, int32_t offsetY, int32_t offsetX, const TCustomDIBX& src,
                                      int32_t zoomY) = 0;
  virtual void PatternFillMask(const TRect& destRect, int32_t zoomX, int32_t alpha, const TCustomDIBX& mask,
                               bool flipV, bool flipH, int32_t offsetY, int32_t offsetX, const TCustomDIBX& src,
                               int32_t zoomY) = 0;
  virtual void PatternFill(const TRect& destRect, const TCustomDIBX& src, bool flipV, bool flipH, int32_t offsetY,
                           int32_t offsetX) = 0;
  virtual void Release() = 0;
  virtual void GetPalette(std::array<uint32_t, 256>& entries) const = 0;
  virtual void SetPalette(const std::array<uint32_t, 256>& entries) = 0;
  virtual void FillMask(int32_t x, int32_t y, int32_t alpha, uint32_t pixel, bool flipV, bool flipH,
                        const TRect& maskRect, const TCustomDIBX& mask) = 0;
  // A platform palette object would be dropped here; our surfaces hold only the colour table,
  // which stays as it is.
  virtual void ReleasePalette() {}
  // count entries (0x00BBGGRR) from index first; indices outside 0..255 or beyond the span
  // are left out.
  virtual void GetPaletteEntries(std::span<uint32_t> entries, int first, int count) const;
  virtual void SetPaletteEntries(std::span<const uint32_t> entries, int first, int count);
  virtual void Changed() {}

  int BytesPerPixel() const { return (BitCount() + 7) / 8; }
  TRect Bounds() const { return {0, 0, Width(), Height()}; }
  // The clip rectangle when set (right != 0), else the drawing area; always inside that area.
  TRect ClipOrBounds() const { return clip_.right == 0 ? Area() : Intersect(clip_, Area()); }
  const TRect& Clip() const { return clip_; }
  void SetClip(const TRect& rect) { clip_ = rect; }
  int64_t ColorKey() const { return colorKey_; }
  void SetColorKey(int64_t key) { colorKey_ = key; }

  // Rectangles filled by the Gale reader for the components that use them.
  std::vector<TRect> rects1, rects2;

 protected:
  // Where drawing may land in this surface's coordinates: the bounds for a pixel surface, the
  // wave area on its target for a wave surface.
  virtual TRect Area() const { return Bounds(); }

  TRect clip_;
  int64_t colorKey_ = -1;
  int32_t height_ = 0, width_ = 0;
};

class TDIBX final : public TCustomDIBX {
 public:
  TDIBX();  // 1 by 1 at 15 bits
  // Borrows an existing pixel surface; it is not freed with this object.
  explicit TDIBX(TDIBSurface* borrowed);

  TDIBSurface& Surface() { return *surface_; }
  const TDIBSurface& Surface() const { return *surface_; }

  int BitCount() const override { return surface_->BitCount(); }
  void SetBitCount(int bits) override { SetSize(width_, height_, bits); }
  uint32_t RedMask() const override { return surface_->RedMask(); }
  uint32_t GreenMask() const override { return surface_->GreenMask(); }
  uint32_t BlueMask() const override { return surface_->BlueMask(); }
  int32_t Pitch() const override { return surface_->Stride(); }
  uint32_t GetPixel(int32_t x, int32_t y) const override;
  void SetPixel(int32_t x, int32_t y, uint32_t pixel) override;
  int BlueShift() const override { return surface_->BlueShift(); }
  int GreenShift() const override { return surface_->GreenShift(); }
  int RedShift() const override { return surface_->RedShift(); }
  int StorageBitCount() const override { return surface_->StorageBitCount(); }
  void SetSize(int32_t width, int32_t height, int bits) override;
  uint8_t* PixelAddress(int32_t x, int32_t y) override;
  const uint8_t* RowAddress(int32_t y) const override;
  void Fill(uint32_t pixel) override;
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
  void Release() override;
  void GetPalette(std::array<uint32_t, 256>& entries) const override;
  void SetPalette(const std::array<uint32_t, 256>& entries) override;
  void FillMask(int32_t x, int32_t y, int32_t alpha, uint32_t pixel, bool flipV, bool flipH, const TRect& maskRect,
                const TCustomDIBX& mask) override;

  // "BM" at 0: bitmap; "PNG" at 1: PNG. The picture is converted to this surface's bit count.
  // Returns false (surface unchanged) for any other content.
  bool LoadFromStream(Stream& stream);
  // A 24-bit Windows bitmap.
  void SaveToStream(Stream& stream) const;

 private:
  std::unique_ptr<TDIBSurface> owned_;
  TDIBSurface* surface_;
};

// The rotated destination box of DrawRotate before clipping (also used by the wave surface).
TRect RotateBounds(int32_t x, int32_t y, int32_t angle, int32_t pivotY, int32_t pivotX, const TRect& srcRect,
                   int32_t zoomY, int32_t zoomX);

}  // namespace vorn
