// The unique-draw pool of TTpRandom.
#include "tp_random.h"

#include "error.h"

namespace vorn {

void TTpRandom::Reset(int n) {
  pool_.clear();
  if (n <= 0) return;
  pool_.reserve(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) pool_.push_back(static_cast<uint32_t>(i));
}

uint32_t TTpRandom::NextUnique() {
  if (pool_.empty()) throw EVornError("TTpRandom.NextUnique: the pool is empty");
  uint32_t k = Next() % static_cast<uint32_t>(pool_.size());
  uint32_t v = pool_[k];
  pool_.erase(pool_.begin() + k);
  return v;
}

}  // namespace vorn
