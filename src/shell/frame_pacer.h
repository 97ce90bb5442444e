// Frame pacing as a pure object fed clock readings: a frame about every period (15 ms)
// measured from the start of the previous frame; intervals of 300 ms or more (a suspended
// loop, a modal dialog) are dropped so the game clock never jumps.
#pragma once

#include <cstdint>

namespace vorn {

class FramePacer {
 public:
  static constexpr uint32_t kDefaultPeriod = 15;
  static constexpr uint32_t kDropThreshold = 300;

  struct Arrival {
    bool accepted = false;  // run a frame with this delta
    uint32_t delta = 0;     // ms since the previous frame's start, 1..299 when accepted
  };

  explicit FramePacer(uint32_t now, uint32_t period = kDefaultPeriod) : last_(now), period_(period) {}

  // How long to wait, as read after a frame (or a dropped interval) at `now`: the rest of the
  // period counted from the start of the previous frame, at least 1 ms. A frame that overran
  // the period gets the minimum wait; there is no catch-up.
  uint32_t NextWait(uint32_t now) const {
    const uint32_t elapsed = now - last_;
    return elapsed + 1 >= period_ ? 1 : period_ - elapsed;
  }

  // The wait ended at `now`: decides whether a frame runs. An interval of 0 ms runs nothing
  // and keeps the origin; one of kDropThreshold or more is dropped and restarts the count.
  Arrival Arrive(uint32_t now) {
    const uint32_t d = now - last_;
    if (d == 0) return {};
    last_ = now;
    if (d >= kDropThreshold) return {};
    return {true, d};
  }

  // Restarts the count at `now` (the window was activated again: the pause is not counted).
  void Reset(uint32_t now) { last_ = now; }

  uint32_t Origin() const { return last_; }
  uint32_t Period() const { return period_; }

 private:
  uint32_t last_;
  uint32_t period_;
};

}  // namespace vorn
