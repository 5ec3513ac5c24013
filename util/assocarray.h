#pragma once
// Sorted key-value array with binary search, and its string-keyed form.

#include "util/heapbuf.h"

#include <cstdlib>
#include <cstring>
#include <type_traits>

// Not thread-safe: the owner locks. Owns the key copies it makes and, when a value-dispose
// function is set, the values: both are disposed on replacement (values) and destruction.
template <class K, class V>
class Util_AssocArrayImpl
{
  static_assert(std::is_trivially_copyable<K>::value && std::is_trivially_copyable<V>::value,
                "pairs move with memmove/realloc");

public:
  typedef int (*CompareFunc)(K a, K b);
  typedef K (*KeyCopyFunc)(K key);
  typedef void (*KeyDisposeFunc)(K key);
  typedef void (*ValueDisposeFunc)(V value);

  explicit Util_AssocArrayImpl(CompareFunc compare, KeyCopyFunc keyCopy = nullptr,
                               KeyDisposeFunc keyDispose = nullptr, ValueDisposeFunc valueDispose = nullptr)
  : mCompare(compare), mKeyCopy(keyCopy), mKeyDispose(keyDispose), mValueDispose(valueDispose) {}

  ~Util_AssocArrayImpl()
  {
    Pair* pairs = (Pair*)mBuf.Get();
    const int n = GetSize();
    for (int i = 0; i < n; ++i)
    {
      if (mKeyDispose) mKeyDispose(pairs[i].key);
      if (mValueDispose) mValueDispose(pairs[i].value);
    }
  }
  Util_AssocArrayImpl(const Util_AssocArrayImpl&) = delete;
  Util_AssocArrayImpl& operator=(const Util_AssocArrayImpl&) = delete;

  // Stores value under key and returns its index. An existing key keeps its stored copy and its
  // old value goes to the value-dispose function. -1 when memory runs out; the caller keeps value.
  int Insert(K key, V value)
  {
    int lo = 0, hi = GetSize();
    Pair* pairs = (Pair*)mBuf.Get();
    while (lo < hi)
    {
      const int mid = (lo + hi) / 2;
      const int c = mCompare(key, pairs[mid].key);
      if (c > 0) lo = mid + 1;
      else if (c < 0) hi = mid;
      else
      {
        if (mValueDispose) mValueDispose(pairs[mid].value);
        pairs[mid].value = value;
        return mid;
      }
    }

    K stored = key;
    if (mKeyCopy)
    {
      stored = mKeyCopy(key);
      if constexpr (std::is_pointer<K>::value)
        if (!stored && key) return -1;
    }
    const int n = GetSize();
    if (n >= INT_MAX / (int)sizeof(Pair) - 1 || !mBuf.Resize((n + 1) * (int)sizeof(Pair), false))
    {
      if (mKeyCopy && mKeyDispose) mKeyDispose(stored);
      return -1;
    }
    pairs = (Pair*)mBuf.Get();
    std::memmove(pairs + lo + 1, pairs + lo, (size_t)(n - lo) * sizeof(Pair));
    pairs[lo].key = stored;
    pairs[lo].value = value;
    return lo;
  }

  // Index of key, or -1 if absent.
  int Find(K key) const
  {
    int lo = 0, hi = GetSize();
    const Pair* pairs = (const Pair*)mBuf.Get();
    while (lo < hi)
    {
      const int mid = (lo + hi) / 2;
      const int c = mCompare(key, pairs[mid].key);
      if (c > 0) lo = mid + 1;
      else if (c < 0) hi = mid;
      else return mid;
    }
    return -1;
  }

  // The stored value for key, or null. Points into the array: invalid after the next Insert.
  V* GetPtr(K key)
  {
    const int i = Find(key);
    return i < 0 ? nullptr : &((Pair*)mBuf.Get())[i].value;
  }

  int GetSize() const { return mBuf.GetSize() / (int)sizeof(Pair); }

  // The stored key at i (owned by the array), or K() when out of range.
  K GetKey(int i) const { return (i >= 0 && i < GetSize()) ? ((const Pair*)mBuf.Get())[i].key : K(); }

  // The value at i, or null when out of range. Invalid after the next Insert.
  V* GetValuePtr(int i) { return (i >= 0 && i < GetSize()) ? &((Pair*)mBuf.Get())[i].value : nullptr; }

private:
  struct Pair
  {
    K key;
    V value;
  };

  Util_HeapBuf mBuf;
  CompareFunc mCompare;
  KeyCopyFunc mKeyCopy;
  KeyDisposeFunc mKeyDispose;
  ValueDisposeFunc mValueDispose;
};

// String keys compared with strcmp, copied with strdup, freed with free. A null key is never stored.
template <class V>
class Util_StringKeyedArray : public Util_AssocArrayImpl<const char*, V>
{
  typedef Util_AssocArrayImpl<const char*, V> Base;

public:
  explicit Util_StringKeyedArray(void (*valueDispose)(V) = nullptr)
  : Base(&Compare, &Copy, &Dispose, valueDispose) {}

  // See Util_AssocArrayImpl::Insert; -1 for a null key.
  int Insert(const char* key, V value) { return key ? Base::Insert(key, value) : -1; }
  int Find(const char* key) const { return key ? Base::Find(key) : -1; }
  V* GetPtr(const char* key) { return key ? Base::GetPtr(key) : nullptr; }

private:
  static int Compare(const char* a, const char* b) { return std::strcmp(a, b); }
  static const char* Copy(const char* key) { return strdup(key); }
  static void Dispose(const char* key) { std::free((void*)key); }
};
