// The value family: every conversion, the array shape, the saved form and its checks.
#include "params/params.h"

#include <gtest/gtest.h>

#include "params/param_messages.h"
#include "resources/error.h"
#include "resources/stream.h"

namespace vorn {
namespace {

std::unique_ptr<TCustomParam> Make(uint8_t type) { return CreateParam(type); }

std::string ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const EVornError& e) {
    return e.what();
  }
  return "(no error)";
}

// Each type to each, with the exact texts.
TEST(Conversions, IntegerToEveryType) {
  auto p = Make(PT_INT);
  p->SetInt(-42);
  EXPECT_EQ(p->GetInt(), -42);
  EXPECT_EQ(p->GetFloat(), -42.0L);
  EXPECT_TRUE(p->GetBool());
  EXPECT_EQ(p->GetStr(), "-42");
  p->SetInt(0);
  EXPECT_FALSE(p->GetBool());
  EXPECT_EQ(p->GetStr(), "0");
}

TEST(Conversions, RealToEveryType) {
  auto p = Make(PT_FLOAT);
  struct Case {
    long double v;
    int32_t i;
    bool b;
    const char* s;
  } cases[] = {{2.9L, 2, true, "2.9"}, {-2.9L, -2, true, "-2.9"}, {0.0L, 0, false, "0"}, {0.5L, 0, true, "0.5"},
               {1e20L, 0, true, "1E20"}};
  for (const Case& c : cases) {
    p->SetFloat(c.v);
    if (c.v < 1e10L) { EXPECT_EQ(p->GetInt(), c.i); }
    EXPECT_EQ(p->GetBool(), c.b);
    EXPECT_EQ(p->GetStr(), c.s);
  }
  // Out of the integer range is an error, not undefined behaviour.
  p->SetFloat(1e20L);
  EXPECT_THROW(p->GetInt(), EVornError);
  p->SetFloat(2147483647.9L);
  EXPECT_EQ(p->GetInt(), 2147483647);
  p->SetFloat(-2147483648.9L);
  EXPECT_EQ(p->GetInt(), INT32_MIN);
  p->SetFloat(2147483648.0L);
  EXPECT_THROW(p->GetInt(), EVornError);
}

TEST(Conversions, FlagToEveryType) {
  auto p = Make(PT_BOOL);
  p->SetBool(true);
  EXPECT_EQ(p->GetInt(), 1);
  EXPECT_EQ(p->GetFloat(), 1.0L);
  EXPECT_EQ(p->GetStr(), "TRUE");
  p->SetBool(false);
  EXPECT_EQ(p->GetInt(), 0);
  EXPECT_EQ(p->GetFloat(), 0.0L);
  EXPECT_EQ(p->GetStr(), "FALSE");
}

TEST(Conversions, StringToEveryType) {
  auto p = Make(PT_STR);
  struct Case {
    const char* s;
    int32_t i;
    long double f;
    bool b;
  } cases[] = {{"12", 12, 12.0L, false}, {"1.5", 0, 1.5L, false}, {"abc", 0, 0.0L, false},
               {"TRUE", 0, 0.0L, true},  {"true", 0, 0.0L, false}, {"$10", 16, 0.0L, false},
               {"-7", -7, -7.0L, false}, {"", 0, 0.0L, false}};
  for (const Case& c : cases) {
    p->SetStr(c.s);
    EXPECT_EQ(p->GetInt(), c.i) << c.s;
    EXPECT_EQ(p->GetFloat(), c.f) << c.s;
    EXPECT_EQ(p->GetBool(), c.b) << c.s;
    EXPECT_EQ(p->GetStr(), c.s);
  }
}

