// The Bypass switch: a slide toggle in a dark slot. Off (processing): the thumb rests
// left beside an unlit lamp. On (bypassed): the slot glows in the accent colour and the
// thumb sits right, so the state reads at a glance.
#include "tools/artwork/art.h"
#include "tools/artwork/hires.h"
#include "tools/artwork/palette.h"

namespace artwork {

namespace {

void Frame(HiRes& h, const SwitchArt& sw, bool on) {
  const float mid = sw.height / 2.0f;
  const float r = mid - 3.0f;  // slot half-height
  const float x0 = r + 4.0f, x1 = sw.width - r - 4.0f;
  h.Stroke(x0, mid + 1.0f, x1, mid + 1.0f, 2.0f * r + 2.0f, kBlack);  // bezel, heavier below
  h.Stroke(x0, mid, x1, mid, 2.0f * r + 1.0f, Rgb(8, 8, 7));
  if (on) {
    h.Stroke(x0, mid, x1, mid, 2.0f * r - 1.0f, kAccentDeep);
    h.Stroke(x0, mid - 0.6f, x1, mid - 0.6f, 2.0f * r - 4.0f, kAccent);
  } else {
    h.Stroke(x0, mid, x1, mid, 2.0f * r - 1.0f, Rgb(26, 24, 23));
    // The unlit lamp where the thumb will go.
    h.Disc(x1, mid, 2.6f, Rgb(70, 44, 24));
    h.Disc(x1, mid - 0.4f, 1.6f, Rgb(96, 60, 30));
  }
  const float tx = on ? x1 : x0, tr = r - 1.8f;
  h.Disc(tx, mid + 0.8f, tr + 0.8f, Rgb(6, 6, 6));
  h.ShadedDisc(tx, mid, tr, Rgb(120, 114, 106), Rgb(236, 230, 220), 0.0f, -tr * 0.4f);
  h.Disc(tx, mid, tr * 0.35f, on ? Rgb(196, 188, 176) : Rgb(176, 168, 158));
}

}  // namespace

bool DrawSwitchStrip(const SwitchArt& sw, Raster_IBitmap* out, std::string* error) {
  out->resize(sw.width, sw.height * 2);
  HiRes h(sw.width, sw.height, kBlack);
  if (out->getWidth() != sw.width || out->getHeight() != sw.height * 2 || !h.Ok()) {
    *error = std::string("cannot allocate the bitmaps for ") + sw.file;
    return false;
  }
  for (int state = 0; state < 2; ++state) {
    h.Clear(0);
    Frame(h, sw, state == 1);
    h.ReduceInto(out, 0, state * sw.height);
  }
  return true;
}

}  // namespace artwork
