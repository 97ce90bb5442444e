// The headless run's input script: one event a line, "FRAME EVENT ARGS", blank lines and
// lines starting with '#' ignored.
//   move X Y | down X Y [left|right] | up X Y [left|right] | click X Y [left|right]
//   | wheel up|down | keydown VK | keyup VK | key VK | text UTF-8-TEXT | quit
// down, up and click move the pointer to X Y first; click and key are a press and a release
// in the same frame. VK is 1..255, decimal or 0x hexadecimal.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/backend.h"

namespace vorn {

// Events in frame order (lines of the same frame keep their order). Raises EVornError
// "<name> line N: <problem>" for a bad line.
std::vector<ScriptedInput> ParseInputScript(std::string_view text, const std::string& name);

}  // namespace vorn
