// FreeType faces: loading with fallback, advances and glyph rendering into memory contexts.

#include "gdishim/fonts.h"
#include "util/rectclip.h"

#include FT_OUTLINE_H
#include FT_SYNTHESIS_H
#include FT_ADVANCES_H

#include <cmath>
#include <new>

namespace {

struct FreeTypeLib
{
  Util_Mutex mutex;  // face creation and removal
  FT_Library lib = nullptr;
  bool tried = false;
};

FreeTypeLib& GetFreeType()
{
  static FreeTypeLib* ft = new FreeTypeLib;
  return *ft;
}



FT_Face OpenFace(const char* path, int index)
{
  FreeTypeLib& ft = GetFreeType();
  Util_MutexLock lock(ft.mutex);
  if (!ft.lib && !ft.tried)
  {
    ft.tried = true;
    if (FT_Init_FreeType(&ft.lib)) ft.lib = nullptr;
  }
  if (!ft.lib) return nullptr;
  FT_Face face = nullptr;
  if (FT_New_Face(ft.lib, path, index, &face)) return nullptr;
  return face;
}

void CloseFace(FT_Face face)
{
  if (!face) return;
  FreeTypeLib& ft = GetFreeType();
  Util_MutexLock lock(ft.mutex);
  FT_Done_Face(face);
}

bool SetupFace(Gdi_Font* f, const char* faceText, int size)
{
  Gdi_FaceFile info;
  if (!Gdi_ResolveFace(faceText, &info)) return false;
  FT_Face face = OpenFace(info.path, info.index);
  if (!face) return false;
  if (FT_Set_Pixel_Sizes(face, 0, (FT_UInt)size))
  {
    CloseFace(face);
    return false;
  }
  f->face = face;
  f->embolden = info.embolden;
  f->oblique = info.oblique;
  if (FT_IS_SCALABLE(face) && face->units_per_EM)
  {
    const double scale = (double)size / face->units_per_EM;
    f->ascent = face->ascender * scale;
    f->descent = -face->descender * scale;
    const double lead = face->height * scale - f->ascent - f->descent;
    f->leading = lead > 0 ? lead : 0;
  }
  else
  {
    const FT_Size_Metrics& m = face->size->metrics;
    f->ascent = m.ascender / 64.0;
    f->descent = -m.descender / 64.0;
    const double lead = m.height / 64.0 - f->ascent - f->descent;
    f->leading = lead > 0 ? lead : 0;
  }
  return true;
}

inline void BlendPixel(uint8_t* p, int r, int g, int b, int cov)
{
  // Top byte is not part of the colour and stays as it is.
  p[0] = (uint8_t)(p[0] + ((b - p[0]) * cov + (b >= p[0] ? 127 : -127)) / 255);
  p[1] = (uint8_t)(p[1] + ((g - p[1]) * cov + (g >= p[1] ? 127 : -127)) / 255);
  p[2] = (uint8_t)(p[2] + ((r - p[2]) * cov + (r >= p[2] ? 127 : -127)) / 255);
}


} // namespace

Gdi_Font* Gdi_LoadFont(const char* faceText, int size, int aaMode)
{
  Gdi_Font* f = new (std::nothrow) Gdi_Font;
  if (!f) return nullptr;
  f->size = size;
  f->aaMode = aaMode;
  // An unknown or unloadable face falls back to the default face of the same size.
  if (!SetupFace(f, faceText ? faceText : "", size) && !SetupFace(f, "", size))
  {
    delete f;
    return nullptr;
  }
  return f;
}

void Gdi_FreeFont(Gdi_Font* font)
{
  if (!font) return;
  CloseFace(font->face);
  delete font;
}

Gdi_Font* Gdi_DefaultFont()
{
  static Gdi_Font* def = Gdi_LoadFont("", 10, 0);
  return def;
}

double Gdi_GlyphAdvance(Gdi_Font* font, uint32_t cp)
{
  if (cp < 0x20 || cp == 0x7F) return 0;
  const FT_UInt gi = FT_Get_Char_Index(font->face, cp);
  FT_Fixed adv = 0;
  if (FT_Get_Advance(font->face, gi, FT_LOAD_NO_HINTING, &adv)) return 0;
  double a = adv / 65536.0;
  if (font->embolden) a += font->size / 24.0;
  return a;
}

void Gdi_DrawGlyph(Gdi_Font* font, HDC ctx, uint32_t cp, double penX, int baseline,
                   const Gdi_Clip& clip, int color)
{
  if (cp < 0x20 || cp == 0x7F) return;
  FT_Face face = font->face;
  const bool mono = font->aaMode == GDI_QUALITY_AA_OFF;
  const FT_UInt gi = FT_Get_Char_Index(face, cp);
  const FT_Int32 target = mono ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_LIGHT;
  if (FT_Load_Glyph(face, gi, FT_LOAD_NO_BITMAP | target) && FT_Load_Glyph(face, gi, target)) return;

  FT_GlyphSlot slot = face->glyph;
  const double ix = std::floor(penX);
  if (slot->format == FT_GLYPH_FORMAT_OUTLINE)
  {
    if (font->oblique) FT_GlyphSlot_Oblique(slot);
    if (font->embolden) FT_GlyphSlot_Embolden(slot);
    FT_Outline_Translate(&slot->outline, (FT_Pos)std::lround((penX - ix) * 64.0), 0);
  }
  if (FT_Render_Glyph(slot, mono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL)) return;

  const FT_Bitmap& bm = slot->bitmap;
  if (bm.pixel_mode != FT_PIXEL_MODE_GRAY && bm.pixel_mode != FT_PIXEL_MODE_MONO) return;
  const int x0 = (int)ix + slot->bitmap_left;
  const int y0 = baseline - slot->bitmap_top;
  const int r = (color >> 16) & 255, g = (color >> 8) & 255, b = color & 255;

  Gdi_Clip area = clip;
  if (!Util_IntersectRect(area, Gdi_Clip{0, 0, ctx->width, ctx->height})) return;
  for (int row = 0; row < (int)bm.rows; ++row)
  {
    const int y = y0 + row;
    if (y < area.top || y >= area.bottom) continue;
    const uint8_t* src = bm.buffer + (ptrdiff_t)row * bm.pitch;
    uint8_t* dst = ctx->bits + (size_t)y * ctx->width * 4;
    for (int col = 0; col < (int)bm.width; ++col)
    {
      const int x = x0 + col;
      if (x < area.left || x >= area.right) continue;
      const int cov = bm.pixel_mode == FT_PIXEL_MODE_MONO ? ((src[col >> 3] >> (7 - (col & 7))) & 1) * 255
                                                           : src[col];
      if (cov) BlendPixel(dst + x * 4, r, g, b, cov);
    }
  }
}

