// What a modal loop of ours (a popup menu, a message box) needs from the
// editor window it runs over: the loop reads every event of the editor's
// connection itself, so it hands back those that are not its own, and ticks
// the editor's painting at its frame rate so automation still shows.
// UI thread only; the loop runs inside one of the window's callbacks or an
// editor call, so the window (and its connection) outlive the loop.
#pragma once

#include <X11/Xlib.h>

class X11ModalHost
{
public:
  virtual ~X11ModalHost() {}
  // An event of the connection that is not the loop's own: exposures and the
  // window's destruction are kept, input is dropped.
  virtual void OnModalEvent(XEvent& event) = 0;
  // Paints what became dirty, as the timer does; the loop calls it every
  // TickMs() milliseconds.
  virtual void OnModalTick() = 0;
  virtual int TickMs() const = 0;
  // False once the editor window is gone (the host destroyed it): the loop ends.
  virtual bool ModalAlive() const = 0;
};

#include <chrono>
#include <functional>

enum class X11ModalEnd
{
  kDone,     // done() turned true
  kHostGone, // the editor window went away
  kTimedOut, // the deadline passed
  kBroken    // the connection failed
};

// The loop every modal part runs on the editor's connection (or a connection
// of its own, with a null host): the host's painting first and then every
// TickMs(), each queued event offered to own (true when it was the loop's)
// and otherwise handed to the host, then a wait on the connection's fd.
// Events Xlib already read never make the fd readable, so the queue is
// always emptied before waiting. UI thread; the caller holds an X11IOGuard.
X11ModalEnd X11_RunModal(Display* display, X11ModalHost* host, const std::function<bool(XEvent&)>& own,
                         const std::function<bool()>& done,
                         std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::time_point::max());
