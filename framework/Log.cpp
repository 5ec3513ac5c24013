#include "framework/Log.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "util/utilcstring.h"
#include "util/utilstring.h"

void Trace(const char*, int, const char*, ...) {}

void ToLower(char* out, const char* in)
{
  if (!out) return;
  if (!in)
  {
    out[0] = '\0';
    return;
  }
  const size_t n = strlen(in);
  for (size_t i = 0; i < n; ++i) out[i] = (char)tolower((unsigned char)in[i]);
  out[n] = '\0';
}

bool IsWhitespace(char c)
{
  return c == '\t' || c == '\n' || c == '\r' || c == ' ';
}

int UTCOffsetMinutes(const struct tm& local, const struct tm& utc)
{
  int offset = (local.tm_hour - utc.tm_hour) * 60 + (local.tm_min - utc.tm_min);
  const int dayDiff = local.tm_yday - utc.tm_yday;
  if (dayDiff >= 2) offset -= 1440;       // local is 31 Dec, UTC already 1 Jan
  else if (dayDiff <= -2) offset += 1440; // local is 1 Jan, UTC still 31 Dec
  else offset += dayDiff * 1440;
  return offset;
}

const char* CurrentTime(time_t t)
{
  static char sTimeStr[32];
  struct tm local, utc;
  if (!localtime_r(&t, &local) || !gmtime_r(&t, &utc))
  {
    sTimeStr[0] = '\0';
    return sTimeStr;
  }

  char buf[32];
  size_t len = strftime(buf, sizeof(buf), "%Y%m%d %H:%M ", &local);
  const int offset = UTCOffsetMinutes(local, utc);
  const int mag = offset < 0 ? -offset : offset;
  snprintf(buf + len, sizeof(buf) - len, "%c%02d%02d", offset >= 0 ? '+' : '-', mag / 60, mag % 60);
  Util_StrCopy(sTimeStr, buf, sizeof(sTimeStr));
  return sTimeStr;
}

const char* CurrentTime()
{
  return CurrentTime(time(nullptr));
}

void CompileTimestamp(const char* date, const char* time, Util_String* out)
{
  if (!out) return;
  out->Set("[");
  out->Append(date, 6);   // "[" + month + day field = 7 characters
  if (out->GetLength() > 4)
  {
    // Drop the character after the month: the padding space of a one-digit
    // day, or the separator before a two-digit day.
    char* s = out->Get();
    memmove(s + 4, s + 5, strlen(s + 5) + 1);
    out->SetLen((int)strlen(s));
  }
  out->Append(" ");
  out->Append(time);
  if (out->GetLength() > 12) out->SetLen(12);
  out->Append("]");
}

const char* AppendTimestamp(const char* date, const char* time, const char* text)
{
  static Util_String sStr;
  Util_String stamp;
  CompileTimestamp(date, time, &stamp);
  sStr.Set(text);
  sStr.Append(" ");
  sStr.Append(stamp.Get());
  return sStr.Get();
}

Timer::Timer(ClockFn clockFn) : mClock(clockFn ? clockFn : clock), mStart(mClock()) {}

bool Timer::Every(double seconds)
{
  const clock_t now = mClock();
  // Processor time at 1000000 ticks per second (the POSIX clock() rate).
  if ((double)(now - mStart) > seconds * 1000000.0)
  {
    mStart = now;
    return true;
  }
  return false;
}

const char* VSTOpcodeStr(int) { return ""; }
const char* AUSelectStr(int) { return ""; }
const char* AUPropertyStr(int) { return ""; }
const char* AUScopeStr(int) { return ""; }
