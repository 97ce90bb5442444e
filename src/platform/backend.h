// The platform services an engine runs on, and the table of backends that provide them:
// "sdl" (a real window, sound and dialogs) and "headless" (no window, no sound, a fixed-step
// clock, scripted input and dialog answers, real pixels kept for screenshots).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/audio_device.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/display.h"
#include "platform/font_source.h"
#include "platform/input_event.h"

namespace vorn {

// One scripted input event, delivered before the tick of its frame (frame 1 = first tick).
struct ScriptedInput {
  uint32_t frame = 1;
  InputEvent event;
};

struct BackendOptions {
  uint32_t frameMs = 15;                      // headless: clock step per frame
  std::optional<DialogAnswer> answer;         // headless: every dialog's answer
  std::vector<ScriptedInput> input;           // headless: in frame order
};

// Everything the engine needs from the system; the engine owns it.
struct Platform {
  std::string backendName;
  std::unique_ptr<Clock> clock;
  std::unique_ptr<Display> display;
  std::unique_ptr<AudioDevice> audio;
  std::unique_ptr<Dialogs> dialogs;
  std::unique_ptr<FontSource> fonts;
  // Backend-wide state released after every service above (SDL_Quit for the SDL backend).
  std::shared_ptr<void> lifetime;

  ~Platform();
};

struct BackendEntry {
  const char* name;
  const char* description;
  // Returns null, with the reason in whyNot, when the backend cannot run here.
  std::unique_ptr<Platform> (*create)(const BackendOptions& options, std::string& whyNot);
};

std::span<const BackendEntry> Backends();
const BackendEntry* FindBackend(std::string_view name);

std::unique_ptr<Platform> CreateHeadlessPlatform(const BackendOptions& options, std::string& whyNot);
std::unique_ptr<Platform> CreateSdlPlatform(const BackendOptions& options, std::string& whyNot);

}  // namespace vorn
