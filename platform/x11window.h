// The editor's X11 window: a child of the host's window on a connection of
// its own, driven by the host's run loop (a timer at the core's frame rate and
// the connection's fd). UI thread (the host's main thread) only.
// Ownership: made by IGraphicsLinux::OpenWindow and ended by Close(), which
// deletes it at once or, when called from inside one of its own callbacks,
// as that callback returns. The host's run loop and the core are not owned.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

#include "platform/x11input.h"
#include "platform/x11loophandler.h"
#include "platform/x11modal.h"

#include <vector>

#include "graphics/IGraphicsStructs.h"

class IControl;
class IGraphicsLinux;
class IParam;
class X11TextEntry;
class X11Tooltip;
struct IText;

class X11Window final : public X11LoopTarget, public X11ModalHost
{
public:
  // Opens the connection, creates, labels (_XEMBED_INFO) and maps the child of
  // parent sized to the editor, and registers with the run loop. Null, with
  // the reason on stderr, when any step fails; nothing is left behind then.
  static X11Window* Open(IGraphicsLinux* graphics, Window parent, Steinberg::Linux::IRunLoop* runLoop);
  // Unregisters from the run loop, destroys the window unless the host already
  // did, closes the connection. No call reaches the core afterwards.
  void Close();

  // The child's id; it stays valid as a number after the host destroyed it.
  Window Id() const { return mWindow; }
  // False once the host destroyed the window (or its parent).
  bool Alive() const { return !mGone; }
  // Puts the region of the core's drawing bitmap into the window. False when
  // there is nothing to show or the window is gone.
  bool Present(const IRECT& region);
  bool UsesSharedMemory() const { return mShmImage != nullptr; }
  // Whether windows opened from now on may try MIT-SHM.
  static bool sAllowSharedMemory;

  void OnLoopTimer() override;
  void OnLoopFd() override;

  // The editor's own connection, for the windows it opens over the panel.
  Display* GetDisplay() const { return mDisplay; }
  // Around a modal loop on this connection: the host's timer and fd
  // callbacks that arrive meanwhile do nothing (the loop reads the events).
  // A press before the loop and one after it are never a double click.
  void BeginModal() { ++mModal; }
  void EndModal()
  {
    --mModal;
    mClicks = X11ClickTracker();
  }
  void OnModalEvent(XEvent& event) override;
  void OnModalTick() override;
  int TickMs() const override;
  bool ModalAlive() const override { return !mClosed && !mGone && mGraphics; }
  // After the core's Resize: the window and its presentation take the
  // panel's new size; the controls' tooltip areas are dropped with them.
  void Resize();
  // The controls' tooltip areas (editor coordinates); made on first use.
  void SetTooltipAreas(std::vector<IRECT> areas);

  // x11textentry.cpp: the one-line field over the panel. Opens it over r
  // (editor coordinates) with str; a parameter filters what may be typed by
  // its kind and limits it to the control's mEntryMaxLength. False while one
  // is open or when it cannot be made.
  bool OpenTextEntry(IControl* control, IParam* param, const IText& text, const IRECT& r, const char* str);
  // Ends an open field. commit: closes it, then hands its text to the core's
  // SetFromStringAfterPrompt (with a parameter) or the control's
  // TextFromTextEntry and repaints the whole panel; otherwise nothing is
  // called. False when the window was closed meanwhile (it may be deleted).
  bool EndTextEntry(bool commit);
  bool TextEntryOpen() const { return mEntry != nullptr; }

private:
  X11Window(IGraphicsLinux* graphics, Display* display, Steinberg::Linux::IRunLoop* runLoop);
  ~X11Window();

  // x11window.cpp
  bool Create(Window parent);
  bool Register();
  // x11present.cpp
  bool InitPresentation();
  void FreePresentation();
  bool PutRegion(int x, int y, int w, int h);
  // x11events.cpp: every queued event, then the exposed area.
  void Drain();
  void Handle(XEvent& event);
  void HandleButton(XButtonEvent& event, bool press);
  void HandleKey(XKeyEvent& event);
  // x11textentry.cpp: events of the open field, and the panel's keys and
  // focus changes while it is open; true when taken.
  bool HandleEntryEvent(XEvent& event);

  // The server or the connection went away: Xlib calls this instead of
  // ending the process; no request is sent on the connection afterwards.
  static void OnConnectionLost(Display* display, void* self);
  static void NoteLost(void* self);
  // After a callback that saw the loss: off the host's run loop.
  void DropLostConnection();

  // Callback nesting: Close inside a callback defers the delete.
  void Enter() { ++mDepth; }
  // False when the window was closed meanwhile (and is now deleted).
  bool Leave();

  IGraphicsLinux* mGraphics;               // null once closed
  Display* mDisplay;                       // our own connection
  Steinberg::Linux::IRunLoop* mRunLoop;    // the host's, not owned
  X11LoopHandler* mHandler = nullptr;      // one reference ours
  bool mTimerRegistered = false, mFdRegistered = false;
  Window mWindow = 0;
  bool mGone = false;                      // destroyed by the host
  bool mLost = false;                      // the connection broke
  bool mClosed = false;
  int mDepth = 0;
  int mModal = 0;
  Visual* mVisual = nullptr;
  int mDepthBits = 0;
  GC mGC = nullptr;
  XShmSegmentInfo mShm{};
  XImage* mShmImage = nullptr;
  Atom mXEmbedInfo = 0;
  // Exposed area still to repaint, as L, T, R, B; R <= L when none.
  int mExposeL = 0, mExposeT = 0, mExposeR = 0, mExposeB = 0;
  int mPrevX = 0, mPrevY = 0;              // last pointer position, for keys
  X11ClickTracker mClicks;
  X11Tooltip* mTooltip = nullptr;          // owned; null until areas are set
  X11TextEntry* mEntry = nullptr;          // the open text field, ours
};
