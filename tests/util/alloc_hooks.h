#pragma once
// Swaps Util_HeapBuf's allocation entry points for one test, restoring them afterwards.

#include "util/heapbuf.h"

#include <cstdlib>
#include <malloc.h>
#include <cstring>

struct ScopedAllocHooks
{
  ScopedAllocHooks(void* (*realloc)(void*, size_t), void* (*malloc)(size_t))
  : mOldRealloc(Util_HeapBufAlloc::Realloc), mOldMalloc(Util_HeapBufAlloc::Malloc)
  {
    Util_HeapBufAlloc::Realloc = realloc;
    Util_HeapBufAlloc::Malloc = malloc;
  }
  ~ScopedAllocHooks()
  {
    Util_HeapBufAlloc::Realloc = mOldRealloc;
    Util_HeapBufAlloc::Malloc = mOldMalloc;
  }
  void* (*mOldRealloc)(void*, size_t);
  void* (*mOldMalloc)(size_t);
};

inline void* FailingRealloc(void*, size_t) { return nullptr; }
inline void* FailingMalloc(size_t) { return nullptr; }
inline void* PlainMalloc(size_t n) { return std::malloc(n); }

// A realloc that always moves the block and scribbles over the old one before freeing it,
// so code that keeps reading the old storage sees garbage even without a sanitizer.
inline void* MovingRealloc(void* old, size_t n)
{
  void* p = std::malloc(n);
  if (!p) return nullptr;
  if (old)
  {
    const size_t oldSize = malloc_usable_size(old);
    std::memcpy(p, old, oldSize < n ? oldSize : n);
    std::memset(old, 'X', oldSize);
    std::free(old);
  }
  return p;
}
