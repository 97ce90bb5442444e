// CP932 <-> Unicode: the generated table against glibc's iconv, the chosen code for duplicate
// characters, the user-defined area, and malformed input on both sides.
#include "resources/cp932.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

namespace vorn {
namespace {

// One conversion through iconv; false when iconv rejects the input.
class Iconv {
 public:
  Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Iconv() {
    if (ok()) iconv_close(cd_);
  }
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  bool Convert(const std::string& in, std::string& out) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char buf[64];
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char* dst = buf;
    size_t dstLeft = sizeof buf;
    if (iconv(cd_, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1)) return false;
    out.assign(buf, dst);
    return true;
  }

 private:
  iconv_t cd_;
};

std::string Bytes(uint16_t code) {
  if (code < 0x100) return std::string(1, static_cast<char>(code));
  return {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
}

std::string Utf8(char32_t cp) {
  std::string s;
  AppendUtf8(s, cp);
  return s;
}

TEST(Cp932, EveryDoubleByteCodeDecodesAsIconvDoes) {
  Iconv dec("UTF-8", "CP932");
  if (!dec.ok()) GTEST_SKIP() << "iconv has no CP932 here";
  int mapped = 0;
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (lead >= 0xA0 && lead < 0xE0) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      uint16_t code = static_cast<uint16_t>(lead << 8 | trail);
      std::string ref;
      bool refOk = dec.Convert(Bytes(code), ref);
      char32_t ours = Cp932CodeToUnicode(code);
      if (!refOk) {
        EXPECT_EQ(ours, 0u) << std::hex << code;
        continue;
      }
      ++mapped;
      EXPECT_EQ(Utf8(ours), ref) << std::hex << code;
    }
  }
  EXPECT_GT(mapped, 9000);  // JIS X 0208, NEC and IBM extensions and the 1880 user-defined codes
}

TEST(Cp932, EveryCharacterEncodesAsIconvDoes) {
  Iconv enc("CP932", "UTF-8");
  if (!enc.ok()) GTEST_SKIP() << "iconv has no CP932 here";
  for (char32_t cp = 0; cp <= 0xFFFF; ++cp) {
    if (cp >= 0xD800 && cp <= 0xDFFF) continue;
    // Our extra single bytes keep stray bytes of game data round-trippable; iconv has none.
    if (cp == 0x80 || (cp >= 0xF8F0 && cp <= 0xF8F3)) continue;
    std::string ref;
    bool refOk = enc.Convert(Utf8(cp), ref);
    int ours = UnicodeToCp932Code(cp);
    if (!refOk) {
      EXPECT_EQ(ours, -1) << std::hex << static_cast<uint32_t>(cp);
      continue;
    }
    ASSERT_GE(ours, 0) << std::hex << static_cast<uint32_t>(cp);
    EXPECT_EQ(Bytes(static_cast<uint16_t>(ours)), ref) << std::hex << static_cast<uint32_t>(cp);
  }
}

TEST(Cp932, DuplicateCharactersTakeOneCanonicalCode) {
  struct Case {
    char32_t cp;
    int code;
  } cases[] = {
      {0x2235, 0x81E6},  // because: JIS X 0208 before NEC row 13 (0x8797) and IBM (0xFA5B)
      {0xFFE2, 0x81CA},  // not sign: JIS X 0208 before 0xEEF9 and 0xFA54
      {0x2160, 0x8754},  // Roman numeral one: NEC row 13 before IBM 0xFA4A
      {0x2170, 0xFA40},  // small Roman numeral one: IBM before NEC-selected 0xEEEF
      {0x7E8A, 0xFA5C},  // a kanji of the IBM extensions, also at 0xED40
      {0x301C, 0x8160},  // WAVE DASH from other encodings lands on the CP932 tilde
      {0x2212, 0x817C},  // MINUS SIGN likewise on the full-width hyphen-minus
      {0xFF5E, 0x8160},
      {0xE000, 0xF040},  // user-defined area, first and last
      {0xE757, 0xF9FC},
      {0xE758, -1},
      {0xFF61, 0xA1},  // half-width katakana are single bytes
      {0xFF9F, 0xDF},
      {0x1F600, -1},
  };
  for (const Case& c : cases) EXPECT_EQ(UnicodeToCp932Code(c.cp), c.code) << std::hex << static_cast<uint32_t>(c.cp);
  // Every duplicate decodes to the same character, so a decode-encode trip is stable.
  for (uint16_t dup : {0x8797, 0xFA5B, 0xEEF9, 0xFA54, 0xED40, 0xEEEF}) {
    int canonical = UnicodeToCp932Code(Cp932CodeToUnicode(dup));
    EXPECT_EQ(Cp932CodeToUnicode(static_cast<uint16_t>(canonical)), Cp932CodeToUnicode(dup));
  }
}

TEST(Cp932, StringsRoundTrip) {
  // "日本語テキスト" + ASCII + half-width ｶﾞ + user-defined + backslash and tilde as ASCII.
  const std::string sjis = "\x93\xfa\x96\x7b\x8c\xea\x83\x65\x83\x4c\x83\x58\x83\x67 a\\~ \xb6\xde\xf0\x40";
  const std::string utf8 = "日本語テキスト a\\~ ｶﾞ\xee\x80\x80";
  EXPECT_EQ(Cp932ToUtf8(sjis), utf8);
  EXPECT_EQ(Utf8ToCp932(utf8), sjis);
  // Stray single bytes survive both ways.
  const std::string stray = "\x80\xa0\xfd\xfe\xff";
  EXPECT_EQ(Utf8ToCp932(Cp932ToUtf8(stray)), stray);
}

TEST(Cp932, MalformedInputIsReplacedWithoutSwallowingBytes) {
  struct Case {
    std::string in, utf8;
  } cp932Cases[] = {
      {"a\x82", "a\xef\xbf\xbd"},             // lead byte at the end
      {"\x82\"x", "\xef\xbf\xbd\"x"},         // lead before a byte that cannot trail: the quote stays
      {"\x85\x40", "\xef\xbf\xbd@"},          // unassigned code
      {"", ""},
  };
  for (const Case& c : cp932Cases) EXPECT_EQ(Cp932ToUtf8(c.in), c.utf8);

  struct Case2 {
    std::string in, sjis;
  } utf8Cases[] = {
      {"\xc3", "?"},                 // truncated sequence
      {"\xc0\xaf", "??"},            // overlong slash
      {"\xed\xa0\x80", "???"},       // surrogate
      {"\xf4\x90\x80\x80", "????"},  // above U+10FFFF
      {"\x80z", "?z"},               // stray continuation byte
      {"\xe2\x82\xac", "?"},         // EURO SIGN has no CP932 code
  };
  for (const Case2& c : utf8Cases) EXPECT_EQ(Utf8ToCp932(c.in), c.sjis) << c.in;
}

}  // namespace
}  // namespace vorn
