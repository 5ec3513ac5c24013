// The artwork's colours: a warm charcoal panel, one amber accent, warm off-white text.
// Constants only; any thread.
#pragma once

#include "raster/bitmap.h"

namespace artwork {

constexpr Raster_Pixel Rgb(int r, int g, int b) {
  return 0xFF000000u | (Raster_Pixel)(r << 16) | (Raster_Pixel)(g << 8) | (Raster_Pixel)b;
}

constexpr Raster_Pixel kPanelTop = Rgb(52, 48, 45);
constexpr Raster_Pixel kPanelBottom = Rgb(30, 28, 27);
constexpr Raster_Pixel kHeaderTop = Rgb(36, 33, 31);
constexpr Raster_Pixel kHeaderBottom = Rgb(27, 25, 24);
constexpr Raster_Pixel kEdgeDark = Rgb(14, 13, 12);
constexpr Raster_Pixel kEdgeLight = Rgb(78, 73, 68);

constexpr Raster_Pixel kAccent = Rgb(255, 156, 52);
constexpr Raster_Pixel kAccentDeep = Rgb(196, 96, 26);

constexpr Raster_Pixel kTextBright = Rgb(236, 226, 212);
constexpr Raster_Pixel kTextLabel = Rgb(206, 196, 182);
constexpr Raster_Pixel kTextDim = Rgb(140, 132, 122);

constexpr Raster_Pixel kTrack = Rgb(18, 17, 16);
constexpr Raster_Pixel kBlack = Rgb(0, 0, 0);
constexpr Raster_Pixel kPointer = Rgb(246, 240, 230);

// Straight mix of two opaque colours, t = 0 gives a.
inline Raster_Pixel Mix(Raster_Pixel a, Raster_Pixel b, float t) {
  const auto ch = [&](int shift) {
    const float va = (float)((a >> shift) & 255), vb = (float)((b >> shift) & 255);
    return (Raster_Pixel)(va + (vb - va) * t + 0.5f) << shift;
  };
  return 0xFF000000u | ch(16) | ch(8) | ch(0);
}

}  // namespace artwork
