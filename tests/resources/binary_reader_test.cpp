// The bounded reader, its writer and the extended real codec.
#include "resources/binary_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

#include "resources/error.h"
#include "resources/numeric.h"

namespace vorn {
namespace {

std::vector<uint8_t> Encode(long double v) {
  std::vector<uint8_t> b(10);
  EncodeExtended(v, b.data());
  return b;
}

TEST(ExtendedReal, KnownEncodings) {
  EXPECT_EQ(Encode(1.0L), (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}));
  EXPECT_EQ(Encode(0.0L), (std::vector<uint8_t>(10, 0)));
  EXPECT_EQ(Encode(-2.0L), (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0, 0x80, 0x00, 0xC0}));
  // pi rounded to a 64-bit mantissa: C90FDAA2 2168C235 (the last bit rounded to nearest).
  EXPECT_EQ(Encode(std::numbers::pi_v<long double>),
            (std::vector<uint8_t>{0x35, 0xC2, 0x68, 0x21, 0xA2, 0xDA, 0x0F, 0xC9, 0x00, 0x40}));
  // The smallest denormal: mantissa 1, exponent field 0.
  EXPECT_EQ(Encode(std::numeric_limits<long double>::denorm_min()),
            (std::vector<uint8_t>{1, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(ExtendedReal, RoundTripsEveryClass) {
  const long double cases[] = {1.0L, -1.0L, 0.0L, std::numbers::pi_v<long double>, -123456.789L, 1e300L,
                               std::numeric_limits<long double>::denorm_min(),
                               -std::numeric_limits<long double>::denorm_min() * 12345,
                               std::numeric_limits<long double>::max(),
                               std::numeric_limits<long double>::infinity()};
  for (long double v : cases) {
    auto b = Encode(v);
    EXPECT_EQ(DecodeExtended(b.data()), v) << static_cast<double>(v);
  }
  EXPECT_TRUE(std::signbit(DecodeExtended(Encode(-0.0L).data())));
  EXPECT_TRUE(std::isnan(DecodeExtended(Encode(std::numeric_limits<long double>::quiet_NaN()).data())));
}

TEST(Numeric, RoundsHalfToEvenAndTruncates) {
  struct Case { long double in; int64_t out; } cases[] = {
      {0.5L, 0}, {1.5L, 2}, {2.5L, 2}, {-0.5L, 0}, {-1.5L, -2}, {-2.5L, -2}, {2.4999L, 2}, {-2.6L, -3}};
  for (auto c : cases) EXPECT_EQ(RoundHalfEven(c.in), c.out) << static_cast<double>(c.in);
  EXPECT_EQ(TruncDiv(-7, 2), -3);
  EXPECT_EQ(TruncMod(-7, 2), -1);
  EXPECT_EQ(TruncDiv(INT32_MIN, -1), INT32_MIN);
  EXPECT_EQ(AddWrap(INT32_MAX, 1), INT32_MIN);
  EXPECT_EQ(MulWrap(65536, 65536), 0);
}

TEST(BinaryReader, RoundTripsEveryWidth) {
  MemoryStream m;
  BinaryWriter w(m);
  w.U8(0xAB);
  w.I16(-2);
  w.I32(-123456);
  w.U64(0x0102030405060708ull);
  w.F64(0.25);
  w.Extended(3.5L);
  w.CountedString("abc");
  w.CountedString("");
  m.Seek(0);
  BinaryReader r(m, "test");
  EXPECT_EQ(r.U8("a"), 0xAB);
  EXPECT_EQ(r.I16("b"), -2);
  EXPECT_EQ(r.I32("c"), -123456);
  EXPECT_EQ(r.U64("d"), 0x0102030405060708ull);
  EXPECT_EQ(r.F64("e"), 0.25);
  EXPECT_EQ(r.Extended("f"), 3.5L);
  EXPECT_EQ(r.CountedString("g"), "abc");
  EXPECT_EQ(r.CountedString("h"), "");
  EXPECT_TRUE(r.AtEnd());
  EXPECT_EQ(m.Data()[1], 0xFE);  // little-endian
}

TEST(BinaryReader, RejectsCountsBeyondTheBytesLeft) {
  const uint8_t hugeString[] = {0xFF, 0xFF, 0xFF, 0x7F, 'a'};
  MemoryView v1(hugeString);
  BinaryReader r1(v1, "page X");
  try {
    r1.CountedString("name");
    FAIL();
  } catch (const EFormatError& e) {
    EXPECT_STREQ(e.what(), "page X: name: needs 2147483647 bytes, 1 left");
  }

  const uint8_t negativeString[] = {0xFF, 0xFF, 0xFF, 0xFF};
  MemoryView v2(negativeString);
  BinaryReader r2(v2, "x");
  EXPECT_EQ(r2.CountedString("s"), "");  // n <= 0 is the empty string

  const uint8_t count[] = {10, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8};
  MemoryView v3(count);
  BinaryReader r3(v3, "hdr");
  EXPECT_THROW(r3.Count("command count", 4), EFormatError);
  MemoryView v4(count);
  BinaryReader r4(v4, "hdr");
  EXPECT_EQ(r4.Count("n", 0), 10);

  const uint8_t negative[] = {0xFE, 0xFF, 0xFF, 0xFF};
  MemoryView v5(negative);
  BinaryReader r5(v5, "hdr");
  EXPECT_THROW(r5.Count("n", 1), EFormatError);

  const uint8_t shortInt[] = {1, 2};
  MemoryView v6(shortInt);
  BinaryReader r6(v6, "hdr");
  EXPECT_THROW(r6.I32("version"), EFormatError);
  EXPECT_THROW(r6.Skip(3, "pad"), EFormatError);
}

}  // namespace
}  // namespace vorn
