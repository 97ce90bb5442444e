// The 64-bit stream family under the archives: TTpBigFileStream joins the 1 GiB parts of a
// split archive into one stream, TTpBigMemoryStream holds one in memory, TTpBuffBigStream
// reads ahead, and TRangeStream shows one archived file as a read-only stream that decoder
// threads may read while the main thread seeks it.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "file_stream.h"
#include "stream.h"

namespace vorn {

// A stream that can also be read at any position without moving its own position. ReadAt
// must be safe to call from several threads at once, so archives share one source between
// the main thread and the range streams of decoder threads.
class TTpBigStream : public Stream {
 public:
  virtual size_t ReadAt(int64_t pos, void* buffer, size_t n) const = 0;
};

constexpr int64_t kBigFilePartSize = 0x40000000;  // 1 GiB

class TTpBigFileStream final : public TTpBigStream {
 public:
  enum class Mode { Read, ReadWrite, Create };
  // Read and ReadWrite open part 0 and every following part up to the first missing one
  // (part 0 missing raises EVornError). Create deletes every existing part and opens none;
  // writes create the parts they reach.
  TTpBigFileStream(std::string name, Mode mode, int64_t partSize = kBigFilePartSize);

  // "game.dat", 2 -> "game.002": the name without its extension, a dot, three digits.
  static std::string PartName(const std::string& name, int part);

  size_t Read(void* buffer, size_t n) override;
  void Write(const void* buffer, size_t n) override;
  int64_t Size() const override;
  int64_t Position() const override { return position_; }
  // Positions beyond the size move to the size, as the split stream has no holes.
  void Seek(int64_t position) override;
  size_t ReadAt(int64_t pos, void* buffer, size_t n) const override;
  // Flushes every part opened for writing.
  void Flush();
  int PartCount() const { return static_cast<int>(parts_.size()); }
  const std::string& Name() const { return name_; }

 private:
  std::string name_;
  Mode mode_;
  int64_t partSize_;
  std::vector<std::unique_ptr<FileStream>> parts_;
  int64_t position_ = 0;
};

// An in-memory big stream (the save file's buffer, an index side file).
class TTpBigMemoryStream final : public TTpBigStream {
 public:
  TTpBigMemoryStream() = default;
  explicit TTpBigMemoryStream(std::vector<uint8_t> data) : mem_(std::move(data)) {}
  size_t Read(void* buffer, size_t n) override { return mem_.Read(buffer, n); }
  void Write(const void* buffer, size_t n) override { mem_.Write(buffer, n); }
  int64_t Size() const override { return mem_.Size(); }
  int64_t Position() const override { return mem_.Position(); }
  void Seek(int64_t position) override { mem_.Seek(position); }
  size_t ReadAt(int64_t pos, void* buffer, size_t n) const override;
  MemoryStream& Memory() { return mem_; }
  void LoadFromFile(const std::string& path);
  void SaveToFile(const std::string& path) const;  // atomic replace

 private:
  MemoryStream mem_;
};

// A 102400-byte read-ahead in front of another stream. When it is destroyed the source is
// moved back by the bytes it buffered but did not hand out, so the source continues right
// after the last byte read through the buffer.
class TTpBuffBigStream final : public Stream {
 public:
  static constexpr size_t kBufferSize = 102400;
  explicit TTpBuffBigStream(Stream& source) : source_(source) {}
  ~TTpBuffBigStream() override;
  // Returns fewer bytes than asked only when the source is exhausted (never loops on it).
  size_t Read(void* buffer, size_t n) override;
  void Write(const void* buffer, size_t n) override;
  int64_t Size() const override { return source_.Size(); }
  int64_t Position() const override { return source_.Position() - static_cast<int64_t>(fill_ - pos_); }
  void Seek(int64_t position) override;

 private:
  Stream& source_;
  std::vector<uint8_t> buf_;
  size_t pos_ = 0;
  size_t fill_ = 0;
};

// Origins of TRangeStream::SeekFrom.
enum class SeekOrigin { Begin, Current, End };

// A read-only window [start, start + length) of a shared big stream. Every Seek and Read
// holds the stream's own lock, so a decoder thread may read while the main thread seeks;
// reads are positional, so the shared source's position never moves.
class TRangeStream final : public Stream {
 public:
  TRangeStream(std::shared_ptr<const TTpBigStream> source, int64_t start, int64_t length);
  // A whole-file range over a file on disk (opened for this stream alone).
  static std::unique_ptr<TRangeStream> OverFile(const std::string& path);

  size_t Read(void* buffer, size_t n) override;
  void Write(const void* buffer, size_t n) override;  // raises: read-only
  int64_t Size() const override { return length_; }
  int64_t Position() const override;
  // Clamped into the window, as SeekFrom(position, Begin).
  void Seek(int64_t position) override { SeekFrom(position, SeekOrigin::Begin); }
  // Moves to the target clamped into [0, length] and returns the new position.
  int64_t SeekFrom(int64_t offset, SeekOrigin origin);
  int64_t Start() const { return start_; }

 private:
  std::shared_ptr<const TTpBigStream> source_;
  int64_t start_;
  int64_t length_;
  int64_t pos_ = 0;  // relative to start_
  mutable std::mutex lock_;
};

}  // namespace vorn
