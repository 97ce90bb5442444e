// The loop: pacing through FramePacer, waiting through the display (so input keeps flowing)
// or through the fixed-step clock in headless runs.
#include "shell/main_loop.h"

#include <algorithm>
#include <cstdio>

#include "resources/cp932.h"
#include "resources/error.h"

namespace vorn {

namespace {

// Lets `wait` ms pass from `start`, delivering input meanwhile; returns early on termination.
void WaitForFrame(Engine& engine, uint32_t start, uint32_t wait, uint32_t upcomingFrame) {
  Platform& p = engine.Services();
  for (;;) {
    p.display->PumpEvents(upcomingFrame, engine);
    if (engine.State().TerminateRequested) return;
    const uint32_t elapsed = p.clock->NowMs() - start;
    if (elapsed >= wait) return;
    if (p.clock->IsVirtual())
      p.clock->Sleep(wait - elapsed);
    else
      p.display->WaitForEvent(wait - elapsed);
  }
}

void TakeScreenshots(Engine& engine, const LoopOptions& options, uint32_t frame) {
  for (const ScreenshotRequest& shot : options.screenshots) {
    if (shot.frame != frame) continue;
    try {
      engine.Services().display->Presented().WritePng(shot.path);
    } catch (const EVornError& e) {
      std::fprintf(stderr, "vornplayer: %s\n", e.what());
      engine.RequestTerminate(1);
    }
  }
}

}  // namespace

uint32_t RunMainLoop(Engine& engine, const LoopOptions& options) {
  Platform& p = engine.Services();
  EngineState& state = engine.State();
  FramePacer* pacer = engine.Pacer();
  uint32_t frame = 0;
  if (!pacer) return frame;
  while (!state.TerminateRequested) {
    if (options.maxFrames && frame >= *options.maxFrames) {
      engine.RequestTerminate(0);
      break;
    }
    // While the window is inactive (and the game pauses then) only input flows.
    while (engine.LoopSuspended() && !state.TerminateRequested) {
      p.display->PumpEvents(frame + 1, engine);
      if (p.clock->IsVirtual()) p.clock->Sleep(pacer->Period());
      else p.display->WaitForEvent(100);
    }
    const uint32_t now = p.clock->NowMs();
    WaitForFrame(engine, now, pacer->NextWait(now), frame + 1);
    if (state.TerminateRequested) break;
    const uint32_t arrived = p.clock->NowMs();
    const FramePacer::Arrival a = pacer->Arrive(arrived);
    if (!a.accepted) continue;
    state.GameClock += a.delta;
    state.FrameDelta = a.delta;
    state.LastTickTime = arrived;
    ++frame;
    if (!state.SwitchingScreen) {
      try {
        engine.Tick();
      } catch (const std::exception& e) {
        engine.ReportFatal(e.what());
      }
    }
    TakeScreenshots(engine, options, frame);
  }
  for (const ScreenshotRequest& shot : options.screenshots) {
    if (shot.frame > frame) {
      std::fprintf(stderr, "vornplayer: no screenshot %s: the run ended after frame %u\n",
                   shot.path.c_str(), frame);
      engine.RequestTerminate(1);
    }
  }
  return frame;
}

}  // namespace vorn
