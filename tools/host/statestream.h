// The host's state stream: the SDK's memory stream, plus the faults that
// streams of real hosts show, switched on by tests (a stream that ends early
// and may say so, one that refuses writes, one that blocks inside every call).
// Host main thread, or any single thread at a time; the host owns the stream
// and the plug-in only borrows it during a state call. Reference counting is
// the SDK's: keep the stream alive (on the stack or owned) for the call.
#pragma once

#include <cstdint>
#include <vector>

#include "public.sdk/source/common/memorystream.h"
#include "tools/host/gate.h"

namespace vst3host {

class StateStream : public Steinberg::MemoryStream {
 public:
  StateStream() = default;
  // Holds a copy of bytes, read from the start.
  explicit StateStream(const std::vector<uint8_t>& bytes);

  // Everything written so far (or given to the constructor).
  std::vector<uint8_t> Data() const;

  // Delivers at most this many bytes over all reads (-1: no limit).
  int64_t mReadLimit = -1;
  // A read that delivers fewer bytes than asked reports kResultFalse.
  bool mFailShortReads = false;
  // Every write reports kResultFalse and stores nothing.
  bool mFailWrites = false;
  // Stores at most this many bytes over all writes, then short writes that
  // still report kResultOk (-1: no limit).
  int64_t mWriteLimit = -1;
  // When set, every read and write first passes this gate.
  Gate* mGate = nullptr;
  int mReads = 0;
  int mWrites = 0;

  Steinberg::tresult PLUGIN_API read(void* buffer, Steinberg::int32 numBytes,
                                     Steinberg::int32* numBytesRead) override;
  Steinberg::tresult PLUGIN_API write(void* buffer, Steinberg::int32 numBytes,
                                      Steinberg::int32* numBytesWritten) override;

 private:
  int64_t mDelivered = 0;
  int64_t mStored = 0;
};

}  // namespace vst3host
