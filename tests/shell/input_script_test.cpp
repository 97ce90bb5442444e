// The headless input script and the command line: what they accept and how they refuse.
#include <gtest/gtest.h>

#include "resources/error.h"
#include "shell/command_line.h"
#include "shell/input_script.h"

namespace vorn {
namespace {

TEST(InputScript, EveryEventKindInFrameOrder) {
  const std::vector<ScriptedInput> events = ParseInputScript(
      "# comment\n"
      "5 quit\n"
      "1 move 10 20\n"
      "2 click 30 40 right\n"
      "\n"
      "3 wheel up\r\n"
      "3 key 0x0D\n"
      "4 text  hello world \n"
      "4 keydown 65\n"
      "4 down -1 2\n",
      "in.txt");
  std::vector<std::pair<uint32_t, InputKind>> got;
  for (const ScriptedInput& s : events) got.push_back({s.frame, s.event.kind});
  const std::vector<std::pair<uint32_t, InputKind>> expected = {
      {1, InputKind::MouseMove}, {2, InputKind::MouseMove}, {2, InputKind::MouseDown},
      {2, InputKind::MouseUp},   {3, InputKind::Wheel},     {3, InputKind::KeyDown},
      {3, InputKind::KeyUp},     {4, InputKind::Text},      {4, InputKind::KeyDown},
      {4, InputKind::MouseMove}, {4, InputKind::MouseDown}, {5, InputKind::Quit}};
  EXPECT_EQ(got, expected);
  EXPECT_EQ(events[0].event.x, 10);
  EXPECT_EQ(events[0].event.y, 20);
  EXPECT_EQ(events[2].event.button, MouseButton::Right);
  EXPECT_TRUE(events[4].event.wheelUp);
  EXPECT_EQ(events[5].event.vk, 13u);
  EXPECT_EQ(events[7].event.text, "hello world");
  EXPECT_EQ(events[9].event.x, -1);
}

TEST(InputScript, BadLinesNameTheLineAndTheProblem) {
  const struct {
    const char* text;
    const char* expected;
  } cases[] = {
      {"1 move 1 2\n2 jump\n", "in.txt line 2: unknown event \"jump\""},
      {"0 quit\n", "in.txt line 1: expected a frame number from 1"},
      {"x quit\n", "in.txt line 1: expected a frame number"},
      {"3\n", "in.txt line 1: an event is missing"},
      {"1 move 10\n", "in.txt line 1: move takes 2 arguments, found 1"},
      {"1 click 1 2 middle\n", "in.txt line 1: expected left or right"},
      {"1 wheel sideways\n", "in.txt line 1: expected wheel up or wheel down"},
      {"1 key 256\n", "in.txt line 1: bad virtual-key number \"256\""},
      {"1 keydown 0\n", "in.txt line 1: bad virtual-key number"},
      {"1 move a 2\n", "in.txt line 1: bad coordinate \"a\""},
      {"1 text\n", "in.txt line 1: text needs the text"},
      {"1 quit now\n", "in.txt line 1: quit takes 0 arguments"},
  };
  for (const auto& c : cases) {
    try {
      ParseInputScript(c.text, "in.txt");
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const EVornError& e) {
      EXPECT_NE(std::string(e.what()).find(c.expected), std::string::npos) << e.what();
    }
  }
}

TEST(CommandLine, HeadlessRunOptions) {
  const CommandLine cl = ParseCommandLine(
      {"--headless", "--frames", "3", "--frame-ms=20", "--input", "in.txt", "--answer", "no",
       "--screenshot", "3:out.png", "--screenshot=1:a:b.png", "--trace", "t.txt", "--dump-vars",
       "v.txt", "--seed", "4294967295", "game", "extra.dat"});
  EXPECT_TRUE(cl.headless);
  EXPECT_EQ(cl.frames, 3u);
  EXPECT_EQ(cl.frameMs, 20u);
  EXPECT_EQ(cl.inputFile, "in.txt");
  EXPECT_EQ(cl.answer, DialogAnswer::No);
  ASSERT_EQ(cl.screenshots.size(), 2u);
  EXPECT_EQ(cl.screenshots[1].frame, 1u);
  EXPECT_EQ(cl.screenshots[1].path, "a:b.png");
  EXPECT_EQ(cl.traceFile, "t.txt");
  EXPECT_EQ(cl.dumpVarsFile, "v.txt");
  EXPECT_EQ(cl.seed, 4294967295u);
  EXPECT_EQ(cl.gameArgs, (std::vector<std::string>{"game", "extra.dat"}));
}

TEST(CommandLine, ConfigInAnyCase) {
  EXPECT_TRUE(ParseCommandLine({"/CONFIG"}).config);
  EXPECT_TRUE(ParseCommandLine({"/Config"}).config);
  EXPECT_TRUE(ParseCommandLine({"--CONFIG"}).config);
  // Only as the first argument does "/config" mean the dialog; later it is a path.
  EXPECT_FALSE(ParseCommandLine({"game", "/config"}).config);
}

TEST(CommandLine, BadOptionsAreNamed) {
  const struct {
    std::vector<std::string> args;
    const char* expected;
  } cases[] = {
      {{"--bogus"}, "unknown option --bogus"},
      {{"--headless", "--frames"}, "option --frames needs a value"},
      {{"--headless", "--frames", "0"}, "option --frames: expected a whole number from 1"},
      {{"--headless", "--frame-ms", "300"}, "option --frame-ms: expected a whole number from 1 to 299"},
      {{"--headless", "--answer", "maybe"}, "option --answer: expected ok, yes, no or cancel"},
      {{"--screenshot", "out.png"}, "option --screenshot: expected N:FILE.png"},
      {{"--seed", "-1"}, "option --seed: expected a whole number"},
      {{"--input", "x.txt"}, "option --input needs --headless"},
      {{"--headless=1"}, "option --headless takes no value"},
  };
  for (const auto& c : cases) {
    try {
      ParseCommandLine(c.args);
      ADD_FAILURE() << "accepted: " << c.args[0];
    } catch (const EVornError& e) {
      EXPECT_NE(std::string(e.what()).find(c.expected), std::string::npos) << e.what();
    }
  }
}

}  // namespace
}  // namespace vorn
