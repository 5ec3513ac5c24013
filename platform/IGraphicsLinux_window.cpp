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
  // The first tick paints the whole panel.
  SetAllControlsDirty();
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
  if (!mX11 || !mX11->Alive()) return false;
  IRECT all(0, 0, mWidth, mHeight);
  if (!mX11->Present(pR && !pR->Empty() ? *pR : all)) return false;
  ++mPresents;
  return true;
}
