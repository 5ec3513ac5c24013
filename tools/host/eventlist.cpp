#include "tools/host/eventlist.h"

namespace vst3host {

using namespace Steinberg;

EventList::EventList(int capacity) : mEvents(static_cast<size_t>(capacity > 0 ? capacity : 1)) {}

tresult PLUGIN_API EventList::getEvent(int32 index, Vst::Event& e) {
  if (index < 0 || index >= mCount || index == mFailIndex) return kResultFalse;
  e = mEvents[static_cast<size_t>(index)];
  return kResultOk;
}

tresult PLUGIN_API EventList::addEvent(Vst::Event& e) {
  if (mCount >= static_cast<int32>(mEvents.size())) return kResultFalse;
  mEvents[static_cast<size_t>(mCount++)] = e;
  return kResultOk;
}

tresult PLUGIN_API EventList::queryInterface(const TUID iid, void** obj) {
  if (FUnknownPrivate::iidEqual(iid, FUnknown::iid) ||
      FUnknownPrivate::iidEqual(iid, Vst::IEventList::iid)) {
    addRef();
    *obj = this;
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}

}  // namespace vst3host
