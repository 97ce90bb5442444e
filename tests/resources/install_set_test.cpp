// install.dat: written at 108 and read back byte-identical; older versions read with their
// gates; short and damaged files raise the format error and leave the record alone.
#include "resources/install_set.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "support/install_set_writer.h"
#include "resources/error.h"
#include "resources/stream.h"

namespace vorn {
namespace {

using testing::WriteInstallSetVersion;

TVornInstallSet Sample() {
  TVornInstallSet s;
  s.diskNumber = 2;
  s.title = "\x83\x51\x81\x5b\x83\x80";  // ゲーム
  s.settings = {"C:\\Program Files\\", "setup", ""};
  s.option7 = 1;
  s.string8 = "group";
  s.option9 = 2;
  s.string11 = "eleven";
  s.value12 = -12;
  s.option13 = 13;
  s.option14 = 14;
  s.string15 = "fifteen";
  s.string16 = "";
  s.sizes = {{{1, 5000000000LL}, {2, 3}, {4, 5}, {6, 0x7FFFFFFF}}};
  s.totals = {10, 20, 30, 6000000000LL};
  s.option19 = 19;
  s.option20 = 20;
  s.installedFiles = {"DATA\\a.gal", "vorn.vpb"};
  s.fullInstall = 1;
  s.option23 = 23;
  s.option24 = 24;
  s.secondList = {"x", "", "y"};
  s.string26 = "twenty-six";
  s.string27 = "27";
  s.string28 = "28";
  return s;
}

TVornInstallSet Read(const std::vector<uint8_t>& bytes) {
  MemoryView v(bytes);
  TVornInstallSet s;
  s.LoadFromStream(v);
  EXPECT_EQ(v.Remaining(), 0) << "bytes left after the record";
  return s;
}

TEST(InstallSet, WrittenAt108AndReadBackByteIdentical) {
  MemoryStream out;
  Sample().SaveToStream(out);
  EXPECT_EQ(std::string(out.Data().begin(), out.Data().begin() + 5), "is108");
  EXPECT_EQ(out.Data(), WriteInstallSetVersion(Sample(), 108));  // the independent writer agrees

  TVornInstallSet back = Read(out.Data());
  EXPECT_EQ(back.version, 108);
  MemoryStream again;
  back.SaveToStream(again);
  EXPECT_EQ(again.Data(), out.Data());
  EXPECT_EQ(back.sizes[0][1], 5000000000LL);
  EXPECT_EQ(back.secondList.size(), 3u);  // the second list keeps empty strings
}

TEST(InstallSet, OlderVersionsReadOnlyTheirFields) {
  struct Case {
    int version;
    size_t files;
    uint8_t full, option20, option24;
    size_t secondList;
    std::string string26;
  } cases[] = {
      {0, 0, 0, 0, 0, 0, ""},       {99, 0, 0, 0, 0, 0, ""},     {100, 0, 0, 0, 0, 0, ""},
      {101, 0, 0, 20, 0, 0, ""},    {102, 2, 0, 20, 0, 0, ""},   {103, 2, 1, 20, 0, 0, ""},
      {105, 2, 1, 20, 24, 0, ""},   {106, 2, 1, 20, 24, 3, ""},  {107, 2, 1, 20, 24, 3, "twenty-six"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    TVornInstallSet s = Read(WriteInstallSetVersion(Sample(), c.version));
    EXPECT_EQ(s.version, c.version);
    EXPECT_EQ(s.diskNumber, 2);
    EXPECT_EQ(s.title, Sample().title);
    EXPECT_EQ(s.option19, 19);
    EXPECT_EQ(s.installedFiles.size(), c.files);
    EXPECT_EQ(s.fullInstall, c.full);
    EXPECT_EQ(s.option20, c.option20);
    EXPECT_EQ(s.option24, c.option24);
    EXPECT_EQ(s.secondList.size(), c.secondList);
    EXPECT_EQ(s.string26, c.string26);
    EXPECT_EQ(s.string28, "");
    // Before 100 sizes are 32-bit: the low half only.
    EXPECT_EQ(s.sizes[0][1], c.version >= 100 ? 5000000000LL : int64_t{705032704});
    EXPECT_EQ(s.totals[3], c.version >= 100 ? 6000000000LL : int64_t{1705032704});
  }
}

TEST(InstallSet, EmptyInstalledNamesAreSkippedAndLookupsFoldCase) {
  TVornInstallSet src = Sample();
  src.installedFiles = {"a.txt", "", "B.TXT"};
  TVornInstallSet s = Read(WriteInstallSetVersion(src, 108));
  ASSERT_EQ(s.installedFiles.size(), 2u);
  EXPECT_EQ(s.IndexOfFile("b.txt"), 1);
  EXPECT_EQ(s.IndexOfFile("c.txt"), -1);
  s.AddFile("A.TXT");
  EXPECT_EQ(s.installedFiles.size(), 2u);
  s.AddFile("c.txt");
  EXPECT_EQ(s.IndexOfFile("C.TXT"), 2);
}

TEST(InstallSet, VersionDigitsThatAreNotANumberReadAsVersion0Layout) {
  std::vector<uint8_t> bytes = WriteInstallSetVersion(Sample(), 0);
  const uint8_t magic[] = {'i', 's', '1', 'x', '8'};
  bytes.insert(bytes.begin(), magic, magic + 5);
  TVornInstallSet s = Read(bytes);
  EXPECT_EQ(s.version, 0);
  EXPECT_EQ(s.title, Sample().title);
}

TEST(InstallSet, TruncatedAndDamagedFilesRaiseAndLeaveTheRecord) {
  const std::vector<uint8_t> good = WriteInstallSetVersion(Sample(), 108);
  for (size_t cut = 0; cut < good.size(); ++cut) {
    std::vector<uint8_t> part(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut));
    MemoryView v(part);
    TVornInstallSet s;
    s.title = "kept";
    EXPECT_THROW(s.LoadFromStream(v), EFormatError) << cut;
    EXPECT_EQ(s.title, "kept");
  }
  // A huge size-record count must fail before anything is allocated for it.
  std::vector<uint8_t> bad = good;
  size_t countAt = 5 + 4 + (4 + Sample().title.size()) + (4 + 17) + (4 + 5) + 4 + 1 + (4 + 5) + 1;
  ASSERT_EQ(bad[countAt], 2);  // the record count of the sample
  bad[countAt + 3] = 0x7F;
  MemoryView v(bad);
  TVornInstallSet s;
  EXPECT_THROW(s.LoadFromStream(v), EFormatError);
  // A negative list count likewise.
  std::vector<uint8_t> garbage(64, 0xFF);
  MemoryView g(garbage);
  EXPECT_THROW(s.LoadFromStream(g), EFormatError);
}

TEST(InstallSet, FileRoundTripIsAtomic) {
  auto dir = std::filesystem::temp_directory_path() / ("vorn_install_" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  std::string path = (dir / "install.dat").string();
  Sample().SaveToFile(path);
  TVornInstallSet s;
  s.LoadFromFile(path);
  EXPECT_EQ(s.installedFiles, Sample().installedFiles);
  size_t entries = 0;
  for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(dir)) ++entries;
  EXPECT_EQ(entries, 1u);  // no temporary file left behind
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace vorn
