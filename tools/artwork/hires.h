// Drawing at three times the final size, then reducing with a 3 x 3 box: the raster
// primitives snap circles to whole pixels, and the reduction turns that into smooth
// quarter-pixel edges. Coordinates are in final pixels. One thread; owns its bitmap.
#pragma once

#include "raster/raster.h"

namespace artwork {

constexpr int kOversample = 3;

class HiRes {
 public:
  // A w x h picture, fully transparent with the colour `clear` (so edges reduce
  // towards that colour rather than towards black).
  HiRes(int w, int h, Raster_Pixel clear = 0);
  bool Ok() { return mBm.getWidth() == mW * kOversample && mBm.getHeight() == mH * kOversample; }
  Raster_IBitmap* Bitmap() { return &mBm; }

  void Clear(Raster_Pixel color) { Raster_Clear(&mBm, color); }
  void Disc(float cx, float cy, float r, Raster_Pixel color, float alpha = 1.0f);
  // Disc whose colour runs from `edge` at r to `middle` at the centre, the centre moved by
  // (dx, dy) at the middle: light from one side without leaving the disc.
  void ShadedDisc(float cx, float cy, float r, Raster_Pixel edge, Raster_Pixel middle, float dx,
                  float dy);
  // Opaque round-capped strokes, laid as a chain of discs (a chain drawn at less than full
  // opacity would build up where the discs overlap, so there is no opacity here).
  void Stroke(float x1, float y1, float x2, float y2, float width, Raster_Pixel color);
  // Angles in radians from 12 o'clock, clockwise; nothing when a1 < a0.
  void ArcStroke(float cx, float cy, float r, float a0, float a1, float width, Raster_Pixel color);
  // A hairline a third of a final pixel wide, at any opacity.
  void Hairline(float x1, float y1, float x2, float y2, Raster_Pixel color, float alpha);
  void Rect(float x, float y, float w, float h, Raster_Pixel color);
  // Top-to-bottom gradient over a rectangle.
  void VerticalGradient(float x, float y, float w, float h, Raster_Pixel top, Raster_Pixel bottom);

  // The reduced picture at (x, y) of dest, replacing what was there (alpha included).
  void ReduceInto(Raster_IBitmap* dest, int x, int y);

 private:
  int mW, mH;
  Raster_MemBitmap mBm;
};

}  // namespace artwork
