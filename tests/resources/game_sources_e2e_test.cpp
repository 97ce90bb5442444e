// Where the player finds its game, through the real executables: an archive appended to the
// player by vornpack (run with no arguments), a packed game.dat in the game folder, a folder
// whose names on disk differ in case from the names the scripts use; and the temporary folders
// of the run: none outlives it, a crashed player's is swept, a running player's is left alone.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "resources/cp932.h"
#include "resources/file_stream.h"
#include "resources/private_temp_folder.h"
#include "support/game_folder.h"
#include "support/player_process.h"
#include "support/temp_owner.h"

namespace vorn {
namespace {

namespace fs = std::filesystem;
using test::ProcessResult;
using test::RunProcess;
using test::TempFolder;

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A game whose files on disk are spelled otherwise than its project and scripts name them:
// the project names start page "main.vsb", main calls "data\COUNT.vsb"; on disk they are
// VORN.VPB, Main.VSB and Data/Count.vsb.
void WriteMixedCaseGame(const std::string& folder) {
  testing::GameSpec game;
  game.pages["main.vsb"] =
      "VarNew n; type: int; value: 1\n"
      "VarNew s; type: string; value: \"start\"\n"
      "Call page: \"data\\\\COUNT.vsb\"; result: r\n"
      "Calc s = s ++ \"-back\"\n";
  game.pages["data\\count.vsb"] = "Calc n = n + 41\n";
  TempFolder plain;
  testing::GameSpec projectOnly = game;
  projectOnly.pages.clear();
  testing::WriteGameFolder(plain.Path(), projectOnly);
  fs::create_directories(folder);
  fs::copy_file(plain.File("vorn.vpb"), folder + "/VORN.VPB");
  auto pages = testing::CompilePages(game.pages);
  WriteBytes(folder + "/Main.VSB", pages.at("main.vsb"));
  WriteBytes(folder + "/Data/Count.vsb", pages.at("data\\count.vsb"));
}

const char kExpectedVars[] = "n\tint\t42\ns\tstring\tstart-back\nr\tint\t0\n";

ProcessResult Pack(const std::vector<std::string>& args) { return RunProcess(VORN_PACK_EXE, args); }

// Runs the player headless for a few frames; the game folder (if any) comes last.
ProcessResult Play(const std::string& exe, const std::string& dump, const std::vector<std::string>& game,
                   const test::ProcessOptions& options = {}) {
  std::vector<std::string> args = {"--headless", "--frames", "3", "--dump-vars", dump};
  args.insert(args.end(), game.begin(), game.end());
  return RunProcess(exe, args, options);
}

TEST(GameSources, MixedCaseFolderPackedGameDatAndAppendedExecutableRunTheSameGame) {
  TempFolder source, dat, exeDir, out;
  WriteMixedCaseGame(source.Path());

  // The folder itself: every name is found case-insensitively.
  ProcessResult folder = Play(VORN_PLAYER_EXE, out.File("folder.txt"), {source.Path()});
  EXPECT_EQ(folder.exitStatus, 0) << folder.err;
  EXPECT_EQ(test::ReadTextFile(out.File("folder.txt")), kExpectedVars);

  // game.dat packed from that folder, alone in the game folder.
  ProcessResult packed = Pack({"pack", source.Path(), dat.File("game.dat")});
  ASSERT_EQ(packed.exitStatus, 0) << packed.err;
  EXPECT_EQ(fs::directory_iterator(dat.Path())->path().filename(), "game.dat");
  ProcessResult fromDat = Play(VORN_PLAYER_EXE, out.File("dat.txt"), {dat.Path()});
  EXPECT_EQ(fromDat.exitStatus, 0) << fromDat.err;
  EXPECT_EQ(test::ReadTextFile(out.File("dat.txt")), kExpectedVars);

  // The player with the archive appended, alone in its folder and started with no folder.
  const std::string exe = exeDir.File("demo-player");
  ProcessResult appended = Pack({"append", VORN_PLAYER_EXE, source.Path(), exe});
  ASSERT_EQ(appended.exitStatus, 0) << appended.err;
  const std::string tail = test::ReadTextFile(exe).substr(fs::file_size(exe) - 2);
  EXPECT_EQ(tail, "vz");
  ProcessResult fromExe = Play(exe, out.File("exe.txt"), {});
  EXPECT_EQ(fromExe.exitStatus, 0) << fromExe.err;
  EXPECT_EQ(test::ReadTextFile(out.File("exe.txt")), kExpectedVars);

  // The same executable given a folder plays that folder's game instead.
  TempFolder other;
  testing::GameSpec g;
  g.pages["main.vsb"] = "VarNew other; type: flag; value: TRUE\n";
  testing::WriteGameFolder(other.Path(), g);
  ProcessResult withFolder = Play(exe, out.File("other.txt"), {other.Path()});
  EXPECT_EQ(withFolder.exitStatus, 0) << withFolder.err;
  EXPECT_EQ(test::ReadTextFile(out.File("other.txt")), "other\tflag\tTRUE\n");
}

TEST(GameSources, AnExecutableWithoutInstallationDataAsksForAReinstall) {
  // The game lies beside a copy of the player, but no install.dat says it was installed.
  TempFolder exeDir, out;
  WriteMixedCaseGame(exeDir.Path());
  const std::string exe = exeDir.File("player");
  fs::copy_file(VORN_PLAYER_EXE, exe);
  fs::permissions(exe, fs::perms::owner_exec, fs::perm_options::add);
  ProcessResult run = Play(exe, out.File("vars.txt"), {});
  EXPECT_EQ(run.exitStatus, 1);
  EXPECT_NE(run.err.find("dialog: " + Cp932ToUtf8("\x83\x43\x83\x93\x83\x58\x83\x67\x81\x5B\x83\x8B"
                                                   "\x82\xB5\x92\xBC\x82\xB5\x82\xC4\x82\xAD\x82\xBE"
                                                   "\x82\xB3\x82\xA2")),
            std::string::npos)
      << run.err;
}

TEST(GameSources, NoTemporaryFolderOutlivesTheRunAndOnlyAbandonedOnesAreSwept) {
  TempFolder game, tmp, out;
  WriteMixedCaseGame(game.Path());
  test::TempFolderOwner crashed(tmp.Path());
  test::TempFolderOwner running(tmp.Path());  // another player, running all along
  crashed.Crash();
  test::BackdateFolder(crashed.Folder());
  test::BackdateFolder(running.Folder());

  test::ProcessOptions options;
  options.setEnv = {{"TMPDIR", tmp.Path()}};
  ProcessResult r = Play(VORN_PLAYER_EXE, out.File("v.txt"), {game.Path()}, options);
  EXPECT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(test::ReadTextFile(out.File("v.txt")), kExpectedVars);
  EXPECT_FALSE(fs::exists(crashed.Folder()));
  EXPECT_EQ(test::ReadTextFile(running.CopyPath()), "MThd");
  // Nothing of the run itself is left: the per-user folder holds the other player's only.
  const std::string root = TempFolderRoot(tmp.Path());
  EXPECT_EQ(disk::ListDirectory(tmp.Path()), std::vector<std::string>{fs::path(root).parent_path().filename()});
  EXPECT_EQ(disk::ListDirectory(root).size(), 1u);
  running.End();
  EXPECT_TRUE(disk::ListDirectory(tmp.Path()).empty());
}

}  // namespace
}  // namespace vorn
