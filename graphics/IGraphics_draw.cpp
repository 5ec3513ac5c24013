// Drawing primitives: thin calls into the raster library, all into the drawing bitmap.
// Null colours, rectangles or bitmap records, or no drawing bitmap yet, draw nothing and
// give false; an image without data (one that could not be loaded) draws nothing.
#include "graphics/IGraphics.h"

#include <cmath>

#include "raster/raster.h"

namespace {

// Float coordinates land on the nearest pixel, as DrawPoint does; far-off ones saturate.
// Callers reject non-finite coordinates first.
int Px(float v)
{
  const double r = std::floor((double)v + 0.5);
  return r < -1073741824.0 ? -1073741824 : (r > 1073741824.0 ? 1073741824 : (int)r);
}

bool Finite(float a, float b) { return std::isfinite(a) && std::isfinite(b); }

// 0 ... 1; NaN counts as 0.
float Unit(float v) { return !(v > 0.0f) ? 0.0f : (v > 1.0f ? 1.0f : v); }

// The primitives without a blend argument: opaque plain copy, no antialiasing.
constexpr float kPlainWeight = 1.0f;
constexpr int kPlainMode = RASTER_MODE_COPY;

}  // namespace

bool IGraphics::DrawBitmap(IBitmap* pBitmap, IRECT* pDest, int srcX, int srcY, const IChannelBlend* pBlend)
{
  if (!pBitmap || !pDest || !mDrawBitmap) return false;
  if (!pBitmap->mData) return true;
  const IRECT r = pDest->Intersect(mDrawRECT);
  Raster_Blit(mDrawBitmap, pBitmap->mData, r.L, r.T, srcX + r.L - pDest->L, srcY + r.T - pDest->T, r.W(), r.H(),
              IChannelBlend_Weight(pBlend), IChannelBlend_RasterMode(pBlend));
  return true;
}

bool IGraphics::DrawBitmap(IBitmap* pBitmap, IRECT* pDest, int bmpState, const IChannelBlend* pBlend)
{
  if (!pBitmap) return false;
  int srcX = 0, srcY = 0;
  if (bmpState >= 2 && pBitmap->N >= 2)
  {
    const int size = pBitmap->mFramesAreHorizontal ? pBitmap->W : pBitmap->H;
    const int offset = (int)((double)(bmpState - 1) * (double)size / (double)pBitmap->N + 0.5);
    (pBitmap->mFramesAreHorizontal ? srcX : srcY) = offset;
  }
  return DrawBitmap(pBitmap, pDest, srcX, srcY, pBlend);
}

bool IGraphics::DrawRotatedBitmap(IBitmap* pBitmap, int destCtrX, int destCtrY, double angle, int yOffsetZeroDeg,
                                  const IChannelBlend* pBlend)
{
  if (!pBitmap || !mDrawBitmap) return false;
  if (!pBitmap->mData) return true;
  const int W = pBitmap->W, H = pBitmap->H;
  Raster_RotatedBlit(mDrawBitmap, pBitmap->mData, destCtrX - W / 2, destCtrY - H / 2, W, H, 0, 0, W, H, angle, false,
                     IChannelBlend_Weight(pBlend), IChannelBlend_RasterMode(pBlend) | RASTER_MODE_FILTER, 0.0,
                     (double)yOffsetZeroDeg);
  return true;
}

bool IGraphics::DrawRotatedMask(IBitmap* pBase, IBitmap* pMask, IBitmap* pTop, int x, int y, double angle,
                                const IChannelBlend* pBlend)
{
  if (!pBase || !pMask || !pTop || !mDrawBitmap) return false;
  if (!pBase->mData) return true;
  if (!mTmpBitmap) mTmpBitmap = new Raster_MemBitmap(0, 0, 4);

  const int W = pBase->W, H = pBase->H;
  // The base's colours with no alpha: the mask adds the alpha that lets them show.
  Raster_Copy(mTmpBitmap, pBase->mData);
  Raster_ClearRect(mTmpBitmap, 0, 0, W, H, 0x00FFFFFF, 0);

  const double rad = angle * M_PI / 180.0;
  const double rotX = (W % 2) ? -0.5 : 0.0;  // odd widths turn about a half-pixel centre
  Raster_RotatedBlit(mTmpBitmap, pMask->mData, 0, 0, W, H, 0, 0, W, H, rad, true, 1.0f,
                     RASTER_MODE_ADD | RASTER_MODE_SOURCEALPHA | RASTER_MODE_FILTER, rotX, 0.0);
  Raster_RotatedBlit(mTmpBitmap, pTop->mData, 0, 0, W, H, 0, 0, W, H, rad, true, 1.0f,
                     RASTER_MODE_COPY | RASTER_MODE_SOURCEALPHA | RASTER_MODE_FILTER, rotX, 0.0);

  IRECT dest(x, y, x + W, y + H);
  const IRECT r = dest.Intersect(mDrawRECT);
  Raster_Blit(mDrawBitmap, mTmpBitmap, r.L, r.T, r.L - x, r.T - y, r.W(), r.H(), IChannelBlend_Weight(pBlend),
              IChannelBlend_RasterMode(pBlend));
  return true;
}

