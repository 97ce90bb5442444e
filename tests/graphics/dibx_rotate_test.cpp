// Rotation against a pixel-by-pixel reference: every destination pixel of the clipped box is
// mapped back with the 16.16 steps and tested against the source rectangle on its own.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

#include "graphics/dibx.h"
#include "graphics/dibx_reference.h"

namespace vorn {
namespace {

struct RotateArgs {
  int32_t x, y, opacity;
  bool flipV, flipH, useKey;
  int32_t angle, pivotY, pivotX;
  TRect srcRect;
  int32_t zoomY, zoomX;
};

// mask == nullptr: DrawRotate; otherwise DrawMaskRotate.
void ReferenceRotate(TDIBX& dst, const TDIBX& src, const TDIBX* mask, const RotateArgs& a) {
  TRect box = Intersect(RotateBounds(a.x, a.y, a.angle, a.pivotY, a.pivotX, a.srcRect, a.zoomY, a.zoomX),
                        dst.ClipOrBounds());
  if (box.IsEmpty()) return;
  auto masks = blend_ref::MasksFor(dst.BitCount());
  double th = a.angle * 2.0 * std::numbers::pi / 256.0, c = std::cos(th), s = std::sin(th);
  double sx = a.zoomX / 256.0, sy = a.zoomY / 256.0;
  int64_t colU = std::llround(c / sx * 65536), colV = std::llround(-s / sy * 65536);
  int64_t rowU = std::llround(s / sx * 65536), rowV = std::llround(c / sy * 65536);
  int64_t w = a.srcRect.Width(), h = a.srcRect.Height();
  uint32_t op = static_cast<uint32_t>(a.opacity > 255 ? (a.opacity & 255) : a.opacity);
  for (int32_t Y = box.top; Y < box.bottom; ++Y)
    for (int32_t X = box.left; X < box.right; ++X) {
      int64_t u = int64_t{a.pivotX} * 65536 + colU * (X - a.x) + rowU * (Y - a.y);
      int64_t v = int64_t{a.pivotY} * 65536 + colV * (X - a.x) + rowV * (Y - a.y);
      if (u < 0 || v < 0 || (u >> 16) >= w || (v >> 16) >= h) continue;
      int64_t col = u >> 16, row = v >> 16;
      if (a.flipH) col = w - 1 - col;
      if (a.flipV) row = h - 1 - row;
      int32_t px = a.srcRect.left + static_cast<int32_t>(col), py = a.srcRect.top + static_cast<int32_t>(row);
      uint32_t sv = src.GetPixel(px, py), dv = dst.GetPixel(X, Y), out;
      if (mask) {
        uint32_t k = mask->GetPixel(px, py);
        if (k == 0) continue;
        if (a.opacity > 255) out = blend_ref::Add(masks, sv, dv, (op * k) >> 8, false, 0);
        else if (a.opacity == 255) out = blend_ref::Mask(masks, sv, dv, k);
        else out = blend_ref::MaskTranslucent(masks, sv, dv, k, op);
      } else {
        if (a.useKey && src.ColorKey() >= 0 && sv == static_cast<uint32_t>(src.ColorKey())) continue;
        if (a.opacity == 255) out = sv;
        else if (a.opacity > 255) out = blend_ref::Add(masks, sv, dv, op, false, 0);
        else out = blend_ref::Mix(masks, sv, dv, op, 255 - op);
      }
      dst.SetPixel(X, Y, out);
    }
}

TEST(DibxRotate, EqualsThePixelByPixelReference) {
  std::mt19937 rng(42);
  for (int bits : {32, 16, 15}) {
    uint32_t full = bits == 32 ? 0xFFFFFF : bits == 16 ? 0xFFFF : 0x7FFF;
    TDIBX src, mask;
    src.SetSize(37, 29, bits);
    mask.SetSize(37, 29, 8);
    for (int y = 0; y < 29; ++y)
      for (int x = 0; x < 37; ++x) src.SetPixel(x, y, rng() & full), mask.SetPixel(x, y, rng() % 4 ? rng() & 255 : 0);
    src.SetColorKey(src.GetPixel(5, 5));
    for (int round = 0; round < 60; ++round) {
      RotateArgs a;
      a.x = static_cast<int32_t>(rng() % 90) - 10, a.y = static_cast<int32_t>(rng() % 70) - 10;
      const int32_t opacities[] = {255, 128, 1, 254, 256 + 77, 256 + 255, 256};
      a.opacity = opacities[rng() % std::size(opacities)];
      a.flipV = rng() & 1, a.flipH = rng() & 1, a.useKey = rng() & 1;
      a.angle = static_cast<int32_t>(rng() % 512) - 128;
      if (round % 8 == 0) a.angle = 64 * static_cast<int32_t>(rng() % 4);  // axis-aligned steps of 0
      int32_t l = static_cast<int32_t>(rng() % 20), t = static_cast<int32_t>(rng() % 15);
      a.srcRect = {l, t, l + 1 + static_cast<int32_t>(rng() % (37 - l)), t + 1 + static_cast<int32_t>(rng() % (29 - t))};
      a.pivotX = static_cast<int32_t>(rng() % 40) - 5, a.pivotY = static_cast<int32_t>(rng() % 30) - 5;
      a.zoomX = 40 + static_cast<int32_t>(rng() % 600), a.zoomY = 40 + static_cast<int32_t>(rng() % 600);
      bool masked = round % 3 == 0;
      TDIBX fast, ref;
      fast.SetSize(64, 48, bits), ref.SetSize(64, 48, bits);
      for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
          uint32_t v = rng() & full;
          fast.SetPixel(x, y, v), ref.SetPixel(x, y, v);
        }
      if (round % 5 == 0) fast.SetClip({7, 3, 50, 40}), ref.SetClip({7, 3, 50, 40});
      if (masked) {
        fast.DrawMaskRotate(a.x, a.y, a.opacity, mask, a.flipV, a.flipH, a.angle, a.pivotY, a.pivotX, a.srcRect, src,
                            a.zoomY, a.zoomX);
        ReferenceRotate(ref, src, &mask, a);
      } else {
        fast.DrawRotate(a.x, a.y, a.opacity, a.flipV, a.flipH, a.useKey, a.angle, a.pivotY, a.pivotX, a.srcRect, src,
                        a.zoomY, a.zoomX);
        ReferenceRotate(ref, src, nullptr, a);
      }
      for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
          ASSERT_EQ(fast.GetPixel(x, y), ref.GetPixel(x, y))
              << "bits " << bits << " round " << round << " at " << x << "," << y << " angle " << a.angle;
    }
  }
}

}  // namespace
}  // namespace vorn
