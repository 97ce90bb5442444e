// Frame pacing fed with clock readings: the period is kept from frame start to frame start,
// long intervals are dropped, and the wait never alternates between 14 and 1 ms.
#include <gtest/gtest.h>

#include <vector>

#include "shell/frame_pacer.h"

namespace vorn {
namespace {

// Runs the loop's protocol for `frames` frames whose work takes `work(i)` ms; returns the
// accepted deltas and records the waits.
std::vector<uint32_t> Simulate(uint32_t start, int frames, uint32_t (*work)(int),
                               std::vector<uint32_t>* waits = nullptr) {
  FramePacer pacer(start);
  uint32_t now = start;
  std::vector<uint32_t> deltas;
  for (int i = 0; i < frames; ++i) {
    const uint32_t wait = pacer.NextWait(now);
    if (waits) waits->push_back(wait);
    now += wait;
    const FramePacer::Arrival a = pacer.Arrive(now);
    if (a.accepted) deltas.push_back(a.delta);
    now += work(i);
  }
  return deltas;
}

TEST(FramePacer, QuickFramesRunEvery15MsWithoutAlternation) {
  std::vector<uint32_t> waits;
  const std::vector<uint32_t> deltas = Simulate(1000, 50, [](int) { return 2u; }, &waits);
  for (uint32_t d : deltas) EXPECT_EQ(d, 15u);
  // After the first frame every wait is the period minus the 2 ms of work: no 14/1 pattern.
  for (size_t i = 1; i < waits.size(); ++i) EXPECT_EQ(waits[i], 13u) << "wait " << i;
}

TEST(FramePacer, ZeroCostFramesGiveAboutSixtySixFramesPerSecond) {
  const std::vector<uint32_t> deltas = Simulate(0, 200, [](int) { return 0u; });
  uint32_t total = 0;
  for (uint32_t d : deltas) total += d;
  EXPECT_EQ(deltas.size(), 200u);
  EXPECT_EQ(total, 200u * 15u);
}

TEST(FramePacer, ALongFrameGivesTheMinimumWaitAndItsDeltaToTheNext) {
  FramePacer pacer(0);
  ASSERT_TRUE(pacer.Arrive(15).accepted);
  // The frame started at 15 took 40 ms.
  const uint32_t wait = pacer.NextWait(55);
  EXPECT_EQ(wait, 1u);
  const FramePacer::Arrival next = pacer.Arrive(55 + wait);
  EXPECT_TRUE(next.accepted);
  EXPECT_EQ(next.delta, 41u);
}

TEST(FramePacer, IntervalsOf300MsOrMoreAreDropped) {
  FramePacer a(0);
  const FramePacer::Arrival at299 = a.Arrive(299);
  EXPECT_TRUE(at299.accepted);
  EXPECT_EQ(at299.delta, 299u);

  FramePacer b(0);
  EXPECT_FALSE(b.Arrive(300).accepted);
  // The dropped interval restarts the count: the next frame measures from there.
  const FramePacer::Arrival after = b.Arrive(315);
  EXPECT_TRUE(after.accepted);
  EXPECT_EQ(after.delta, 15u);
}

TEST(FramePacer, AFiveSecondPauseDoesNotAdvanceTheGameClock) {
  FramePacer pacer(0);
  uint32_t gameClock = 0, now = 0;
  for (int i = 0; i < 10; ++i) {
    now += pacer.NextWait(now);
    const FramePacer::Arrival a = pacer.Arrive(now);
    if (a.accepted) gameClock += a.delta;
  }
  EXPECT_EQ(gameClock, 150u);
  now += 5000;  // the loop was suspended
  if (const FramePacer::Arrival a = pacer.Arrive(now); a.accepted) gameClock += a.delta;
  for (int i = 0; i < 10; ++i) {
    now += pacer.NextWait(now);
    const FramePacer::Arrival a = pacer.Arrive(now);
    if (a.accepted) gameClock += a.delta;
  }
  EXPECT_EQ(gameClock, 300u);
}

TEST(FramePacer, ResetOnActivationStartsFromNow) {
  FramePacer pacer(0);
  pacer.Reset(10000);
  const FramePacer::Arrival a = pacer.Arrive(10015);
  EXPECT_TRUE(a.accepted);
  EXPECT_EQ(a.delta, 15u);
}

TEST(FramePacer, ClockWrapAroundIsOneInterval) {
  FramePacer pacer(0xFFFFFFF8u);
  const FramePacer::Arrival a = pacer.Arrive(7);
  EXPECT_TRUE(a.accepted);
  EXPECT_EQ(a.delta, 15u);
}

TEST(FramePacer, NoTimePassedRunsNoFrame) {
  FramePacer pacer(100);
  EXPECT_FALSE(pacer.Arrive(100).accepted);
  EXPECT_EQ(pacer.Arrive(101).delta, 1u);
}

}  // namespace
}  // namespace vorn
