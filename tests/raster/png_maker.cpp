#include "png_maker.h"

#include <png.h>

#include <cstdio>

namespace {

void Append(png_structp png, png_bytep data, png_size_t len)
{
  auto* out = (std::vector<uint8_t>*)png_get_io_ptr(png);
  out->insert(out->end(), data, data + len);
}

void NoFlush(png_structp) {}

// No objects with destructors in this frame: libpng errors long-jump out of it.
bool Encode(png_structp png, png_infop info, const PngDesc& s, std::vector<png_bytep>& rows,
            std::vector<png_color>& pal)
{
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_IHDR(png, info, s.width, s.height, s.bitDepth, s.colorType,
               s.interlace ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (!pal.empty()) png_set_PLTE(png, info, pal.data(), (int)pal.size());
  if (!s.trnsAlpha.empty()) png_set_tRNS(png, info, s.trnsAlpha.data(), (int)s.trnsAlpha.size(), nullptr);
  if (s.trnsColor)
  {
    png_color_16 c = {};
    c.gray = (png_uint_16)s.trnsGrey;
    c.red = (png_uint_16)s.trnsR;
    c.green = (png_uint_16)s.trnsG;
    c.blue = (png_uint_16)s.trnsB;
    png_set_tRNS(png, info, nullptr, 0, &c);
  }
  png_write_info(png, info);
  png_write_image(png, rows.data());
  png_write_end(png, info);
  return true;
}

} // namespace

std::vector<uint8_t> MakePng(const PngDesc& s)
{
  std::vector<uint8_t> out;
  std::vector<std::vector<uint8_t>> copy = s.rows;
  std::vector<png_bytep> rows;
  for (auto& r : copy) rows.push_back(r.data());
  std::vector<png_color> pal;
  for (size_t i = 0; i + 2 < s.palette.size(); i += 3) pal.push_back({s.palette[i], s.palette[i + 1], s.palette[i + 2]});
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(png, &out, Append, NoFlush);
  const bool ok = Encode(png, info, s, rows, pal);
  png_destroy_write_struct(&png, &info);
  if (!ok) out.clear();
  return out;
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& data)
{
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = fwrite(data.data(), 1, data.size(), f) == data.size();
  return fclose(f) == 0 && ok;
}
