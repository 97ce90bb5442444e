// The three native pixel formats of the compositing surface as traits (5-5-5 and 5-6-5 in
// 16-bit words, 0x00RRGGBB in 32-bit words) and the per-pixel blend arithmetic written once
// over the traits' channel masks. Weights sum to 255 and the mix divides by 256.
#pragma once

#include <cstdint>

namespace vorn {

// Pixel words that may alias the bytes of a surface's pixel block.
typedef uint16_t __attribute__((may_alias)) PixelWord16;
typedef uint32_t __attribute__((may_alias)) PixelWord32;

struct Fmt555 {
  using Pixel = PixelWord16;
  using Word = uint16_t;  // for scratch buffers
  static constexpr int kBits = 15;
  static constexpr uint32_t R = 0x7C00, G = 0x03E0, B = 0x001F;
};
struct Fmt565 {
  using Pixel = PixelWord16;
  using Word = uint16_t;  // for scratch buffers
  static constexpr int kBits = 16;
  static constexpr uint32_t R = 0xF800, G = 0x07E0, B = 0x001F;
};
struct Fmt8888 {
  using Pixel = PixelWord32;
  using Word = uint32_t;
  static constexpr int kBits = 32;
  static constexpr uint32_t R = 0xFF0000, G = 0xFF00, B = 0xFF;
};

// One channel of the translucent mix: (((s AND m) x a + (d AND m) x ia) shr 8) AND m. With
// m at most 0xFF0000 and a + ia = 255 the sum stays below 2^32.
template <uint32_t M>
inline uint32_t MixChannel(uint32_t s, uint32_t d, uint32_t a, uint32_t ia) {
  return (((s & M) * a + (d & M) * ia) >> 8) & M;
}

template <class F>
inline uint32_t MixPx(uint32_t s, uint32_t d, uint32_t a, uint32_t ia) {
  if constexpr (F::kBits == 32) {
    // Red and blue share one multiply: each product sum is below 2^16 in its own half-word,
    // so neither carries into the other and the result equals the per-channel formula.
    return MixChannel<0xFF00FF>(s, d, a, ia) | MixChannel<F::G>(s, d, a, ia);
  } else {
    return MixChannel<F::R>(s, d, a, ia) | MixChannel<F::G>(s, d, a, ia) | MixChannel<F::B>(s, d, a, ia);
  }
}

// Additive: (d AND m) + (((amount x (s AND m)) shr 8) AND m), clamped to m.
template <uint32_t M>
inline uint32_t AddChannel(uint32_t s, uint32_t d, uint32_t amount) {
  uint32_t v = (d & M) + (((amount * (s & M)) >> 8) & M);
  return v > M ? M : v;
}

template <class F>
inline uint32_t AddPx(uint32_t s, uint32_t d, uint32_t amount) {
  return AddChannel<F::R>(s, d, amount) | AddChannel<F::G>(s, d, amount) | AddChannel<F::B>(s, d, amount);
}

// Saturating per-channel sum and difference (AddColor, SubColor).
template <uint32_t M>
inline uint32_t SatAddChannel(uint32_t p, uint32_t d) {
  uint32_t v = (p & M) + (d & M);
  return v > M ? M : v;
}
template <uint32_t M>
inline uint32_t SatSubChannel(uint32_t p, uint32_t d) {
  uint32_t a = d & M, b = p & M;
  return a > b ? a - b : 0;
}
template <class F>
inline uint32_t SatAddPx(uint32_t p, uint32_t d) {
  return SatAddChannel<F::R>(p, d) | SatAddChannel<F::G>(p, d) | SatAddChannel<F::B>(p, d);
}
template <class F>
inline uint32_t SatSubPx(uint32_t p, uint32_t d) {
  return SatSubChannel<F::R>(p, d) | SatSubChannel<F::G>(p, d) | SatSubChannel<F::B>(p, d);
}

}  // namespace vorn
