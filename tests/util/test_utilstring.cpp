#include "alloc_hooks.h"
#include "util/utilstring.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

TEST(UtilString, SetAndLengthRules)
{
  Util_String s;
  ASSERT_NE(s.Get(), nullptr);
  EXPECT_STREQ(s.Get(), "");
  EXPECT_EQ(s.GetLength(), 0);

  s.Set("abcdef", 3);
  EXPECT_STREQ(s.Get(), "abc");
  s.Set("ab", 10); // cut at the NUL, not at maxLen
  EXPECT_STREQ(s.Get(), "ab");
  s.Set("abcdef", -1);
  EXPECT_STREQ(s.Get(), "abcdef");
  s.Set(nullptr);
  EXPECT_STREQ(s.Get(), "");
  EXPECT_EQ(s.GetLength(), 0);

  Util_String t("Snap");
  t.Append(" level");
  t.Append("XYZ", 2);
  EXPECT_STREQ(t.Get(), "Snap levelXY");
  t.Append(nullptr);
  EXPECT_STREQ(t.Get(), "Snap levelXY");
  EXPECT_EQ(t.GetLength(), 12);
}

TEST(UtilString, ShorterSetKeepsAllocation)
{
  Util_String s;
  s.Set(std::string(300, 'a').c_str());
  const int alloc = s.GetAlloc();
  s.Set("b");
  EXPECT_STREQ(s.Get(), "b");
  EXPECT_EQ(s.GetAlloc(), alloc);
  s.__doSet(0, nullptr, 0, 0);
  EXPECT_STREQ(s.Get(), "");
  EXPECT_EQ(s.GetAlloc(), alloc);
}

TEST(UtilString, AppendsItselfWhileBufferMoves)
{
  const std::string base(200, 'q');
  std::string expected = base + base;
  {
    ScopedAllocHooks hooks(MovingRealloc, PlainMalloc);
    Util_String s(base.c_str());
    const char* before = s.Get();
    s.Append(s.Get());
    EXPECT_NE(s.Get(), before) << "the test needs the buffer to move";
    EXPECT_EQ(std::string(s.Get()), expected);
  }
  {
    // Same through the malloc fallback.
    Util_String s("0123456789");
    for (int i = 0; i < 5; ++i) s.Append(s.Get());
    ScopedAllocHooks hooks(FailingRealloc, PlainMalloc);
    s.Append(s.Get());
    std::string want = "0123456789";
    for (int i = 0; i < 6; ++i) want += want;
    EXPECT_EQ(std::string(s.Get()), want);
  }
}

TEST(UtilString, SetFromOwnSuffix)
{
  Util_String s("parameter");
  s.Set(s.Get() + 5);
  EXPECT_STREQ(s.Get(), "eter");
  s.Set(s.Get(), 2);
  EXPECT_STREQ(s.Get(), "et");
}

TEST(UtilString, DoSetKeepsTrailAndRejectsBadArguments)
{
  Util_String s("abef");
  s.__doSet(2, "cd", 2, 2);
  EXPECT_STREQ(s.Get(), "abcdef");

  s.__doSet(-1, "x", 1, 0);
  s.__doSet(1, "x", 0, 1);
  s.__doSet(0, "x", 1, -1);
  s.__doSet(4, "x", 1, 3); // tail would reach past the content
  s.__doSet(6, "x", INT_MAX - 3, 0); // length overflows
  EXPECT_STREQ(s.Get(), "abcdef");

  // Without text the grown bytes are zero, so the content length is unchanged.
  s.__doSet(6, nullptr, 4, 0);
  EXPECT_EQ(s.GetLength(), 6);
}

TEST(UtilString, SetLenCutsAndExtends)
{
  Util_String s("Quenbar");
  s.SetLen(4);
  EXPECT_STREQ(s.Get(), "Quen");
  s.SetLen(10);
  EXPECT_STREQ(s.Get(), "Quen");
  s.Append("x");
  EXPECT_STREQ(s.Get(), "Quenx");
  s.SetLen(-1);
  EXPECT_STREQ(s.Get(), "");
}

TEST(UtilString, FailedGrowthChangesNothing)
{
  Util_String s("abc");
  ScopedAllocHooks hooks(FailingRealloc, FailingMalloc);
  s.Append(std::string(500, 'z').c_str());
  EXPECT_STREQ(s.Get(), "abc");
  s.Set(std::string(500, 'z').c_str());
  EXPECT_STREQ(s.Get(), "abc");
}
