// TDIBX stretched, rotated and pattern draws. Stretches and pattern fills gather each
// destination row from the source (16.16 steps, nearest sampling) into scratch rows and then
// run the same row kernels as the positioned copies; rotation solves per row the span of
// pixels that map inside the source and then steps through it.
#include <cmath>
#include <numbers>
#include <vector>

#include "graphics/dibx_internal.h"

namespace vorn {

using namespace dibx_detail;

namespace {

enum class Mode { kCopy, kTranslucent, kAdd, kMask, kMaskTranslucent, kMaskAdd };

// The source column/row of each destination column/row of a stretch, or -1 outside.
struct StretchMap {
  std::vector<int32_t> cols;  // sized to the clipped destination row
  TRect clipped;
  TRect src;
  double fy;
  int32_t destTop;
  bool flipV;
  int32_t RowFor(int32_t y) const {
    int64_t v = static_cast<int64_t>(static_cast<double>(int64_t{y} - destTop) * fy * 65536.0) >> 16;
    if (v < 0 || v >= src.Height()) return -1;
    return flipV ? src.bottom - 1 - static_cast<int32_t>(v) : src.top + static_cast<int32_t>(v);
  }
};

bool MapStretch(const TRect& area, const TRect& destRect, const TRect& srcRect, const TRect& limit, bool flipV,
                bool flipH, StretchMap& m) {
  if (destRect.IsEmpty() || srcRect.IsEmpty()) return false;
  if (Intersect(srcRect, limit) != srcRect) return false;  // the source rectangle must lie in the source
  m.clipped = Intersect(destRect, area);
  if (m.clipped.IsEmpty()) return false;
  double fx = static_cast<double>(srcRect.Width()) / (int64_t{destRect.right} - destRect.left);
  m.fy = static_cast<double>(srcRect.Height()) / (int64_t{destRect.bottom} - destRect.top);
  m.src = srcRect;
  m.destTop = destRect.top;
  m.flipV = flipV;
  int64_t step = std::llround(fx * 65536.0);
  // The clipped part's fraction is carried into the first step.
  int64_t pos = static_cast<int64_t>(static_cast<double>(int64_t{m.clipped.left} - destRect.left) * fx * 65536.0);
  m.cols.resize(static_cast<size_t>(m.clipped.Width()));
  for (int32_t& c : m.cols) {
    int64_t v = std::min<int64_t>(pos >> 16, srcRect.Width() - 1);
    c = flipH ? srcRect.right - 1 - static_cast<int32_t>(v) : srcRect.left + static_cast<int32_t>(v);
    pos += step;
  }
  return true;
}

template <class F>
void RunRow(const DibxKernels<F>& k, Mode mode, typename F::Pixel* d, const typename F::Pixel* s, const uint8_t* m,
            int n, uint32_t a, bool useKey, uint32_t key) {
  switch (mode) {
    case Mode::kCopy: k.copy(d, s, n, useKey, key); break;
    case Mode::kTranslucent: k.translucent(d, s, n, a, useKey, key); break;
    case Mode::kAdd: k.add(d, s, n, a, useKey, key); break;
    case Mode::kMask: k.mask(d, s, m, n); break;
    case Mode::kMaskTranslucent: k.maskTranslucent(d, s, m, n, a); break;
    case Mode::kMaskAdd: k.maskAdd(d, s, m, n, a); break;
  }
}

template <class F>
void Stretch(TDIBSurface& dst, const TRect& area, const TRect& destRect, const TCustomDIBX& src,
             const TCustomDIBX* mask, const TRect& srcRect, bool flipV, bool flipH, Mode mode, uint32_t a, bool useKey) {
  TRect limit = src.Bounds();
  if (mask && !MaskLimit(*mask, src, limit)) return;
  StretchMap map;
  if (!MapStretch(area, destRect, srcRect, limit, flipV, flipH, map)) return;
  using P = typename F::Pixel;
  size_t n = map.cols.size();
  std::vector<typename F::Word> srow(n);
  std::vector<uint8_t> mrow(mask ? n : 0);
  const auto& k = Kernels<F>();
  uint32_t key = static_cast<uint32_t>(src.ColorKey());
  useKey = useKey && src.ColorKey() >= 0;
  for (int32_t y = map.clipped.top; y < map.clipped.bottom; ++y) {
    int32_t sy = map.RowFor(y);
    if (sy < 0) continue;
    const P* s = SrcRow<F>(src, sy);
    for (size_t i = 0; i < n; ++i) srow[i] = s[map.cols[i]];
    if (mask) {
      const uint8_t* mr = mask->RowAddress(sy);
      for (size_t i = 0; i < n; ++i) mrow[i] = mr[map.cols[i]];
    }
    RunRow<F>(k, mode, DstRow<F>(dst, y) + map.clipped.left, srow.data(), mrow.data(), static_cast<int>(n), a, useKey, key);
  }
}

}  // namespace

void TDIBX::StretchDraw(const TRect& destRect, const TCustomDIBX& src, int32_t alpha, bool flipV, bool flipH,
                        bool useKey, const TRect& srcRect) {
  if (alpha <= 0 || src.BitCount() != BitCount() || IsEmpty()) return;
  Mode mode = alpha >= 255 ? Mode::kCopy : Mode::kTranslucent;
  WithFormat(BitCount(), [&](auto f) {
    Stretch<decltype(f)>(*surface_, ClipOrBounds(), destRect, src, nullptr, srcRect, flipV, flipH, mode,
                         static_cast<uint32_t>(std::min(alpha, 255)), useKey);
  });
}

void TDIBX::StretchDrawMask(const TRect& destRect, const TCustomDIBX& src, int32_t alpha, const TCustomDIBX& mask,
                            bool flipV, bool flipH, const TRect& srcRect) {
  if (alpha <= 0 || src.BitCount() != BitCount() || IsEmpty()) return;
  Mode mode = alpha >= 255 ? Mode::kMask : Mode::kMaskTranslucent;
  WithFormat(BitCount(), [&](auto f) {
    Stretch<decltype(f)>(*surface_, ClipOrBounds(), destRect, src, &mask, srcRect, flipV, flipH, mode,
                         static_cast<uint32_t>(std::min(alpha, 255)), false);
  });
}

void TDIBX::StretchDrawAdd(const TRect& destRect, const TCustomDIBX& src, int32_t amount, bool flipV, bool flipH,
                           bool useKey, const TRect& srcRect) {
  if (amount <= 0 || src.BitCount() != BitCount() || IsEmpty()) return;
  WithFormat(BitCount(), [&](auto f) {
    Stretch<decltype(f)>(*surface_, ClipOrBounds(), destRect, src, nullptr, srcRect, flipV, flipH, Mode::kAdd,
                         static_cast<uint32_t>(std::min(amount, 255)), useKey);
  });
}

void TDIBX::StretchDrawMaskAdd(const TRect& destRect, const TCustomDIBX& src, int32_t amount, const TCustomDIBX& mask,
                               bool flipV, bool flipH, const TRect& srcRect) {
  if (amount <= 0 || src.BitCount() != BitCount() || IsEmpty()) return;
  WithFormat(BitCount(), [&](auto f) {
    Stretch<decltype(f)>(*surface_, ClipOrBounds(), destRect, src, &mask, srcRect, flipV, flipH, Mode::kMaskAdd,
                         static_cast<uint32_t>(std::min(amount, 255)), false);
  });
}

void TDIBX::StretchDrawIndexed(const TRect& destRect, const TCustomDIBX& src, std::span<const uint32_t> colours,
                               int32_t alpha, bool flipV, bool flipH, const TRect& srcRect) {
  size_t need = src.BitCount() == 4 ? 16 : 256;
  if (alpha <= 0 || (src.BitCount() != 4 && src.BitCount() != 8) || colours.size() < need || IsEmpty()) return;
  StretchMap map;
  if (!MapStretch(ClipOrBounds(), destRect, srcRect, src.Bounds(), flipV, flipH, map)) return;
  int64_t key = src.ColorKey();
  bool add = alpha > 255;
  uint32_t a = static_cast<uint32_t>(add ? std::min(alpha - 256, 255) : std::min(alpha, 255));
  if (add && a == 0) return;
  WithFormat(BitCount(), [&](auto f) {
    using F = decltype(f);
    for (int32_t y = map.clipped.top; y < map.clipped.bottom; ++y) {
      int32_t sy = map.RowFor(y);
      if (sy < 0) continue;
      auto* d = DstRow<F>(*surface_, y) + map.clipped.left;
      for (size_t i = 0; i < map.cols.size(); ++i) {
        uint32_t idx = src.GetPixel(map.cols[i], sy);
        if (int64_t{idx} <= key) continue;
        uint32_t c = colours[idx], dv = d[i];
        if (add) d[i] = static_cast<typename F::Pixel>(AddPx<F>(c, dv, a));
        else if (a >= 255) d[i] = static_cast<typename F::Pixel>(c);
        else if (c != dv) d[i] = static_cast<typename F::Pixel>(MixPx<F>(c, dv, a, 255 - a));
      }
    }
  });
}

TRect RotateBounds(int32_t x, int32_t y, int32_t angle, int32_t pivotY, int32_t pivotX, const TRect& srcRect,
                   int32_t zoomY, int32_t zoomX) {
  double th = angle * 2.0 * std::numbers::pi / 256.0, c = std::cos(th), s = std::sin(th);
  double sx = zoomX / 256.0, sy = zoomY / 256.0;
  double px = pivotX, py = pivotY;
  double xs[2] = {-px * sx, (srcRect.Width() - px) * sx}, ys[2] = {-py * sy, (srcRect.Height() - py) * sy};
  double minX = 1e18, minY = 1e18, maxX = -1e18, maxY = -1e18;
  for (double dx : xs)
    for (double dy : ys) {
      double X = x + dx * c - dy * s, Y = y + dx * s + dy * c;
      minX = std::min(minX, X), maxX = std::max(maxX, X), minY = std::min(minY, Y), maxY = std::max(maxY, Y);
    }
  auto clampI = [](double v) { return static_cast<int32_t>(std::clamp(std::trunc(v), -1e9, 1e9)); };
  return {clampI(minX), clampI(minY), clampI(maxX + 1), clampI(maxY + 1)};
}

namespace {

// Floor and ceiling of a / b for b > 0.
int64_t FloorDiv(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
int64_t CeilDiv(int64_t a, int64_t b) { return -FloorDiv(-a, b); }

// The k in [lo, hi) within [0, n) for which 0 <= a + b k < limit: where a 16.16 coordinate
// stepping by b from a stays inside the source. Exactly the per-pixel test, solved per row.
void InsideSpan(int64_t a, int64_t b, int64_t limit, int64_t n, int64_t& lo, int64_t& hi) {
  if (b == 0) {
    lo = 0, hi = (a >= 0 && a < limit) ? n : 0;
  } else if (b > 0) {
    lo = CeilDiv(-a, b), hi = CeilDiv(limit - a, b);
  } else {
    lo = FloorDiv(a - limit, -b) + 1, hi = FloorDiv(a, -b) + 1;
  }
  lo = std::clamp<int64_t>(lo, 0, n);
  hi = std::clamp<int64_t>(hi, lo, n);
}

// Row r (0 = first row read, flips resolved) of srcRect in `s`, starting at its left column.
// Kept as byte addresses (a container of the aliasing pixel pointers would drop the attribute).
template <class F>
std::vector<const uint8_t*> SourceRows(const TCustomDIBX& s, const TRect& srcRect, bool flipV) {
  std::vector<const uint8_t*> rows(static_cast<size_t>(srcRect.Height()));
  for (int32_t r = 0; r < srcRect.Height(); ++r)
    rows[static_cast<size_t>(r)] = reinterpret_cast<const uint8_t*>(
        SrcRow<F>(s, flipV ? srcRect.bottom - 1 - r : srcRect.top + r) + srcRect.left);
  return rows;
}

// Shared by DrawRotate and DrawMaskRotate: walks the clipped box with inverse 16.16 steps and
// calls px(dst, row, col) for every destination pixel that maps inside srcRect, row and col
// counted inside srcRect with the flips resolved. Per row, the span of columns that land
// inside the source is solved once, so the inner loop holds no bounds tests.
template <class F, class Px>
void Rotate(TDIBSurface& dst, const TRect& area, int32_t x, int32_t y, int32_t angle, int32_t pivotY, int32_t pivotX,
            const TRect& srcRect, int32_t zoomY, int32_t zoomX, bool flipH, Px&& px) {
  TRect box = Intersect(RotateBounds(x, y, angle, pivotY, pivotX, srcRect, zoomY, zoomX), area);
  if (box.IsEmpty()) return;
  double th = angle * 2.0 * std::numbers::pi / 256.0, c = std::cos(th), s = std::sin(th);
  double sx = zoomX / 256.0, sy = zoomY / 256.0;
  int64_t colU = std::llround(c / sx * 65536), colV = std::llround(-s / sy * 65536);
  int64_t rowU = std::llround(s / sx * 65536), rowV = std::llround(c / sy * 65536);
  int64_t u0 = int64_t{pivotX} * 65536 + colU * (int64_t{box.left} - x) + rowU * (int64_t{box.top} - y);
  int64_t v0 = int64_t{pivotY} * 65536 + colV * (int64_t{box.left} - x) + rowV * (int64_t{box.top} - y);
  int64_t w = srcRect.Width(), h = srcRect.Height(), n = box.Width();
  for (int32_t Y = box.top; Y < box.bottom; ++Y, u0 += rowU, v0 += rowV) {
    int64_t loU, hiU, loV, hiV;
    InsideSpan(u0, colU, w << 16, n, loU, hiU);
    InsideSpan(v0, colV, h << 16, n, loV, hiV);
    int64_t lo = std::max(loU, loV), hi = std::min(hiU, hiV);
    if (lo >= hi) continue;
    auto* d = DstRow<F>(dst, Y) + box.left;
    int64_t u = u0 + colU * lo, v = v0 + colV * lo;
    if (flipH) {
      for (int64_t k = lo; k < hi; ++k, u += colU, v += colV)
        px(d + k, static_cast<int32_t>(v >> 16), static_cast<int32_t>(w - 1 - (u >> 16)));
    } else {
      for (int64_t k = lo; k < hi; ++k, u += colU, v += colV)
        px(d + k, static_cast<int32_t>(v >> 16), static_cast<int32_t>(u >> 16));
    }
  }
}

}  // namespace

void TDIBX::DrawRotate(int32_t x, int32_t y, int32_t opacity, bool flipV, bool flipH, bool useKey, int32_t angle,
                       int32_t pivotY, int32_t pivotX, const TRect& srcRect, const TCustomDIBX& src, int32_t zoomY,
                       int32_t zoomX) {
  if (opacity <= 0 || zoomX <= 0 || zoomY <= 0 || src.BitCount() != BitCount() || IsEmpty()) return;
  if (Intersect(srcRect, src.Bounds()) != srcRect || srcRect.IsEmpty()) return;
  bool key = useKey && src.ColorKey() >= 0;
  uint32_t k = static_cast<uint32_t>(src.ColorKey());
  WithFormat(BitCount(), [&](auto f) {
    using F = decltype(f);
    using P = typename F::Pixel;
    uint32_t a = static_cast<uint32_t>(opacity > 255 ? (opacity & 255) : opacity);
    auto rows = SourceRows<F>(src, srcRect, flipV);
    auto run = [&](auto blend) {
      Rotate<F>(*surface_, ClipOrBounds(), x, y, angle, pivotY, pivotX, srcRect, zoomY, zoomX, flipH,
                [&](P* d, int32_t r, int32_t c) {
                  uint32_t sv = reinterpret_cast<const P*>(rows[static_cast<size_t>(r)])[c];
                  if (key && sv == k) return;
                  *d = static_cast<P>(blend(sv, uint32_t{*d}));
                });
    };
    // One loop per blend so the per-pixel work holds no opacity test.
    if (opacity == 255) run([](uint32_t sv, uint32_t) { return sv; });
    else if (opacity > 255) run([a](uint32_t sv, uint32_t dv) { return AddPx<F>(sv, dv, a); });
    else run([a](uint32_t sv, uint32_t dv) { return MixPx<F>(sv, dv, a, 255 - a); });
  });
}

void TDIBX::DrawMaskRotate(int32_t x, int32_t y, int32_t opacity, const TCustomDIBX& mask, bool flipV, bool flipH,
                           int32_t angle, int32_t pivotY, int32_t pivotX, const TRect& srcRect, const TCustomDIBX& src,
                           int32_t zoomY, int32_t zoomX) {
  TRect limit;
  if (opacity <= 0 || zoomX <= 0 || zoomY <= 0 || src.BitCount() != BitCount() || IsEmpty() ||
      !MaskLimit(mask, src, limit))
    return;
  if (Intersect(srcRect, limit) != srcRect || srcRect.IsEmpty()) return;
  std::vector<const uint8_t*> maskRows(static_cast<size_t>(srcRect.Height()));
  for (int32_t r = 0; r < srcRect.Height(); ++r)
    maskRows[static_cast<size_t>(r)] = mask.RowAddress(flipV ? srcRect.bottom - 1 - r : srcRect.top + r) + srcRect.left;
  WithFormat(BitCount(), [&](auto f) {
    using F = decltype(f);
    using P = typename F::Pixel;
    uint32_t a = static_cast<uint32_t>(opacity > 255 ? (opacity & 255) : opacity);
    auto rows = SourceRows<F>(src, srcRect, flipV);
    Rotate<F>(*surface_, ClipOrBounds(), x, y, angle, pivotY, pivotX, srcRect, zoomY, zoomX, flipH,
              [&](P* d, int32_t r, int32_t c) {
                uint32_t sv = reinterpret_cast<const P*>(rows[static_cast<size_t>(r)])[c], dv = *d, k = maskRows[static_cast<size_t>(r)][c];
                if (k == 0) return;
                if (opacity > 255) *d = static_cast<P>(AddPx<F>(sv, dv, (a * k) >> 8));
                else if (opacity == 255) *d = static_cast<P>(k == 255 ? sv : MixPx<F>(sv, dv, k, 255 - k));
                else { uint32_t b = (a * k) >> 8; *d = static_cast<P>(MixPx<F>(sv, dv, b, b ^ 255)); }
              });
  });
}

namespace {

// Pattern sampling: destination column i of the clipped rectangle reads source column
// cols[i]; rows likewise through RowFor. Zoom 256 steps one source pixel per destination pixel.
struct PatternMap {
  std::vector<int32_t> cols;
  int64_t v0, stepY, h;
  bool flipV;
  int32_t RowFor(int32_t j) const {
    int64_t r = ((v0 + stepY * j) >> 16) % h;
    return static_cast<int32_t>(flipV ? h - 1 - r : r);
  }
};

bool MapPattern(const TRect& area, const TRect& destRect, const TCustomDIBX& src, int32_t zoomX, int32_t zoomY,
                int32_t offsetX, int32_t offsetY, bool flipV, bool flipH, TRect& clipped, PatternMap& m) {
  if (zoomX <= 0 || zoomY <= 0 || src.IsEmpty()) return false;
  clipped = Intersect(destRect, area);
  if (clipped.IsEmpty()) return false;
  int64_t w = src.Width(), h = src.Height();
  int64_t stepX = (int64_t{256} << 16) / zoomX, stepY = (int64_t{256} << 16) / zoomY;
  if (stepX <= 0 || stepY <= 0) return false;
  int64_t startX = ((offsetX % w) + w) % w, startY = ((offsetY % h) + h) % h;
  int64_t u = (startX << 16) + stepX * (int64_t{clipped.left} - destRect.left);
  m.v0 = (startY << 16) + stepY * (int64_t{clipped.top} - destRect.top);
  m.stepY = stepY;
  m.h = h;
  m.flipV = flipV;
  m.cols.resize(static_cast<size_t>(clipped.Width()));
  for (int32_t& c : m.cols) {
    int64_t col = (u >> 16) % w;
    c = static_cast<int32_t>(flipH ? w - 1 - col : col);
    u += stepX;
  }
  return true;
}

}  // namespace

void TDIBX::PatternFill(const TRect& destRect, const TCustomDIBX& src, bool flipV, bool flipH, int32_t offsetY,
                        int32_t offsetX) {
  PatternFillTranslucent(destRect, 256, 255, flipV, flipH, false, offsetY, offsetX, src, 256);
}

void TDIBX::PatternFillTranslucent(const TRect& destRect, int32_t zoomX, int32_t alpha, bool flipV, bool flipH,
                                   bool useKey, int32_t offsetY, int32_t offsetX, const TCustomDIBX& src,
                                   int32_t zoomY) {
  if (alpha <= 0 || src.BitCount() != BitCount() || IsEmpty()) return;
  Mode mode = alpha == 255 ? Mode::kCopy : alpha > 255 ? Mode::kAdd : Mode::kTranslucent;
  uint32_t a = static_cast<uint32_t>(alpha > 255 ? std::min(alpha - 256, 255) : alpha);
  if (a == 0) return;
  TRect clipped;
  PatternMap map;
  if (!MapPattern(ClipOrBounds(), destRect, src, zoomX, zoomY, offsetX, offsetY, flipV, flipH, clipped, map)) return;
  bool key = useKey && src.ColorKey() >= 0;
  uint32_t k = static_cast<uint32_t>(src.ColorKey());
  WithFormat(BitCount(), [&](auto f) {
    using F = decltype(f);
    std::vector<typename F::Word> srow(map.cols.size());
    for (int32_t y = clipped.top; y < clipped.bottom; ++y) {
      const auto* s = SrcRow<F>(src, map.RowFor(y - clipped.top));
      for (size_t i = 0; i < srow.size(); ++i) srow[i] = s[map.cols[i]];
      RunRow<F>(Kernels<F>(), mode, DstRow<F>(*surface_, y) + clipped.left, srow.data(), nullptr,
                static_cast<int>(srow.size()), a, key, k);
    }
  });
}

void TDIBX::PatternFillMask(const TRect& destRect, int32_t zoomX, int32_t alpha, const TCustomDIBX& mask, bool flipV,
                            bool flipH, int32_t offsetY, int32_t offsetX, const TCustomDIBX& src, int32_t zoomY) {
  if (alpha <= 0 || src.BitCount() != BitCount() || IsEmpty()) return;
  if (mask.BitCount() != 8 || mask.Width() != src.Width() || mask.Height() != src.Height()) return;
  Mode mode = alpha > 255 ? Mode::kMaskAdd : Mode::kMaskTranslucent;
  uint32_t a = static_cast<uint32_t>(alpha > 255 ? std::min(alpha - 256, 255) : alpha);
  if (a == 0) return;
  TRect clipped;
  PatternMap map;
  if (!MapPattern(ClipOrBounds(), destRect, src, zoomX, zoomY, offsetX, offsetY, flipV, flipH, clipped, map)) return;
  WithFormat(BitCount(), [&](auto f) {
    using F = decltype(f);
    std::vector<typename F::Word> srow(map.cols.size());
    std::vector<uint8_t> mrow(map.cols.size());
    for (int32_t y = clipped.top; y < clipped.bottom; ++y) {
      int32_t sy = map.RowFor(y - clipped.top);
      const auto* s = SrcRow<F>(src, sy);
      const uint8_t* m = mask.RowAddress(sy);
      for (size_t i = 0; i < srow.size(); ++i) srow[i] = s[map.cols[i]], mrow[i] = m[map.cols[i]];
      RunRow<F>(Kernels<F>(), mode, DstRow<F>(*surface_, y) + clipped.left, srow.data(), mrow.data(),
                static_cast<int>(srow.size()), a, false, 0);
    }
  });
}

}  // namespace vorn
