// Turning X11 input into the core's terms: modifiers, key codes and double
// clicks. Pure functions of the event fields, so they are tested without a
// server. UI thread.
#pragma once

#include "graphics/IGraphicsStructs.h"

// Modifiers of a pointer event: state is the event's modifier and button mask
// (as the server reports it, before this event), button the button pressed or
// released (0 for motion). L and R follow the button for presses and releases,
// the held buttons otherwise; S, C, A come from Shift, Control and Mod1.
IMouseMod X11_MouseMod(unsigned int state, unsigned int button);

// The core's key code (EIGraphicsKey) for a keysym, or -1 when the core has
// no code for it: arrows, space, digits, letters regardless of case.
int X11_KeyCode(unsigned long keysym);

// Tells a double click from two clicks: a second press of the left button
// within 400 ms and 4 pixels (either way) of the first. A detected double
// click is not the first press of the next one.
class X11ClickTracker
{
public:
  static const unsigned long kMaxMs = 400;
  static const int kMaxDistance = 4;

  // Every button press in order; true when this one completes a double click.
  bool Press(unsigned int button, unsigned long timeMs, int x, int y);

private:
  bool mHave = false;
  unsigned long mTime = 0;
  int mX = 0, mY = 0;
};
