// Number texts independent of the locale. The digits of a real come from std::to_chars /
// std::from_chars (exact, locale-free); the layout of the general format and the accepted
// syntax of the parses are ours.
#include "params/number_format.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <system_error>

namespace vorn {

std::string FormatInt(int32_t v) {
  char buf[16];
  auto res = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, res.ptr);
}

std::string FormatFloat(long double v) {
  if (std::isnan(v)) return "NAN";
  if (std::isinf(v)) return v < 0 ? "-INF" : "INF";
  if (v == 0.0L) return "0";
  std::string out;
  if (std::signbit(v)) {
    out.push_back('-');
    v = -v;
  }
  // d.dddddddddddddde+XX: 15 significant digits, correctly rounded.
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, 14);
  std::string sci(buf, res.ptr);
  size_t epos = sci.find('e');
  std::string digits;
  for (size_t i = 0; i < epos; ++i) {
    if (sci[i] != '.') digits.push_back(sci[i]);
  }
  int exp10 = std::atoi(sci.c_str() + epos + 1);  // value = d.ddd * 10^exp10
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  // Fixed notation while the value has at most 15 integer digits and is at least 1E-4.
  if (exp10 >= 15 || exp10 < -4) {
    out += digits[0];
    if (digits.size() > 1) {
      out.push_back('.');
      out.append(digits, 1, std::string::npos);
    }
    out.push_back('E');
    out += std::to_string(exp10);
    return out;
  }
  if (exp10 < 0) {
    out += "0.";
    out.append(static_cast<size_t>(-exp10 - 1), '0');
    out += digits;
    return out;
  }
  size_t intDigits = static_cast<size_t>(exp10) + 1;
  if (digits.size() <= intDigits) {
    out += digits;
    out.append(intDigits - digits.size(), '0');
  } else {
    out.append(digits, 0, intDigits);
    out.push_back('.');
    out.append(digits, intDigits, std::string::npos);
  }
  return out;
}

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

bool TryParseInt(std::string_view s, int32_t& out) {
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  bool neg = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    neg = s[i] == '-';
    ++i;
  }
  bool hex = false;
  if (i < s.size() && s[i] == '$') {
    hex = true;
    ++i;
  } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i >= s.size()) return false;
  uint64_t value = 0;
  for (; i < s.size(); ++i) {
    int d = hex ? HexValue(s[i]) : (s[i] >= '0' && s[i] <= '9' ? s[i] - '0' : -1);
    if (d < 0) return false;
    value = value * (hex ? 16u : 10u) + static_cast<uint64_t>(d);
    if (value > 0xFFFFFFFFull) return false;
  }
  if (hex) {
    // Hexadecimal covers the 32-bit pattern; a sign negates the wrapped value.
    uint32_t bits = static_cast<uint32_t>(value);
    if (neg) bits = 0u - bits;
    out = static_cast<int32_t>(bits);
    return true;
  }
  if (neg) {
    if (value > 2147483648ull) return false;
    out = static_cast<int32_t>(-static_cast<int64_t>(value));
  } else {
    if (value > 2147483647ull) return false;
    out = static_cast<int32_t>(value);
  }
  return true;
}

bool TryParseFloat(std::string_view s, long double& out) {
  size_t b = 0, e = s.size();
  while (b < e && s[b] == ' ') ++b;
  while (e > b && s[e - 1] == ' ') --e;
  std::string_view t = s.substr(b, e - b);
  size_t i = 0;
  bool neg = false;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) {
    neg = t[i] == '-';
    ++i;
  }
  size_t start = i;
  int digits = 0;
  while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, ++digits;
  if (i < t.size() && t[i] == '.') {
    ++i;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, ++digits;
  }
  if (digits == 0) return false;
  bool negExp = false;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) {
      negExp = t[i] == '-';
      ++i;
    }
    size_t ed = i;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i;
    if (i == ed) return false;
  }
  if (i != t.size()) return false;
  // from_chars takes no '+' (mantissa or exponent); hand it a normalised copy.
  std::string norm;
  for (size_t k = start; k < t.size(); ++k) {
    if (t[k] == '+') continue;
    norm.push_back(t[k]);
  }
  if (norm[0] == '.') norm.insert(norm.begin(), '0');
  long double v = 0.0L;
  auto res = std::from_chars(norm.data(), norm.data() + norm.size(), v, std::chars_format::general);
  if (res.ec == std::errc::result_out_of_range) {
    if (!negExp) return false;
    v = 0.0L;
  } else if (res.ec != std::errc() || res.ptr != norm.data() + norm.size()) {
    return false;
  }
  if (!std::isfinite(v)) return false;
  out = neg ? -v : v;
  return true;
}

}  // namespace vorn
