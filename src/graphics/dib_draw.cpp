// TDIBSurface copies: opaque with a colour key, translucent with a global opacity (ordered
// dither at palette depths), and through the source's alpha plane; one loop per depth.
#include <cstring>

#include "graphics/dib_surface.h"

namespace vorn {

namespace {

// The standard 4 by 4 ordered-dither thresholds, row y mod 4, column x mod 4.
constexpr uint8_t kBayer4[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

inline uint32_t Load(const uint8_t* p, int bytes) {
  switch (bytes) {
    case 1: return *p;
    case 2: { uint16_t v; std::memcpy(&v, p, 2); return v; }
    case 3: return p[0] | (p[1] << 8) | (uint32_t{p[2]} << 16);
    default: { uint32_t v; std::memcpy(&v, p, 4); return v; }
  }
}

inline void Store(uint8_t* p, int bytes, uint32_t v) {
  switch (bytes) {
    case 1: *p = static_cast<uint8_t>(v); break;
    case 2: { uint16_t w = static_cast<uint16_t>(v); std::memcpy(p, &w, 2); break; }
    case 3: p[0] = static_cast<uint8_t>(v), p[1] = static_cast<uint8_t>(v >> 8), p[2] = static_cast<uint8_t>(v >> 16); break;
    default: std::memcpy(p, &v, 4); break;
  }
}

inline bool IsKey(uint32_t v, int64_t key) { return key >= 0 && v == static_cast<uint32_t>(key); }

}  // namespace

bool TDIBSurface::ClipCopy(int32_t& x, int32_t& y, TRect& src, const TDIBSurface& source) const {
  if (source.BitCount() != BitCount() || IsEmpty() || source.IsEmpty()) return false;
  // A source rectangle reaching outside the source is cut first, moving the destination along.
  TRect s = Intersect(src, source.Bounds());
  int64_t dx = int64_t{x} + (int64_t{s.left} - src.left), dy = int64_t{y} + (int64_t{s.top} - src.top);
  src = s;
  if (src.IsEmpty()) return false;
  TRect area = ClipOrBounds();
  int64_t l = std::max<int64_t>(dx, area.left), t = std::max<int64_t>(dy, area.top);
  int64_t r = std::min<int64_t>(dx + src.Width(), area.right), b = std::min<int64_t>(dy + src.Height(), area.bottom);
  if (l >= r || t >= b) return false;
  src.left += static_cast<int32_t>(l - dx);
  src.top += static_cast<int32_t>(t - dy);
  src.right = src.left + static_cast<int32_t>(r - l);
  src.bottom = src.top + static_cast<int32_t>(b - t);
  x = static_cast<int32_t>(l);
  y = static_cast<int32_t>(t);
  return true;
}

void TDIBSurface::Draw(int32_t x, int32_t y, const TRect& srcRect, const TDIBSurface& source, int64_t key) {
  TRect s = srcRect;
  if (!ClipCopy(x, y, s, source)) return;
  int bytes = BytesPerPixel();
  for (int32_t j = 0; j < s.Height(); ++j) {
    if (storageBits_ < 8) {
      for (int32_t i = 0; i < s.Width(); ++i) {
        uint32_t v = source.GetPixel(s.left + i, s.top + j);
        if (!IsKey(v, key)) SetPixel(x + i, y + j, v);
      }
      continue;
    }
    const uint8_t* sp = source.Row(s.top + j) + s.left * bytes;
    uint8_t* dp = Row(y + j) + x * bytes;
    if (key < 0) {
      std::memmove(dp, sp, static_cast<size_t>(s.Width() * bytes));
      continue;
    }
    for (int32_t i = 0; i < s.Width(); ++i, sp += bytes, dp += bytes) {
      uint32_t v = Load(sp, bytes);
      if (!IsKey(v, key)) Store(dp, bytes, v);
    }
  }
}

void TDIBSurface::DrawTranslucent(int32_t x, int32_t y, const TRect& srcRect, const TDIBSurface& source,
                                  int32_t opacity, int64_t key) {
  if (opacity == 0) return;
  if (opacity > 254 || opacity < 0 || (storageBits_ <= 8 && opacity / 16 >= 15)) {
    Draw(x, y, srcRect, source, key);
    return;
  }
  TRect s = srcRect;
  if (!ClipCopy(x, y, s, source)) return;
  const uint32_t o = static_cast<uint32_t>(opacity), io = 255 - o;
  int bytes = BytesPerPixel();
  int bits = BitCount();
  for (int32_t j = 0; j < s.Height(); ++j) {
    int32_t dy = y + j;
    if (storageBits_ <= 8) {
      int level = opacity / 16;
      for (int32_t i = 0; i < s.Width(); ++i) {
        int32_t dx = x + i;
        if (kBayer4[dy & 3][dx & 3] > level) continue;
        uint32_t v = source.GetPixel(s.left + i, s.top + j);
        if (!IsKey(v, key)) SetPixel(dx, dy, v);
      }
      continue;
    }
    const uint8_t* sp = source.Row(s.top + j) + s.left * bytes;
    uint8_t* dp = Row(dy) + x * bytes;
    for (int32_t i = 0; i < s.Width(); ++i, sp += bytes, dp += bytes) {
      uint32_t sv = Load(sp, bytes), dv = Load(dp, bytes), out;
      if (IsKey(sv, key)) continue;
      if (bits == 15 || bits == 16) {
        out = 0;
        for (uint32_t m : {redMask_, greenMask_, blueMask_}) out |= m & ((io * (dv & m) + o * (sv & m)) / 255);
      } else if (bits == 24) {
        out = 0;
        for (int sh = 0; sh < 24; sh += 8)
          out |= ((io * ((dv >> sh) & 0xFF) + o * ((sv >> sh) & 0xFF)) / 255) << sh;
      } else {
        // 32 bits divide by 256, red and blue together in one product.
        out = ((((dv & 0xFF00FF) * io + o * (sv & 0xFF00FF)) >> 8) & 0xFF00FF) |
              ((((dv & 0xFF00) * io + (sv & 0xFF00) * o) >> 8) & 0xFF00);
      }
      Store(dp, bytes, out);
    }
  }
}

void TDIBSurface::DrawAlpha(int32_t x, int32_t y, const TRect& srcRect, const TDIBSurface& source,
                            int32_t opacity) {
  const TDIBSurface* alpha = source.Alpha();
  if (!alpha || alpha->Width() != source.Width() || alpha->Height() != source.Height()) {
    DrawTranslucent(x, y, srcRect, source, opacity, -1);
    return;
  }
  TRect s = srcRect;
  if (!ClipCopy(x, y, s, source)) return;
  int bytes = BytesPerPixel();
  int bits = BitCount();
  for (int32_t j = 0; j < s.Height(); ++j) {
    const uint8_t* ap = alpha->Row(s.top + j) + s.left;
    if (storageBits_ <= 8) {
      for (int32_t i = 0; i < s.Width(); ++i)
        if (ap[i] >= 128) SetPixel(x + i, y + j, source.GetPixel(s.left + i, s.top + j));
      continue;
    }
    const uint8_t* sp = source.Row(s.top + j) + s.left * bytes;
    uint8_t* dp = Row(y + j) + x * bytes;
    for (int32_t i = 0; i < s.Width(); ++i, sp += bytes, dp += bytes) {
      uint32_t a = ap[i], ia = 255 - a;
      uint32_t sv = Load(sp, bytes), dv = Load(dp, bytes), out = 0;
      if (bits == 24 && opacity < 255) {
        // The opacity scales the alpha; products below 256 leave the pixel.
        uint32_t prod = static_cast<uint32_t>(std::max(opacity, 0)) * a;
        if (prod < 256) continue;
        uint32_t d = prod >> 8, id = 255 - d;
        uint32_t rb = (dv & 0xFF00FF) * id + d * (sv & 0xFF00FF);
        uint32_t g = ((dv & 0xFF00) * id + (sv & 0xFF00) * d) >> 16;
        out = ((rb >> 8) & 0xFF) | ((rb >> 24) & 0xFF) << 16 | (g & 0xFF) << 8;
        Store(dp, bytes, out);
        continue;
      }
      if (a == 0) continue;
      if (a == 255) {
        Store(dp, bytes, sv);
        continue;
      }
      if (bits == 15 || bits == 16) {
        for (uint32_t m : {redMask_, greenMask_, blueMask_}) out |= m & (((dv & m) * ia + a * (sv & m)) >> 8);
      } else if (bits == 24) {
        for (int sh = 0; sh < 24; sh += 8)
          out |= ((((sv >> sh) & 0xFF) * a + ((dv >> sh) & 0xFF) * ia) >> 8) << sh;
      } else {
        out = ((((dv & 0xFF00FF) * ia + a * (sv & 0xFF00FF)) >> 8) & 0xFF00FF) |
              ((((dv & 0xFF00) * ia + (sv & 0xFF00) * a) >> 8) & 0xFF00);
      }
      Store(dp, bytes, out);
    }
  }
}

}  // namespace vorn
