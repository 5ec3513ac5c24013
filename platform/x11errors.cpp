#include "platform/x11errors.h"

#include <algorithm>
#include <vector>

namespace
{
// Innermost trap; traps nest strictly on the UI thread.
X11ErrorTrap* gTop = nullptr;

struct OwnedDisplay
{
  Display* display;
  void (*onLost)(void*);
  void* who;
};
std::vector<OwnedDisplay>& Owned()
{
  static std::vector<OwnedDisplay> owned;
  return owned;
}
int gGuards = 0;
int (*gPreviousIO)(Display*) = nullptr;
} // namespace

X11IOGuard::X11IOGuard()
{
  if (gGuards++ == 0) gPreviousIO = XSetIOErrorHandler(&X11IOGuard::OnIOError);
}

X11IOGuard::~X11IOGuard()
{
  if (--gGuards == 0)
  {
    XSetIOErrorHandler(gPreviousIO);
    gPreviousIO = nullptr;
  }
}

void X11IOGuard::Own(Display* display, void (*onLost)(void*), void* who)
{
  Disown(display);
  Owned().push_back({display, onLost, who});
}

void X11IOGuard::Disown(Display* display)
{
  auto& owned = Owned();
  owned.erase(std::remove_if(owned.begin(), owned.end(), [&](const OwnedDisplay& o) { return o.display == display; }),
              owned.end());
}

int X11IOGuard::OnIOError(Display* display)
{
  for (const OwnedDisplay& o : Owned())
  {
    if (o.display == display)
    {
      o.onLost(o.who);
      return 0; // the connection's exit handler (ours) returns too
    }
  }
  return gPreviousIO ? gPreviousIO(display) : 0;
}

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
