#pragma once
// Growable NUL-terminated text on a Util_HeapBuf (granularity 128).

#include "util/heapbuf.h"

// Not thread-safe: the owner locks. Owns its characters; Get() stays valid until the next change.
class Util_String
{
public:
  explicit Util_String(const char* text = nullptr);
  Util_String(const Util_String&) = delete;
  Util_String& operator=(const Util_String&) = delete;

  // Replaces the content with text (null gives ""); maxLen > 0 takes at most maxLen characters.
  void Set(const char* text, int maxLen = 0);
  // Adds text at the end, same length rule as Set. text may point into this string.
  void Append(const char* text, int maxLen = 0);
  // The characters; a static "" when nothing is stored, never null. Not owned by the caller.
  char* Get() const;
  // strlen of the content.
  int GetLength() const;
  // Cuts (or extends with NULs) to length characters; negative counts as 0.
  void SetLen(int length);
  // The one writer: puts len characters of text at offset, after moving the trailKeep characters
  // at offset up by len. text may point into this string. Fails with no change on bad arguments
  // or when the buffer cannot grow.
  void __doSet(int offset, const char* text, int len, int trailKeep);

  int GetAlloc() const { return mBuf.GetAlloc(); }

private:
  Util_HeapBuf mBuf{128};
};
