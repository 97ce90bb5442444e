// CP932 <-> Unicode through the generated tables.
#include "cp932.h"

#include <vector>

#include "cp932_table.h"
#include "sjis_case.h"

namespace vorn {

namespace {

int LeadRow(uint8_t lead) {
  if (lead >= 0x81 && lead <= 0x9F) return lead - 0x81;
  if (lead >= 0xE0 && lead <= 0xFC) return lead - 0xE0 + 31;
  return -1;
}

char32_t SingleByteToUnicode(uint8_t b) {
  if (b < 0x80) return b;
  if (b >= 0xA1 && b <= 0xDF) return 0xFF61 + (b - 0xA1);
  if (b == 0x80) return 0x80;
  if (b == 0xA0) return 0xF8F0;
  if (b >= 0xFD) return 0xF8F1 + (b - 0xFD);
  return 0;  // a lead byte on its own
}

}  // namespace

char32_t Cp932CodeToUnicode(uint16_t code) {
  if (code < 0x100) return IsLeadByte(static_cast<uint8_t>(code)) ? 0 : SingleByteToUnicode(static_cast<uint8_t>(code));
  int row = LeadRow(static_cast<uint8_t>(code >> 8));
  int trail = code & 0xFF;
  if (row < 0 || trail < cp932::kTrailFirst || trail > cp932::kTrailLast) return 0;
  return cp932::kDoubleByteToUnicode[row][trail - cp932::kTrailFirst];
}

namespace {

// Dense BMP -> CP932 table, built once from the sorted list on first use and never changed
// afterwards (0xFFFF = no code; no CP932 code is 0xFFFF).
const std::vector<uint16_t>& EncodeTable() {
  static const std::vector<uint16_t> table = [] {
    std::vector<uint16_t> t(0x10000, 0xFFFF);
    for (uint16_t c = 0; c < 0x80; ++c) t[c] = c;
    for (size_t i = 0; i < cp932::kEncodeCount; ++i) t[cp932::kUnicodeToCp932[i].unicode] = cp932::kUnicodeToCp932[i].code;
    return t;
  }();
  return table;
}

}  // namespace

int UnicodeToCp932Code(char32_t cp) {
  if (cp < 0x80) return static_cast<int>(cp);
  if (cp > 0xFFFF) return -1;
  uint16_t code = EncodeTable()[cp];
  return code == 0xFFFF ? -1 : code;
}

bool DecodeCp932Char(std::string_view s, size_t& pos, char32_t& cp) {
  uint8_t b = static_cast<uint8_t>(s[pos]);
  if (!IsLeadByte(b)) {
    ++pos;
    cp = SingleByteToUnicode(b);
    return true;
  }
  if (pos + 1 < s.size()) {
    char32_t u = Cp932CodeToUnicode(static_cast<uint16_t>((b << 8) | static_cast<uint8_t>(s[pos + 1])));
    if (u != 0) {
      pos += 2;
      cp = u;
      return true;
    }
  }
  ++pos;
  cp = 0xFFFD;
  return false;
}

bool DecodeUtf8Char(std::string_view s, size_t& pos, char32_t& cp) {
  uint8_t b = static_cast<uint8_t>(s[pos]);
  int extra;
  char32_t v, min;
  if (b < 0x80) {
    ++pos;
    cp = b;
    return true;
  } else if ((b & 0xE0) == 0xC0) {
    extra = 1, v = b & 0x1F, min = 0x80;
  } else if ((b & 0xF0) == 0xE0) {
    extra = 2, v = b & 0x0F, min = 0x800;
  } else if ((b & 0xF8) == 0xF0) {
    extra = 3, v = b & 0x07, min = 0x10000;
  } else {
    ++pos;
    cp = 0xFFFD;
    return false;
  }
  if (pos + static_cast<size_t>(extra) >= s.size()) {  // not enough bytes left
    ++pos;
    cp = 0xFFFD;
    return false;
  }
  for (int i = 1; i <= extra; ++i) {
    uint8_t c = static_cast<uint8_t>(s[pos + static_cast<size_t>(i)]);
    if ((c & 0xC0) != 0x80) {
      ++pos;
      cp = 0xFFFD;
      return false;
    }
    v = (v << 6) | (c & 0x3F);
  }
  if (v < min || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) {
    ++pos;
    cp = 0xFFFD;
    return false;
  }
  pos += static_cast<size_t>(extra) + 1;
  cp = v;
  return true;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
  char b[4];
  size_t n;
  if (cp < 0x80) {
    b[0] = static_cast<char>(cp);
    n = 1;
  } else if (cp < 0x800) {
    b[0] = static_cast<char>(0xC0 | (cp >> 6));
    b[1] = static_cast<char>(0x80 | (cp & 0x3F));
    n = 2;
  } else if (cp < 0x10000) {
    b[0] = static_cast<char>(0xE0 | (cp >> 12));
    b[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    b[2] = static_cast<char>(0x80 | (cp & 0x3F));
    n = 3;
  } else {
    b[0] = static_cast<char>(0xF0 | (cp >> 18));
    b[1] = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    b[2] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    b[3] = static_cast<char>(0x80 | (cp & 0x3F));
    n = 4;
  }
  out.append(b, n);
}

std::string Cp932ToUtf8(std::string_view s) {
  std::string out;
  out.reserve(s.size() + s.size() / 2);
  size_t pos = 0;
  while (pos < s.size()) {
    // Runs of ASCII are copied as they are.
    size_t run = pos;
    while (run < s.size() && static_cast<uint8_t>(s[run]) < 0x80) ++run;
    if (run > pos) {
      out.append(s.data() + pos, run - pos);
      pos = run;
      continue;
    }
    char32_t cp;
    DecodeCp932Char(s, pos, cp);
    AppendUtf8(out, cp);
  }
  return out;
}

std::string Utf8ToCp932(std::string_view s) {
  const std::vector<uint16_t>& table = EncodeTable();
  std::string out;
  out.reserve(s.size());
  size_t pos = 0;
  while (pos < s.size()) {
    if (static_cast<uint8_t>(s[pos]) < 0x80) {
      out += s[pos++];
      continue;
    }
    char32_t cp;
    int code = -1;
    if (DecodeUtf8Char(s, pos, cp) && cp <= 0xFFFF && table[cp] != 0xFFFF) code = table[cp];
    if (code < 0) {
      out += '?';
    } else if (code >= 0x100) {
      out += static_cast<char>(code >> 8);
      out += static_cast<char>(code & 0xFF);
    } else {
      out += static_cast<char>(code);
    }
  }
  return out;
}

}  // namespace vorn
