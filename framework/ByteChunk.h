#pragma once

#include <climits>
#include <cstdint>
#include <cstring>

#include "util/heapbuf.h"

class Util_String;

// Growable byte buffer holding a state chunk: typed values in machine (little-endian)
// order, unaligned, unpadded. No lock: the owner serialises access (state calls hold
// the plug-in mutex). Reads never leave the stored bytes; a get returns the position
// after what it read, or -1 when the read does not fit (the destination is then
// untouched). A put returns the new size, or 0 when the buffer could not grow (the
// contents are then unchanged). GetBytes() points into the chunk; it is invalidated
// by any put or resize.
class ByteChunk
{
public:
  ByteChunk() : mBytes(4096) {}
  ByteChunk(const ByteChunk&) = delete;
  ByteChunk& operator=(const ByteChunk&) = delete;

  template <class T> int Put(const T* value) { return PutBytes(value, (int)sizeof(T)); }

  template <class T> int Get(T* value, int startPos) const
  {
    return GetBytes(value, (int)sizeof(T), startPos);
  }

  int PutBytes(const void* data, int size);
  int PutStr(const char* text);
  int PutChunk(const ByteChunk* other);

  int GetBytes(void* data, int size, int startPos) const;
  int GetStr(Util_String* text, int startPos) const;

  // keepStorage: the allocation stays for the next puts, so refilling a
  // chunk of the same size never allocates.
  void Clear(bool keepStorage = false) { mBytes.Resize(0, !keepStorage); }
  // Makes room for bytes in all without changing the content; false when
  // the buffer could not grow.
  bool Reserve(int bytes);
  int Size() const { return mBytes.GetSize(); }
  unsigned char* GetBytes() const { return mBytes.Get(); }

  // Sets the size; bytes added at the end are zero. Returns the old size. A negative
  // size empties the chunk.
  int Resize(int newSize);

private:
  // True when [startPos, startPos + size) lies inside the stored bytes.
  bool Fits(int startPos, int size) const
  {
    return startPos >= 0 && size >= 0 && (int64_t)startPos + size <= (int64_t)Size();
  }

  Util_TypedBuf<unsigned char> mBytes;
};
