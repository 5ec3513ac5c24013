#pragma once
// Small helpers shared by the shim tests: pixel access and ink boxes.

#include "gdishim/gdishim.h"

#include <cstring>

inline uint32_t PixelAt(HDC dc, int width, int x, int y)
{
  const uint8_t* p = (const uint8_t*)Gdi_GetCtxFrameBuffer(dc) + ((size_t)y * width + x) * 4;
  return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16);
}

// Bounding box of pixels that differ from 0; empty (right <= left) when there are none.
inline RECT InkBox(HDC dc, int width, int height)
{
  RECT r{width, height, 0, 0};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if (PixelAt(dc, width, x, y))
      {
        if (x < r.left) r.left = x;
        if (y < r.top) r.top = y;
        if (x + 1 > r.right) r.right = x + 1;
        if (y + 1 > r.bottom) r.bottom = y + 1;
      }
  return r;
}

inline void ClearCtx(HDC dc, int width, int height)
{
  std::memset(Gdi_GetCtxFrameBuffer(dc), 0, (size_t)width * height * 4);
}

inline HFONT MakeFont(int height, const char* face = "DejaVu Sans", int weight = FW_NORMAL,
                      bool italic = false, int quality = 0)
{
  return CreateFont(height, 0, 0, 0, weight, italic, 0, 0, 0, 0, 0, quality, 0, face);
}

// Width and height that DT_CALCRECT reports for text with the given extra flags.
inline RECT Measure(HDC dc, const char* text, int flags = 0, int length = -1)
{
  RECT r{5, 7, 5, 7};
  Gdi_DrawText(dc, text, length, &r, flags | DT_CALCRECT);
  return RECT{0, 0, r.right - r.left, r.bottom - r.top};
}
