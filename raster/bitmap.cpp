#include "raster/bitmap.h"

#include <cstdlib>

Raster_MemBitmap::Raster_MemBitmap(int w, int h, int lineAlign)
{
  if (lineAlign >= 2)
  {
    int low = lineAlign & -lineAlign;
    if (low > 16) low = 16;
    mAlignMask = low - 1;
  }
  if (w > 0 && h > 0) resize(w, h);
}

Raster_MemBitmap::~Raster_MemBitmap() { free(mRaw); }

Raster_Pixel* Raster_MemBitmap::getBits()
{
  if (!mRaw) return nullptr;
  return (Raster_Pixel*)(((uintptr_t)mRaw + 63) & ~(uintptr_t)63);
}

bool Raster_MemBitmap::resize(int w, int h)
{
  if (w == mWidth && h == mHeight) return false;
  mWidth = w;
  mHeight = h;
  if (w < 1 || h < 1)
  {
    free(mRaw);
    mRaw = nullptr;
    mAllocSize = 0;
    return true;
  }
  // A request whose byte size cannot even be represented fails like a failed allocation
  // instead of wrapping to a small block.
  const size_t kLimit = (size_t)1 << 46;
  if (w > 0x7FFFFFFF - mAlignMask || (size_t)h * (size_t)getRowSpan() > kLimit / 4)
  {
    free(mRaw);
    mRaw = nullptr;
    mAllocSize = 0;
    mWidth = mHeight = 0;
    return true;
  }
  const size_t need = (size_t)h * (size_t)getRowSpan() * 4;
  if (!mRaw)
  {
    mRaw = malloc(need + 63);
    mAllocSize = mRaw ? need : 0;
  }
  else if (need > mAllocSize)
  {
    const size_t grown = (need / 4) * 5;
    void* p = realloc(mRaw, grown + 63);
    if (p)
    {
      mRaw = p;
      mAllocSize = grown;
    }
    else
    {
      free(mRaw);
      mRaw = malloc(need + 63);
      mAllocSize = mRaw ? need : 0;
    }
  }
  if (!mRaw) mWidth = mHeight = 0;
  return true;
}
