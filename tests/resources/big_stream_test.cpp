// Split-file, buffered and range streams.
#include "resources/big_stream.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "resources/error.h"
#include "support/archive_fixture.h"

namespace vorn {
namespace {

using namespace disk;

using test::ScratchFolder;

std::vector<uint8_t> Counting(size_t n, uint8_t from = 0) {
  std::vector<uint8_t> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(from + i);
  return v;
}

TEST(BigFileStream, JoinsPartsIntoOneStream) {
  ScratchFolder dir;
  // Parts of 32 bytes stand for the 1 GiB parts: a full part 0 and a 10-byte part 1.
  dir.Write("game.dat", Counting(32));
  dir.Write("game.001", Counting(10, 100));
  TTpBigFileStream s(dir.Path() + "game.dat", TTpBigFileStream::Mode::Read, 32);
  EXPECT_EQ(s.PartCount(), 2);
  EXPECT_EQ(s.Size(), 42);
  s.Seek(22);
  uint8_t buf[20];
  ASSERT_EQ(s.Read(buf, 20), 20u);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(buf[i], 22 + i);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(buf[10 + i], 100 + i);
  EXPECT_EQ(s.Read(buf, 1), 0u);
  s.Seek(1000);
  EXPECT_EQ(s.Position(), 42);
}

TEST(BigFileStream, WritesCreateThePartsTheyReach) {
  ScratchFolder dir;
  std::string name = dir.Path() + "save.dat";
  for (const char* part : {"save.dat", "save.001", "save.002", "save.003"}) dir.Write(part, "old part");
  {
    // A longer save replaced by a shorter one must not keep its old tail parts.
    TTpBigFileStream s(name, TTpBigFileStream::Mode::Create, 16);
    EXPECT_FALSE(PathExists(dir.Path() + "save.003"));
    auto data = Counting(40);
    s.Write(data.data(), data.size());
    s.Flush();
  }
  EXPECT_EQ(FileSizeOf(name), 16);
  EXPECT_EQ(FileSizeOf(dir.Path() + "save.001"), 16);
  EXPECT_EQ(FileSizeOf(dir.Path() + "save.002"), 8);
  EXPECT_FALSE(PathExists(dir.Path() + "save.003"));
  TTpBigFileStream back(name, TTpBigFileStream::Mode::Read, 16);
  std::vector<uint8_t> all(40);
  EXPECT_EQ(back.Read(all.data(), 40), 40u);
  EXPECT_EQ(all, Counting(40));
  EXPECT_EQ(TTpBigFileStream::PartName("a/b.c/game", 7), "a/b.c/game.007");
}

TEST(BuffBigStream, GivesBackWhatItDidNotHandOut) {
  MemoryStream src(Counting(1000));
  {
    TTpBuffBigStream b(src);
    uint8_t buf[5];
    EXPECT_EQ(b.Read(buf, 5), 5u);
    EXPECT_EQ(b.Position(), 5);
  }
  EXPECT_EQ(src.Position(), 5);
  // An exhausted source ends the read instead of spinning.
  TTpBuffBigStream b(src);
  std::vector<uint8_t> all(2000);
  EXPECT_EQ(b.Read(all.data(), all.size()), 995u);
}

TEST(RangeStream, ClampsToItsWindow) {
  auto src = std::make_shared<TTpBigMemoryStream>(Counting(200));
  TRangeStream r(src, 100, 50);
  EXPECT_EQ(r.SeekFrom(0, SeekOrigin::End), 50);
  uint8_t buf[10];
  EXPECT_EQ(r.Read(buf, 10), 0u);
  EXPECT_EQ(r.SeekFrom(-200, SeekOrigin::Current), 0);
  EXPECT_EQ(r.Read(buf, 10), 10u);
  EXPECT_EQ(buf[0], 100);
  EXPECT_EQ(r.SeekFrom(45, SeekOrigin::Begin), 45);
  EXPECT_EQ(r.Read(buf, 10), 5u);
  EXPECT_THROW(r.Write(buf, 1), EVornError);
  EXPECT_THROW(TRangeStream(src, 190, 20), EVornError);
}

TEST(RangeStream, DecoderThreadsReadWhileTheMainThreadSeeks) {
  ScratchFolder dir;
  auto data = Counting(1 << 16);
  std::string path = dir.Write("big.bin", data);
  auto src = std::make_shared<TTpBigFileStream>(path, TTpBigFileStream::Mode::Read);
  TRangeStream shared(src, 1000, 50000);
  std::atomic<bool> bad{false};
  auto reader = [&] {
    uint8_t buf[64];
    for (int i = 0; i < 20000; ++i) {
      int64_t before = shared.Position();
      size_t n = shared.Read(buf, sizeof buf);
      (void)before;
      // Every byte handed out must be the source byte at some consistent position.
      for (size_t k = 1; k < n; ++k) {
        if (static_cast<uint8_t>(buf[k] - buf[k - 1]) != 1) bad = true;
      }
    }
  };
  std::thread t1(reader), t2(reader);
  for (int i = 0; i < 20000; ++i) shared.SeekFrom(i * 7 % 50000, SeekOrigin::Begin);
  t1.join();
  t2.join();
  EXPECT_FALSE(bad);
  // Range streams never move the shared source.
  EXPECT_EQ(src->Position(), 0);
}

}  // namespace
}  // namespace vorn
