#include "graphics/BitmapStorage.h"

#include "raster/bitmap.h"

BitmapStorage s_bitmapCache;

BitmapStorage::~BitmapStorage()
{
  Util_MutexLock lock(mMutex);
  for (int i = 0; i < mBitmaps.GetSize(); ++i) delete mBitmaps.Get(i)->mBitmap;
  mBitmaps.Empty(true);
}

Raster_IBitmap* BitmapStorage::Find(int ID)
{
  Util_MutexLock lock(mMutex);
  for (int i = 0; i < mBitmaps.GetSize(); ++i)
    if (mBitmaps.Get(i)->ID == ID) return mBitmaps.Get(i)->mBitmap;
  return nullptr;
}

bool BitmapStorage::Add(Raster_IBitmap* bitmap, int ID)
{
  if (!bitmap) return false;
  BitmapKey* key = new BitmapKey{ID, bitmap};
  Util_MutexLock lock(mMutex);
  if (mBitmaps.Add(key)) return true;
  delete key;
  return false;
}

bool BitmapStorage::Remove(Raster_IBitmap* bitmap)
{
  if (!bitmap) return false;
  Util_MutexLock lock(mMutex);
  for (int i = 0; i < mBitmaps.GetSize(); ++i)
  {
    if (mBitmaps.Get(i)->mBitmap == bitmap)
    {
      mBitmaps.Delete(i, true);
      delete bitmap;
      return true;
    }
  }
  return false;
}

bool BitmapStorage::Holds(Raster_IBitmap* bitmap)
{
  Util_MutexLock lock(mMutex);
  for (int i = 0; i < mBitmaps.GetSize(); ++i)
    if (mBitmaps.Get(i)->mBitmap == bitmap) return true;
  return false;
}

int BitmapStorage::NEntries()
{
  Util_MutexLock lock(mMutex);
  return mBitmaps.GetSize();
}

bool BitmapStorage::FirstFailureOf(int ID)
{
  Util_MutexLock lock(mMutex);
  const int n = mReportedFailures.GetSize();
  const int* seen = mReportedFailures.Get();
  for (int i = 0; i < n; ++i)
    if (seen[i] == ID) return false;
  // When the list cannot grow the failure is reported again next time: better than silence.
  int* grown = mReportedFailures.Resize(n + 1, false);
  if (grown) grown[n] = ID;
  return true;
}
