// The host's run loop for plug-in editors on Linux (Steinberg::Linux::IRunLoop):
// fd handlers and timers, driven by the host's own poll() loop. One thread
// (the host's main thread) registers, runs and is called back; handlers may
// register or unregister anything from inside a callback. Registered
// handlers hold one reference each until unregistered; the loop must outlive
// every plug-in that got it (its own reference count never frees it).
#pragma once

#include <chrono>
#include <functional>
#include <vector>

#include "pluginterfaces/gui/iplugview.h"

namespace vst3host {

class RunLoop : public Steinberg::Linux::IRunLoop {
 public:
  // strictFds: a handler hears its fd only when poll() reports it readable
  // (as strict hosts do); otherwise every handler is called on every turn.
  explicit RunLoop(bool strictFds = true) : mStrictFds(strictFds) {}
  ~RunLoop();
  RunLoop(const RunLoop&) = delete;
  RunLoop& operator=(const RunLoop&) = delete;

  Steinberg::tresult PLUGIN_API registerEventHandler(Steinberg::Linux::IEventHandler* handler,
                                                     Steinberg::Linux::FileDescriptor fd) override;
  Steinberg::tresult PLUGIN_API unregisterEventHandler(Steinberg::Linux::IEventHandler* handler) override;
  Steinberg::tresult PLUGIN_API registerTimer(Steinberg::Linux::ITimerHandler* handler,
                                              Steinberg::Linux::TimerInterval milliseconds) override;
  Steinberg::tresult PLUGIN_API unregisterTimer(Steinberg::Linux::ITimerHandler* handler) override;

  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  Steinberg::uint32 PLUGIN_API addRef() override { return ++mRefs; }
  Steinberg::uint32 PLUGIN_API release() override { return --mRefs; }

  // Runs the loop for ms milliseconds (at least one turn).
  void RunFor(int ms);
  // Runs until pred() holds (checked before every turn) or timeoutMs passed;
  // whether it held.
  bool RunUntil(const std::function<bool()>& pred, int timeoutMs);

  int EventHandlers() const { return static_cast<int>(mFds.size()); }
  int Timers() const { return static_cast<int>(mTimers.size()); }
  // The fds registered now, in registration order.
  std::vector<int> Fds() const;
  // poll() found a registered fd that is not open (a plug-in closed it
  // without unregistering first).
  int BadFds() const { return mBadFds; }
  // References plug-ins hold beyond the host's own one.
  int ExtraRefs() const { return static_cast<int>(mRefs) - 1; }

  // A careless host: every handler unregistered is called once more on the
  // next turn (its reference kept until then), as hosts whose dispatch runs
  // from a copy of their lists do.
  bool mCallAfterUnregister = false;

 private:
  using Clock = std::chrono::steady_clock;
  struct FdEntry {
    Steinberg::Linux::IEventHandler* handler;
    int fd;
  };
  struct TimerEntry {
    Steinberg::Linux::ITimerHandler* handler;
    std::chrono::milliseconds interval;
    Clock::time_point next;
  };
  // One poll() of at most maxWait, then the fd handlers and the due timers.
  void Turn(Clock::time_point deadline);
  bool HasFd(Steinberg::Linux::IEventHandler* handler, int fd) const;
  bool HasTimer(Steinberg::Linux::ITimerHandler* handler) const;

  bool mStrictFds;
  std::vector<FdEntry> mFds;
  std::vector<TimerEntry> mTimers;
  std::vector<Steinberg::Linux::IEventHandler*> mLateFds;
  std::vector<Steinberg::Linux::ITimerHandler*> mLateTimers;
  int mBadFds = 0;
  Steinberg::uint32 mRefs = 1;
};

}  // namespace vst3host
