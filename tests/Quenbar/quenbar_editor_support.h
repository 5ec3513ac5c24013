#pragma once
// The effect with its editor, hosted in this program through the host
// library as a host would host it: for the editor's wiring tests.

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Quenbar/Quenbar.h"
#include "graphics/IGraphics.h"
#include "raster/bitmap.h"
#include "tools/host/paramchanges.h"
#include "tools/host/plugin.h"

namespace qeditor
{

struct HostedQuenbar
{
  Quenbar* effect = new Quenbar(IPluginInstanceInfo());
  vst3host::Plugin plugin;
  IGraphics* g = nullptr;

  HostedQuenbar()
  {
    std::string error;
    EXPECT_TRUE(plugin.Adopt(static_cast<Steinberg::Vst::IComponent*>(effect), nullptr, &error)) << error;
    g = dynamic_cast<IGraphics*>(effect->GetGraphics());
    vst3host::ProcessSettings settings;
    settings.maxBlock = 256;
    EXPECT_TRUE(plugin.Start(settings, &error)) << error;
  }
  ~HostedQuenbar() { plugin.Destroy(); }

  // One block of a steady test signal with the given parameter changes; the
  // left and right outputs are appended to out when given.
  void Block(vst3host::ParameterChanges* changes, std::vector<float>* out = nullptr)
  {
    std::vector<float> l(256), r(256), ol(256), orr(256);
    for (int i = 0; i < 256; ++i)
    {
      l[(size_t)i] = 0.5f * (float)((i % 50) - 25) / 25.f;
      r[(size_t)i] = -l[(size_t)i];
    }
    void* ins[2] = {l.data(), r.data()};
    void* outs[2] = {ol.data(), orr.data()};
    std::string error;
    EXPECT_TRUE(plugin.Process(ins, outs, 256, changes, &error)) << error;
    if (out)
    {
      out->insert(out->end(), ol.begin(), ol.end());
      out->insert(out->end(), orr.begin(), orr.end());
    }
  }

  // Paints the whole panel, as the window's first frame does.
  Raster_IBitmap* PaintAll()
  {
    IRECT all(0, 0, g->Width(), g->Height());
    g->SetAllControlsDirty();
    g->Draw(&all);
    return g->GetDrawBitmap();
  }
};

inline Raster_Pixel PixelAt(Raster_IBitmap* bm, int x, int y)
{
  return bm->getBits()[(size_t)y * (size_t)bm->getRowSpan() + (size_t)x];
}

} // namespace qeditor
