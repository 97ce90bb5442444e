// vornpack as a program: pack, list, extract and verify round trip; a damaged byte named by
// file and entry; extraction refusing names that leave the target folder; bad usage.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "resources/archive.h"
#include "resources/install_set.h"
#include "support/archive_fixture.h"
#include "support/player_process.h"

namespace vorn {
namespace {

namespace fs = std::filesystem;
using test::ProcessResult;
using test::RunProcess;
using test::ScratchFolder;

ProcessResult Pack(const std::vector<std::string>& args) { return RunProcess(VORN_PACK_EXE, args); }

// Every file below a folder, relative path -> content.
std::map<std::string, std::string> Tree(const std::string& folder) {
  std::map<std::string, std::string> out;
  for (const auto& e : fs::recursive_directory_iterator(folder)) {
    if (e.is_regular_file()) out[fs::relative(e.path(), folder).string()] = test::ReadTextFile(e.path().string());
  }
  return out;
}

// A game folder with a compressible text, a file too small to gain from compression, a
// media file that is always stored, an empty file and a Japanese folder name.
std::map<std::string, std::string> WriteSampleGame(const ScratchFolder& dir) {
  std::string text;
  for (int i = 0; i < 20; ++i) text += "line " + std::to_string(i) + " of the script\n";
  std::string media(3000, '\0');
  for (size_t i = 0; i < media.size(); ++i) media[i] = static_cast<char>(i * 7);
  const std::map<std::string, std::string> files = {
      {"readme.txt", text},
      {"tiny.bin", "ab"},
      {"Music/Theme.ogg", media},
      {"empty.dat", ""},
      {"\xE7\x94\xBB\xE5\x83\x8F/bg.txt", text + text},  // 画像/bg.txt
  };
  for (const auto& [name, content] : files) dir.Write("game/" + name, content);
  return files;
}

TEST(Vornpack, PackListExtractVerifyRoundTrip) {
  ScratchFolder dir;
  auto files = WriteSampleGame(dir);
  ProcessResult packed = Pack({"pack", dir.Path() + "game", dir.Path() + "game.dat"});
  ASSERT_EQ(packed.exitStatus, 0) << packed.err;
  EXPECT_EQ(packed.out, dir.Path() + "game.dat: 5 entries\n");

  ProcessResult list = Pack({"list", dir.Path() + "game.dat"});
  ASSERT_EQ(list.exitStatus, 0) << list.err;
  EXPECT_NE(list.out.find("version 102, 5 entries"), std::string::npos) << list.out;
  auto lineOf = [&](const std::string& name) {
    std::istringstream in(list.out);
    for (std::string line; std::getline(in, line);) {
      if (line.size() >= name.size() && line.compare(line.size() - name.size(), name.size(), name) == 0) return line;
    }
    return std::string("(missing) ") + name;
  };
  EXPECT_NE(lineOf(" readme.txt").find(" zlib "), std::string::npos) << list.out;
  EXPECT_NE(lineOf(" tiny.bin").find("           2 stored"), std::string::npos) << list.out;
  EXPECT_NE(lineOf(" Music\\Theme.ogg").find("        3000 stored"), std::string::npos) << list.out;
  EXPECT_NE(lineOf(" empty.dat").find("           0 "), std::string::npos) << list.out;
  EXPECT_NE(lineOf(" \xE7\x94\xBB\xE5\x83\x8F\\bg.txt").find(" zlib "), std::string::npos) << list.out;

  ProcessResult verify = Pack({"verify", dir.Path() + "game.dat"});
  EXPECT_EQ(verify.exitStatus, 0) << verify.err;
  EXPECT_EQ(verify.out, dir.Path() + "game.dat: 5 entries OK\n");

  ProcessResult extract = Pack({"extract", dir.Path() + "game.dat", dir.Path() + "out"});
  ASSERT_EQ(extract.exitStatus, 0) << extract.err;
  EXPECT_EQ(Tree(dir.Path() + "out"), files);

  // The appended form carries the same archive behind a copy of the program it is given.
  dir.Write("player", std::string(5000, 'P'));
  ASSERT_EQ(Pack({"append", dir.Path() + "player", dir.Path() + "game", dir.Path() + "player.exe"}).exitStatus, 0);
  EXPECT_EQ(test::ReadTextFile(dir.Path() + "player.exe").substr(0, 5000), std::string(5000, 'P'));
  EXPECT_TRUE(fs::status(dir.Path() + "player.exe").permissions() == (fs::status(dir.Path() + "player.exe").permissions() | fs::perms::owner_exec));
  ProcessResult extractExe = Pack({"extract", dir.Path() + "player.exe", dir.Path() + "out2"});
  ASSERT_EQ(extractExe.exitStatus, 0) << extractExe.err;
  // A folder without install.dat gets a full-install record, so the player runs it unasked.
  auto extracted = Tree(dir.Path() + "out2");
  ASSERT_EQ(extracted.count("install.dat"), 1u);
  MemoryStream record(std::vector<uint8_t>(extracted["install.dat"].begin(), extracted["install.dat"].end()));
  TVornInstallSet set;
  set.LoadFromStream(record);
  EXPECT_EQ(set.fullInstall, 1);
  extracted.erase("install.dat");
  EXPECT_EQ(extracted, files);
  EXPECT_EQ(Pack({"verify", dir.Path() + "player.exe"}).exitStatus, 0);
}

TEST(Vornpack, VerifyNamesTheFileAndTheDamagedEntry) {
  ScratchFolder dir;
  WriteSampleGame(dir);
  const std::string archive = dir.Path() + "game.dat";
  ASSERT_EQ(Pack({"pack", dir.Path() + "game", archive}).exitStatus, 0);
  TVrFileCollection c;
  c.OpenArchive(archive);
  const TVrFile* stored = c.Find("music\\theme.ogg");
  const TVrFile* compressed = c.Find("readme.txt");
  ASSERT_TRUE(stored && compressed);
  const int64_t storedAt = stored->Offset + 100, compressedAt = compressed->Offset + compressed->Size / 2;
  c.OpenArchive("");  // let go of the file

  std::string bytes = test::ReadTextFile(archive);
  for (int64_t at : {storedAt, compressedAt}) bytes[static_cast<size_t>(at)] ^= 0x20;
  std::ofstream(archive, std::ios::binary | std::ios::trunc) << bytes;
  ProcessResult r = Pack({"verify", archive});
  EXPECT_EQ(r.exitStatus, 1);
  EXPECT_NE(r.err.find(archive + ": entry Music\\Theme.ogg: CRC "), std::string::npos) << r.err;
  EXPECT_NE(r.err.find(archive + ": entry readme.txt: "), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("tiny.bin"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("2 of 5 entries damaged"), std::string::npos) << r.err;
}

TEST(Vornpack, ExtractRefusesNamesThatLeaveTheTargetAndWritesNothing) {
  for (const char* bad : {"..\\escape.txt", "sub\\..\\..\\escape.txt", "\\abs.txt", "/abs.txt", "C:\\drive.txt"}) {
    ScratchFolder dir;
    dir.Write("evil.dat", test::FixtureArchiveBytes({{"fine.txt", test::Bytes("fine"), false, 0, true},
                                                     {bad, test::Bytes("escaped"), true, 0, true}},
                                                    102));
    fs::create_directory(dir.Path() + "out");
    ProcessResult r = Pack({"extract", dir.Path() + "evil.dat", dir.Path() + "out"});
    EXPECT_EQ(r.exitStatus, 1) << bad;
    EXPECT_NE(r.err.find(std::string("entry ") + bad + ": refused name"), std::string::npos) << r.err;
    EXPECT_TRUE(fs::is_empty(dir.Path() + "out")) << bad;
    EXPECT_FALSE(fs::exists(dir.Path() + "escape.txt")) << bad;
  }
}

TEST(Vornpack, BadUsageAndBadInputGiveAClearErrorAndAFailingStatus) {
  ScratchFolder dir;
  dir.Write("notes.txt", "not an archive at all");
  auto truncated = test::FixtureArchiveBytes({{"a.txt", test::Bytes("some text"), false, 0, true}}, 102);
  truncated.resize(12);
  dir.Write("cut.dat", truncated);
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string message;  // part of standard error
  };
  const std::vector<Case> cases = {
      {{}, 2, "usage: vornpack pack FOLDER OUT"},
      {{"unpack", "x"}, 2, "usage:"},
      {{"pack", dir.Path()}, 2, "usage:"},
      {{"list"}, 2, "usage:"},
      {{"verify", "a", "b"}, 2, "usage:"},
      {{"pack", dir.Path() + "missing", dir.Path() + "o.dat"}, 1, dir.Path() + "missing: not a folder"},
      {{"append", dir.Path() + "noplayer", dir.Path(), dir.Path() + "o.exe"}, 1, dir.Path() + "noplayer: cannot open"},
      {{"list", dir.Path() + "none.dat"}, 1, dir.Path() + "none.dat: no such archive file"},
      {{"verify", dir.Path()}, 1, ": no such archive file"},
      {{"extract", dir.Path() + "none.dat"}, 1, "none.dat: no such archive file"},
      {{"list", dir.Path() + "cut.dat"}, 1, "vornpack: "},
      {{"verify", dir.Path() + "notes.txt"}, 1, "vornpack: "},
  };
  for (const Case& c : cases) {
    ProcessResult r = Pack(c.args);
    std::string shown;
    for (const auto& a : c.args) shown += a + " ";
    EXPECT_EQ(r.exitStatus, c.status) << shown << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << shown << r.err;
  }
  EXPECT_FALSE(fs::exists(dir.Path() + "o.dat"));
  EXPECT_FALSE(fs::exists(dir.Path() + "o.exe"));
}

}  // namespace
}  // namespace vorn
