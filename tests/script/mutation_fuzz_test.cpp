// Mutation fuzzing of the script readers: page files of several versions holding every kind
// of command, and the project file (with its typed variables and folder list) at old and new
// versions. Damaged input may only raise the engine's errors.
#include <gtest/gtest.h>

#include <cstring>

#include "resources/binary_reader.h"
#include "resources/stream.h"
#include "script/command_state.h"
#include "script/page.h"
#include "script/page_compiler.h"
#include "script/project_setting.h"
#include "support/mutation_fuzz.h"
#include "support/project_file_writer.h"

namespace vorn {
namespace {

using testing::FuzzFormat;

constexpr int kIterations = 2000;
constexpr uint64_t kSeed = 20261211;

// Pages that between them hold every command kind with its fields set.
const char* const kPages[] = {
    "*top\nIf a > 1\n  Calc a = 2\nElseif a < 0\n  Calc a = 3\nElse\n  Calc a = 4\n"
    "Label start\nJump main.vsb:top; cond: a == 1\nCall main.vsb:top; result: r; cond: TRUE; args: 1, a + 2, \"s\"\n"
    "Exit a == 3\nWait 100; cond: a > 0; noevents: TRUE\nVarNew s; type: string; value: \"abc\"; scope: local\n"
    "VarDel s\nGetProp \"pic\"; prop: 3; var: x\nSetProp \"pic\"; prop: 3; value: 100\nObjDel \"pic\"\n"
    "VarNew i\nWhile i < 3; init: i = 0; step: i = i + 1\n  Break i > 2\n  Continue i == 1\n  Calc a = a + i\n"
    "GameSave 2; to: main.vsb:top; caption: \"save\"\nGameLoad 2\nPCReset main.vsb:top; all: 1\nReset :top; all: 1\n"
    "Terminate\nDoEvent\nClrRead\nClrHist\nComment a note",
    "BoxNew \"box\"; PR_LEFT: 10; top: 20; PR_COLOR: 255\nImgNew \"pic\"; source: \"bg.gal\"; delay: 100\n"
    "MesNew \"mes\"; width: 400; fontname: \"Gothic\"\nTimer \"t\"; delay: 500; onplayend: \"main.vsb:done\"\n"
    "Movie \"mv\"; source: \"a.mpg\"; delay: 1\nFlip 3; duration: 500; reverse: FALSE; mode: 1; names: \"a\", \"b\"; "
    "clear: TRUE; param0: 1; param1: 2; rule: \"rule.gal\"; noevents: TRUE\n"
    "TextIns \"Hello\\nworld\"; window: \"mes\"; read: 1; wait: TRUE; noevents: FALSE\n"
    "MovieStop \"mv\"; fade: 300; wait: TRUE; noevents: TRUE\nCinema \"c\"; source: \"a.vmt\"\n"
    "Caption \"cap\"; text: \"hi\"\nMenu \"m\"; text: \"a\"\nMenuClose \"m\"\nTextClr \"mes\"\n"
    "CallHist \"mes\"; first: 0; count: 10; option: 1; format: \"f\"\n"
    "Button \"b\"; source: \"b.gal\"; onlbtnup: \"main.vsb:click\"",
    "ParticleNew \"p\"; appearx: 10; appeary: 20; delay: 5\nFireNew \"f\"; power: 3\n"
    "Sound \"s\"; source: \"a.ogg\"; volume: 500\nEditNew \"e\"; text: \"x\"\nMemoNew \"mm\"; text: \"x\"\n"
    "MapImgNew \"mi\"; mapsource: \"m.gal\"\nWaveNew \"w\"; amp: 3; wavelen: 50\nTileNew \"tl\"; source: \"t.gal\"\n"
    "SliderNew \"sl\"; min: 0; max: 10; value: 5\nScrollbarNew \"sb\"; min: 0; max: 10\nGaugeNew \"g\"; value: 3\n"
    "CGCaption \"cg\"; text: \"t\"\nMediaPlay \"s\"\nPrevMenuNew \"pm\"; source: \"x.pm\"\n"
    "PropMotion \"pmo\"; object: \"pic\"; prop: 3; end: 100; duration: 500; curve: 1; paused: FALSE\n"
    "FormatHist \"mes\"; format: \"f\"\nSaveCabinet \"cab\"; mode: FALSE; names: \"a\", \"b\"\n"
    "LoadCabinet \"cab\"; mode: TRUE; names: \"a\"",
    // An old page: the fields gated by later versions are absent.
    "%version 103\n*top\nCalc a = 1\nIf a > 1\n  Calc a = 2\nTextIns \"Hi\"; window: \"mes\"\nWait 100\n"
    "ImgNew \"pic\"; source: \"bg.gal\"\nJump main.vsb:top",
    "%version 110\nVarNew i\nWhile i < 3; init: i = 0; step: i = i + 1\n  Calc a = 1\n"
    "BoxNew \"box\"; PR_LEFT: 10\nFlip 3; duration: 500",
};

void ReadPage(const std::vector<uint8_t>& bytes) {
  TPage page;
  page.LoadFromBytes("main.vsb", bytes);
}

FuzzFormat PageFormat() {
  FuzzFormat f{"page file", {}, ReadPage};
  for (const char* source : kPages) f.seeds.push_back(CompilePageSource(source)->SaveToBytes());
  return f;
}

TProjectSetting SampleProject(int version) {
  TProjectSetting s;
  s.version = version;
  s.title = "Demo";
  s.screenWidth = 800;
  s.screenHeight = 600;
  s.startPage = "start.vsb";
  s.endPage = "end.vsb";
  s.registryKey = "VornDemo";
  s.neverAskExtensions = ".avi";
  s.diskChangeMessage = "disk %d";
  s.exitMessage = "bye";
  s.folders.Add("data\\", 2);
  s.folders.Add("bgm\\", 3);
  return s;
}

FuzzFormat ProjectFormat() {
  FuzzFormat f{"project file", {}, [](const std::vector<uint8_t>& bytes) {
                 TProjectSetting s;
                 s.LoadFromBytes(bytes);
               }};
  const std::vector<testing::RawProjectVariable> vars = {
      {1, "count", {0x2A, 0, 0, 0}},
      {2, "ratio", {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}},
      {3, "seen", {1}},
      {4, "name", {3, 0, 0, 0, 'a', 'b', 'c'}},
  };
  for (int version : {100, 106, 110, 116}) f.seeds.push_back(testing::WriteProjectFile(SampleProject(version), vars));
  f.seeds.push_back(SampleProject(116).SaveToBytes());
  return f;
}

// The authoring side's text readers (vornc): page sources and the project description.
FuzzFormat PageSourceFormat() {
  FuzzFormat f{"page source", {}, [](const std::vector<uint8_t>& bytes) {
                 CompilePageSource(std::string(bytes.begin(), bytes.end()))->SaveToBytes();
               }};
  for (const char* source : kPages) f.seeds.emplace_back(source, source + std::strlen(source));
  return f;
}

FuzzFormat ProjectSourceFormat() {
  const std::string text =
      "version = 116\ntitle = \"Demo\"\nscreen = 640x480\nfullscreen = 800x600\nstart = start.vsb\n"
      "end = end.vsb\nregistry = VornDemo\nid = 7\nkeepstatus = 1\nneverask = .wav.ogg\ntoolbar = 1\n"
      "diskmessage = \"disk %d\"\n// note\nvar int score = 0\nvar real r = 1.5\nvar flag f = TRUE\n"
      "var string s = \"x\"\nfolder data\\ = 2\n";
  return {"project source", {std::vector<uint8_t>(text.begin(), text.end())}, [](const std::vector<uint8_t>& bytes) {
            CompileProjectSource(std::string(bytes.begin(), bytes.end())).SaveToBytes();
          }};
}

FuzzFormat CommandStateFormat() {
  MemoryStream m;
  BinaryWriter w(m);
  WriteCommandStateTag(w);
  w.I32(7);
  return {"command state tag", {m.Data()}, [](const std::vector<uint8_t>& bytes) {
            MemoryView v(bytes);
            BinaryReader r(v, "state");
            ReadCommandStateTag(r);
          }};
}

// Inputs the fuzzing found, kept as fixed cases: each must end (quickly) in "ok" or the
// engine's error.
struct KnownCase {
  const char* what;
  std::vector<uint8_t> bytes;
  const char* outcome;
};

TEST(ScriptMutationFuzz, KnownDamagedPages) {
  const std::vector<KnownCase> cases = {
      // Version 116, result type 1, 0x7FFFFFFF property sets of 0 bytes, no commands: the sets
      // beyond the known kinds hold nothing, so there is nothing to step through one by one.
      {"two billion empty property sets", {116, 0, 0, 0, 1, 0xFF, 0xFF, 0xFF, 0x7F, 0, 0, 0, 0, 0, 0, 0, 0}, "ok"},
  };
  for (const KnownCase& c : cases)
    EXPECT_EQ(testing::ReadOutcome({c.what, {}, ReadPage}, c.bytes), c.outcome) << c.what;
}

TEST(ScriptMutationFuzz, DamagedFilesRaiseOnlyEngineErrors) {
  testing::RunMutationFuzzAll({PageFormat(), ProjectFormat(), CommandStateFormat(), PageSourceFormat(), ProjectSourceFormat()},
                             kIterations, kSeed);
}

}  // namespace
}  // namespace vorn
