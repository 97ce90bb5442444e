// TTpRandom: the program's own pseudo-random generator (state <- state * 5 + increment, mod
// 2^32) with a pool for drawing each of 0..n-1 exactly once. The archive index keystream, the
// Gale row order and the dither transition depend on its exact sequence.
#pragma once

#include <cstdint>
#include <vector>

namespace vorn {

class TTpRandom {
 public:
  explicit TTpRandom(uint32_t increment) : increment_(increment) {}

  // Advances the state once and returns it.
  uint32_t Next() {
    state_ = state_ * 5u + increment_;
    return state_;
  }
  // Fills the pool with 0, 1, ..., n-1 in order (n <= 0 leaves it empty).
  void Reset(int n);
  // Advances the state, removes the pool element at state mod pool count and returns it.
  // Raises EVornError when the pool is empty (a division by zero otherwise).
  uint32_t NextUnique();

  uint32_t State() const { return state_; }
  uint32_t Increment() const { return increment_; }
  int PoolCount() const { return static_cast<int>(pool_.size()); }

 private:
  uint32_t increment_;
  uint32_t state_ = 0;
  std::vector<uint32_t> pool_;
};

}  // namespace vorn
