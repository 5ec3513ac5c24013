// Internal helpers shared by the blit and vector sources (not installed for other subsystems).
#pragma once

#include "raster/combine.h"

namespace raster_detail {

inline bool Drawable(Raster_IBitmap* bm)
{
  return bm && bm->getBits() && bm->getWidth() > 0 && bm->getHeight() > 0 && bm->getRowSpan() > 0;
}

template <class Op>
inline void PutRGBA(Raster_Pixel* p, Raster_Pixel c, int alpha)
{
  Op::doPix((unsigned char*)p, (int)((c >> 16) & 255), (int)((c >> 8) & 255), (int)(c & 255),
            (int)(c >> 24), alpha);
}

// Fill-style merge of one colour into a run of pixels. Fills pass the weight as the source
// alpha channel too, so the destination alpha moves toward the weight.
void FillRun(Raster_Pixel* p, int n, Raster_Pixel color, int alpha, int mode);

} // namespace raster_detail
