// quenbar snapshot: the effect built with its editor inside this program,
// set as a host would set it, and its whole panel painted into a PNG.
#include <cstdio>
#include <string>
#include <vector>

#include "Quenbar/Quenbar.h"
#include "graphics/IGraphics.h"
#include "raster/png.h"
#include "tools/host/plugin.h"
#include "tools/quenbar/atomicfile.h"
#include "tools/quenbar/commands.h"
#include "tools/quenbar/settings.h"

namespace quenbar {

namespace {

// Every control painted into the editor's drawing bitmap.
bool PaintEditor(IGraphics* g, std::string* error) {
  if (!g) {
    *error = "the plug-in has no editor";
    return false;
  }
  IRECT all(0, 0, g->Width(), g->Height());
  g->SetAllControlsDirty();
  // There is no window to present to: Draw paints the bitmap and only the
  // presentation is refused.
  g->Draw(&all);
  if (!g->GetDrawBitmap()) {
    *error = "the editor could not make its drawing bitmap";
    return false;
  }
  return true;
}

}  // namespace

int RunSnapshot(const Options& o, FILE* out) {
  std::string error;
  std::vector<uint8_t> state;
  if (!o.stateIn.empty() && !ReadStateFile(o.stateIn, &state, &error)) return Fail(error);
  AtomicFile file;
  if (!file.Open(o.output, &error)) return Fail(error);

  auto* effect = new Quenbar(IPluginInstanceInfo());
  vst3host::Plugin plugin;
  if (!plugin.Adopt(static_cast<Steinberg::Vst::IComponent*>(effect), nullptr, &error)) return Fail(error);
  if (!ApplySettings(o, state, plugin, &error)) return Fail(error);

  IGraphics* g = dynamic_cast<IGraphics*>(effect->GetGraphics());
  if (!PaintEditor(g, &error)) return Fail(error);
  if (!Raster_WritePNG(file.TempPath().c_str(), g->GetDrawBitmap()))
    return Fail("cannot write " + o.output);
  if (!file.Commit(&error)) return Fail(error);
  std::fprintf(out, "wrote %s: %dx%d editor picture\n", o.output.c_str(), g->Width(), g->Height());
  return 0;
}

}  // namespace quenbar
