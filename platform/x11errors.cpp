#include "platform/x11errors.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace
{
// Innermost trap; traps nest strictly on the UI thread.
X11ErrorTrap* gTop = nullptr;
// The handlers are process-wide: a host thread of its own may meet an error
// (or a broken connection) on its connection while ours is installed. Our
// connections are used on the UI thread only, so on any other thread the
// handler installed before ours answers, without looking at our state.
std::atomic<std::thread::id> gUiThread{};
std::atomic<int (*)(Display*, XErrorEvent*)> gOutermostPrevious{nullptr};
std::atomic<int (*)(Display*)> gPreviousIOShared{nullptr};
bool OnUiThread() { return gUiThread.load() == std::this_thread::get_id(); }

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
  if (gGuards++ == 0)
  {
    gUiThread.store(std::this_thread::get_id());
    gPreviousIO = XSetIOErrorHandler(&X11IOGuard::OnIOError);
    gPreviousIOShared.store(gPreviousIO);
  }
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
  if (!OnUiThread())
  {
    int (*previous)(Display*) = gPreviousIOShared.load();
    return previous ? previous(display) : 0;
  }
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
  if (!gTop) gUiThread.store(std::this_thread::get_id());
  mPrevious = XSetErrorHandler(&X11ErrorTrap::OnError);
  if (!gTop) gOutermostPrevious.store(mPrevious);
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
  if (!OnUiThread())
  {
    int (*previous)(Display*, XErrorEvent*) = gOutermostPrevious.load();
    return previous ? previous(display, event) : 0;
  }
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
