// Colour scaling per channel with clamping, and font-style bits.
#include "resources/colors.h"

#include <gtest/gtest.h>

namespace vorn {
namespace {

TEST(Colors, ScaleColorPerChannel) {
  struct Case {
    int32_t color, k, want;
  } cases[] = {
      {0x00FF8040, 256, 0x00FF8040},
      {0x00FF8040, 128, 0x007F4020},
      {0x00FF8040, 0, 0},
      {0x7F010101, 255, 0x00000000},  // 1 * 255 / 256 truncates to 0; the top byte is dropped
      {0x00FF8040, 512, 0x00FFFF80},  // clamped per channel instead of spilling into the next
      {0x00FF8040, -256, 0},          // negative factors clamp to 0
  };
  for (const Case& c : cases) EXPECT_EQ(ScaleColor(c.color, c.k), c.want) << std::hex << c.color << " " << c.k;
}

TEST(Colors, FontStyleBitsRoundTrip) {
  for (int32_t bits = 0; bits < 16; ++bits) EXPECT_EQ(FontStylesToInt(IntToFontStyles(bits)), bits);
  EXPECT_EQ(FontStylesToInt({true, false, false, false}), 1);
  EXPECT_EQ(FontStylesToInt({false, false, false, true}), 8);
  EXPECT_EQ(IntToFontStyles(0x12), (TFontStyles{false, true, false, false}));
}

}  // namespace
}  // namespace vorn
