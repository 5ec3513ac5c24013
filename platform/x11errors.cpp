#include "platform/x11errors.h"

namespace
{
// Innermost trap; traps nest strictly on the UI thread.
X11ErrorTrap* gTop = nullptr;
} // namespace

X11ErrorTrap::X11ErrorTrap(Display* display) : mDisplay(display), mOuter(gTop)
{
  // Errors already on their way belong to whoever was installed before.
  if (mDisplay) XSync(mDisplay, False);
  mPrevious = XSetErrorHandler(&X11ErrorTrap::OnError);
  gTop = this;
}

X11ErrorTrap::~X11ErrorTrap()
{
  if (mDisplay) XSync(mDisplay, False);
  gTop = mOuter;
  XSetErrorHandler(mPrevious);
}

bool X11ErrorTrap::Failed()
{
  if (mDisplay) XSync(mDisplay, False);
  return mErrors != 0;
}

int X11ErrorTrap::OnError(Display* display, XErrorEvent* event)
{
  for (X11ErrorTrap* t = gTop; t; t = t->mOuter)
  {
    if (t->mDisplay == display)
    {
      ++t->mErrors;
      t->mLastError = event->error_code;
      return 0;
    }
  }
  // Not one of ours: whoever handled errors before the outermost trap.
  X11ErrorTrap* outermost = gTop;
  while (outermost && outermost->mOuter) outermost = outermost->mOuter;
  if (outermost && outermost->mPrevious) return outermost->mPrevious(display, event);
  return 0;
}
