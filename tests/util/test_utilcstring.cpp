#include "util/utilcstring.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// A destination of `size` usable bytes followed by guard bytes that must survive.
struct Guarded
{
  explicit Guarded(size_t size) : mSize(size) { std::memset(mBuf, '#', sizeof mBuf); }
  bool GuardIntact() const
  {
    for (size_t i = mSize; i < sizeof mBuf; ++i)
      if (mBuf[i] != '#') return false;
    return true;
  }
  size_t mSize;
  char mBuf[32];
};

} // namespace

TEST(UtilCString, CopyCutsAndTerminates)
{
  Guarded g(4);
  EXPECT_EQ(Util_StrCopy(g.mBuf, "abcdef", g.mSize), 3u);
  EXPECT_STREQ(g.mBuf, "abc");
  EXPECT_TRUE(g.GuardIntact());
  EXPECT_EQ(Util_StrCopy(g.mBuf, "abc", g.mSize), 3u);
  EXPECT_STREQ(g.mBuf, "abc");
  EXPECT_EQ(Util_StrCopy(g.mBuf, nullptr, g.mSize), 0u);
  EXPECT_STREQ(g.mBuf, "");

  Guarded none(0);
  EXPECT_EQ(Util_StrCopy(none.mBuf, "abc", 0), 0u);
  EXPECT_TRUE(none.GuardIntact());
}

TEST(UtilCString, AppendStaysInside)
{
  Guarded g(8);
  Util_StrCopy(g.mBuf, "Mix", g.mSize);
  EXPECT_EQ(Util_StrAppend(g.mBuf, " level", g.mSize), 7u);
  EXPECT_STREQ(g.mBuf, "Mix lev");
  EXPECT_EQ(Util_StrAppend(g.mBuf, "el", g.mSize), 7u);
  EXPECT_TRUE(g.GuardIntact());

  // An unterminated destination is terminated inside its size.
  Guarded raw(5);
  std::memset(raw.mBuf, 'a', 5);
  EXPECT_EQ(Util_StrAppend(raw.mBuf, "b", raw.mSize), 4u);
  EXPECT_STREQ(raw.mBuf, "aaaa");
  EXPECT_TRUE(raw.GuardIntact());
}

TEST(UtilCString, LowerCopyAndFormat)
{
  Guarded g(6);
  EXPECT_EQ(Util_StrLowerCopy(g.mBuf, "ReAPER 6", g.mSize), 5u);
  EXPECT_STREQ(g.mBuf, "reape");
  const char high[] = {'\xC9', 'A', 0};
  EXPECT_EQ(Util_StrLowerCopy(g.mBuf, high, g.mSize), 2u);
  EXPECT_STREQ(g.mBuf, "\xC9" "a");
  EXPECT_TRUE(g.GuardIntact());

  Guarded f(8);
  EXPECT_EQ(Util_StrFormat(f.mBuf, f.mSize, "v%d.%d.%d", 1, 20, 3), 7u);
  EXPECT_STREQ(f.mBuf, "v1.20.3");
  EXPECT_EQ(Util_StrFormat(f.mBuf, f.mSize, "%s", "0123456789"), 7u);
  EXPECT_STREQ(f.mBuf, "0123456");
  EXPECT_TRUE(f.GuardIntact());

  EXPECT_EQ(Util_StrNLen("abc", 2), 2u);
  EXPECT_EQ(Util_StrNLen(nullptr, 5), 0u);
}
