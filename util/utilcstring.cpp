#include "util/utilcstring.h"

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstring>

size_t Util_StrCopy(char* dst, const char* src, size_t dstSize)
{
  if (!dst || !dstSize) return 0;
  const size_t n = Util_StrNLen(src, dstSize - 1);
  if (n) std::memcpy(dst, src, n);
  dst[n] = 0;
  return n;
}

size_t Util_StrAppend(char* dst, const char* src, size_t dstSize)
{
  if (!dst || !dstSize) return 0;
  size_t len = Util_StrNLen(dst, dstSize);
  if (len == dstSize)
  {
    dst[dstSize - 1] = 0;
    return dstSize - 1;
  }
  return len + Util_StrCopy(dst + len, src, dstSize - len);
}

size_t Util_StrNLen(const char* s, size_t maxLen)
{
  if (!s) return 0;
  return strnlen(s, maxLen);
}

size_t Util_StrLowerCopy(char* dst, const char* src, size_t dstSize)
{
  const size_t n = Util_StrCopy(dst, src, dstSize);
  for (size_t i = 0; i < n; ++i) dst[i] = (char)std::tolower((unsigned char)dst[i]);
  return n;
}

size_t Util_StrFormat(char* dst, size_t dstSize, const char* format, ...)
{
  if (!dst || !dstSize) return 0;
  if (!format)
  {
    dst[0] = 0;
    return 0;
  }
  va_list args;
  va_start(args, format);
  const int n = std::vsnprintf(dst, dstSize, format, args);
  va_end(args);
  if (n < 0)
  {
    dst[0] = 0;
    return 0;
  }
  return (size_t)n < dstSize ? (size_t)n : dstSize - 1;
}
