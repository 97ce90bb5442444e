// The extended real codec, written without relying on the host's long double layout.
#include "numeric.h"

#include <cstring>

namespace vorn {

void EncodeExtended(long double v, uint8_t out[10]) {
  uint64_t mantissa = 0;
  uint16_t se = 0;
  if (std::signbit(v)) se = 0x8000;
  if (std::isnan(v)) {
    se |= 0x7FFF;
    mantissa = 0xC000000000000000ull;
  } else if (std::isinf(v)) {
    se |= 0x7FFF;
    mantissa = 0x8000000000000000ull;
  } else if (v != 0) {
    int exp = 0;
    long double frac = std::frexp(std::fabs(v), &exp);  // frac in [0.5, 1)
    int biased = exp - 1 + 16383;
    if (biased <= 0) {
      // Denormal: the exponent field is 0 and the mantissa has no integer bit.
      frac = std::ldexp(std::fabs(v), 16382 + 63);
      mantissa = static_cast<uint64_t>(frac);
      biased = 0;
    } else {
      mantissa = static_cast<uint64_t>(std::ldexp(frac, 64));
    }
    se |= static_cast<uint16_t>(biased);
  }
  for (int i = 0; i < 8; ++i) out[i] = static_cast<uint8_t>(mantissa >> (8 * i));
  out[8] = static_cast<uint8_t>(se);
  out[9] = static_cast<uint8_t>(se >> 8);
}

long double DecodeExtended(const uint8_t in[10]) {
  uint64_t mantissa = 0;
  for (int i = 0; i < 8; ++i) mantissa |= uint64_t{in[i]} << (8 * i);
  uint16_t se = static_cast<uint16_t>(in[8] | (in[9] << 8));
  bool negative = (se & 0x8000) != 0;
  int exponent = se & 0x7FFF;
  long double v;
  if (exponent == 0x7FFF) {
    v = (mantissa << 1) == 0 ? std::numeric_limits<long double>::infinity()
                             : std::numeric_limits<long double>::quiet_NaN();
  } else if (exponent == 0) {
    v = std::ldexp(static_cast<long double>(mantissa), -16382 - 63);
  } else {
    v = std::ldexp(static_cast<long double>(mantissa), exponent - 16383 - 63);
  }
  return negative ? -v : v;
}

}  // namespace vorn
