#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "framework/Log.h"
#include "util/utilstring.h"

TEST(LogText, IsWhitespace)
{
  for (char c : {'\t', '\n', '\r', ' '}) EXPECT_TRUE(IsWhitespace(c)) << (int)c;
  for (char c : {'\v', '\f', 'a', '\0', '_'}) EXPECT_FALSE(IsWhitespace(c)) << (int)c;
}

TEST(LogText, ToLower)
{
  char out[16];
  memset(out, 'x', sizeof(out));
  ToLower(out, "");
  EXPECT_EQ(out[0], '\0');
  EXPECT_EQ(out[1], 'x');
  ToLower(out, "ReAPer 64!");
  EXPECT_STREQ(out, "reaper 64!");
}

TEST(LogTimestamp, CompileTimestamp)
{
  Util_String out;
  CompileTimestamp("Jun  3 2020", "12:34:56", &out);
  EXPECT_STREQ(out.Get(), "[Jun 3 12:34]");
  CompileTimestamp("Jun 13 2020", "12:34:56", &out);
  EXPECT_STREQ(out.Get(), "[Jun13 12:34]");
  EXPECT_STREQ(AppendTimestamp("Dec  7 2026", "09:05:00", "Quenbar"), "Quenbar [Dec 7 09:05]");
}

TEST(LogTimestamp, ShortInputsDoNotOverrun)
{
  Util_String out;
  CompileTimestamp("Ju", "1", &out);
  EXPECT_STREQ(out.Get(), "[Ju 1]");
  CompileTimestamp("", "", &out);
  EXPECT_STREQ(out.Get(), "[ ]");
}

class TimeZoneTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    const char* tz = getenv("TZ");
    mHadTZ = tz != nullptr;
    if (tz) mOldTZ = tz;
  }
  void TearDown() override
  {
    if (mHadTZ) setenv("TZ", mOldTZ.c_str(), 1);
    else unsetenv("TZ");
    tzset();
  }
  static void SetTZ(const char* tz)
  {
    setenv("TZ", tz, 1);
    tzset();
  }
  bool mHadTZ = false;
  std::string mOldTZ;
};

TEST_F(TimeZoneTest, HalfHourBehindAtTheTurnOfTheYear)
{
  SetTZ("UTC+05:30");   // POSIX sign: 5:30 behind UTC
  // 2027-01-01 01:30 UTC = 2026-12-31 20:00 local (2026 is a common year).
  const time_t t = 1798767000;
  struct tm local, utc;
  localtime_r(&t, &local);
  gmtime_r(&t, &utc);
  ASSERT_EQ(local.tm_yday - utc.tm_yday, 364);
  EXPECT_EQ(UTCOffsetMinutes(local, utc), -330);
  EXPECT_STREQ(CurrentTime(t), "20261231 20:00 -0530");
}

TEST_F(TimeZoneTest, OneHourAhead)
{
  SetTZ("UTC-01:00");
  const time_t t = 1796515200 + 15 * 3600 + 46 * 60;   // 2026-12-06 15:46 UTC
  EXPECT_STREQ(CurrentTime(t), "20261206 16:46 +0100");
}

TEST_F(TimeZoneTest, AheadAcrossTheYear)
{
  SetTZ("UTC-14:00");
  const time_t t = 1798761600 - 3600;   // 2026-12-31 23:00 UTC = 2027-01-01 13:00 local
  EXPECT_STREQ(CurrentTime(t), "20270101 13:00 +1400");
}

TEST_F(TimeZoneTest, CurrentTimeHasTheFixedShape)
{
  SetTZ("UTC");
  const std::string now = CurrentTime();
  ASSERT_EQ(now.size(), 20u);
  EXPECT_EQ(now.substr(14), " +0000");
  EXPECT_EQ(now[8], ' ');
  EXPECT_EQ(now[11], ':');
}

namespace
{
clock_t gFakeClock = 0;
clock_t FakeClock() { return gFakeClock; }
} // namespace

TEST(LogTimer, EveryFiresOnceThenRestarts)
{
  gFakeClock = 1000;
  Timer t(FakeClock);
  EXPECT_FALSE(t.Every(0.5));
  gFakeClock += 500000;   // exactly half a second: not yet more than
  EXPECT_FALSE(t.Every(0.5));
  gFakeClock += 1;
  EXPECT_TRUE(t.Every(0.5));
  EXPECT_FALSE(t.Every(0.5));
  gFakeClock += 400000;
  EXPECT_FALSE(t.Every(0.5));
  gFakeClock += 100001;   // counted from the restart
  EXPECT_TRUE(t.Every(0.5));
}

TEST(LogTables, NameTablesAreEmpty)
{
  EXPECT_STREQ(VSTOpcodeStr(3), "");
  EXPECT_STREQ(AUSelectStr(1), "");
  EXPECT_STREQ(AUPropertyStr(0), "");
  EXPECT_STREQ(AUScopeStr(2), "");
}
