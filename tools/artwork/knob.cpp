// The rotary knobs: a recessed value groove lit in the accent colour up to the value, a
// knurled skirt that turns with the pointer, and a dished cap carrying the pointer.
// The light comes from above and does not turn: only the knurls and the pointer move.
#include <cmath>

#include "tools/artwork/art.h"
#include "tools/artwork/hires.h"
#include "tools/artwork/palette.h"

namespace artwork {

namespace {

constexpr float kPi = 3.14159265f;
constexpr int kKnurls = 36;

void Shadow(HiRes& h, const KnobGeometry& g) {
  // Black only: over transparent pixels anything else would reduce to a darker fringe.
  for (int i = 0; i < 6; ++i)
    h.Disc(g.centre, g.centre + 2.0f, g.bodyRadius + 3.0f - (float)i * 0.6f, kBlack, 0.09f);
}

void Groove(HiRes& h, const KnobGeometry& g, const KnobArt& knob, float angle) {
  const float end = PointerAngle(1.0f);
  h.ArcStroke(g.centre, g.centre, g.arcRadius, -end, end, g.arcWidth, kTrack);
  const float from = knob.arcFrom == ArcFrom::kCentre ? 0.0f : -end;
  const float a0 = std::fmin(from, angle), a1 = std::fmax(from, angle);
  if (a1 - a0 < 1e-3f) return;
  const float lit = g.arcWidth * 0.62f;
  h.ArcStroke(g.centre, g.centre, g.arcRadius, a0, a1, lit, kAccent);
}

void Body(HiRes& h, const KnobGeometry& g, float angle) {
  const float c = g.centre;
  h.Disc(c, c, g.bodyRadius, Rgb(10, 9, 9));
  h.ShadedDisc(c, c, g.bodyRadius - 0.8f, Rgb(30, 28, 27), Rgb(96, 92, 87), 0.0f,
               -g.bodyRadius * 0.45f);
  // Specular edge at the top: shorter and brighter arcs laid over each other.
  for (int j = 0; j < 5; ++j) {
    const float span = (0.95f - 0.16f * (float)j);
    h.ArcStroke(c, c, g.bodyRadius - 1.3f, -span, span, 0.9f,
                Mix(Rgb(70, 67, 63), Rgb(150, 144, 136), (float)j / 4.0f));
  }
  // Knurls: a lit and a shaded hairline per ridge, between the cap and the rim.
  const float r0 = g.capRadius + 1.5f, r1 = g.bodyRadius - 1.6f;
  for (int i = 0; i < kKnurls; ++i) {
    const float a = angle + 2.0f * kPi * (float)i / (float)kKnurls;
    const float s = std::sin(a), co = std::cos(a);
    const float lit = 0.5f + 0.5f * std::cos(a);  // ridges facing up catch more light
    h.Hairline(c + r0 * s, c - r0 * co, c + r1 * s, c - r1 * co, Rgb(150, 144, 136), 0.10f + 0.22f * lit);
    const float b = a + 0.035f;
    const float sb = std::sin(b), cb = std::cos(b);
    h.Hairline(c + r0 * sb, c - r0 * cb, c + r1 * sb, c - r1 * cb, kBlack, 0.45f);
  }
}

void Cap(HiRes& h, const KnobGeometry& g, float angle) {
  const float c = g.centre;
  h.Disc(c, c, g.capRadius + 1.0f, Rgb(16, 15, 14));
  // Lighter towards the bottom: a dished face under light from above.
  h.ShadedDisc(c, c, g.capRadius, Rgb(44, 42, 40), Rgb(70, 66, 63), 0.0f, g.capRadius * 0.3f);
  const float s = std::sin(angle), co = std::cos(angle);
  const float r0 = g.capRadius * 0.30f, r1 = g.capRadius - 2.2f;
  const float w = g.centre * 0.065f;
  h.Stroke(c + r0 * s, c - r0 * co, c + r1 * s, c - r1 * co, w, kPointer);
}

}  // namespace

float PointerAngle(float value) {
  return (value - 0.5f) * kSweepDegrees * kPi / 180.0f;
}

bool DrawKnobStrip(const KnobArt& knob, Raster_IBitmap* out, std::string* error) {
  const int s = knob.size;
  out->resize(s, s * kKnobFrames);
  HiRes h(s, s, kTrack);
  if (out->getWidth() != s || out->getHeight() != s * kKnobFrames || !h.Ok()) {
    *error = std::string("cannot allocate the bitmaps for ") + knob.file;
    return false;
  }
  const KnobGeometry g = GeometryFor(s);
  for (int k = 0; k < kKnobFrames; ++k) {
    const float angle = PointerAngle((float)k / (float)(kKnobFrames - 1));
    h.Clear(kTrack & 0x00FFFFFFu);
    Shadow(h, g);
    Groove(h, g, knob, angle);
    Body(h, g, angle);
    Cap(h, g, angle);
    h.ReduceInto(out, 0, k * s);
  }
  return true;
}

}  // namespace artwork
