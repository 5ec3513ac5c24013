#include "alloc_hooks.h"
#include "util/heapbuf.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

void Fill(Util_HeapBuf& b, int n)
{
  unsigned char* p = (unsigned char*)b.Get();
  for (int i = 0; i < n; ++i) p[i] = (unsigned char)(i * 7 + 1);
}

bool Holds(const Util_HeapBuf& b, int n)
{
  const unsigned char* p = (const unsigned char*)b.Get();
  for (int i = 0; i < n; ++i)
    if (p[i] != (unsigned char)(i * 7 + 1)) return false;
  return true;
}

} // namespace

TEST(HeapBuf, GrowthFollowsGranularityRules)
{
  Util_HeapBuf big; // 4096
  EXPECT_EQ(big.Get(), nullptr);
  EXPECT_EQ(big.GetAlloc(), 0);
  ASSERT_NE(big.Resize(100, false), nullptr);
  EXPECT_EQ(big.GetAlloc(), 4000);
  EXPECT_EQ(big.GetSize(), 100);
  Fill(big, 100);
  ASSERT_NE(big.Resize(5000, false), nullptr);
  EXPECT_EQ(big.GetAlloc(), 8096);
  EXPECT_TRUE(Holds(big, 100));
  // Within the allocation nothing moves.
  ASSERT_NE(big.Resize(8096, false), nullptr);
  EXPECT_EQ(big.GetAlloc(), 8096);
  // Half-size growth, rounded to 4096 multiples minus 96.
  ASSERT_NE(big.Resize(100000, false), nullptr);
  EXPECT_EQ(big.GetAlloc(), 147360);

  Util_HeapBuf small(128);
  ASSERT_NE(small.Resize(10, false), nullptr);
  EXPECT_EQ(small.GetAlloc(), 138);
  ASSERT_NE(small.Resize(300, false), nullptr);
  EXPECT_EQ(small.GetAlloc(), 450);
}

TEST(HeapBuf, ShrinkOnlyBelowThreshold)
{
  Util_HeapBuf b;
  b.Resize(5000, false);
  ASSERT_EQ(b.GetAlloc(), 8096);
  // threshold = min(8096 - 16384, 4048) -> 1: 3000 keeps the block.
  ASSERT_NE(b.Resize(3000, true), nullptr);
  EXPECT_EQ(b.GetAlloc(), 8096);
  EXPECT_EQ(b.GetSize(), 3000);

  Util_HeapBuf c;
  c.Resize(100000, false);
  Fill(c, 1000);
  ASSERT_EQ(c.GetAlloc(), 147360);
  c.Resize(1000, false);
  EXPECT_EQ(c.GetAlloc(), 147360) << "no shrink without resizeDown";
  c.Resize(100000, false);
  // threshold = min(147360 - 16384, 73680) = 73680; 1000 is below it.
  ASSERT_NE(c.Resize(1000, true), nullptr);
  EXPECT_EQ(c.GetAlloc(), 4000);
  EXPECT_TRUE(Holds(c, 1000));

  // Between half the block and block - 4 x granularity: half the block is the threshold.
  Util_HeapBuf d;
  d.Resize(140000, false);
  ASSERT_EQ(d.GetAlloc(), 208800);
  d.Resize(110000, true);
  EXPECT_EQ(d.GetAlloc(), 208800);
  d.Resize(100000, true);
  EXPECT_EQ(d.GetAlloc(), 147360);
}

TEST(HeapBuf, ZeroAndNegativeSizes)
{
  Util_HeapBuf b;
  b.Resize(100, false);
  EXPECT_EQ(b.Resize(0, false), nullptr);
  EXPECT_EQ(b.Get(), nullptr);
  EXPECT_EQ(b.GetSize(), 0);
  EXPECT_EQ(b.GetAlloc(), 4000) << "storage kept without resizeDown";

  b.Resize(100, false);
  EXPECT_EQ(b.Resize(-5, true), nullptr);
  EXPECT_EQ(b.GetSize(), 0);
  EXPECT_EQ(b.GetAlloc(), 0);
}

