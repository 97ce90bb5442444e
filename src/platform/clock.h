// The injected clock: monotonic milliseconds as uint32 (wrapping like the system tick count),
// a real one for windowed play and a fixed-step one that makes headless runs deterministic.
#pragma once

#include <cstdint>
#include <memory>

namespace vorn {

class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds since an arbitrary origin; wraps at 2^32, so callers subtract, never compare.
  virtual uint32_t NowMs() = 0;
  // Lets ms milliseconds pass. The real clock blocks the caller; the fixed-step clock only
  // moves its time forward and returns at once.
  virtual void Sleep(uint32_t ms) = 0;
  // True when time moves only through Sleep/Advance (no real waiting is ever needed).
  virtual bool IsVirtual() const { return false; }
};

// Steady system time, any thread.
std::unique_ptr<Clock> CreateSystemClock();

// Time that stands still until told to move: headless runs step it once per frame.
class FixedStepClock final : public Clock {
 public:
  explicit FixedStepClock(uint32_t start = 0) : now_(start) {}
  uint32_t NowMs() override { return now_; }
  void Sleep(uint32_t ms) override { now_ += ms; }
  bool IsVirtual() const override { return true; }

 private:
  uint32_t now_;
};

}  // namespace vorn
