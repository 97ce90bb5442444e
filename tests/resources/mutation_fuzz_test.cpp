// Mutation fuzzing of the resource readers: archive indexes of every version with their
// entries, install.dat of several versions, the executable trailer, and the small stream
// records (string arrays, folder-disk lists). Damaged input may only raise the engine's errors.
#include <gtest/gtest.h>

#include <memory>

#include "resources/archive.h"
#include "resources/array_string.h"
#include "resources/binary_reader.h"
#include "resources/big_stream.h"
#include "resources/folder_disk_list.h"
#include "resources/install_set.h"
#include "resources/stream.h"
#include "support/archive_fixture.h"
#include "support/install_set_writer.h"
#include "support/mutation_fuzz.h"

namespace vorn {
namespace {

using testing::FuzzFormat;

constexpr int kIterations = 3000;
constexpr uint64_t kSeed = 20261211;

std::vector<test::ArchiveFixtureEntry> ArchiveEntries() {
  std::vector<uint8_t> big(3000);
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<uint8_t>(i * 7 / 5);
  return {
      {"vorn.vpb", test::Bytes("project bytes"), false, 0x4A210000, true},
      {"DATA\\bg.gal", big, false, 5, false},
      {"se\\a.wav", test::Bytes("RIFF stored"), true, 0, true},
      {"\x95\x5C\\\x8A\xBF.txt", test::Bytes("kanji"), false, 7, false},
  };
}

// Opens the archive and reads every entry, as the file manager would.
void ReadArchive(const std::vector<uint8_t>& bytes) {
  TVrFileCollection c;
  c.OpenStream(std::make_shared<TTpBigMemoryStream>(bytes));
  for (int i = 0; i < c.Count(); ++i) {
    const TVrFile* e = c.Item(i);
    if (e->Name() == kArchiveSentinel) continue;
    MemoryStream m;
    c.ReadEntryData(m, *e);
  }
}

FuzzFormat ArchiveFormat(int version) {
  return {"archive v" + std::to_string(version), {test::FixtureArchiveBytes(ArchiveEntries(), version)}, ReadArchive};
}

TVornInstallSet SampleSet() {
  TVornInstallSet s;
  s.diskNumber = 2;
  s.title = "\x83\x51\x81\x5b\x83\x80";
  s.settings = {"C:\\Program Files\\", "setup", ""};
  s.string8 = "group";
  s.sizes = {{{1, 5000000000LL}, {2, 3}, {4, 5}, {6, 0x7FFFFFFF}}};
  s.totals = {10, 20, 30, 6000000000LL};
  s.installedFiles = {"DATA\\a.gal", "vorn.vpb"};
  s.secondList = {"x", "", "y"};
  s.string26 = "twenty-six";
  s.string27 = "27";
  return s;
}

FuzzFormat InstallSetFormat() {
  FuzzFormat f{"install.dat", {}, [](const std::vector<uint8_t>& bytes) {
                 MemoryView v(bytes);
                 TVornInstallSet s;
                 s.LoadFromStream(v);
               }};
  for (int version : {0, 100, 101, 102, 103, 106, 107, 108})
    f.seeds.push_back(testing::WriteInstallSetVersion(SampleSet(), version));
  return f;
}

FuzzFormat TrailerFormat() {
  std::vector<uint8_t> exe(64, 0x90);
  MemoryStream out(exe);
  out.Seek(static_cast<int64_t>(exe.size()));
  WriteExecutableTrailer(out, 16);
  return {"executable trailer", {out.Data()}, [](const std::vector<uint8_t>& bytes) {
            TTpBigMemoryStream s(bytes);
            ReadExecutableTrailer(s, "game.exe");
          }};
}

FuzzFormat ArrayStringFormat() {
  TArrayString a;
  a.Add("one");
  a.Add("");
  a.Add("\x82\xa0\x82\xa2");
  MemoryStream m;
  BinaryWriter w(m);
  a.SaveToStream(w);
  return {"string array", {m.Data()}, [](const std::vector<uint8_t>& bytes) {
            MemoryView v(bytes);
            BinaryReader r(v, "strings");
            TArrayString back;
            back.LoadFromStream(r);
          }};
}

FuzzFormat FolderDiskFormat() {
  TFolderDiskList l;
  l.Add("DATA\\", 1);
  l.Add("BGM\\", 2);
  MemoryStream m;
  BinaryWriter w(m);
  l.SaveToStream(w);
  return {"folder disk list", {m.Data()}, [](const std::vector<uint8_t>& bytes) {
            MemoryView v(bytes);
            BinaryReader r(v, "disks");
            TFolderDiskList back;
            back.LoadFromStream(r);
          }};
}

std::vector<FuzzFormat> Formats() {
  std::vector<FuzzFormat> f;
  for (int version : {0, 99, 100, 101, 102}) f.push_back(ArchiveFormat(version));
  f.push_back(InstallSetFormat());
  f.push_back(TrailerFormat());
  f.push_back(ArrayStringFormat());
  f.push_back(FolderDiskFormat());
  return f;
}

TEST(ResourcesMutationFuzz, DamagedFilesRaiseOnlyEngineErrors) {
  testing::RunMutationFuzzAll(Formats(), kIterations, kSeed);
}

}  // namespace
}  // namespace vorn
