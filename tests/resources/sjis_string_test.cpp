// Character-wise CP932 helpers: two-byte characters are never split, indexes are 1-based.
#include "resources/sjis_string.h"

#include <gtest/gtest.h>

#include "resources/error.h"

namespace vorn {
namespace {

// 漢 = 0x8A 0xBF, 字 = 0x8E 0x9A, ソ = 0x83 0x5C (trail byte is a backslash), 　 = 0x81 0x40.
const std::string kKan = "\x8a\xbf", kJi = "\x8e\x9a", kSo = "\x83\x5c", kIdeoSpace = "\x81\x40";

TEST(SjisString, LengthAndPositions) {
  const std::string s = kKan + kJi + "ab";
  EXPECT_EQ(JLength(s), 4);
  EXPECT_EQ(JLength(""), 0);
  EXPECT_EQ(JLength("a\x8a"), 2);  // a dangling lead byte is one character
  EXPECT_EQ(JCharToBytePos(s, -3), 1);
  EXPECT_EQ(JCharToBytePos(s, 2), 3);
  EXPECT_EQ(JCharToBytePos(s, 4), 6);
  EXPECT_EQ(JCharToBytePos(s, 9), 7);
  EXPECT_EQ(JCharCode(s, 2), 0x8E9A);
  EXPECT_EQ(JCharCode(s, 3), 'a');
  EXPECT_EQ(JCharCode(s, 5), 0);
  EXPECT_EQ(JCharCode("a\x8a", 2), 0x8A);
}

TEST(SjisString, TrailByteTestCountsTheLeadRun) {
  const std::string s = "a" + kSo + kKan;
  struct Case {
    int i;
    bool trail;
  } cases[] = {{1, false}, {2, false}, {3, true}, {4, false}, {5, true}};
  for (const Case& c : cases) EXPECT_EQ(IsTrailByte(s, c.i), c.trail) << c.i;
  EXPECT_THROW(IsTrailByte(s, 0), EVornError);
  EXPECT_THROW(IsTrailByte(s, 6), EVornError);
  try {
    IsTrailByte("", 1);
  } catch (const EVornError& e) {
    EXPECT_STREQ(e.what(), "Illegal Index");
  }
}

TEST(SjisString, CopyInsertDelete) {
  const std::string s = kKan + kJi + "ab";
  struct CopyCase {
    int index, count;
    std::string want;
  } copies[] = {
      {2, 2, kJi + "a"}, {1, 0, ""}, {1, 100, s}, {-1, 3, kKan}, {0, 1, ""}, {5, 1, ""}, {4, -1, ""},
  };
  for (const CopyCase& c : copies) EXPECT_EQ(JCopy(s, c.index, c.count), c.want) << c.index << "," << c.count;

  struct InsertCase {
    int index;
    std::string want;
  } inserts[] = {{-5, "X" + s}, {2, kKan + "X" + kJi + "ab"}, {5, s + "X"}, {99, s + "X"}};
  for (const InsertCase& c : inserts) EXPECT_EQ(JInsert("X", s, c.index), c.want) << c.index;

  struct DeleteCase {
    int index, count;
    std::string want;
  } deletes[] = {
      {1, 1, kJi + "ab"}, {0, 2, "ab"}, {2, 99, kKan}, {5, 1, s}, {2, 0, s}, {3, -1, s},
  };
  for (const DeleteCase& c : deletes) EXPECT_EQ(JDelete(s, c.index, c.count), c.want) << c.index << "," << c.count;
}

TEST(SjisString, PosOnlyMatchesAtCharacterStarts) {
  // "\x5c\x83" appears in bytes 2..3 of ソソ but never at a character start.
  const std::string s = kSo + kSo + "\\";
  EXPECT_EQ(JPos("\x5c\x83", s), 0);
  EXPECT_EQ(JPos("\\", s), 3);
  EXPECT_EQ(JPos(kSo, s), 1);
  EXPECT_EQ(JPos("", s), 0);
  EXPECT_EQ(JPos("b", kKan + "ab"), 3);
}

TEST(SjisString, TrimTakesIdeographicSpacesButNotTabs) {
  EXPECT_EQ(JTrim(kIdeoSpace + " " + kKan + kIdeoSpace + " "), kKan);
  EXPECT_EQ(JTrim("\tx\t"), "\tx\t");
  EXPECT_EQ(JTrim(kIdeoSpace + kIdeoSpace), "");
  // 0x81 0x40 inside 0x81 0x81 0x40 is not a space: the trailing pair is 0x81 0x40 after 0x81 0x81.
  EXPECT_EQ(JTrim("\x81\x81\x40"), "\x81\x81\x40");
}

TEST(SjisString, CutToken) {
  std::string s = "a," + kSo + "b;c";
  EXPECT_EQ(CutToken(s, ",;"), "a");
  EXPECT_EQ(s, kSo + "b;c");
  // The trail byte of ソ is a backslash and is not a delimiter.
  std::string t = kSo + "\\x";
  EXPECT_EQ(CutToken(t, "\\"), kSo);
  EXPECT_EQ(t, "x");
  std::string u = "abc";
  EXPECT_EQ(CutToken(u, ""), "abc");
  EXPECT_EQ(u, "");
  EXPECT_EQ(CutToken(u, ","), "");
  std::string v = ",";
  EXPECT_EQ(CutToken(v, ","), "");
  EXPECT_EQ(v, "");
}

TEST(SjisString, UnescapeText) {
  struct Case {
    std::string in, out;
  } cases[] = {
      {R"(a\"b)", "a\"b"},   {R"(a\\n)", "a\\n"}, {R"(a\nb)", "a\r\nb"}, {R"(\t)", R"(\t)"},
      {"end\\", "end\\"},     {kSo + "n", kSo + "n"},  // the trail backslash of ソ escapes nothing
  };
  for (const Case& c : cases) EXPECT_EQ(UnescapeText(c.in), c.out) << c.in;
}

TEST(SjisString, SplitColonSuffix) {
  struct Case {
    std::string name, rest, suffix;
  } cases[] = {
      {"MAIN.vsb:start", "MAIN.vsb", "start"},
      {"MAIN.vsb", "MAIN.vsb", ""},
      {"a:b.vsb", "a:b.vsb", ""},  // the last separator is the dot
      {"dir\\page:", "dir\\page", ""},
      {"page:" + kSo, "page", kSo},
      {"x" + kSo + "y", "x" + kSo + "y", ""},  // the trail backslash is not a separator
      {"", "", ""},
  };
  for (const Case& c : cases) {
    std::string name = c.name;
    EXPECT_EQ(SplitColonSuffix(name), c.suffix) << c.name;
    EXPECT_EQ(name, c.rest) << c.name;
  }
}

}  // namespace
}  // namespace vorn
