// Gdi_DrawText: prefix and line handling, measuring, placement, background and glyphs.

#include "gdishim/fonts.h"

#include <cmath>
#include <cstdint>

namespace {

const int kMaxText = 4095;

// Copies up to length bytes (or to the terminator) applying the prefix and line rules.
int PrepareText(const char* text, int length, int flags, char* out)
{
  int n = 0;
  for (int i = 0; (length < 0 || i < length) && text[i] && n < kMaxText; ++i)
  {
    char c = text[i];
    if (c == '&' && !(flags & DT_NOPREFIX))
    {
      ++i;
      if ((length >= 0 && i >= length) || !text[i]) break;
      c = text[i];
    }
    if (c == '\r') continue;
    if (c == '\n' && (flags & DT_SINGLELINE)) c = ' ';
    out[n++] = c;
  }
  // A cut in the middle of a multi-byte character drops that character.
  int lead = n - 1;
  while (lead >= 0 && n - lead < 4 && ((uint8_t)out[lead] & 0xC0) == 0x80) --lead;
  if (lead >= 0)
  {
    const uint8_t b = (uint8_t)out[lead];
    const int need = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
    if (n - lead < need) n = lead;
  }
  return n;
}

// Strict UTF-8 decoding; -1 when the bytes are not valid UTF-8.
int DecodeUtf8(const char* s, int n, uint32_t* out)
{
  int count = 0;
  for (int i = 0; i < n;)
  {
    const uint8_t b = (uint8_t)s[i];
    uint32_t cp;
    int len;
    if (b < 0x80) { cp = b; len = 1; }
    else if (b >= 0xC2 && b < 0xE0) { cp = b & 0x1F; len = 2; }
    else if (b >= 0xE0 && b < 0xF0) { cp = b & 0x0F; len = 3; }
    else if (b >= 0xF0 && b < 0xF5) { cp = b & 0x07; len = 4; }
    else return -1;
    if (i + len > n) return -1;
    for (int k = 1; k < len; ++k)
    {
      const uint8_t c = (uint8_t)s[i + k];
      if ((c & 0xC0) != 0x80) return -1;
      cp = (cp << 6) | (c & 0x3F);
    }
    if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF))
      return -1;
    out[count++] = cp;
    i += len;
  }
  return count;
}

void FillRect(HDC ctx, int x, int y, int w, int h, const Gdi_Clip& clip, int color)
{
  const int l = x > clip.left ? x : clip.left;
  const int t = y > clip.top ? y : clip.top;
  const int r = (long long)x + w < clip.right ? x + w : clip.right;
  const int b = (long long)y + h < clip.bottom ? y + h : clip.bottom;
  for (int row = t; row < b; ++row)
  {
    uint8_t* p = ctx->bits + ((size_t)row * ctx->width + l) * 4;
    for (int col = l; col < r; ++col, p += 4)
    {
      p[0] = (uint8_t)color;
      p[1] = (uint8_t)(color >> 8);
      p[2] = (uint8_t)(color >> 16);
    }
  }
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

Gdi_Clip Intersect(Gdi_Clip a, int l, int t, int r, int b)
{
  if (l > a.left) a.left = l;
  if (t > a.top) a.top = t;
  if (r < a.right) a.right = r;
  if (b < a.bottom) a.bottom = b;
  return a;
}

} // namespace

int Gdi_DrawText(HDC ctx, const char* text, int length, RECT* r, int flags)
{
  if (!Gdi_ContextLive(ctx) || !text || !r) return 0;
  char buf[kMaxText + 1];
  const int n = PrepareText(text, length, flags, buf);
  if (n == 0) return 0;
  uint32_t cps[kMaxText];
  const int count = DecodeUtf8(buf, n, cps);
  if (count <= 0) return 0;

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

  Gdi_Clip clip = Intersect(ctx->clip, 0, 0, ctx->width, ctx->height);
  if (!(flags & DT_NOCLIP)) clip = Intersect(clip, r->left, r->top, r->right, r->bottom);
  if (clip.right <= clip.left || clip.bottom <= clip.top) return height;

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
