// The project file at each version gate, its variables, damaged files, and the project
// description compiler.
#include <gtest/gtest.h>

#include "resources/error.h"
#include "script/page_compiler.h"
#include "script/project_setting.h"
#include "support/project_file_writer.h"

namespace vorn {
namespace {

TProjectSetting Sample(int version) {
  TProjectSetting s;
  s.version = version;
  s.title = "Demo";
  s.screenWidth = 800;
  s.screenHeight = 600;
  s.fullScreenWidth = 1024;
  s.fullScreenHeight = 768;
  s.startPage = "start.vsb";
  s.endPage = "end.vsb";
  s.registryKey = "VornDemo";
  s.idCode = 12345;
  s.keepStatus = true;
  s.reserved106 = 7;
  s.neverAskExtensions = ".avi";
  s.pauseWhenInactive = true;
  s.reserved114 = 9;
  s.toolbarVisible = false;
  s.diskChangeMessage = "disk %d";
  s.exitMessage = "bye";
  s.folders.Add("data\\", 2);
  return s;
}

TEST(ProjectFile, EachVersionGateReadsItsFields) {
  for (int version : {100, 103, 104, 105, 106, 108, 109, 110, 112, 113, 114, 115, 116}) {
    SCOPED_TRACE(version);
    TProjectSetting written = Sample(version);
    auto bytes = testing::WriteProjectFile(written, {});
    EXPECT_EQ(written.SaveToBytes(), bytes);  // the player's writer agrees
    TProjectSetting s;
    s.LoadFromBytes(bytes);
    EXPECT_EQ(s.version, version);
    EXPECT_EQ(s.title, "Demo");
    EXPECT_EQ(s.screenWidth, 800);
    EXPECT_EQ(s.screenHeight, 600);
    EXPECT_EQ(s.fullScreenWidth, 1024);
    EXPECT_EQ(s.fullScreenHeight, 768);
    EXPECT_EQ(s.startPage, "start.vsb");
    EXPECT_EQ(s.endPage, version >= 110 ? "end.vsb" : "");
    EXPECT_EQ(s.registryKey, "VornDemo");
    EXPECT_EQ(s.idCode, 12345);
    EXPECT_EQ(s.keepStatus, version > 103);
    EXPECT_EQ(s.reserved106, version >= 106 ? 7 : 0);
    EXPECT_EQ(s.neverAskExtensions, version >= 109 ? ".avi" : ".wav.wma.ogg.mid");
    EXPECT_EQ(s.pauseWhenInactive, version >= 113);
    EXPECT_EQ(s.reserved114, version >= 114 ? 9 : 0);
    EXPECT_EQ(s.toolbarVisible, version < 116);  // default true, the sample says false
    EXPECT_EQ(s.diskChangeMessage, "disk %d");
    EXPECT_EQ(s.exitMessage, "bye");
    ASSERT_EQ(s.folders.Count(), 1);
    EXPECT_EQ(s.folders.Get(0).disk, 2);
  }
}

TEST(ProjectFile, VariablesOfEveryTypeAndUnknownTypesSkipped) {
  TProjectSetting base = Sample(116);
  std::vector<testing::RawProjectVariable> vars = {
      {1, "count", {0x2A, 0, 0, 0}},
      {2, "ratio", {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}},  // 1.0
      {9, "odd", {}},                                         // no value after the name
      {3, "seen", {1}},
      {0, "none", {}},
      {4, "name", {3, 0, 0, 0, 'a', 'b', 'c'}},
  };
  TProjectSetting s;
  s.LoadFromBytes(testing::WriteProjectFile(base, vars));
  ASSERT_EQ(s.variables.size(), 4u);
  EXPECT_EQ(s.variables[0].name, "count");
  EXPECT_EQ(s.variables[0].intValue, 42);
  EXPECT_EQ(s.variables[1].realValue, 1.0L);
  EXPECT_EQ(s.variables[2].name, "seen");
  EXPECT_TRUE(s.variables[2].flagValue);
  EXPECT_EQ(s.variables[3].strValue, "abc");
  EXPECT_EQ(s.folders.Count(), 1);  // the list after the variables is still found
  TProjectSetting again;
  again.LoadFromBytes(s.SaveToBytes());
  EXPECT_EQ(again.variables, s.variables);
}

TEST(ProjectFile, DefaultsBeforeAnyFile) {
  TProjectSetting s;
  EXPECT_EQ(s.neverAskExtensions, ".wav.wma.ogg.mid");
  EXPECT_TRUE(s.toolbarVisible);
  EXPECT_FALSE(s.keepStatus);
}

TEST(ProjectFile, NewerVersionIsRefusedWithTheMessage) {
  auto bytes = testing::WriteProjectFile(Sample(116), {});
  bytes[0] = 117;
  TProjectSetting s;
  try {
    s.LoadFromBytes(bytes);
    ADD_FAILURE();
  } catch (const EFormatError&) {
    ADD_FAILURE() << "not a format error";
  } catch (const EVornError& e) {
    EXPECT_STREQ(e.what(), kTextUnsupportedVersion);
  }
}

TEST(ProjectFile, DamagedFilesGiveAFormatError) {
  auto bytes = testing::WriteProjectFile(Sample(116), {{4, "s", {1, 0, 0, 0, 'x'}}});
  for (size_t n = 0; n < bytes.size(); ++n) {
    TProjectSetting s;
    std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<long>(n));
    EXPECT_THROW(s.LoadFromBytes(cut), EFormatError) << n;
  }
  // A variable count far beyond the bytes left.
  TProjectSetting s = Sample(116);
  auto good = testing::WriteProjectFile(s, {});
  size_t countAt = good.size() - (4 + 4 + 5 + 4) - 4;  // the folder list follows the count
  good[countAt + 3] = 0x40;
  try {
    TProjectSetting t;
    t.LoadFromBytes(good);
    ADD_FAILURE();
  } catch (const EFormatError& e) {
    EXPECT_NE(std::string(e.what()).find("project variable count"), std::string::npos) << e.what();
  }
}

TEST(ProjectSource, CompilesEveryKey) {
  TProjectSetting s = CompileProjectSource(
      "// demo\n"
      "version = 113\n"
      "title = \"デモ\"\n"
      "screen = 800x600\n"
      "fullscreen = 1024, 768\n"
      "start = start.vsb\n"
      "end = end.vsb\n"
      "registry = VornDemo\n"
      "id = 0x10\n"
      "keepstatus = 1\n"
      "neverask = .wav.ogg\n"
      "pauseinactive = true\n"
      "toolbar = 0\n"
      "diskmessage = \"Insert disk %d\"\n"
      "exitmessage = Bye\n"
      "var int score = 10\n"
      "var real rate = 0.5\n"
      "var flag on = TRUE\n"
      "var string who = \"me\"\n"
      "folder data\\ = 2\n");
  EXPECT_EQ(s.version, 113);
  EXPECT_EQ(s.title, "\x83\x66\x83\x82");
  EXPECT_EQ(s.screenWidth, 800);
  EXPECT_EQ(s.fullScreenHeight, 768);
  EXPECT_EQ(s.idCode, 16);
  EXPECT_TRUE(s.pauseWhenInactive);
  EXPECT_FALSE(s.toolbarVisible);
  ASSERT_EQ(s.variables.size(), 4u);
  EXPECT_EQ(s.variables[1].realValue, 0.5L);
  EXPECT_EQ(s.folders.Get(0).folder, "data\\");
  TProjectSetting back;
  back.LoadFromBytes(s.SaveToBytes());
  EXPECT_EQ(back.variables, s.variables);
  EXPECT_EQ(back.title, s.title);

  try {
    CompileProjectSource("title = x\nscreen = 12\n", "p.vpj");
    ADD_FAILURE();
  } catch (const ECompileError& e) {
    EXPECT_EQ(std::string(e.what()).rfind("p.vpj:2: ", 0), 0u) << e.what();
  }
}

}  // namespace
}  // namespace vorn
