// FindFiles on a scratch folder: attribute mapping, extension filter, folder marks, recursion
// that ends on a symbolic-link loop, and clearing read-only.
#include "resources/find_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace vorn {
namespace {

namespace fs = std::filesystem;

class FindFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = (fs::temp_directory_path() / ("vorn_find_" + std::to_string(getpid()))).string() + "/";
    fs::remove_all(root_);
    fs::create_directories(root_ + "sub/deeper");
    for (const char* f : {"a.TXT", "b.dat", ".hidden.txt", "ro.txt", "sub/c.txt", "sub/deeper/d.txt"}) {
      std::ofstream(root_ + f) << "x";
    }
    chmod((root_ + "ro.txt").c_str(), 0444);
    fs::create_directory_symlink(root_, root_ + "sub/loop");  // points back at the root
  }
  void TearDown() override {
    chmod((root_ + "ro.txt").c_str(), 0644);
    fs::remove_all(root_);
  }
  std::vector<std::string> Find(FindFilesOptions o) {
    std::vector<std::string> list;
    FindFiles(root_, o, list);
    for (std::string& s : list) s = s.substr(root_.size());
    return list;
  }
  std::string root_;
};

TEST_F(FindFilesTest, AttributesMapToLinuxProperties) {
  EXPECT_EQ(FileAttributesOf(root_ + "ro.txt"), kFaReadOnly);
  EXPECT_EQ(FileAttributesOf(root_ + ".hidden.txt"), kFaHidden);
  EXPECT_EQ(FileAttributesOf(root_ + "sub"), kFaDirectory);
  EXPECT_EQ(FileAttributesOf(root_ + "b.dat"), 0u);
  EXPECT_EQ(FileAttributesOf(root_ + "missing"), 0u);
}

TEST_F(FindFilesTest, SelectsByMaskPlainFilesAndExtension) {
  struct Case {
    const char* what;
    FindFilesOptions o;
    std::vector<std::string> want;
  } cases[] = {
      {"plain only", {0, true, "", false, false, false, false}, {"a.TXT", "b.dat"}},
      {"hidden bit", {kFaHidden, false, "", false, false, false, false}, {".hidden.txt"}},
      {"read-only and plain, .txt any case", {kFaReadOnly, true, "txt", false, false, false, false}, {"a.TXT", "ro.txt"}},
      {"folders marked", {kFaDirectory, false, ".none", false, true, false, false}, {"sub/"}},
      {"recursive, folders unmarked",
       {kFaDirectory, true, ".txt", false, false, true, false},
       // sub/loop is listed as a folder but not entered again: the walk ends.
       {"a.TXT", "sub", "sub/c.txt", "sub/deeper", "sub/deeper/d.txt", "sub/loop"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Find(c.o), c.want) << c.what;
}

TEST_F(FindFilesTest, ClearAttributesMakesFilesWritable) {
  FindFilesOptions o{kFaReadOnly | kFaHidden, true, "", true, false, false, false};
  Find(o);
  EXPECT_EQ(FileAttributesOf(root_ + "ro.txt"), 0u);
  EXPECT_EQ(FileAttributesOf(root_ + ".hidden.txt"), kFaHidden);  // a name, not an attribute
}

TEST_F(FindFilesTest, ClearListAndMissingFolder) {
  std::vector<std::string> list = {"old"};
  FindFiles(root_ + "nothing-here", {kFaDirectory, true, "", false, false, true, true}, list);
  EXPECT_TRUE(list.empty());
  list = {"old"};
  FindFiles(root_ + "sub/deeper", {0, true, "", false, false, false, false}, list);
  EXPECT_EQ(list, (std::vector<std::string>{"old", root_ + "sub/deeper/d.txt"}));
}

}  // namespace
}  // namespace vorn
