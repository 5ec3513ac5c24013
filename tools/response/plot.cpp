#include "tools/response/plot.h"

#include <cmath>
#include <cstdio>

#include "raster/raster.h"
#include "tools/quenbar/atomicfile.h"

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
    Raster_RGBA(170, 130, 255, 255)};

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
void DrawGrid(Raster_IBitmap* bm, const Area& a) {
  for (double decade = 10.0; decade <= a.maxHz; decade *= 10.0) {
    for (int k = 1; k <= 9; ++k) {
      const double hz = decade * k;
      if (hz < a.minHz || hz > a.maxHz) continue;
      const int x = static_cast<int>(std::lround(a.X(hz)));
      Raster_Line(bm, x, a.top, x, a.bottom, k == 1 ? kGridMajor : kGridMinor, 1.0f,
                  RASTER_MODE_COPY, false);
    }
  }
  for (double db = a.minDb; db <= a.maxDb + 1e-9; db += 6.0) {
    const int y = static_cast<int>(std::lround(a.Y(db)));
    Raster_Line(bm, a.left, y, a.right, y, std::fabs(db) < 1e-9 ? kZeroLine : kGridMajor, 1.0f,
                RASTER_MODE_COPY, false);
  }
}

void DrawCurve(Raster_IBitmap* bm, const Area& a, const Curve& c, Raster_Pixel color) {
  const size_t n = std::min(c.freqs.size(), c.gainDb.size());
  auto clampY = [&](double db) {
    const double y = a.Y(db);
    return y < a.top ? a.top : (y > a.bottom ? a.bottom : y);
  };
  for (size_t i = 1; i < n; ++i) {
    const int x1 = static_cast<int>(std::lround(a.X(c.freqs[i - 1])));
    const int y1 = static_cast<int>(std::lround(clampY(c.gainDb[i - 1])));
    const int x2 = static_cast<int>(std::lround(a.X(c.freqs[i])));
    const int y2 = static_cast<int>(std::lround(clampY(c.gainDb[i])));
    // Two offset passes give a line heavy enough to read against the grid.
    Raster_Line(bm, x1, y1, x2, y2, color, 1.0f, RASTER_MODE_COPY, true);
    Raster_Line(bm, x1, y1 + 1, x2, y2 + 1, color, 0.6f, RASTER_MODE_COPY, true);
  }
}

}  // namespace

double PlotArea::X(double hz) const {
  return left + (right - left) * std::log(hz / minHz) / std::log(maxHz / minHz);
}

double PlotArea::Y(double db) const {
  return top + (bottom - top) * (maxDb - db) / (maxDb - minDb);
}

PlotArea LayoutFor(const PlotFrame& f) {
  return {52, 34, f.width - kLegendWidth - 14, f.height - 34, f.minHz, f.maxHz, f.minDb, f.maxDb};
}

void DrawResponse(const PlotFrame& f, const std::vector<Curve>& curves, Raster_IBitmap* bm) {
  bm->resize(f.width, f.height);
  Raster_Clear(bm, kBackground);
  const Area a = LayoutFor(f);
  Raster_FillRect(bm, a.left, a.top, a.right - a.left + 1, a.bottom - a.top + 1, kPlotFill, 1.0f,
                  RASTER_MODE_COPY);
  DrawGrid(bm, a);
  Raster_DrawRect(bm, a.left, a.top, a.right - a.left, a.bottom - a.top, kGridMajor, 1.0f,
                  RASTER_MODE_COPY);

  Font title(16, FW_BOLD, kText);
  title.Draw(bm, f.title.c_str(), a.left, 6, a.right, a.top - 4, DT_CENTER | DT_VCENTER);

  Font small(11, FW_NORMAL, kDimText);
  char buf[32];
  for (double db = f.minDb; db <= f.maxDb + 1e-9; db += 6.0) {
    const int y = static_cast<int>(std::lround(a.Y(db)));
    std::snprintf(buf, sizeof(buf), "%+.0f", db);
    small.Draw(bm, std::fabs(db) < 1e-9 ? "0" : buf, 0, y - 8, a.left - 6, y + 8,
               DT_RIGHT | DT_VCENTER);
  }
  small.Draw(bm, "dB", 4, 6, a.left, a.top - 12, DT_LEFT | DT_VCENTER);
  const struct {
    double hz;
    const char* text;
  } ticks[] = {{20, "20"}, {50, "50"}, {100, "100"}, {200, "200"}, {500, "500"}, {1000, "1k"},
               {2000, "2k"}, {5000, "5k"}, {10000, "10k"}, {20000, "20k"}};
  for (const auto& t : ticks) {
    if (t.hz < f.minHz || t.hz > f.maxHz) continue;
    const int x = static_cast<int>(std::lround(a.X(t.hz)));
    small.Draw(bm, t.text, x - 20, a.bottom + 3, x + 20, a.bottom + 17, DT_CENTER | DT_VCENTER);
  }
  small.Draw(bm, "Frequency (Hz)", a.left, a.bottom + 16, a.right, f.height - 1,
             DT_CENTER | DT_VCENTER);

  Font legend(12, FW_NORMAL, kText);
  const int lx = a.right + 14;
  small.Draw(bm, "Mix 1, Snap 0, 48 kHz", lx - 4, a.top - 20, f.width, a.top - 4, DT_VCENTER);
  for (size_t i = 0; i < curves.size(); ++i) {
    const Raster_Pixel color = kCurveColors[i % 5];
    DrawCurve(bm, a, curves[i], color);
    const int y = a.top + 12 + static_cast<int>(i) * 22;
    Raster_FillRect(bm, lx, y - 1, 22, 3, color, 1.0f, RASTER_MODE_COPY);
    legend.Draw(bm, curves[i].label.c_str(), lx + 30, y - 10, f.width, y + 10, DT_VCENTER);
  }
}

bool WriteResponsePng(const std::string& path, const PlotFrame& frame,
                      const std::vector<Curve>& curves, std::string* error) {
  Raster_MemBitmap bm;
  DrawResponse(frame, curves, &bm);
  if (bm.getWidth() != frame.width || bm.getHeight() != frame.height) {
    *error = "cannot allocate a " + std::to_string(frame.width) + "x" +
             std::to_string(frame.height) + " picture";
    return false;
  }
  quenbar::AtomicFile file;
  if (!file.Open(path, error)) return false;
  // The PNG goes into the temporary file; the rename makes it visible.
  if (!Raster_WritePNG(file.TempPath().c_str(), &bm)) {
    *error = "cannot write " + path + ": PNG encoding or writing failed";
    return false;
  }
  return file.Commit(error);
}

}  // namespace quenbarresponse
