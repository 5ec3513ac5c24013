#pragma once

#include "framework/ByteChunk.h"

// One preset slot: a name and the chunk of one complete state. Owned by the plug-in's
// preset list; touched only on the thread of a program change or of the effect's
// constructor (no lock). An uninitialised preset is a free slot.
struct IPreset
{
  enum { kNameSize = 256 };

  IPreset();

  // Copies at most kNameSize - 1 characters of `name` (null gives ""); always terminated.
  void SetName(const char* name);

  bool mInitialized;
  char mName[kNameSize];
  ByteChunk mChunk;
};
