// Text: styles become cached raster fonts (made once per key), drawn and measured.
#include "graphics/IGraphics.h"

#include <cstring>

#include "graphics/FontStorage.h"
#include "raster/raster.h"

namespace {

// The platform's size limit: larger requests could not be honoured anyway, and the size
// correction below must stay within int.
constexpr int kMaxFontHeight = 8192;

int RequestHeight(int h) { return h < 2 ? 2 : (h > kMaxFontHeight ? kMaxFontHeight : h); }

uint8_t PlatformQuality(IText::EQuality q)
{
  switch (q)
  {
    case IText::kQualityDefault: return 0;
    case IText::kQualityNonAntiAliased: return GDI_QUALITY_AA_OFF;
    case IText::kQualityAntiAliased:
    case IText::kQualityClearType: return GDI_QUALITY_AA_ON;
    default: return GDI_QUALITY_AA_OFF;
  }
}

}  // namespace

Raster_IFont* IGraphics::CacheFont(IText* pTxt)
{
  if (!pTxt) return nullptr;
  if (Raster_IFont* found = s_fontCache.Find(pTxt))
  {
    pTxt->mCached = found;
    return found;
  }

  LOGFONT lf;
  std::memset(&lf, 0, sizeof(lf));
  lf.lfEscapement = lf.lfOrientation = pTxt->mOrientation * 10;  // tenths of a degree
  lf.lfWeight = pTxt->mStyle == IText::kStyleBold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = pTxt->mStyle == IText::kStyleItalic ? 1 : 0;
  lf.lfQuality = PlatformQuality(pTxt->mQuality);
  std::memcpy(lf.lfFaceName, pTxt->mFont, strnlen(pTxt->mFont, sizeof(lf.lfFaceName) - 1));

  Raster_CachedFont* font = new Raster_CachedFont;
  int h = pTxt->mSize;
  for (int attempt = 0; attempt < 2; ++attempt)
  {
    lf.lfHeight = RequestHeight(h);
    HFONT hf = IGraphicsFontAlloc::Create(&lf);
    if (!hf)
    {
      delete font;
      return nullptr;
    }
    // The cached font owns the platform font from here on (and frees a replaced one).
    font->SetFromHFont(hf, RASTER_FONT_OWNS_HFONT | RASTER_FONT_NATIVE);
    const int lineHeight = font->GetLineHeight();
    if (attempt > 0 || lineHeight == lf.lfHeight || lineHeight <= 0) break;
    // Ask again so the rendered line height comes out close to the requested size.
    const double numerator = h < 2 ? 4.0 : (double)lf.lfHeight * (double)lf.lfHeight;
    h = (int)(numerator / lineHeight + 0.5);
  }

  if (!s_fontCache.Add(font, pTxt))
  {
    delete font;
    return nullptr;
  }
  pTxt->mCached = font;
  return font;
}

bool IGraphics::DrawIText(IText* pTxt, const char* str, IRECT* pR, bool measure)
{
  if (!str || !*str) return true;
  if (!pTxt || !pR) return false;
  Raster_IFont* font = pTxt->mCached ? pTxt->mCached : CacheFont(pTxt);
  if (!font) return false;

  font->SetTextColor(pTxt->mColor.ToPixel());
  int format = DT_NOCLIP;
  if (pTxt->mColor.A < 255) format |= RASTER_TEXT_USE_COLOR_ALPHA;
  if (pTxt->mAlign == IText::kAlignCenter) format |= DT_CENTER;
  else if (pTxt->mAlign == IText::kAlignFar) format |= DT_RIGHT;

  if (!measure)
  {
    if (!mDrawBitmap) return false;
    RECT r = {pR->L, pR->T, pR->R, pR->B};
    font->DrawText(mDrawBitmap, str, -1, &r, format);
    return true;
  }

  RECT r = {0, 0, 0, 0};
  font->DrawText(mDrawBitmap, str, -1, &r, format | DT_CALCRECT);
  const int width = r.right, height = r.bottom;
  switch (pTxt->mAlign)
  {
    case IText::kAlignCenter:
      pR->L = (int)((float)(pR->L + pR->R) * 0.5f) - width / 2;
      pR->R = pR->L + width;
      break;
    case IText::kAlignFar:
      pR->L = pR->R - width;
      break;
    default:  // near, as the drawing format treats unknown alignments
      pR->R = pR->L + width;
      break;
  }
  pR->B = pR->T + height;
  return true;
}

bool IGraphics::MeasureIText(IText* pTxt, char* str, IRECT* pR)
{
  return DrawIText(pTxt, str, pR, true);
}
