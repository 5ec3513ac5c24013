// Event translation: everything queued on our connection goes to the core,
// then the exposed area is repainted from the drawing bitmap. Keys the core
// has no code for, or refuses, are not consumed: nothing is sent on.
#include <X11/keysym.h>

#include <algorithm>

#include "platform/IGraphicsLinux.h"
#include "platform/x11errors.h"
#include "platform/x11tooltip.h"
#include "platform/x11window.h"

void X11Window::OnLoopFd()
{
  if (mModal) return;
  X11IOGuard io;
  Enter();
  Drain();
  if (Leave()) DropLostConnection();
}

void X11Window::OnLoopTimer()
{
  if (mModal) return;
  X11IOGuard io;
  Enter();
  // Events Xlib already read (during a sync) never make the fd readable
  // again, so every tick empties the queue too.
  Drain();
  if (!mClosed && !mGone && mGraphics)
  {
    IRECT dirty;
    if (mGraphics->IsDirty(&dirty)) mGraphics->Draw(&dirty);
    if (mTooltip) mTooltip->OnTick();
  }
  if (Leave()) DropLostConnection();
}

void X11Window::OnModalEvent(XEvent& event)
{
  if (event.type == DestroyNotify || event.type == Expose) Handle(event);
}

void X11Window::OnModalTick()
{
  if (mClosed || mGone || !mGraphics) return;
  IRECT dirty;
  if (mGraphics->IsDirty(&dirty)) mGraphics->Draw(&dirty);
  if (mExposeR <= mExposeL) return;
  IRECT exposed(mExposeL, mExposeT, mExposeR, mExposeB);
  mExposeL = mExposeT = mExposeR = mExposeB = 0;
  mGraphics->DrawScreen(&exposed);
}

int X11Window::TickMs() const
{
  const int fps = mGraphics && mGraphics->FPS() > 0 ? mGraphics->FPS() : 25;
  return 1000 / fps;
}

void X11Window::Drain()
{
  while (!mClosed && !mLost && XPending(mDisplay) > 0)
  {
    XEvent event;
    XNextEvent(mDisplay, &event);
    Handle(event);
  }
  if (mClosed || mGone || !mGraphics || mExposeR <= mExposeL) return;
  IRECT exposed(mExposeL, mExposeT, mExposeR, mExposeB);
  mExposeL = mExposeT = mExposeR = mExposeB = 0;
  mGraphics->DrawScreen(&exposed);
}

void X11Window::Handle(XEvent& event)
{
  if (mClosed) return;
  if (event.type == DestroyNotify)
  {
    // The host destroyed our window (with its parent): no request may name it again.
    if (event.xdestroywindow.window == mWindow)
    {
      mGone = true;
      // Its field went with it; the control is told nothing.
      EndTextEntry(false);
    }
    return;
  }
  if (mGone || !mGraphics) return;
  if (mEntry && HandleEntryEvent(event)) return;
  if (mTooltip && mTooltip->Owns(event.xany.window))
  {
    if (event.type == Expose) mTooltip->OnExpose();
    return;
  }
  if (event.xany.window != mWindow) return;
  switch (event.type)
  {
  case Expose:
  {
    const XExposeEvent& e = event.xexpose;
    if (mExposeR <= mExposeL)
    {
      mExposeL = e.x;
      mExposeT = e.y;
      mExposeR = e.x + e.width;
      mExposeB = e.y + e.height;
    }
    else
    {
      mExposeL = std::min(mExposeL, e.x);
      mExposeT = std::min(mExposeT, e.y);
      mExposeR = std::max(mExposeR, e.x + e.width);
      mExposeB = std::max(mExposeB, e.y + e.height);
    }
    break;
  }
  case ButtonPress: HandleButton(event.xbutton, true); break;
  case ButtonRelease: HandleButton(event.xbutton, false); break;
  case MotionNotify:
  {
    XMotionEvent& e = event.xmotion;
    mPrevX = e.x;
    mPrevY = e.y;
    IMouseMod mod = X11_MouseMod(e.state, 0);
    if (e.state & (Button1Mask | Button3Mask))
    {
      // Drags wait for an open text field to end.
      if (!mEntry) mGraphics->OnMouseDrag(e.x, e.y, &mod);
      if (mTooltip) mTooltip->Hide();
    }
    else
    {
      mGraphics->OnMouseOver(e.x, e.y, &mod);
      if (mTooltip) mTooltip->OnMotion(e.x, e.y);
    }
    break;
  }
  case LeaveNotify:
    // Leaving for a child of ours is not leaving the editor.
    if (event.xcrossing.detail != NotifyInferior)
    {
      mGraphics->OnMouseOut();
      if (mTooltip) mTooltip->OnLeave();
    }
    break;
  case KeyPress:
    if (mTooltip) mTooltip->Hide();
    HandleKey(event.xkey);
    break;
  default: break; // XEmbed messages, map and configure notices: nothing to do
  }
}

void X11Window::HandleButton(XButtonEvent& e, bool press)
{
  // A press outside an open text field commits it first, wheel steps too.
  if (press && mTooltip) mTooltip->Hide();
  if (press && mEntry && (!EndTextEntry(true) || !mGraphics)) return;
  mPrevX = e.x;
  mPrevY = e.y;
  IMouseMod mod = X11_MouseMod(e.state, e.button);
  switch (e.button)
  {
  case Button1:
  case Button3:
    if (!press)
      mGraphics->OnMouseUp(e.x, e.y, &mod);
    else if (mClicks.Press(e.button, e.time, e.x, e.y))
      mGraphics->OnMouseDblClick(e.x, e.y, &mod);
    else
      mGraphics->OnMouseDown(e.x, e.y, &mod);
    break;
  case Button4:
  case Button5:
    // A wheel step is a press and a release; one step per press.
    if (press) mGraphics->OnMouseWheel(e.x, e.y, &mod, e.button == Button4 ? 1 : -1);
    break;
  default: break; // 6 and 7 scroll sideways: the core has no use for them
  }
}

void X11Window::HandleKey(XKeyEvent& e)
{
  const int code = X11_KeyCode(XLookupKeysym(&e, 0));
  if (code < 0) return;
  mGraphics->OnKeyDown(mPrevX, mPrevY, code);
}
