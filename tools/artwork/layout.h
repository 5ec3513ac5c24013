// Where the editor's controls sit and what their images hold: the sizes chosen here
// give each control's rectangle (left, top, left + width, top + height / frames) and
// the panel's labels are placed from the same numbers, so art and labels never part.
// Header-only constants; any thread.
#pragma once

namespace artwork {

constexpr int kPanelWidth = 732;
constexpr int kPanelHeight = 208;
constexpr int kKnobFrames = 61;

// Where a knob's value arc starts: at its minimum, or at 12 o'clock for controls
// whose middle is neutral (Level 0 dB, Tone's default 0.75).
enum class ArcFrom { kMinimum, kCentre };

struct KnobArt {
  const char* file;
  int left, top, size;  // square frames
  const char* label;
  const char* minText;
  const char* maxText;
  ArcFrom arcFrom;
};

constexpr KnobArt kKnobs[] = {
    {"MIX.png", 31, 35, 120, "MIX", "DRY", "WET", ArcFrom::kMinimum},
    {"OUT.png", 553, 35, 120, "LEVEL", "-15 dB", "+15 dB", ArcFrom::kCentre},
    {"TONE.png", 233, 57, 96, "TONE", "DARK", "BRIGHT", ArcFrom::kCentre},
    {"SNAP.png", 391, 57, 96, "SNAP", "0 dB", "30 dB", ArcFrom::kMinimum},
};

struct SwitchArt {
  const char* file;
  int left, top, width, height;  // one frame; the strip holds two
  const char* label;
};

constexpr SwitchArt kBypass = {"BY.png", 338, 165, 56, 26, "BYPASS"};

// The pointer sweeps 270 degrees: -135 at the minimum, +135 at the maximum, 0 up.
constexpr float kSweepDegrees = 270.0f;

// Every knob's geometry follows from its frame size, so both sizes share one look.
struct KnobGeometry {
  float centre;      // of the square frame
  float arcRadius;   // middle of the value arc
  float arcWidth;
  float bodyRadius;  // knurled skirt
  float capRadius;   // top face that carries the pointer
  float tickInner;   // scale ticks, drawn on the panel around the knob
  float tickOuter;
};

constexpr KnobGeometry GeometryFor(int size) {
  return {size / 2.0f,   size * 0.43f,  size * 0.04f,  size * 0.355f,
          size * 0.27f,  size * 0.472f, size * 0.496f};
}

// Scale ticks: one every tenth of the range.
constexpr int kTicks = 11;

// Label rows of the panel, shared by all knobs so the names line up.
constexpr int kLabelTop = 159;
constexpr int kLabelHeight = 14;

}  // namespace artwork