TEST(Conversions, SettersIntoEveryType) {
  // Setting each kind into each type, read back as text.
  struct Case {
    uint8_t type;
    const char* fromInt;
    const char* fromFloat;
    const char* fromBool;
    const char* fromStr;
  } cases[] = {{PT_INT, "7", "2", "1", "0"},
               {PT_FLOAT, "7", "2.9", "1", "0"},
               {PT_BOOL, "TRUE", "TRUE", "TRUE", "FALSE"},
               {PT_STR, "7", "2.9", "TRUE", "x1"}};
  for (const Case& c : cases) {
    auto p = Make(c.type);
    p->SetInt(7);
    EXPECT_EQ(p->GetStr(), c.fromInt) << int(c.type);
    p->SetFloat(2.9L);
    EXPECT_EQ(p->GetStr(), c.fromFloat) << int(c.type);
    p->SetBool(true);
    EXPECT_EQ(p->GetStr(), c.fromBool) << int(c.type);
    p->SetStr("x1");
    EXPECT_EQ(p->GetStr(), c.fromStr) << int(c.type);
  }
}

TEST(Arrays, ShapeIndexAndScalarSetters) {
  auto p = Make(PT_INT);
  p->SetDims({3, 4});
  EXPECT_EQ(p->GetCount(), 12);
  EXPECT_EQ(p->GetDimCount(), 2);
  EXPECT_EQ(p->GetDim(0), 3);
  EXPECT_EQ(p->GetDim(1), 4);
  EXPECT_EQ(p->GetDim(2), 1);
  EXPECT_EQ(LinearIndex({3, 4}, {1, 2}), 6);
  p->SetIntAt(6, 99);
  EXPECT_EQ(p->GetIntAt(6), 99);
  // Growing keeps elements in linear order; new ones are zero.
  p->SetDims({4, 4});
  EXPECT_EQ(p->GetIntAt(6), 99);
  EXPECT_EQ(p->GetIntAt(15), 0);
  // A scalar setter drops the dimensions.
  p->SetInt(5);
  EXPECT_EQ(p->GetCount(), 1);
  EXPECT_EQ(p->GetDimCount(), 1);
  EXPECT_EQ(p->GetInt(), 5);
}

TEST(Arrays, Errors) {
  auto p = Make(PT_STR);
  EXPECT_EQ(ErrorOf([&] { p->SetDims({3, 0}); }), "\x94z\x97\xf1\x82\xcc\x97v\x91" "f\x90\x94[3,0]\x82\xaa\x95s\x90\xb3\x82\xc5\x82\xb7");
  EXPECT_EQ(p->GetCount(), 1);  // unchanged
  EXPECT_EQ(ErrorOf([&] { p->GetStrAt(1); }), "[1]:\x94z\x97\xf1\x82\xcc\x93Y\x8e\x9a\x82\xaa\x95s\x90\xb3\x82\xc5\x82\xb7");
  EXPECT_THROW(p->SetStrAt(-1, "x"), EVornError);
  // Element counts are computed in 64 bits and bounded.
  EXPECT_THROW(p->SetDims({65536, 65536}), EVornError);
  EXPECT_THROW(p->SetDims({2147483647, 2147483647, 2}), EVornError);
  EXPECT_EQ(p->GetCount(), 1);
  auto q = Make(PT_INT);
  EXPECT_EQ(ErrorOf([&] { q->CopyMem(*p); }), params_text::kMsgCopyMemType);
}

TEST(Arrays, IndexOfStrModes) {
  auto p = Make(PT_STR);
  p->SetDims({3});
  p->SetStrAt(0, "Alpha");
  p->SetStrAt(1, "beta");
  p->SetStrAt(2, "GAMMA ray");
  EXPECT_EQ(p->IndexOfStr("beta", true, false), 1);
  EXPECT_EQ(p->IndexOfStr("alpha", true, false), -1);
  EXPECT_EQ(p->IndexOfStr("alpha", false, false), 0);
  EXPECT_EQ(p->IndexOfStr("gamma", false, true), 2);
  EXPECT_EQ(p->IndexOfStr("gamma", true, true), -1);
  EXPECT_EQ(p->IndexOfStr("MMA", true, true), 2);
}

