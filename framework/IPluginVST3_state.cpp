// The plug-in's whole state travels as one stream, the same through the
// component's and the controller's state calls: the state chunk as
// SerializeState writes it, then a 32-bit bypass word. No header or size: the
// reader learns the chunk size from its own state.
//
// The host's stream is only ever touched outside the plug-in mutex, through a
// buffer of our own, so a slow or stalled stream never holds up a block. A
// restore is all-or-nothing: the whole stream is read and checked before
// anything is applied.

#include "framework/IPluginVST3.h"

#include <cstdint>

#include "framework/ByteChunk.h"
#include "pluginterfaces/base/ibstream.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{
constexpr int kBypassWordSize = (int)sizeof(int32_t);

// Reads exactly size bytes; false when the stream fails or ends first. A
// stream that answers ok without saying how much it read has read it all.
bool ReadAll(IBStream* stream, unsigned char* dest, int size)
{
  int done = 0;
  while (done < size)
  {
    int32 got = -1;
    if (stream->read(dest + done, size - done, &got) != kResultOk) return false;
    if (got < 0) got = size - done;
    if (got == 0 || got > size - done) return false;
    done += got;
  }
  return true;
}

bool WriteAll(IBStream* stream, unsigned char* src, int size)
{
  int done = 0;
  while (done < size)
  {
    int32 put = -1;
    if (stream->write(src + done, size - done, &put) != kResultOk) return false;
    if (put < 0) put = size - done;
    if (put == 0 || put > size - done) return false;
    done += put;
  }
  return true;
}
} // namespace

bool IPluginVST3::SnapshotState(ByteChunk* out)
{
  Util_MutexLock lock(mMutex);
  if (!SerializeState(out)) return false;
  const int32_t bypass = IsBypassed() ? 1 : 0;
  return out->Put(&bypass) > 0;
}

tresult IPluginVST3::SaveStateTo(IBStream* state)
{
  if (!state) return kInvalidArgument;
  ByteChunk chunk;
  if (!SnapshotState(&chunk)) return kResultFalse;
  return WriteAll(state, chunk.GetBytes(), chunk.Size()) ? kResultOk : kResultFalse;
}

tresult IPluginVST3::RestoreStateFrom(IBStream* state)
{
  if (!state) return kInvalidArgument;

  // The chunk size is that of our own current state.
  ByteChunk incoming;
  if (!SnapshotState(&incoming)) return kResultFalse;
  const int chunkSize = incoming.Size() - kBypassWordSize;
  if (chunkSize <= 0) return kResultFalse;

  // Longer streams are fine: what follows the bypass word is not ours.
  if (!ReadAll(state, incoming.GetBytes(), incoming.Size())) return kResultFalse;
  int32_t bypass = 0;
  if (incoming.Get(&bypass, chunkSize) < 0) return kResultFalse;

  {
    Util_MutexLock lock(mMutex);
    if (UnserializeStateChecked(&incoming, 0) != chunkSize) return kResultFalse;
    mIsBypassed = bypass != 0;
    RedrawParamControls();
  }
  // Hosts keep their own copy of the values and re-read it only when told.
  if (componentHandler) componentHandler->restartComponent(kParamValuesChanged);
  return kResultOk;
}

tresult PLUGIN_API IPluginVST3::getEditorState(IBStream* state)
{
  return SaveStateTo(state);
}

tresult PLUGIN_API IPluginVST3::setEditorState(IBStream* state)
{
  return RestoreStateFrom(state);
}

tresult PLUGIN_API IPluginVST3::getProcessorState(IBStream* state)
{
  return SaveStateTo(state);
}

tresult PLUGIN_API IPluginVST3::setProcessorState(IBStream* state)
{
  return RestoreStateFrom(state);
}

tresult PLUGIN_API IPluginVST3::setComponentState(IBStream* state)
{
  return RestoreStateFrom(state);
}
