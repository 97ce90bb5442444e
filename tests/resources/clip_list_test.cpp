// Dirty rectangles: the 20-pixel merge rule and unions that absorb further rectangles.
#include "resources/clip_list.h"

#include <gtest/gtest.h>

#include <limits>

namespace vorn {
namespace {

TEST(ClipList, MergesWithinTwentyPixels) {
  struct Case {
    const char* what;
    TRect a, b;
    std::vector<TRect> want;
  } cases[] = {
      {"20 px apart horizontally", {0, 0, 10, 10}, {30, 0, 40, 10}, {{0, 0, 40, 10}}},
      {"21 px apart horizontally", {0, 0, 10, 10}, {31, 0, 40, 10}, {{0, 0, 10, 10}, {31, 0, 40, 10}}},
      {"20 px apart vertically", {0, 0, 10, 10}, {0, 30, 10, 40}, {{0, 0, 10, 40}}},
      {"21 px left of it", {50, 0, 60, 10}, {0, 0, 29, 10}, {{50, 0, 60, 10}, {0, 0, 29, 10}}},
      {"20 px left of it", {50, 0, 60, 10}, {0, 0, 30, 10}, {{0, 0, 60, 10}}},
      {"15 px apart", {0, 0, 10, 10}, {25, 0, 35, 10}, {{0, 0, 35, 10}}},
      {"25 px apart", {0, 0, 10, 10}, {35, 0, 45, 10}, {{0, 0, 10, 10}, {35, 0, 45, 10}}},
      {"inside", {0, 0, 100, 100}, {10, 10, 20, 20}, {{0, 0, 100, 100}}},
      {"empty adds nothing", {0, 0, 10, 10}, {500, 500, 500, 600}, {{0, 0, 10, 10}}},
  };
  for (const Case& c : cases) {
    TClipList l;
    l.AddDirtyRect(c.a);
    l.AddDirtyRect(c.b);
    EXPECT_EQ(l.Rects(), c.want) << c.what;
  }
}

TEST(ClipList, UnionAbsorbsFurtherRectangles) {
  TClipList l;
  l.AddDirtyRect({0, 0, 10, 10});
  l.AddDirtyRect({100, 0, 110, 10});
  ASSERT_EQ(l.Count(), 2);
  // Bridges both: merges with the first, and the union then reaches the second.
  l.AddDirtyRect({25, 0, 85, 10});
  ASSERT_EQ(l.Count(), 1);
  EXPECT_EQ(l.Get(0), (TRect{0, 0, 110, 10}));
}

TEST(ClipList, ChangedFlagAndExtremeCoordinates) {
  TClipList l;
  EXPECT_FALSE(l.Changed());
  l.AddDirtyRect({0, 0, 10, 10});
  EXPECT_TRUE(l.Changed());
  l.SetChanged(false);
  l.AddDirtyRect({2, 2, 3, 3});  // inside: nothing changes
  EXPECT_FALSE(l.Changed());
  l.Delete(0);
  EXPECT_TRUE(l.Changed());
  l.SetChanged(false);
  l.Clear();
  EXPECT_TRUE(l.Changed());
  const int32_t big = std::numeric_limits<int32_t>::max(), small = std::numeric_limits<int32_t>::min();
  l.AddDirtyRect({big - 5, big - 5, big, big});
  l.AddDirtyRect({small, small, small + 5, small + 5});
  EXPECT_EQ(l.Count(), 2);  // far apart; the distance test does not overflow
}

}  // namespace
}  // namespace vorn
