#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "framework/ByteChunk.h"
#include "framework/IPreset.h"
#include "util/alloc_hooks.h"
#include "util/utilstring.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes Contents(const ByteChunk& c)
{
  return Bytes(c.GetBytes(), c.GetBytes() + c.Size());
}

TEST(ByteChunk, PutsAppendLittleEndianUnpaddedAndReturnTheNewSize)
{
  ByteChunk c;
  EXPECT_EQ(c.Size(), 0);
  const int32_t i = 0x01020304;
  const unsigned char b = 0xAB;
  const double d = 1.0;  // 00 .. 00 F0 3F
  EXPECT_EQ(c.Put(&i), 4);
  EXPECT_EQ(c.Put(&b), 5);
  EXPECT_EQ(c.Put(&d), 13);
  EXPECT_EQ(Contents(c), (Bytes{4, 3, 2, 1, 0xAB, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F}));

  int32_t i2 = 0;
  unsigned char b2 = 0;
  double d2 = 0;
  EXPECT_EQ(c.Get(&i2, 0), 4);
  EXPECT_EQ(c.Get(&b2, 4), 5);
  EXPECT_EQ(c.Get(&d2, 5), 13);  // unaligned read
  EXPECT_EQ(i2, i);
  EXPECT_EQ(b2, b);
  EXPECT_EQ(d2, d);
}

TEST(ByteChunk, ReadsThatDoNotFitFailAndLeaveTheDestination)
{
  ByteChunk c;
  const int32_t v = 7;
  c.Put(&v);
  c.Put(&v);  // 8 bytes

  int32_t out = 99;
  EXPECT_EQ(c.Get(&out, 5), -1);
  EXPECT_EQ(c.Get(&out, -1), -1);
  EXPECT_EQ(c.Get(&out, INT_MAX - 1), -1);  // startPos + size would overflow an int
  EXPECT_EQ(c.Get(&out, INT_MAX), -1);
  EXPECT_EQ(out, 99);
  EXPECT_EQ(c.Get(&out, 4), 8);  // exactly up to the end is fine
  EXPECT_EQ(out, 7);

  unsigned char buf[16] = {};
  EXPECT_EQ(c.GetBytes(buf, 9, 0), -1);
  EXPECT_EQ(c.GetBytes(buf, -1, 0), -1);
  EXPECT_EQ(c.GetBytes(buf, INT_MAX, 1), -1);
  EXPECT_EQ(c.GetBytes(buf, 0, 8), 8);

  ByteChunk empty;
  EXPECT_EQ(empty.Get(&out, 0), -1);
}

TEST(ByteChunk, StringsAreALengthThenTheCharacters)
{
  ByteChunk c;
  EXPECT_EQ(c.PutStr("ab"), 6);
  EXPECT_EQ(c.PutStr(""), 10);
  EXPECT_EQ(Contents(c), (Bytes{2, 0, 0, 0, 'a', 'b', 0, 0, 0, 0}));

  Util_String s("old");
  EXPECT_EQ(c.GetStr(&s, 0), 6);
  EXPECT_STREQ(s.Get(), "ab");
  EXPECT_EQ(c.GetStr(&s, 6), 10);
  EXPECT_STREQ(s.Get(), "");
  EXPECT_EQ(c.GetStr(&s, 10), -1);  // no length left
}

TEST(ByteChunk, GetStrCutsAtANulAndReportsAStringRunningPastTheEnd)
{
  ByteChunk c;
  const int32_t len = 4;
  c.Put(&len);
  c.PutBytes("x\0yz", 4);
  Util_String s;
  EXPECT_EQ(c.GetStr(&s, 0), 8);
  EXPECT_STREQ(s.Get(), "x");

  ByteChunk shortStr;
  const int32_t claimed = 10;
  shortStr.Put(&claimed);
  shortStr.PutBytes("abc", 3);
  s.Set("kept");
  // The end lies beyond the data: the position is still returned, the text is untouched
  // and the next read fails.
  const int end = shortStr.GetStr(&s, 0);
  EXPECT_EQ(end, 14);
  EXPECT_STREQ(s.Get(), "kept");
  unsigned char flag;
  EXPECT_EQ(shortStr.Get(&flag, end), -1);
}

TEST(ByteChunk, GetStrRefusesNegativeAndHugeLengths)
{
  Util_String s("kept");
  for (int32_t len : {-1, -4, INT_MIN, INT_MAX})
  {
    ByteChunk c;
    c.Put(&len);
    c.PutBytes("abcdefgh", 8);
    EXPECT_EQ(c.GetStr(&s, 0), -1) << len;
    EXPECT_STREQ(s.Get(), "kept");
  }
}

TEST(ByteChunk, ResizeZeroesNewBytesAndReturnsTheOldSize)
{
  ByteChunk c;
  c.PutBytes("\xff\xff\xff", 3);
  EXPECT_EQ(c.Resize(2), 3);
  EXPECT_EQ(c.Resize(6), 2);
  EXPECT_EQ(Contents(c), (Bytes{0xff, 0xff, 0, 0, 0, 0}));
  EXPECT_EQ(c.Resize(-5), 6);
  EXPECT_EQ(c.Size(), 0);
  c.PutBytes("a", 1);
  c.Clear();
  EXPECT_EQ(c.Size(), 0);
}

TEST(ByteChunk, PutChunkAppendsAnotherChunkOrItself)
{
  ScopedAllocHooks hooks(MovingRealloc, PlainMalloc);  // every growth moves the storage
  ByteChunk a, b;
  a.PutBytes("ab", 2);
  b.PutBytes("cd", 2);
  EXPECT_EQ(a.PutChunk(&b), 4);
  EXPECT_EQ(a.PutChunk(&a), 8);
  EXPECT_EQ(Contents(a), (Bytes{'a', 'b', 'c', 'd', 'a', 'b', 'c', 'd'}));
  ByteChunk empty;
  EXPECT_EQ(a.PutChunk(&empty), 8);
  EXPECT_EQ(a.PutChunk(nullptr), 8);
}

TEST(ByteChunk, AFailedGrowthReturnsZeroAndKeepsTheContents)
{
  ByteChunk c;
  c.PutBytes("abc", 3);
  ScopedAllocHooks hooks(FailingRealloc, FailingMalloc);
  // Grow beyond the first allocation so the buffer really has to ask for memory.
  std::vector<unsigned char> big(1 << 16, 1);
  EXPECT_EQ(c.PutBytes(big.data(), (int)big.size()), 0);
  EXPECT_EQ(Contents(c), (Bytes{'a', 'b', 'c'}));
  EXPECT_EQ(c.PutBytes(nullptr, 4), 0);
  EXPECT_EQ(c.PutBytes("x", 0), 3);
}

TEST(IPreset, StartsAsAFreeSlotNamedEmptyAndCutsLongNames)
{
  IPreset p;
  EXPECT_FALSE(p.mInitialized);
  EXPECT_STREQ(p.mName, "empty");
  EXPECT_EQ(p.mChunk.Size(), 0);

  std::string longName(400, 'n');
  p.SetName(longName.c_str());
  EXPECT_EQ(strlen(p.mName), 255u);
  p.SetName(nullptr);
  EXPECT_STREQ(p.mName, "");
}

}  // namespace
