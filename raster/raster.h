// The raster library: bitmaps, combine modes, blits, PNG files, vector primitives and cached-font
// text. Contract: an umbrella only; each header states its threads, locks and ownership.
#pragma once

#include "raster/bitmap.h"
#include "raster/combine.h"
#include "raster/blit.h"
#include "raster/png.h"
#include "raster/vector.h"
#include "raster/cachedfont.h"
