// The process-wide image cache: decoded editor images and derived copies, shared by every
// editor of every plug-in instance and freed only when the module is unloaded.
// Contract: any thread; every operation holds the cache's mutex for its whole run. The cache
// owns each bitmap it holds; pointers it returns stay valid until Remove or unload.
#pragma once

#include "util/heapbuf.h"
#include "util/mutex.h"
#include "util/ptrlist.h"

class Raster_IBitmap;

class BitmapStorage
{
public:
  struct BitmapKey
  {
    int ID;                   // resource identifier, -1 for images added without one
    Raster_IBitmap* mBitmap;  // owned
  };

  BitmapStorage() = default;
  // Module unload: deletes every bitmap, then every entry.
  ~BitmapStorage();
  BitmapStorage(const BitmapStorage&) = delete;
  BitmapStorage& operator=(const BitmapStorage&) = delete;

  // The first image stored under ID, or null.
  Raster_IBitmap* Find(int ID);
  // Takes ownership; false (bitmap not stored, still the caller's) when the list cannot grow.
  bool Add(Raster_IBitmap* bitmap, int ID = -1);
  // Deletes the first entry holding bitmap and the bitmap; false for a bitmap it does not hold.
  bool Remove(Raster_IBitmap* bitmap);
  bool Holds(Raster_IBitmap* bitmap);
  int NEntries();
  // True the first time it is asked about ID: a failed load is reported once per ID.
  bool FirstFailureOf(int ID);

private:
  Util_Mutex mMutex;
  Util_PtrList<BitmapKey> mBitmaps;
  Util_TypedBuf<int> mReportedFailures{64};
};

extern BitmapStorage s_bitmapCache;
