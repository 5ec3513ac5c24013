#include "alloc_hooks.h"
#include "util/assocarray.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

std::vector<int> gDisposed;
void DisposeValue(int v) { gDisposed.push_back(v); }

int CompareInt(int a, int b) { return a < b ? -1 : a > b ? 1 : 0; }

} // namespace

TEST(StringKeyedArray, InsertKeepsKeysSortedAndReturnsIndex)
{
  Util_StringKeyedArray<int> a;
  EXPECT_EQ(a.Insert("m", 1), 0);
  EXPECT_EQ(a.Insert("c", 2), 0);
  EXPECT_EQ(a.Insert("x", 3), 2);
  EXPECT_EQ(a.Insert("a", 4), 0);
  EXPECT_EQ(a.Insert("d", 5), 2);
  ASSERT_EQ(a.GetSize(), 5);
  const char* order[] = {"a", "c", "d", "m", "x"};
  const int values[] = {4, 2, 5, 1, 3};
  for (int i = 0; i < 5; ++i)
  {
    EXPECT_STREQ(a.GetKey(i), order[i]);
    EXPECT_EQ(*a.GetValuePtr(i), values[i]);
    EXPECT_EQ(*a.GetPtr(order[i]), values[i]);
  }
  EXPECT_EQ(a.GetPtr("b"), nullptr);
  EXPECT_EQ(a.GetPtr("zz"), nullptr);
  EXPECT_EQ(a.GetKey(5), nullptr);
  EXPECT_EQ(a.GetKey(-1), nullptr);
  EXPECT_EQ(a.GetValuePtr(5), nullptr);
}

TEST(StringKeyedArray, ExistingKeyReplacesValueAndKeepsFirstCopy)
{
  gDisposed.clear();
  {
    Util_StringKeyedArray<int> a(DisposeValue);
    char key[8] = "knob";
    EXPECT_EQ(a.Insert(key, 1), 0);
    const char* stored = a.GetKey(0);
    EXPECT_NE(stored, key) << "the key must be copied";
    key[0] = 'X'; // the caller's buffer is not referenced
    EXPECT_EQ(a.Insert("knob", 2), 0);
    EXPECT_EQ(a.GetKey(0), stored);
    EXPECT_EQ(*a.GetPtr("knob"), 2);
    EXPECT_EQ(a.GetSize(), 1);
    EXPECT_EQ(gDisposed, std::vector<int>{1});
    a.Insert("bg", 7);
  }
  std::sort(gDisposed.begin(), gDisposed.end());
  EXPECT_EQ(gDisposed, (std::vector<int>{1, 2, 7}));
}

TEST(StringKeyedArray, NullKeyAndFailedGrowthStoreNothing)
{
  Util_StringKeyedArray<int> a;
  EXPECT_EQ(a.Insert(nullptr, 1), -1);
  EXPECT_EQ(a.GetPtr(nullptr), nullptr);
  EXPECT_EQ(a.GetSize(), 0);

  // The pair buffer cannot grow: the key copy must not leak (checked under the sanitizer).
  ScopedAllocHooks hooks(FailingRealloc, FailingMalloc);
  EXPECT_EQ(a.Insert("font", 1), -1);
  EXPECT_EQ(a.GetSize(), 0);
}

TEST(AssocArrayImpl, BinarySearchOverManyKeys)
{
  std::vector<int> keys(200);
  for (int i = 0; i < 200; ++i) keys[i] = i * 3;
  std::shuffle(keys.begin(), keys.end(), std::mt19937(42));
  Util_AssocArrayImpl<int, int> a(CompareInt);
  for (int k : keys)
  {
    const int at = a.Insert(k, -k);
    ASSERT_GE(at, 0);
    EXPECT_EQ(a.GetKey(at), k);
  }
  ASSERT_EQ(a.GetSize(), 200);
  for (int i = 0; i < 200; ++i)
  {
    EXPECT_EQ(a.GetKey(i), i * 3);
    EXPECT_EQ(a.Find(i * 3), i);
    EXPECT_EQ(a.Find(i * 3 + 1), -1);
    EXPECT_EQ(*a.GetPtr(i * 3), -i * 3);
  }
  EXPECT_EQ(a.Insert(30, 5), 10);
  EXPECT_EQ(a.GetSize(), 200);
}
