// The whole panel as the editor paints it: background copied, then each control's frame
// blended with its own alpha at the control's place, in the editor's attach order.
#include "tools/artwork/art.h"

namespace artwork {

bool ComposePreview(Raster_IBitmap* panel, Raster_IBitmap* const knobs[4], Raster_IBitmap* bypass,
                    int frame, Raster_IBitmap* out, std::string* error) {
  Raster_Copy(out, panel);
  if (out->getWidth() != panel->getWidth() || out->getHeight() != panel->getHeight()) {
    *error = "cannot allocate the preview";
    return false;
  }
  for (int i = 0; i < 4; ++i) {
    const KnobArt& k = kKnobs[i];
    Raster_Blit(out, knobs[i], k.left, k.top, 0, frame * k.size, k.size, k.size, 1.0f,
                RASTER_MODE_COPY | RASTER_MODE_SOURCEALPHA);
  }
  const int state = frame > (kKnobFrames - 1) / 2 ? 1 : 0;
  Raster_Blit(out, bypass, kBypass.left, kBypass.top, 0, state * kBypass.height, kBypass.width,
              kBypass.height, 1.0f, RASTER_MODE_COPY | RASTER_MODE_SOURCEALPHA);
  return true;
}

}  // namespace artwork
