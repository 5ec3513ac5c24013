#include "platform/x11modal.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>

X11ModalEnd X11_RunModal(Display* display, X11ModalHost* host, const std::function<bool(XEvent&)>& own,
                         const std::function<bool()>& done, std::chrono::steady_clock::time_point deadline)
{
  using Clock = std::chrono::steady_clock;
  // Without a host nothing ticks: the wait is bounded only by the deadline,
  // checked once a second at the latest.
  const auto tick = std::chrono::milliseconds(host ? std::max(host->TickMs(), 1) : 1000);
  Clock::time_point nextTick = Clock::now(); // what is dirty is painted before we wait
  for (;;)
  {
    if (done()) return X11ModalEnd::kDone;
    if (host && !host->ModalAlive()) return X11ModalEnd::kHostGone;
    Clock::time_point now = Clock::now();
    if (now >= nextTick)
    {
      // Before reading: painting may queue events the fd will not show.
      if (host) host->OnModalTick();
      nextTick = now + tick;
    }
    while (!done() && XPending(display) > 0)
    {
      XEvent event;
      XNextEvent(display, &event);
      if (!own(event) && host) host->OnModalEvent(event);
    }
    if (done()) return X11ModalEnd::kDone;
    now = Clock::now();
    if (now >= deadline) return X11ModalEnd::kTimedOut;
    const Clock::time_point until = std::min(deadline, nextTick);
    const int ms = (int)std::chrono::duration_cast<std::chrono::milliseconds>(until - now).count() + 1;
    pollfd p{ConnectionNumber(display), POLLIN, 0};
    if (poll(&p, 1, std::max(ms, 0)) < 0 && errno != EINTR) return X11ModalEnd::kBroken;
    if (p.revents & (POLLHUP | POLLERR | POLLNVAL)) return X11ModalEnd::kBroken;
  }
}
