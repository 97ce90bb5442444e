// The conversion tables: one full-width code per half-width byte; the inverse is the search
// of that table plus the voiced forms, built once into a sorted array.
#include "kana_width.h"

#include <algorithm>
#include <array>

#include "sjis_case.h"

namespace vorn {

namespace {

constexpr std::array<uint16_t, 256> MakeFullWidthTable() {
  std::array<uint16_t, 256> t{};
  t[' '] = 0x8140;
  for (int i = 0; i < 10; ++i) t['0' + i] = static_cast<uint16_t>(0x824F + i);
  for (int i = 0; i < 26; ++i) t['A' + i] = static_cast<uint16_t>(0x8260 + i);
  for (int i = 0; i < 26; ++i) t['a' + i] = static_cast<uint16_t>(0x8281 + i);
  const char punct[] = "!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~";
  const uint16_t punctCodes[] = {0x8149, 0x8168, 0x8194, 0x8190, 0x8193, 0x8195, 0x8166, 0x8169,
                                 0x816A, 0x8196, 0x817B, 0x8143, 0x817C, 0x8144, 0x815E, 0x8146,
                                 0x8147, 0x8183, 0x8181, 0x8184, 0x8148, 0x8197, 0x816D, 0x818F,
                                 0x816E, 0x814F, 0x8151, 0x8165, 0x816F, 0x8162, 0x8170, 0x8160};
  for (size_t i = 0; i + 1 < sizeof punct; ++i) t[static_cast<uint8_t>(punct[i])] = punctCodes[i];
  // 0xA1..0xDF: half-width punctuation and katakana.
  const uint16_t kana[] = {
      0x8142, 0x8175, 0x8176, 0x8141, 0x8145,                          // A1-A5 ｡｢｣､･
      0x8392,                                                          // A6 ｦ
      0x8340, 0x8342, 0x8344, 0x8346, 0x8348,                          // A7-AB ｧ-ｫ
      0x8383, 0x8385, 0x8387, 0x8362, 0x815B,                          // AC-B0 ｬｭｮｯｰ
      0x8341, 0x8343, 0x8345, 0x8347, 0x8349,                          // B1-B5 ｱ-ｵ
      0x834A, 0x834C, 0x834E, 0x8350, 0x8352,                          // B6-BA ｶ-ｺ
      0x8354, 0x8356, 0x8358, 0x835A, 0x835C,                          // BB-BF ｻ-ｿ
      0x835E, 0x8360, 0x8363, 0x8365, 0x8367,                          // C0-C4 ﾀ-ﾄ
      0x8369, 0x836A, 0x836B, 0x836C, 0x836D,                          // C5-C9 ﾅ-ﾉ
      0x836E, 0x8371, 0x8374, 0x8377, 0x837A,                          // CA-CE ﾊ-ﾎ
      0x837D, 0x837E, 0x8380, 0x8381, 0x8382,                          // CF-D3 ﾏ-ﾓ
      0x8384, 0x8386, 0x8388,                                          // D4-D6 ﾔﾕﾖ
      0x8389, 0x838A, 0x838B, 0x838C, 0x838D,                          // D7-DB ﾗ-ﾛ
      0x838F, 0x8393, 0x814A, 0x814B,                                  // DC-DF ﾜﾝﾞﾟ
  };
  for (size_t i = 0; i < sizeof kana / sizeof kana[0]; ++i) t[0xA1 + i] = kana[i];
  return t;
}

constexpr std::array<uint16_t, 256> kFullWidth = MakeFullWidthTable();

constexpr bool Voiceable(uint8_t b) { return (b >= 0xB6 && b <= 0xC4) || (b >= 0xCA && b <= 0xCE); }
constexpr bool SemiVoiceable(uint8_t b) { return b >= 0xCA && b <= 0xCE; }

// One full-width code and the one or two half-width bytes it becomes.
struct HalfForm {
  uint16_t code;
  char bytes[2];
  uint8_t length;
};

constexpr size_t kHalfFormCount = 95 + 63 + 20 + 5 + 1;  // ASCII, kana, voiced, semi-voiced, 0x8167

constexpr std::array<HalfForm, kHalfFormCount> MakeHalfForms() {
  std::array<HalfForm, kHalfFormCount> forms{};
  size_t n = 0;
  for (int b = 0; b < 256; ++b) {
    uint8_t byte = static_cast<uint8_t>(b);
    if (kFullWidth[byte] == 0) continue;
    forms[n++] = {kFullWidth[byte], {static_cast<char>(byte), 0}, 1};
    if (Voiceable(byte)) forms[n++] = {static_cast<uint16_t>(kFullWidth[byte] + 1), {static_cast<char>(byte), '\xDE'}, 2};
    if (SemiVoiceable(byte)) forms[n++] = {static_cast<uint16_t>(kFullWidth[byte] + 2), {static_cast<char>(byte), '\xDF'}, 2};
  }
  forms[n++] = {0x8167, {'"', 0}, 1};  // the left double quotation mark also becomes '"'
  // Sort by code for the binary search.
  for (size_t i = 1; i < n; ++i) {
    for (size_t j = i; j > 0 && forms[j - 1].code > forms[j].code; --j) {
      HalfForm tmp = forms[j];
      forms[j] = forms[j - 1];
      forms[j - 1] = tmp;
    }
  }
  return forms;
}

constexpr std::array<HalfForm, kHalfFormCount> kHalfForms = MakeHalfForms();

}  // namespace

uint16_t FullWidthOf(uint8_t b) { return kFullWidth[b]; }

std::string HanToZen(std::string_view s) {
  std::string out;
  out.reserve(s.size() * 2);
  for (size_t i = 0; i < s.size(); ++i) {
    uint8_t b = static_cast<uint8_t>(s[i]);
    if (IsLeadByte(b) && i + 1 < s.size()) {
      out += s.substr(i, 2);
      ++i;
      continue;
    }
    uint16_t code = kFullWidth[b];
    if (code == 0) continue;  // no full-width form: dropped
    uint8_t next = i + 1 < s.size() ? static_cast<uint8_t>(s[i + 1]) : 0;
    if (next == 0xDE && Voiceable(b)) {
      code = static_cast<uint16_t>(code + 1);
      ++i;
    } else if (next == 0xDF && SemiVoiceable(b)) {
      code = static_cast<uint16_t>(code + 2);
      ++i;
    }
    out += static_cast<char>(code >> 8);
    out += static_cast<char>(code & 0xFF);
  }
  return out;
}

std::string ZenToHan(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    uint8_t b = static_cast<uint8_t>(s[i]);
    if (!IsLeadByte(b) || i + 1 == s.size()) {
      out += static_cast<char>(b);
      continue;
    }
    uint16_t code = static_cast<uint16_t>(b << 8 | static_cast<uint8_t>(s[i + 1]));
    ++i;
    auto it = std::lower_bound(kHalfForms.begin(), kHalfForms.end(), code,
                               [](const HalfForm& f, uint16_t c) { return f.code < c; });
    if (it != kHalfForms.end() && it->code == code) out.append(it->bytes, it->length);
  }
  return out;
}

}  // namespace vorn
