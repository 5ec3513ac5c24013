#include "raster/png.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

// libpng reports errors by long-jumping back to the setjmp in Decode(). Nothing between the two
// may own a C++ object with a destructor, so all state lives in a plain record owned by the
// caller of Decode(), which cleans up whichever way Decode() returns.

namespace {

struct MemSource
{
  const unsigned char* data;
  size_t size, pos;
};

struct PngJob
{
  png_structp png;
  png_infop info;
  Raster_IBitmap* bitmap;   // the caller's bitmap, or one made here
  bool created;
  png_bytep* rows;
  unsigned long long inputSize;  // bytes of PNG data available, 0 if unknown
};

void SilentError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void SilentWarning(png_structp, png_const_charp) {}

// A read past the end of the block is an error, as a short read from a file is: padding it
// with zeros would let a declared chunk length of up to 2 GB be skipped over byte by byte.
void ReadMem(png_structp png, png_bytep out, png_size_t len)
{
  MemSource* src = (MemSource*)png_get_io_ptr(png);
  const size_t avail = src->size - src->pos;
  if (len > avail)
  {
    memset(out, 0, len);
    png_error(png, "read past end");
  }
  memcpy(out, src->data + src->pos, len);
  src->pos += len;
}

// Reads the header, requests the transformations that turn every colour type into 8-bit
// A, R, G, B, sizes the bitmap and decodes into it. False on any failure.
bool Decode(PngJob* job)
{
  if (setjmp(png_jmpbuf(job->png))) return false;
  png_structp png = job->png;
  png_infop info = job->info;

  png_set_user_limits(png, RASTER_PNG_MAX_SIDE, RASTER_PNG_MAX_SIDE);
  png_read_info(png, info);
  png_uint_32 width = 0, height = 0;
  int depth = 0, type = 0, interlace = 0;
  png_get_IHDR(png, info, &width, &height, &depth, &type, &interlace, nullptr, nullptr);
  if (!width || !height || width > RASTER_PNG_MAX_SIDE || height > RASTER_PNG_MAX_SIDE ||
      (unsigned long long)width * height > RASTER_PNG_MAX_PIXELS)
    return false;
  // Deflate cannot expand data more than about 1032 times, so an image whose raw rows exceed
  // that multiple of the input is truncated or a decompression bomb: refuse it before allocating.
  const unsigned long long rowBytes = ((unsigned long long)width * png_get_channels(png, info) * depth + 7) / 8;
  const unsigned long long raw = (rowBytes + 1) * height;
  if (job->inputSize && raw > job->inputSize * 1040 + 4096) return false;

  bool hasAlpha = (type & PNG_COLOR_MASK_ALPHA) != 0;
  if (type == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (type == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (png_get_valid(png, info, PNG_INFO_tRNS))
  {
    png_set_tRNS_to_alpha(png);
    hasAlpha = true;
  }
  if (depth == 16) png_set_strip_16(png);
  if (depth < 8) png_set_packing(png);
  if (type == PNG_COLOR_TYPE_GRAY || type == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
  if (hasAlpha) png_set_swap_alpha(png);
  else png_set_filler(png, 0xFF, PNG_FILLER_BEFORE);
  if (interlace != PNG_INTERLACE_NONE) png_set_interlace_handling(png);
  png_read_update_info(png, info);
  // Never let a row decode past the bitmap's row: the transformations must give 4 bytes a pixel.
  if (png_get_rowbytes(png, info) != (size_t)width * 4) return false;

  if (job->bitmap) job->bitmap->resize((int)width, (int)height);
  else
  {
    job->bitmap = new (std::nothrow) Raster_MemBitmap((int)width, (int)height, 4);
    job->created = job->bitmap != nullptr;
    if (!job->bitmap) return false;
  }
  Raster_IBitmap* bm = job->bitmap;
  if (bm->getWidth() != (int)width || bm->getHeight() != (int)height || !bm->getBits() ||
      bm->getRowSpan() < (int)width)
    return false;

  job->rows = (png_bytep*)malloc(sizeof(png_bytep) * height);
  if (!job->rows) return false;
  for (png_uint_32 y = 0; y < height; ++y) job->rows[y] = (png_bytep)Raster_RowPtr(bm, (int)y);
  png_read_image(png, job->rows);

  // Decoded bytes are A, R, G, B; as a little-endian pixel they must read B, G, R, A.
  for (png_uint_32 y = 0; y < height; ++y)
  {
    uint32_t* p = (uint32_t*)job->rows[y];
    for (png_uint_32 x = 0; x < width; ++x)
    {
      const unsigned char* b = (const unsigned char*)(p + x);
      p[x] = ((uint32_t)b[0] << 24) | ((uint32_t)b[1] << 16) | ((uint32_t)b[2] << 8) | b[3];
    }
  }
  return true;
}

Raster_IBitmap* RunJob(png_rw_ptr readFn, void* io, FILE* file, unsigned long long inputSize,
                       Raster_IBitmap* bitmap)
{
  PngJob job = {nullptr, nullptr, bitmap, false, nullptr, inputSize};
  job.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, SilentError, SilentWarning);
  if (!job.png) return nullptr;
  job.info = png_create_info_struct(job.png);
  bool ok = false;
  if (job.info)
  {
    if (file) png_init_io(job.png, file);
    else png_set_read_fn(job.png, io, readFn);
    ok = Decode(&job);
  }
  png_destroy_read_struct(&job.png, job.info ? &job.info : nullptr, nullptr);
  free(job.rows);
  if (ok) return job.bitmap;
  if (job.created) delete job.bitmap;
  return nullptr;
}

} // namespace

Raster_IBitmap* Raster_LoadPNG(const char* path, Raster_IBitmap* bitmap)
{
  if (!path) return nullptr;
  FILE* f = fopen(path, "rb");
  if (!f) return nullptr;
  unsigned long long size = 0;
  if (fseek(f, 0, SEEK_END) == 0)
  {
    const long end = ftell(f);
    if (end > 0) size = (unsigned long long)end;
  }
  if (fseek(f, 0, SEEK_SET) != 0)
  {
    fclose(f);
    return nullptr;
  }
  Raster_IBitmap* result = RunJob(nullptr, nullptr, f, size, bitmap);
  fclose(f);
  return result;
}

Raster_IBitmap* Raster_LoadPNGFromMemory(const void* data, size_t length, Raster_IBitmap* bitmap)
{
  if (!data || length < 8 || png_sig_cmp((png_const_bytep)data, 0, 8) != 0) return nullptr;
  MemSource src = {(const unsigned char*)data, length, 0};
  return RunJob(ReadMem, &src, nullptr, length, bitmap);
}

namespace {

struct WriteJob
{
  png_structp png;
  png_infop info;
  png_bytep* rows;
};

bool Encode(WriteJob* job, FILE* f, Raster_IBitmap* bm)
{
  if (setjmp(png_jmpbuf(job->png))) return false;
  const int w = bm->getWidth(), h = bm->getHeight();
  png_init_io(job->png, f);
  png_set_IHDR(job->png, job->info, (png_uint_32)w, (png_uint_32)h, 8, PNG_COLOR_TYPE_RGB_ALPHA,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(job->png, job->info);
  png_set_bgr(job->png);  // pixels are B, G, R, A in memory
  job->rows = (png_bytep*)malloc(sizeof(png_bytep) * (size_t)h);
  if (!job->rows) return false;
  for (int y = 0; y < h; ++y) job->rows[y] = (png_bytep)Raster_RowPtr(bm, y);
  png_write_image(job->png, job->rows);
  png_write_end(job->png, nullptr);
  return true;
}

} // namespace

bool Raster_WritePNG(const char* path, Raster_IBitmap* bitmap)
{
  if (!path || !bitmap || !bitmap->getBits() || bitmap->getWidth() <= 0 || bitmap->getHeight() <= 0) return false;
  FILE* f = fopen(path, "wb");
  if (!f) return false;
  WriteJob job = {nullptr, nullptr, nullptr};
  bool ok = false;
  job.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, SilentError, SilentWarning);
  if (job.png)
  {
    job.info = png_create_info_struct(job.png);
    if (job.info) ok = Encode(&job, f, bitmap);
    png_destroy_write_struct(&job.png, job.info ? &job.info : nullptr);
  }
  free(job.rows);
  if (fclose(f) != 0) ok = false;
  if (!ok) remove(path);
  return ok;
}