TEST(HeapBuf, HugeSizesFailWithoutChange)
{
  Util_HeapBuf b;
  b.Resize(100, false);
  Fill(b, 100);
  EXPECT_EQ(b.Resize(INT_MAX, false), nullptr);
  EXPECT_EQ(b.Resize(INT_MAX - 4096, true), nullptr);
  EXPECT_EQ(b.GetSize(), 100);
  EXPECT_EQ(b.GetAlloc(), 4000);
  EXPECT_TRUE(Holds(b, 100));

  Util_HeapBuf small(128);
  EXPECT_EQ(small.Resize(INT_MAX - 1, false), nullptr);
  EXPECT_EQ(small.GetAlloc(), 0);

  // 4 x granularity would wrap a 32-bit int in the shrink threshold.
  Util_HeapBuf coarse(1 << 30);
  ASSERT_NE(coarse.Resize(10, false), nullptr);
  EXPECT_EQ(coarse.GetAlloc(), 4194304 - 96);
  ASSERT_NE(coarse.Resize(5, true), nullptr);
  EXPECT_EQ(coarse.GetAlloc(), 4194304 - 96);
}

TEST(HeapBuf, FallsBackToMallocWhenReallocFails)
{
  Util_HeapBuf b;
  b.Resize(100, false);
  Fill(b, 100);
  {
    ScopedAllocHooks hooks(FailingRealloc, PlainMalloc);
    ASSERT_NE(b.Resize(5000, false), nullptr);
  }
  EXPECT_EQ(b.GetAlloc(), 8096);
  EXPECT_EQ(b.GetSize(), 5000);
  EXPECT_TRUE(Holds(b, 100));

  // Shrinking through the fallback copies only what still fits.
  Util_HeapBuf c;
  c.Resize(100000, false);
  Fill(c, 100000);
  {
    ScopedAllocHooks hooks(FailingRealloc, PlainMalloc);
    ASSERT_NE(c.Resize(1000, true), nullptr);
  }
  EXPECT_EQ(c.GetAlloc(), 4000);
  EXPECT_TRUE(Holds(c, 1000));
}

TEST(HeapBuf, FailedAllocationChangesNothing)
{
  Util_HeapBuf b;
  b.Resize(100, false);
  Fill(b, 100);
  {
    ScopedAllocHooks hooks(FailingRealloc, FailingMalloc);
    EXPECT_EQ(b.Resize(5000, false), nullptr) << "a failed grow must not look like success";
  }
  EXPECT_EQ(b.GetSize(), 100);
  EXPECT_EQ(b.GetAlloc(), 4000);
  EXPECT_TRUE(Holds(b, 100));

  Util_HeapBuf empty;
  {
    ScopedAllocHooks hooks(FailingRealloc, FailingMalloc);
    EXPECT_EQ(empty.Resize(10), nullptr);
  }
  EXPECT_EQ(empty.GetSize(), 0);
  EXPECT_EQ(empty.Get(), nullptr);

  // A failed shrink keeps the larger block, which still holds the smaller size.
  Util_HeapBuf c;
  c.Resize(100000, false);
  Fill(c, 1000);
  {
    ScopedAllocHooks hooks(FailingRealloc, FailingMalloc);
    EXPECT_NE(c.Resize(1000, true), nullptr);
  }
  EXPECT_EQ(c.GetSize(), 1000);
  EXPECT_EQ(c.GetAlloc(), 147360);
  EXPECT_TRUE(Holds(c, 1000));
}

TEST(TypedBuf, CountsInElements)
{
  Util_TypedBuf<double> t;
  EXPECT_EQ(t.Get(), nullptr);
  double* p = t.Resize(10);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(t.GetSize(), 10);
  EXPECT_EQ(t.Get(), p);
  for (int i = 0; i < 10; ++i) p[i] = i;
  p = t.Resize(1000, false);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p[9], 9.0);
  EXPECT_EQ(t.Resize(0), nullptr);
  EXPECT_EQ(t.Get(), nullptr);
  EXPECT_EQ(t.GetSize(), 0);

  // count * sizeof(double) would overflow an int.
  t.Resize(3);
  EXPECT_EQ(t.Resize(INT_MAX / 4), nullptr);
  EXPECT_EQ(t.GetSize(), 3);
}
