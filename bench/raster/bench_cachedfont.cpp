// Drawing and measuring a 10-character string with a cached font: the glyph path (cached
// coverage blended by the raster library) and the native path the font cache uses.

#include "raster/raster.h"

#include <benchmark/benchmark.h>

namespace {

const char kText[] = "Quenbar 42";  // 10 characters

HFONT Face(int px) { return CreateFont(px, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "DejaVu Sans"); }

void DrawLoop(benchmark::State& state, Raster_IBitmap& bm, int fontFlags, float alpha)
{
  Raster_CachedFont font;
  font.SetFromHFont(Face(14), fontFlags | RASTER_FONT_OWNS_HFONT);
  font.SetTextColor(0xFFE0E0E0);
  font.SetCombineMode(RASTER_MODE_COPY, alpha);
  Raster_Clear(&bm, 0xFF202020);
  RECT r{4, 4, 196, 28};
  font.DrawText(&bm, kText, -1, &r, 0);  // first draw renders the glyphs
  for (auto _ : state)
  {
    RECT rr = r;
    benchmark::DoNotOptimize(font.DrawText(&bm, kText, -1, &rr, 0));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * 10);
}

void BM_CachedFontDrawGlyphs(benchmark::State& state)
{
  Raster_MemBitmap bm(200, 32);
  DrawLoop(state, bm, 0, 1.0f);
}
BENCHMARK(BM_CachedFontDrawGlyphs);

void BM_CachedFontDrawGlyphsHalfOpacity(benchmark::State& state)
{
  Raster_MemBitmap bm(200, 32);
  DrawLoop(state, bm, 0, 0.5f);
}
BENCHMARK(BM_CachedFontDrawGlyphsHalfOpacity);

// The font cache's setting (native rendering) into the back buffer's drawing context.
void BM_CachedFontDrawNativeSysBitmap(benchmark::State& state)
{
  Raster_SysBitmap bm(200, 32);
  DrawLoop(state, bm, RASTER_FONT_NATIVE, 1.0f);
}
BENCHMARK(BM_CachedFontDrawNativeSysBitmap);

// Native rendering into a bitmap without a context goes through the scratch bitmap.
void BM_CachedFontDrawNativeMemBitmap(benchmark::State& state)
{
  Raster_MemBitmap bm(200, 32);
  DrawLoop(state, bm, RASTER_FONT_NATIVE, 1.0f);
}
BENCHMARK(BM_CachedFontDrawNativeMemBitmap);

void BM_CachedFontMeasure(benchmark::State& state)
{
  Raster_CachedFont font;
  font.SetFromHFont(Face(14), RASTER_FONT_OWNS_HFONT);
  for (auto _ : state)
  {
    RECT r{0, 0, 0, 0};
    benchmark::DoNotOptimize(font.DrawText(nullptr, kText, -1, &r, DT_CALCRECT));
  }
}
BENCHMARK(BM_CachedFontMeasure);

} // namespace

BENCHMARK_MAIN();
