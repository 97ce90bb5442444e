// The virtual file manager: lookup order, case-insensitive names on disk, refused names,
// temporary copies and their lifetime, ranges, listings, disks and the installation search.
#include "resources/vr_file_manager.h"

#include <gtest/gtest.h>

#include <deque>

#include "resources/error.h"
#include "resources/install_set.h"
#include "support/archive_fixture.h"

namespace vorn {
namespace {

using namespace disk;

using test::ArchiveFixtureEntry;
using test::Bytes;
using test::ScratchFolder;

std::string Text(const std::vector<uint8_t>& b) { return std::string(b.begin(), b.end()); }

struct Fixture {
  ScratchFolder dir;
  ScratchFolder tmp;
  EngineState state;
  VrFileManagerOptions Options() {
    VrFileManagerOptions o;
    o.tempParent = tmp.Path();
    o.cdRoots = std::vector<std::string>{};
    o.executablePath = dir.Path() + "player";
    return o;
  }
  std::string Archive(const std::string& file, std::vector<ArchiveFixtureEntry> entries) {
    return dir.Write(file, test::FixtureArchiveBytes(entries, 102));
  }
};

TEST(VrFileManager, LookupOrder) {
  Fixture f;
  f.dir.Write("base/both.txt", "from disk");
  std::string a1 = f.Archive("one.dat", {{"both.txt", Bytes("from archive"), false, 0, true},
                                         {"twice.txt", Bytes("first"), true, 0, true},
                                         {"mem.txt", Bytes("archived"), true, 0, true}});
  std::string a2 = f.Archive("two.dat", {{"twice.txt", Bytes("second"), true, 0, true}});
  TVrFileManager m(f.state, f.Options());
  m.AddArchive("");
  m.MemoryCollection()->AddMemoryFile("mem.txt")->Memory->Write("in memory", 9);
  EXPECT_EQ(m.AddArchive(a1), 1);
  EXPECT_EQ(m.AddArchive(a2), 2);
  EXPECT_EQ(m.AddArchive(a2), -1);
  EXPECT_EQ(m.AddArchive(""), -1);
  m.SetBaseFolder(f.dir.Path() + "base");

  EXPECT_EQ(Text(m.LoadBytes("both.txt")), "from disk");
  EXPECT_EQ(Text(m.LoadBytes("twice.txt")), "first");
  EXPECT_EQ(Text(m.LoadBytes("mem.txt")), "in memory");
  EXPECT_TRUE(m.FileExists("BOTH.TXT"));
  EXPECT_FALSE(m.FileExists(""));
  EXPECT_FALSE(m.FileExists("none.txt"));
  try {
    m.LoadBytes("none.txt");
    ADD_FAILURE();
  } catch (const EVornError& e) {
    EXPECT_EQ(std::string(e.what()), "none.txt:\x83t\x83@\x83\x43\x83\x8B\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1");
  }
  // A non-memory target receives the bytes too, position 0 afterwards.
  TTpBigMemoryStream target;
  m.LoadFile(target, "twice.txt");
  EXPECT_EQ(target.Position(), 0);
  EXPECT_EQ(target.Size(), 5);
}

TEST(VrFileManager, NamesMatchCaseInsensitivelyAndMapToUtf8OnDisk) {
  Fixture f;
  f.dir.Write("game/Data/Bg.TXT", "bg");
  f.dir.Write("game/\xE7\x94\xBB\xE5\x83\x8F/Pic.txt", "kanji folder");  // 画像 in UTF-8
  f.dir.Write("secret.txt", "outside");
  TVrFileManager m(f.state, f.Options());
  m.SetBaseFolder(f.dir.Path() + "game");
  EXPECT_EQ(Text(m.LoadBytes("data\\bg.txt")), "bg");
  EXPECT_EQ(Text(m.LoadBytes("DATA/BG.txt")), "bg");
  EXPECT_EQ(Text(m.LoadBytes("\x89\xE6\x91\x9C\\pic.TXT")), "kanji folder");
  // A file that appears later is found although the folder listing was cached.
  f.dir.Write("game/Data/New.txt", "new");
  EXPECT_EQ(Text(m.LoadBytes("data\\new.txt")), "new");
  for (const char* refused : {"..\\secret.txt", "data\\..\\..\\secret.txt", "\\etc\\passwd", "/etc/passwd",
                              "C:\\secret.txt"}) {
    EXPECT_FALSE(m.FileExists(refused)) << refused;
    EXPECT_THROW(m.LoadBytes(refused), EVornError) << refused;
  }
  std::vector<std::string> list;
  m.ListFiles("data", list);
  std::sort(list.begin(), list.end());
  EXPECT_EQ(list, (std::vector<std::string>{"data\\Bg.TXT", "data\\New.txt"}));
}

TEST(VrFileManager, TemporaryCopiesLiveInAPrivateFolderAndDieWithTheManager) {
  Fixture f;
  std::string a = f.Archive("game.dat", {{"bgm\\song.mid", Bytes("MThd..."), false, 0, true},
                                         {"voice.ogg", Bytes("OggS"), true, 0, true}});
  std::string first, second, folder;
  {
    TVrFileManager m(f.state, f.Options());
    m.AddArchive("");
    m.AddArchive(a);
    first = m.GetLocalFileName("bgm\\song.mid");
    folder = m.TempFolder();
    EXPECT_EQ(first, folder + "~vz00000000.mid");
    EXPECT_EQ(m.GetLocalFileName("bgm\\song.mid"), first);  // made once
    second = m.GetLocalFileName("voice.ogg");
    EXPECT_EQ(second, folder + "~vz00000001.ogg");
    EXPECT_EQ(FileSizeOf(first), 7);
    EXPECT_EQ(m.GetLocalFileName("nowhere.wav"), "nowhere.wav");

    // A second manager (another player) has its own folder; ending it leaves ours alone.
    {
      TVrFileManager other(f.state, f.Options());
      other.AddArchive(a);
      std::string theirs = other.GetLocalFileName("bgm\\song.mid");
      EXPECT_NE(theirs, first);
      EXPECT_NE(other.TempFolder(), folder);
    }
    EXPECT_TRUE(PathExists(first));
    m.Age(15);
    EXPECT_TRUE(PathExists(first));
  }
  EXPECT_FALSE(PathExists(first));
  EXPECT_FALSE(PathExists(second));
  EXPECT_FALSE(PathExists(folder));
  EXPECT_TRUE(ListDirectory(f.tmp.Path()).empty());
}

TEST(VrFileManager, AFailedCopyLeavesNoFileAndNoRecord) {
  Fixture f;
  auto bytes = test::FixtureArchiveBytes({{"bad.mid", std::vector<uint8_t>(500, 'x'), false, 0, true}}, 102);
  bytes[bytes.size() - 5] ^= 0xFF;  // damage the zlib stream's checksum
  std::string a = f.dir.Write("game.dat", bytes);
  TVrFileManager m(f.state, f.Options());
  m.AddArchive(a);
  EXPECT_THROW(m.GetLocalFileName("bad.mid"), EFormatError);
  EXPECT_TRUE(ListDirectory(m.TempFolder()).empty());
  EXPECT_THROW(m.GetLocalFileName("bad.mid"), EFormatError);  // tried again, not a stale record
}

TEST(VrFileManager, RangesOverDiskFilesAndEntries) {
  Fixture f;
  f.dir.Write("base/disk.bin", "0123456789");
  std::string a = f.Archive("game.dat", {{"a.ogg", Bytes("OggS-data"), true, 0, true}, {"zero", {}, true, 0, true}});
  TVrFileManager m(f.state, f.Options());
  m.AddArchive(a);
  m.SetBaseFolder(f.dir.Path() + "base");
  auto r = m.OpenRange("DISK.BIN");
  EXPECT_EQ(r->Size(), 10);
  auto e = m.OpenRange("a.ogg");
  std::string got(9, '\0');
  EXPECT_EQ(e->Read(got.data(), 9), 9u);
  EXPECT_EQ(got, "OggS-data");
  EXPECT_EQ(m.OpenRange("zero")->Size(), 0);
  EXPECT_THROW(m.OpenRange("none"), EVornError);
  // A range outlives the removal of its archive from the list.
  m.Clear();
  e->Seek(0);
  EXPECT_EQ(e->Read(got.data(), 4), 4u);
}

TEST(VrFileManager, FolderOf) {
  EXPECT_EQ(TVrFileManager::FolderOf("a\\b\\c.txt"), "a\\b\\");
  EXPECT_EQ(TVrFileManager::FolderOf("c.txt"), "");
  EXPECT_EQ(TVrFileManager::FolderOf("\x95\x5C.txt"), "");  // 0x5C is a trail byte here
  EXPECT_EQ(TVrFileManager::FolderOf("C:x.txt"), "C:");
}

TEST(VrFileManager, StartupFindsTheArchiveAppendedToTheExecutable) {
  Fixture f;
  std::vector<uint8_t> exe(4096, 0x90);
  auto archive = test::FixtureArchiveBytes({{"vorn.vpb", Bytes("project"), false, 0, true}}, 102);
  int64_t start = static_cast<int64_t>(exe.size());
  exe.insert(exe.end(), archive.begin(), archive.end());
  MemoryStream trailer;
  WriteExecutableTrailer(trailer, start);
  exe.insert(exe.end(), trailer.Data().begin(), trailer.Data().end());
  f.dir.Write("player", exe);
  TVrFileManager m(f.state, f.Options());
  m.RegisterStartupSources({});
  EXPECT_EQ(m.CollectionCount(), 2);
  EXPECT_EQ(m.BaseFolder(), f.dir.Path());
  EXPECT_EQ(Text(m.LoadBytes("vorn.vpb")), "project");

  // With arguments: the first is the base folder, each one's game.dat is added.
  f.Archive("g2/game.dat", {{"x.txt", Bytes("x"), true, 0, true}});
  TVrFileManager n(f.state, f.Options());
  n.RegisterStartupSources({f.dir.Path() + "g2"});
  EXPECT_EQ(Text(n.LoadBytes("x.txt")), "x");
}

TEST(VrFileManager, CdRootsComeFromTheMountTable) {
  Fixture f;
  f.dir.Write("mountinfo",
              "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
              "40 22 11:0 / /media/user/GAME\\040DISC ro,relatime shared:2 - iso9660 /dev/sr0 ro\n"
              "41 22 11:1 / /mnt/dvd ro - udf /dev/sr1 ro\n");
  VrFileManagerOptions o = f.Options();
  o.cdRoots.reset();
  o.mountInfoPath = f.dir.Path() + "mountinfo";
  TVrFileManager m(f.state, o);
  EXPECT_EQ(m.CdRoots(), (std::vector<std::string>{"/media/user/GAME DISC/", "/mnt/dvd/"}));
}

class ScriptedPrompter : public DiskPrompter {
 public:
  std::deque<bool> answers;
  std::vector<std::string> texts;
  int closes = 0;
  bool ConfirmOkCancel(const std::string& text, const std::string&) override {
    texts.push_back(text);
    bool a = answers.empty() ? false : answers.front();
    if (!answers.empty()) answers.pop_front();
    return a;
  }
  void Inform(const std::string& text, const std::string&) override { texts.push_back(text); }
  void RequestClose() override { ++closes; }
};

void WriteInstall(const std::string& path, const std::string& title, int disk, bool full) {
  TVornInstallSet s;
  s.title = title;
  s.diskNumber = disk;
  s.fullInstall = full ? 1 : 0;
  s.SaveToFile(path);
}

TEST(VrFileManager, ChangeDiskWithoutDrivesAsksUntilTheUserQuits) {
  Fixture f;
  TVrFileManager m(f.state, f.Options());
  ScriptedPrompter p;
  // OK (no disc), Cancel then Cancel on the exit question, OK again, Cancel then OK: quit.
  p.answers = {true, false, false, true, false, true};
  m.SetPrompter(&p);
  m.SetProjectTexts({"Title", "App", "Insert disk %d", "Quit?"});
  EXPECT_FALSE(m.ChangeDisk(2));
  EXPECT_TRUE(f.state.TerminateRequested);
  EXPECT_EQ(p.closes, 1);
  EXPECT_EQ(p.texts, (std::vector<std::string>{"Insert disk 2", "Insert disk 2", "Quit?", "Insert disk 2",
                                               "Insert disk 2", "Quit?"}));
}

TEST(VrFileManager, MountDiskAddsTheMatchingDisc) {
  Fixture f;
  f.Archive("cd/GAME.DAT", {{"disk2.txt", Bytes("on disc 2"), true, 0, true}});
  WriteInstall(f.dir.Path() + "cd/install.dat", "Title", 1, false);
  VrFileManagerOptions o = f.Options();
  o.cdRoots = std::vector<std::string>{f.dir.Path() + "cd"};
  TVrFileManager m(f.state, o);
  ScriptedPrompter p;
  p.answers = {true};
  m.SetPrompter(&p);
  m.SetProjectTexts({"Other", "App", "", ""});
  EXPECT_FALSE(m.MountDisk(1));  // another project's disc
  m.SetProjectTexts({"Title", "App", "", ""});
  EXPECT_FALSE(m.MountDisk(0));  // the wrong disc of the set
  EXPECT_TRUE(m.ChangeDisk(2));
  EXPECT_EQ(Text(m.LoadBytes("disk2.txt")), "on disc 2");
  EXPECT_FALSE(f.state.TerminateRequested);
}

TEST(VrFileManager, LocateInstallation) {
  Fixture f;
  ScriptedPrompter p;
  {
    TVrFileManager m(f.state, f.Options());
    m.SetPrompter(&p);
    m.AddArchive("");
    EXPECT_FALSE(m.LocateInstallation());  // no install.dat anywhere
    EXPECT_EQ(p.texts.back(), "\x83\x43\x83\x93\x83X\x83g\x81[\x83\x8B\x82\xB5\x92\xBC\x82\xB5\x82\xC4\x82\xAD\x82\xBE\x82\xB3\x82\xA2");
  }
  WriteInstall(f.dir.Path() + "install.dat", "Title", 0, true);
  f.Archive("game.dat", {{"vorn.vpb", Bytes("installed"), true, 0, true}});
  TVrFileManager m(f.state, f.Options());
  m.SetPrompter(&p);
  m.AddArchive("");
  EXPECT_TRUE(m.LocateInstallation());
  EXPECT_EQ(m.BaseFolder(), f.dir.Path());
  EXPECT_EQ(Text(m.LoadBytes("vorn.vpb")), "installed");
}

}  // namespace
}  // namespace vorn
