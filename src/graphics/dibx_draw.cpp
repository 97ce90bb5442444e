// TDIBX positioned copies (Draw, DrawMask, DrawTranslucent, DrawMaskTranslucent, DrawAdd,
// DrawMaskAdd), FillMask, the indexed sources and the glyph coverage reductions.
#include <cstring>
#include <vector>

#include "graphics/dibx_internal.h"

namespace vorn {

using namespace dibx_detail;

namespace {

// Runs fn(dstRow, srcRow, maskRow, n) over the placed rows; flipped rows are reversed into
// scratch buffers first so the kernels always run forwards.
template <class F, class Fn>
void ForRows(TDIBSurface& dst, const TCustomDIBX& src, const TCustomDIBX* mask, const Placement& p, Fn&& fn) {
  using P = typename F::Pixel;
  std::vector<typename F::Word> srow(p.flipH ? static_cast<size_t>(p.w) : 0);
  std::vector<uint8_t> mrow(p.flipH && mask ? static_cast<size_t>(p.w) : 0);
  for (int32_t j = 0; j < p.h; ++j) {
    int32_t sy = p.SrcRowFor(j);
    const P* s = SrcRow<F>(src, sy) + p.src.left;
    const uint8_t* m = mask ? mask->RowAddress(sy) + p.src.left : nullptr;
    if (p.flipH) {
      for (int32_t i = 0; i < p.w; ++i) srow[static_cast<size_t>(i)] = s[p.w - 1 - i];
      s = srow.data();
      if (m) {
        for (int32_t i = 0; i < p.w; ++i) mrow[static_cast<size_t>(i)] = m[p.w - 1 - i];
        m = mrow.data();
      }
    }
    fn(DstRow<F>(dst, p.y + j) + p.x, s, m, p.w);
  }
}

}  // namespace

void TDIBX::Draw(int32_t x, int32_t y, bool flipV, bool flipH, bool useKey, const TRect& srcRect,
                 const TCustomDIBX& src) {
  if (src.BitCount() != BitCount() || src.IsEmpty() || IsEmpty()) return;
  Placement p;
  if (!Place(ClipOrBounds(), x, y, srcRect, src.Bounds(), flipV, flipH, p)) return;
  bool key = useKey && src.ColorKey() >= 0;
  uint32_t k = static_cast<uint32_t>(src.ColorKey());
  bool native = WithFormat(BitCount(), [&](auto f) {
    using F = decltype(f);
    const auto& kern = Kernels<F>();
    if (!key && !flipH && &src != this) {
      for (int32_t j = 0; j < p.h; ++j)
        std::memcpy(DstRow<F>(*surface_, p.y + j) + p.x, SrcRow<F>(src, p.SrcRowFor(j)) + p.src.left,
                    static_cast<size_t>(p.w) * sizeof(typename F::Pixel));
      return;
    }
    ForRows<F>(*surface_, src, nullptr, p, [&](auto* d, const auto* s, const uint8_t*, int n) { kern.copy(d, s, n, key, k); });
  });
  if (native) return;
  // Palette and 24-bit depths: the general per-pixel path.
  std::vector<uint32_t> row(static_cast<size_t>(p.w));
  for (int32_t j = 0; j < p.h; ++j) {
    int32_t sy = p.SrcRowFor(j);
    for (int32_t i = 0; i < p.w; ++i) row[static_cast<size_t>(i)] = src.GetPixel(p.flipH ? p.src.right - 1 - i : p.src.left + i, sy);
    for (int32_t i = 0; i < p.w; ++i)
      if (!key || row[static_cast<size_t>(i)] != k) SetPixel(p.x + i, p.y + j, row[static_cast<size_t>(i)]);
  }
}

void TDIBX::DrawTranslucent(int32_t x, int32_t y, int32_t alpha, bool flipV, bool flipH, bool useKey,
                            const TRect& srcRect, const TCustomDIBX& src) {
  if (alpha <= 0) return;
  if (alpha >= 255) {
    Draw(x, y, flipV, flipH, useKey, srcRect, src);
    return;
  }
  if (src.BitCount() != BitCount() || src.IsEmpty() || IsEmpty()) return;
  Placement p;
  if (!Place(ClipOrBounds(), x, y, srcRect, src.Bounds(), flipV, flipH, p)) return;
  bool key = useKey && src.ColorKey() >= 0;
  uint32_t k = static_cast<uint32_t>(src.ColorKey());
  WithFormat(BitCount(), [&](auto f) {
    using F = decltype(f);
    const auto& kern = Kernels<F>();
    ForRows<F>(*surface_, src, nullptr, p, [&](auto* d, const auto* s, const uint8_t*, int n) {
      kern.translucent(d, s, n, static_cast<uint32_t>(alpha), key, k);
    });
  });
}

void TDIBX::DrawMask(int32_t x, int32_t y, const TCustomDIBX& mask, bool flipV, bool flipH, const TRect& srcRect,
                     const TCustomDIBX& src) {
  TRect limit;
  if (src.BitCount() != BitCount() || IsEmpty() || !MaskLimit(mask, src, limit)) return;
  Placement p;
  if (!Place(ClipOrBounds(), x, y, srcRect, limit, flipV, flipH, p)) return;
  WithFormat(BitCount(), [&](auto f) {
    using F = decltype(f);
    const auto& kern = Kernels<F>();
    ForRows<F>(*surface_, src, &mask, p, [&](auto* d, const auto* s, const uint8_t* m, int n) { kern.mask(d, s, m, n); });
  });
}

void TDIBX::DrawMaskTranslucent(int32_t x, int32_t y, int32_t alpha, const TCustomDIBX& mask, bool flipV, bool flipH,
                                const TRect& srcRect, const TCustomDIBX& src) {
  if (alpha <= 0) return;
  TRect limit;
  if (src.BitCount() != BitCount() || IsEmpty() || !MaskLimit(mask, src, limit)) return;
  Placement p;
  if (!Place(ClipOrBounds(), x, y, srcRect, limit, flipV, flipH, p)) return;
  uint32_t a = static_cast<uint32_t>(std::min(alpha, 255));
  WithFormat(BitCount(), [&](auto f) {
    using F = decltype(f);
    const auto& kern = Kernels<F>();
    ForRows<F>(*surface_, src, &mask, p, [&](auto* d, const auto* s, const uint8_t* m, int n) { kern.maskTranslucent(d, s, m, n, a); });
  });
}

void TDIBX::DrawAdd(int32_t x, int32_t y, int32_t amount, bool flipV, bool flipH, bool, const TRect& srcRect,
                    const TCustomDIBX& src) {
  // Amounts above 255 are clamped: the formula's 8-bit weight would otherwise bleed across channels.
  if (amount <= 0) return;
  uint32_t a = static_cast<uint32_t>(std::min(amount, 255));
  if (src.BitCount() != BitCount() || src.IsEmpty() || IsEmpty()) return;
  Placement p;
  if (!Place(ClipOrBounds(), x, y, srcRect, src.Bounds(), flipV, flipH, p)) return;
  bool key = src.ColorKey() >= 0;  // the key is always honoured here
  uint32_t k = static_cast<uint32_t>(src.ColorKey());
  bool native = WithFormat(BitCount(), [&](auto f) {
    using F = decltype(f);
    const auto& kern = Kernels<F>();
    ForRows<F>(*surface_, src, nullptr, p, [&](auto* d, const auto* s, const uint8_t*, int n) { kern.add(d, s, n, a, key, k); });
  });
  if (native || StorageBitCount() != 8) return;
  for (int32_t j = 0; j < p.h; ++j)
    for (int32_t i = 0; i < p.w; ++i) {
      uint32_t sv = src.GetPixel(p.flipH ? p.src.right - 1 - i : p.src.left + i, p.SrcRowFor(j));
      if (key && sv == k) continue;
      SetPixel(p.x + i, p.y + j, std::min<uint32_t>(GetPixel(p.x + i, p.y + j) + sv, 255));
    }
}

void TDIBX::DrawMaskAdd(int32_t x, int32_t y, int32_t amount, const TCustomDIBX& mask, bool flipV, bool flipH,
                        const TRect& srcRect, const TCustomDIBX& src) {
  if (amount <= 0) return;
  uint32_t a = static_cast<uint32_t>(std::min(amount, 255));
  TRect limit;
  if (src.BitCount() != BitCount() || IsEmpty() || !MaskLimit(mask, src, limit)) return;
  Placement p;
  if (!Place(ClipOrBounds(), x, y, srcRect, limit, flipV, flipH, p)) return;
  WithFormat(BitCount(), [&](auto f) {
    using F = decltype(f);
    const auto& kern = Kernels<F>();
    ForRows<F>(*surface_, src, &mask, p, [&](auto* d, const auto* s, const uint8_t* m, int n) { kern.maskAdd(d, s, m, n, a); });
  });
}

void TDIBX::FillMask(int32_t x, int32_t y, int32_t alpha, uint32_t pixel, bool flipV, bool flipH,
                     const TRect& maskRect, const TCustomDIBX& mask) {
  if (alpha <= 0 || IsEmpty() || mask.BitCount() != 8) return;
  if (maskRect.left < 0 || maskRect.top < 0 || maskRect.right > mask.Width() || maskRect.bottom > mask.Height()) return;
  Placement p;
  if (!Place(ClipOrBounds(), x, y, maskRect, mask.Bounds(), flipV, flipH, p)) return;
  uint32_t a = static_cast<uint32_t>(std::min(alpha, 255));
  std::vector<uint8_t> mrow(static_cast<size_t>(p.w));
  WithFormat(BitCount(), [&](auto f) {
    using F = decltype(f);
    const auto& kern = Kernels<F>();
    for (int32_t j = 0; j < p.h; ++j) {
      const uint8_t* m = mask.RowAddress(p.SrcRowFor(j)) + p.src.left;
      if (p.flipH) {
        for (int32_t i = 0; i < p.w; ++i) mrow[static_cast<size_t>(i)] = m[p.w - 1 - i];
        m = mrow.data();
      }
      kern.fillMask(DstRow<F>(*surface_, p.y + j) + p.x, m, p.w, pixel, a);
    }
  });
}

namespace {

// Indexed sources: index values above the source's key become table pixels, then they are
// copied (alpha 255 or more), mixed with formula 1 (below) or added (add set, amount alpha).
template <class F>
void IndexedPx(typename F::Pixel* d, uint32_t c, int32_t alpha, bool add) {
  uint32_t dv = *d;
  if (add) *d = static_cast<typename F::Pixel>(AddPx<F>(c, dv, static_cast<uint32_t>(alpha)));
  else if (alpha >= 255) *d = static_cast<typename F::Pixel>(c);
  else if (c != dv) *d = static_cast<typename F::Pixel>(MixPx<F>(c, dv, static_cast<uint32_t>(alpha), 255 - static_cast<uint32_t>(alpha)));
}

}  // namespace

void TDIBX::DrawIndexed4(int32_t x, int32_t y, std::span<const uint32_t, 16> colours, int32_t alpha, bool flipV,
                         bool flipH, const TRect& srcRect, const TCustomDIBX& src) {
  if (alpha <= 0 || src.BitCount() != 4 || IsEmpty()) return;
  Placement p;
  if (!Place(ClipOrBounds(), x, y, srcRect, src.Bounds(), flipV, flipH, p)) return;
  int64_t key = src.ColorKey();
  WithFormat(BitCount(), [&](auto f) {
    using F = decltype(f);
    for (int32_t j = 0; j < p.h; ++j) {
      auto* d = DstRow<F>(*surface_, p.y + j) + p.x;
      for (int32_t i = 0; i < p.w; ++i) {
        uint32_t idx = src.GetPixel(p.flipH ? p.src.right - 1 - i : p.src.left + i, p.SrcRowFor(j));
        if (int64_t{idx} > key) IndexedPx<F>(d + i, colours[idx & 15], alpha, false);
      }
    }
  });
}

void TDIBX::DrawIndexedAdd(int32_t x, int32_t y, std::span<const uint32_t, 256> colours, int32_t amount, bool flipV,
                           bool flipH, const TRect& srcRect, const TCustomDIBX& src) {
  if (amount <= 0 || src.BitCount() != 8 || IsEmpty()) return;
  amount = std::min(amount, 255);
  Placement p;
  if (!Place(ClipOrBounds(), x, y, srcRect, src.Bounds(), flipV, flipH, p)) return;
  int64_t key = src.ColorKey();
  WithFormat(BitCount(), [&](auto f) {
    using F = decltype(f);
    for (int32_t j = 0; j < p.h; ++j) {
      const uint8_t* s = src.RowAddress(p.SrcRowFor(j));
      auto* d = DstRow<F>(*surface_, p.y + j) + p.x;
      for (int32_t i = 0; i < p.w; ++i) {
        uint32_t idx = s[p.flipH ? p.src.right - 1 - i : p.src.left + i];
        if (int64_t{idx} > key) IndexedPx<F>(d + i, colours[idx], amount, true);
      }
    }
  });
}

void TDIBX::DrawCoverage(int32_t x, int32_t y, int32_t factor, int32_t alpha, bool flipV, bool flipH, uint32_t pixel,
                         const TRect& srcRect, const TCustomDIBX& src) {
  if (factor <= 0 || factor > 64 || alpha <= 0 || src.BitCount() != 1 || IsEmpty()) return;
  TRect s = Intersect(srcRect, src.Bounds());
  if (s != srcRect) return;  // a glyph block reaching outside its bitmap is a caller error
  TRect blocks{0, 0, s.Width() / factor, s.Height() / factor};
  Placement p;
  if (!Place(ClipOrBounds(), x, y, blocks, blocks, flipV, flipH, p)) return;
  const uint32_t ff = static_cast<uint32_t>(factor * factor);
  WithFormat(BitCount(), [&](auto f) {
    using F = decltype(f);
    for (int32_t j = 0; j < p.h; ++j) {
      int32_t by = p.SrcRowFor(j);  // block row
      auto* d = DstRow<F>(*surface_, p.y + j) + p.x;
      for (int32_t i = 0; i < p.w; ++i) {
        int32_t bx = p.flipH ? p.src.right - 1 - i : p.src.left + i;
        uint32_t c = 0;
        for (int32_t r = 0; r < factor; ++r) {
          // A flipped block is read from the far edge so that the glyph mirrors as a whole.
          int32_t sy = flipV ? s.bottom - 1 - (by * factor + r) : s.top + by * factor + r;
          const uint8_t* row = src.RowAddress(sy);
          for (int32_t q = 0; q < factor; ++q) {
            int32_t sx = flipH ? s.right - 1 - (bx * factor + q) : s.left + bx * factor + q;
            c += ((row[sx >> 3] >> (7 - (sx & 7))) & 1) == 0;
          }
        }
        if (alpha < 255) c = (static_cast<uint32_t>(alpha) * c) >> 8;
        if (c == 0) continue;
        uint32_t dv = d[i], out = 0;
        for (uint32_t m : {F::R, F::G, F::B})
          out |= static_cast<uint32_t>((uint64_t{pixel & m} * c + uint64_t{dv & m} * (ff - c)) / ff) & m;
        d[i] = static_cast<typename F::Pixel>(out);
      }
    }
  });
}

void TDIBX::DrawCoverage3(int32_t x, int32_t y, int32_t factor, int32_t alpha, bool flipV, bool flipH,
                          const std::array<uint32_t, 3>& colours, const TRect& srcRect, const TCustomDIBX& src) {
  // The 2-bit values 0..3 come from a 4- or 8-bit source (there is no 2-bit picture depth).
  if (factor <= 0 || factor > 64 || alpha <= 0 || (src.BitCount() != 4 && src.BitCount() != 8) || IsEmpty()) return;
  TRect s = Intersect(srcRect, src.Bounds());
  if (s != srcRect) return;
  TRect blocks{0, 0, s.Width() / factor, s.Height() / factor};
  Placement p;
  if (!Place(ClipOrBounds(), x, y, blocks, blocks, flipV, flipH, p)) return;
  const uint32_t ff = static_cast<uint32_t>(factor * factor);
  WithFormat(BitCount(), [&](auto f) {
    using F = decltype(f);
    for (int32_t j = 0; j < p.h; ++j) {
      int32_t by = p.SrcRowFor(j);
      auto* d = DstRow<F>(*surface_, p.y + j) + p.x;
      for (int32_t i = 0; i < p.w; ++i) {
        int32_t bx = p.flipH ? p.src.right - 1 - i : p.src.left + i;
        uint32_t count[4] = {0, 0, 0, 0};
        for (int32_t r = 0; r < factor; ++r) {
          int32_t sy = flipV ? s.bottom - 1 - (by * factor + r) : s.top + by * factor + r;
          for (int32_t q = 0; q < factor; ++q) {
            int32_t sx = flipH ? s.right - 1 - (bx * factor + q) : s.left + bx * factor + q;
            ++count[src.GetPixel(sx, sy) & 3];
          }
        }
        if (count[0] == ff) continue;
        uint32_t dv = d[i], out = 0;
        bool add = alpha > 255;
        if (!add && alpha >= 255) {
          for (int v = 1; v <= 3; ++v)
            if (count[v] == ff) { d[i] = static_cast<typename F::Pixel>(colours[static_cast<size_t>(v - 1)]); break; }
          if (count[1] == ff || count[2] == ff || count[3] == ff) continue;
        }
        // Weights: each colour by its count (scaled by alpha below 255); the destination takes the rest.
        uint32_t w[4] = {0, count[1], count[2], count[3]};
        if (alpha < 255)
          for (int v = 1; v <= 3; ++v) w[v] = (static_cast<uint32_t>(alpha) * w[v]) >> 8;
        w[0] = ff - w[1] - w[2] - w[3];
        for (uint32_t m : {F::R, F::G, F::B}) {
          uint64_t sum = 0;
          for (int v = 1; v <= 3; ++v) sum += uint64_t{colours[static_cast<size_t>(v - 1)] & m} * w[v];
          uint64_t ch = add ? (dv & m) + (sum / ff & m) : (sum + uint64_t{dv & m} * w[0]) / ff;
          out |= static_cast<uint32_t>(std::min<uint64_t>(ch, m)) & m;
        }
        d[i] = static_cast<typename F::Pixel>(out);
      }
    }
  });
}

}  // namespace vorn
