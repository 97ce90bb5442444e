// Tab splitting, string arrays and folder/disk lists with their stream forms, path components.
#include <gtest/gtest.h>

#include "resources/array_string.h"
#include "resources/binary_reader.h"
#include "resources/error.h"
#include "resources/folder_disk_list.h"
#include "resources/path_parser.h"
#include "resources/tab_strings.h"

namespace vorn {
namespace {

const std::string kSo = "\x83\x5c";  // ソ: trail byte 0x5C, a backslash

TEST(TabStrings, SplitsFieldsAsDocumented) {
  struct Case {
    std::string line;
    std::vector<std::string> fields;
  } cases[] = {
      {"a\t", {"a"}},
      {"\tb", {"", "b"}},
      {"a\t\tb", {"a", "", "b"}},
      {"", {}},
      {"\t", {""}},
      {"x" + kSo + "\ty", {"x" + kSo, "y"}},
      {"\x83\t", {"\x83\t"}},  // a lead byte takes the tab as its trail byte
  };
  TTabStrings t;
  for (const Case& c : cases) {
    t.SplitTabs(c.line);
    EXPECT_EQ(t.Fields(), c.fields) << c.line;
  }
  t.SetDelimiter(',');
  t.SplitTabs("1,2");
  EXPECT_EQ(t.Get(1), "2");
  EXPECT_EQ(t.Get(2), "");
  EXPECT_EQ(t.Get(-1), "");
}

TEST(ArrayString, StreamFormRoundTripsAndRejectsBadCounts) {
  TArrayString a;
  a.Add("one");
  a.Add("");
  a.Add(kSo);
  MemoryStream m;
  BinaryWriter w(m);
  a.SaveToStream(w);
  const std::vector<uint8_t> expected = {3, 0, 0, 0, 3, 0, 0, 0, 'o', 'n', 'e', 0, 0, 0, 0, 2, 0, 0, 0, 0x83, 0x5C};
  EXPECT_EQ(m.Data(), expected);
  MemoryView v(m.Data());
  BinaryReader r(v, "test");
  TArrayString b;
  b.LoadFromStream(r);
  EXPECT_EQ(a, b);
  TArrayString c;
  c.Assign(b);
  EXPECT_EQ(c.Get(2), kSo);

  for (const std::vector<uint8_t>& bad : {std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0x7F},
                                          std::vector<uint8_t>{1, 0, 0, 0, 9, 0, 0, 0, 'x'},
                                          std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF}, std::vector<uint8_t>{1, 0}}) {
    MemoryView bv(bad);
    BinaryReader br(bv, "test");
    EXPECT_THROW(c.LoadFromStream(br), EFormatError);
  }
  EXPECT_EQ(c.Count(), 3);  // a failed load leaves the array as it was
}

TEST(FolderDiskList, DiskOfPathFindsTheDeepestListedFolder) {
  TFolderDiskList l;
  l.Add("C:\\Game\\movie", 2);
  l.Add("c:\\game\\", 1);
  l.Add("C:\\Game\\movie\\extra\\", 3);
  struct Case {
    std::string path;
    int32_t disk;
  } cases[] = {
      {"C:\\GAME\\MOVIE\\op.mpg", 2},
      {"c:\\game\\movie\\extra\\a\\b.mpg", 3},
      {"C:\\Game\\save.dat", 1},
      {"C:\\Game", 1},
      {"D:\\other\\x", 0},
      {"", 0},
      {"noslash", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(l.DiskOfPath(c.path), c.disk) << c.path;

  MemoryStream m;
  BinaryWriter w(m);
  l.SaveToStream(w);
  MemoryView v(m.Data());
  BinaryReader r(v, "test");
  TFolderDiskList back;
  back.LoadFromStream(r);
  ASSERT_EQ(back.Count(), 3);
  EXPECT_EQ(back.Get(2), l.Get(2));
  std::vector<uint8_t> truncated(m.Data().begin(), m.Data().end() - 1);
  MemoryView tv(truncated);
  BinaryReader tr(tv, "test");
  EXPECT_THROW(back.LoadFromStream(tr), EFormatError);
}

TEST(PathParser, SplitsIntoComponentsThatJoinBack) {
  struct Case {
    std::string path;
    std::vector<std::string> parts;
  } cases[] = {
      {"C:\\x\\y", {"C:\\", "x\\", "y\\"}},
      {"C:\\x\\y\\", {"C:\\", "x\\", "y\\"}},
      {"\\\\server\\share\\dir", {"\\\\server\\", "share\\", "dir\\"}},
      {"a\\b", {"a\\", "b\\"}},
      {"d" + kSo + "\\e", {"d" + kSo + "\\", "e\\"}},  // the trail 0x5C does not cut
      {"", {}},
  };
  TPathParser p;
  for (const Case& c : cases) {
    p.Split(c.path);
    EXPECT_EQ(p.Parts(), c.parts) << c.path;
    if (!c.path.empty()) {
      EXPECT_EQ(p.Join(), AddTrailingBackslash(c.path));
    }
  }
}

TEST(PathParser, ExpandRelativePathKeepsTheBaseCase) {
  struct Case {
    std::string path, base, want;
  } cases[] = {
      {"..\\a.txt", "C:\\x\\y\\", "C:\\x\\a.txt"},
      {"..\\..\\..\\..\\a", "C:\\x\\", "..\\..\\a"},  // more ".." than components: the rest stays
      {"sub\\a.txt", "C:\\x\\", "C:\\x\\sub\\a.txt"},
      {"\\abs", "C:\\x\\", "\\abs"},
      {"D:\\abs", "C:\\x\\", "D:\\abs"},
      {"a", "C:\\x\\", "a"},
      {"..\\", "C:\\x\\y\\", "C:\\x\\"},
  };
  for (const Case& c : cases) EXPECT_EQ(ExpandRelativePath(c.path, c.base), c.want) << c.path;
}

TEST(PathParser, TrailingBackslash) {
  EXPECT_EQ(AddTrailingBackslash(""), "\\");
  EXPECT_EQ(AddTrailingBackslash("a\\"), "a\\");
  EXPECT_EQ(AddTrailingBackslash("a"), "a\\");
  EXPECT_EQ(AddTrailingBackslash(kSo), kSo + "\\");  // ends in a trail 0x5C, not a backslash
}

}  // namespace
}  // namespace vorn
