// Mutation fuzzing of the shell's text readers: game.ini (read into the player settings),
// the headless input script, and the command line (arguments joined by NUL bytes). Damaged
// input may only raise the engine's errors.
#include <gtest/gtest.h>

#include "shell/command_line.h"
#include "shell/ini_file.h"
#include "shell/input_script.h"
#include "shell/player_settings.h"
#include "support/mutation_fuzz.h"

namespace vorn {
namespace {

using testing::FuzzFormat;

constexpr int kIterations = 3000;
constexpr uint64_t kSeed = 20261211;

std::vector<uint8_t> Text(std::string_view s) { return {s.begin(), s.end()}; }
std::string_view View(const std::vector<uint8_t>& b) {
  return {reinterpret_cast<const char*>(b.data()), b.size()};
}

FuzzFormat IniFormat() {
  return {"game.ini",
          {Text("; written by the settings dialog\r\n[Sound]\r\nDirectSound=0\r\nDelayTime=300\r\n"
                "[Video]\r\nUseWMP=1\r\n[Debug]\r\nScriptTrace=yes\r\n"),
           Text("[sound]\ndelaytime = -0x7FFFFFFF\n\n[ Video ]\n  usewmp =  true  \n")},
          [](const std::vector<uint8_t>& bytes) {
            IniFile ini = IniFile::Parse(View(bytes), "game.ini");
            PlayerSettings s = ReadPlayerSettings(ini);
            WritePlayerSettings(ini, s);
            ini.ReadInteger("Sound", "DelayTime", 0);
          }};
}

FuzzFormat InputScriptFormat() {
  return {"input script",
          {Text("# comment\n5 quit\n1 move 10 20\n2 click 30 40 right\n\n3 wheel up\r\n3 key 0x0D\n"
                "4 down 1 2 left\n4 up 1 2\n6 keydown 65\n6 keyup 255\n7 text \xe3\x81\x82x\n8 wheel down\n")},
          [](const std::vector<uint8_t>& bytes) { ParseInputScript(View(bytes), "in.txt"); }};
}

// Arguments separated by NUL bytes, so mutations split, join and change them.
std::vector<std::string> Args(const std::vector<uint8_t>& bytes) {
  std::vector<std::string> args(1);
  for (uint8_t b : bytes) {
    if (b == 0) args.emplace_back();
    else args.back() += static_cast<char>(b);
  }
  return args;
}

FuzzFormat CommandLineFormat() {
  std::string joined;
  for (const char* a : {"--headless", "--frames", "3", "--frame-ms=20", "--input", "in.txt", "--answer", "no",
                        "--screenshot", "3:out.png", "--screenshot=1:a:b.png", "--trace", "t.txt", "--dump-vars",
                        "v.txt", "--seed", "4294967295", "game", "extra.dat"}) {
    if (!joined.empty()) joined += '\0';
    joined += a;
  }
  return {"command line", {Text(joined), Text("/config")},
          [](const std::vector<uint8_t>& bytes) { ParseCommandLine(Args(bytes)); }};
}

TEST(ShellMutationFuzz, DamagedTextRaisesOnlyEngineErrors) {
  testing::RunMutationFuzzAll({IniFormat(), InputScriptFormat(), CommandLineFormat()}, kIterations, kSeed);
}

}  // namespace
}  // namespace vorn
