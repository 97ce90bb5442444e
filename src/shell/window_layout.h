// Window size and game-screen placement: the client area is the game screen plus the
// toolbar dock when it is visible; full screen shows the game screen alone.
#pragma once

#include "platform/display.h"

namespace vorn {

// PanelX = (client width - screen width) / 2; PanelY = (client height - screen height) / 2
// in full screen, else the dock height when the dock is visible, else 0.
inline WindowLayout ComputeWindowLayout(int screenWidth, int screenHeight, bool dockVisible,
                                        bool fullScreen) {
  WindowLayout l;
  l.screenWidth = screenWidth;
  l.screenHeight = screenHeight;
  l.dockVisible = dockVisible;
  l.clientWidth = screenWidth;
  l.clientHeight = screenHeight + (!fullScreen && dockVisible ? kDockHeight : 0);
  l.panelX = (l.clientWidth - screenWidth) / 2;
  l.panelY = fullScreen ? (l.clientHeight - screenHeight) / 2 : (dockVisible ? kDockHeight : 0);
  return l;
}

}  // namespace vorn
