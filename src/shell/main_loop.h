// The main loop on the main thread: waits for the next frame while delivering input, runs
// Engine::Tick with the frame's time values, takes screenshots, and stops when
// TerminateRequested is set or after the last requested frame.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "shell/command_line.h"
#include "shell/engine.h"

namespace vorn {

struct LoopOptions {
  std::optional<uint32_t> maxFrames;          // stop after this frame
  std::vector<ScreenshotRequest> screenshots; // written after their frame
};

// Runs frames until the engine terminates; returns the number of frames run. An exception
// escaping Tick is reported once through Engine::ReportFatal and ends the loop. A screenshot
// that cannot be written is reported and sets the exit status to 1.
uint32_t RunMainLoop(Engine& engine, const LoopOptions& options);

}  // namespace vorn
