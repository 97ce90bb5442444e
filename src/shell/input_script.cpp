// Input script parsing.
#include "shell/input_script.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "resources/error.h"

namespace vorn {

namespace {

std::vector<std::string_view> SplitWords(std::string_view line, size_t maxWords) {
  std::vector<std::string_view> words;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i >= line.size()) break;
    if (words.size() + 1 == maxWords) {
      // The last word takes the rest of the line (the text event's text keeps its spaces).
      std::string_view rest = line.substr(i);
      while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\t')) rest.remove_suffix(1);
      words.push_back(rest);
      break;
    }
    const size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    words.push_back(line.substr(start, i - start));
  }
  return words;
}

std::optional<int64_t> ParseNumber(std::string_view s) {
  bool negative = false;
  if (!s.empty() && s[0] == '-') {
    negative = true;
    s.remove_prefix(1);
  }
  int base = 10;
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    base = 16;
    s.remove_prefix(2);
  }
  if (s.empty() || s.size() > 10) return std::nullopt;
  int64_t value = 0;
  for (char c : s) {
    int d;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else return std::nullopt;
    value = value * base + d;
  }
  return negative ? -value : value;
}

}  // namespace

std::vector<ScriptedInput> ParseInputScript(std::string_view text, const std::string& name) {
  std::vector<ScriptedInput> out;
  int lineNumber = 0;
  while (!text.empty()) {
    ++lineNumber;
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

    auto fail = [&](const std::string& problem) -> void {
      throw EVornError(name + " line " + std::to_string(lineNumber) + ": " + problem);
    };
    std::vector<std::string_view> head = SplitWords(line, 0);
    if (head.empty() || head[0][0] == '#') continue;
    const bool isText = head.size() >= 2 && head[1] == "text";
    std::vector<std::string_view> w = isText ? SplitWords(line, 3) : head;

    const std::optional<int64_t> frame = ParseNumber(w[0]);
    if (!frame || *frame < 1 || *frame > UINT32_MAX) fail("expected a frame number from 1, found \"" + std::string(w[0]) + "\"");
    if (w.size() < 2) fail("an event is missing after the frame number");
    const std::string_view event = w[1];
    auto argCount = [&](size_t low, size_t high) {
      const size_t n = w.size() - 2;
      if (n < low || n > high)
        fail(std::string(event) + " takes " + (low == high ? std::to_string(low) : std::to_string(low) + " or " + std::to_string(high)) +
             " argument" + (high == 1 ? "" : "s") + ", found " + std::to_string(n));
    };
    auto coordinate = [&](size_t index) -> int {
      const std::optional<int64_t> v = ParseNumber(w[index]);
      if (!v || *v < INT32_MIN || *v > INT32_MAX) fail("bad coordinate \"" + std::string(w[index]) + "\"");
      return static_cast<int>(*v);
    };
    auto keyCode = [&](size_t index) -> uint32_t {
      const std::optional<int64_t> v = ParseNumber(w[index]);
      if (!v || *v < 1 || *v > 255) fail("bad virtual-key number \"" + std::string(w[index]) + "\" (1..255)");
      return static_cast<uint32_t>(*v);
    };
    auto push = [&](InputEvent e) { out.push_back({static_cast<uint32_t>(*frame), std::move(e)}); };
    auto pointer = [&](InputKind kind, int x, int y, MouseButton button) {
      InputEvent e;
      e.kind = kind;
      e.x = x;
      e.y = y;
      e.button = button;
      push(e);
    };

    if (event == "move") {
      argCount(2, 2);
      pointer(InputKind::MouseMove, coordinate(2), coordinate(3), MouseButton::Left);
    } else if (event == "down" || event == "up" || event == "click") {
      argCount(2, 3);
      MouseButton button = MouseButton::Left;
      if (w.size() == 5) {
        if (w[4] == "left") button = MouseButton::Left;
        else if (w[4] == "right") button = MouseButton::Right;
        else fail("expected left or right, found \"" + std::string(w[4]) + "\"");
      }
      const int x = coordinate(2), y = coordinate(3);
      pointer(InputKind::MouseMove, x, y, button);
      if (event != "up") pointer(InputKind::MouseDown, x, y, button);
      if (event != "down") pointer(InputKind::MouseUp, x, y, button);
    } else if (event == "wheel") {
      argCount(1, 1);
      if (w[2] != "up" && w[2] != "down") fail("expected wheel up or wheel down");
      InputEvent e;
      e.kind = InputKind::Wheel;
      e.wheelUp = w[2] == "up";
      push(e);
    } else if (event == "keydown" || event == "keyup" || event == "key") {
      argCount(1, 1);
      const uint32_t vk = keyCode(2);
      InputEvent e;
      e.vk = vk;
      if (event != "keyup") {
        e.kind = InputKind::KeyDown;
        push(e);
      }
      if (event != "keydown") {
        e.kind = InputKind::KeyUp;
        push(e);
      }
    } else if (event == "text") {
      if (w.size() < 3 || w[2].empty()) fail("text needs the text to type");
      InputEvent e;
      e.kind = InputKind::Text;
      e.text = std::string(w[2]);
      push(e);
    } else if (event == "quit") {
      argCount(0, 0);
      InputEvent e;
      e.kind = InputKind::Quit;
      push(e);
    } else {
      fail("unknown event \"" + std::string(event) + "\"");
    }
  }
  std::stable_sort(out.begin(), out.end(),
                   [](const ScriptedInput& a, const ScriptedInput& b) { return a.frame < b.frame; });
  return out;
}

}  // namespace vorn
