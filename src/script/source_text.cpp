// Text helpers of the compilers; see source_text.h.
#include "script/source_text.h"

#include "resources/sjis_case.h"

namespace vorn::source_text {

std::vector<std::string> SplitLines(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  std::vector<std::string> lines;
  std::string cur;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(cur);
      cur.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) lines.push_back(cur);
  return lines;
}

std::pair<int, std::string> Indentation(std::string_view line) {
  int column = 0;
  size_t i = 0;
  for (; i < line.size() && (line[i] == ' ' || line[i] == '\t'); ++i) column += line[i] == '\t' ? 4 : 1;
  return {column, Trim(line.substr(i))};
}

std::string Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\r' || s[b] == '\n')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r' || s[e - 1] == '\n')) --e;
  return std::string(s.substr(b, e - b));
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
    if (x != y) return false;
  }
  return true;
}

bool IsIdentifier(std::string_view s) {
  if (s.empty() || (s[0] >= '0' && s[0] <= '9')) return false;
  for (char c : s)
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_')) return false;
  return true;
}

namespace {

// Walks s calling f(index) for every character outside literals at bracket depth 0.
template <class F>
void TopLevel(std::string_view s, F f) {
  int depth = 0;
  bool quoted = false;
  for (size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (quoted) {
      if (c == '\\' && i + 1 < s.size()) ++i;
      else if (c == '"') quoted = false;
      continue;
    }
    if (c == '"') quoted = true;
    else if (c == '(' || c == '[' || c == '{') ++depth;
    else if ((c == ')' || c == ']' || c == '}') && depth > 0) --depth;
    else if (depth == 0 && !f(i)) return;
  }
}

}  // namespace

std::vector<std::string> SplitTopLevel(std::string_view s, char sep) {
  std::vector<std::string> parts;
  size_t start = 0;
  TopLevel(s, [&](size_t i) {
    if (s[i] == sep) {
      parts.emplace_back(s.substr(start, i - start));
      start = i + 1;
    }
    return true;
  });
  parts.emplace_back(s.substr(start));
  return parts;
}

size_t TopLevelColon(std::string_view s) {
  size_t found = std::string_view::npos;
  TopLevel(s, [&](size_t i) {
    if (s[i] != ':') return true;
    found = i;
    return false;
  });
  return found;
}

bool EndsWithSeparator(std::string_view s) {
  size_t last = std::string_view::npos;
  TopLevel(s, [&](size_t i) {
    if (s[i] != ' ' && s[i] != '\t') last = i;
    return true;
  });
  std::string t = Trim(s);
  return !t.empty() && t.back() == ';' && last != std::string_view::npos && s[last] == ';' &&
         Trim(s.substr(last + 1)).empty();
}

std::string Unquote(std::string_view raw) {
  std::string s = Trim(raw);
  if (s.size() < 2 || s.front() != '"' || s.back() != '"') return s;
  std::string out;
  for (size_t i = 1; i + 1 < s.size(); ++i) {
    if (s[i] == '\\' && i + 2 < s.size() && (s[i + 1] == '"' || s[i + 1] == '\\')) ++i;
    out += s[i];
  }
  return out;
}

std::string UnquoteMessage(std::string_view raw) {
  std::string s = Trim(raw);
  if (s.size() >= 2 && s.front() == '"' && s.back() == '"') return s.substr(1, s.size() - 2);
  return s;
}

std::string EscapeQuoted(std::string_view s) {
  std::string out;
  for (char c : s) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out;
}

bool SameFileName(std::string_view a, std::string_view b) { return SameText(a, b); }

}  // namespace vorn::source_text
