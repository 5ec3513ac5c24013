#include "tools/host/memstream.h"

#include <cstring>

namespace vst3host {

using namespace Steinberg;

namespace {
// State streams beyond this are refused rather than grown without bound.
constexpr int64 kMaxStreamSize = int64{1} << 30;
}  // namespace

tresult PLUGIN_API MemStream::read(void* buffer, int32 numBytes, int32* numBytesRead) {
  if (numBytesRead) *numBytesRead = 0;
  if (numBytes < 0 || (numBytes > 0 && !buffer)) return kInvalidArgument;
  const int64 size = static_cast<int64>(mData.size());
  const int64 avail = mPos < size ? size - mPos : 0;
  const int32 n = static_cast<int32>(avail < numBytes ? avail : numBytes);
  if (n > 0) {
    std::memcpy(buffer, mData.data() + mPos, static_cast<size_t>(n));
    mPos += n;
  }
  if (numBytesRead) *numBytesRead = n;
  return kResultOk;
}

tresult PLUGIN_API MemStream::write(void* buffer, int32 numBytes, int32* numBytesWritten) {
  if (numBytesWritten) *numBytesWritten = 0;
  if (numBytes < 0 || (numBytes > 0 && !buffer)) return kInvalidArgument;
  if (mPos + numBytes > kMaxStreamSize) return kOutOfMemory;
  const size_t end = static_cast<size_t>(mPos + numBytes);
  if (end > mData.size()) mData.resize(end, 0);
  if (numBytes > 0) std::memcpy(mData.data() + mPos, buffer, static_cast<size_t>(numBytes));
  mPos += numBytes;
  if (numBytesWritten) *numBytesWritten = numBytes;
  return kResultOk;
}

tresult PLUGIN_API MemStream::seek(int64 pos, int32 mode, int64* result) {
  int64 base = 0;
  switch (mode) {
    case kIBSeekSet: base = 0; break;
    case kIBSeekCur: base = mPos; break;
    case kIBSeekEnd: base = static_cast<int64>(mData.size()); break;
    default: return kInvalidArgument;
  }
  const int64 target = base + pos;
  if (target < 0 || target > kMaxStreamSize) return kInvalidArgument;
  mPos = target;
  if (result) *result = mPos;
  return kResultOk;
}

tresult PLUGIN_API MemStream::tell(int64* pos) {
  if (!pos) return kInvalidArgument;
  *pos = mPos;
  return kResultOk;
}

tresult PLUGIN_API MemStream::getStreamSize(int64& size) {
  size = static_cast<int64>(mData.size());
  return kResultOk;
}

tresult PLUGIN_API MemStream::setStreamSize(int64 size) {
  if (size < 0 || size > kMaxStreamSize) return kInvalidArgument;
  mData.resize(static_cast<size_t>(size), 0);
  return kResultOk;
}

tresult PLUGIN_API MemStream::queryInterface(const TUID iid, void** obj) {
  if (FUnknownPrivate::iidEqual(iid, FUnknown::iid) ||
      FUnknownPrivate::iidEqual(iid, IBStream::iid)) {
    addRef();
    *obj = static_cast<IBStream*>(this);
    return kResultOk;
  }
  if (FUnknownPrivate::iidEqual(iid, ISizeableStream::iid)) {
    addRef();
    *obj = static_cast<ISizeableStream*>(this);
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}

}  // namespace vst3host
