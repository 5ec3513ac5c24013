// Catching the X errors of calls that may fail (a parent window the host has
// already destroyed, a shared-memory segment the server cannot attach).
// UI thread only. Xlib's error handler is process-wide, so a trap installs
// ours only for its own lifetime and always puts the previous one back;
// errors of other connections are handed to that previous handler.
#pragma once

#include <X11/Xlib.h>

// A broken connection (the server gone, a dropped remote link) ends the
// process through Xlib's default I/O error handler. While a guard lives,
// a handler of ours is installed (process-wide, so only for the guard's
// lifetime; guards nest): the loss of a connection registered with Own is
// told to its owner and the process goes on; other connections' losses go
// to the handler installed before. UI thread only.
class X11IOGuard
{
public:
  X11IOGuard();
  ~X11IOGuard();
  X11IOGuard(const X11IOGuard&) = delete;
  X11IOGuard& operator=(const X11IOGuard&) = delete;

  // onLost(who) runs inside Xlib when display breaks; it must only note it.
  static void Own(Display* display, void (*onLost)(void* who), void* who);
  static void Disown(Display* display);

private:
  static int OnIOError(Display* display);
};

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

  X11IOGuard mIOGuard; // first: the trap's own syncs may find the connection broken
  Display* mDisplay;
  X11ErrorTrap* mOuter;
  int (*mPrevious)(Display*, XErrorEvent*);
  int mErrors = 0;
  int mLastError = 0;
};
