// Images: loading through the process-wide cache, and derived (scaled, cropped) copies.
#include "graphics/IGraphics.h"

#include <cstdio>

#include "graphics/BitmapStorage.h"
#include "raster/raster.h"

IBitmap IGraphics::LoadIBitmap(int ID, const char* name, int nStates, bool framesAreHorizontal)
{
  // Look-up and insertion are separate critical sections: two editors loading the same ID
  // at once may both decode it; the first entry is the one found afterwards.
  Raster_IBitmap* bm = s_bitmapCache.Find(ID);
  if (!bm)
  {
    bm = OSLoadBitmap(ID, name);
    if (bm && !s_bitmapCache.Add(bm, ID))
    {
      delete bm;
      bm = nullptr;
    }
    if (!bm)
    {
      if (s_bitmapCache.FirstFailureOf(ID))
        std::fprintf(stderr, "quenbar: image %d \"%s\" could not be loaded; drawing without it\n", ID,
                     name ? name : "");
      return IBitmap(nullptr, 0, 0, nStates, framesAreHorizontal);
    }
  }
  return IBitmap(bm, bm->getWidth(), bm->getHeight(), nStates, framesAreHorizontal);
}

void IGraphics::RetainBitmap(IBitmap* pBitmap)
{
  // Held twice it would be deleted twice at unload.
  if (pBitmap && pBitmap->mData && !s_bitmapCache.Holds(pBitmap->mData)) s_bitmapCache.Add(pBitmap->mData, -1);
}

void IGraphics::ReleaseBitmap(IBitmap* pBitmap)
{
  if (pBitmap && s_bitmapCache.Remove(pBitmap->mData))
  {
    // This view would dangle; other copies of it are their holders' business.
    pBitmap->mData = nullptr;
    pBitmap->W = pBitmap->H = 0;
  }
}

IBitmap IGraphics::CacheDerived(Raster_MemBitmap* bm, int n)
{
  const int w = bm->getWidth(), h = bm->getHeight();
  if (!s_bitmapCache.Add(bm, -1))
  {
    delete bm;
    return IBitmap(nullptr, 0, 0, n, false);
  }
  // Derived images are always vertical strips.
  return IBitmap(bm, w, h, n, false);
}

IBitmap IGraphics::ScaleBitmap(IBitmap* pBitmap, int destW, int destH)
{
  if (!pBitmap || !pBitmap->mData || destW <= 0 || destH <= 0)
    return IBitmap(nullptr, 0, 0, pBitmap ? pBitmap->N : 1, false);
  Raster_MemBitmap* bm = new Raster_MemBitmap(destW, destH, 4);
  Raster_ScaledBlit(bm, pBitmap->mData, 0, 0, destW, destH, 0.0, 0.0, pBitmap->W, pBitmap->H, 1.0f,
                    RASTER_MODE_COPY | RASTER_MODE_FILTER);
  return CacheDerived(bm, pBitmap->N);
}

IBitmap IGraphics::CropBitmap(IBitmap* pBitmap, IRECT* pR)
{
  if (!pBitmap || !pBitmap->mData || !pR || pR->W() <= 0 || pR->H() <= 0)
    return IBitmap(nullptr, 0, 0, pBitmap ? pBitmap->N : 1, false);
  Raster_MemBitmap* bm = new Raster_MemBitmap(pR->W(), pR->H(), 4);
  Raster_Blit(bm, pBitmap->mData, 0, 0, pR->L, pR->T, pR->W(), pR->H(), 1.0f, RASTER_MODE_COPY);
  return CacheDerived(bm, pBitmap->N);
}
