#include "tools/host/statestream.h"

namespace vst3host {

using namespace Steinberg;

StateStream::StateStream(const std::vector<uint8_t>& bytes) {
  if (!bytes.empty())
    MemoryStream::write(const_cast<uint8_t*>(bytes.data()), static_cast<int32>(bytes.size()), nullptr);
  seek(0, kIBSeekSet, nullptr);
}

std::vector<uint8_t> StateStream::Data() const {
  const char* p = getData();
  const TSize n = getSize();
  if (!p || n <= 0) return {};
  return std::vector<uint8_t>(p, p + n);
}

tresult PLUGIN_API StateStream::read(void* buffer, int32 numBytes, int32* numBytesRead) {
  ++mReads;
  if (mGate) mGate->Pass();
  if (numBytesRead) *numBytesRead = 0;
  // The SDK stream copies a negative count; refuse it before it gets there.
  if (numBytes < 0 || (numBytes > 0 && !buffer)) return kInvalidArgument;
  int32 want = numBytes;
  if (mReadLimit >= 0 && mDelivered + want > mReadLimit)
    want = static_cast<int32>(mReadLimit > mDelivered ? mReadLimit - mDelivered : 0);
  int32 got = 0;
  const tresult r = MemoryStream::read(buffer, want, &got);
  mDelivered += got;
  if (numBytesRead) *numBytesRead = got;
  if (r != kResultOk) return r;
  return (mFailShortReads && got < numBytes) ? kResultFalse : kResultOk;
}

tresult PLUGIN_API StateStream::write(void* buffer, int32 numBytes, int32* numBytesWritten) {
  ++mWrites;
  if (mGate) mGate->Pass();
  if (numBytesWritten) *numBytesWritten = 0;
  if (mFailWrites) return kResultFalse;
  if (numBytes < 0 || (numBytes > 0 && !buffer)) return kInvalidArgument;
  int32 want = numBytes;
  if (mWriteLimit >= 0 && mStored + want > mWriteLimit)
    want = static_cast<int32>(mWriteLimit > mStored ? mWriteLimit - mStored : 0);
  int32 put = 0;
  const tresult r = want > 0 ? MemoryStream::write(buffer, want, &put) : kResultOk;
  mStored += put;
  if (numBytesWritten) *numBytesWritten = put;
  return r;
}

}  // namespace vst3host
