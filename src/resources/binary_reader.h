// The bounded little-endian reader that every parser uses, and its writer. Every count and
// length is checked against the bytes left before anything is allocated; a failure raises
// EFormatError naming the context and the field ("page header: command count ...").
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "stream.h"

namespace vorn {

class BinaryReader {
 public:
  // `context` prefixes every error message, e.g. "page MAIN.vsb".
  BinaryReader(Stream& stream, std::string context) : s_(stream), context_(std::move(context)) {}

  uint8_t U8(const char* field);
  int8_t I8(const char* field) { return static_cast<int8_t>(U8(field)); }
  bool Bool(const char* field) { return U8(field) != 0; }
  uint16_t U16(const char* field);
  int16_t I16(const char* field) { return static_cast<int16_t>(U16(field)); }
  uint32_t U32(const char* field);
  int32_t I32(const char* field) { return static_cast<int32_t>(U32(field)); }
  uint64_t U64(const char* field);
  int64_t I64(const char* field) { return static_cast<int64_t>(U64(field)); }
  float F32(const char* field);
  double F64(const char* field);
  long double Extended(const char* field);  // 10 bytes

  // int32 byte count, then the bytes; a count <= 0 gives "" and consumes nothing more.
  std::string CountedString(const char* field);
  // Exactly n bytes as a string.
  std::string FixedString(size_t n, const char* field);
  void Bytes(void* out, size_t n, const char* field);
  std::vector<uint8_t> Bytes(size_t n, const char* field);
  void Skip(int64_t n, const char* field);

  // An int32 element count that must be >= 0 and whose elements, at least `minElementSize`
  // bytes each, fit in the bytes left.
  int32_t Count(const char* field, size_t minElementSize);
  // Raises unless n elements of minElementSize bytes fit in what is left.
  void RequireFits(int64_t n, size_t minElementSize, const char* field);

  int64_t Remaining() const { return s_.Remaining(); }
  int64_t Position() const { return s_.Position(); }
  bool AtEnd() const { return s_.Remaining() <= 0; }
  Stream& stream() { return s_; }
  const std::string& context() const { return context_; }

  // Raises EFormatError "<context>: <field>: <what>".
  [[noreturn]] void Fail(const char* field, const std::string& what) const;

 private:
  void Need(size_t n, const char* field);
  Stream& s_;
  std::string context_;
};

class BinaryWriter {
 public:
  explicit BinaryWriter(Stream& stream) : s_(stream) {}
  void U8(uint8_t v) { s_.Write(&v, 1); }
  void I8(int8_t v) { U8(static_cast<uint8_t>(v)); }
  void Bool(bool v) { U8(v ? 1 : 0); }
  void U16(uint16_t v);
  void I16(int16_t v) { U16(static_cast<uint16_t>(v)); }
  void U32(uint32_t v);
  void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
  void U64(uint64_t v);
  void I64(int64_t v) { U64(static_cast<uint64_t>(v)); }
  void F32(float v);
  void F64(double v);
  void Extended(long double v);
  void CountedString(const std::string& s);
  void Bytes(const void* data, size_t n) { s_.Write(data, n); }
  void FixedString(const std::string& s) { s_.Write(s.data(), s.size()); }
  Stream& stream() { return s_; }

 private:
  Stream& s_;
};

}  // namespace vorn
