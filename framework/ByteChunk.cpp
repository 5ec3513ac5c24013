#include "framework/ByteChunk.h"

#include "util/utilstring.h"

int ByteChunk::PutBytes(const void* data, int size)
{
  const int oldSize = Size();
  if (size <= 0) return oldSize;
  if (!data || (int64_t)oldSize + size > (int64_t)INT_MAX) return 0;

  // Appending part of this very chunk: the source moves when the buffer grows.
  const unsigned char* src = static_cast<const unsigned char*>(data);
  const unsigned char* base = mBytes.Get();
  const bool inside = base && src >= base && src < base + oldSize;
  const int64_t srcOffset = inside ? src - base : 0;
  if (inside && srcOffset + size > oldSize) return 0;

  unsigned char* dst = mBytes.Resize(oldSize + size, false);
  if (!dst || mBytes.GetSize() != oldSize + size)
  {
    if (mBytes.GetSize() != oldSize) mBytes.Resize(oldSize, false);
    return 0;
  }
  if (inside) src = dst + srcOffset;
  memmove(dst + oldSize, src, (size_t)size);
  return oldSize + size;
}

int ByteChunk::PutStr(const char* text)
{
  if (!text) text = "";
  const size_t len = strlen(text);
  if (len > (size_t)INT_MAX - sizeof(int32_t)) return 0;
  const int oldSize = Size();
  const int32_t n = (int32_t)len;
  if (!Put(&n)) return 0;
  if (n > 0 && !PutBytes(text, n))
  {
    mBytes.Resize(oldSize, false);  // no half-written string
    return 0;
  }
  return Size();
}

int ByteChunk::PutChunk(const ByteChunk* other)
{
  if (!other) return Size();
  return PutBytes(other->GetBytes(), other->Size());
}

int ByteChunk::GetBytes(void* data, int size, int startPos) const
{
  if (!data || !Fits(startPos, size)) return -1;
  if (size > 0) memcpy(data, mBytes.Get() + startPos, (size_t)size);
  return startPos + size;
}

int ByteChunk::GetStr(Util_String* text, int startPos) const
{
  int32_t len = 0;
  const int pos = Get(&len, startPos);
  if (pos < 0) return -1;
  // A negative length can only come from corrupt data; stepping backwards would let a
  // reader run in circles, so it ends the read instead.
  if (len < 0) return -1;
  const int64_t end = (int64_t)pos + len;
  if (end > INT_MAX) return -1;
  if (end <= Size() && text)
  {
    const char* src = reinterpret_cast<const char*>(mBytes.Get() + pos);
    size_t n = len > 0 ? strnlen(src, (size_t)len) : 0;
    if (n > 0) text->Set(src, (int)n);
    else text->Set("");
  }
  return (int)end;
}

bool ByteChunk::Reserve(int bytes)
{
  const int size = Size();
  if (bytes <= size) return true;
  if (!mBytes.Resize(bytes, false)) return false;
  mBytes.Resize(size, false);
  return true;
}

int ByteChunk::Resize(int newSize)
{
  const int oldSize = Size();
  if (newSize < 0) newSize = 0;
  if (newSize == oldSize) return oldSize;
  unsigned char* p = mBytes.Resize(newSize);
  if (p && newSize > oldSize && mBytes.GetSize() == newSize)
    memset(p + oldSize, 0, (size_t)(newSize - oldSize));
  return oldSize;
}
