// The window operations of IGraphicsLinux; the X11 work is in x11*.cpp.
#include "platform/IGraphicsLinux.h"

#include "pluginterfaces/gui/iplugview.h"
#include "platform/x11window.h"

void IGraphicsLinux::AllowSharedMemory(bool allow)
{
  X11Window::sAllowSharedMemory = allow;
}

bool IGraphicsLinux::SetHostRunLoop(Steinberg::Linux::IRunLoop* runLoop)
{
  if (mX11) return runLoop == mRunLoop;
  if (runLoop) runLoop->addRef();
  if (mRunLoop) mRunLoop->release();
  mRunLoop = runLoop;
  return true;
}

void* IGraphicsLinux::OpenWindow(void* pParentWnd)
{
  CloseX11();
  if (!pParentWnd || !mRunLoop) return nullptr;
  mX11 = X11Window::Open(this, (Window)(uintptr_t)pParentWnd, mRunLoop);
  if (!mX11) return nullptr;
  // The panel is painted now, so the window's first exposure shows it
  // rather than waiting a timer period; it cannot be shown before then.
  SetAllControlsDirty();
  IRECT dirty;
  mPaintOnly = true;
  if (IsDirty(&dirty)) Draw(&dirty);
  mPaintOnly = false;
  // Opening synced the connection, so its first exposure may already sit in
  // Xlib's queue, where the fd no longer shows it: handled now, it puts the
  // painted panel on screen before attached returns.
  mX11->OnLoopFd();
  UpdateTooltips();
  return (void*)(uintptr_t)mX11->Id();
}

void IGraphicsLinux::CloseX11()
{
  X11Window* w = mX11;
  mX11 = nullptr;
  if (w) w->Close();
}

void IGraphicsLinux::CloseWindow()
{
  CloseX11();
  SetHostRunLoop(nullptr);
}

void* IGraphicsLinux::GetWindow()
{
  return mX11 && mX11->Alive() ? (void*)(uintptr_t)mX11->Id() : nullptr;
}

bool IGraphicsLinux::PresentsThroughSharedMemory() const
{
  return mX11 && mX11->UsesSharedMemory();
}

bool IGraphicsLinux::DrawScreen(IRECT* pR)
{
  if (!mX11 || !mX11->Alive() || mPaintOnly) return false;
  IRECT all(0, 0, mWidth, mHeight);
  if (!mX11->Present(pR && !pR->Empty() ? *pR : all)) return false;
  ++mPresents;
  return true;
}

void IGraphicsLinux::Resize(int w, int h)
{
  if (w == mWidth && h == mHeight) return;
  // The base deletes every control: an open text field's must not be told later.
  if (mX11) mX11->EndTextEntry(false);
  IGraphics::Resize(w, h);
  // The window follows the panel; the caller attaches controls again and
  // the next tick paints them.
  if (mX11) mX11->Resize();
}