bool IGraphics::DrawPoint(const IColor* pColor, float x, float y, const IChannelBlend* pBlend, bool)
{
  if (!pColor || !mDrawBitmap || !Finite(x, y)) return false;
  Raster_PutPixel(mDrawBitmap, Px(x), Px(y), pColor->ToPixel(), IChannelBlend_Weight(pBlend),
                  IChannelBlend_RasterMode(pBlend));
  return true;
}

bool IGraphics::ForcePixel(const IColor* pColor, int x, int y)
{
  if (!pColor || !mDrawBitmap || !mDrawBitmap->getBits()) return false;
  if (x < 0 || y < 0 || x >= mDrawBitmap->getWidth() || y >= mDrawBitmap->getHeight()) return false;
  Raster_RowPtr(mDrawBitmap, y)[x] = pColor->ToPixel();
  return true;
}

IColor IGraphics::GetPoint(int x, int y)
{
  return IColor::FromPixel(mDrawBitmap ? Raster_GetPixel(mDrawBitmap, x, y) : 0);
}

bool IGraphics::DrawLine(const IColor* pColor, float x1, float y1, float x2, float y2, const IChannelBlend* pBlend,
                         bool antiAlias)
{
  if (!pColor || !mDrawBitmap || !Finite(x1, y1) || !Finite(x2, y2)) return false;
  Raster_Line(mDrawBitmap, Px(x1), Px(y1), Px(x2), Px(y2), pColor->ToPixel(), IChannelBlend_Weight(pBlend),
              IChannelBlend_RasterMode(pBlend), antiAlias);
  return true;
}

bool IGraphics::DrawRadialLine(const IColor* pColor, float cx, float cy, float angle, float rMin, float rMax,
                               const IChannelBlend* pBlend, bool antiAlias)
{
  const float s = std::sin(angle), c = std::cos(angle);
  return DrawLine(pColor, cx + rMin * s, cy - rMin * c, cx + rMax * s, cy - rMax * c, pBlend, antiAlias);
}

bool IGraphics::DrawArc(const IColor* pColor, float cx, float cy, float r, float minAngle, float maxAngle,
                        const IChannelBlend* pBlend, bool antiAlias)
{
  if (!pColor || !mDrawBitmap) return false;
  Raster_Arc(mDrawBitmap, cx, cy, r, minAngle, maxAngle, pColor->ToPixel(), IChannelBlend_Weight(pBlend),
             IChannelBlend_RasterMode(pBlend), antiAlias);
  return true;
}

bool IGraphics::DrawCircle(const IColor* pColor, float cx, float cy, float r, const IChannelBlend* pBlend,
                           bool antiAlias)
{
  if (!pColor || !mDrawBitmap) return false;
  Raster_Circle(mDrawBitmap, cx, cy, r, pColor->ToPixel(), IChannelBlend_Weight(pBlend),
                IChannelBlend_RasterMode(pBlend), antiAlias);
  return true;
}

bool IGraphics::FillCircle(const IColor* pColor, int cx, int cy, float r, const IChannelBlend* pBlend, bool antiAlias)
{
  if (!pColor || !mDrawBitmap) return false;
  Raster_FillCircle(mDrawBitmap, (float)cx, (float)cy, r, pColor->ToPixel(), IChannelBlend_Weight(pBlend),
                    IChannelBlend_RasterMode(pBlend), antiAlias);
  return true;
}

bool IGraphics::RoundRect(const IColor* pColor, IRECT* pR, const IChannelBlend* pBlend, int cornerRadius,
                          bool antiAlias)
{
  if (!pColor || !pR || !mDrawBitmap) return false;
  Raster_RoundRect(mDrawBitmap, (float)pR->L, (float)pR->T, (float)pR->W(), (float)pR->H(), cornerRadius,
                   pColor->ToPixel(), IChannelBlend_Weight(pBlend), IChannelBlend_RasterMode(pBlend), antiAlias);
  return true;
}

