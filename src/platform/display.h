// The display and input service: the main window with its toolbar, the game screen shown in
// it (scaled when the window is larger), full-screen switching and the input it collects.
// All methods run on the main thread.
#pragma once

#include <cstdint>
#include <string>

#include "platform/frame_buffer.h"
#include "platform/input_event.h"

namespace vorn {

// Height of the toolbar's dock: a button of 18 pixels plus 4.
constexpr int kToolbarButtonWidth = 67;
constexpr int kToolbarButtonHeight = 18;
constexpr int kDockHeight = kToolbarButtonHeight + 4;

// Where the game screen sits: the window's client size and the panel's offset and size.
struct WindowLayout {
  int clientWidth = 0;
  int clientHeight = 0;
  int panelX = 0;
  int panelY = 0;
  int screenWidth = 0;
  int screenHeight = 0;
  bool dockVisible = true;
};

// Top-left corner of a window of w x h centred in an area; the halves truncate toward zero,
// so a window larger than the area starts left of (above) it by half the excess.
struct Point {
  int x = 0;
  int y = 0;
};
inline Point CentreInArea(int areaX, int areaY, int areaWidth, int areaHeight, int w, int h) {
  return {areaX + (areaWidth - w) / 2, areaY + (areaHeight - h) / 2};
}

class Display {
 public:
  virtual ~Display() = default;

  // Creates the (still hidden) main window with the given CP932 caption and client size.
  // Raises EVornError with the reason when no window can be made.
  virtual void Open(const std::string& captionCp932, int clientWidth, int clientHeight) = 0;
  // Sizes the window and places the game screen as computed by the shell; centres the
  // window in the work area when windowed. The presented buffer is resized to the screen.
  virtual void ApplyLayout(const WindowLayout& layout) = 0;
  // Makes the window visible (after the engine finished its start-up).
  virtual void Show() = 0;
  virtual void SetCaption(const std::string& captionCp932) = 0;

  // Shows a frame of the game screen and keeps a copy (see Presented).
  virtual void Present(const FrameBuffer& screen) = 0;
  // The last presented frame; black at the screen size before the first one.
  virtual const FrameBuffer& Presented() const = 0;

  // Delivers pending input to sink without waiting. upcomingFrame is the number of the frame
  // about to run (frame 1 is the first tick): scripted input is keyed by it.
  virtual void PumpEvents(uint32_t upcomingFrame, InputSink& sink) = 0;
  // Blocks up to ms milliseconds or until input arrives. Backends without a real event
  // source return at once.
  virtual void WaitForEvent(uint32_t /*ms*/) {}

  // Full screen: the whole monitor shows the game screen, the toolbar hidden until the
  // pointer touches the top row. Returns false when the switch is not possible here.
  virtual bool SetFullScreen(bool full) = 0;
  virtual bool IsFullScreen() const = 0;
  // The work area (monitor minus panels) the window is centred in; {0,0,w,h} by default.
  virtual void WorkArea(int& x, int& y, int& width, int& height) const = 0;
  // Moves the pointer to a position of the game screen (no effect without a pointer).
  virtual void WarpPointer(int /*x*/, int /*y*/) {}
};

}  // namespace vorn
