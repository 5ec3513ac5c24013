// Catching the X errors of calls that may fail (a parent window the host has
// already destroyed, a shared-memory segment the server cannot attach).
// UI thread only. Xlib's error handler is process-wide, so a trap installs
// ours only for its own lifetime and always puts the previous one back;
// errors of other connections are handed to that previous handler.
#pragma once

#include <X11/Xlib.h>

class X11ErrorTrap
{
public:
  explicit X11ErrorTrap(Display* display);
  ~X11ErrorTrap();
  X11ErrorTrap(const X11ErrorTrap&) = delete;
  X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

  // Waits for the server to answer everything sent so far (XSync); true when
  // any request of this connection failed since the trap was set.
  bool Failed();
  // The last error code seen (0 when none).
  int LastError() const { return mLastError; }

private:
  static int OnError(Display* display, XErrorEvent* event);

  Display* mDisplay;
  X11ErrorTrap* mOuter;
  int (*mPrevious)(Display*, XErrorEvent*);
  int mErrors = 0;
  int mLastError = 0;
};