bool IGraphics::FillRoundRect(const IColor* pColor, IRECT* pR, const IChannelBlend* pBlend, int cr, bool antiAlias)
{
  if (!pColor || !pR || !mDrawBitmap) return false;
  const Raster_Pixel px = pColor->ToPixel();
  const float w = IChannelBlend_Weight(pBlend);
  const int mode = IChannelBlend_RasterMode(pBlend);
  const int W = pR->W(), H = pR->H();
  // A cross of three fills, then the four rounded corners.
  Raster_FillRect(mDrawBitmap, pR->L + cr, pR->T, W - 2 * cr, H, px, w, mode);
  Raster_FillRect(mDrawBitmap, pR->L, pR->T + cr, cr, H - 2 * cr, px, w, mode);
  Raster_FillRect(mDrawBitmap, pR->R - cr, pR->T + cr, cr, H - 2 * cr, px, w, mode);
  Raster_FillCircle(mDrawBitmap, (float)(pR->L + cr), (float)(pR->T + cr), (float)cr, px, w, mode, antiAlias);
  Raster_FillCircle(mDrawBitmap, (float)(pR->R - cr - 1), (float)(pR->B - cr - 1), (float)cr, px, w, mode, antiAlias);
  Raster_FillCircle(mDrawBitmap, (float)(pR->R - cr - 1), (float)(pR->T + cr), (float)cr, px, w, mode, antiAlias);
  Raster_FillCircle(mDrawBitmap, (float)(pR->L + cr), (float)(pR->B - cr - 1), (float)cr, px, w, mode, antiAlias);
  return true;
}

bool IGraphics::FillIRect(const IColor* pColor, IRECT* pR, const IChannelBlend* pBlend)
{
  if (!pColor || !pR || !mDrawBitmap) return false;
  Raster_FillRect(mDrawBitmap, pR->L, pR->T, pR->W(), pR->H(), pColor->ToPixel(), IChannelBlend_Weight(pBlend),
                  IChannelBlend_RasterMode(pBlend));
  return true;
}

bool IGraphics::FillTriangle(const IColor* pColor, int x1, int y1, int x2, int y2, int x3, int y3,
                             const IChannelBlend* pBlend)
{
  if (!pColor || !mDrawBitmap) return false;
  Raster_FillTriangle(mDrawBitmap, x1, y1, x2, y2, x3, y3, pColor->ToPixel(), IChannelBlend_Weight(pBlend),
                      IChannelBlend_RasterMode(pBlend));
  return true;
}

bool IGraphics::FillIConvexPolygon(const IColor* pColor, int* x, int* y, int npoints, const IChannelBlend* pBlend)
{
  if (!pColor || !x || !y || !mDrawBitmap) return false;
  Raster_FillConvexPolygon(mDrawBitmap, x, y, npoints, pColor->ToPixel(), IChannelBlend_Weight(pBlend),
                           IChannelBlend_RasterMode(pBlend));
  return true;
}

bool IGraphics::DrawRect(const IColor* pColor, IRECT* pR)
{
  if (!pColor || !pR || !mDrawBitmap) return false;
  const Raster_Pixel px = pColor->ToPixel();
  Raster_Line(mDrawBitmap, pR->L, pR->T, pR->R, pR->T, px, kPlainWeight, kPlainMode, false);
  Raster_Line(mDrawBitmap, pR->L, pR->B, pR->R, pR->B, px, kPlainWeight, kPlainMode, false);
  Raster_Line(mDrawBitmap, pR->L, pR->T, pR->L, pR->B, px, kPlainWeight, kPlainMode, false);
  Raster_Line(mDrawBitmap, pR->R, pR->T, pR->R, pR->B, px, kPlainWeight, kPlainMode, false);
  return true;
}

bool IGraphics::DrawVerticalLine(const IColor* pColor, int xi, int yLo, int yHi)
{
  if (!pColor || !mDrawBitmap) return false;
  Raster_Line(mDrawBitmap, xi, yLo, xi, yHi, pColor->ToPixel(), kPlainWeight, kPlainMode, false);
  return true;
}

bool IGraphics::DrawHorizontalLine(const IColor* pColor, int yi, int xLo, int xHi)
{
  if (!pColor || !mDrawBitmap) return false;
  Raster_Line(mDrawBitmap, xLo, yi, xHi, yi, pColor->ToPixel(), kPlainWeight, kPlainMode, false);
  return true;
}

bool IGraphics::DrawVerticalLine(const IColor* pColor, IRECT* pR, float x)
{
  if (!pR) return false;
  return DrawVerticalLine(pColor, pR->L + (int)((float)pR->W() * Unit(x)), pR->T, pR->B);
}

bool IGraphics::DrawHorizontalLine(const IColor* pColor, IRECT* pR, float y)
{
  if (!pR) return false;
  return DrawHorizontalLine(pColor, pR->B - (int)((float)pR->H() * Unit(y)), pR->L, pR->R);
}
