// The scancode -> virtual-key table. Positions follow a US/JIS keyboard; the OEM keys give
// the codes Windows reports for those positions.
#include "platform/sdl_keys.h"

#include <array>

namespace vorn {

namespace {

struct KeyEntry {
  SDL_Scancode scancode;
  uint8_t vk;
};

constexpr KeyEntry kKeys[] = {
    // Letters (position fallback; layout letters are taken from the keycode first).
    {SDL_SCANCODE_A, 'A'}, {SDL_SCANCODE_B, 'B'}, {SDL_SCANCODE_C, 'C'}, {SDL_SCANCODE_D, 'D'},
    {SDL_SCANCODE_E, 'E'}, {SDL_SCANCODE_F, 'F'}, {SDL_SCANCODE_G, 'G'}, {SDL_SCANCODE_H, 'H'},
    {SDL_SCANCODE_I, 'I'}, {SDL_SCANCODE_J, 'J'}, {SDL_SCANCODE_K, 'K'}, {SDL_SCANCODE_L, 'L'},
    {SDL_SCANCODE_M, 'M'}, {SDL_SCANCODE_N, 'N'}, {SDL_SCANCODE_O, 'O'}, {SDL_SCANCODE_P, 'P'},
    {SDL_SCANCODE_Q, 'Q'}, {SDL_SCANCODE_R, 'R'}, {SDL_SCANCODE_S, 'S'}, {SDL_SCANCODE_T, 'T'},
    {SDL_SCANCODE_U, 'U'}, {SDL_SCANCODE_V, 'V'}, {SDL_SCANCODE_W, 'W'}, {SDL_SCANCODE_X, 'X'},
    {SDL_SCANCODE_Y, 'Y'}, {SDL_SCANCODE_Z, 'Z'},
    // Digit row.
    {SDL_SCANCODE_1, '1'}, {SDL_SCANCODE_2, '2'}, {SDL_SCANCODE_3, '3'}, {SDL_SCANCODE_4, '4'},
    {SDL_SCANCODE_5, '5'}, {SDL_SCANCODE_6, '6'}, {SDL_SCANCODE_7, '7'}, {SDL_SCANCODE_8, '8'},
    {SDL_SCANCODE_9, '9'}, {SDL_SCANCODE_0, '0'},
    // Editing and control keys.
    {SDL_SCANCODE_RETURN, 0x0D}, {SDL_SCANCODE_RETURN2, 0x0D}, {SDL_SCANCODE_ESCAPE, 0x1B},
    {SDL_SCANCODE_BACKSPACE, 0x08}, {SDL_SCANCODE_TAB, 0x09}, {SDL_SCANCODE_SPACE, 0x20},
    {SDL_SCANCODE_CAPSLOCK, 0x14}, {SDL_SCANCODE_PRINTSCREEN, 0x2C},
    {SDL_SCANCODE_SCROLLLOCK, 0x91}, {SDL_SCANCODE_PAUSE, 0x13}, {SDL_SCANCODE_INSERT, 0x2D},
    {SDL_SCANCODE_HOME, 0x24}, {SDL_SCANCODE_PAGEUP, 0x21}, {SDL_SCANCODE_DELETE, 0x2E},
    {SDL_SCANCODE_END, 0x23}, {SDL_SCANCODE_PAGEDOWN, 0x22}, {SDL_SCANCODE_RIGHT, 0x27},
    {SDL_SCANCODE_LEFT, 0x25}, {SDL_SCANCODE_DOWN, 0x28}, {SDL_SCANCODE_UP, 0x26},
    {SDL_SCANCODE_NUMLOCKCLEAR, 0x90}, {SDL_SCANCODE_APPLICATION, 0x5D},
    {SDL_SCANCODE_MENU, 0x5D}, {SDL_SCANCODE_HELP, 0x2F}, {SDL_SCANCODE_SELECT, 0x29},
    {SDL_SCANCODE_EXECUTE, 0x2B}, {SDL_SCANCODE_CLEAR, 0x0C}, {SDL_SCANCODE_SLEEP, 0x5F},
    {SDL_SCANCODE_CANCEL, 0x03}, {SDL_SCANCODE_SEPARATOR, 0x6C},
    // Modifiers: Windows reports the generic codes in key messages.
    {SDL_SCANCODE_LSHIFT, 0x10}, {SDL_SCANCODE_RSHIFT, 0x10}, {SDL_SCANCODE_LCTRL, 0x11},
    {SDL_SCANCODE_RCTRL, 0x11}, {SDL_SCANCODE_LALT, 0x12}, {SDL_SCANCODE_RALT, 0x12},
    {SDL_SCANCODE_LGUI, 0x5B}, {SDL_SCANCODE_RGUI, 0x5C},
    // Function keys.
    {SDL_SCANCODE_F1, 0x70}, {SDL_SCANCODE_F2, 0x71}, {SDL_SCANCODE_F3, 0x72},
    {SDL_SCANCODE_F4, 0x73}, {SDL_SCANCODE_F5, 0x74}, {SDL_SCANCODE_F6, 0x75},
    {SDL_SCANCODE_F7, 0x76}, {SDL_SCANCODE_F8, 0x77}, {SDL_SCANCODE_F9, 0x78},
    {SDL_SCANCODE_F10, 0x79}, {SDL_SCANCODE_F11, 0x7A}, {SDL_SCANCODE_F12, 0x7B},
    {SDL_SCANCODE_F13, 0x7C}, {SDL_SCANCODE_F14, 0x7D}, {SDL_SCANCODE_F15, 0x7E},
    {SDL_SCANCODE_F16, 0x7F}, {SDL_SCANCODE_F17, 0x80}, {SDL_SCANCODE_F18, 0x81},
    {SDL_SCANCODE_F19, 0x82}, {SDL_SCANCODE_F20, 0x83}, {SDL_SCANCODE_F21, 0x84},
    {SDL_SCANCODE_F22, 0x85}, {SDL_SCANCODE_F23, 0x86}, {SDL_SCANCODE_F24, 0x87},
    // Keypad (Num Lock on; see NavigationForKeypad for Num Lock off).
    {SDL_SCANCODE_KP_0, 0x60}, {SDL_SCANCODE_KP_1, 0x61}, {SDL_SCANCODE_KP_2, 0x62},
    {SDL_SCANCODE_KP_3, 0x63}, {SDL_SCANCODE_KP_4, 0x64}, {SDL_SCANCODE_KP_5, 0x65},
    {SDL_SCANCODE_KP_6, 0x66}, {SDL_SCANCODE_KP_7, 0x67}, {SDL_SCANCODE_KP_8, 0x68},
    {SDL_SCANCODE_KP_9, 0x69}, {SDL_SCANCODE_KP_MULTIPLY, 0x6A}, {SDL_SCANCODE_KP_PLUS, 0x6B},
    {SDL_SCANCODE_KP_MINUS, 0x6D}, {SDL_SCANCODE_KP_PERIOD, 0x6E},
    {SDL_SCANCODE_KP_DIVIDE, 0x6F}, {SDL_SCANCODE_KP_ENTER, 0x0D},
    {SDL_SCANCODE_KP_COMMA, 0x6C}, {SDL_SCANCODE_KP_EQUALS, 0x92},
    {SDL_SCANCODE_KP_DECIMAL, 0x6E},
    // Punctuation positions (US names; JIS keyboards report the same positions).
    {SDL_SCANCODE_SEMICOLON, 0xBA}, {SDL_SCANCODE_EQUALS, 0xBB}, {SDL_SCANCODE_COMMA, 0xBC},
    {SDL_SCANCODE_MINUS, 0xBD}, {SDL_SCANCODE_PERIOD, 0xBE}, {SDL_SCANCODE_SLASH, 0xBF},
    {SDL_SCANCODE_GRAVE, 0xC0}, {SDL_SCANCODE_LEFTBRACKET, 0xDB},
    {SDL_SCANCODE_BACKSLASH, 0xDC}, {SDL_SCANCODE_RIGHTBRACKET, 0xDD},
    {SDL_SCANCODE_APOSTROPHE, 0xDE}, {SDL_SCANCODE_NONUSBACKSLASH, 0xE2},
    {SDL_SCANCODE_NONUSHASH, 0xDC},
    // Japanese keys: ろ, カタカナ/ひらがな, ￥, 変換, 無変換; and the IME keys.
    {SDL_SCANCODE_INTERNATIONAL1, 0xE2}, {SDL_SCANCODE_INTERNATIONAL2, 0x15},
    {SDL_SCANCODE_INTERNATIONAL3, 0xDC}, {SDL_SCANCODE_INTERNATIONAL4, 0x1C},
    {SDL_SCANCODE_INTERNATIONAL5, 0x1D}, {SDL_SCANCODE_LANG1, 0x15}, {SDL_SCANCODE_LANG2, 0x19},
    {SDL_SCANCODE_LANG3, 0xF1}, {SDL_SCANCODE_LANG4, 0xF2}, {SDL_SCANCODE_LANG5, 0xF3},
    // Browser, media and volume keys.
    {SDL_SCANCODE_AC_BACK, 0xA6}, {SDL_SCANCODE_AC_FORWARD, 0xA7},
    {SDL_SCANCODE_AC_REFRESH, 0xA8}, {SDL_SCANCODE_AC_STOP, 0xA9},
    {SDL_SCANCODE_AC_SEARCH, 0xAA}, {SDL_SCANCODE_AC_BOOKMARKS, 0xAB},
    {SDL_SCANCODE_AC_HOME, 0xAC}, {SDL_SCANCODE_MUTE, 0xAD}, {SDL_SCANCODE_AUDIOMUTE, 0xAD},
    {SDL_SCANCODE_VOLUMEDOWN, 0xAE}, {SDL_SCANCODE_VOLUMEUP, 0xAF},
    {SDL_SCANCODE_AUDIONEXT, 0xB0}, {SDL_SCANCODE_AUDIOPREV, 0xB1},
    {SDL_SCANCODE_AUDIOSTOP, 0xB2}, {SDL_SCANCODE_AUDIOPLAY, 0xB3}, {SDL_SCANCODE_MAIL, 0xB4},
    {SDL_SCANCODE_MEDIASELECT, 0xB5}, {SDL_SCANCODE_APP1, 0xB6}, {SDL_SCANCODE_APP2, 0xB7},
};

constexpr std::array<uint8_t, SDL_NUM_SCANCODES> BuildTable() {
  std::array<uint8_t, SDL_NUM_SCANCODES> table{};
  for (const KeyEntry& e : kKeys) table[e.scancode] = e.vk;
  return table;
}

constexpr std::array<uint8_t, SDL_NUM_SCANCODES> kTable = BuildTable();

// With Num Lock off the keypad digits act as the navigation keys, as on Windows.
uint32_t NavigationForKeypad(SDL_Scancode scancode) {
  switch (scancode) {
    case SDL_SCANCODE_KP_0: return 0x2D;       // Insert
    case SDL_SCANCODE_KP_1: return 0x23;       // End
    case SDL_SCANCODE_KP_2: return 0x28;       // Down
    case SDL_SCANCODE_KP_3: return 0x22;       // Page Down
    case SDL_SCANCODE_KP_4: return 0x25;       // Left
    case SDL_SCANCODE_KP_5: return 0x0C;       // Clear
    case SDL_SCANCODE_KP_6: return 0x27;       // Right
    case SDL_SCANCODE_KP_7: return 0x24;       // Home
    case SDL_SCANCODE_KP_8: return 0x26;       // Up
    case SDL_SCANCODE_KP_9: return 0x21;       // Page Up
    case SDL_SCANCODE_KP_PERIOD: return 0x2E;  // Delete
    default: return 0;
  }
}

}  // namespace

uint32_t SdlKeyToVk(SDL_Scancode scancode, SDL_Keycode keycode, uint16_t modifiers) {
  if (keycode >= SDLK_a && keycode <= SDLK_z) return static_cast<uint32_t>('A' + (keycode - SDLK_a));
  if (scancode < 0 || scancode >= SDL_NUM_SCANCODES) return 0;
  if (!(modifiers & KMOD_NUM)) {
    if (const uint32_t nav = NavigationForKeypad(scancode)) return nav;
  }
  return kTable[scancode];
}

std::optional<uint32_t> TranslateKeyEvent(const SDL_KeyboardEvent& event) {
  if (event.repeat != 0) return std::nullopt;
  const uint32_t vk = SdlKeyToVk(event.keysym.scancode, event.keysym.sym, event.keysym.mod);
  if (vk == 0) return std::nullopt;
  return vk;
}

}  // namespace vorn
