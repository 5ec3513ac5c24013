#include "raster/cachedfont.h"

#include "raster/blit.h"
#include "raster/combine.h"
#include "util/mutex.h"
#include "util/rectclip.h"
#include "util/utf8.h"
#include "util/utilcstring.h"

#include <cstring>
#include <new>

namespace {

const int kAllFontEffects = RASTER_FONT_VERTICAL | RASTER_FONT_VERTICAL_UP | RASTER_FONT_PRERENDER_ASCII |
                            RASTER_FONT_BLUR | RASTER_FONT_INVERT | RASTER_FONT_MONO | RASTER_FONT_SHADOW |
                            RASTER_FONT_OUTLINE;
const int kAlignBits = DT_CENTER | DT_RIGHT | DT_VCENTER | DT_BOTTOM;

// Shared by every font of the process: one bitmap to render glyphs in, one for native text.
// The mutex makes fonts on different threads safe against each other.
struct Scratch
{
  Util_Mutex mutex;
  Raster_SysBitmap* glyph = nullptr;
  Raster_SysBitmap* native = nullptr;
  int liveFonts = 0;
  Util_TypedBuf<unsigned char> coverage{65536};
};

Scratch& GetScratch()
{
  static Scratch* s = new Scratch;
  return *s;
}

// Scratch mutex held. Grows (never shrinks) bm to at least w x h; null when it has no pixels or DC.
Raster_SysBitmap* EnsureScratch(Raster_SysBitmap*& bm, int w, int h)
{
  if (!bm)
  {
    bm = new (std::nothrow) Raster_SysBitmap(w, h);
    if (!bm) return nullptr;
  }
  else if (bm->getWidth() < w || bm->getHeight() < h)
    bm->resize(bm->getWidth() > w ? bm->getWidth() : w, bm->getHeight() > h ? bm->getHeight() : h);
  if (!bm->getBits() || !bm->getDC() || bm->getWidth() < w || bm->getHeight() < h) return nullptr;
  return bm;
}

// Clears w x h pixels at the top left to black.
void ClearScratch(Raster_IBitmap* bm, int w, int h)
{
  for (int y = 0; y < h; ++y) std::memset(Raster_RowPtr(bm, y), 0, (size_t)w * 4);
}

// Bytes of text up to length, or to its terminator: a 0 byte always ends the text.
int TextBytes(const char* text, int length)
{
  return (int)Util_StrNLen(text, length < 0 ? (size_t)INT32_MAX : (size_t)length);
}

// Pen positions far outside any bitmap draw nothing; the clamp keeps the sums in range.
int ClampPos(long long v)
{
  const long long lim = 1 << 29;
  return (int)(v < -lim ? -lim : v > lim ? lim : v);
}

int SatInt(long long v) { return (int)(v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : v); }

// 3 x 3 box blur of a w x h coverage image, in place.
void Blur(unsigned char* img, int w, int h)
{
  Util_TypedBuf<unsigned char> tmpBuf(4096);
  unsigned char* tmp = tmpBuf.Resize(w * h);
  if (!tmp) return;
  std::memcpy(tmp, img, (size_t)w * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
    {
      int sum = 0;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
        {
          const int sx = x + dx, sy = y + dy;
          if (sx >= 0 && sx < w && sy >= 0 && sy < h) sum += tmp[sy * w + sx];
        }
      img[y * w + x] = (unsigned char)(sum / 9);
    }
}

} // namespace

Raster_CachedFont::Raster_CachedFont()
{
  std::memset(mTable, 0, sizeof(mTable));
  Scratch& s = GetScratch();
  Util_MutexLock lock(s.mutex);
  ++s.liveFonts;
}

Raster_CachedFont::~Raster_CachedFont()
{
  if ((mFlags & RASTER_FONT_OWNS_HFONT) && mFont) DeleteObject(mFont);
  Scratch& s = GetScratch();
  Util_MutexLock lock(s.mutex);
  if (--s.liveFonts == 0)
  {
    delete s.glyph;
    delete s.native;
    s.glyph = s.native = nullptr;
  }
}

void Raster_CachedFont::ClearGlyphs()
{
  std::memset(mTable, 0, sizeof(mTable));
  mExtra.Resize(0, false);
  mCoverage.Resize(0, false);
}

void Raster_CachedFont::SetFromHFont(HFONT font, int flags)
{
  if ((mFlags & RASTER_FONT_OWNS_HFONT) && mFont && mFont != font) DeleteObject(mFont);
  mFlags = flags;
  mFont = font;
  mLineHeight = 0;
  ClearGlyphs();
  if (!font) return;
  {
    Scratch& s = GetScratch();
    Util_MutexLock lock(s.mutex);
    Raster_SysBitmap* bm = EnsureScratch(s.glyph, 256, 256);
    if (!bm) return;
    HDC dc = bm->getDC();
    ::SetTextColor(dc, 0xFFFFFF);
    ::SetBkMode(dc, GDI_BKMODE_TRANSPARENT);
    ::SetBkColor(dc, 0);
    if (!SelectObject(dc, font)) return;  // not a usable font: nothing will render
    TEXTMETRIC tm;
    if (GetTextMetrics(dc, &tm)) mLineHeight = tm.tmHeight;
    SelectObject(dc, (HGDIOBJ)(uintptr_t)3);
  }
  if (flags & RASTER_FONT_PRERENDER_ASCII)
    for (int cp = 0; cp < 128; ++cp) RenderGlyph(cp);
}

Raster_GlyphEntry* Raster_CachedFont::FindEntry(int codePoint)
{
  if (codePoint < 0) return nullptr;
  if (codePoint < 128) return &mTable[codePoint];
  Raster_GlyphEntry* e = mExtra.Get();
  int lo = 0, hi = mExtra.GetSize();
  while (lo < hi)
  {
    const int mid = (lo + hi) / 2;
    if (e[mid].codePoint < codePoint) lo = mid + 1;
    else if (e[mid].codePoint > codePoint) hi = mid;
    else return &e[mid];
  }
  return nullptr;
}

const Raster_GlyphEntry* Raster_CachedFont::FindGlyph(int codePoint) const
{
  const Raster_GlyphEntry* e = const_cast<Raster_CachedFont*>(this)->FindEntry(codePoint);
  return e && e->coverageOffset != 0 ? e : nullptr;
}

const unsigned char* Raster_CachedFont::GetCoverage(const Raster_GlyphEntry* e) const
{
  if (!e || e->coverageOffset <= 0) return nullptr;
  return mCoverage.Get() + (e->coverageOffset - 1);
}

Raster_GlyphEntry* Raster_CachedFont::RenderGlyph(int codePoint)
{
  if (mLineHeight > 1023 || !mFont || codePoint < 0 || codePoint > 0xFFFF) return nullptr;
  Raster_GlyphEntry* e = FindEntry(codePoint);
  if (!e)
  {
    if (mFlags & RASTER_FONT_PRERENDER_ASCII) return nullptr;
    // Kept sorted by inserting in place.
    const int n = mExtra.GetSize();
    Raster_GlyphEntry* list = mExtra.Get();
    int pos = 0;
    while (pos < n && list[pos].codePoint < codePoint) ++pos;
    list = mExtra.Resize(n + 1, false);
    if (!list) return nullptr;
    std::memmove(list + pos + 1, list + pos, (size_t)(n - pos) * sizeof(Raster_GlyphEntry));
    e = &list[pos];
    std::memset(e, 0, sizeof(*e));
    e->codePoint = (uint16_t)codePoint;
  }
  if (e->coverageOffset != 0) return e;

  Scratch& s = GetScratch();
  Util_MutexLock lock(s.mutex);
  const int size = 2 * (mLineHeight > 1 ? mLineHeight : 1) + 8;
  Raster_SysBitmap* bm = EnsureScratch(s.glyph, size, size);
  if (!bm) return nullptr;
  HDC dc = bm->getDC();
  ::SetTextColor(dc, 0xFFFFFF);
  ::SetBkMode(dc, GDI_BKMODE_TRANSPARENT);
  if (!SelectObject(dc, mFont)) return nullptr;

  char utf8[4];
  const int n = Util_Utf8Encode((uint32_t)codePoint, utf8);
  RECT m{0, 0, 0, 0};
  Gdi_DrawText(dc, utf8, n, &m, DT_CALCRECT | DT_NOPREFIX | DT_SINGLELINE);
  const int w = m.right, h = m.bottom;
  const int pad = mLineHeight < 16 ? 2 : mLineHeight / 16 + 2;
  int boxW = w + 2 * pad, boxH = h;
  if (boxW > bm->getWidth()) boxW = bm->getWidth();
  if (boxH > bm->getHeight()) boxH = bm->getHeight();
  if (w > 0 && boxH > 0)
  {
    ClearScratch(bm, boxW, boxH);
    RECT d{pad, 0, pad + w, h};
    Gdi_DrawText(dc, utf8, n, &d, DT_NOPREFIX | DT_NOCLIP | DT_SINGLELINE);
  }
  SelectObject(dc, (HGDIOBJ)(uintptr_t)3);

  ++mRenderCount;
  e->advance = (short)(w < 32767 ? w : 32767);
  if (w <= 0 || boxH <= 0 || !StoreGlyph(e, bm, boxW, boxH, pad, w))
  {
    e->coverageOffset = -1;
    e->width = e->height = 0;
    e->leftOverhang = 0;
  }
  return e;
}

// Scratch mutex held. Turns the rendered box into the entry's coverage image; false if it has no ink.
bool Raster_CachedFont::StoreGlyph(Raster_GlyphEntry* e, Raster_IBitmap* scratch, int boxW, int boxH, int pad,
                                   int advance)
{
  Util_TypedBuf<unsigned char> rawBuf(4096);
  unsigned char* raw = rawBuf.Resize(boxW * boxH);
  if (!raw) return false;
  for (int y = 0; y < boxH; ++y)
  {
    const Raster_Pixel* p = Raster_RowPtr(scratch, y);
    for (int x = 0; x < boxW; ++x) raw[y * boxW + x] = (unsigned char)Raster_GetG(p[x]);
  }
  if (mFlags & RASTER_FONT_BLUR) Blur(raw, boxW, boxH);
  const bool effect = (mFlags & (RASTER_FONT_SHADOW | RASTER_FONT_OUTLINE)) != 0;
  for (int i = 0; i < boxW * boxH; ++i)
  {
    int c = raw[i];
    if (mFlags & RASTER_FONT_INVERT) c = 255 - c;
    // Monochrome: a pixel at least half covered counts as covered.
    if (mFlags & RASTER_FONT_MONO) c = c > 127 ? 255 : 0;
    if (effect) c = c > 130 ? 255 : 0;
    raw[i] = (unsigned char)c;
  }

  int first = -1, last = -1;
  for (int x = 0; x < boxW; ++x)
    for (int y = 0; y < boxH; ++y)
      if (raw[y * boxW + x])
      {
        if (first < 0) first = x;
        last = x;
        break;
      }
  if (first < 0) return false;

  int start = first < pad ? first : pad;
  int end = pad + advance < boxW ? pad + advance : boxW;
  if (last + 1 > end) end = last + 1;
  // Room for the effect pixels beside the ink.
  const int growL = (mFlags & RASTER_FONT_OUTLINE) ? 1 : 0;
  const int growR = effect ? 1 : 0;
  const int w = end - start + growL + growR, h = boxH;
  const int x0 = start - growL;  // raw column of image column 0

  Util_TypedBuf<unsigned char> imgBuf(4096);
  unsigned char* img = imgBuf.Resize(w * h);
  if (!img) return false;
  auto rawAt = [&](int ix, int iy) -> int {
    const int rx = ix + x0;
    return (rx >= start && rx < end && iy >= 0 && iy < h) ? raw[iy * boxW + rx] : 0;
  };
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
    {
      int c = rawAt(x, y);
      if (!c && (mFlags & RASTER_FONT_OUTLINE) &&
          (rawAt(x - 1, y) || rawAt(x + 1, y) || rawAt(x, y - 1) || rawAt(x, y + 1)))
        c = 128;
      if (!c && (mFlags & RASTER_FONT_SHADOW) && (rawAt(x - 1, y) || rawAt(x, y - 1) || rawAt(x - 1, y - 1)))
        c = 128;
      img[y * w + x] = (unsigned char)c;
    }

  int outW = w, outH = h;
  const unsigned char* out = img;
  Util_TypedBuf<unsigned char> rotBuf(4096);
  if (mFlags & RASTER_FONT_VERTICAL)
  {
    // Turned a quarter clockwise for downward text, anticlockwise for upward text.
    unsigned char* rot = rotBuf.Resize(w * h);
    if (!rot) return false;
    outW = h;
    outH = w;
    const bool up = (mFlags & RASTER_FONT_VERTICAL_UP) != 0;
    for (int y = 0; y < outH; ++y)
      for (int x = 0; x < outW; ++x)
        rot[y * outW + x] = up ? img[x * w + (w - 1 - y)] : img[(h - 1 - x) * w + y];
    out = rot;
  }
  if (outW > 32767 || outH > 32767) return false;

  const int offset = mCoverage.GetSize();
  if (!mCoverage.Resize(offset + outW * outH, false)) return false;
  std::memcpy(mCoverage.Get() + offset, out, (size_t)outW * outH);
  e->coverageOffset = offset + 1;
  e->width = (short)outW;
  e->height = (short)outH;
  e->leftOverhang = (short)(pad - x0);
  return true;
}

void Raster_CachedFont::DrawGlyph(Raster_IBitmap* bm, int codePoint, int x, int y, const RECT* clip)
{
  const Raster_GlyphEntry* e = FindGlyph(codePoint);
  if (!e || !bm || !bm->getBits()) return;
  RECT area{0, 0, bm->getWidth(), bm->getHeight()};
  if (clip && !Util_IntersectRect(area, *clip)) return;

  const bool vertical = (mFlags & RASTER_FONT_VERTICAL) != 0;
  const bool up = vertical && (mFlags & RASTER_FONT_VERTICAL_UP);
  x = ClampPos(x);
  y = ClampPos(y);
  RECT box;
  if (e->coverageOffset < 0)
  {
    // No ink: the background box is the advance by the line height.
    if (!vertical) box = RECT{x, y, x + e->advance, y + mLineHeight};
    else if (!up) box = RECT{x, y, x + mLineHeight, y + e->advance};
    else box = RECT{x, y - e->advance, x + mLineHeight, y};
  }
  else
  {
    int gx = x, gy = y;
    if (!vertical) gx -= e->leftOverhang;
    else if (!up) gy -= e->leftOverhang;
    else gy -= e->height - e->leftOverhang;
    box = RECT{gx, gy, gx + e->width, gy + e->height};
  }
  RECT drawn = box;
  if (!Util_IntersectRect(drawn, area)) return;
  if (mBkMode == 1)
    Raster_FillRect(bm, drawn.left, drawn.top, drawn.right - drawn.left, drawn.bottom - drawn.top, mBkColor, mAlpha,
                    mMode & ~RASTER_MODE_SOURCEALPHA);
  if (e->coverageOffset < 0) return;

  const unsigned char* cov = GetCoverage(e);
  const float alpha = mAlpha < 1.0f ? mAlpha : 1.0f;
  if (!(mFlags & (RASTER_FONT_SHADOW | RASTER_FONT_OUTLINE)))
  {
    Raster_BlendCoverage(bm, cov, e->width, e->width, e->height, box.left, box.top, &drawn, mTextColor, alpha, mMode);
    return;
  }
  // Two colours: full coverage is the glyph, half coverage its outline or shadow.
  const int a = Raster_AlphaWeight(alpha);
  if (a <= 0) return;
  const Raster_Pixel textColor = mTextColor, effectColor = mEffectColor;
  Raster_WithCombineOp(mMode, a, false, [&](auto op) {
    for (int py = drawn.top; py < drawn.bottom; ++py)
    {
      Raster_Pixel* row = Raster_RowPtr(bm, py);
      const unsigned char* c = cov + (ptrdiff_t)(py - box.top) * e->width;
      for (int px = drawn.left; px < drawn.right; ++px)
      {
        const int v = c[px - box.left];
        if (!v) continue;
        const Raster_Pixel col = v == 255 ? textColor : effectColor;
        decltype(op)::doPix((unsigned char*)(row + px), Raster_GetR(col), Raster_GetG(col), Raster_GetB(col),
                            Raster_GetA(col), a);
      }
    }
  });
}

// Lays the text out with cached glyphs (rendering what is missing); returns the line count.
int Raster_CachedFont::Measure(const char* text, int length, int format, int& width, int& height)
{
  width = height = 0;
  int lines = 1, chars = 0;
  long long lineW = 0;
  const int n = TextBytes(text, length);
  for (int i = 0;;)
  {
    int cp = Util_Utf8Next(text, n, &i);
    if (cp < 0) break;
    if (cp == '\r') continue;
    if (cp == '\n' && (format & DT_SINGLELINE)) cp = ' ';
    ++chars;
    if (cp == '\n')
    {
      ++lines;
      lineW = 0;
      continue;
    }
    const Raster_GlyphEntry* e = RenderGlyph(cp);
    if (e) lineW += e->advance;
    if (lineW > width) width = (int)(lineW < (1 << 29) ? lineW : (1 << 29));
  }
  if (!chars) return 0;
  const long long h = (long long)lines * mLineHeight + (long long)(lines - 1) * mLineSpacing;
  height = (int)(h < (1 << 29) ? (h > -(1 << 29) ? h : -(1 << 29)) : (1 << 29));
  return lines;
}

bool Raster_CachedFont::WantsNative(int format) const
{
  if (!mFont) return false;
  if (mLineHeight > 255) return true;
  return (mFlags & RASTER_FONT_NATIVE) && !(mFlags & kAllFontEffects) &&
         (mLineSpacing == 0 || (format & DT_SINGLELINE)) &&
         !(format & 0xC0000000);
}

int Raster_CachedFont::DrawText(Raster_IBitmap* bm, const char* text, int length, RECT* r, int format)
{
  if (!r || !text) return 0;
  const bool vertical = (mFlags & RASTER_FONT_VERTICAL) != 0;
  if (format & DT_CALCRECT)
  {
    int w, h;
    Measure(text, length, format, w, h);
    r->right = SatInt((long long)r->left + (vertical ? h : w));
    r->bottom = SatInt((long long)r->top + (vertical ? w : h));
    return h;  // for vertical text this is its width: lines stack sideways
  }

  if (!bm || !bm->getBits()) return 0;
  float opacity = mAlpha;
  if (format & RASTER_TEXT_USE_COLOR_ALPHA) opacity *= (float)Raster_GetA(mTextColor) / 255.0f;
  if (opacity <= 0.0f) return 0;
  RECT area{0, 0, bm->getWidth(), bm->getHeight()};
  if (!(format & DT_NOCLIP) && !Util_IntersectRect(area, *r)) return 0;
  if (area.right <= area.left || area.bottom <= area.top) return 0;
  if (WantsNative(format)) return DrawNative(bm, text, length, *r, area, format, opacity);

  const bool up = vertical && (mFlags & RASTER_FONT_VERTICAL_UP);
  long long lx = r->left, ly = r->top;
  int w = 0, h = 0;
  if ((format & kAlignBits) || up)
  {
    Measure(text, length, format, w, h);
    const int ew = vertical ? h : w, eh = vertical ? w : h;
    if (format & DT_CENTER) lx += ((long long)r->right - r->left - ew) / 2;
    else if (format & DT_RIGHT) lx = (long long)r->right - ew;
    if (format & DT_VCENTER) ly += ((long long)r->bottom - r->top - eh) / 2;
    else if (format & DT_BOTTOM) ly = (long long)r->bottom - eh;
  }
  const int x = ClampPos(lx), y = ClampPos(ly);
  const int startY = ClampPos((long long)y + (up ? w : 0));
  const int step = mLineHeight + mLineSpacing;

  const float saved = mAlpha;
  mAlpha = opacity;
  int px = x, py = startY, lines = 0;
  const int n = TextBytes(text, length);
  for (int i = 0;;)
  {
    int cp = Util_Utf8Next(text, n, &i);
    if (cp < 0) break;
    if (cp == '\r') continue;
    if (!lines) lines = 1;
    if (cp == '\n' && (format & DT_SINGLELINE)) cp = ' ';
    if (cp == '\n')
    {
      ++lines;
      if (vertical)
      {
        px = ClampPos((long long)px + step);
        py = startY;
      }
      else
      {
        px = x;
        py = ClampPos((long long)py + step);
      }
      continue;
    }
    const Raster_GlyphEntry* e = RenderGlyph(cp);
    if (!e) continue;
    const int adv = e->advance;
    DrawGlyph(bm, cp, px, py, &area);
    if (!vertical) px = ClampPos((long long)px + adv);
    else if (up) py = ClampPos((long long)py - adv);
    else py = ClampPos((long long)py + adv);
  }
  mAlpha = saved;
  return lines ? ClampPos((long long)lines * mLineHeight + (long long)(lines - 1) * mLineSpacing) : 0;
}

int Raster_CachedFont::DrawNative(Raster_IBitmap* bm, const char* text, int length, const RECT& r, const RECT& area,
                                  int format, float opacity)
{
  const int fmt = (format & (kAlignBits | DT_SINGLELINE)) | DT_NOPREFIX | DT_NOCLIP;
  const bool plainCopy = (mMode & (RASTER_MODE_MASK | RASTER_MODE_SOURCEALPHA)) == RASTER_MODE_COPY && opacity >= 1.0f;
  HDC dc = bm->getDC();
  if (dc && plainCopy && !bm->isFlipped())
  {
    // The bitmap's own context: the shim blends straight into its pixels.
    ::SetTextColor(dc, (int)(mTextColor & 0xFFFFFF));
    ::SetBkColor(dc, (int)(mBkColor & 0xFFFFFF));
    ::SetBkMode(dc, mBkMode == 1 ? GDI_BKMODE_OPAQUE : GDI_BKMODE_TRANSPARENT);
    HGDIOBJ prev = SelectObject(dc, mFont);
    if (!prev) return 0;
    Gdi_PushClipRegion(dc);
    Gdi_SetClipRegion(dc, &area);
    RECT rr = r;
    const int h = Gdi_DrawText(dc, text, length, &rr, fmt);
    Gdi_PopClipRegion(dc);
    SelectObject(dc, prev);
    return h;
  }

  // Otherwise white text on black in the native scratch becomes a coverage mask, so opacity,
  // combine mode and bitmaps without a context are honoured.
  Scratch& s = GetScratch();
  Util_MutexLock lock(s.mutex);
  const int aw = area.right - area.left, ah = area.bottom - area.top;
  Raster_SysBitmap* scratch = EnsureScratch(s.native, aw, ah);
  unsigned char* cov = s.coverage.Resize(aw * ah, false);
  if (!scratch || !cov) return 0;
  HDC sdc = scratch->getDC();
  ClearScratch(scratch, aw, ah);
  ::SetTextColor(sdc, 0xFFFFFF);
  ::SetBkMode(sdc, GDI_BKMODE_TRANSPARENT);
  if (!SelectObject(sdc, mFont)) return 0;
  RECT rr{ClampPos((long long)r.left - area.left), ClampPos((long long)r.top - area.top),
          ClampPos((long long)r.right - area.left), ClampPos((long long)r.bottom - area.top)};
  RECT box = rr;
  Gdi_DrawText(sdc, text, length, &box, fmt | DT_CALCRECT);
  Gdi_PushClipRegion(sdc);
  RECT sc{0, 0, aw, ah};
  Gdi_SetClipRegion(sdc, &sc);
  const int h = Gdi_DrawText(sdc, text, length, &rr, fmt);
  Gdi_PopClipRegion(sdc);
  SelectObject(sdc, (HGDIOBJ)(uintptr_t)3);
  if (h <= 0) return 0;

  if (mBkMode == 1)
  {
    // Same placement as the shim's.
    const int bw = box.right - box.left, bh = box.bottom - box.top;
    long long bx = rr.left, by = rr.top;
    if (format & DT_RIGHT) bx += (long long)rr.right - rr.left - bw;
    else if (format & DT_CENTER) bx += ((long long)rr.right - rr.left) / 2 - bw / 2;
    if (format & DT_BOTTOM) by += (long long)rr.bottom - rr.top - bh;
    else if (format & DT_VCENTER) by += ((long long)rr.bottom - rr.top) / 2 - bh / 2;
    RECT fill{ClampPos(bx + area.left), ClampPos(by + area.top), ClampPos(bx + area.left + bw),
              ClampPos(by + area.top + bh)};
    if (Util_IntersectRect(fill, area))
      Raster_FillRect(bm, fill.left, fill.top, fill.right - fill.left, fill.bottom - fill.top, mBkColor, opacity,
                      mMode & ~RASTER_MODE_SOURCEALPHA);
  }
  for (int y = 0; y < ah; ++y)
  {
    const Raster_Pixel* p = Raster_RowPtr(scratch, y);
    for (int x = 0; x < aw; ++x) cov[y * aw + x] = (unsigned char)Raster_GetG(p[x]);
  }
  Raster_BlendCoverage(bm, cov, aw, aw, ah, area.left, area.top, &area, mTextColor, opacity < 1.0f ? opacity : 1.0f,
                       mMode);
  return h;
}
