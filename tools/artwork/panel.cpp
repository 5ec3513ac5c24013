// The background: a warm charcoal plate under a darker title strip, a scale of ticks
// around each knob, corner screws, and every word of the panel. The knobs' and the
// switch's own images carry no text, so the labels here are the only ones.
#include <cmath>

#include "tools/artwork/art.h"
#include "tools/artwork/hires.h"
#include "tools/artwork/palette.h"
#include "tools/artwork/text.h"

namespace artwork {

namespace {

constexpr int kHeaderHeight = 30;

void Plate(HiRes& h) {
  h.VerticalGradient(0, kHeaderHeight, kPanelWidth, kPanelHeight - kHeaderHeight, kPanelTop,
                     kPanelBottom);
  h.VerticalGradient(0, 0, kPanelWidth, kHeaderHeight, kHeaderTop, kHeaderBottom);
  h.Rect(0, kHeaderHeight, kPanelWidth, 1, kEdgeDark);
  // Opaque colours only: a fill at part opacity would thin the panel's alpha as well.
  h.Rect(0, kHeaderHeight + 1, kPanelWidth, 1, Mix(kPanelTop, kEdgeLight, 0.55f));
  // Frame: a dark outer line and a faint lit one inside it at the top.
  h.Rect(0, 0, kPanelWidth, 1, kEdgeDark);
  h.Rect(0, kPanelHeight - 1, kPanelWidth, 1, kEdgeDark);
  h.Rect(0, 0, 1, kPanelHeight, kEdgeDark);
  h.Rect(kPanelWidth - 1, 0, 1, kPanelHeight, kEdgeDark);
  h.Rect(1, 1, kPanelWidth - 2, 1, Mix(kHeaderTop, kEdgeLight, 0.35f));
}

// A knob's scale: a tick every tenth; the ends and, where the arc starts from the middle,
// the centre stand out.
void Ticks(HiRes& h, const KnobArt& k) {
  const KnobGeometry g = GeometryFor(k.size);
  const float cx = k.left + g.centre, cy = k.top + g.centre;
  for (int i = 0; i < kTicks; ++i) {
    const float a = PointerAngle((float)i / (float)(kTicks - 1));
    const bool end = i == 0 || i == kTicks - 1;
    const bool centre = k.arcFrom == ArcFrom::kCentre && i == kTicks / 2;
    const float r0 = centre ? g.tickInner - 1.0f : g.tickInner;
    const Raster_Pixel c = centre ? kAccent : (end ? kTextLabel : kTextDim);
    const float s = std::sin(a), co = std::cos(a);
    h.Stroke(cx + r0 * s, cy - r0 * co, cx + g.tickOuter * s, cy - g.tickOuter * co,
             end || centre ? 1.6f : 1.3f, c);
  }
}

void Screw(HiRes& h, float cx, float cy) {
  h.Disc(cx, cy + 0.5f, 4.8f, kEdgeDark);
  h.ShadedDisc(cx, cy, 4.2f, Rgb(62, 58, 54), Rgb(132, 126, 118), 0.0f, -1.5f);
  const float a = 0.7f;  // slots at a fixed, slightly turned angle
  const float dx = 3.0f * std::cos(a), dy = 3.0f * std::sin(a);
  h.Stroke(cx - dx, cy - dy, cx + dx, cy + dy, 1.1f, Rgb(30, 28, 26));
}

void Screws(HiRes& h) {
  const float y0 = kHeaderHeight / 2.0f, y1 = kPanelHeight - 12.0f;
  Screw(h, 13.0f, y0);
  Screw(h, kPanelWidth - 13.0f, y0);
  Screw(h, 13.0f, y1);
  Screw(h, kPanelWidth - 13.0f, y1);
}

bool Words(Raster_IBitmap* bm, std::string* error) {
  Lettering initial(20, true, kAccent), name(20, true, kTextBright), maker(12, false, kTextDim);
  Lettering tag(9, false, kTextDim), label(11, true, kTextLabel), range(9, false, kTextDim);
  Lettering small(9, true, kTextLabel);
  if (!initial.Ok() || !name.Ok() || !maker.Ok() || !tag.Ok() || !label.Ok() || !range.Ok() ||
      !small.Ok()) {
    *error = "no font could be loaded (fonts-dejavu-core provides DejaVu Sans)";
    return false;
  }
  // The product's name with its initial in the accent colour.
  initial.Left(bm, "Q", 31, 3);
  const int rest = 31 + initial.Width("Q", 0) + 1;
  name.Left(bm, "uenbar", rest, 3, 1);
  const int nameRight = rest + name.Width("uenbar", 1);
  tag.Left(bm, "SATURATION  \xC2\xB7  TILT", nameRight + 14, 13, 2);
  maker.Right(bm, "Tressivolantica", kPanelWidth - 31, 8, 1);

  for (const KnobArt& k : kKnobs) {
    const KnobGeometry g = GeometryFor(k.size);
    const int cx = k.left + (int)g.centre;
    label.Centred(bm, k.label, cx, kLabelTop, 2);
    // Range ends just below the end ticks, at -135 and +135 degrees.
    const float end = PointerAngle(1.0f);
    const float ex = g.tickOuter * std::sin(end), ey = -g.tickOuter * std::cos(end);
    const int top = k.top + (int)(g.centre + ey) + 5;
    range.Centred(bm, k.minText, (int)std::lround(k.left + g.centre - ex), top);
    range.Centred(bm, k.maxText, (int)std::lround(k.left + g.centre + ex), top);
  }
  small.Centred(bm, kBypass.label, kBypass.left + kBypass.width / 2, kBypass.top + kBypass.height + 2, 2);
  return true;
}

}  // namespace

bool DrawPanel(Raster_IBitmap* out, std::string* error) {
  out->resize(kPanelWidth, kPanelHeight);
  HiRes h(kPanelWidth, kPanelHeight);
  if (out->getWidth() != kPanelWidth || out->getHeight() != kPanelHeight || !h.Ok()) {
    *error = "cannot allocate the panel's bitmaps";
    return false;
  }
  Plate(h);
  for (const KnobArt& k : kKnobs) Ticks(h, k);
  Screws(h);
  h.ReduceInto(out, 0, 0);
  return Words(out, error);
}

}  // namespace artwork
