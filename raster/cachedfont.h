// Cached-font text: each character is rendered once through the text shim into a shared scratch
// bitmap, kept as 8-bit coverage, and afterwards blended into any raster bitmap with a colour,
// an opacity and a combine mode.
// Contract: a font object is used by one thread at a time (the UI thread in the editor); the
// process-wide scratch bitmaps are guarded by one mutex held while a glyph or native text is
// rendered. The caller owns the font object; the font handle is owned by the caller unless
// RASTER_FONT_OWNS_HFONT is set, then the object deletes it when it is replaced or destroyed.
#pragma once

#include "raster/bitmap.h"
#include "util/heapbuf.h"

// Font flags (second argument of SetFromHFont).
enum
{
  RASTER_FONT_VERTICAL = 0x1,         // pen advances downward
  RASTER_FONT_VERTICAL_UP = 0x2,      // with VERTICAL: advances upward
  RASTER_FONT_PRERENDER_ASCII = 0x4,  // render 0 ... 127 at once, never cache other code points
  RASTER_FONT_BLUR = 0x10,
  RASTER_FONT_INVERT = 0x20,
  RASTER_FONT_MONO = 0x40,            // every covered pixel in the text colour
  RASTER_FONT_SHADOW = 0x80,          // effect colour below and right of the glyph
  RASTER_FONT_OUTLINE = 0x100,        // effect colour around the glyph
  RASTER_FONT_OWNS_HFONT = 0x200,
  RASTER_FONT_NATIVE = 0x400,         // plain text may be drawn by the shim directly
};

// DrawText format bits beyond the shim's DT_* alignment, single-line, no-clip and measure bits.
enum
{
  RASTER_TEXT_USE_COLOR_ALPHA = 0x40000000,  // opacity times the text colour's alpha / 255
};

// One code point's cached image.
struct Raster_GlyphEntry
{
  int coverageOffset;  // offset into the coverage store + 1; 0 = not rendered; -1 = rendered, no ink
  short width, height; // coverage image size
  short advance;       // pen movement
  uint16_t codePoint;
  short leftOverhang;  // how far the image starts before the pen position
};

// Text drawing interface of the raster library (the graphics framework's font cache holds these).
class Raster_IFont
{
public:
  virtual ~Raster_IFont() {}
  virtual void SetFromHFont(HFONT font, int flags) = 0;
  virtual void SetTextColor(Raster_Pixel color) = 0;
  virtual void SetBkColor(Raster_Pixel color) = 0;
  virtual void SetEffectColor(Raster_Pixel color) = 0;
  virtual void SetBkMode(int mode) = 0;  // 1 = opaque
  virtual void SetCombineMode(int mode, float alpha) = 0;
  // UTF-8 text, length -1 = to the terminator; malformed bytes read as util/utf8.h decodes
  // them, as in the shim. Measuring (DT_CALCRECT) sets r's right and bottom
  // and returns the height (vertical fonts: the width); drawing returns the height of the lines
  // laid out, 0 when nothing was drawn.
  virtual int DrawText(Raster_IBitmap* bm, const char* text, int length, RECT* r, int format) = 0;
  virtual Raster_Pixel GetTextColor() = 0;
  virtual HFONT GetHFont() = 0;
  virtual int GetLineHeight() = 0;
  // Draws one already cached glyph with its pen at (x, y), limited to clip (null: the bitmap).
  virtual void DrawGlyph(Raster_IBitmap* bm, int codePoint, int x, int y, const RECT* clip) = 0;
};

class Raster_CachedFont : public Raster_IFont
{
public:
  Raster_CachedFont();
  ~Raster_CachedFont() override;
  Raster_CachedFont(const Raster_CachedFont&) = delete;
  Raster_CachedFont& operator=(const Raster_CachedFont&) = delete;

  void SetFromHFont(HFONT font, int flags) override;
  void SetTextColor(Raster_Pixel color) override { mTextColor = color; }
  void SetBkColor(Raster_Pixel color) override { mBkColor = color; }
  void SetEffectColor(Raster_Pixel color) override { mEffectColor = color; }
  void SetBkMode(int mode) override { mBkMode = mode; }
  void SetCombineMode(int mode, float alpha) override
  {
    mMode = mode;
    mAlpha = alpha;
  }
  int DrawText(Raster_IBitmap* bm, const char* text, int length, RECT* r, int format) override;
  Raster_Pixel GetTextColor() override { return mTextColor; }
  HFONT GetHFont() override { return mFont; }
  int GetLineHeight() override { return mLineHeight; }
  void DrawGlyph(Raster_IBitmap* bm, int codePoint, int x, int y, const RECT* clip) override;

  // Extra pixels between lines.
  void SetLineSpacing(int extra) { mLineSpacing = extra; }
  int GetLineSpacing() const { return mLineSpacing; }
  int GetFlags() const { return mFlags; }
  // The cache entry of a code point, or null when it has none yet; valid until the next render.
  const Raster_GlyphEntry* FindGlyph(int codePoint) const;
  // The coverage image of a rendered glyph (width x height bytes), or null.
  const unsigned char* GetCoverage(const Raster_GlyphEntry* e) const;
  // How many glyph renderings this font has done since it was made.
  int GetRenderCount() const { return mRenderCount; }

private:
  Raster_GlyphEntry* FindEntry(int codePoint);
  Raster_GlyphEntry* RenderGlyph(int codePoint);
  bool StoreGlyph(Raster_GlyphEntry* e, Raster_IBitmap* scratch, int boxW, int boxH, int pad, int advance);
  int Measure(const char* text, int length, int format, int& width, int& height);
  bool WantsNative(int format) const;
  int DrawNative(Raster_IBitmap* bm, const char* text, int length, const RECT& r, const RECT& area,
                 int format, float opacity);
  void ClearGlyphs();

  Raster_Pixel mTextColor = 0;
  Raster_Pixel mBkColor = 0xFFFFFFFF;
  Raster_Pixel mEffectColor = 0xFFFFFFFF;
  int mBkMode = 0;
  int mMode = 0;
  float mAlpha = 1.0f;
  int mFlags = 0;
  int mLineHeight = 0;
  int mLineSpacing = 0;
  HFONT mFont = nullptr;
  int mRenderCount = 0;
  Raster_GlyphEntry mTable[128];
  Util_TypedBuf<Raster_GlyphEntry> mExtra{64 * (int)sizeof(Raster_GlyphEntry)};
  Util_TypedBuf<unsigned char> mCoverage{16384};
};
