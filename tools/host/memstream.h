// An in-memory IBStream for plug-in state. Host main thread; the host owns it
// and the plug-in only borrows it during getState/setState calls.
// Reads past the end deliver what is left (possibly nothing) and still report
// kResultOk, as hosts' memory streams commonly do.
#pragma once

#include <cstdint>
#include <vector>

#include "pluginterfaces/base/ibstream.h"

namespace vst3host {

class MemStream : public Steinberg::IBStream, public Steinberg::ISizeableStream {
 public:
  MemStream() = default;
  explicit MemStream(std::vector<uint8_t> bytes) : mData(std::move(bytes)) {}
  virtual ~MemStream() = default;

  const std::vector<uint8_t>& Data() const { return mData; }

  Steinberg::tresult PLUGIN_API read(void* buffer, Steinberg::int32 numBytes,
                                     Steinberg::int32* numBytesRead) override;
  Steinberg::tresult PLUGIN_API write(void* buffer, Steinberg::int32 numBytes,
                                      Steinberg::int32* numBytesWritten) override;
  // kInvalidArgument for an unknown mode or a position before the start;
  // a position past the end is allowed and reads nothing.
  Steinberg::tresult PLUGIN_API seek(Steinberg::int64 pos, Steinberg::int32 mode,
                                     Steinberg::int64* result) override;
  Steinberg::tresult PLUGIN_API tell(Steinberg::int64* pos) override;

  Steinberg::tresult PLUGIN_API getStreamSize(Steinberg::int64& size) override;
  Steinberg::tresult PLUGIN_API setStreamSize(Steinberg::int64 size) override;

  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  Steinberg::uint32 PLUGIN_API addRef() override { return ++mRefs; }
  Steinberg::uint32 PLUGIN_API release() override { return --mRefs; }

 private:
  std::vector<uint8_t> mData;
  Steinberg::int64 mPos = 0;
  Steinberg::uint32 mRefs = 1;
};

}  // namespace vst3host
