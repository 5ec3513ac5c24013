#include "alloc_hooks.h"
#include "util/ptrlist.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Counted
{
  explicit Counted(int id, int* deaths) : mId(id), mDeaths(deaths) {}
  ~Counted() { ++*mDeaths; }
  int mId;
  int* mDeaths;
};

std::vector<int> Ids(const Util_PtrList<int>& l)
{
  std::vector<int> ids;
  for (int i = 0; i < l.GetSize(); ++i) ids.push_back(*l.Get(i));
  return ids;
}

} // namespace

TEST(PtrList, GetOutsideRangeIsNull)
{
  Util_PtrList<int> l;
  EXPECT_EQ(l.Get(0), nullptr);
  int a = 1;
  l.Add(&a);
  EXPECT_EQ(l.Get(-1), nullptr);
  EXPECT_EQ(l.Get(1), nullptr);
  EXPECT_EQ(l.Get(0), &a);
}

TEST(PtrList, InsertClampsAndShifts)
{
  int v[5] = {0, 1, 2, 3, 4};
  Util_PtrList<int> l;
  EXPECT_EQ(l.Add(&v[1]), &v[1]);
  l.Add(&v[2]);
  EXPECT_EQ(l.Insert(10, &v[4]), &v[4]); // past the end appends at 2
  EXPECT_EQ(l.Get(2), &v[4]);
  l.Insert(-3, &v[0]);
  l.Insert(3, &v[3]);
  EXPECT_EQ(Ids(l), (std::vector<int>{0, 1, 2, 3, 4}));
  EXPECT_EQ(l.Find(&v[3]), 3);
  int other = 9;
  EXPECT_EQ(l.Find(&other), -1);
}

TEST(PtrList, DeleteRemovesAndOptionallyDestroys)
{
  int deaths = 0;
  Util_PtrList<Counted> l;
  for (int i = 0; i < 4; ++i) l.Add(new Counted(i, &deaths));
  Counted* kept = l.Get(1);
  l.Delete(1);
  EXPECT_EQ(deaths, 0);
  EXPECT_EQ(l.GetSize(), 3);
  EXPECT_EQ(l.Get(1)->mId, 2);
  delete kept;
  deaths = 0;

  l.Delete(0, true);
  EXPECT_EQ(deaths, 1);
  EXPECT_EQ(l.Get(0)->mId, 2);
  l.Delete(-1, true);
  l.Delete(2, true);
  EXPECT_EQ(deaths, 1);
  EXPECT_EQ(l.GetSize(), 2);
  l.Empty(true);
  EXPECT_EQ(deaths, 3);
  EXPECT_EQ(l.GetSize(), 0);
}

namespace {
Util_PtrList<int>* gList;
std::vector<int> gSeen;
std::vector<int> gSizeSeen;
void RecordDelete(void* p)
{
  gSeen.push_back(*(int*)p);
  gSizeSeen.push_back(gList->GetSize());
}
} // namespace

TEST(PtrList, EmptyDeletesLastToFirstSkippingNull)
{
  int v[3] = {10, 11, 12};
  Util_PtrList<int> l;
  l.Add(&v[0]);
  l.Add(nullptr);
  l.Add(&v[1]);
  l.Add(&v[2]);
  gList = &l;
  gSeen.clear();
  gSizeSeen.clear();
  l.Empty(true, RecordDelete);
  EXPECT_EQ(gSeen, (std::vector<int>{12, 11, 10}));
  // The item is still listed while it is handed over.
  EXPECT_EQ(gSizeSeen, (std::vector<int>{4, 3, 1}));
  EXPECT_EQ(l.GetSize(), 0);

  l.Add(&v[0]);
  gSeen.clear();
  l.Empty(false, RecordDelete);
  EXPECT_TRUE(gSeen.empty());
  EXPECT_EQ(l.GetSize(), 0);
}

TEST(PtrList, FailedGrowthStoresNothing)
{
  int a = 1, b = 2;
  Util_PtrList<int> l;
  l.Add(&a);
  ScopedAllocHooks hooks(FailingRealloc, FailingMalloc);
  // The first growth got a whole block; fill it so the next Add must reallocate.
  while (l.GetSize() < 4000 / (int)sizeof(int*)) ASSERT_NE(l.Add(&a), nullptr);
  EXPECT_EQ(l.Add(&b), nullptr);
  EXPECT_EQ(l.Insert(0, &b), nullptr);
  EXPECT_EQ(l.GetSize(), 500);
  EXPECT_EQ(l.Find(&b), -1);
}
