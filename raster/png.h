// PNG images to and from raster bitmaps (libpng). Every colour type decodes to 8-bit
// A, R, G, B, not premultiplied.
// Contract: any thread; no shared state. Loaders return null on any failure (missing file,
// not a PNG, corrupt or truncated data, dimensions above the limits below, no memory) and
// never print. A bitmap created by a loader is owned by the caller; a given bitmap is resized.
#pragma once

#include "raster/bitmap.h"

#include <cstddef>

// Images larger than this in either direction or in pixel count (64 MB of pixels) are refused
// before allocating, as are images whose declared size the input is too short to encode.
enum { RASTER_PNG_MAX_SIDE = 65535, RASTER_PNG_MAX_PIXELS = 1 << 24 };

Raster_IBitmap* Raster_LoadPNG(const char* path, Raster_IBitmap* bitmap = nullptr);
Raster_IBitmap* Raster_LoadPNGFromMemory(const void* data, size_t length, Raster_IBitmap* bitmap = nullptr);
// Writes an 8-bit RGBA PNG; false on any failure (a partial file is removed).
bool Raster_WritePNG(const char* path, Raster_IBitmap* bitmap);
