// Feeds arbitrary bytes to the in-memory PNG loader, into a new bitmap and into a given one.
// Each input is also tried with its chunk CRCs repaired, so mutations reach the decoder
// instead of stopping at the first checksum.
#include "raster/raster.h"

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

void Load(const uint8_t* data, size_t size)
{
  Raster_IBitmap* bm = Raster_LoadPNGFromMemory(data, size, nullptr);
  if (bm)
  {
    // Read every decoded pixel so rows outside the storage would show up under the sanitizers.
    uint32_t sum = 0;
    for (int y = 0; y < bm->getHeight(); ++y)
      for (int x = 0; x < bm->getWidth(); ++x) sum += Raster_RowPtr(bm, y)[x];
    volatile uint32_t sink = sum;
    (void)sink;
    delete bm;
  }
  Raster_MemBitmap given(3, 3, 16);
  Raster_LoadPNGFromMemory(data, size, &given);
}

uint32_t Be32(const uint8_t* p) { return (uint32_t)p[0] << 24 | p[1] << 16 | p[2] << 8 | p[3]; }

std::vector<uint8_t> WithFixedCrcs(const uint8_t* data, size_t size)
{
  std::vector<uint8_t> v(data, data + size);
  size_t pos = 8;
  while (pos + 12 <= v.size())
  {
    const uint32_t len = Be32(&v[pos]);
    if (len > v.size() - pos - 12) break;
    const uint32_t crc = (uint32_t)crc32(0, &v[pos + 4], len + 4);
    for (int i = 0; i < 4; ++i) v[pos + 8 + len + i] = (uint8_t)(crc >> (24 - 8 * i));
    pos += 12 + len;
  }
  return v;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  Load(data, size);
  if (size >= 8)
  {
    const std::vector<uint8_t> fixed = WithFixedCrcs(data, size);
    Load(fixed.data(), fixed.size());
  }
  return 0;
}
