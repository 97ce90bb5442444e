// Page-file version gates, header edge cases and damaged files.
#include <gtest/gtest.h>

#include "resources/error.h"
#include "script/commands_component.h"
#include "script/commands_flow.h"
#include "script/page_compiler.h"
#include "script/page_dump.h"

namespace vorn {
namespace {

// Offset of the first command's code byte with 61 sets of 21 bytes.
constexpr size_t kFirstCode = 4 + 1 + 4 + 4 + 61 * 21 + 4;

TEST(PageVersions, WaitHasTwoExpressionsAt106AndThreeAt107) {
  for (int version : {106, 107}) {
    SCOPED_TRACE(version);
    auto page = CompilePageSource("Wait 100; cond: TRUE", "w.vsb", "w.vps", version);
    auto bytes = page->SaveToBytes();
    TPage back;
    ASSERT_EQ(back.LoadFromBytes("w.vsb", bytes), PageLoadResult::Ok);
    auto& wait = dynamic_cast<TComWait&>(back.Commands()[0]);
    EXPECT_FALSE(wait.cond.Empty());
    EXPECT_FALSE(wait.time.Empty());
    // The record ends with the page: header (10 bytes), then the expressions.
    size_t exprBytes = bytes.size() - kFirstCode - 1 - 10;
    MemoryStream s;
    BinaryWriter w(s);
    wait.cond.SaveToStream(w);
    wait.time.SaveToStream(w);
    EXPECT_EQ(exprBytes, s.Data().size() + (version == 107 ? 4u : 0u));
    std::string dump = DumpPage(back);
    EXPECT_EQ(dump.find("noevents=") != std::string::npos, version == 107);
  }
}

TEST(PageVersions, GatedFieldsOfEachRecordFollowThePageVersion) {
  // field name -> first version that has it
  struct Gate {
    const char* source;
    const char* field;
    int first;
  };
  const Gate gates[] = {
      {"Flip 1; rule: \"r\"", "rule=", 101},
      {"Flip 1; noevents: 1", "noevents=", 107},
      {"TextIns \"a\"; noevents: 1", "noevents=", 107},
      {"MovieStop \"m\"; noevents: 1", "noevents=", 107},
      {"CallHist \"w\"; format: 1", "format=", 111},
      {"FormatHist \"w\"; format: 1", "format=", 111},
      {"PropMotion \"p\"; paused: 1", "paused=", 108},
      {"GameSave 1; caption: \"c\"", "index=", 105},
  };
  for (const Gate& g : gates) {
    for (int version : {103, g.first - 1, g.first, 116}) {
      if (version < 103) continue;
      SCOPED_TRACE(std::string(g.source) + " @" + std::to_string(version));
      std::string src = std::string(g.source);
      if (version < g.first && std::string(g.field) != "index=") src = src.substr(0, src.find(';'));
      auto page = CompilePageSource(src, "g.vsb", "g.vps", version);
      TPage back;
      ASSERT_EQ(back.LoadFromBytes("g.vsb", page->SaveToBytes()), PageLoadResult::Ok);
      EXPECT_EQ(DumpPage(back), DumpPage(*page));
      EXPECT_EQ(DumpPage(back).find(g.field) != std::string::npos, version >= g.first);
    }
  }
}

TEST(PageHeader, SetCount40LeavesCodes40To60Empty) {
  auto page = CompilePageSource("BoxNew \"a\"; left: 1\nSliderNew \"s\"; left: 2; max: 9\nCalc a = 1\n");
  PageLayout layout;
  layout.setCount = 40;
  TPage back;
  ASSERT_EQ(back.LoadFromBytes("p.vsb", page->SaveToBytes(layout)), PageLoadResult::Ok);
  ASSERT_EQ(back.Commands().Count(), 3);
  auto& box = dynamic_cast<TComBoxNew&>(back.Commands()[0]);
  EXPECT_NE(box.Prop(PR_LEFT), nullptr);
  auto& slider = dynamic_cast<TComSliderNew&>(back.Commands()[1]);
  for (int id = 0; id < kPropertyCount; ++id) EXPECT_EQ(slider.Prop(id), nullptr);
  for (int code = 40; code < kCommandKinds; ++code) EXPECT_TRUE(back.sets[static_cast<size_t>(code)].Empty());
  EXPECT_EQ(back.Commands()[2].Kind(), kComCalc);
}

TEST(PageHeader, LongerSetsAndExtraSetsAreSkipped) {
  auto page = CompilePageSource("BoxNew \"a\"; left: 1; top: 2\n");
  PageLayout layout;
  layout.setCount = 70;
  layout.setSize = 30;
  TPage back;
  ASSERT_EQ(back.LoadFromBytes("p.vsb", page->SaveToBytes(layout)), PageLoadResult::Ok);
  EXPECT_EQ(back.sets, page->sets);
  EXPECT_EQ(DumpPage(back), DumpPage(*page));
}

TEST(PageHeader, CodeByteHighBitIsIgnored) {
  auto page = CompilePageSource("BoxNew \"a\"; left: 1\n");
  auto bytes = page->SaveToBytes();
  ASSERT_EQ(bytes[kFirstCode], 8);
  bytes[kFirstCode] = 0x88;
  TPage back;
  ASSERT_EQ(back.LoadFromBytes("p.vsb", bytes), PageLoadResult::Ok);
  EXPECT_EQ(back.Commands()[0].Kind(), kComBoxNew);
  EXPECT_TRUE(back.Commands()[0].highBit);
  EXPECT_EQ(back.SaveToBytes(), bytes);  // kept for the authoring side
}

TEST(PageHeader, VersionOutsideTheReadRange) {
  auto page = CompilePageSource("Calc a = 1\n");
  for (int version : {117, 200}) {
    page->version = version;
    TPage back;
    EXPECT_EQ(back.LoadFromBytes("new.vsb", page->SaveToBytes()), PageLoadResult::TooNew);
    EXPECT_EQ(back.Commands().Count(), 0);
  }
  for (int version : {102, 0, -5}) {
    page->version = version;
    TPage back;
    EXPECT_EQ(back.LoadFromBytes("old.vsb", page->SaveToBytes()), PageLoadResult::NeedsRebuild);
    EXPECT_EQ(back.Commands().Count(), 0);
    // "old.vsb", CR LF, "リビルドしてください"
    EXPECT_EQ(back.RebuildMessage(),
              "old.vsb\r\n\x83\x8a\x83\x72\x83\x8b\x83\x68\x82\xb5\x82\xc4\x82\xad\x82\xbe\x82\xb3\x82\xa2");
  }
  page->version = 103;
  TPage back;
  EXPECT_EQ(back.LoadFromBytes("p.vsb", page->SaveToBytes()), PageLoadResult::Ok);
}

TEST(PageHeader, EmptyPageDefaults) {
  TPage page;
  EXPECT_EQ(page.version, 104);
  EXPECT_EQ(page.resultType, 1);
  EXPECT_EQ(page.Commands().Count(), 0);
}

TEST(PageDamage, UnknownCodeKeepsTheCommandsReadSoFar) {
  auto page = CompilePageSource("Calc a = 1\nCalc a = 2\nClrHist\n");
  auto bytes = page->SaveToBytes();
  // The third command (ClrHist: code and a bare header) is the last 11 bytes.
  bytes[bytes.size() - 11] = 61;
  TPage back;
  try {
    back.LoadFromBytes("p.vsb", bytes);
    ADD_FAILURE() << "no error";
  } catch (const EFormatError&) {
    ADD_FAILURE() << "wrong error type";
  } catch (const EVornError& e) {
    EXPECT_STREQ(e.what(), "\x95\x73\x90\xb3\x82\xc8\x83\x52\x83\x7d\x83\x93\x83\x68");
  }
  EXPECT_EQ(back.Commands().Count(), 2);
}

TEST(PageDamage, EveryTruncationRaisesAFormatError) {
  auto page = CompilePageSource(
      "Call x.vsb; target: 1; args: 1, \"a\"\nImgNew \"a\"; left: 1\nTextIns \"hi\"\nFlip 1; names: \"a\"\n");
  auto bytes = page->SaveToBytes();
  for (size_t n = 0; n < bytes.size(); ++n) {
    TPage back;
    std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<long>(n));
    EXPECT_THROW(back.LoadFromBytes("p.vsb", cut), EFormatError) << n;
  }
}

TEST(PageDamage, CountsBeyondTheBytesLeftNameTheField) {
  auto page = CompilePageSource("Call x.vsb; target: 1; args: 1\nTextIns \"hi\"\n");
  const auto good = page->SaveToBytes();
  auto patch32 = [&](size_t at, int32_t v) {
    auto b = good;
    for (int i = 0; i < 4; ++i) b[at + static_cast<size_t>(i)] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i));
    return b;
  };
  auto expectError = [](const std::vector<uint8_t>& b, const char* field) {
    TPage back;
    try {
      back.LoadFromBytes("p.vsb", b);
      ADD_FAILURE() << "no error for " << field;
    } catch (const EFormatError& e) {
      EXPECT_NE(std::string(e.what()).find(field), std::string::npos) << e.what();
    }
  };
  expectError(patch32(5, 0x7FFFFFFF), "set count");
  expectError(patch32(5, -1), "set count");
  expectError(patch32(9, -3), "set size");
  expectError(patch32(kFirstCode - 4, 0x7FFFFFFF), "command count");
  // Call: header (10), page "x.vsb" (4 + 5), target (4), result "" (4), cond, then m. The
  // condition is the stored TRUE of a Call written without one; an Exit record is header + cond.
  const size_t condBytes = CompilePageSource("Exit\n")->SaveToBytes().size() - kFirstCode - 1 - 10;
  expectError(patch32(kFirstCode + 1 + 10 + 9 + 4 + 4 + condBytes, 1000000), "args");
  auto bad = good;
  bad[4] = 7;
  expectError(bad, "result type");
  bad[4] = 0;
  expectError(bad, "result type");
}

TEST(PageDamage, HugeTextSizeIsRefused) {
  auto page = CompilePageSource("TextIns \"hi\"\n");
  auto bytes = page->SaveToBytes();
  size_t at = kFirstCode + 1 + 10;
  bytes[at + 3] = 0x70;
  TPage back;
  try {
    back.LoadFromBytes("p.vsb", bytes);
    ADD_FAILURE();
  } catch (const EFormatError& e) {
    EXPECT_NE(std::string(e.what()).find("text"), std::string::npos) << e.what();
  }
}

}  // namespace
}  // namespace vorn
