// Blits: copy, scale, rotate, fill, clear and single-pixel access on raster bitmaps.
// Contract: every routine clips to both bitmaps, honours isFlipped(), takes an opacity
// (1.0 opaque, limited to 0 ... 1) and a mode word (raster/combine.h), and quietly draws
// nothing for null bitmaps, missing storage or empty rectangles. Callers own both bitmaps and
// must not use them from two threads at once; no locks inside.
#pragma once

#include "raster/combine.h"

// Copies the source rectangle (null: the whole source) to (dstx, dsty).
void Raster_Blit(Raster_IBitmap* dest, Raster_IBitmap* src, int dstx, int dsty,
                 const RECT* srcRect, float alpha, int mode);
void Raster_Blit(Raster_IBitmap* dest, Raster_IBitmap* src, int dstx, int dsty,
                 int srcx, int srcy, int srcw, int srch, float alpha, int mode);
// Resizes dest to the source's size, then copies the whole source.
void Raster_Copy(Raster_IBitmap* dest, Raster_IBitmap* src);
// Stretches a source rectangle given in float pixels onto the destination rectangle; a negative
// destination width or height mirrors. RASTER_MODE_FILTER selects bilinear filtering (and a
// box-filtered reduction when shrinking by 1.7 or more in both directions).
void Raster_ScaledBlit(Raster_IBitmap* dest, Raster_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                       double srcx, double srcy, double srcw, double srch, float alpha, int mode);
// Draws the source rectangle rotated by `angle` radians about the destination rectangle's
// centre, shifted by (rotxcent, rotycent). clipToSource limits reads to the source rectangle.
void Raster_RotatedBlit(Raster_IBitmap* dest, Raster_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                        double srcx, double srcy, double srcw, double srch, double angle,
                        bool clipToSource, float alpha, int mode, double rotxcent = 0.0,
                        double rotycent = 0.0);
void Raster_FillRect(Raster_IBitmap* dest, int x, int y, int w, int h, Raster_Pixel color,
                     float alpha, int mode);
void Raster_Clear(Raster_IBitmap* dest, Raster_Pixel color);
// Each pixel p of the clipped rectangle becomes (p & mask) | orbits.
void Raster_ClearRect(Raster_IBitmap* dest, int x, int y, int w, int h, Raster_Pixel mask,
                      Raster_Pixel orbits);
// The pixel at (x, y), or 0 outside the bitmap or without storage.
Raster_Pixel Raster_GetPixel(Raster_IBitmap* dest, int x, int y);
void Raster_PutPixel(Raster_IBitmap* dest, int x, int y, Raster_Pixel color, float alpha, int mode);

// Blends `color` through an 8-bit coverage image (w x h bytes, rows covSpan bytes apart) with its
// top-left at (x, y): coverage 255 merges at the full opacity, 0 leaves the pixel. Drawing is
// limited to `clip` (null: the bitmap). Used by small-circle masks and cached-font glyphs.
void Raster_BlendCoverage(Raster_IBitmap* dest, const unsigned char* coverage, int covSpan, int w,
                          int h, int x, int y, const RECT* clip, Raster_Pixel color, float alpha,
                          int mode);
