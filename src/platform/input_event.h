// What the display backends deliver to the engine: pointer, wheel, keys (as Windows
// virtual-key numbers, the ones scripts use), text, the toolbar buttons, activation and the
// request to close. Coordinates are pixels of the game screen.
#pragma once

#include <cstdint>
#include <string>

namespace vorn {

enum class InputKind {
  MouseMove,
  MouseDown,
  MouseUp,
  Wheel,
  KeyDown,
  KeyUp,
  Text,                // UTF-8 text typed by the user
  Quit,                // the window was closed (or the process asked to stop)
  ToolbarQuit,         // the toolbar's quit button
  ToolbarScreenSwitch, // the toolbar's full-screen button
  Activate,
  Deactivate,
};

enum class MouseButton { Left, Right, Middle };

struct InputEvent {
  InputKind kind = InputKind::MouseMove;
  int x = 0;  // MouseMove/Down/Up: position on the game screen (may lie outside it)
  int y = 0;
  MouseButton button = MouseButton::Left;
  bool wheelUp = false;   // Wheel
  uint32_t vk = 0;        // KeyDown/KeyUp: 1..255
  std::string text;       // Text
};

// The receiver of input; implemented by the engine. Called on the main thread only.
class InputSink {
 public:
  virtual ~InputSink() = default;
  virtual void HandleInput(const InputEvent& event) = 0;
};

}  // namespace vorn
