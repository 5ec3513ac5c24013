// Panel lettering through the raster library's cached fonts (DejaVu Sans, which the
// project's dependencies install). One thread; the object owns its font.
#pragma once

#include "raster/raster.h"

namespace artwork {

class Lettering {
 public:
  Lettering(int px, bool bold, Raster_Pixel color);
  bool Ok() { return mFont.GetHFont() != nullptr; }
  // Width in pixels of text with `tracking` extra pixels between letters.
  int Width(const char* text, int tracking);
  // Text centred on cx (or starting at x / ending at x), its cell's top at `top`.
  void Centred(Raster_IBitmap* bm, const char* text, int cx, int top, int tracking = 0);
  void Left(Raster_IBitmap* bm, const char* text, int x, int top, int tracking = 0);
  void Right(Raster_IBitmap* bm, const char* text, int x, int top, int tracking = 0);
  int Height() { return mFont.GetLineHeight(); }

 private:
  int LetterWidth(const char* letter, int bytes);
  Raster_CachedFont mFont;
};

}  // namespace artwork
