#include "tools/host/paramchanges.h"

namespace vst3host {

using namespace Steinberg;

ParamValueQueue::ParamValueQueue(int maxPoints)
    : mPoints(static_cast<size_t>(maxPoints > 0 ? maxPoints : 1)) {}

void ParamValueQueue::Reset(Vst::ParamID id) {
  mId = id;
  mCount = 0;
  mReads = 0;
}

bool ParamValueQueue::SetPoint(int32 index, int32 sampleOffset, Vst::ParamValue value) {
  if (index < 0 || index > mCount || index >= static_cast<int32>(mPoints.size())) return false;
  mPoints[static_cast<size_t>(index)] = {sampleOffset, value};
  if (index == mCount) ++mCount;
  return true;
}

tresult PLUGIN_API ParamValueQueue::getPoint(int32 index, int32& sampleOffset,
                                             Vst::ParamValue& value) {
  ++mReads;
  if (index < 0 || index >= mCount) return kResultFalse;
  sampleOffset = mPoints[static_cast<size_t>(index)].offset;
  value = mPoints[static_cast<size_t>(index)].value;
  return kResultOk;
}

tresult PLUGIN_API ParamValueQueue::addPoint(int32 sampleOffset, Vst::ParamValue value,
                                             int32& index) {
  if (sampleOffset < 0 || !(value >= 0.0 && value <= 1.0)) return kResultFalse;
  int32 pos = 0;
  while (pos < mCount && mPoints[static_cast<size_t>(pos)].offset < sampleOffset) ++pos;
  if (pos < mCount && mPoints[static_cast<size_t>(pos)].offset == sampleOffset) {
    mPoints[static_cast<size_t>(pos)].value = value;
    index = pos;
    return kResultOk;
  }
  if (mCount >= static_cast<int32>(mPoints.size())) return kResultFalse;
  for (int32 i = mCount; i > pos; --i)
    mPoints[static_cast<size_t>(i)] = mPoints[static_cast<size_t>(i - 1)];
  mPoints[static_cast<size_t>(pos)] = {sampleOffset, value};
  ++mCount;
  index = pos;
  return kResultOk;
}

tresult PLUGIN_API ParamValueQueue::queryInterface(const TUID iid, void** obj) {
  if (FUnknownPrivate::iidEqual(iid, FUnknown::iid) ||
      FUnknownPrivate::iidEqual(iid, Vst::IParamValueQueue::iid)) {
    addRef();
    *obj = this;
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}

ParameterChanges::ParameterChanges(int maxQueues, int maxPointsPerQueue)
    : mQueues(static_cast<size_t>(maxQueues > 0 ? maxQueues : 1),
              ParamValueQueue(maxPointsPerQueue)) {}

bool ParameterChanges::Add(Vst::ParamID id, int32 sampleOffset, Vst::ParamValue value) {
  int32 queueIndex = 0;
  Vst::IParamValueQueue* queue = addParameterData(id, queueIndex);
  int32 pointIndex = 0;
  return queue && queue->addPoint(sampleOffset, value, pointIndex) == kResultOk;
}

ParamValueQueue* ParameterChanges::AddRaw(Vst::ParamID id, std::initializer_list<Vst::ParamValue> values) {
  if (mUsed >= static_cast<int32>(mQueues.size())) return nullptr;
  ParamValueQueue& q = mQueues[static_cast<size_t>(mUsed++)];
  q.Reset(id);
  int32 i = 0;
  for (Vst::ParamValue v : values) {
    q.SetPoint(i, i, v);
    ++i;
  }
  return &q;
}

Vst::IParamValueQueue* PLUGIN_API ParameterChanges::getParameterData(int32 index) {
  if (index < 0 || index >= mUsed) return nullptr;
  return &mQueues[static_cast<size_t>(index)];
}

Vst::IParamValueQueue* PLUGIN_API ParameterChanges::addParameterData(const Vst::ParamID& id,
                                                                     int32& index) {
  for (int32 i = 0; i < mUsed; ++i) {
    if (mQueues[static_cast<size_t>(i)].getParameterId() == id) {
      index = i;
      return &mQueues[static_cast<size_t>(i)];
    }
  }
  if (mUsed >= static_cast<int32>(mQueues.size())) return nullptr;
  index = mUsed;
  mQueues[static_cast<size_t>(mUsed)].Reset(id);
  return &mQueues[static_cast<size_t>(mUsed++)];
}

tresult PLUGIN_API ParameterChanges::queryInterface(const TUID iid, void** obj) {
  if (FUnknownPrivate::iidEqual(iid, FUnknown::iid) ||
      FUnknownPrivate::iidEqual(iid, Vst::IParameterChanges::iid)) {
    addRef();
    *obj = this;
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}

}  // namespace vst3host
