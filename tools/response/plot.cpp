#include "tools/response/plot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "raster/raster.h"

namespace quenbarresponse {

namespace {

const Raster_Pixel kBackground = Raster_RGBA(22, 24, 30, 255);
const Raster_Pixel kPlotFill = Raster_RGBA(30, 33, 41, 255);
const Raster_Pixel kGridMajor = Raster_RGBA(80, 86, 100, 255);
const Raster_Pixel kGridMinor = Raster_RGBA(48, 52, 62, 255);
const Raster_Pixel kZeroLine = Raster_RGBA(120, 128, 146, 255);
const Raster_Pixel kText = Raster_RGBA(210, 214, 224, 255);
const Raster_Pixel kDimText = Raster_RGBA(150, 156, 170, 255);
const Raster_Pixel kCurveColors[] = {
    Raster_RGBA(255, 120, 70, 255), Raster_RGBA(250, 200, 70, 255),
    Raster_RGBA(120, 220, 110, 255), Raster_RGBA(80, 200, 240, 255),
    Raster_RGBA(170, 130, 255, 255), Raster_RGBA(255, 110, 180, 255)};
constexpr size_t kCurveColorCount = sizeof(kCurveColors) / sizeof(kCurveColors[0]);
const Raster_Pixel kUnity = Raster_RGBA(170, 176, 190, 255);

using Area = PlotArea;
constexpr int kLegendWidth = 118;

class Font {
 public:
  Font(int px, int weight, Raster_Pixel color) {
    mFont.SetFromHFont(CreateFont(px, 0, 0, 0, weight, 0, 0, 0, 0, 0, 0, 0, 0, "DejaVu Sans"),
                       RASTER_FONT_OWNS_HFONT);
    mFont.SetTextColor(color);
    mFont.SetCombineMode(RASTER_MODE_COPY, 1.0f);
  }
  void Draw(Raster_IBitmap* bm, const char* text, int l, int t, int r, int b, int format) {
    RECT rc{l, t, r, b};
    mFont.DrawText(bm, text, -1, &rc, format | DT_SINGLELINE | DT_NOPREFIX);
  }

