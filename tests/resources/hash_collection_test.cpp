// Bucket numbers, case-insensitive lookup and the cached positions of the hashed collection.
#include "resources/hash_collection.h"

#include <gtest/gtest.h>

namespace vorn {
namespace {

struct Named : THashCollectionItem {
  using THashCollectionItem::THashCollectionItem;
};

TEST(HashCollection, BucketsFollowTheNameRule) {
  EXPECT_EQ(HashBucket("a"), 16);
  EXPECT_EQ(HashBucket("ab"), 226);
  EXPECT_EQ(HashBucket("AB"), 226);
  EXPECT_EQ(HashBucket(""), 0);
  // The trail byte 0x60 of a full-width letter is not folded to 0x80.
  EXPECT_EQ(HashBucket("\x82\x60" "x"), (3 * 16 + 0x82 + 0x60) % 256);
}

TEST(HashCollection, LooksUpCaseInsensitivelyAndKeepsPositions) {
  THashCollection<Named> c;
  c.Emplace("ab");
  c.Emplace("cd");
  c.Emplace("ef");
  EXPECT_EQ(c.IndexOfName("AB"), 0);
  c.Delete(0);
  EXPECT_EQ(c.Count(), 2);
  EXPECT_EQ(c.IndexOfName("cd"), 0);
  EXPECT_EQ(c.IndexOfName("EF"), 1);
  EXPECT_EQ(c.IndexOfName("ab"), -1);
  c[1]->SetName("zz");
  EXPECT_EQ(c.IndexOfName("ef"), -1);
  EXPECT_EQ(c.Find("ZZ"), c[1]);
  // Two names in one bucket: both are found.
  c.Emplace("ba");  // "ba" and "bb" share the first and second-to-last byte 'b'
  c.Emplace("bb");
  EXPECT_EQ(c.IndexOfName("ba"), 2);
  EXPECT_EQ(c.IndexOfName("bb"), 3);
  c.Delete(2);
  EXPECT_EQ(c.IndexOfName("bb"), 2);
}

}  // namespace
}  // namespace vorn