TEST(Arrays, CopyFromConvertsEveryElement) {
  auto src = Make(PT_FLOAT);
  src->SetDims({2, 2});
  src->SetFloatAt(3, 2.5L);
  auto dst = Make(PT_STR);
  dst->CopyFrom(*src);
  EXPECT_EQ(dst->GetDimCount(), 2);
  EXPECT_EQ(dst->GetCount(), 4);
  EXPECT_EQ(dst->GetStrAt(3), "2.5");
  EXPECT_EQ(dst->GetStrAt(0), "0");
}

TEST(SavedForm, RoundTripOfEveryType) {
  for (uint8_t type = PT_INT; type <= PT_STR; ++type) {
    auto p = Make(type);
    p->SetDims({2, 3});
    for (int i = 0; i < 6; ++i) p->SetStrAt(i, std::to_string(i % 2));
    MemoryStream s;
    BinaryWriter w(s);
    p->SaveToStream(w);
    s.Seek(0);
    BinaryReader r(s, "value");
    auto q = Make(type);
    q->LoadFromStream(r);
    EXPECT_TRUE(r.AtEnd());
    EXPECT_EQ(q->GetDimCount(), 2);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(q->GetStrAt(i), p->GetStrAt(i)) << int(type);
  }
}

TEST(SavedForm, RealIsTenBytesExtended) {
  auto p = Make(PT_FLOAT);
  p->SetFloat(1.0L);
  MemoryStream s;
  BinaryWriter w(s);
  p->SaveToStream(w);
  std::vector<uint8_t> expect = {0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F};
  EXPECT_EQ(s.Data(), expect);
}

TEST(SavedForm, MalformedInputIsRejected) {
  auto load = [](std::vector<uint8_t> bytes, uint8_t type) {
    MemoryStream s(std::move(bytes));
    BinaryReader r(s, "value");
    auto p = CreateParam(type);
    p->LoadFromStream(r);
  };
  // Truncated element.
  EXPECT_THROW(load({0, 0, 0, 0, 1, 0, 0, 0, 7, 0}, PT_INT), EFormatError);
  // Element count beyond the bytes left.
  EXPECT_THROW(load({0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x7F}, PT_STR), EFormatError);
  // Element count that does not match the dimensions.
  EXPECT_THROW(load({1, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 5, 0, 0, 0}, PT_INT), EFormatError);
  // A zero or huge dimension.
  EXPECT_THROW(load({1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, PT_INT), EFormatError);
  EXPECT_THROW(load({2, 0, 0, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0}, PT_BOOL), EFormatError);
  // Negative dimension count.
  EXPECT_THROW(load({0xFF, 0xFF, 0xFF, 0xFF}, PT_INT), EFormatError);
}

class FakeHook : public TSystemVarHook {
 public:
  uint8_t Type(int index) override { return index == 0 ? PT_INT : PT_BOOL; }
  TSysValue Get(int index, int) override {
    TSysValue v;
    v.type = Type(index);
    v.i = value;
    v.b = flag;
    return v;
  }
  void Set(int index, const TSysValue& v) override {
    if (index == 0) value = v.i;
    else flag = v.b;
  }
  int32_t value = 5;
  bool flag = true;
};

TEST(SystemParam, ConvertsThroughTheHook) {
  FakeHook hook;
  TParamSystem num(0, &hook), flag(1, &hook);
  EXPECT_EQ(num.GetType(), PT_INT);
  EXPECT_EQ(num.GetStr(), "5");
  EXPECT_EQ(flag.GetStr(), "TRUE");
  num.SetStr("12");
  EXPECT_EQ(hook.value, 12);
  num.SetStr("not a number");  // an unparsable text leaves the value unchanged
  EXPECT_EQ(hook.value, 12);
  num.SetFloat(3.7L);
  EXPECT_EQ(hook.value, 3);
  flag.SetStr("FALSE");
  EXPECT_FALSE(hook.flag);
  TParamSystem detached(3, nullptr);
  EXPECT_EQ(detached.GetType(), PT_NONE);
  EXPECT_EQ(detached.GetStr(), "");
}

}  // namespace
}  // namespace vorn
