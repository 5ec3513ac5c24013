// Reading back what a window shows, as a host checks an editor's frames:
// XGetImage on the host's own connection. Host main thread.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <vector>

namespace vst3host {

// The w x h pixels at (x, y) of window as 0xFFRRGGBB, row by row, decoded
// with the image's colour masks. False (and *pixels empty) when the window
// is gone, not viewable or the area is not on screen: the X error is caught
// here, not by the process's handler.
bool GrabWindow(Display* display, Window window, int x, int y, int w, int h, std::vector<uint32_t>* pixels);

// Whether every pixel is the same (true for none).
bool AllOneColour(const std::vector<uint32_t>& pixels);

}  // namespace vst3host
