// Half-width <-> full-width tables, both ways, with voiced and semi-voiced marks.
#include "resources/kana_width.h"

#include <gtest/gtest.h>

namespace vorn {
namespace {

std::string Code(uint16_t c) { return {static_cast<char>(c >> 8), static_cast<char>(c & 0xFF)}; }

TEST(KanaWidth, EveryHalfWidthByteRoundTrips) {
  int mapped = 0;
  for (int b = 0; b < 256; ++b) {
    std::string half(1, static_cast<char>(b));
    uint16_t full = FullWidthOf(static_cast<uint8_t>(b));
    if (full == 0) {
      EXPECT_EQ(HanToZen(half), "") << b;
      continue;
    }
    ++mapped;
    EXPECT_EQ(HanToZen(half), Code(full)) << b;
    EXPECT_EQ(ZenToHan(Code(full)), half) << b;
  }
  EXPECT_EQ(mapped, 95 + 63);  // printable ASCII and 0xA1..0xDF
}

TEST(KanaWidth, TableSpotChecks) {
  struct Case {
    const char* half;
    uint16_t full;
  } cases[] = {
      {" ", 0x8140},  {"0", 0x824F},    {"9", 0x8258},    {"A", 0x8260},    {"z", 0x829A},
      {"\"", 0x8168}, {"/", 0x815E},    {"@", 0x8197},    {"\\", 0x818F},   {"~", 0x8160},
      {"|", 0x8162},  {"\xa1", 0x8142}, {"\xa6", 0x8392}, {"\xa7", 0x8340}, {"\xaf", 0x8362},
      {"\xb0", 0x815B}, {"\xbf", 0x835C}, {"\xc1", 0x8360}, {"\xc2", 0x8363}, {"\xce", 0x837A},
      {"\xd3", 0x8382}, {"\xd6", 0x8388}, {"\xdc", 0x838F}, {"\xdd", 0x8393}, {"\xde", 0x814A},
      {"\xdf", 0x814B},
  };
  for (const Case& c : cases) EXPECT_EQ(HanToZen(c.half), Code(c.full)) << c.half;
}

TEST(KanaWidth, VoicedMarksCombineAndSplit) {
  struct Case {
    std::string half;
    uint16_t full;
  } voiced[] = {
      {"\xb6\xde", 0x834B},  // ｶﾞ -> ガ
      {"\xc4\xde", 0x8368},  // ﾄﾞ -> ド
      {"\xc2\xde", 0x8364},  // ﾂﾞ -> ヅ
      {"\xca\xde", 0x836F},  // ﾊﾞ -> バ
      {"\xca\xdf", 0x8370},  // ﾊﾟ -> パ
      {"\xce\xdf", 0x837C},  // ﾎﾟ -> ポ
  };
  for (const Case& c : voiced) {
    EXPECT_EQ(HanToZen(c.half), Code(c.full));
    EXPECT_EQ(ZenToHan(Code(c.full)), c.half);
  }
  // Only the listed pairs combine: ｳﾞ and ｶﾟ stay two characters.
  EXPECT_EQ(HanToZen("\xb3\xde"), Code(0x8345) + Code(0x814A));
  EXPECT_EQ(HanToZen("\xb6\xdf"), Code(0x834A) + Code(0x814B));
}

TEST(KanaWidth, DropsWhatHasNoOtherForm) {
  EXPECT_EQ(HanToZen("a\r\nb\t"), Code(0x8281) + Code(0x8282));
  EXPECT_EQ(HanToZen("\x7f\x80\xa0\xfd\xfe\xff"), "");
  EXPECT_EQ(HanToZen("\x8a\xbf" "1"), "\x8a\xbf" + Code(0x8250));  // kanji copied
  // ＡＢ漢 -> AB: the kanji has no half-width form.
  EXPECT_EQ(ZenToHan(Code(0x8260) + Code(0x8261) + "\x8a\xbf"), "AB");
  EXPECT_EQ(ZenToHan(Code(0x8167)), "\"");  // the left quotation mark also maps to '"'
  EXPECT_EQ(ZenToHan("x\r\n"), "x\r\n");  // single bytes are copied
  EXPECT_EQ(ZenToHan(Code(0x8394)), "");   // ヴ is not in the table
}

}  // namespace
}  // namespace vorn
