// Helpers shared by the raster tests.
#pragma once

#include "raster/raster.h"

#include <cstdint>
#include <string>
#include <vector>

// A memory bitmap that stores its rows bottom-up, for checking that routines honour isFlipped().
class FlippedBitmap : public Raster_MemBitmap
{
public:
  FlippedBitmap(int w, int h) : Raster_MemBitmap(w, h) {}
  bool isFlipped() override { return true; }
};

// Fills every pixel (picture order) with a value that differs per pixel.
inline void FillPattern(Raster_IBitmap* bm, uint32_t seed)
{
  for (int y = 0; y < bm->getHeight(); ++y)
    for (int x = 0; x < bm->getWidth(); ++x)
      Raster_RowPtr(bm, y)[x] = (uint32_t)(x * 0x01030507u + y * 0x0B0D1113u) ^ seed;
}

inline void FillAll(Raster_IBitmap* bm, Raster_Pixel p) { Raster_Clear(bm, p); }

// Pixels in picture order, row after row (no padding).
inline std::vector<uint32_t> Pixels(Raster_IBitmap* bm)
{
  std::vector<uint32_t> v;
  for (int y = 0; y < bm->getHeight(); ++y)
    for (int x = 0; x < bm->getWidth(); ++x) v.push_back(Raster_RowPtr(bm, y)[x]);
  return v;
}

inline int CountDiffering(Raster_IBitmap* bm, Raster_Pixel background)
{
  int n = 0;
  for (uint32_t p : Pixels(bm)) n += p != background;
  return n;
}
