// Parameter-change queues handed to process(). Filled on the host's render
// thread between blocks and read by the plug-in during process(); no locking.
// All storage is allocated by the constructor, so filling a block never
// allocates. The host owns these objects; plug-ins only borrow them.
#pragma once

#include <initializer_list>
#include <vector>

#include "pluginterfaces/vst/ivstparameterchanges.h"

namespace vst3host {

class ParamValueQueue : public Steinberg::Vst::IParamValueQueue {
 public:
  explicit ParamValueQueue(int maxPoints = 16);
  virtual ~ParamValueQueue() = default;

  // Empties the queue and gives it a parameter id.
  void Reset(Steinberg::Vst::ParamID id);

  Steinberg::Vst::ParamID PLUGIN_API getParameterId() override { return mId; }
  Steinberg::int32 PLUGIN_API getPointCount() override { return mCount; }
  Steinberg::tresult PLUGIN_API getPoint(Steinberg::int32 index, Steinberg::int32& sampleOffset,
                                         Steinberg::Vst::ParamValue& value) override;
  // Keeps points ordered by offset; a point at an offset already queued replaces
  // it. kResultFalse when full, for a negative offset or a value outside 0 … 1.
  Steinberg::tresult PLUGIN_API addPoint(Steinberg::int32 sampleOffset,
                                         Steinberg::Vst::ParamValue value,
                                         Steinberg::int32& index) override;

  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  Steinberg::uint32 PLUGIN_API addRef() override { return ++mRefs; }
  Steinberg::uint32 PLUGIN_API release() override { return --mRefs; }

  // Fault injection: stores a point at index (0 ... count, where count
  // appends) without any check, as a misbehaving host might send it.
  bool SetPoint(Steinberg::int32 index, Steinberg::int32 sampleOffset, Steinberg::Vst::ParamValue value);
  // How many times getPoint was called since the last Reset.
  int Reads() const { return mReads; }

 private:
  struct Point {
    Steinberg::int32 offset;
    Steinberg::Vst::ParamValue value;
  };
  Steinberg::Vst::ParamID mId = 0;
  Steinberg::int32 mCount = 0;
  int mReads = 0;
  std::vector<Point> mPoints;
  Steinberg::uint32 mRefs = 1;
};

class ParameterChanges : public Steinberg::Vst::IParameterChanges {
 public:
  explicit ParameterChanges(int maxQueues = 64, int maxPointsPerQueue = 16);
  virtual ~ParameterChanges() = default;

  // Forgets every queue; call between blocks.
  void Clear() { mUsed = 0; }
  // Convenience for the host: adds one point to the queue of id.
  bool Add(Steinberg::Vst::ParamID id, Steinberg::int32 sampleOffset,
           Steinberg::Vst::ParamValue value);

  Steinberg::int32 PLUGIN_API getParameterCount() override { return mUsed + mNullQueues; }
  // Null for an index outside 0 … count − 1.
  Steinberg::Vst::IParamValueQueue* PLUGIN_API getParameterData(Steinberg::int32 index) override;
  // The existing queue of id, or a new one; null when every queue is in use.
  Steinberg::Vst::IParamValueQueue* PLUGIN_API addParameterData(const Steinberg::Vst::ParamID& id,
                                                                Steinberg::int32& index) override;

  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  Steinberg::uint32 PLUGIN_API addRef() override { return ++mRefs; }
  Steinberg::uint32 PLUGIN_API release() override { return --mRefs; }

  // Fault injection: a new queue for id (even if one exists) holding values
  // at offsets 0, 1, 2 ..., unchecked; null when every queue is in use.
  ParamValueQueue* AddRaw(Steinberg::Vst::ParamID id, std::initializer_list<Steinberg::Vst::ParamValue> values);
  // Fault injection: this many indexes past the real queues answer null.
  void SetNullQueues(int n) { mNullQueues = n > 0 ? n : 0; }

 private:
  std::vector<ParamValueQueue> mQueues;
  int mNullQueues = 0;
  Steinberg::int32 mUsed = 0;
  Steinberg::uint32 mRefs = 1;
};

}  // namespace vst3host
