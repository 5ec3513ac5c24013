// The editor's six images, drawn with the raster library. Each function sizes `out`
// itself and returns false, with *error set, when a bitmap or the font cannot be had.
// One thread at a time (the cached fonts share the library's scratch bitmaps under its
// own lock); the caller owns every bitmap.
#pragma once

#include <string>

#include "raster/raster.h"
#include "tools/artwork/layout.h"

namespace artwork {

// 732 x 208: the panel with the product's name, its maker and each control's label.
bool DrawPanel(Raster_IBitmap* out, std::string* error);
// kKnobFrames square frames stacked downward; frame k shows the value k / 60.
bool DrawKnobStrip(const KnobArt& knob, Raster_IBitmap* out, std::string* error);
// Two frames stacked downward: not bypassed, then bypassed.
bool DrawSwitchStrip(const SwitchArt& sw, Raster_IBitmap* out, std::string* error);
// The panel as the editor shows it: every knob at `frame`, the switch off below the
// middle frame and on above it, each blended with its alpha at its place.
bool ComposePreview(Raster_IBitmap* panel, Raster_IBitmap* const knobs[4], Raster_IBitmap* bypass,
                    int frame, Raster_IBitmap* out, std::string* error);

// Pointer angle in radians (0 up, clockwise) of a normalised value.
float PointerAngle(float value);

}  // namespace artwork
