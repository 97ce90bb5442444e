// Archive container: reading every version, writing version 102, the hand-checked layout,
// damaged and truncated archives, the executable trailer, side index and split parts.
#include "resources/archive.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <ctime>

#include "resources/binary_reader.h"
#include "resources/error.h"
#include "resources/zlib_codec.h"
#include "support/archive_fixture.h"

namespace vorn {
namespace {

using namespace disk;

using test::ArchiveFixtureEntry;
using test::Bytes;
using test::ScratchFolder;

std::vector<uint8_t> Repeat(const std::string& s, size_t n) {
  std::vector<uint8_t> out;
  while (out.size() < n) out.insert(out.end(), s.begin(), s.end());
  out.resize(n);
  return out;
}

std::vector<ArchiveFixtureEntry> SampleEntries() {
  return {
      {"script\\start.vsb", Repeat("command ", 200), false, 0x50213456, true},
      {"bgm\\theme.ogg", Bytes("OggS raw bytes"), true, 0x50210000, false},
      {"empty.txt", {}, true, 0, true},
      // A name whose second byte is 0x5C, the trail byte of a two-byte character.
      {"\x95\x5C\\\x8A\xBF.txt", Bytes("kanji"), false, 7, false},
  };
}

std::unique_ptr<TVrFileCollection> OpenBytes(std::vector<uint8_t> bytes) {
  auto c = std::make_unique<TVrFileCollection>();
  c->OpenStream(std::make_shared<TTpBigMemoryStream>(std::move(bytes)));
  return c;
}

std::vector<uint8_t> Read(const TVrFileCollection& c, const std::string& name) {
  MemoryStream m;
  c.ReadEntry(m, name);
  EXPECT_EQ(m.Position(), 0);
  return m.Take();
}

TEST(Archive, ReadsEveryVersion) {
  for (int version : {0, 99, 100, 101, 102}) {
    SCOPED_TRACE("version " + std::to_string(version));
    auto entries = SampleEntries();
    auto c = OpenBytes(test::FixtureArchiveBytes(entries, version));
    EXPECT_EQ(c->Version(), version);
    ASSERT_EQ(c->Count(), static_cast<int>(entries.size()) + 1);
    EXPECT_EQ(c->Item(c->Count() - 1)->Name(), kArchiveSentinel);
    for (size_t i = 0; i < entries.size(); ++i) {
      const auto& want = entries[i];
      const TVrFile* e = c->Item(static_cast<int>(i));
      EXPECT_EQ(e->Name(), want.name);
      EXPECT_EQ(Read(*c, want.name), want.content);
      if (version >= 101) {
        EXPECT_EQ(e->Stored, want.stored ? 1 : 0);
        EXPECT_EQ(e->Time, want.time);
      } else {
        EXPECT_EQ(e->Stored, 0);
        EXPECT_EQ(e->Time, 0);
        EXPECT_EQ(e->Crc, 0u);
      }
      EXPECT_EQ(e->CrcOfContent, version >= 102 && want.crcOfContent ? 1 : 0);
    }
    EXPECT_EQ(c->IndexOfName("SCRIPT\\START.VSB"), 0);
    EXPECT_EQ(c->IndexOfName("nothing"), -1);
  }
}

TEST(Archive, WriteThenReadKeepsContentAndCrc) {
  auto entries = SampleEntries();
  auto old = OpenBytes(test::FixtureArchiveBytes(entries, 101));
  // Entries added after loading follow the sentinel; the writer skips it.
  TVrFile* added = old->AddMemoryFile("mem:new.txt");
  added->Memory->Write("fresh", 5);
  added->CrcOfContent = 1;
  MemoryStream out;
  ASSERT_TRUE(old->WriteArchive(out));
  auto c = OpenBytes(out.Take());
  EXPECT_EQ(c->Version(), 102);
  ASSERT_EQ(c->Count(), static_cast<int>(entries.size()) + 2);
  EXPECT_EQ(c->Item(static_cast<int>(entries.size()))->Name(), "mem:new.txt");
  for (const auto& want : entries) {
    EXPECT_EQ(Read(*c, want.name), want.content) << want.name;
    const TVrFile* e = c->Find(want.name);
    MemoryStream stored;
    stored.Data().resize(static_cast<size_t>(e->Size));
    c->Source()->ReadAt(e->Offset, stored.Data().data(), stored.Data().size());
    // Copied entries keep their coverage flag (0 from version 101) and their CRC matches it.
    EXPECT_EQ(e->CrcOfContent, 0);
    EXPECT_EQ(e->Crc, Crc32(stored.Data()));
    EXPECT_EQ(e->Time, want.time);
  }
  EXPECT_EQ(Read(*c, "mem:new.txt"), Bytes("fresh"));
  EXPECT_EQ(c->Find("mem:new.txt")->Crc, Crc32(Bytes("fresh")));
}

TEST(Archive, CopiedEntryCrcFollowsItsCoverageFlag) {
  auto entries = SampleEntries();
  auto old = OpenBytes(test::FixtureArchiveBytes(entries, 102));
  MemoryStream out;
  old->WriteArchive(out);
  auto c = OpenBytes(out.Take());
  const TVrFile* e = c->Find("script\\start.vsb");
  ASSERT_TRUE(e);
  EXPECT_EQ(e->CrcOfContent, 1);
  EXPECT_EQ(e->Stored, 0);
  EXPECT_EQ(e->Crc, Crc32(entries[0].content));
}

// Two files packed from a folder, both stored as they are, checked against bytes worked out
// from the keystream: key values 0x5A3C9E21, 0x1D6BB4C6, 0xED5725FF (bit 31 set).
TEST(Archive, WritesTheDocumentedLayoutByteForByte) {
  ScratchFolder dir;
  std::string ogg = dir.Write("x.ogg", "OggS");
  std::string two = dir.Write("y", "hi");
  struct tm lt {};
  lt.tm_year = 2020 - 1900;
  lt.tm_mon = 0;
  lt.tm_mday = 2;
  lt.tm_hour = 3;
  lt.tm_min = 4;
  lt.tm_sec = 6;
  lt.tm_isdst = -1;
  struct utimbuf t {mktime(&lt), mktime(&lt)};
  utime(ogg.c_str(), &t);
  utime(two.c_str(), &t);
  const uint32_t packed = ((40u << 9 | 1u << 5 | 2u) << 16) | (3u << 11 | 4u << 5 | 3u);

  TVrFileCollection c;
  c.OpenArchive(dir.Path());
  c.AddName("x.ogg");
  c.AddName("y");
  MemoryStream out;
  ASSERT_TRUE(c.WriteArchive(out));

  MemoryStream want;
  BinaryWriter w(want);
  w.FixedString("vf");
  w.I32(102);
  w.I32(2);
  w.I32(5);
  for (uint8_t b : {0x59, 0xE8, 0x90, 0x7B, 0xCA}) w.U8(b);
  w.I32(1);
  w.U8(0xFB);
  w.U64(0x5A3C9E65);               // 68 ^ 0x5A3C9E21
  w.U64(0x1D6BB48E);               // 72 ^ 0x1D6BB4C6
  w.U64(0xFFFFFFFFED5725B5ull);    // 74 ^ sign-extended 0xED5725FF
  w.U8(1);                         // .ogg is never compressed
  w.U8(1);                         // "hi" deflates to more than 9/10 of its size
  w.U32(packed);
  w.U32(packed);
  w.U32(0x7775B7FC);               // CRC-32 of "OggS"
  w.U32(0xD8932AAC);               // CRC-32 of "hi"
  w.U8(0);
  w.U8(0);
  w.FixedString("OggS");
  w.FixedString("hi");
  EXPECT_EQ(out.Data(), want.Data());
}

TEST(Archive, CompressOrStoreRules) {
  ScratchFolder dir;
  dir.Write("a.txt", Repeat("abcdefgh", 200));
  dir.Write("b.bin", "xy");
  dir.Write("c.ogg", Repeat("a", 5000));  // compressible bytes, but media is stored
  dir.Write("d.MPG", Repeat("a", 5000));
  TVrFileCollection c;
  c.OpenArchive(dir.Path());
  for (const char* n : {"a.txt", "b.bin", "c.ogg", "d.MPG"}) c.AddName(n);
  MemoryStream out;
  c.WriteArchive(out);
  auto r = OpenBytes(out.Take());
  EXPECT_EQ(r->Find("a.txt")->Stored, 0);
  EXPECT_LT(r->Find("a.txt")->Size, 200);
  EXPECT_EQ(r->Find("b.bin")->Stored, 1);
  EXPECT_EQ(r->Find("c.ogg")->Stored, 1);
  EXPECT_EQ(r->Find("d.MPG")->Stored, 1);
  EXPECT_EQ(Read(*r, "a.txt"), Repeat("abcdefgh", 200));
  EXPECT_EQ(Read(*r, "c.ogg"), Repeat("a", 5000));
}

TEST(Archive, EmptyArchiveHoldsOnlyTheSentinel) {
  TVrFileCollection empty;
  MemoryStream out;
  empty.WriteArchive(out);
  auto c = OpenBytes(out.Take());
  EXPECT_EQ(c->Count(), 1);
  EXPECT_EQ(c->IndexOfName("a"), -1);
  EXPECT_THROW(Read(*c, "a"), EVornError);
}

TEST(Archive, ZeroSizeEntryReadsEmptyAndOpensAnEmptyRange) {
  auto c = OpenBytes(test::FixtureArchiveBytes(SampleEntries(), 102));
  EXPECT_TRUE(Read(*c, "empty.txt").empty());
  auto range = c->OpenEntryRange("empty.txt");
  ASSERT_TRUE(range);
  EXPECT_EQ(range->Size(), 0);
  char b;
  EXPECT_EQ(range->Read(&b, 1), 0u);
  auto ogg = c->OpenEntryRange("BGM\\THEME.OGG");
  ASSERT_TRUE(ogg);
  std::string got(static_cast<size_t>(ogg->Size()), '\0');
  ogg->Read(got.data(), got.size());
  EXPECT_EQ(got, "OggS raw bytes");
}

TEST(Archive, EveryTruncationIsAClearErrorAndLeavesTheCollectionEmpty) {
  auto bytes = test::FixtureArchiveBytes(SampleEntries(), 102);
  for (int version : {0, 99, 100, 101, 102}) {
    auto full = test::FixtureArchiveBytes(SampleEntries(), version);
    for (size_t len = 0; len < full.size(); ++len) {
      TVrFileCollection c;
      std::vector<uint8_t> cut(full.begin(), full.begin() + static_cast<long>(len));
      EXPECT_THROW(c.OpenStream(std::make_shared<TTpBigMemoryStream>(cut)), EFormatError)
          << "version " << version << " length " << len;
      EXPECT_EQ(c.Count(), 0);
      EXPECT_FALSE(c.HasSource());
    }
  }
}

TEST(Archive, DamagedIndexFieldsAreRefused) {
  auto base = test::FixtureArchiveBytes(SampleEntries(), 102);
  auto put32 = [](std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
  };
  struct Case {
    const char* what;
    size_t at;
    uint32_t value;
    const char* message;
  } cases[] = {
      {"negative entry count", 6, 0xFFFFFFFFu, "entry count"},
      {"huge entry count", 6, 0x7FFFFFFFu, "entry count"},
      {"negative name length", 10, 0x80000000u, "name length"},
      {"name longer than the file", 10, 0x00100000u, "name"},
  };
  for (const Case& k : cases) {
    auto bytes = base;
    put32(bytes, k.at, k.value);
    TVrFileCollection c;
    try {
      c.OpenStream(std::make_shared<TTpBigMemoryStream>(bytes));
      ADD_FAILURE() << k.what << " was accepted";
    } catch (const EFormatError& e) {
      EXPECT_NE(std::string(e.what()).find(k.message), std::string::npos) << k.what << ": " << e.what();
    }
    EXPECT_EQ(c.Count(), 0) << k.what;
  }
}

TEST(Archive, DescendingOrOutsideOffsetsAreRefused) {
  // Version 99 keeps the offsets plain, so they can be edited in place.
  std::vector<ArchiveFixtureEntry> entries = {{"a", Bytes("aaaa"), false, 0, false}, {"b", Bytes("bbbb"), false, 0, false}};
  auto bytes = test::FixtureArchiveBytes(entries, 99);
  const size_t offsets = 10 + 5 + 5;
  auto at = [&](size_t i) { return offsets + 4 * i; };
  auto get = [&](size_t i) { return static_cast<uint32_t>(bytes[at(i)] | bytes[at(i) + 1] << 8); };
  auto set = [](std::vector<uint8_t>& b, size_t pos, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[pos + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
  };
  {
    auto bad = bytes;
    set(bad, at(1), get(0) - 1);
    EXPECT_THROW(OpenBytes(bad), EFormatError);
  }
  {
    auto bad = bytes;
    set(bad, at(2), static_cast<uint32_t>(bytes.size()) + 1);
    EXPECT_THROW(OpenBytes(bad), EFormatError);
  }
}

TEST(Archive, DamagedCompressedDataRaisesOnRead) {
  std::vector<ArchiveFixtureEntry> entries = {{"a.txt", Repeat("hello ", 100), false, 0, true}};
  auto bytes = test::FixtureArchiveBytes(entries, 102);
  auto c = OpenBytes(bytes);
  const TVrFile* e = c->Find("a.txt");
  auto bad = bytes;
  bad[static_cast<size_t>(e->Offset) + 4] ^= 0xFF;
  try {
    Read(*OpenBytes(bad), "a.txt");
    ADD_FAILURE() << "damaged data read";
  } catch (const EFormatError& err) {
    EXPECT_NE(std::string(err.what()).find("a.txt"), std::string::npos) << err.what();
  }
  // A truncated zlib stream inside a consistent index.
  std::vector<uint8_t> packed = DeflateFast(Repeat("hello ", 600));
  std::vector<uint8_t> plain;
  EXPECT_THROW(InflateInto(std::span(packed).first(packed.size() / 2), plain, "x"), EFormatError);
  // The inflated size is bounded.
  EXPECT_THROW(InflateInto(packed, plain, "x", 100), EFormatError);
  InflateInto(packed, plain, "x", 600);
  EXPECT_EQ(plain.size(), 600u);
}

TEST(Archive, ExecutableTrailerLocatesTheArchive) {
  ScratchFolder dir;
  auto archive = test::FixtureArchiveBytes(SampleEntries(), 102);
  std::vector<uint8_t> exe = Repeat("\x7F" "ELF player code ", 3001);
  const int64_t start = static_cast<int64_t>(exe.size());
  exe.insert(exe.end(), archive.begin(), archive.end());
  MemoryStream trailer;
  WriteExecutableTrailer(trailer, start);
  exe.insert(exe.end(), trailer.Data().begin(), trailer.Data().end());
  std::string path = dir.Write("player", exe);
  EXPECT_TRUE(EndsWithVz(path));
  TVrFileCollection c;
  c.OpenArchive(path);
  EXPECT_EQ(c.Count(), 5);
  EXPECT_EQ(Read(c, "bgm\\theme.ogg"), Bytes("OggS raw bytes"));
  EXPECT_EQ(Read(c, "script\\start.vsb"), Repeat("command ", 200));

  // A trailer that points outside the file.
  auto bad = exe;
  bad[bad.size() - 3] = 0x7F;
  std::string badPath = dir.Write("bad.exe", bad);
  TVrFileCollection d;
  EXPECT_THROW(d.OpenArchive(badPath), EFormatError);
  EXPECT_EQ(d.Count(), 0);
  // A player copied under another extension is still found by its trailer.
  std::string renamed = dir.Write("game.bin", exe);
  TVrFileCollection r;
  r.OpenArchive(renamed);
  EXPECT_EQ(Read(r, "bgm\\theme.ogg"), Bytes("OggS raw bytes"));
  // A Windows executable without a trailer is no archive.
  std::string plain = dir.Write("plain.exe", "MZ....");
  EXPECT_THROW(d.OpenArchive(plain), EFormatError);
}

TEST(Archive, SideIndexFileAndSplitParts) {
  ScratchFolder dir;
  // Index in game.ext, data in game.dat: offsets count from the data file's first byte.
  auto entries = SampleEntries();
  auto full = test::FixtureArchiveBytes(entries, 102);
  dir.Write("game.dat", full);
  std::vector<uint8_t> garbage = Bytes("no archive here");
  dir.Write("game.ext", full);
  TVrFileCollection c;
  c.OpenArchive(dir.Path() + "game.dat");
  EXPECT_EQ(Read(c, "bgm\\theme.ogg"), Bytes("OggS raw bytes"));

  // Split into parts of 64 bytes: game.pak, game.001, game.002, ...
  const int64_t part = 64;
  for (size_t k = 0; k * part < full.size(); ++k) {
    std::vector<uint8_t> piece(full.begin() + static_cast<long>(k * part),
                               full.begin() + static_cast<long>(std::min(full.size(), (k + 1) * part)));
    dir.Write(TTpBigFileStream::PartName("game.pak", static_cast<int>(k)), piece);
  }
  TVrFileCollection s;
  s.SetPartSize(part);
  s.OpenArchive(dir.Path() + "game.pak");
  for (const auto& e : entries) EXPECT_EQ(Read(s, e.name), e.content) << e.name;
  // An archive written as one file longer than a part reads to its end.
  dir.Write("whole.dat", full);
  TVrFileCollection w;
  w.SetPartSize(part);
  w.OpenArchive(dir.Path() + "whole.dat");
  for (const auto& e : entries) EXPECT_EQ(Read(w, e.name), e.content) << e.name;
}

TEST(Archive, FolderCollectionReadsFilesAndListsEntries) {
  ScratchFolder dir;
  dir.Write("Sub/File.TXT", "disk");
  TVrFileCollection f;
  f.OpenArchive(dir.Path() + "Sub");
  EXPECT_EQ(Read(f, "file.txt"), Bytes("disk"));
  EXPECT_THROW(Read(f, "..\\Sub\\File.TXT"), EVornError);

  auto c = OpenBytes(test::FixtureArchiveBytes(SampleEntries(), 102));
  std::vector<std::string> list = {"BGM\\THEME.OGG"};
  c->ListFolder("bgm", list);
  EXPECT_EQ(list.size(), 1u);  // already held, case-insensitively
  list.clear();
  c->ListFolder("", list);
  EXPECT_EQ(list, std::vector<std::string>{"empty.txt"});
  list.clear();
  c->ListFolder("\x95\x5C\\", list);
  EXPECT_EQ(list, std::vector<std::string>{"\x95\x5C\\\x8A\xBF.txt"});
}

TEST(Archive, WriteErrorNamesTheEntry) {
  TVrFileCollection c;
  c.AddName("ghost.txt");
  std::string told;
  MemoryStream out;
  EXPECT_THROW(c.WriteArchive(out, [&](const std::string& m) { told = m; }), EVornError);
  EXPECT_EQ(told, "\x83G\x83\x89\x81[:ghost.txt");
}

}  // namespace
}  // namespace vorn
