#include "platform/x11window.h"

#include <algorithm>
#include <cstdio>

#include "platform/IGraphicsLinux.h"
#include "platform/x11errors.h"
#include "platform/x11tooltip.h"

using namespace Steinberg;

namespace
{
const long kXEmbedVersion = 0;
const long kXEmbedMapped = 1;
const long kEventMask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                        LeaveWindowMask | KeyPressMask | StructureNotifyMask | FocusChangeMask;
} // namespace

X11Window::X11Window(IGraphicsLinux* graphics, Display* display, Linux::IRunLoop* runLoop)
  : mGraphics(graphics), mDisplay(display), mRunLoop(runLoop)
{
}

X11Window::~X11Window()
{
  delete mTooltip;
  FreePresentation();
  if (!mDisplay) return;
  X11IOGuard io;
  X11IOGuard::Disown(mDisplay);
  XCloseDisplay(mDisplay);
}

X11Window* X11Window::Open(IGraphicsLinux* graphics, Window parent, Linux::IRunLoop* runLoop)
{
  if (!graphics || !parent || !runLoop) return nullptr;
  // Never the host's connection: ours can be closed, synced and trapped
  // without disturbing whatever the host has queued on its own.
  Display* display = XOpenDisplay(nullptr);
  if (!display)
  {
    fprintf(stderr, "Quenbar editor: cannot open the X display\n");
    return nullptr;
  }
  X11Window* w = new X11Window(graphics, display, runLoop);
  // Xlib's default ends the process when a connection breaks; in a host's
  // process only this editor's window is lost.
  X11IOGuard io;
  X11IOGuard::Own(display, &X11Window::NoteLost, w);
  XSetIOErrorExitHandler(display, &X11Window::OnConnectionLost, w);
  if (!w->Create(parent) || !w->InitPresentation() || !w->Register())
  {
    w->Close();
    return nullptr;
  }
  return w;
}

bool X11Window::Create(Window parent)
{
  const int screen = DefaultScreen(mDisplay);
  mVisual = DefaultVisual(mDisplay, screen);
  mDepthBits = DefaultDepth(mDisplay, screen);
  // The drawing bitmap is 0xAARRGGBB: shown as it is on a 24/32-bit
  // TrueColor visual with the usual masks, and on nothing else.
  if (mVisual->c_class != TrueColor || (mDepthBits != 24 && mDepthBits != 32) || mVisual->red_mask != 0xFF0000 ||
      mVisual->green_mask != 0xFF00 || mVisual->blue_mask != 0xFF)
  {
    fprintf(stderr, "Quenbar editor: the screen's visual is not 24-bit TrueColor\n");
    return false;
  }
  XSetWindowAttributes attrs{};
  attrs.background_pixmap = None; // no flash of background before the first frame
  attrs.border_pixel = 0;
  attrs.colormap = DefaultColormap(mDisplay, screen);
  attrs.event_mask = kEventMask;
  mXEmbedInfo = XInternAtom(mDisplay, "_XEMBED_INFO", False);

  X11ErrorTrap trap(mDisplay);
  // Explicit visual and colormap: the host's window may use another depth.
  mWindow = XCreateWindow(mDisplay, parent, 0, 0, (unsigned)mGraphics->Width(), (unsigned)mGraphics->Height(), 0,
                          mDepthBits, InputOutput, mVisual, CWBackPixmap | CWBorderPixel | CWColormap | CWEventMask,
                          &attrs);
  const long info[2] = {kXEmbedVersion, kXEmbedMapped};
  XChangeProperty(mDisplay, mWindow, mXEmbedInfo, mXEmbedInfo, 32, PropModeReplace, (const unsigned char*)info, 2);
  // Mapped here: some hosts never send an XEmbed message to do it.
  XMapWindow(mDisplay, mWindow);
  mGC = XCreateGC(mDisplay, mWindow, 0, nullptr);
  if (trap.Failed())
  {
    fprintf(stderr, "Quenbar editor: cannot create the window in the host's window (X error %d)\n",
            trap.LastError());
    // Whatever was made went with the parent; nothing more is asked of it.
    mGone = true;
    return false;
  }
  return true;
}

bool X11Window::Register()
{
  mHandler = new X11LoopHandler(this);
  mFdRegistered = mRunLoop->registerEventHandler(mHandler, ConnectionNumber(mDisplay)) == kResultTrue;
  const int fps = mGraphics->FPS() > 0 ? mGraphics->FPS() : 25;
  mTimerRegistered = mRunLoop->registerTimer(mHandler, (Linux::TimerInterval)(1000 / fps)) == kResultTrue;
  if (!mFdRegistered || !mTimerRegistered)
  {
    fprintf(stderr, "Quenbar editor: the host's run loop refused the editor's timer or events\n");
    return false;
  }
  return true;
}

void X11Window::Close()
{
  if (mClosed) return;
  X11IOGuard io;
  mClosed = true;
  mGraphics = nullptr;
  // An open text field is dropped: its control may be going too.
  EndTextEntry(false);
  delete mTooltip;
  mTooltip = nullptr;
  if (mHandler)
  {
    mHandler->Detach();
    if (mFdRegistered) mRunLoop->unregisterEventHandler(mHandler);
    if (mTimerRegistered) mRunLoop->unregisterTimer(mHandler);
    mFdRegistered = mTimerRegistered = false;
    mHandler->release();
    mHandler = nullptr;
  }
  if (mDisplay)
  {
    // The host may have destroyed the parent without us hearing yet. After
    // a broken connection nothing reaches the server, but Xlib's own record
    // of the GC is still freed here.
    X11ErrorTrap trap(mDisplay);
    FreePresentation();
    if (mGC) XFreeGC(mDisplay, mGC);
    if (mWindow && !mGone) XDestroyWindow(mDisplay, mWindow);
  }
  mGC = nullptr;
  if (mDepth == 0) delete this;
}

bool X11Window::Leave()
{
  if (--mDepth == 0 && mClosed)
  {
    delete this;
    return false;
  }
  return !mClosed;
}

void X11Window::SetTooltipAreas(std::vector<IRECT> areas)
{
  if (mClosed || mGone) return;
  if (!mTooltip) mTooltip = new X11Tooltip(mDisplay, mWindow, mGraphics);
  mTooltip->SetAreas(std::move(areas));
}

void X11Window::OnConnectionLost(Display*, void* self)
{
  NoteLost(self);
}

void X11Window::NoteLost(void* self)
{
  X11Window* w = static_cast<X11Window*>(self);
  w->mLost = true;
  w->mGone = true;
}

void X11Window::DropLostConnection()
{
  if (!mLost || !mHandler) return;
  // A broken connection's fd polls readable for ever: the host must not
  // keep calling us for it, nor for a timer that has nothing to show.
  if (mFdRegistered) mRunLoop->unregisterEventHandler(mHandler);
  if (mTimerRegistered) mRunLoop->unregisterTimer(mHandler);
  mFdRegistered = mTimerRegistered = false;
  fprintf(stderr, "Quenbar editor: the connection to the X server broke; the editor's window is gone\n");
}

void X11Window::Resize()
{
  if (mClosed || mGone || !mGraphics) return;
  X11IOGuard io;
  if (mTooltip) mTooltip->SetAreas({});
  X11ErrorTrap trap(mDisplay);
  FreePresentation();
  XResizeWindow(mDisplay, mWindow, (unsigned)std::max(mGraphics->Width(), 1), (unsigned)std::max(mGraphics->Height(), 1));
  InitPresentation();
  if (trap.Failed()) mGone = true;
}
