// The raster library: bitmaps, combine modes, blits, PNG files and vector primitives.
#pragma once

#include "raster/bitmap.h"
#include "raster/combine.h"
#include "raster/blit.h"
#include "raster/png.h"
#include "raster/vector.h"
#if __has_include("raster/cachedfont.h")
#include "raster/cachedfont.h"
#endif
