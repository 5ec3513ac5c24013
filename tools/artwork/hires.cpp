#include "tools/artwork/hires.h"

#include <cmath>

#include "tools/artwork/palette.h"

namespace artwork {

namespace {

constexpr float K = (float)kOversample;

int Px(float v) { return (int)std::lround(v * K); }

}  // namespace

HiRes::HiRes(int w, int h, Raster_Pixel clear) : mW(w), mH(h), mBm(w * kOversample, h * kOversample) {
  Raster_Clear(&mBm, clear & 0x00FFFFFFu);
}

void HiRes::Disc(float cx, float cy, float r, Raster_Pixel color, float alpha) {
  Raster_FillCircle(&mBm, cx * K, cy * K, r * K, color, alpha, RASTER_MODE_COPY, true);
}

void HiRes::ShadedDisc(float cx, float cy, float r, Raster_Pixel edge, Raster_Pixel middle, float dx,
                       float dy) {
  // One hi-res pixel of radius per ring: fine enough that no banding survives the reduction.
  const int steps = Px(r);
  for (int i = 0; i < steps; ++i) {
    const float t = (float)i / (float)steps;
    const float ri = r * (1.0f - t);
    Raster_FillCircle(&mBm, (cx + dx * t) * K, (cy + dy * t) * K, ri * K, Mix(edge, middle, t), 1.0f,
                      RASTER_MODE_COPY, true);
  }
}

void HiRes::Stroke(float x1, float y1, float x2, float y2, float width, Raster_Pixel color) {
  const float len = std::hypot(x2 - x1, y2 - y1) * K;
  const int n = (int)std::ceil(len) + 1;
  for (int i = 0; i < n; ++i) {
    const float t = n > 1 ? (float)i / (float)(n - 1) : 0.0f;
    Disc(x1 + (x2 - x1) * t, y1 + (y2 - y1) * t, width / 2.0f, color);
  }
}

void HiRes::ArcStroke(float cx, float cy, float r, float a0, float a1, float width, Raster_Pixel color) {
  if (a1 < a0) return;
  // A disc per hi-res pixel of arc length.
  const int n = (int)std::ceil((a1 - a0) * r * K) + 1;
  for (int i = 0; i < n; ++i) {
    const float a = n > 1 ? a0 + (a1 - a0) * (float)i / (float)(n - 1) : a0;
    Disc(cx + r * std::sin(a), cy - r * std::cos(a), width / 2.0f, color);
  }
}

void HiRes::Hairline(float x1, float y1, float x2, float y2, Raster_Pixel color, float alpha) {
  Raster_Line(&mBm, Px(x1), Px(y1), Px(x2), Px(y2), color, alpha, RASTER_MODE_COPY, true);
}

void HiRes::Rect(float x, float y, float w, float h, Raster_Pixel color) {
  Raster_FillRect(&mBm, Px(x), Px(y), Px(x + w) - Px(x), Px(y + h) - Px(y), color, 1.0f,
                  RASTER_MODE_COPY);
}

void HiRes::VerticalGradient(float x, float y, float w, float h, Raster_Pixel top, Raster_Pixel bottom) {
  const int y0 = Px(y), y1 = Px(y + h), x0 = Px(x), x1 = Px(x + w);
  for (int row = y0; row < y1; ++row) {
    const float t = y1 - y0 > 1 ? (float)(row - y0) / (float)(y1 - y0 - 1) : 0.0f;
    Raster_FillRect(&mBm, x0, row, x1 - x0, 1, Mix(top, bottom, t), 1.0f, RASTER_MODE_COPY);
  }
}

void HiRes::ReduceInto(Raster_IBitmap* dest, int x, int y) {
  // Source positions start one hi-res pixel in, so each box of three is centred on its block.
  Raster_ScaledBlit(dest, &mBm, x, y, mW, mH, 1.0, 1.0, (double)mW * K, (double)mH * K, 1.0f,
                    RASTER_MODE_COPY | RASTER_MODE_FILTER);
}

}  // namespace artwork
