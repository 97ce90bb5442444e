// The one stream type every reader and writer of game data goes through, and the
// in-memory streams. Positions and sizes are 64-bit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vorn {

class Stream {
 public:
  virtual ~Stream() = default;
  // Reads up to n bytes at the position and advances; fewer only at the end of the data.
  virtual size_t Read(void* buffer, size_t n) = 0;
  // Writes n bytes at the position and advances; raises EVornError when the stream is read-only.
  virtual void Write(const void* buffer, size_t n) = 0;
  virtual int64_t Size() const = 0;
  virtual int64_t Position() const = 0;
  // Absolute position; raises EVornError outside 0..Size() for read-only streams.
  virtual void Seek(int64_t position) = 0;

  int64_t Remaining() const { return Size() - Position(); }
  // Reads exactly n bytes or raises EFormatError naming what was being read.
  void ReadExact(void* buffer, size_t n, const char* what);
};

// A growable owning stream, for building files and for data loaded whole into memory.
class MemoryStream final : public Stream {
 public:
  MemoryStream() = default;
  explicit MemoryStream(std::vector<uint8_t> data) : data_(std::move(data)) {}

  size_t Read(void* buffer, size_t n) override;
  void Write(const void* buffer, size_t n) override;
  int64_t Size() const override { return static_cast<int64_t>(data_.size()); }
  int64_t Position() const override { return position_; }
  void Seek(int64_t position) override;

  const std::vector<uint8_t>& Data() const { return data_; }
  std::vector<uint8_t>& Data() { return data_; }
  std::vector<uint8_t> Take() { position_ = 0; return std::move(data_); }

 private:
  std::vector<uint8_t> data_;
  int64_t position_ = 0;
};

// A read-only stream over bytes owned by someone else.
class MemoryView final : public Stream {
 public:
  explicit MemoryView(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  size_t Read(void* buffer, size_t n) override;
  void Write(const void* buffer, size_t n) override;
  int64_t Size() const override { return static_cast<int64_t>(bytes_.size()); }
  int64_t Position() const override { return position_; }
  void Seek(int64_t position) override;
  // The bytes at the current position, without copying.
  std::span<const uint8_t> Rest() const { return bytes_.subspan(static_cast<size_t>(position_)); }

 private:
  std::span<const uint8_t> bytes_;
  int64_t position_ = 0;
};

}  // namespace vorn
