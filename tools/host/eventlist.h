// A fixed-capacity event list for process(). Filled by the host between
// blocks, read by the plug-in during process(); no locking, no allocation
// after construction. Host-owned; plug-ins only borrow it.
#pragma once

#include <vector>

#include "pluginterfaces/vst/ivstevents.h"

namespace vst3host {

class EventList : public Steinberg::Vst::IEventList {
 public:
  explicit EventList(int capacity = 128);
  virtual ~EventList() = default;

  void Clear() { mCount = 0; }

  Steinberg::int32 PLUGIN_API getEventCount() override { return mCount; }
  // kResultFalse for an index outside 0 … count − 1.
  Steinberg::tresult PLUGIN_API getEvent(Steinberg::int32 index,
                                         Steinberg::Vst::Event& e) override;
  // kResultFalse when the list is full.
  Steinberg::tresult PLUGIN_API addEvent(Steinberg::Vst::Event& e) override;

  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  Steinberg::uint32 PLUGIN_API addRef() override { return ++mRefs; }
  Steinberg::uint32 PLUGIN_API release() override { return --mRefs; }

  // Fault injection: getEvent fails for this index (-1: none).
  void SetFailIndex(Steinberg::int32 index) { mFailIndex = index; }

 private:
  Steinberg::int32 mFailIndex = -1;
  std::vector<Steinberg::Vst::Event> mEvents;
  Steinberg::int32 mCount = 0;
  Steinberg::uint32 mRefs = 1;
};

}  // namespace vst3host
