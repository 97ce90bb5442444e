// TTpRandom: the exact state sequence and the unique-draw pool.
#include "resources/tp_random.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "resources/error.h"

namespace vorn {
namespace {

TEST(TpRandom, SequenceFollowsTimesFivePlusIncrement) {
  TTpRandom r(1);
  const uint32_t expected[] = {1, 6, 31, 156, 781, 3906};
  for (uint32_t e : expected) EXPECT_EQ(r.Next(), e);

  TTpRandom zero(0);  // increment 0 stays at 0 forever
  EXPECT_EQ(zero.Next(), 0u);
  EXPECT_EQ(zero.Next(), 0u);
}

TEST(TpRandom, StateWrapsModulo2To32) {
  TTpRandom r(0xFFFFFFFFu);
  uint32_t s = 0;
  for (int i = 0; i < 100; ++i) {
    s = s * 5u + 0xFFFFFFFFu;
    ASSERT_EQ(r.Next(), s);
  }
}

TEST(TpRandom, NextUniqueDrawsEachOnceAndSharesTheState) {
  TTpRandom r(1);
  r.Reset(3);
  // States 1, 6, 31: 1 % 3 = 1 -> element 1 of {0,1,2}; 6 % 2 = 0 -> 0; 31 % 1 = 0 -> 2.
  EXPECT_EQ(r.NextUnique(), 1u);
  EXPECT_EQ(r.NextUnique(), 0u);
  EXPECT_EQ(r.NextUnique(), 2u);
  EXPECT_EQ(r.Next(), 156u);  // the fourth state of the shared sequence

  r.Reset(50);
  std::vector<uint32_t> seen;
  for (int i = 0; i < 50; ++i) seen.push_back(r.NextUnique());
  std::sort(seen.begin(), seen.end());
  for (uint32_t i = 0; i < 50; ++i) EXPECT_EQ(seen[i], i);
}

TEST(TpRandom, NextUniqueOnAnEmptyPoolRaises) {
  TTpRandom r(7);
  EXPECT_THROW(r.NextUnique(), EVornError);
  r.Reset(1);
  r.NextUnique();
  EXPECT_THROW(r.NextUnique(), EVornError);
  r.Reset(-4);
  EXPECT_THROW(r.NextUnique(), EVornError);
}

}  // namespace
}  // namespace vorn
