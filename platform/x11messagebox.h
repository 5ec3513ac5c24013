// The editor's message box: a small modal dialog window of ours with a
// header, a wrapped message and up to three buttons, run until the user
// answers or the window manager closes it.
// Threads: UI thread only (the display's). Ownership: the display, the host
// and the graphics are the caller's; the box's window lives inside the call.
#pragma once

#include <X11/Xlib.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/x11modal.h"

class IGraphics;

// The buttons of a box type, default first: 4 Yes/No, 3 Yes/No/Cancel,
// 1 OK/Cancel, anything else OK.
struct X11MessageBoxButtons
{
  int count;
  const char* labels[3];
  // By position: default 1, alternate 7, other 2; 0 for no button.
  int Result(int index) const
  {
    static const int kResults[3] = {1, 7, 2};
    return index >= 0 && index < count ? kResults[index] : 0;
  }
  // Escape answers with the last button.
  int Escape() const { return count - 1; }
};
X11MessageBoxButtons X11_MessageBoxButtons(int type);

// The box's geometry: the buttons in a row along the bottom, kPad from the
// edges and kGap apart, the default on the right and the others to its left
// in order, each kButtonH high and at least kButtonMinW wide.
struct X11MessageBoxMetrics
{
  static const int kPad = 16, kGap = 8, kButtonH = 26, kButtonMinW = 80;
};

// text broken into lines no wider than maxWidth by width(): at "\n", else
// at the last space that fits, else inside a word too long for a line (at a
// character boundary). At most maxLines; a longer text ends in "…".
std::vector<std::string> X11_WrapText(const char* text, int maxWidth, const std::function<int(const std::string&)>& width,
                                      int maxLines);

// Shows the box on display, centred over owner's top-level window (0: over
// the screen) and transient for it, and waits for the answer: the pressed
// button's result, 0 when it was closed without one, could not be shown or
// host stopped being alive. host is the editor window when display is its
// connection (it gets the events that are not the box's and ticks), else
// null. graphics supplies the fonts.
int X11_ShowMessageBox(IGraphics* graphics, Display* display, Window owner, X11ModalHost* host, const char* text,
                       const char* caption, int type);