 private:
  Raster_CachedFont mFont;
};

// Grid at 20 … 90 Hz, 100 … 900 Hz, … in the minor shade; decades in the major one.
void DrawFrequencyGrid(Raster_IBitmap* bm, const Area& a) {
  for (double decade = 10.0; decade <= a.maxX; decade *= 10.0) {
    for (int k = 1; k <= 9; ++k) {
      const double hz = decade * k;
      if (hz < a.minX || hz > a.maxX) continue;
      const int x = static_cast<int>(std::lround(a.X(hz)));
      Raster_Line(bm, x, a.top, x, a.bottom, k == 1 ? kGridMajor : kGridMinor, 1.0f,
                  RASTER_MODE_COPY, false);
    }
  }
}

// Every 6 dB across, with 0 dB in the zero-line shade.
void DrawLevelGrid(Raster_IBitmap* bm, const Area& a) {
  for (double db = a.minX; db <= a.maxX + 1e-9; db += 6.0) {
    const int x = static_cast<int>(std::lround(a.X(db)));
    Raster_Line(bm, x, a.top, x, a.bottom, std::fabs(db) < 1e-9 ? kZeroLine : kGridMajor, 1.0f,
                RASTER_MODE_COPY, false);
  }
}

void DrawGrid(Raster_IBitmap* bm, const Area& a) {
  if (a.xAxis == XAxis::kLogHz)
    DrawFrequencyGrid(bm, a);
  else
    DrawLevelGrid(bm, a);
  for (double db = a.minDb; db <= a.maxDb + 1e-9; db += 6.0) {
    const int y = static_cast<int>(std::lround(a.Y(db)));
    Raster_Line(bm, a.left, y, a.right, y, std::fabs(db) < 1e-9 ? kZeroLine : kGridMajor, 1.0f,
                RASTER_MODE_COPY, false);
  }
}

// Dashes of kDash pixels with kGap between them, from (x1, y1) to (x2, y2).
void DrawDashed(Raster_IBitmap* bm, double x1, double y1, double x2, double y2,
                Raster_Pixel color) {
  constexpr double kDash = 6.0, kGap = 4.0;
  const double len = std::hypot(x2 - x1, y2 - y1);
  if (!(len > 0.0)) return;
  const double ux = (x2 - x1) / len, uy = (y2 - y1) / len;
  for (double t = 0.0; t < len; t += kDash + kGap) {
    const double e = std::min(t + kDash, len);
    Raster_Line(bm, static_cast<int>(std::lround(x1 + ux * t)),
                static_cast<int>(std::lround(y1 + uy * t)),
                static_cast<int>(std::lround(x1 + ux * e)),
                static_cast<int>(std::lround(y1 + uy * e)), color, 1.0f, RASTER_MODE_COPY, true);
  }
}

// Output equal to input, where both axes' ranges overlap.
void DrawUnityLine(Raster_IBitmap* bm, const Area& a) {
  const double lo = std::max(a.minX, a.minDb), hi = std::min(a.maxX, a.maxDb);
  if (lo < hi) DrawDashed(bm, a.X(lo), a.Y(lo), a.X(hi), a.Y(hi), kUnity);
}

// "0" for zero, otherwise signed: "-48", "+6".
const char* DbText(double db, char* buf, size_t size) {
  if (std::fabs(db) < 1e-9) return "0";
  std::snprintf(buf, size, "%+.0f", db);
  return buf;
}

void DrawCurve(Raster_IBitmap* bm, const Area& a, const Curve& c, Raster_Pixel color) {
  const size_t n = std::min(c.x.size(), c.db.size());
  auto clampY = [&](double db) {
    const double y = a.Y(db);
    return y < a.top ? a.top : (y > a.bottom ? a.bottom : y);
  };
  for (size_t i = 1; i < n; ++i) {
    // A point that failed to measure leaves a gap rather than a wild line.
    if (!std::isfinite(c.x[i - 1]) || !std::isfinite(c.db[i - 1]) || !std::isfinite(c.x[i]) ||
        !std::isfinite(c.db[i]))
      continue;
    const int x1 = static_cast<int>(std::lround(a.X(c.x[i - 1])));
    const int y1 = static_cast<int>(std::lround(clampY(c.db[i - 1])));
    const int x2 = static_cast<int>(std::lround(a.X(c.x[i])));
    const int y2 = static_cast<int>(std::lround(clampY(c.db[i])));
    // Two offset passes give a line heavy enough to read against the grid.
    Raster_Line(bm, x1, y1, x2, y2, color, 1.0f, RASTER_MODE_COPY, true);
    Raster_Line(bm, x1, y1 + 1, x2, y2 + 1, color, 0.6f, RASTER_MODE_COPY, true);
  }
}

}  // namespace

double PlotArea::X(double x) const {
  if (xAxis == XAxis::kLogHz)
    return left + (right - left) * std::log(x / minX) / std::log(maxX / minX);
  return left + (right - left) * (x - minX) / (maxX - minX);
}

double PlotArea::Y(double db) const {
  return top + (bottom - top) * (maxDb - db) / (maxDb - minDb);
}

PlotArea LayoutFor(const PlotFrame& f) {
  return {52, 34, f.width - kLegendWidth - 14, f.height - 34, f.xAxis,
          f.minX, f.maxX, f.minDb, f.maxDb};
}

bool CheckFrame(const PlotFrame& f, std::string* error) {
  auto fail = [&](const std::string& why) {
    *error = "cannot draw the picture: " + why;
    return false;
  };
  if (!(f.width >= 240 && f.width <= 8192 && f.height >= 120 && f.height <= 8192))
    return fail("its size must be 240 to 8192 by 120 to 8192 pixels");
  // The grids step by 6 dB, so a range is kept to a sane number of lines.
  auto range = [](double lo, double hi) {
    return std::isfinite(lo) && std::isfinite(hi) && lo < hi && hi - lo <= 600.0;
  };
  if (!range(f.minDb, f.maxDb))
    return fail("the level range must be finite, rising and at most 600 dB");
  if (f.xAxis == XAxis::kLogHz ? !(f.minX > 0.0 && std::isfinite(f.maxX) && f.minX < f.maxX)
                               : !range(f.minX, f.maxX))
    return fail("the x range must be finite and rising (and above 0 Hz on a frequency axis)");
  return true;
}

void DrawResponse(const PlotFrame& f, const std::vector<Curve>& curves, Raster_IBitmap* bm) {
  std::string ignored;
  if (!CheckFrame(f, &ignored)) return;
  bm->resize(f.width, f.height);
  Raster_Clear(bm, kBackground);
  const Area a = LayoutFor(f);
  Raster_FillRect(bm, a.left, a.top, a.right - a.left + 1, a.bottom - a.top + 1, kPlotFill, 1.0f,
                  RASTER_MODE_COPY);
  DrawGrid(bm, a);
  if (f.unityLine) DrawUnityLine(bm, a);
  Raster_DrawRect(bm, a.left, a.top, a.right - a.left, a.bottom - a.top, kGridMajor, 1.0f,
                  RASTER_MODE_COPY);

  Font title(16, FW_BOLD, kText);
  title.Draw(bm, f.title.c_str(), a.left, 6, a.right, a.top - 4, DT_CENTER | DT_VCENTER);

  Font small(11, FW_NORMAL, kDimText);
  char buf[32];
  for (double db = f.minDb; db <= f.maxDb + 1e-9; db += 6.0) {
    const int y = static_cast<int>(std::lround(a.Y(db)));
    small.Draw(bm, DbText(db, buf, sizeof(buf)), 0, y - 8, a.left - 6, y + 8,
               DT_RIGHT | DT_VCENTER);
  }
  small.Draw(bm, "dB", 4, 6, a.left, a.top - 12, DT_LEFT | DT_VCENTER);
  auto tick = [&](double x, const char* text) {
    const int px = static_cast<int>(std::lround(a.X(x)));
    small.Draw(bm, text, px - 20, a.bottom + 3, px + 20, a.bottom + 17, DT_CENTER | DT_VCENTER);
  };
  if (f.xAxis == XAxis::kLogHz) {
    const struct {
      double hz;
      const char* text;
    } ticks[] = {{20, "20"}, {50, "50"}, {100, "100"}, {200, "200"}, {500, "500"},
                 {1000, "1k"}, {2000, "2k"}, {5000, "5k"}, {10000, "10k"}, {20000, "20k"}};
    for (const auto& t : ticks)
      if (t.hz >= f.minX && t.hz <= f.maxX) tick(t.hz, t.text);
  } else {
    for (double db = f.minX; db <= f.maxX + 1e-9; db += 6.0) tick(db, DbText(db, buf, sizeof(buf)));
  }
  small.Draw(bm, f.xLabel.c_str(), a.left, a.bottom + 16, a.right, f.height - 1,
             DT_CENTER | DT_VCENTER);

  Font legend(12, FW_NORMAL, kText);
  const int lx = a.right + 14;
  small.Draw(bm, f.legendNote.c_str(), lx - 4, a.top - 20, f.width, a.top - 4, DT_VCENTER);
  auto legendRow = [&](size_t i) { return a.top + 12 + static_cast<int>(i) * 22; };
  for (size_t i = 0; i < curves.size(); ++i) {
    const Raster_Pixel color = kCurveColors[i % kCurveColorCount];
    DrawCurve(bm, a, curves[i], color);
    const int y = legendRow(i);
    Raster_FillRect(bm, lx, y - 1, 22, 3, color, 1.0f, RASTER_MODE_COPY);
    legend.Draw(bm, curves[i].label.c_str(), lx + 30, y - 10, f.width, y + 10, DT_VCENTER);
  }
  if (f.unityLine) {
    const int y = legendRow(curves.size());
    DrawDashed(bm, lx, y, lx + 22, y, kUnity);
    legend.Draw(bm, "1:1", lx + 30, y - 10, f.width, y + 10, DT_VCENTER);
  }
}

bool DrawResponseInto(quenbar::AtomicFile* file, const std::string& path, const PlotFrame& frame,
                      const std::vector<Curve>& curves, std::string* error) {
  if (!CheckFrame(frame, error)) return false;
  Raster_MemBitmap bm;
  DrawResponse(frame, curves, &bm);
  if (bm.getWidth() != frame.width || bm.getHeight() != frame.height) {
    *error = "cannot allocate a " + std::to_string(frame.width) + "x" +
             std::to_string(frame.height) + " picture";
    return false;
  }
  if (!file->Open(path, error)) return false;
  // The PNG goes into the temporary file; the caller's commit makes it visible.
  if (!Raster_WritePNG(file->TempPath().c_str(), &bm)) {
    *error = "cannot write " + path + ": PNG encoding or writing failed";
    file->Discard();
    return false;
  }
  return true;
}

bool WriteResponsePng(const std::string& path, const PlotFrame& frame,
                      const std::vector<Curve>& curves, std::string* error) {
  quenbar::AtomicFile file;
  return DrawResponseInto(&file, path, frame, curves, error) && file.Commit(error);
}

}  // namespace quenbarresponse
