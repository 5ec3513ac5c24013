#pragma once
// List of pointers on a Util_HeapBuf.

#include "util/heapbuf.h"

#include <cstring>
#include <type_traits>

// Not thread-safe: the owner locks. Owns the items only when Delete/Empty are told to delete them;
// destruction frees the list storage, never the items. A list of void never deletes without deleteFunc.
template <class T>
class Util_PtrList
{
public:
  Util_PtrList() = default;
  Util_PtrList(const Util_PtrList&) = delete;
  Util_PtrList& operator=(const Util_PtrList&) = delete;

  // Item count.
  int GetSize() const { return mBuf.GetSize() / (int)sizeof(T*); }

  // The item at i, or null when i is out of range. Not transferred to the caller.
  T* Get(int i) const
  {
    T** items = (T**)mBuf.Get();
    return (items && i >= 0 && i < GetSize()) ? items[i] : nullptr;
  }

  // Appends item; returns it, or null when the list could not grow (item not stored).
  T* Add(T* item)
  {
    const int n = GetSize();
    if (n >= INT_MAX / (int)sizeof(T*) - 1) return nullptr;
    T** items = (T**)mBuf.Resize((n + 1) * (int)sizeof(T*), false);
    if (!items) return nullptr;
    items[n] = item;
    return item;
  }

  // Inserts item at index (below 0 counts as 0, at or past the end appends); returns it, or null
  // when the list could not grow.
  T* Insert(int index, T* item)
  {
    const int n = GetSize();
    if (index < 0) index = 0;
    if (index >= n) return Add(item);
    T** items = (T**)mBuf.Resize((n + 1) * (int)sizeof(T*), false);
    if (!items) return nullptr;
    std::memmove(items + index + 1, items + index, (size_t)(n - index) * sizeof(T*));
    items[index] = item;
    return item;
  }

  // Removes the item at a valid index (deleting it first when asked); out of range does nothing.
  void Delete(int index, bool deleteObject = false)
  {
    const int n = GetSize();
    if (index < 0 || index >= n) return;
    T** items = (T**)mBuf.Get();
    if constexpr (!std::is_void<T>::value)
      if (deleteObject) delete items[index];
    std::memmove(items + index, items + index + 1, (size_t)(n - 1 - index) * sizeof(T*));
    mBuf.Resize((n - 1) * (int)sizeof(T*), false);
  }

  // Empties the list. With deleteObjects, last to first, each non-null item goes to deleteFunc
  // (or delete) while the list still holds it, and the list shrinks by one after each.
  void Empty(bool deleteObjects = false, void (*deleteFunc)(void*) = nullptr)
  {
    if (deleteObjects)
    {
      for (int n = GetSize(); n > 0; n = GetSize())
      {
        T* item = ((T**)mBuf.Get())[n - 1];
        if (item)
        {
          if (deleteFunc) deleteFunc((void*)item);
          else if constexpr (!std::is_void<T>::value) delete item;
        }
        mBuf.Resize((n - 1) * (int)sizeof(T*), false);
      }
    }
    mBuf.Resize(0);
  }

  // Index of the first occurrence of item, or -1 if absent.
  int Find(const T* item) const
  {
    T** items = (T**)mBuf.Get();
    const int n = GetSize();
    for (int i = 0; i < n; ++i)
      if (items[i] == item) return i;
    return -1;
  }

private:
  Util_HeapBuf mBuf;
};
