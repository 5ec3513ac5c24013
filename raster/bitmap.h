// 32-bit raster bitmaps. Pixels are 0xAARRGGBB values (bytes B, G, R, A in memory).
// Contract: a bitmap is used by one thread at a time (the UI thread for the editor's
// back buffer, any thread for decoded images before they are shared); no locks inside.
// The creator owns a bitmap and deletes it; getBits() points into the bitmap's own storage.
#pragma once

#include <cstddef>
#include <cstdint>

#include "gdishim/gdishim.h"  // HDC, RECT

typedef uint32_t Raster_Pixel;

inline Raster_Pixel Raster_RGBA(int r, int g, int b, int a)
{
  return ((Raster_Pixel)(a & 255) << 24) | ((Raster_Pixel)(r & 255) << 16) |
         ((Raster_Pixel)(g & 255) << 8) | (Raster_Pixel)(b & 255);
}
inline int Raster_GetA(Raster_Pixel p) { return (int)(p >> 24); }
inline int Raster_GetR(Raster_Pixel p) { return (int)((p >> 16) & 255); }
inline int Raster_GetG(Raster_Pixel p) { return (int)((p >> 8) & 255); }
inline int Raster_GetB(Raster_Pixel p) { return (int)(p & 255); }

class Raster_IBitmap
{
public:
  virtual ~Raster_IBitmap() {}
  virtual Raster_Pixel* getBits() = 0;   // null when there is no storage
  virtual int getWidth() = 0;
  virtual int getHeight() = 0;
  virtual int getRowSpan() = 0;          // pixels from one row to the next
  virtual bool isFlipped() { return false; }  // rows stored bottom-up
  virtual bool resize(int w, int h) = 0; // true if the size changed; contents undefined
  virtual HDC getDC() { return nullptr; }
  virtual intptr_t Extended(int id, void* data) { (void)id; (void)data; return 0; }
};

// Address of picture row y (honours isFlipped()); no range check.
inline Raster_Pixel* Raster_RowPtr(Raster_IBitmap* bm, int y)
{
  const int row = bm->isFlipped() ? bm->getHeight() - 1 - y : y;
  return bm->getBits() + (ptrdiff_t)row * bm->getRowSpan();
}

// Heap bitmap: rows aligned to a power-of-two pixel count (at most 16), pixels start
// on a 64-byte boundary, and shrinking keeps the allocation.
class Raster_MemBitmap : public Raster_IBitmap
{
public:
  explicit Raster_MemBitmap(int w = 0, int h = 0, int lineAlign = 1);
  ~Raster_MemBitmap() override;
  Raster_MemBitmap(const Raster_MemBitmap&) = delete;
  Raster_MemBitmap& operator=(const Raster_MemBitmap&) = delete;

  Raster_Pixel* getBits() override;
  int getWidth() override { return mWidth; }
  int getHeight() override { return mHeight; }
  int getRowSpan() override { return (mWidth + mAlignMask) & ~mAlignMask; }
  bool resize(int w, int h) override;

  size_t GetAllocSize() const { return mAllocSize; }  // bytes usable for pixels

private:
  int mWidth = 0, mHeight = 0;
  void* mRaw = nullptr;
  size_t mAllocSize = 0;
  int mAlignMask = 0;
};

// The editor's back buffer: pixels live in a shim memory drawing context, so platform
// text and presentation code can draw through getDC(). Rows are a multiple of 4 pixels.
class Raster_SysBitmap : public Raster_IBitmap
{
public:
  explicit Raster_SysBitmap(int w = 0, int h = 0);
  ~Raster_SysBitmap() override;
  Raster_SysBitmap(const Raster_SysBitmap&) = delete;
  Raster_SysBitmap& operator=(const Raster_SysBitmap&) = delete;

  Raster_Pixel* getBits() override { return mBits; }
  int getWidth() override { return mWidth; }
  int getHeight() override { return mHeight; }
  int getRowSpan() override { return mAllocW; }
  bool resize(int w, int h) override;
  HDC getDC() override { return mDC; }

private:
  int mWidth = 0, mHeight = 0;
  int mAllocW = 0, mAllocH = 0;
  HDC mDC = nullptr;
  Raster_Pixel* mBits = nullptr;
};
