// quenbar snapshot: the effect built with its editor inside this program,
// set as a host would set it, and its whole panel painted into a PNG.
#include <cstdio>
#include <string>
#include <vector>

#include "Quenbar/Quenbar.h"
#include "graphics/IGraphics.h"
#include "raster/png.h"
#include "tools/host/paramchanges.h"
#include "tools/host/plugin.h"
#include "tools/quenbar/atomicfile.h"
#include "tools/quenbar/commands.h"
#include "tools/quenbar/settings.h"

namespace quenbar {

namespace {

int Fail(const std::string& message) {
  std::fprintf(stderr, "quenbar: %s\n", message.c_str());
  return 1;
}

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
  if (!o.stateIn.empty() && !plugin.LoadState(state, &error))
    return Fail("state " + o.stateIn + ": the plug-in refused it (not a state of this plug-in, or damaged)");

  std::vector<std::pair<Steinberg::Vst::ParamID, double>> values;
  if (!ResolveParameters(o, plugin, &values, &error)) return Fail(error);
  // The values reach the editor as a host's automation does: in one block.
  vst3host::ParameterChanges changes;
  for (const auto& v : values)
    if (!changes.Add(v.first, 0, v.second)) return Fail("internal: parameter queue full");
  vst3host::ProcessSettings settings;
  settings.maxBlock = 64;
  if (!plugin.Start(settings, &error)) return Fail(error);
  std::vector<float> silence(64, 0.f), outL(64), outR(64);
  void* ins[2] = {silence.data(), silence.data()};
  void* outs[2] = {outL.data(), outR.data()};
  const bool processed = plugin.Process(ins, outs, 64, &changes, &error);
  plugin.Stop();
  if (!processed) return Fail(error);

  IGraphics* g = dynamic_cast<IGraphics*>(effect->GetGraphics());
  if (!PaintEditor(g, &error)) return Fail(error);
  if (!Raster_WritePNG(file.TempPath().c_str(), g->GetDrawBitmap()))
    return Fail("cannot write " + o.output);
  if (!file.Commit(&error)) return Fail(error);
  std::fprintf(out, "wrote %s: %dx%d editor picture\n", o.output.c_str(), g->Width(), g->Height());
  return 0;
}

}  // namespace quenbar
