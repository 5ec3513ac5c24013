#ifndef QUENBAR_FRAMEWORK_LOG_H
#define QUENBAR_FRAMEWORK_LOG_H

#include <ctime>

class Util_String;

// Diagnostic trace point. Diagnostic output is not built in: it prints
// nothing and has no effect (the caller still evaluates the arguments).
// Any thread.
void Trace(const char* funcName, int line, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

// Copies in through tolower into out; out must hold strlen(in) + 1 bytes.
void ToLower(char* out, const char* in);
// Tab, line feed, carriage return and space only.
bool IsWhitespace(char c);

// "YYYYMMDD HH:MM +hhmm" for now in local time. Returns a static buffer that
// the next call overwrites: not for two threads at once.
const char* CurrentTime();
// The same for a given moment, so callers (and tests) can fix the time.
const char* CurrentTime(time_t t);
// Offset of local time from UTC in minutes, from two broken-down times of the
// same moment (the year's turn counts as one day).
int UTCOffsetMinutes(const struct tm& local, const struct tm& utc);

// out = "[Mmm d HH:MM]" from the compiler's date ("Mmm dd yyyy") and time
// ("hh:mm:ss") texts. Any thread.
void CompileTimestamp(const char* date, const char* time, Util_String* out);
// text + " " + CompileTimestamp; static storage valid until the next call.
const char* AppendTimestamp(const char* date, const char* time, const char* text);

// Interval timer on processor time (clock(), 1000000 ticks per second).
// The clock source can be swapped for testing. Not shared between threads.
class Timer
{
public:
  using ClockFn = clock_t (*)();
  explicit Timer(ClockFn clockFn = clock);
  // True, restarting the interval, once more than seconds have passed.
  bool Every(double seconds);

private:
  ClockFn mClock;
  clock_t mStart;
};

// Name tables for tracing other plug-in interfaces: all empty here.
const char* VSTOpcodeStr(int opCode);
const char* AUSelectStr(int select);
const char* AUPropertyStr(int propID);
const char* AUScopeStr(int scope);

#endif
