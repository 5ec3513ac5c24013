#pragma once
// The effect's editor: a 732 x 208 bitmap panel with four film-strip knobs
// and a two-state bypass switch.

class IGraphics;
class IPluginVST3;

namespace QuenbarEditor
{
constexpr int kWidth = 732;
constexpr int kHeight = 208;

// Resource identifiers of the panel's images; each names its own image in
// the process-wide bitmap cache.
enum EImage
{
  kBackgroundID = 101,
  kBypassID = 102,
  kMixID = 103,
  kLevelID = 104,
  kSnapID = 105,
  kToneID = 106
};
} // namespace QuenbarEditor

// The platform graphics object for plug, with the module's bundle identifier
// set so its images are found. The caller owns the result (AttachGraphics
// takes it). Whatever thread constructs the plug-in.
IGraphics* MakeGraphics(IPluginVST3* plug, int width, int height, int fps);

// Builds the panel (background, then the Level, Mix, Tone and Snap knobs and
// the Bypass switch, in that order) and hands it to plug with AttachGraphics.
// Called once by the effect's constructor.
void AttachQuenbarEditor(IPluginVST3* plug);
