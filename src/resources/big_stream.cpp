// Split-file, memory, buffered and range streams.
#include "big_stream.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>

#include "error.h"

namespace vorn {

using namespace disk;

std::string TTpBigFileStream::PartName(const std::string& name, int part) {
  if (part == 0) return name;
  size_t slash = name.find_last_of('/');
  size_t dot = name.find_last_of('.');
  std::string stem = (dot != std::string::npos && (slash == std::string::npos || dot > slash)) ? name.substr(0, dot) : name;
  char suffix[16];
  std::snprintf(suffix, sizeof suffix, ".%.3d", part);
  return stem + suffix;
}

TTpBigFileStream::TTpBigFileStream(std::string name, Mode mode, int64_t partSize)
    : name_(std::move(name)), mode_(mode), partSize_(partSize) {
  if (partSize_ <= 0) throw EVornError("big file stream: part size must be positive");
  if (mode_ == Mode::Create) {
    for (int k = 0; k < 1000 && PathExists(PartName(name_, k)); ++k) RemoveFile(PartName(name_, k));
    return;
  }
  FileStream::Mode fm = mode_ == Mode::Read ? FileStream::Mode::Read : FileStream::Mode::ReadWrite;
  parts_.push_back(FileStream::Open(name_, fm));
  for (int k = 1; k < 1000; ++k) {
    std::string part = PartName(name_, k);
    if (!IsRegularFile(part)) break;
    auto f = FileStream::TryOpen(part, fm);
    if (!f) break;
    parts_.push_back(std::move(f));
  }
}

int64_t TTpBigFileStream::Size() const {
  int64_t total = 0;
  for (const auto& p : parts_) total += p->Size();
  return total;
}

void TTpBigFileStream::Seek(int64_t position) {
  if (position < 0) throw EVornError(name_ + ": seek to a negative position");
  position_ = std::min(position, Size());
}

size_t TTpBigFileStream::ReadAt(int64_t pos, void* buffer, size_t n) const {
  if (pos < 0) return 0;
  auto* out = static_cast<uint8_t*>(buffer);
  size_t done = 0;
  while (done < n) {
    int64_t at = pos + static_cast<int64_t>(done);
    if (parts_.empty()) break;
    // The last part may be longer than a part (an archive written as one file): it takes
    // every position from its start on.
    size_t k = std::min(static_cast<size_t>(at / partSize_), parts_.size() - 1);
    int64_t off = at - static_cast<int64_t>(k) * partSize_;
    bool last = k + 1 == parts_.size();
    int64_t room = last ? INT64_MAX : partSize_ - off;
    size_t want = static_cast<size_t>(std::min<int64_t>(room, static_cast<int64_t>(n - done)));
    size_t got = parts_[k]->ReadAt(off, out + done, want);
    done += got;
    if (got < want) break;  // a short part ends the data: nothing follows it without a gap
  }
  return done;
}

size_t TTpBigFileStream::Read(void* buffer, size_t n) {
  size_t got = ReadAt(position_, buffer, n);
  position_ += static_cast<int64_t>(got);
  return got;
}

void TTpBigFileStream::Write(const void* buffer, size_t n) {
  if (mode_ == Mode::Read) throw EVornError(name_ + ": write to a stream opened for reading");
  const auto* in = static_cast<const uint8_t*>(buffer);
  size_t done = 0;
  while (done < n) {
    size_t k = static_cast<size_t>(position_ / partSize_);
    while (parts_.size() <= k) {
      parts_.push_back(FileStream::Open(PartName(name_, static_cast<int>(parts_.size())), FileStream::Mode::Create));
    }
    int64_t off = position_ % partSize_;
    size_t put = static_cast<size_t>(std::min<int64_t>(partSize_ - off, static_cast<int64_t>(n - done)));
    parts_[k]->WriteAt(off, in + done, put);
    done += put;
    position_ += static_cast<int64_t>(put);
  }
}

void TTpBigFileStream::Flush() {
  if (mode_ == Mode::Read) return;
  for (auto& p : parts_) p->Flush();
}

size_t TTpBigMemoryStream::ReadAt(int64_t pos, void* buffer, size_t n) const {
  const auto& d = mem_.Data();
  if (pos < 0 || pos >= static_cast<int64_t>(d.size())) return 0;
  size_t take = std::min(n, d.size() - static_cast<size_t>(pos));
  std::memcpy(buffer, d.data() + pos, take);
  return take;
}

void TTpBigMemoryStream::LoadFromFile(const std::string& path) {
  auto f = FileStream::Open(path, FileStream::Mode::Read);
  int64_t size = f->Size();
  std::vector<uint8_t> data(static_cast<size_t>(size));
  f->ReadExact(data.data(), data.size(), path.c_str());
  mem_ = MemoryStream(std::move(data));
}

void TTpBigMemoryStream::SaveToFile(const std::string& path) const {
  WriteFileAtomic(path, mem_.Data().data(), mem_.Data().size());
}

TTpBuffBigStream::~TTpBuffBigStream() {
  if (fill_ > pos_) {
    try {
      source_.Seek(source_.Position() - static_cast<int64_t>(fill_ - pos_));
    } catch (...) {
      // A destructor must not throw; the source keeps its position past the buffer.
    }
  }
}

size_t TTpBuffBigStream::Read(void* buffer, size_t n) {
  auto* out = static_cast<uint8_t*>(buffer);
  size_t done = 0;
  while (done < n) {
    if (pos_ == fill_) {
      int64_t left = source_.Size() - source_.Position();
      size_t want = static_cast<size_t>(std::clamp<int64_t>(left, 0, static_cast<int64_t>(kBufferSize)));
      if (want == 0) break;  // the source is exhausted: hand out what we have
      buf_.resize(kBufferSize);
      fill_ = source_.Read(buf_.data(), want);
      pos_ = 0;
      if (fill_ == 0) break;
    }
    size_t take = std::min(n - done, fill_ - pos_);
    std::memcpy(out + done, buf_.data() + pos_, take);
    pos_ += take;
    done += take;
  }
  return done;
}

void TTpBuffBigStream::Write(const void*, size_t) { throw EVornError("buffered stream: read-only"); }

void TTpBuffBigStream::Seek(int64_t position) {
  source_.Seek(position);
  pos_ = fill_ = 0;
}

TRangeStream::TRangeStream(std::shared_ptr<const TTpBigStream> source, int64_t start, int64_t length)
    : source_(std::move(source)), start_(start), length_(length) {
  if (!source_) throw EVornError("range stream: no source");
  int64_t size = source_->Size();
  if (start_ < 0 || start_ > size) throw EVornError("range stream: start outside the source");
  if (length_ < 0 || length_ > size - start_) throw EVornError("range stream: length outside the source");
}

std::unique_ptr<TRangeStream> TRangeStream::OverFile(const std::string& path) {
  auto src = std::make_shared<TTpBigFileStream>(path, TTpBigFileStream::Mode::Read);
  int64_t size = src->Size();
  return std::make_unique<TRangeStream>(std::move(src), 0, size);
}

size_t TRangeStream::Read(void* buffer, size_t n) {
  std::lock_guard<std::mutex> hold(lock_);
  int64_t left = length_ - pos_;
  if (left <= 0 || n == 0) return 0;
  size_t want = static_cast<size_t>(std::min<int64_t>(left, static_cast<int64_t>(n)));
  size_t got = source_->ReadAt(start_ + pos_, buffer, want);
  pos_ += static_cast<int64_t>(got);
  return got;
}

void TRangeStream::Write(const void*, size_t) { throw EVornError("range stream: read-only"); }

int64_t TRangeStream::Position() const {
  std::lock_guard<std::mutex> hold(lock_);
  return pos_;
}

int64_t TRangeStream::SeekFrom(int64_t offset, SeekOrigin origin) {
  std::lock_guard<std::mutex> hold(lock_);
  int64_t target = pos_;
  switch (origin) {
    case SeekOrigin::Begin: target = offset; break;
    case SeekOrigin::Current: target = pos_ + offset; break;
    case SeekOrigin::End: target = length_ + offset; break;
  }
  pos_ = std::clamp<int64_t>(target, 0, length_);
  return pos_;
}

}  // namespace vorn
