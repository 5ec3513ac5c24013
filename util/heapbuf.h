#pragma once
// Growable byte buffer and the typed view over it. Storage comes from malloc/realloc.

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

// Allocation entry points of Util_HeapBuf. Tests swap them to provoke failures or moves;
// changing them is not thread-safe and is done only while no buffer is being resized.
struct Util_HeapBufAlloc
{
  static inline void* (*Realloc)(void* p, size_t n) = [](void* p, size_t n) { return std::realloc(p, n); };
  static inline void* (*Malloc)(size_t n) = [](size_t n) { return std::malloc(n); };
};

// Not thread-safe: the owner locks. Owns its storage; pointers it hands out die on the next Resize.
class Util_HeapBuf
{
public:
  // Any thread; granularity is the minimum growth step in bytes.
  explicit Util_HeapBuf(int granularity = 4096)
  : mGranularity(granularity) {}
  ~Util_HeapBuf() { std::free(mBuf); }
  Util_HeapBuf(const Util_HeapBuf&) = delete;
  Util_HeapBuf& operator=(const Util_HeapBuf&) = delete;

  // Sets the used size (negative counts as 0). Returns the storage, or null when newSize is 0
  // or when the buffer could not grow; a failed grow leaves size, allocation and content unchanged.
  void* Resize(int newSize, bool resizeDown = true)
  {
    if (newSize < 0) newSize = 0;
    if (newSize == mSize && (!resizeDown || newSize >= mAlloc / 2))
      return newSize ? mBuf : nullptr;

    int64_t threshold = 0;
    if (resizeDown && newSize < mSize)
    {
      // 64-bit so a huge granularity cannot wrap.
      threshold = mAlloc - 4 * (int64_t)mGranularity;
      if (mAlloc / 2 < threshold) threshold = mAlloc / 2;
      if (threshold < 1) threshold = 1;
    }

    if (newSize > mAlloc || newSize < threshold)
    {
      const int64_t want = AllocationFor(newSize);
      if (want > INT_MAX)
        return nullptr; // too large to track in an int: nothing changes
      if (want != mAlloc)
      {
        if (want == 0)
        {
          std::free(mBuf);
          mBuf = nullptr;
          mAlloc = mSize = 0;
          return nullptr;
        }
        char* p = (char*)Util_HeapBufAlloc::Realloc(mBuf, (size_t)want);
        if (!p)
        {
          p = (char*)Util_HeapBufAlloc::Malloc((size_t)want);
          if (p)
          {
            if (mBuf) std::memcpy(p, mBuf, (size_t)(mSize < newSize ? mSize : newSize));
            std::free(mBuf);
          }
        }
        if (p)
        {
          mBuf = p;
          mAlloc = (int)want;
        }
        else if (newSize > mAlloc)
          return nullptr; // could not grow: nothing changes
        // else: a failed shrink keeps the larger block, which still fits newSize
      }
    }

    mSize = newSize;
    return newSize ? mBuf : nullptr;
  }

  // Storage while the used size is not 0, else null. Not owned by the caller.
  void* Get() const { return mSize ? mBuf : nullptr; }
  // Used size in bytes.
  int GetSize() const { return mSize; }
  // Allocated size in bytes.
  int GetAlloc() const { return mAlloc; }
  int GetGranularity() const { return mGranularity; }

private:
  // Grow by about half the size (at least the granularity); large buffers stay
  // 96 bytes short of a 4096 multiple.
  int64_t AllocationFor(int newSize) const
  {
    if (newSize <= 0) return 0;
    int64_t g = newSize / 2;
    if (g < mGranularity) g = mGranularity;
    if (mGranularity < 4096) return (int64_t)newSize + g;
    g &= ~(int64_t)4095;
    if (g < 4096) g = 4096;
    if (g > 4194304) g = 4194304;
    return (((int64_t)newSize + g + 96) & ~(int64_t)4095) - 96;
  }

  char* mBuf = nullptr;
  int mAlloc = 0;
  int mSize = 0;
  int mGranularity;
};

// Array of trivially copyable T on a Util_HeapBuf (content moves with realloc/memcpy).
// Not thread-safe: the owner locks. Owns its storage only.
template <class T>
class Util_TypedBuf
{
public:
  explicit Util_TypedBuf(int granularityBytes = 4096) : mBuf(granularityBytes) {}
  Util_TypedBuf(const Util_TypedBuf&) = delete;
  Util_TypedBuf& operator=(const Util_TypedBuf&) = delete;

  // Sets the element count (negative counts as 0). Null when count is 0 or the buffer could not grow
  // (then nothing changes).
  T* Resize(int count, bool resizeDown = true)
  {
    if (count < 0) count = 0;
    if ((size_t)count > (size_t)INT_MAX / sizeof(T)) return nullptr;
    return (T*)mBuf.Resize(count * (int)sizeof(T), resizeDown);
  }
  // Elements, or null when empty. Not owned by the caller; invalid after the next Resize.
  T* Get() const { return (T*)mBuf.Get(); }
  // Element count.
  int GetSize() const { return mBuf.GetSize() / (int)sizeof(T); }
  int GetAlloc() const { return mBuf.GetAlloc(); }

private:
  Util_HeapBuf mBuf;
};
