// Vector primitives: lines, circles, arcs, rectangles and convex polygons.
// Contract: as for blits (raster/blit.h): clip to the bitmap, honour isFlipped(), merge with
// the mode's combine operation at the given opacity; degenerate shapes draw nothing. Caller-owned
// bitmaps, one thread at a time, no locks.
#pragma once

#include "raster/blit.h"

// Cohen-Sutherland clipping of a line to a w x h bitmap; false when nothing remains.
bool Raster_ClipLine(int* x1, int* y1, int* x2, int* y2, int w, int h);

void Raster_Line(Raster_IBitmap* dest, int x1, int y1, int x2, int y2, Raster_Pixel color,
                 float alpha, int mode, bool antialias);
void Raster_Circle(Raster_IBitmap* dest, float cx, float cy, float r, Raster_Pixel color,
                   float alpha, int mode, bool antialias);
void Raster_FillCircle(Raster_IBitmap* dest, float cx, float cy, float r, Raster_Pixel color,
                       float alpha, int mode, bool antialias);
// Angles in radians from 12 o'clock, clockwise.
void Raster_Arc(Raster_IBitmap* dest, float cx, float cy, float r, float startAngle, float endAngle,
                Raster_Pixel color, float alpha, int mode, bool antialias);
void Raster_RoundRect(Raster_IBitmap* dest, float x, float y, float w, float h, int cornerRadius,
                      Raster_Pixel color, float alpha, int mode, bool antialias);
// Outline of the rectangle with corners (x, y) and (x + w, y + h), both edges included.
void Raster_DrawRect(Raster_IBitmap* dest, int x, int y, int w, int h, Raster_Pixel color,
                     float alpha, int mode);
void Raster_FillTriangle(Raster_IBitmap* dest, int x1, int y1, int x2, int y2, int x3, int y3,
                         Raster_Pixel color, float alpha, int mode);
void Raster_FillConvexPolygon(Raster_IBitmap* dest, const int* x, const int* y, int npoints,
                              Raster_Pixel color, float alpha, int mode);
