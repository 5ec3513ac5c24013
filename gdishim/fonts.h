#pragma once
// Internal font records over FreeType. Not part of the public API.
// A Gdi_Font is shared by every context it is selected into: its own mutex guards the FreeType
// face during measuring and rendering. The FreeType library mutex guards face creation/removal.

#include "gdishim/records.h"
#include "util/mutex.h"

#include <ft2build.h>
#include FT_FREETYPE_H

struct Gdi_Font
{
  FT_Face face = nullptr;
  int size = 10;              // pixels
  int angle = 0;              // orientation / 10; stored, text is not rotated
  int aaMode = 0;             // 0 default, 3 off, 4 on
  double ascent = 0, descent = 0, leading = 0;  // pixels, unrounded
  bool embolden = false;      // bold asked for, the file is not bold: FreeType makes it
  bool oblique = false;       // italic asked for, the file is upright
  Util_Mutex lock;
};

// Where a face text lives, as fontconfig resolved it.
struct Gdi_FaceFile
{
  char path[4096];
  int index;
  bool embolden;  // bold asked for but the file is not bold
  bool oblique;   // italic asked for but the file is upright
};

// Resolves a face text (" Bold"/" Italic" suffixes become weight and slant) through the
// process-wide name cache: fontconfig is asked once per distinct text, under the cache mutex.
// False when no file could be found; the caller then falls back to the default face.
bool Gdi_ResolveFace(const char* faceText, Gdi_FaceFile* out);

// Loads the face behind `faceText` (already carrying " Bold"/" Italic") at `size` pixels.
// Null when not even the fallback face can be loaded.
Gdi_Font* Gdi_LoadFont(const char* faceText, int size, int aaMode);
void Gdi_FreeFont(Gdi_Font* font);
// The process-wide default (sans, 10 pixels), made once; null if no face can be loaded.
Gdi_Font* Gdi_DefaultFont();

// Unhinted advance of a code point in pixels; 0 for control characters. Caller holds font->lock.
double Gdi_GlyphAdvance(Gdi_Font* font, uint32_t cp);
// Blends the glyph into the context's pixels at pen x (fractional) and integer baseline,
// limited to clip, in colour 0xRRGGBB by coverage. Caller holds font->lock.
void Gdi_DrawGlyph(Gdi_Font* font, HDC ctx, uint32_t cp, double penX, int baseline,
                   const Gdi_Clip& clip, int color);

// How many distinct face texts the name cache holds.
int Gdi_NameCacheSize();
