// CP932 <-> UTF-8 through the C library's converter, one character at a time on failure so a
// stray byte costs one replacement character, not the rest of the text.
#include "platform/text_edge.h"

#include <iconv.h>

#include <cerrno>

namespace vorn {

namespace {

std::string Convert(std::string_view in, const char* from, const char* to,
                    std::string_view replacement, bool utf8Input) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(in);
  std::string out;
  out.reserve(in.size() * 3 / 2 + 4);
  char* src = const_cast<char*>(in.data());
  size_t left = in.size();
  char buffer[256];
  while (left > 0) {
    char* dst = buffer;
    size_t room = sizeof buffer;
    const size_t r = iconv(cd, &src, &left, &dst, &room);
    out.append(buffer, dst);
    if (r == static_cast<size_t>(-1) && errno != E2BIG) {
      // An invalid or truncated sequence: replace one byte and go on.
      out.append(replacement);
      ++src;
      --left;
      // From UTF-8, the rest of the bad character goes with its lead byte.
      while (utf8Input && left > 0 && (static_cast<unsigned char>(*src) & 0xC0) == 0x80) {
        ++src;
        --left;
      }
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  iconv_close(cd);
  return out;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view cp932) {
  return Convert(cp932, "CP932", "UTF-8", "\xEF\xBF\xBD", false);
}

std::string Utf8ToCp932(std::string_view utf8) {
  return Convert(utf8, "UTF-8", "CP932", "?", true);
}

}  // namespace vorn
