#pragma once
// Copies between 8-bit text and UTF-16 units: ASCII converts, the rest is marked '?' (bytes on
// the way to UTF-16 may instead widen as Latin-1). Any thread; they touch only their arguments.

// What a byte above 0x7F becomes on the way to UTF-16.
enum Util_HighBytes
{
  UTIL_HIGH_BYTES_MARKED,  // '?', as the way back marks what it cannot convert
  UTIL_HIGH_BYTES_LATIN1,  // the unit of the same value
};

// Copies NUL-terminated in (null counts as "") into out, cut to outChars - 1 units and always
// terminated; writes nothing when out is null or outChars <= 0. Returns the units written
// before the terminator.
int Util_AsciiToUtf16(const char* in, char16_t* out, int outChars, Util_HighBytes high = UTIL_HIGH_BYTES_MARKED);

// The way back: units above 0x7F become '?'. Cut, terminated and counted like Util_AsciiToUtf16.
int Util_Utf16ToAscii(const char16_t* in, char* out, int outChars);
