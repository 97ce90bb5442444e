// In-memory streams.
#include "stream.h"

#include <algorithm>
#include <cstring>

#include "error.h"

namespace vorn {

void Stream::ReadExact(void* buffer, size_t n, const char* what) {
  int64_t left = Remaining();
  if (left < 0 || static_cast<uint64_t>(left) < n) {
    throw EFormatError(std::string(what) + ": needs " + std::to_string(n) + " bytes, " +
                       std::to_string(left < 0 ? 0 : left) + " left");
  }
  size_t got = Read(buffer, n);
  if (got != n) {
    throw EFormatError(std::string(what) + ": read " + std::to_string(got) + " of " + std::to_string(n) +
                       " bytes");
  }
}

size_t MemoryStream::Read(void* buffer, size_t n) {
  if (position_ >= Size()) return 0;
  size_t take = std::min(n, static_cast<size_t>(Size() - position_));
  if (take) std::memcpy(buffer, data_.data() + position_, take);
  position_ += static_cast<int64_t>(take);
  return take;
}

void MemoryStream::Write(const void* buffer, size_t n) {
  if (n == 0) return;
  size_t end = static_cast<size_t>(position_) + n;
  if (end > data_.size()) data_.resize(end);
  std::memcpy(data_.data() + position_, buffer, n);
  position_ = static_cast<int64_t>(end);
}

void MemoryStream::Seek(int64_t position) {
  if (position < 0) throw EVornError("stream: seek to a negative position");
  position_ = position;  // past the end is allowed; a later write fills the gap with zeros
}

size_t MemoryView::Read(void* buffer, size_t n) {
  if (position_ >= Size()) return 0;
  size_t take = std::min(n, static_cast<size_t>(Size() - position_));
  if (take) std::memcpy(buffer, bytes_.data() + position_, take);
  position_ += static_cast<int64_t>(take);
  return take;
}

void MemoryView::Write(const void*, size_t) { throw EVornError("stream: write to a read-only stream"); }

void MemoryView::Seek(int64_t position) {
  if (position < 0 || position > Size()) throw EVornError("stream: seek outside the data");
  position_ = position;
}

}  // namespace vorn
