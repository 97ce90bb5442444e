// The system clock over std::chrono::steady_clock.
#include "platform/clock.h"

#include <chrono>
#include <thread>

namespace vorn {

namespace {

class SystemClock final : public Clock {
 public:
  uint32_t NowMs() override {
    const auto since = std::chrono::steady_clock::now() - origin_;
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
  }
  void Sleep(uint32_t ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

 private:
  std::chrono::steady_clock::time_point origin_ = std::chrono::steady_clock::now();
};

}  // namespace

std::unique_ptr<Clock> CreateSystemClock() { return std::make_unique<SystemClock>(); }

}  // namespace vorn
