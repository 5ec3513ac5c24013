#include "platform/x11input.h"

#include <X11/X.h>
#include <X11/keysym.h>

#include <cstdlib>

#include "graphics/IGraphics.h"

IMouseMod X11_MouseMod(unsigned int state, unsigned int button)
{
  const bool left = button ? button == Button1 : (state & Button1Mask) != 0;
  const bool right = button ? button == Button3 : (state & Button3Mask) != 0;
  return IMouseMod(left, right, (state & ShiftMask) != 0, (state & ControlMask) != 0, (state & Mod1Mask) != 0);
}

int X11_KeyCode(unsigned long keysym)
{
  switch (keysym)
  {
  case XK_space: return KEY_SPACE;
  case XK_Up:
  case XK_KP_Up: return KEY_UPARROW;
  case XK_Down:
  case XK_KP_Down: return KEY_DOWNARROW;
  case XK_Left:
  case XK_KP_Left: return KEY_LEFTARROW;
  case XK_Right:
  case XK_KP_Right: return KEY_RIGHTARROW;
  default: break;
  }
  if (keysym >= XK_0 && keysym <= XK_9) return KEY_DIGIT_0 + (int)(keysym - XK_0);
  if (keysym >= XK_A && keysym <= XK_Z) return KEY_ALPHA_A + (int)(keysym - XK_A);
  if (keysym >= XK_a && keysym <= XK_z) return KEY_ALPHA_A + (int)(keysym - XK_a);
  return -1;
}

bool X11ClickTracker::Press(unsigned int button, unsigned long timeMs, int x, int y)
{
  if (button != Button1)
  {
    // Any other button in between breaks a double click.
    mHave = false;
    return false;
  }
  // Server time wraps at 2^32 ms; unsigned difference copes with it.
  const bool dbl = mHave && (unsigned long)(unsigned int)(timeMs - mTime) <= kMaxMs &&
                   std::abs(x - mX) <= kMaxDistance && std::abs(y - mY) <= kMaxDistance;
  mHave = !dbl;
  mTime = timeMs;
  mX = x;
  mY = y;
  return dbl;
}
