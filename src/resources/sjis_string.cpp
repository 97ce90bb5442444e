// The character walk is the same everywhere: a lead byte that is not the last byte takes its
// trail byte with it.
#include "sjis_string.h"

#include <vector>

#include "error.h"
#include "sjis_case.h"

namespace vorn {

namespace {

// Width in bytes of the character starting at byte offset i (0-based).
size_t CharWidth(std::string_view s, size_t i) {
  return (IsLeadByte(static_cast<uint8_t>(s[i])) && i + 1 < s.size()) ? 2 : 1;
}

// 0-based byte offsets of every character start, plus s.size() at the end.
std::vector<size_t> CharStarts(std::string_view s) {
  std::vector<size_t> starts;
  starts.reserve(s.size() + 1);
  for (size_t i = 0; i < s.size(); i += CharWidth(s, i)) starts.push_back(i);
  starts.push_back(s.size());
  return starts;
}

}  // namespace

int JLength(std::string_view s) {
  int n = 0;
  for (size_t i = 0; i < s.size(); i += CharWidth(s, i)) ++n;
  return n;
}

int JCharToBytePos(std::string_view s, int n) {
  size_t i = 0;
  for (int k = 1; k < n && i < s.size(); ++k) i += CharWidth(s, i);
  return static_cast<int>(i) + 1;
}

uint16_t JCharCode(std::string_view s, int n) {
  if (n < 1) return 0;
  size_t i = 0;
  for (int k = 1; k < n && i < s.size(); ++k) i += CharWidth(s, i);
  if (i >= s.size()) return 0;
  uint8_t b = static_cast<uint8_t>(s[i]);
  if (CharWidth(s, i) == 2) return static_cast<uint16_t>(b << 8 | static_cast<uint8_t>(s[i + 1]));
  return b;
}

bool IsTrailByte(std::string_view s, int i) {
  if (i < 1 || static_cast<size_t>(i) > s.size()) throw EVornError("Illegal Index");
  int run = 0;
  for (int j = i - 2; j >= 0 && IsLeadByte(static_cast<uint8_t>(s[static_cast<size_t>(j)])); --j) ++run;
  return run % 2 == 1;
}

std::string JCopy(std::string_view s, int index, int count) {
  if (index < 1) {
    count -= 1 - index;  // the part of the range before the first character is lost
    index = 1;
  }
  if (count <= 0) return {};
  std::vector<size_t> st = CharStarts(s);
  size_t chars = st.size() - 1;
  size_t first = static_cast<size_t>(index) - 1;
  if (first >= chars) return {};
  size_t last = first + static_cast<size_t>(count);
  if (last > chars) last = chars;
  return std::string(s.substr(st[first], st[last] - st[first]));
}

std::string JInsert(std::string_view sub, std::string_view s, int index) {
  if (index < 1) index = 1;
  std::vector<size_t> st = CharStarts(s);
  size_t at = static_cast<size_t>(index) - 1 < st.size() ? st[static_cast<size_t>(index) - 1] : s.size();
  std::string out(s.substr(0, at));
  out += sub;
  out += s.substr(at);
  return out;
}

std::string JDelete(std::string_view s, int index, int count) {
  if (index < 1) index = 1;
  std::vector<size_t> st = CharStarts(s);
  size_t chars = st.size() - 1;
  size_t first = static_cast<size_t>(index) - 1;
  if (first >= chars || count <= 0) return std::string(s);
  size_t last = static_cast<size_t>(count) >= chars - first ? chars : first + static_cast<size_t>(count);
  std::string out(s.substr(0, st[first]));
  out += s.substr(st[last]);
  return out;
}

int JPos(std::string_view sub, std::string_view s) {
  if (sub.empty()) return 0;
  int n = 1;
  for (size_t i = 0; i < s.size(); i += CharWidth(s, i), ++n) {
    if (s.substr(i, sub.size()) == sub) return n;
  }
  return 0;
}

std::string JTrim(std::string_view s) {
  size_t begin = 0, end = s.size();
  while (begin < end) {
    if (s[begin] == ' ') {
      ++begin;
    } else if (begin + 1 < end && s[begin] == '\x81' && s[begin + 1] == '\x40') {
      begin += 2;
    } else {
      break;
    }
  }
  // Trailing spaces: walk forward so that 0x81 0x40 is only taken where it starts a character.
  size_t keep = begin;
  for (size_t i = begin; i < end;) {
    size_t w = CharWidth(s, i);
    bool space = (w == 1 && s[i] == ' ') || (w == 2 && s[i] == '\x81' && s[i + 1] == '\x40');
    i += w;
    if (!space) keep = i;
  }
  return std::string(s.substr(begin, keep - begin));
}

std::string CutToken(std::string& s, std::string_view delimiters) {
  if (!delimiters.empty()) {
    for (size_t i = 0; i < s.size(); i += CharWidth(s, i)) {
      if (CharWidth(s, i) == 1 && delimiters.find(s[i]) != std::string_view::npos) {
        std::string token = s.substr(0, i);
        s.erase(0, i + 1);
        return token;
      }
    }
  }
  std::string token = std::move(s);
  s.clear();
  return token;
}

std::string UnescapeText(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    size_t w = CharWidth(s, i);
    if (w == 1 && s[i] == '\\' && i + 1 < s.size()) {
      char next = s[i + 1];
      if (next == '"' || next == '\\') {
        out += next;
        i += 2;
        continue;
      }
      if (next == 'n') {
        out += "\r\n";
        i += 2;
        continue;
      }
    }
    out.append(s.substr(i, w));
    i += w;
  }
  return out;
}

std::string SplitColonSuffix(std::string& name) {
  for (size_t i = name.size(); i-- > 0;) {
    char c = name[i];
    if (c != '.' && c != '\\' && c != ':') continue;
    if (IsTrailByte(name, static_cast<int>(i) + 1)) continue;
    if (c != ':') return {};
    std::string suffix = name.substr(i + 1);
    name.erase(i);
    return suffix;
  }
  return {};
}

}  // namespace vorn
