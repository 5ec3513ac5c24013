#include "tools/host/hostobjects.h"

namespace vst3host {

using namespace Steinberg;

tresult PLUGIN_API HostApplication::getName(Vst::String128 name) {
  static const char kName[] = "quenbar";
  for (int i = 0; i < static_cast<int>(sizeof(kName)); ++i) name[i] = static_cast<char16>(kName[i]);
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
    *obj = this;
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}

tresult PLUGIN_API ComponentHandler::beginEdit(Vst::ParamID) { return kResultOk; }

tresult PLUGIN_API ComponentHandler::performEdit(Vst::ParamID, Vst::ParamValue) { return kResultOk; }

tresult PLUGIN_API ComponentHandler::endEdit(Vst::ParamID) { return kResultOk; }

tresult PLUGIN_API ComponentHandler::restartComponent(int32) { return kResultOk; }

tresult PLUGIN_API ComponentHandler::queryInterface(const TUID iid, void** obj) {
  if (FUnknownPrivate::iidEqual(iid, FUnknown::iid) ||
      FUnknownPrivate::iidEqual(iid, Vst::IComponentHandler::iid)) {
    addRef();
    *obj = this;
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}

}  // namespace vst3host
