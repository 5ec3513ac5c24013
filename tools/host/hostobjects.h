// The host-side objects a plug-in talks back to: the host application and a
// component handler that records what the plug-in reports (edits, restart
// requests, context-menu requests). The host owns them and keeps them alive
// longer than any plug-in that got them; reference counts are tracked but
// never free them. The handler may be called from any thread; its record is
// guarded by its own mutex, and its callbacks run on the calling thread.
#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "pluginterfaces/vst/ivstcontextmenu.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivsthostapplication.h"
#include "tools/host/gate.h"

namespace vst3host {

class HostApplication : public Steinberg::Vst::IHostApplication {
 public:
  // The name the plug-in reads with getName (cut to 127 characters).
  explicit HostApplication(const char* name = "quenbar") : mName(name ? name : "") {}
  virtual ~HostApplication() = default;

  Steinberg::tresult PLUGIN_API getName(Steinberg::Vst::String128 name) override;
  // No host-made objects (messages, attribute lists) are offered.
  Steinberg::tresult PLUGIN_API createInstance(Steinberg::TUID cid, Steinberg::TUID iid,
                                               void** obj) override;

  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  Steinberg::uint32 PLUGIN_API addRef() override { return ++mRefs; }
  Steinberg::uint32 PLUGIN_API release() override { return --mRefs; }
  // References the plug-in holds beyond the host's own one.
  int ExtraRefs() const { return static_cast<int>(mRefs) - 1; }

 private:
  std::string mName;
  Steinberg::uint32 mRefs = 1;
};

// The menu a handler hands out for a context-menu request; it records popups.
class ContextMenu : public Steinberg::Vst::IContextMenu {
 public:
  Steinberg::int32 PLUGIN_API getItemCount() override { return 0; }
  Steinberg::tresult PLUGIN_API getItem(Steinberg::int32, Item&,
                                        Steinberg::Vst::IContextMenuTarget**) override;
  Steinberg::tresult PLUGIN_API addItem(const Item&, Steinberg::Vst::IContextMenuTarget*) override;
  Steinberg::tresult PLUGIN_API removeItem(const Item&, Steinberg::Vst::IContextMenuTarget*) override;
  Steinberg::tresult PLUGIN_API popup(Steinberg::UCoord x, Steinberg::UCoord y) override;

  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  Steinberg::uint32 PLUGIN_API addRef() override { return ++mRefs; }
  Steinberg::uint32 PLUGIN_API release() override { return --mRefs; }

  int mRefs = 1;
  int mPopups = 0;
  int mX = -1, mY = -1;
};

class ComponentHandler : public Steinberg::Vst::IComponentHandler,
                         public Steinberg::Vst::IComponentHandler3 {
 public:
  // withMenus: also answers IComponentHandler3 and hands out mMenu.
  explicit ComponentHandler(bool withMenus = false) : mWithMenus(withMenus) {}
  virtual ~ComponentHandler() = default;

  Steinberg::tresult PLUGIN_API beginEdit(Steinberg::Vst::ParamID id) override;
  Steinberg::tresult PLUGIN_API performEdit(Steinberg::Vst::ParamID id,
                                            Steinberg::Vst::ParamValue value) override;
  Steinberg::tresult PLUGIN_API endEdit(Steinberg::Vst::ParamID id) override;
  Steinberg::tresult PLUGIN_API restartComponent(Steinberg::int32 flags) override;
  Steinberg::Vst::IContextMenu* PLUGIN_API createContextMenu(
      Steinberg::IPlugView* view, const Steinberg::Vst::ParamID* paramID) override;

  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  Steinberg::uint32 PLUGIN_API addRef() override { return ++mRefs; }
  Steinberg::uint32 PLUGIN_API release() override { return --mRefs; }

  // Starts or stops answering IComponentHandler3 (the plug-in asks at each request).
  void OfferMenus(bool on) { mWithMenus = on; }

  // What arrived, in order: "begin 2", "perform 2 0.5", "end 2".
  std::vector<std::string> Log();
  std::vector<Steinberg::int32> RestartFlags();
  void ClearRecord();

  // When set, every call from the plug-in first passes this gate (tests
  // hold it there).
  Gate* mEditGate = nullptr;
  // Runs after a restart request is recorded, on the calling thread.
  std::function<void(Steinberg::int32 flags)> mOnRestart;
  ContextMenu mMenu;
  Steinberg::IPlugView* mMenuView = nullptr;
  Steinberg::Vst::ParamID mMenuTag = 0xFFFFFFFF;
  int mRefs = 1;

 private:
  void Record(std::string entry);

  bool mWithMenus;
  std::mutex mMutex;
  std::vector<std::string> mLog;
  std::vector<Steinberg::int32> mRestartFlags;
};

}  // namespace vst3host
