#include "raster/bitmap.h"

#include "gdishim/gdishim.h"

Raster_SysBitmap::Raster_SysBitmap(int w, int h) { resize(w, h); }

Raster_SysBitmap::~Raster_SysBitmap()
{
  if (mDC) Gdi_DeleteGfxContext(mDC);
}

bool Raster_SysBitmap::resize(int w, int h)
{
  if (w == mWidth && h == mHeight) return false;
  mWidth = w;
  mHeight = h;
  if (w > 0 && h > 0 && w <= mAllocW && h <= mAllocH && mBits) return true;

  mAllocW = (w > 0 && w <= 0x7FFFFFFC) ? (w + 3) & ~3 : 0;
  mAllocH = h;
  if (mDC) Gdi_DeleteGfxContext(mDC);
  mDC = nullptr;
  mBits = nullptr;
  if (h <= 0 || w < 1 || w > 0x7FFFFFFC)
  {
    // Nothing to draw into: report an empty bitmap rather than a size without pixels.
    mWidth = mHeight = 0;
    mAllocW = mAllocH = 0;
    return false;
  }
  mDC = Gdi_CreateMemContext(nullptr, mAllocW, h);
  if (mDC) mBits = (Raster_Pixel*)Gdi_GetCtxFrameBuffer(mDC);
  if (!mDC || !mBits)
  {
    if (mDC) Gdi_DeleteGfxContext(mDC);
    mDC = nullptr;
    mBits = nullptr;
    mWidth = mHeight = 0;
  }
  return true;
}
