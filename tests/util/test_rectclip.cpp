#include "util/rectclip.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>

namespace {

struct Rect
{
  int left, top, right, bottom;
};

bool operator==(const Rect& a, const Rect& b)
{
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::ostream& operator<<(std::ostream& os, const Rect& r)
{
  return os << "{" << r.left << "," << r.top << "," << r.right << "," << r.bottom << "}";
}

// Another record with the same members, as the shim's clip is beside RECT.
struct OtherRect
{
  int left, top, right, bottom;
};

} // namespace

TEST(RectClip, IntersectsHalfOpenRectanglesAndCollapsesEmptyOnes)
{
  const struct
  {
    const char* what;
    Rect a, b, want;
    bool nonEmpty;
  } cases[] = {
      {"inside", {0, 0, 10, 10}, {2, 3, 4, 5}, {2, 3, 4, 5}, true},
      {"overlap", {0, 0, 10, 10}, {5, -5, 15, 5}, {5, 0, 10, 5}, true},
      {"same", {1, 2, 3, 4}, {1, 2, 3, 4}, {1, 2, 3, 4}, true},
      {"one pixel", {0, 0, 10, 10}, {9, 9, 20, 20}, {9, 9, 10, 10}, true},
      {"touching right edge: exclusive", {0, 0, 10, 10}, {10, 0, 20, 10}, {10, 0, 10, 10}, false},
      {"touching bottom edge: exclusive", {0, 0, 10, 10}, {0, 10, 10, 20}, {0, 10, 10, 10}, false},
      {"apart", {0, 0, 10, 10}, {20, 30, 40, 50}, {20, 30, 20, 30}, false},
      {"empty in one axis only", {0, 0, 10, 10}, {2, 20, 4, 30}, {2, 20, 4, 20}, false},
      {"inverted input", {0, 0, 10, 10}, {8, 8, 2, 2}, {8, 8, 8, 8}, false},
      {"zero size", {0, 0, 10, 10}, {3, 3, 3, 3}, {3, 3, 3, 3}, false},
      {"extreme values", {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, {-5, -5, 5, 5}, {-5, -5, 5, 5}, true},
  };
  for (const auto& c : cases)
  {
    Rect a = c.a;
    EXPECT_EQ(Util_IntersectRect(a, c.b), c.nonEmpty) << c.what;
    EXPECT_EQ(a, c.want) << c.what;
    // The overlap does not depend on the order.
    Rect b = c.b;
    EXPECT_EQ(Util_IntersectRect(b, c.a), c.nonEmpty) << c.what;
    if (c.nonEmpty)
    {
      EXPECT_EQ(b, c.want) << c.what;
    }
  }
}

TEST(RectClip, EmptyStaysEmptyAndRecordKindsMix)
{
  Rect a{0, 0, 10, 10};
  EXPECT_FALSE(Util_IntersectRect(a, OtherRect{20, 20, 30, 30}));
  EXPECT_FALSE(Util_IntersectRect(a, OtherRect{0, 0, 100, 100})) << "a collapsed clip never grows back";
  EXPECT_EQ(a.right - a.left, 0);

  Rect c{0, 0, 10, 10};
  EXPECT_TRUE(Util_IntersectRect(c, OtherRect{-1, 4, 6, 100}));
  EXPECT_EQ(c, (Rect{0, 4, 6, 10}));
}
