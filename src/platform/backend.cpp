// The backend table.
#include "platform/backend.h"

namespace vorn {

namespace {

constexpr BackendEntry kBackends[] = {
    {"sdl", "a window with toolbar, sound device and message boxes (SDL2)", CreateSdlPlatform},
    {"headless", "no window or sound; fixed-step clock, scripted input and answers",
     CreateHeadlessPlatform},
};

}  // namespace

Platform::~Platform() {
  // The services go first, in reverse order of dependence, then the backend itself.
  fonts.reset();
  dialogs.reset();
  audio.reset();
  display.reset();
  clock.reset();
  lifetime.reset();
}

std::span<const BackendEntry> Backends() { return kBackends; }

const BackendEntry* FindBackend(std::string_view name) {
  for (const BackendEntry& entry : kBackends)
    if (name == entry.name) return &entry;
  return nullptr;
}

}  // namespace vorn
