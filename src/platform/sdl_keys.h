// Translation of SDL keyboard events into Windows virtual-key numbers, the key codes that
// scripts test. Letters follow the keyboard layout; every other key follows its position.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <optional>

namespace vorn {

// The virtual-key number for a key, 0 when the key has none. `modifiers` matters only for
// the keypad, whose keys give navigation codes while Num Lock is off.
uint32_t SdlKeyToVk(SDL_Scancode scancode, SDL_Keycode keycode, uint16_t modifiers);

// A key event as the engine sees it: nullopt for auto-repeat (one key-down per press) and
// for keys without a virtual-key number.
std::optional<uint32_t> TranslateKeyEvent(const SDL_KeyboardEvent& event);

}  // namespace vorn
