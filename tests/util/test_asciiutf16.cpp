#include "util/asciiutf16.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

const char16_t kGuard16 = u'#';
const char kGuard8 = '#';

struct ToUtf16Case
{
  const char* what;
  const char* in;
  int outChars;
  Util_HighBytes high;
  std::u16string want;
};

struct ToAsciiCase
{
  const char* what;
  const char16_t* in;
  int outChars;
  std::string want;
};

} // namespace

TEST(AsciiUtf16, ToUtf16CutsTerminatesAndMarksOrWidensHighBytes)
{
  const ToUtf16Case cases[] = {
      {"fits", "Mix", 8, UTIL_HIGH_BYTES_MARKED, u"Mix"},
      {"exactly fits", "Mix", 4, UTIL_HIGH_BYTES_MARKED, u"Mix"},
      {"cut for the terminator", "Level", 4, UTIL_HIGH_BYTES_MARKED, u"Lev"},
      {"room for the terminator only", "Level", 1, UTIL_HIGH_BYTES_MARKED, u""},
      {"null is empty", nullptr, 8, UTIL_HIGH_BYTES_MARKED, u""},
      {"high bytes marked", "Gr\xC3\xBCn", 8, UTIL_HIGH_BYTES_MARKED, u"Gr??n"},
      {"high bytes widened", "Gr\xFCn\x80", 8, UTIL_HIGH_BYTES_LATIN1, u"Gr\u00FCn\u0080"},
      {"ASCII the same either way", "0.5 %", 8, UTIL_HIGH_BYTES_LATIN1, u"0.5 %"},
  };
  for (const ToUtf16Case& c : cases)
  {
    char16_t out[16];
    std::fill(out, out + 16, kGuard16);
    const int n = Util_AsciiToUtf16(c.in, out, c.outChars, c.high);
    EXPECT_EQ(n, (int)c.want.size()) << c.what;
    EXPECT_EQ(std::u16string(out), c.want) << c.what;
    for (int i = c.outChars; i < 16; ++i) EXPECT_EQ(out[i], kGuard16) << c.what << " wrote past outChars at " << i;
  }
}

TEST(AsciiUtf16, ToAsciiCutsTerminatesAndMarksNonAscii)
{
  const ToAsciiCase cases[] = {
      {"fits", u"Mix", 8, "Mix"},
      {"cut for the terminator", u"Level", 4, "Lev"},
      {"room for the terminator only", u"Level", 1, ""},
      {"null is empty", nullptr, 8, ""},
      {"non-ASCII marked", u"Gr\u00FCn\u20AC\u007F", 8, "Gr?n?\x7F"},
      {"a surrogate pair is two marks", u"a\U0001F600b", 8, "a??b"},
  };
  for (const ToAsciiCase& c : cases)
  {
    char out[16];
    std::fill(out, out + 16, kGuard8);
    const int n = Util_Utf16ToAscii(c.in, out, c.outChars);
    EXPECT_EQ(n, (int)c.want.size()) << c.what;
    EXPECT_EQ(std::string(out), c.want) << c.what;
    for (int i = c.outChars; i < 16; ++i) EXPECT_EQ(out[i], kGuard8) << c.what << " wrote past outChars at " << i;
  }
}

TEST(AsciiUtf16, NoRoomOrNoOutputWritesNothing)
{
  char16_t wide[2] = {kGuard16, kGuard16};
  char narrow[2] = {kGuard8, kGuard8};
  EXPECT_EQ(Util_AsciiToUtf16("abc", wide, 0), 0);
  EXPECT_EQ(Util_AsciiToUtf16("abc", wide, -3), 0);
  EXPECT_EQ(Util_Utf16ToAscii(u"abc", narrow, 0), 0);
  EXPECT_EQ(wide[0], kGuard16);
  EXPECT_EQ(narrow[0], kGuard8);
  EXPECT_EQ(Util_AsciiToUtf16("abc", nullptr, 8), 0);
  EXPECT_EQ(Util_Utf16ToAscii(u"abc", nullptr, 8), 0);
}
