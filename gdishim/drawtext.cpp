// Gdi_DrawText: prefix and line handling, measuring, placement, background and glyphs.

#include "gdishim/fonts.h"
#include "util/rectclip.h"
#include "util/utf8.h"
#include "util/utilcstring.h"

#include <cmath>
#include <cstdint>

namespace {

// Bytes of prepared text kept; the character that would cross the limit and all after it go.
const int kMaxText = 4095;

// Decodes up to length bytes (or to the terminator) and applies the prefix and line rules to
// the code points, so a rule never splits or joins the bytes of a character.
int PrepareText(const char* text, int length, int flags, uint32_t* out)
{
  const int n = (int)Util_StrNLen(text, length < 0 ? (size_t)INT32_MAX : (size_t)length);
  int count = 0, bytes = 0;
  for (int i = 0;;)
  {
    int32_t cp = Util_Utf8Next(text, n, &i);
    if (cp == '&' && !(flags & DT_NOPREFIX)) cp = Util_Utf8Next(text, n, &i);
    if (cp < 0) break;
    // Beyond the 16-bit range the cached glyph path has no slot; both paths
    // leave such characters out, so they never disagree.
    if (cp == '\r' || cp > 0xFFFF) continue;
    if (cp == '\n' && (flags & DT_SINGLELINE)) cp = ' ';
    char utf8[4];
    bytes += Util_Utf8Encode((uint32_t)cp, utf8);
    if (bytes > kMaxText) break;
    out[count++] = (uint32_t)cp;
  }
  return count;
}

// Positions far outside any context: text there is invisible, and the clamp keeps sums in range.
int ClampPos(long long v)
{
  const long long lim = 1 << 29;
  return (int)(v < -lim ? -lim : v > lim ? lim : v);
}

int SatAdd(int a, int b)
{
  const long long v = (long long)a + b;
  return (int)(v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : v);
}

void FillRect(HDC ctx, int x, int y, int w, int h, const Gdi_Clip& clip, int color)
{
  Gdi_Clip box{x, y, SatAdd(x, w), SatAdd(y, h)};
  if (!Util_IntersectRect(box, clip)) return;
  for (int row = box.top; row < box.bottom; ++row)
  {
    uint8_t* p = ctx->bits + ((size_t)row * ctx->width + box.left) * 4;
    for (int col = box.left; col < box.right; ++col, p += 4)
    {
      p[0] = (uint8_t)color;
      p[1] = (uint8_t)(color >> 8);
      p[2] = (uint8_t)(color >> 16);
    }
  }
}

} // namespace

int Gdi_DrawText(HDC ctx, const char* text, int length, RECT* r, int flags)
{
  if (!Gdi_ContextLive(ctx) || !text || !r) return 0;
  uint32_t cps[kMaxText];
  const int count = PrepareText(text, length, flags, cps);
  if (count == 0) return 0;

  Gdi_Font* font = Gdi_SelectedFont(ctx);
  if (!font) font = Gdi_DefaultFont();
  if (!font) return 0;
  Util_MutexLock lock(font->lock);

  const double extent = font->ascent + font->descent + font->leading;
  const int lineH = (int)std::floor(extent + 1.5);
  const int lineStep = (int)std::floor(extent + 0.5);

  // Widest line, each rounded as the caller will see it.
  int lines = 0, width = 0;
  double w = 0;
  for (int i = 0; i <= count; ++i)
  {
    if (i == count || cps[i] == '\n')
    {
      const int lw = (int)std::floor(w + 0.5);
      if (lw > width) width = lw;
      ++lines;
      w = 0;
    }
    else
      w += Gdi_GlyphAdvance(font, cps[i]);
  }
  int height = lines * lineH;
  if (height != 0) ++height;

  if (flags & DT_CALCRECT)
  {
    r->right = SatAdd(r->left, width);
    r->bottom = SatAdd(r->top, height);
    return height;
  }

  long long lx = r->left, ly = r->top;
  const long long rw = (long long)r->right - r->left, rh = (long long)r->bottom - r->top;
  if (flags & DT_RIGHT) lx += rw - width;
  else if (flags & DT_CENTER) lx += rw / 2 - width / 2;
  if (flags & DT_BOTTOM) ly += rh - height;
  else if (flags & DT_VCENTER) ly += rh / 2 - height / 2;
  const int x = ClampPos(lx), y = ClampPos(ly);

  Gdi_Clip clip = ctx->clip;
  if (!Util_IntersectRect(clip, Gdi_Clip{0, 0, ctx->width, ctx->height})) return height;
  if (!(flags & DT_NOCLIP) && !Util_IntersectRect(clip, *r)) return height;

  const int ascent = (int)std::floor(font->ascent + 0.5);
  const bool opaque = ctx->bkMode == GDI_BKMODE_OPAQUE;
  if (opaque && lines == 1) FillRect(ctx, x, y, width, height, clip, ctx->bkColor);
  for (int i = 0, line = 0; i <= count; ++line)
  {
    int end = i;
    while (end < count && cps[end] != '\n') ++end;
    const int top = y + line * lineStep;
    if (opaque && lines > 1)
    {
      double lw = 0;
      for (int k = i; k < end; ++k) lw += Gdi_GlyphAdvance(font, cps[k]);
      FillRect(ctx, x, top, (int)std::floor(lw + 0.5), lineStep, clip, ctx->bkColor);
    }
    double pen = x;
    for (int k = i; k < end; ++k)
    {
      Gdi_DrawGlyph(font, ctx, cps[k], pen, top + ascent, clip, ctx->textColor);
      pen += Gdi_GlyphAdvance(font, cps[k]);
    }
    i = end + 1;
  }
  return height;
}
