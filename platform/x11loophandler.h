// The editor's face towards the host's run loop: one reference-counted object
// that is both the timer and the connection's fd handler. The host calls it
// on its main (UI) thread; the host may keep its reference for as long as it
// likes, so the target is cleared when the editor closes and a late call
// then does nothing.
#pragma once

#include <atomic>

#include "pluginterfaces/gui/iplugview.h"

class X11LoopTarget
{
public:
  virtual void OnLoopTimer() = 0;
  virtual void OnLoopFd() = 0;

protected:
  ~X11LoopTarget() = default;
};

class X11LoopHandler : public Steinberg::Linux::ITimerHandler, public Steinberg::Linux::IEventHandler
{
public:
  // Starts with one reference, the creator's.
  explicit X11LoopHandler(X11LoopTarget* target) : mTarget(target) {}
  X11LoopHandler(const X11LoopHandler&) = delete;
  X11LoopHandler& operator=(const X11LoopHandler&) = delete;

  // UI thread: no further call reaches the target.
  void Detach() { mTarget = nullptr; }

  void PLUGIN_API onTimer() override;
  void PLUGIN_API onFDIsSet(Steinberg::Linux::FileDescriptor fd) override;

  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  Steinberg::uint32 PLUGIN_API addRef() override;
  Steinberg::uint32 PLUGIN_API release() override;

private:
  virtual ~X11LoopHandler() = default;

  X11LoopTarget* mTarget;
  std::atomic<Steinberg::uint32> mRefs{1};
};
