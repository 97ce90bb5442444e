// Path components and relative paths.
#include "path_parser.h"

#include "sjis_string.h"

namespace vorn {

bool IsBackslashAt(std::string_view s, size_t i) {
  return i < s.size() && s[i] == '\\' && !IsTrailByte(s, static_cast<int>(i) + 1);
}

size_t LastDelimiter(std::string_view s, std::string_view delimiters) {
  for (size_t i = s.size(); i-- > 0;) {
    if (delimiters.find(s[i]) != std::string_view::npos && !IsTrailByte(s, static_cast<int>(i) + 1)) return i;
  }
  return std::string_view::npos;
}

std::string AddTrailingBackslash(std::string_view s) {
  std::string out(s);
  if (out.empty() || !IsBackslashAt(out, out.size() - 1)) out += '\\';
  return out;
}

void TPathParser::Split(std::string_view path) {
  parts_.clear();
  if (path.empty()) return;
  std::string p = AddTrailingBackslash(path);
  size_t pos = 0;
  if (p.size() >= 2 && p[0] == '\\' && p[1] == '\\') {
    // The server part: up to and including the next backslash after the third character.
    size_t end = 3;
    while (end < p.size() && !IsBackslashAt(p, end)) ++end;
    pos = end + 1;
  } else if (p.size() >= 2 && p[1] == ':') {
    pos = 3;
  }
  if (pos > p.size()) pos = p.size();
  if (pos > 0) parts_.push_back(p.substr(0, pos));
  size_t start = pos;
  for (size_t i = pos; i < p.size(); ++i) {
    if (IsBackslashAt(p, i)) {
      parts_.push_back(p.substr(start, i + 1 - start));
      start = i + 1;
    }
  }
}

std::string TPathParser::Join() const {
  std::string out;
  for (const std::string& part : parts_) out += part;
  return out;
}

std::string ExpandRelativePath(std::string_view path, std::string_view base) {
  if (path.size() <= 1 || path[0] == '\\' || path[1] == ':') return std::string(path);
  if (path.substr(0, 3) != "..\\") return std::string(base) + std::string(path);
  TPathParser parser;
  parser.Split(base);
  while (parser.Count() > 0 && path.substr(0, 3) == "..\\") {
    parser.DeleteLast();
    path.remove_prefix(3);
  }
  return parser.Join() + std::string(path);
}

}  // namespace vorn
