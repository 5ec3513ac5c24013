#include "Quenbar/QuenbarEditor.h"

#include "Quenbar/Quenbar.h"
#include "Quenbar/QuenbarIdentity.h"
#include "graphics/IControlBitmaps.h"
#include "graphics/IControlKnobs.h"
#include "platform/IGraphicsLinux.h"

IGraphics* MakeGraphics(IPluginVST3* plug, int width, int height, int fps)
{
  auto* graphics = new IGraphicsLinux(plug, width, height, fps);
  graphics->SetBundleID(QuenbarIdentity::kBundleID);
  return graphics;
}

void AttachQuenbarEditor(IPluginVST3* plug)
{
  using namespace QuenbarEditor;
  IGraphics* g = MakeGraphics(plug, kWidth, kHeight, 0);
  g->AttachBackground(kBackgroundID, "resources/img/BG.png");

  struct Knob
  {
    int id;
    const char* file;
    int x, y, param;
  };
  // Attach order follows the parameters; left to right the panel reads
  // Mix, Tone, Bypass, Snap, Level.
  const Knob knobs[] = {
    {kLevelID, "resources/img/OUT.png", 553, 35, Quenbar::kLevel},
    {kMixID, "resources/img/MIX.png", 31, 35, Quenbar::kMix},
    {kToneID, "resources/img/TONE.png", 233, 57, Quenbar::kTone},
    {kSnapID, "resources/img/SNAP.png", 391, 57, Quenbar::kSnap},
  };
  for (const Knob& k : knobs)
  {
    IBitmap strip = g->LoadIBitmap(k.id, k.file, 61);
    g->AttachControl(new IKnobMultiControl(plug, k.x, k.y, k.param, &strip));
  }
  IBitmap bypass = g->LoadIBitmap(kBypassID, "resources/img/BY.png", 2);
  g->AttachControl(new ISwitchControl(plug, 338, 165, Quenbar::kBypass, &bypass));

  plug->AttachGraphics(g);
}
