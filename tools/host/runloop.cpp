#include "tools/host/runloop.h"

#include <poll.h>

#include <algorithm>

namespace vst3host {

using namespace Steinberg;

RunLoop::~RunLoop() {
  // A plug-in that never unregistered: its references are dropped with us.
  for (FdEntry& e : mFds) e.handler->release();
  for (TimerEntry& t : mTimers) t.handler->release();
  for (Linux::IEventHandler* h : mLateFds) h->release();
  for (Linux::ITimerHandler* h : mLateTimers) h->release();
}

tresult PLUGIN_API RunLoop::registerEventHandler(Linux::IEventHandler* handler, Linux::FileDescriptor fd) {
  if (!handler || fd < 0) return kInvalidArgument;
  if (HasFd(handler, fd)) return kResultTrue;
  handler->addRef();
  mFds.push_back({handler, fd});
  return kResultTrue;
}

tresult PLUGIN_API RunLoop::unregisterEventHandler(Linux::IEventHandler* handler) {
  if (!handler) return kInvalidArgument;
  bool found = false;
  for (size_t i = mFds.size(); i-- > 0;) {
    if (mFds[i].handler != handler) continue;
    mFds.erase(mFds.begin() + static_cast<std::ptrdiff_t>(i));
    if (mCallAfterUnregister)
      mLateFds.push_back(handler);
    else
      handler->release();
    found = true;
  }
  return found ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API RunLoop::registerTimer(Linux::ITimerHandler* handler, Linux::TimerInterval milliseconds) {
  if (!handler || milliseconds == 0) return kInvalidArgument;
  if (HasTimer(handler)) return kResultFalse;
  handler->addRef();
  const std::chrono::milliseconds interval(milliseconds);
  mTimers.push_back({handler, interval, Clock::now() + interval});
  return kResultTrue;
}

tresult PLUGIN_API RunLoop::unregisterTimer(Linux::ITimerHandler* handler) {
  for (size_t i = 0; i < mTimers.size(); ++i) {
    if (mTimers[i].handler != handler) continue;
    mTimers.erase(mTimers.begin() + static_cast<std::ptrdiff_t>(i));
    if (mCallAfterUnregister)
      mLateTimers.push_back(handler);
    else
      handler->release();
    return kResultTrue;
  }
  return kResultFalse;
}

tresult PLUGIN_API RunLoop::queryInterface(const TUID iid, void** obj) {
  if (FUnknownPrivate::iidEqual(iid, FUnknown::iid) || FUnknownPrivate::iidEqual(iid, Linux::IRunLoop::iid)) {
    addRef();
    *obj = static_cast<Linux::IRunLoop*>(this);
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}

std::vector<int> RunLoop::Fds() const {
  std::vector<int> fds;
  for (const FdEntry& e : mFds) fds.push_back(e.fd);
  return fds;
}

bool RunLoop::HasFd(Linux::IEventHandler* handler, int fd) const {
  return std::any_of(mFds.begin(), mFds.end(), [&](const FdEntry& e) { return e.handler == handler && e.fd == fd; });
}

bool RunLoop::HasTimer(Linux::ITimerHandler* handler) const {
  return std::any_of(mTimers.begin(), mTimers.end(), [&](const TimerEntry& t) { return t.handler == handler; });
}

void RunLoop::Turn(Clock::time_point deadline) {
  Clock::time_point wake = deadline;
  for (const TimerEntry& t : mTimers) wake = std::min(wake, t.next);
  const auto now = Clock::now();
  const int waitMs =
      wake <= now ? 0 : static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(wake - now).count()) + 1;

  // Callbacks may change the lists: work on copies and check each entry is
  // still registered right before calling it.
  const std::vector<FdEntry> fds = mFds;
  std::vector<pollfd> polls;
  for (const FdEntry& e : fds) polls.push_back({e.fd, POLLIN, 0});
  if (polls.empty()) {
    if (waitMs > 0) poll(nullptr, 0, waitMs);
  } else {
    poll(polls.data(), polls.size(), waitMs);
  }
  for (size_t i = 0; i < fds.size(); ++i) {
    if (polls[i].revents & POLLNVAL) ++mBadFds;
    const bool readable = (polls[i].revents & (POLLIN | POLLHUP | POLLERR)) != 0;
    if (mStrictFds && !readable) continue;
    if (!HasFd(fds[i].handler, fds[i].fd)) continue;
    fds[i].handler->onFDIsSet(fds[i].fd);
  }

  std::vector<Linux::ITimerHandler*> due;
  const auto after = Clock::now();
  for (TimerEntry& t : mTimers) {
    if (t.next > after) continue;
    due.push_back(t.handler);
    t.next += t.interval;
    if (t.next <= after) t.next = after + t.interval;  // fell behind: no burst
  }
  for (Linux::ITimerHandler* h : due)
    if (HasTimer(h)) h->onTimer();

  std::vector<Linux::IEventHandler*> lateFds;
  std::vector<Linux::ITimerHandler*> lateTimers;
  lateFds.swap(mLateFds);
  lateTimers.swap(mLateTimers);
  for (Linux::IEventHandler* h : lateFds) {
    h->onFDIsSet(-1);
    h->release();
  }
  for (Linux::ITimerHandler* h : lateTimers) {
    h->onTimer();
    h->release();
  }
}

void RunLoop::RunFor(int ms) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(ms > 0 ? ms : 0);
  do {
    Turn(deadline);
  } while (Clock::now() < deadline);
}

bool RunLoop::RunUntil(const std::function<bool()>& pred, int timeoutMs) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs > 0 ? timeoutMs : 0);
  for (;;) {
    if (pred()) return true;
    if (Clock::now() >= deadline) return false;
    // Short turns, so the condition is looked at soon after it changes.
    Turn(std::min(deadline, Clock::now() + std::chrono::milliseconds(10)));
  }
}

}  // namespace vst3host
