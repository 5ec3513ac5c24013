// The host's frame around a plug-in's editor view: answers resize requests
// as hosts do, by resizing and calling the view's onSize, and offers the
// host's run loop (Steinberg::Linux::IRunLoop) when one is given. Host main
// thread.
// The host owns it and keeps it alive while a view has it; reference counts
// are tracked but never free it.
#pragma once

#include <vector>

#include "pluginterfaces/gui/iplugview.h"

namespace vst3host {

class PlugFrame : public Steinberg::IPlugFrame {
 public:
  Steinberg::tresult PLUGIN_API resizeView(Steinberg::IPlugView* view, Steinberg::ViewRect* newSize) override;

  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  Steinberg::uint32 PLUGIN_API addRef() override { return ++mRefs; }
  Steinberg::uint32 PLUGIN_API release() override { return --mRefs; }

  // Every rectangle asked for, in order.
  std::vector<Steinberg::ViewRect> mRequests;
  // When false, requests are recorded but not answered with onSize.
  bool mAnswer = true;
  Steinberg::uint32 mRefs = 1;
  // Answered to queryInterface(IRunLoop) when set; not owned, must outlive
  // the views that got it. Null: a host without a run loop.
  Steinberg::Linux::IRunLoop* mRunLoop = nullptr;
};

}  // namespace vst3host
