// The bounded reader and its writer.
#include "binary_reader.h"

#include <cstring>

#include "error.h"
#include "numeric.h"

namespace vorn {

void BinaryReader::Fail(const char* field, const std::string& what) const {
  std::string msg = context_;
  if (!msg.empty()) msg += ": ";
  msg += field;
  msg += ": ";
  msg += what;
  throw EFormatError(msg);
}

void BinaryReader::Need(size_t n, const char* field) {
  int64_t left = s_.Remaining();
  if (left < 0 || static_cast<uint64_t>(left) < n) {
    Fail(field, "needs " + std::to_string(n) + " bytes, " + std::to_string(left < 0 ? 0 : left) + " left");
  }
}

void BinaryReader::Bytes(void* out, size_t n, const char* field) {
  Need(n, field);
  if (n == 0) return;
  size_t got = s_.Read(out, n);
  if (got != n) Fail(field, "read " + std::to_string(got) + " of " + std::to_string(n) + " bytes");
}

std::vector<uint8_t> BinaryReader::Bytes(size_t n, const char* field) {
  Need(n, field);
  std::vector<uint8_t> v(n);
  Bytes(v.data(), n, field);
  return v;
}

uint8_t BinaryReader::U8(const char* field) {
  uint8_t b;
  Bytes(&b, 1, field);
  return b;
}

uint16_t BinaryReader::U16(const char* field) {
  uint8_t b[2];
  Bytes(b, 2, field);
  return static_cast<uint16_t>(b[0] | (b[1] << 8));
}

uint32_t BinaryReader::U32(const char* field) {
  uint8_t b[4];
  Bytes(b, 4, field);
  return uint32_t{b[0]} | (uint32_t{b[1]} << 8) | (uint32_t{b[2]} << 16) | (uint32_t{b[3]} << 24);
}

uint64_t BinaryReader::U64(const char* field) {
  uint8_t b[8];
  Bytes(b, 8, field);
  uint64_t v = 0;
  for (int i = 0; i < 8; ++i) v |= uint64_t{b[i]} << (8 * i);
  return v;
}

float BinaryReader::F32(const char* field) {
  uint32_t bits = U32(field);
  float f;
  std::memcpy(&f, &bits, 4);
  return f;
}

double BinaryReader::F64(const char* field) {
  uint64_t bits = U64(field);
  double d;
  std::memcpy(&d, &bits, 8);
  return d;
}

long double BinaryReader::Extended(const char* field) {
  uint8_t b[10];
  Bytes(b, 10, field);
  return DecodeExtended(b);
}

std::string BinaryReader::CountedString(const char* field) {
  int32_t n = I32(field);
  if (n <= 0) return {};
  return FixedString(static_cast<size_t>(n), field);
}

std::string BinaryReader::FixedString(size_t n, const char* field) {
  Need(n, field);
  std::string s(n, '\0');
  Bytes(s.data(), n, field);
  return s;
}

void BinaryReader::Skip(int64_t n, const char* field) {
  if (n < 0) Fail(field, "negative length " + std::to_string(n));
  Need(static_cast<size_t>(n), field);
  s_.Seek(s_.Position() + n);
}

void BinaryReader::RequireFits(int64_t n, size_t minElementSize, const char* field) {
  if (n < 0) Fail(field, "negative count " + std::to_string(n));
  int64_t left = s_.Remaining();
  if (minElementSize > 0 && static_cast<uint64_t>(n) > static_cast<uint64_t>(left < 0 ? 0 : left) / minElementSize) {
    Fail(field, "count " + std::to_string(n) + " exceeds the " + std::to_string(left < 0 ? 0 : left) +
                    " bytes left");
  }
}

int32_t BinaryReader::Count(const char* field, size_t minElementSize) {
  int32_t n = I32(field);
  RequireFits(n, minElementSize, field);
  return n;
}

void BinaryWriter::U16(uint16_t v) {
  uint8_t b[2] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)};
  s_.Write(b, 2);
}

void BinaryWriter::U32(uint32_t v) {
  uint8_t b[4];
  for (int i = 0; i < 4; ++i) b[i] = static_cast<uint8_t>(v >> (8 * i));
  s_.Write(b, 4);
}

void BinaryWriter::U64(uint64_t v) {
  uint8_t b[8];
  for (int i = 0; i < 8; ++i) b[i] = static_cast<uint8_t>(v >> (8 * i));
  s_.Write(b, 8);
}

void BinaryWriter::F32(float v) {
  uint32_t bits;
  std::memcpy(&bits, &v, 4);
  U32(bits);
}

void BinaryWriter::F64(double v) {
  uint64_t bits;
  std::memcpy(&bits, &v, 8);
  U64(bits);
}

void BinaryWriter::Extended(long double v) {
  uint8_t b[10];
  EncodeExtended(v, b);
  s_.Write(b, 10);
}

void BinaryWriter::CountedString(const std::string& s) {
  I32(static_cast<int32_t>(s.size()));
  if (!s.empty()) s_.Write(s.data(), s.size());
}

}  // namespace vorn
