// The main window's toolbar: a dock with two buttons, "終了" (quit) and "画面切替" (screen
// switch), drawn into a frame buffer with the font source's glyphs.
#pragma once

#include <memory>
#include <string>

#include "platform/font_source.h"
#include "platform/frame_buffer.h"

namespace vorn {

enum class ToolbarButton { None = -1, Quit = 0, ScreenSwitch = 1 };

class Toolbar {
 public:
  // fonts may be null: the buttons are then drawn without labels.
  explicit Toolbar(FontSource* fonts);
  ~Toolbar();

  // The button under a point of the dock (dock coordinates), or None.
  static ToolbarButton HitTest(int x, int y);
  // Draws the dock, width x kDockHeight, with the given button hovered and/or held down.
  void Render(FrameBuffer& target, int width, ToolbarButton hover, ToolbarButton pressed);

 private:
  struct Label;
  std::unique_ptr<Label> labels_[2];
};

}  // namespace vorn
