// Owning and number lists: ownership and free order, the documented error texts, sorting.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "resources/error.h"
#include "resources/int_lists.h"
#include "resources/obj_list.h"

namespace vorn {
namespace {

struct Tracked {
  Tracked(int id, std::vector<int>& log) : id(id), log(log) {}
  ~Tracked() { log.push_back(id); }
  int id;
  std::vector<int>& log;
};

TEST(ObjList, DeleteFreesAndClearFreesInIndexOrder) {
  std::vector<int> freed;
  {
    TObjList<Tracked> list;
    for (int i = 0; i < 4; ++i) list.Emplace(i, freed);
    list.Delete(1);
    EXPECT_EQ(freed, std::vector<int>({1}));
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list[1]->id, 2);
    auto kept = list.Extract(0);
    EXPECT_EQ(freed.size(), 1u);  // extracted, not freed
    list.Clear();
    EXPECT_EQ(freed, std::vector<int>({1, 2, 3}));
    EXPECT_EQ(list.Count(), 0);
    list.Emplace(9, freed);
  }  // `kept` (declared later) goes first, then the list frees what it still holds
  EXPECT_EQ(freed, std::vector<int>({1, 2, 3, 0, 9}));
  TObjList<Tracked> empty;
  EXPECT_THROW(empty.Delete(0), EVornError);
  EXPECT_THROW(empty.Item(-1), EVornError);
}

TEST(IntList, GetAndSetFollowTheDocumentedRules) {
  TIntList l;
  l.SetInt(5, 7);
  EXPECT_EQ(l.Items(), std::vector<int32_t>({0, 0, 0, 0, 0, 7}));
  l.SetInt(2, -1);
  EXPECT_EQ(l.GetInt(2), -1);
  struct Case {
    int index;
    const char* message;
  } errors[] = {{-1, "Error:TIntList.GetInt"}, {6, "Error:TIntList.GetInt"}};
  for (const Case& c : errors) {
    try {
      l.GetInt(c.index);
      ADD_FAILURE() << c.index;
    } catch (const EVornError& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
  }
  try {
    l.SetInt(-1, 0);
    ADD_FAILURE();
  } catch (const EVornError& e) {
    EXPECT_STREQ(e.what(), "Error:TIntList.SetInt");
  }
  EXPECT_EQ(l.Count(), 6);
}

TEST(ExtendedList, SortsBothWaysAndKeepsExtendedPrecision) {
  TExtendedList l;
  const long double tiny = 1.0L + std::numeric_limits<long double>::epsilon();  // not a double
  for (long double v : {3.0L, -1.0L, tiny, 1.0L, 3.0L}) l.Add(v);
  l.Sort(false);
  std::vector<long double> asc;
  for (int i = 0; i < l.Count(); ++i) asc.push_back(l.Get(i));
  EXPECT_EQ(asc, std::vector<long double>({-1.0L, 1.0L, tiny, 3.0L, 3.0L}));
  l.Sort(true);
  EXPECT_EQ(l.Get(0), 3.0L);
  EXPECT_EQ(l.Get(2), tiny);
  EXPECT_EQ(l.Get(4), -1.0L);
  // NaN never breaks the sort; it sits at the high end.
  l.Add(std::nanl(""));
  l.Sort(false);
  EXPECT_TRUE(std::isnan(l.Get(5)));
  EXPECT_EQ(l.Get(0), -1.0L);
  l.Sort(true);
  EXPECT_TRUE(std::isnan(l.Get(0)));
  EXPECT_THROW(l.Get(6), EVornError);
  l.Clear();
  EXPECT_EQ(l.Count(), 0);
}

TEST(IntArray, AddGetAndCheckedIndex) {
  TIntArray a;
  for (int i = 0; i < 100; ++i) a.Add(i * i);
  EXPECT_EQ(a.Count(), 100);
  EXPECT_EQ(a.Get(99), 9801);
  EXPECT_THROW(a.Get(100), EVornError);
}

}  // namespace
}  // namespace vorn
