#include "util/utilstring.h"

#include <cstdint>
#include <cstring>

namespace {

int LengthWithin(const char* text, int maxLen)
{
  if (!text) return 0;
  if (maxLen <= 0)
  {
    const size_t n = std::strlen(text);
    return n > (size_t)INT_MAX ? INT_MAX : (int)n;
  }
  return (int)strnlen(text, (size_t)maxLen);
}

} // namespace

Util_String::Util_String(const char* text)
{
  if (text) Set(text);
}

void Util_String::Set(const char* text, int maxLen)
{
  __doSet(0, text, LengthWithin(text, maxLen), 0);
}

void Util_String::Append(const char* text, int maxLen)
{
  __doSet(GetLength(), text, LengthWithin(text, maxLen), 0);
}

char* Util_String::Get() const
{
  static char sEmpty[1] = {0};
  char* p = (char*)mBuf.Get();
  return p ? p : sEmpty;
}

int Util_String::GetLength() const
{
  return (int)std::strlen(Get());
}

void Util_String::SetLen(int length)
{
  if (length < 0) length = 0;
  if (length == INT_MAX) return;
  const int oldSize = mBuf.GetSize();
  char* p = (char*)mBuf.Resize(length + 1);
  if (!p) return;
  if (length + 1 > oldSize) std::memset(p + oldSize, 0, (size_t)(length + 1 - oldSize));
  p[length] = 0;
}

void Util_String::__doSet(int offset, const char* text, int len, int trailKeep)
{
  if (offset == 0 && len == 0 && trailKeep == 0)
  {
    char* p = (char*)mBuf.Resize(1, false);
    if (p) p[0] = 0;
    return;
  }
  if (offset < 0 || len <= 0 || trailKeep < 0) return;
  // The kept tail must lie inside the current content, or we would read past it.
  const int64_t curLen = GetLength();
  if ((int64_t)offset + trailKeep > curLen) return;
  const int64_t newLength64 = (int64_t)offset + len + trailKeep;
  if (newLength64 + 1 > INT_MAX) return;
  const int newLength = (int)newLength64;

  const int oldSize = mBuf.GetSize();
  if (newLength >= oldSize)
  {
    // text may live in our own storage, which realloc may move.
    const uintptr_t base = (uintptr_t)mBuf.Get();
    const uintptr_t t = (uintptr_t)text;
    const bool inside = base && t >= base && t < base + (uintptr_t)oldSize;
    const uintptr_t textOffset = t - base;
    if (!mBuf.Resize(newLength + 1, false)) return;
    if (inside) text = (const char*)mBuf.Get() + textOffset;
  }
  if (mBuf.GetSize() <= newLength) return;

  char* p = (char*)mBuf.Get();
  std::memmove(p + offset + len, p + offset, (size_t)trailKeep);
  if (text)
    std::memmove(p + offset, text, (size_t)len);
  else if (offset + len > oldSize)
  {
    // No text: never leave freshly grown bytes undefined.
    const int from = offset > oldSize ? offset : oldSize;
    std::memset(p + from, 0, (size_t)(offset + len - from));
  }
  p[newLength] = 0;
  if (newLength + 1 < oldSize) mBuf.Resize(newLength + 1, false);
}
