// The locale-free number texts: the 15-digit general format and the two parses.
#include "params/number_format.h"

#include <gtest/gtest.h>

#include <clocale>

namespace vorn {
namespace {

TEST(FormatFloat, GeneralFormatTable) {
  struct Case {
    long double v;
    const char* text;
  } cases[] = {
      {0.0L, "0"},         {-0.0L, "0"},          {1.0L, "1"},           {2.5L, "2.5"},
      {-2.5L, "-2.5"},     {3.0L, "3"},           {0.1L, "0.1"},         {1.0L / 3, "0.333333333333333"},
      {2.0L / 3, "0.666666666666667"},            {0.0001L, "0.0001"},   {0.00001L, "1E-5"},
      {0.000015L, "1.5E-5"}, {123456789012345.0L, "123456789012345"},    {1e15L, "1E15"},
      {1234567890123456.0L, "1.23456789012346E15"}, {1e100L, "1E100"},   {100.0L, "100"},
      {3.14159265358979323846L, "3.14159265358979"},                      {0.1L + 0.2L, "0.3"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatFloat(c.v), c.text) << static_cast<double>(c.v);
}

TEST(FormatFloat, IgnoresTheProcessLocale) {
  const char* old = std::setlocale(LC_NUMERIC, nullptr);
  std::string saved = old ? old : "C";
  if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) {
    EXPECT_EQ(FormatFloat(2.5L), "2.5");
    long double v = 0;
    EXPECT_TRUE(TryParseFloat("2.5", v));
    EXPECT_EQ(v, 2.5L);
  }
  std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(TryParseInt, AcceptsDecimalAndHexOnly) {
  struct Case {
    const char* text;
    bool ok;
    int32_t v;
  } cases[] = {
      {"0", true, 0},           {"42", true, 42},         {"-42", true, -42},     {"+7", true, 7},
      {"  12", true, 12},       {"12 ", false, 0},        {"", false, 0},         {"-", false, 0},
      {"1.0", false, 0},        {"1e3", false, 0},        {"$10", true, 16},      {"0x1F", true, 31},
      {"$FFFFFFFF", true, -1},  {"$100000000", false, 0}, {"2147483647", true, 2147483647},
      {"2147483648", false, 0}, {"-2147483648", true, INT32_MIN},              {"-2147483649", false, 0},
      {"x10", false, 0},        {"abc", false, 0},
  };
  for (const Case& c : cases) {
    int32_t v = 0;
    EXPECT_EQ(TryParseInt(c.text, v), c.ok) << c.text;
    if (c.ok) { EXPECT_EQ(v, c.v) << c.text; }
  }
}

TEST(TryParseFloat, Syntax) {
  struct Case {
    const char* text;
    bool ok;
    long double v;
  } cases[] = {
      {"1.5", true, 1.5L},  {"-1.5", true, -1.5L}, {" 2 ", true, 2.0L},  {".5", true, 0.5L},
      {"5.", true, 5.0L},   {"1e3", true, 1000.0L}, {"1E+3", true, 1000.0L}, {"1e-3", true, 0.001L},
      {"", false, 0},       {".", false, 0},        {"1e", false, 0},       {"e5", false, 0},
      {"1,5", false, 0},    {"INF", false, 0},      {"NAN", false, 0},      {"1e99999", false, 0},
      {"1e-99999", true, 0}, {"0x10", false, 0},
  };
  for (const Case& c : cases) {
    long double v = -1;
    EXPECT_EQ(TryParseFloat(c.text, v), c.ok) << c.text;
    if (c.ok) { EXPECT_EQ(v, c.v) << c.text; }
  }
}

}  // namespace
}  // namespace vorn
