#include "raster_test_util.h"

#include <gtest/gtest.h>

#include <cstdint>

// The huge-allocation case must see malloc fail rather than the sanitizer abort.
extern "C" __attribute__((visibility("default"))) const char* __asan_default_options() { return "allocator_may_return_null=1"; }

TEST(RasterMemBitmap, RowAlignmentAndStorage)
{
  Raster_MemBitmap bm(10, 5, 16);
  EXPECT_EQ(bm.getWidth(), 10);
  EXPECT_EQ(bm.getHeight(), 5);
  EXPECT_EQ(bm.getRowSpan(), 16);
  ASSERT_NE(bm.getBits(), nullptr);
  EXPECT_EQ((uintptr_t)bm.getBits() % 64, 0u);
  EXPECT_FALSE(bm.isFlipped());
  EXPECT_EQ(bm.getDC(), nullptr);

  // The mask comes from the lowest set bit of the alignment, at most 16 pixels.
  EXPECT_EQ(Raster_MemBitmap(10, 1, 1).getRowSpan(), 10);
  EXPECT_EQ(Raster_MemBitmap(10, 1, 3).getRowSpan(), 10);
  EXPECT_EQ(Raster_MemBitmap(10, 1, 12).getRowSpan(), 12);
  EXPECT_EQ(Raster_MemBitmap(17, 1, 64).getRowSpan(), 32);
  EXPECT_EQ(Raster_MemBitmap(3, 2, 4).getRowSpan(), 4);
}

TEST(RasterMemBitmap, ResizeKeepsOrGrowsAllocation)
{
  Raster_MemBitmap bm(10, 5, 16);
  Raster_Pixel* bits = bm.getBits();
  const size_t alloc = bm.GetAllocSize();
  EXPECT_EQ(alloc, 16u * 5 * 4);
  EXPECT_FALSE(bm.resize(10, 5));
  EXPECT_TRUE(bm.resize(8, 5));
  EXPECT_EQ(bm.getBits(), bits);
  EXPECT_EQ(bm.GetAllocSize(), alloc);
  EXPECT_EQ(bm.getRowSpan(), 16);

  // Growing reallocates to 5/4 of the need, aligned again; the whole new area is writable.
  EXPECT_TRUE(bm.resize(40, 10));
  EXPECT_EQ(bm.GetAllocSize(), (48u * 10 * 4 / 4) * 5);
  ASSERT_NE(bm.getBits(), nullptr);
  EXPECT_EQ((uintptr_t)bm.getBits() % 64, 0u);
  Raster_Clear(&bm, 0x01020304);
  EXPECT_EQ(Raster_GetPixel(&bm, 39, 9), 0x01020304u);
  // A slightly bigger size fits the slack and keeps the block.
  const size_t grown = bm.GetAllocSize();
  EXPECT_TRUE(bm.resize(48, 12));
  EXPECT_EQ(bm.GetAllocSize(), grown);

  // Zero size frees the storage.
  EXPECT_TRUE(bm.resize(0, 12));
  EXPECT_EQ(bm.getBits(), nullptr);
  EXPECT_EQ(bm.GetAllocSize(), 0u);
  EXPECT_TRUE(bm.resize(3, 3));
  EXPECT_NE(bm.getBits(), nullptr);
}

TEST(RasterMemBitmap, EmptyAndFailedAllocations)
{
  Raster_MemBitmap empty;
  EXPECT_EQ(empty.getBits(), nullptr);
  EXPECT_EQ(empty.getWidth(), 0);
  Raster_MemBitmap negative(-4, 5);
  EXPECT_EQ(negative.getBits(), nullptr);

  // A request no machine can satisfy reports a 0 x 0 bitmap instead of a size without pixels.
  Raster_MemBitmap huge(0x7FFFFFF0, 0x7FFFFFF0, 16);
  EXPECT_EQ(huge.getBits(), nullptr);
  EXPECT_EQ(huge.getWidth(), 0);
  EXPECT_EQ(huge.getHeight(), 0);
  // Representable but far beyond any machine's memory: malloc fails, same outcome.
  Raster_MemBitmap tooBig(1 << 20, 1 << 20);
  EXPECT_EQ(tooBig.getBits(), nullptr);
  EXPECT_EQ(tooBig.getWidth(), 0);
  // Drawing into it is harmless.
  Raster_FillRect(&huge, 0, 0, 10, 10, 0xFFFFFFFF, 1.0f, RASTER_MODE_COPY);
  EXPECT_EQ(Raster_GetPixel(&huge, 0, 0), 0u);
}

TEST(RasterSysBitmap, BackedByShimContext)
{
  Raster_SysBitmap bm(10, 5);
  EXPECT_EQ(bm.getWidth(), 10);
  EXPECT_EQ(bm.getHeight(), 5);
  EXPECT_EQ(bm.getRowSpan(), 12);
  ASSERT_NE(bm.getBits(), nullptr);
  ASSERT_NE(bm.getDC(), nullptr);
  EXPECT_EQ(Gdi_GetCtxFrameBuffer(bm.getDC()), (void*)bm.getBits());
  Raster_Clear(&bm, 0xFF00FF00);
  EXPECT_EQ(Raster_GetPixel(&bm, 9, 4), 0xFF00FF00u);

  // Shrinking keeps the context; growing past it makes a new one.
  Raster_Pixel* bits = bm.getBits();
  EXPECT_TRUE(bm.resize(6, 3));
  EXPECT_EQ(bm.getBits(), bits);
  EXPECT_EQ(bm.getRowSpan(), 12);
  EXPECT_FALSE(bm.resize(6, 3));
  EXPECT_TRUE(bm.resize(21, 7));
  EXPECT_EQ(bm.getRowSpan(), 24);
  ASSERT_NE(bm.getBits(), nullptr);
  Raster_Clear(&bm, 1);
  EXPECT_EQ(Raster_GetPixel(&bm, 20, 6), 1u);

  // An impossible size leaves no context and no pixels.
  EXPECT_FALSE(bm.resize(5, 0));
  EXPECT_EQ(bm.getBits(), nullptr);
  EXPECT_EQ(bm.getDC(), nullptr);
  EXPECT_EQ(bm.getWidth(), 0);
  EXPECT_TRUE(bm.resize(2, 2));
  EXPECT_NE(bm.getBits(), nullptr);
}

// A negative size never keeps the old pixels under a negative width or height.
TEST(RasterSysBitmap, NegativeSizeLeavesAnEmptyBitmap)
{
  Raster_SysBitmap bm(8, 8);
  ASSERT_NE(bm.getBits(), nullptr);
  EXPECT_FALSE(bm.resize(-4, 8));
  EXPECT_EQ(bm.getWidth(), 0);
  EXPECT_EQ(bm.getBits(), nullptr);
  EXPECT_TRUE(bm.resize(8, 8));
  ASSERT_NE(bm.getBits(), nullptr);
  EXPECT_FALSE(bm.resize(8, -1));
  EXPECT_EQ(bm.getHeight(), 0);
  EXPECT_EQ(bm.getBits(), nullptr);
}
