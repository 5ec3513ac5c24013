#include "util/asciiutf16.h"

int Util_AsciiToUtf16(const char* in, char16_t* out, int outChars, Util_HighBytes high)
{
  if (!out || outChars <= 0) return 0;
  int i = 0;
  if (in)
    for (; i < outChars - 1 && in[i]; ++i)
    {
      const unsigned char b = (unsigned char)in[i];
      out[i] = b < 0x80 || high == UTIL_HIGH_BYTES_LATIN1 ? (char16_t)b : u'?';
    }
  out[i] = 0;
  return i;
}

int Util_Utf16ToAscii(const char16_t* in, char* out, int outChars)
{
  if (!out || outChars <= 0) return 0;
  int i = 0;
  if (in)
    for (; i < outChars - 1 && in[i]; ++i) out[i] = in[i] < 0x80 ? (char)in[i] : '?';
  out[i] = '\0';
  return i;
}
