// Blit speed. Target: the full-panel copy within 2 x the memcpy of the same bytes.
#include "raster/raster.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

const int kPanelW = 732, kPanelH = 208;

void Fill(Raster_IBitmap* bm)
{
  for (int y = 0; y < bm->getHeight(); ++y)
    for (int x = 0; x < bm->getWidth(); ++x)
      Raster_RowPtr(bm, y)[x] = (uint32_t)(x * 2654435761u + y * 40503u);
}

void BM_PanelCopyBlit(benchmark::State& state)
{
  Raster_MemBitmap src(kPanelW, kPanelH), dst(kPanelW, kPanelH);
  Fill(&src);
  for (auto _ : state)
  {
    Raster_Blit(&dst, &src, 0, 0, nullptr, 1.0f, RASTER_MODE_COPY);
    benchmark::DoNotOptimize(dst.getBits());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * (int64_t)kPanelW * kPanelH * 4);
}
BENCHMARK(BM_PanelCopyBlit);

void BM_PanelMemcpy(benchmark::State& state)
{
  std::vector<uint32_t> src((size_t)kPanelW * kPanelH, 0x12345678), dst(src.size());
  for (auto _ : state)
  {
    memcpy(dst.data(), src.data(), src.size() * 4);
    benchmark::DoNotOptimize(dst.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * (int64_t)kPanelW * kPanelH * 4);
}
BENCHMARK(BM_PanelMemcpy);

void BM_SourceAlphaBlit60(benchmark::State& state)
{
  Raster_MemBitmap src(60, 60), dst(kPanelW, kPanelH);
  Fill(&src);
  Fill(&dst);
  for (auto _ : state)
  {
    Raster_Blit(&dst, &src, 100, 50, nullptr, 1.0f, RASTER_MODE_SOURCEALPHA);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * 60 * 60);
}
BENCHMARK(BM_SourceAlphaBlit60);

void BM_RotatedBilinear60(benchmark::State& state)
{
  Raster_MemBitmap src(60, 60), dst(kPanelW, kPanelH);
  Fill(&src);
  Fill(&dst);
  double angle = 0.3;
  for (auto _ : state)
  {
    Raster_RotatedBlit(&dst, &src, 100, 50, 60, 60, 0, 0, 60, 60, angle, false, 1.0f,
                       RASTER_MODE_SOURCEALPHA | RASTER_MODE_FILTER);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * 60 * 60);
}
BENCHMARK(BM_RotatedBilinear60);

} // namespace

BENCHMARK_MAIN();
