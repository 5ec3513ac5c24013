#include "util/utf8.h"

int32_t Util_Utf8Next(const char* s, int n, int* pos)
{
  const int i = *pos;
  if (i >= n) return -1;
  const uint8_t b = (uint8_t)s[i];
  if (b < 0x80)
  {
    *pos = i + 1;
    return b;
  }
  // The lead fixes the length and the range of the second byte; later bytes are 80..BF.
  int len;
  uint8_t lo = 0x80, hi = 0xBF;
  uint32_t cp;
  if (b >= 0xC2 && b <= 0xDF) { len = 2; cp = b & 0x1F; }
  else if (b >= 0xE0 && b <= 0xEF)
  {
    len = 3;
    cp = b & 0x0F;
    if (b == 0xE0) lo = 0xA0;       // below: overlong
    else if (b == 0xED) hi = 0x9F;  // above: surrogates
  }
  else if (b >= 0xF0 && b <= 0xF4)
  {
    len = 4;
    cp = b & 0x07;
    if (b == 0xF0) lo = 0x90;       // below: overlong
    else if (b == 0xF4) hi = 0x8F;  // above: beyond U+10FFFF
  }
  else
  {
    *pos = i + 1;
    return UTIL_UTF8_REPLACEMENT;
  }
  for (int k = 1; k < len; ++k)
  {
    if (i + k >= n)
    {
      *pos = n;
      return -1;
    }
    const uint8_t c = (uint8_t)s[i + k];
    if (c < lo || c > hi)
    {
      *pos = i + k;
      return UTIL_UTF8_REPLACEMENT;
    }
    lo = 0x80;
    hi = 0xBF;
    cp = (cp << 6) | (c & 0x3F);
  }
  *pos = i + len;
  return (int32_t)cp;
}

int Util_Utf8Encode(uint32_t cp, char* out)
{
  if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) cp = UTIL_UTF8_REPLACEMENT;
  if (cp < 0x80)
  {
    out[0] = (char)cp;
    return 1;
  }
  if (cp < 0x800)
  {
    out[0] = (char)(0xC0 | (cp >> 6));
    out[1] = (char)(0x80 | (cp & 0x3F));
    return 2;
  }
  if (cp < 0x10000)
  {
    out[0] = (char)(0xE0 | (cp >> 12));
    out[1] = (char)(0x80 | ((cp >> 6) & 0x3F));
    out[2] = (char)(0x80 | (cp & 0x3F));
    return 3;
  }
  out[0] = (char)(0xF0 | (cp >> 18));
  out[1] = (char)(0x80 | ((cp >> 12) & 0x3F));
  out[2] = (char)(0x80 | ((cp >> 6) & 0x3F));
  out[3] = (char)(0x80 | (cp & 0x3F));
  return 4;
}
