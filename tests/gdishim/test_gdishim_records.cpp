// Memory contexts, colours, object selection and deletion, and thread safety of the pools.

#include "gdishim_test_util.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

static HGDIOBJ Stock(int n) { return (HGDIOBJ)(uintptr_t)n; }

TEST(GdiContext, LayoutAlignedZeroedTightRows)
{
  HDC dc = Gdi_CreateMemContext(nullptr, 3, 2);
  ASSERT_NE(dc, nullptr);
  const uint8_t* bits = (const uint8_t*)Gdi_GetCtxFrameBuffer(dc);
  ASSERT_NE(bits, nullptr);
  EXPECT_EQ((uintptr_t)bits % 64, 0u);
  for (int i = 0; i < 24; ++i) EXPECT_EQ(bits[i], 0) << i;

  // An opaque fill clipped to pixel (0, 1) must land at byte 12: rows are 3 * 4 bytes apart,
  // top row first, colour stored as B, G, R.
  SetBkMode(dc, GDI_BKMODE_OPAQUE);
  SetBkColor(dc, 0x123456);
  RECT r{0, 1, 1, 2};
  EXPECT_GT(Gdi_DrawText(dc, " ", -1, &r, 0), 0);
  EXPECT_EQ(bits[12], 0x56);
  EXPECT_EQ(bits[13], 0x34);
  EXPECT_EQ(bits[14], 0x12);
  for (int i = 0; i < 24; ++i)
  {
    if (i < 12 || i > 14) { EXPECT_EQ(bits[i], 0) << i; }
  }
  Gdi_DeleteGfxContext(dc);
}

TEST(GdiContext, BadSizesAndDeadHandles)
{
  EXPECT_EQ(Gdi_CreateMemContext(nullptr, 0, 5), nullptr);
  EXPECT_EQ(Gdi_CreateMemContext(nullptr, 5, -1), nullptr);
  EXPECT_EQ(Gdi_CreateMemContext(nullptr, 0x7FFFFFFF, 0x7FFFFFFF), nullptr);
  EXPECT_EQ(Gdi_GetCtxFrameBuffer(nullptr), nullptr);
  EXPECT_EQ(GetTextColor(nullptr), -1);

  HDC dc = Gdi_CreateMemContext(nullptr, 4, 4);
  ASSERT_NE(dc, nullptr);
  Gdi_DeleteGfxContext(dc);
  EXPECT_EQ(Gdi_GetCtxFrameBuffer(dc), nullptr);
  EXPECT_EQ(GetTextColor(dc), -1);
  RECT r{0, 0, 4, 4};
  EXPECT_EQ(Gdi_DrawText(dc, "A", -1, &r, 0), 0);
  EXPECT_EQ(SelectObject(dc, Stock(3)), nullptr);
  Gdi_DeleteGfxContext(dc);  // twice: ignored
}

TEST(GdiContext, ColoursAreTwentyFourBit)
{
  HDC dc = Gdi_CreateMemContext(nullptr, 1, 1);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(GetTextColor(dc), 0);
  SetTextColor(dc, 0x7F123456);
  EXPECT_EQ(GetTextColor(dc), 0x123456);
  Gdi_DeleteGfxContext(dc);
}

TEST(GdiSelect, EmptySlotReturnsTypeAndStockEmptiesIt)
{
  HDC dc = Gdi_CreateMemContext(nullptr, 8, 8);
  HFONT a = MakeFont(12), b = MakeFont(14);
  ASSERT_TRUE(dc && a && b);

  EXPECT_EQ(SelectObject(dc, a), Stock(3));
  EXPECT_EQ(SelectObject(dc, a), a);  // already selected
  EXPECT_EQ(SelectObject(dc, b), a);
  EXPECT_EQ(SelectObject(dc, Stock(3)), b);
  EXPECT_EQ(SelectObject(dc, Stock(3)), Stock(3));  // slot is empty again
  // Other slots are independent and empty.
  EXPECT_EQ(SelectObject(dc, Stock(1)), Stock(1));
  EXPECT_EQ(SelectObject(dc, Stock(2)), Stock(2));

  EXPECT_EQ(SelectObject(nullptr, a), nullptr);
  EXPECT_EQ(SelectObject(dc, nullptr), nullptr);
  EXPECT_EQ(SelectObject(dc, Stock(4)), nullptr);
  EXPECT_TRUE(DeleteObject(a));
  EXPECT_EQ(SelectObject(dc, a), nullptr);  // dead handle
  EXPECT_FALSE(DeleteObject(a));
  EXPECT_FALSE(DeleteObject(Stock(3)));
  EXPECT_FALSE(DeleteObject(nullptr));
  EXPECT_TRUE(DeleteObject(b));
  Gdi_DeleteGfxContext(dc);
}

TEST(GdiSelect, DeletingSelectedFontWaitsForRelease)
{
  HDC dc = Gdi_CreateMemContext(nullptr, 64, 32);
  HFONT big = MakeFont(24);
  ASSERT_TRUE(dc && big);
  SelectObject(dc, big);
  const RECT before = Measure(dc, "Hg");
  EXPECT_TRUE(DeleteObject(big));
  // Still selected: measuring and drawing keep using it.
  const RECT after = Measure(dc, "Hg");
  EXPECT_EQ(after.right, before.right);
  EXPECT_EQ(after.bottom, before.bottom);
  RECT r{0, 0, 64, 32};
  EXPECT_GT(Gdi_DrawText(dc, "Hg", -1, &r, 0), 0);
  // Cannot be selected again once deletion is pending, and deselecting frees it.
  HDC other = Gdi_CreateMemContext(nullptr, 4, 4);
  EXPECT_EQ(SelectObject(other, big), nullptr);
  EXPECT_EQ(SelectObject(dc, Stock(3)), big);
  EXPECT_EQ(SelectObject(dc, big), nullptr);
  // Deleting a context releases its selection.
  HFONT f = MakeFont(12);
  SelectObject(other, f);
  DeleteObject(f);
  Gdi_DeleteGfxContext(other);
  EXPECT_EQ(SelectObject(dc, f), nullptr);
  Gdi_DeleteGfxContext(dc);
}

TEST(GdiPools, TwoThreadsCreateDrawAndDelete)
{
  std::atomic<int> failures{0};
  auto work = [&failures](int seed) {
    for (int i = 0; i < 150; ++i)
    {
      const int w = 20 + (i + seed) % 13;
      HDC dc = Gdi_CreateMemContext(nullptr, w, 20);
      HFONT f = MakeFont(10 + (i + seed) % 5, (i & 1) ? "DejaVu Sans" : "Monaco", (i & 2) ? FW_BOLD : 0);
      if (!dc || !f)
      {
        ++failures;
        continue;
      }
      SelectObject(dc, f);
      SetTextColor(dc, 0xFFFFFF);
      RECT r{0, 0, w, 20};
      if (Gdi_DrawText(dc, "Ab", -1, &r, 0) <= 0 || InkBox(dc, w, 20).right <= 0) ++failures;
      if (i % 3 == 0) DeleteObject(f);  // deferred: still selected
      Gdi_DeleteGfxContext(dc);
      if (i % 3 != 0) DeleteObject(f);
    }
  };
  std::thread t1(work, 0), t2(work, 7);
  t1.join();
  t2.join();
  EXPECT_EQ(failures.load(), 0);
}
