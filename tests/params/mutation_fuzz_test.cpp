// Mutation fuzzing of the variable readers: compiled expression streams (read, then run as a
// page would), the game-save section at its version gates and the status section. Damaged
// input may only raise the engine's errors.
#include <gtest/gtest.h>

#include "params/build_vorn_parser.h"
#include "params/param_collection.h"
#include "params/system_function_table.h"
#include "params/vorn_parser.h"
#include "resources/binary_reader.h"
#include "resources/stream.h"
#include "support/mutation_fuzz.h"
#include "support/params_fixtures.h"

namespace vorn {
namespace {

using testing::FuzzFormat;

constexpr int kIterations = 2000;
constexpr uint64_t kSeed = 20261211;

std::vector<uint8_t> StoredExpression(const std::string& text) {
  TBuildVornParser b;
  b.Compile(text);
  MemoryStream m;
  BinaryWriter w(m);
  b.SaveToStream(w);
  return m.Data();
}

FuzzFormat ExpressionFormat() {
  FuzzFormat f{"expression stream", {}, [](const std::vector<uint8_t>& bytes) {
                 MemoryView v(bytes);
                 BinaryReader r(v, "expression");
                 TVornParser p;
                 p.LoadFromStream(r);
                 TParamCollection vars;
                 TSysFuncMan funcs;
                 vars.SetFunctions(&funcs);
                 vars.CreateVariable("a", PT_INT, SCOPE_GLOBAL)->Value().SetInt(5);
                 vars.CreateVariable("s", PT_STR, SCOPE_GLOBAL)->Value().SetStr("abc");
                 p.Execute(vars);
               }};
  for (const char* text : {"a = a + 1 * (2 - 3) / 4 % 5", "s = s ++ \"x\" ++ 2.5", "f = a == 1 & s <> \"q\" | FALSE",
                           "x = a[1, i + 2] * 1.25 ++ \"s\"", "a = (a << 2) >> 1 ^ 7 | 8 & 9",
                           "y = Max(Min(1, 2), -3) <> 4 & b", "f = a >= 1 & a <= 9 & a > 0 & a < 10 & -a <> 0"})
    f.seeds.push_back(StoredExpression(text));
  return f;
}

void FillGame(TParamCollection& vars) {
  vars.CreateVariable("g1", PT_INT, SCOPE_GLOBAL)->Value().SetInt(11);
  auto* arr = vars.CreateVariable("arr", PT_FLOAT, SCOPE_GLOBAL);
  arr->Value().SetDims({2, 2});
  arr->Value().SetFloatAt(3, 0.25L);
  auto* strs = vars.CreateVariable("strs", PT_STR, SCOPE_GLOBAL);
  strs->Value().SetDims({3});
  strs->Value().SetStrAt(1, "\x82\xa0");
  vars.SetCurrentScope(2);
  vars.CreateVariable("loc", PT_STR, SCOPE_LOCAL)->Value().SetStr("x");
  vars.SetCurrentScope(0);
  vars.CreateVariable("st", PT_BOOL, SCOPE_STATUS)->Value().SetBool(true);
  vars.CreateVariable("sti", PT_INT, SCOPE_STATUS)->Value().SetInt(-3);
  vars.Cursor = "hand.cur";
  vars.SelStr = "choice";
  vars.TempName = "g1";
  vars.PushVariables({"g1"});
  vars.PushVariables({"arr", "strs"});
}

FuzzFormat GameSectionFormat(int version) {
  TParamCollection src;
  FillGame(src);
  MemoryStream m;
  BinaryWriter w(m);
  testing::WriteGameSectionAt(src, w, version, {1, 2, 3, 4, 5, 6});
  return {"game section " + std::to_string(version), {m.Data()}, [version](const std::vector<uint8_t>& bytes) {
            MemoryView v(bytes);
            BinaryReader r(v, "save");
            TParamCollection dst;
            dst.ReadGameSection(r, version);
            // The restored stack is used when the game pops it.
            dst.PopVariables();
            dst.PopVariables();
          }};
}

FuzzFormat StatusSectionFormat() {
  TParamCollection src;
  FillGame(src);
  MemoryStream m;
  BinaryWriter w(m);
  src.WriteStatusSection(w);
  return {"status section", {m.Data()}, [](const std::vector<uint8_t>& bytes) {
            MemoryView v(bytes);
            BinaryReader r(v, "status");
            TParamCollection dst;
            dst.ReadStatusSection(r, 103);
          }};
}

TEST(ParamsMutationFuzz, DamagedStreamsRaiseOnlyEngineErrors) {
  std::vector<FuzzFormat> formats{ExpressionFormat(), StatusSectionFormat()};
  for (int version : {107, 113, 121, 135, 139, 140}) formats.push_back(GameSectionFormat(version));
  testing::RunMutationFuzzAll(formats, kIterations, kSeed);
}

}  // namespace
}  // namespace vorn
