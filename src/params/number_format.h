// Number texts of the engine, independent of the process locale: the 15-digit general float
// format and the integer and float parses that the conversions and the compiler use.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vorn {

// Decimal digits with a leading '-' when negative.
std::string FormatInt(int32_t v);
// General format with 15 significant digits, trailing zeros dropped: fixed notation while the
// decimal exponent lies in -4 .. 14 ("0.0001", "123456789012345", "2.5"), otherwise scientific
// with an unpadded exponent ("1E15", "1.5E-5"). Non-finite values give "NAN", "INF", "-INF".
std::string FormatFloat(long double v);

// Integer parse: leading spaces, an optional sign, then decimal digits, or hexadecimal after
// '$' or "0x"; nothing may follow. The value must fit in 32 bits (hexadecimal up to
// FFFFFFFF, wrapping to negative).
bool TryParseInt(std::string_view s, int32_t& out);
// Float parse: leading and trailing spaces, an optional sign, digits with an optional '.'
// (at least one digit), an optional exponent 'E'/'e' with optional sign and digits. An
// overflowing value fails; an underflowing one gives 0.
bool TryParseFloat(std::string_view s, long double& out);

}  // namespace vorn
