// Case folding that walks CP932 characters so trail bytes stay as they are.
#include "sjis_case.h"

namespace vorn {

namespace {
template <class F>
std::string MapSingleBytes(std::string_view s, F f) {
  std::string out(s);
  for (size_t i = 0; i < out.size(); ++i) {
    uint8_t b = static_cast<uint8_t>(out[i]);
    if (IsLeadByte(b)) {
      ++i;  // skip the trail byte
      continue;
    }
    out[i] = static_cast<char>(f(b));
  }
  return out;
}
}  // namespace

std::string FoldCase(std::string_view s) {
  return MapSingleBytes(s, [](uint8_t b) { return (b >= 'A' && b <= 'Z') ? b + 32 : b; });
}

std::string UpperCase(std::string_view s) {
  return MapSingleBytes(s, [](uint8_t b) { return (b >= 'a' && b <= 'z') ? b - 32 : b; });
}

bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && CompareText(a, b) == 0;
}

int CompareText(std::string_view a, std::string_view b) {
  std::string fa = FoldCase(a), fb = FoldCase(b);
  int c = fa.compare(fb);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

}  // namespace vorn
