// Exact arithmetic shared by every subsystem: rounding half to even, truncating division,
// 32-bit wrap-around and the 10-byte extended real codec.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace vorn {

// Rounded to the nearest integer, halves to the even neighbour, computed in floating point.
// The result is returned in 64 bits; callers that store 32 bits use Wrap32 or a checked cast.
inline int64_t RoundHalfEven(long double v) {
  long double fl = std::floor(v);
  long double diff = v - fl;
  int64_t r = static_cast<int64_t>(fl);
  if (diff > 0.5L || (diff == 0.5L && (r & 1) != 0)) ++r;
  return r;
}

// Two's-complement wrap of a 64-bit value to 32 bits.
inline int32_t Wrap32(int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(v))); }

inline int32_t AddWrap(int32_t a, int32_t b) { return Wrap32(int64_t{a} + b); }
inline int32_t SubWrap(int32_t a, int32_t b) { return Wrap32(int64_t{a} - b); }
inline int32_t MulWrap(int32_t a, int32_t b) { return Wrap32(int64_t{a} * b); }

// Integer division toward zero. The caller rejects b == 0; INT32_MIN / -1 wraps to INT32_MIN.
inline int32_t TruncDiv(int32_t a, int32_t b) { return Wrap32(int64_t{a} / b); }
inline int32_t TruncMod(int32_t a, int32_t b) { return Wrap32(int64_t{a} % b); }

// Truncation toward zero of a real that the caller knows lies in int64 range.
inline int64_t Trunc(long double v) { return static_cast<int64_t>(std::trunc(v)); }

// True when v can be converted to int32 by rounding or truncation without overflow.
inline bool FitsInt32(long double v) {
  return std::isfinite(v) && v > static_cast<long double>(std::numeric_limits<int32_t>::min()) - 1.0L &&
         v < static_cast<long double>(std::numeric_limits<int32_t>::max()) + 1.0L;
}

// 10-byte little-endian IEEE extended real: 64-bit mantissa with explicit integer bit, then
// 15-bit exponent (bias 16383) and sign. 1.0 is 00 00 00 00 00 00 00 80 FF 3F.
void EncodeExtended(long double v, uint8_t out[10]);
long double DecodeExtended(const uint8_t in[10]);

}  // namespace vorn
