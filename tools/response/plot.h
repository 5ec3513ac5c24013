// Draws measured curves into a PNG: gain against log frequency, or output
// level against input level on a linear dB axis. Main thread only (the cached
// font's scratch bitmaps are process-wide); the caller owns the bitmap.
#pragma once

#include <string>
#include <vector>

#include "raster/bitmap.h"
#include "tools/quenbar/atomicfile.h"

namespace quenbarresponse {

struct Curve {
  std::string label;       // legend text
  std::vector<double> x;   // Hz or input dB (whichever the frame's axis is), ascending
  std::vector<double> db;  // one per x
};

enum class XAxis { kLogHz, kLinearDb };

struct PlotFrame {
  int width = 732, height = 300;
  XAxis xAxis = XAxis::kLogHz;
  double minX = 20.0, maxX = 20000.0;  // Hz; or dB, multiples of the 6 dB grid
  double minDb = -24.0, maxDb = 12.0;  // multiples of the 6 dB grid
  std::string title;
  std::string xLabel = "Frequency (Hz)";
  std::string legendNote;   // small text above the legend
  bool unityLine = false;   // dashed 1:1 line, with a legend entry
};

// Where the plot sits inside the picture and how it maps x and level to pixels.
struct PlotArea {
  int left, top, right, bottom;
  XAxis xAxis;
  double minX, maxX, minDb, maxDb;
  double X(double x) const;
  double Y(double db) const;
};
PlotArea LayoutFor(const PlotFrame& frame);

// False with *error set when the frame cannot be drawn: a size outside 240 to
// 8192 by 120 to 8192, or a range that is empty, not finite, wider than
// 600 dB, or not above 0 Hz on the frequency axis.
bool CheckFrame(const PlotFrame& frame, std::string* error);

// Draws the grid, labels, legend and curves into bm, resized to the frame;
// leaves bm alone for a frame CheckFrame refuses. Six colours; a seventh
// curve reuses the first. Points that are not finite leave gaps.
void DrawResponse(const PlotFrame& frame, const std::vector<Curve>& curves, Raster_IBitmap* bm);

// Draws into file's temporary file, which the caller commits (so several
// pictures can be published together or not at all). False with *error set.
bool DrawResponseInto(quenbar::AtomicFile* file, const std::string& path, const PlotFrame& frame,
                      const std::vector<Curve>& curves, std::string* error);

// Draws and writes path; the file appears only when complete. False with *error set.
bool WriteResponsePng(const std::string& path, const PlotFrame& frame,
                      const std::vector<Curve>& curves, std::string* error);

}  // namespace quenbarresponse
