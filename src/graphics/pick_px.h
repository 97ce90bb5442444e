// Sequential pixel readers over one row (TPickPx family) and the run collector that builds
// run-length packets for the TGA writer (TPxList).
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

namespace vorn {

class TPickPx {
 public:
  explicit TPickPx(const uint8_t* start) : start_(start), current_(start) {}
  virtual ~TPickPx() = default;
  void Rewind() { current_ = start_; }
  virtual uint32_t Next() { return *current_++; }
  virtual void Skip(int32_t n) { current_ += n; }

 protected:
  const uint8_t* start_;
  const uint8_t* current_;
};

class TPickPx16 : public TPickPx {
 public:
  using TPickPx::TPickPx;
  uint32_t Next() override { uint16_t v; std::memcpy(&v, current_, 2); current_ += 2; return v; }
  void Skip(int32_t n) override { current_ += 2 * n; }
};

// Reads three bytes; the value is the low 24 bits of the little-endian word.
class TPickPx24 : public TPickPx {
 public:
  using TPickPx::TPickPx;
  uint32_t Next() override {
    uint32_t v = current_[0] | (current_[1] << 8) | (uint32_t{current_[2]} << 16);
    current_ += 3;
    return v;
  }
  void Skip(int32_t n) override { current_ += 3 * n; }
};

class TPickPx32 : public TPickPx {
 public:
  using TPickPx::TPickPx;
  uint32_t Next() override { uint32_t v; std::memcpy(&v, current_, 4); current_ += 4; return v; }
  void Skip(int32_t n) override { current_ += 4 * n; }
};

class TPxList {
 public:
  void Add(uint32_t value) {
    counts_.push_back(1);
    values_.push_back(value);
    value_ = value;
    full_ = false;
  }
  void Repeat() {
    if (counts_.empty()) return;
    if (++counts_.back() >= 128) full_ = true;
  }
  bool CanExtend(uint32_t value) const { return !counts_.empty() && !full_ && value == value_; }
  void Rewind() { pos_ = 0; }
  // A run (an entry of count 2 or more) or a raw stretch of up to 128 entries of count 1;
  // `first` is the index of the first value. False at the end.
  bool NextPacket(bool& isRun, int& count, size_t& first) {
    if (pos_ >= counts_.size()) return false;
    first = pos_;
    if (counts_[pos_] >= 2) {
      isRun = true;
      count = counts_[pos_++];
      return true;
    }
    isRun = false;
    count = 0;
    while (pos_ < counts_.size() && counts_[pos_] == 1 && count < 128) ++pos_, ++count;
    return true;
  }
  uint32_t Value(size_t i) const { return values_[i]; }
  void Clear() { counts_.clear(), values_.clear(), pos_ = 0, full_ = false; }

 private:
  std::vector<uint8_t> counts_;
  std::vector<uint32_t> values_;
  uint32_t value_ = 0;
  bool full_ = false;
  size_t pos_ = 0;
};

}  // namespace vorn
