// Draws measured response curves into a PNG. Main thread only (the cached
// font's scratch bitmaps are process-wide); the caller owns the bitmap.
#pragma once

#include <string>
#include <vector>

#include "raster/bitmap.h"

namespace quenbarresponse {

struct Curve {
  std::string label;           // legend text
  std::vector<double> freqs;   // Hz, ascending
  std::vector<double> gainDb;  // one per frequency
};

struct PlotFrame {
  int width = 732, height = 300;
  double minHz = 20.0, maxHz = 20000.0;
  double minDb = -24.0, maxDb = 12.0;  // multiples of the 6 dB grid
  std::string title;
};

// Where the plot sits inside the picture and how it maps frequency and level to pixels.
struct PlotArea {
  int left, top, right, bottom;
  double minHz, maxHz, minDb, maxDb;
  double X(double hz) const;
  double Y(double db) const;
};
PlotArea LayoutFor(const PlotFrame& frame);

// Draws the grid, labels, legend and up to five curves into bm, resized to the frame.
void DrawResponse(const PlotFrame& frame, const std::vector<Curve>& curves, Raster_IBitmap* bm);

// Draws and writes path; the file appears only when complete. False with *error set.
bool WriteResponsePng(const std::string& path, const PlotFrame& frame,
                      const std::vector<Curve>& curves, std::string* error);

}  // namespace quenbarresponse
