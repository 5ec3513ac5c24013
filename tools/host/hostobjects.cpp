#include "tools/host/hostobjects.h"

#include "util/asciiutf16.h"

#include <cstdio>

namespace vst3host {

using namespace Steinberg;

namespace {
template <class I>
bool Answer(const TUID iid, void** obj, I* face) {
  if (!FUnknownPrivate::iidEqual(iid, I::iid)) return false;
  face->addRef();
  *obj = face;
  return true;
}
}  // namespace

tresult PLUGIN_API HostApplication::getName(Vst::String128 name) {
  Util_AsciiToUtf16(mName.c_str(), name, 128, UTIL_HIGH_BYTES_LATIN1);
  return kResultOk;
}

tresult PLUGIN_API HostApplication::createInstance(TUID, TUID, void** obj) {
  if (obj) *obj = nullptr;
  return kResultFalse;
}

tresult PLUGIN_API HostApplication::queryInterface(const TUID iid, void** obj) {
  if (FUnknownPrivate::iidEqual(iid, FUnknown::iid) ||
      FUnknownPrivate::iidEqual(iid, Vst::IHostApplication::iid)) {
    addRef();
    *obj = static_cast<Vst::IHostApplication*>(this);
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}

tresult PLUGIN_API ContextMenu::getItem(int32, Item&, Vst::IContextMenuTarget**) { return kResultFalse; }
tresult PLUGIN_API ContextMenu::addItem(const Item&, Vst::IContextMenuTarget*) { return kResultOk; }
tresult PLUGIN_API ContextMenu::removeItem(const Item&, Vst::IContextMenuTarget*) { return kResultOk; }

tresult PLUGIN_API ContextMenu::popup(UCoord x, UCoord y) {
  ++mPopups;
  mX = x;
  mY = y;
  return kResultOk;
}

tresult PLUGIN_API ContextMenu::queryInterface(const TUID iid, void** obj) {
  if (FUnknownPrivate::iidEqual(iid, FUnknown::iid) || FUnknownPrivate::iidEqual(iid, Vst::IContextMenu::iid)) {
    addRef();
    *obj = static_cast<Vst::IContextMenu*>(this);
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}

void ComponentHandler::Record(std::string entry) {
  std::lock_guard<std::mutex> lock(mMutex);
  mLog.push_back(std::move(entry));
}

std::vector<std::string> ComponentHandler::Log() {
  std::lock_guard<std::mutex> lock(mMutex);
  return mLog;
}

std::vector<int32> ComponentHandler::RestartFlags() {
  std::lock_guard<std::mutex> lock(mMutex);
  return mRestartFlags;
}

void ComponentHandler::ClearRecord() {
  std::lock_guard<std::mutex> lock(mMutex);
  mLog.clear();
  mRestartFlags.clear();
}

tresult PLUGIN_API ComponentHandler::beginEdit(Vst::ParamID id) {
  if (mEditGate) mEditGate->Pass();
  Record("begin " + std::to_string(id));
  return kResultOk;
}

tresult PLUGIN_API ComponentHandler::performEdit(Vst::ParamID id, Vst::ParamValue value) {
  if (mEditGate) mEditGate->Pass();
  char text[64];
  std::snprintf(text, sizeof(text), "perform %u %.3f", static_cast<unsigned>(id), value);
  Record(text);
  return kResultOk;
}

tresult PLUGIN_API ComponentHandler::endEdit(Vst::ParamID id) {
  if (mEditGate) mEditGate->Pass();
  Record("end " + std::to_string(id));
  return kResultOk;
}

tresult PLUGIN_API ComponentHandler::restartComponent(int32 flags) {
  if (mEditGate) mEditGate->Pass();
  {
    std::lock_guard<std::mutex> lock(mMutex);
    mRestartFlags.push_back(flags);
  }
  if (mOnRestart) mOnRestart(flags);
  return kResultOk;
}

Vst::IContextMenu* PLUGIN_API ComponentHandler::createContextMenu(IPlugView* view, const Vst::ParamID* paramID) {
  if (mEditGate) mEditGate->Pass();
  mMenuView = view;
  mMenuTag = paramID ? *paramID : 0xFFFFFFFF;
  mMenu.addRef();
  return &mMenu;
}

tresult PLUGIN_API ComponentHandler::queryInterface(const TUID iid, void** obj) {
  if (FUnknownPrivate::iidEqual(iid, FUnknown::iid)) {
    addRef();
    *obj = static_cast<Vst::IComponentHandler*>(this);
    return kResultOk;
  }
  if (Answer<Vst::IComponentHandler>(iid, obj, this)) return kResultOk;
  if (mWithMenus && Answer<Vst::IComponentHandler3>(iid, obj, this)) return kResultOk;
  *obj = nullptr;
  return kNoInterface;
}

}  // namespace vst3host
