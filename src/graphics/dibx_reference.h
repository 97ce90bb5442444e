// The scalar reference of the compositing arithmetic: one pixel at a time, channel masks at
// run time, every skip rule spelt out as a branch. The vectorised row kernels must give the
// same values; tests compare the two on random surfaces.
#pragma once

#include <cstdint>

namespace vorn::blend_ref {

struct Masks {
  uint32_t m[3];
};
inline Masks MasksFor(int bits) {
  if (bits == 15) return {{0x7C00, 0x03E0, 0x001F}};
  if (bits == 16) return {{0xF800, 0x07E0, 0x001F}};
  return {{0xFF0000, 0xFF00, 0xFF}};
}

// Formula 1 without skips.
inline uint32_t Mix(const Masks& k, uint32_t s, uint32_t d, uint32_t a, uint32_t ia) {
  uint32_t out = 0;
  for (uint32_t m : k.m) out |= (((s & m) * a + (d & m) * ia) >> 8) & m;
  return out;
}

inline uint32_t Copy(uint32_t s, uint32_t d, bool useKey, uint32_t key) { return useKey && s == key ? d : s; }

inline uint32_t Translucent(const Masks& k, uint32_t s, uint32_t d, uint32_t a, bool useKey, uint32_t key) {
  if (useKey && s == key) return d;
  if (s == d) return d;
  return Mix(k, s, d, a, 255 - a);
}

inline uint32_t Mask(const Masks& k, uint32_t s, uint32_t d, uint32_t mk) {
  if (mk == 0) return d;
  if (mk == 255) return s;
  return Mix(k, s, d, mk, 255 - mk);
}

inline uint32_t MaskTranslucent(const Masks& k, uint32_t s, uint32_t d, uint32_t mk, uint32_t a) {
  if (mk == 0) return d;
  uint32_t b = (a * mk) >> 8;
  return Mix(k, s, d, b, b ^ 255);
}

inline uint32_t Add(const Masks& k, uint32_t s, uint32_t d, uint32_t amount, bool useKey, uint32_t key) {
  if (useKey && s == key) return d;
  uint32_t out = 0;
  for (uint32_t m : k.m) {
    uint32_t v = (d & m) + (((amount * (s & m)) >> 8) & m);
    out |= v > m ? m : v;
  }
  return out;
}

inline uint32_t MaskAdd(const Masks& k, uint32_t s, uint32_t d, uint32_t mk, uint32_t amount) {
  return Add(k, s, d, (amount * mk) >> 8, false, 0);
}

inline uint32_t FillTranslucent(const Masks& k, uint32_t p, uint32_t d, uint32_t a) {
  if (d == p) return d;
  return Mix(k, p, d, a, 255 - a);
}

inline uint32_t AddColor(const Masks& k, uint32_t p, uint32_t d) {
  uint32_t out = 0;
  for (uint32_t m : k.m) {
    uint32_t v = (p & m) + (d & m);
    out |= v > m ? m : v;
  }
  return out;
}

inline uint32_t SubColor(const Masks& k, uint32_t p, uint32_t d) {
  uint32_t out = 0;
  for (uint32_t m : k.m) out |= (d & m) > (p & m) ? (d & m) - (p & m) : 0;
  return out;
}

inline uint32_t FillMask(const Masks& k, uint32_t p, uint32_t d, uint32_t mk, uint32_t a) {
  if (mk == 0) return d;
  uint32_t b = (a * mk) >> 8;
  return Mix(k, p, d, b, 255 - b);
}

}  // namespace vorn::blend_ref
