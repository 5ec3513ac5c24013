// The host-side objects a plug-in talks back to: the host application
// (name "quenbar") and a component handler that accepts and ignores edits.
// Host main thread. The host owns them and keeps them alive longer than any
// plug-in that got them; reference counts are tracked but never free them.
#pragma once

#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivsthostapplication.h"

namespace vst3host {

class HostApplication : public Steinberg::Vst::IHostApplication {
 public:
  HostApplication() = default;
  virtual ~HostApplication() = default;

  Steinberg::tresult PLUGIN_API getName(Steinberg::Vst::String128 name) override;
  // The tool offers no host-made objects (messages, attribute lists).
  Steinberg::tresult PLUGIN_API createInstance(Steinberg::TUID cid, Steinberg::TUID iid,
                                               void** obj) override;

  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  Steinberg::uint32 PLUGIN_API addRef() override { return ++mRefs; }
  Steinberg::uint32 PLUGIN_API release() override { return --mRefs; }

 private:
  Steinberg::uint32 mRefs = 1;
};

// Accepts and ignores what the plug-in reports; rendering never depends on it.
class ComponentHandler : public Steinberg::Vst::IComponentHandler {
 public:
  ComponentHandler() = default;
  virtual ~ComponentHandler() = default;

  Steinberg::tresult PLUGIN_API beginEdit(Steinberg::Vst::ParamID) override;
  Steinberg::tresult PLUGIN_API performEdit(Steinberg::Vst::ParamID,
                                            Steinberg::Vst::ParamValue) override;
  Steinberg::tresult PLUGIN_API endEdit(Steinberg::Vst::ParamID) override;
  Steinberg::tresult PLUGIN_API restartComponent(Steinberg::int32 flags) override;

  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  Steinberg::uint32 PLUGIN_API addRef() override { return ++mRefs; }
  Steinberg::uint32 PLUGIN_API release() override { return --mRefs; }

 private:
  Steinberg::uint32 mRefs = 1;
};

}  // namespace vst3host
