// Stream helpers: counted strings, copying a given count versus the whole source, short sources.
#include "resources/stream_utils.h"

#include <gtest/gtest.h>

#include "resources/error.h"

namespace vorn {
namespace {

// A stream that is neither in-memory type and returns at most 3 bytes per read, so the
// buffered copy path and partial reads are exercised.
class TrickleStream final : public Stream {
 public:
  explicit TrickleStream(std::vector<uint8_t> d) : inner_(std::move(d)) {}
  size_t Read(void* b, size_t n) override { return inner_.Read(b, std::min<size_t>(n, 3)); }
  void Write(const void* b, size_t n) override { inner_.Write(b, n); }
  int64_t Size() const override { return inner_.Size(); }
  int64_t Position() const override { return inner_.Position(); }
  void Seek(int64_t p) override { inner_.Seek(p); }

 private:
  MemoryStream inner_;
};

TEST(StreamUtils, CountedStringsIntsAndBytes) {
  MemoryStream m;
  WriteCountedString(m, "abc");
  WriteCountedString(m, "");
  WriteInt32(m, -2);
  WriteByte(m, 0xAB);
  EXPECT_EQ(m.Data(), (std::vector<uint8_t>{3, 0, 0, 0, 'a', 'b', 'c', 0, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF, 0xAB}));
  m.Seek(0);
  EXPECT_EQ(ReadCountedString(m), "abc");
  EXPECT_EQ(ReadCountedString(m), "");
  EXPECT_EQ(ReadInt32(m), -2);
  EXPECT_EQ(ReadByte(m), 0xAB);
  EXPECT_THROW(ReadByte(m), EFormatError);

  // A negative count reads as "" and consumes only the count; a count past the end raises.
  MemoryStream neg(std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 'x'});
  EXPECT_EQ(ReadCountedString(neg), "");
  EXPECT_EQ(neg.Position(), 4);
  MemoryStream huge(std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0x7F, 'x'});
  EXPECT_THROW(ReadCountedString(huge), EFormatError);
}

TEST(StreamUtils, CopyCountFromEverySourceKind) {
  std::vector<uint8_t> data(100);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i);
  MemoryStream mem(data);
  MemoryView view(data);
  TrickleStream trickle(data);
  for (Stream* src : std::initializer_list<Stream*>{&mem, &view, &trickle}) {
    src->Seek(10);
    MemoryStream dst;
    EXPECT_EQ(CopyStream(dst, *src, 20), 20);
    EXPECT_EQ(dst.Data(), std::vector<uint8_t>(data.begin() + 10, data.begin() + 30));
    EXPECT_EQ(src->Position(), 30);
    // 0 copies nothing: the whole source is a separate call.
    EXPECT_EQ(CopyStream(dst, *src, 0), 0);
    EXPECT_EQ(dst.Size(), 20);
    MemoryStream whole;
    EXPECT_EQ(CopyWholeStream(whole, *src), 100);
    EXPECT_EQ(whole.Data(), data);
    // Asking for more than is left raises instead of looping or copying short.
    src->Seek(90);
    MemoryStream shortDst;
    EXPECT_THROW(CopyStream(shortDst, *src, 20), EFormatError);
    EXPECT_THROW(CopyStream(shortDst, *src, -1), EVornError);
  }
}

}  // namespace
}  // namespace vorn
