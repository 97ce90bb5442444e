// The process-wide values the shell owns and every subsystem reads: the quit flag, the game
// clock and frame counters. One instance lives in the Engine; lower modules receive a
// reference to it, so none of them needs a global.
#pragma once

#include <cstdint>

namespace vorn {

struct EngineState {
  bool TerminateRequested = false;
  uint32_t GameClock = 0;      // ms, sum of accepted frame intervals
  uint32_t LastTickTime = 0;   // platform clock at the last accepted frame
  uint32_t FrameDelta = 15;    // ms of the last frame, 1..299
  uint32_t FrameCounter = 0;   // +1 per tick that reached the component update
  bool SwitchingScreen = false;
  int PostLoadSkip = 0;        // frames not drawn after a load
  uint32_t Seed = 0;           // seed of every random generator (--seed)
};

}  // namespace vorn
