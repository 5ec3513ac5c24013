// The plug-in's whole state travels through the controller's state calls:
// the state chunk as SerializeState writes it, then a 32-bit bypass word.
// No header or size: the reader learns the chunk size from its own state.

#include "framework/IPluginVST3.h"

#include <cstdint>

#include "framework/ByteChunk.h"
#include "pluginterfaces/base/ibstream.h"

using namespace Steinberg;

tresult PLUGIN_API IPluginVST3::getEditorState(IBStream* state)
{
  if (!state) return kInvalidArgument;
  Util_MutexLock lock(mMutex);
  ByteChunk chunk;
  if (!SerializeState(&chunk)) return kResultFalse;
  state->write(chunk.Size() ? chunk.GetBytes() : nullptr, chunk.Size(), nullptr);
  int32_t bypass = IsBypassed() ? 1 : 0;
  state->write(&bypass, sizeof(bypass), nullptr);
  return kResultOk;
}

tresult PLUGIN_API IPluginVST3::setEditorState(IBStream* state)
{
  if (!state) return kInvalidArgument;
  Util_MutexLock lock(mMutex);

  // Start from the current state: bytes a short stream does not deliver keep
  // their present values.
  ByteChunk chunk;
  if (!SerializeState(&chunk)) return kResultFalse;
  const int size = chunk.Size();
  if (size <= 0) return kResultFalse;

  // Whatever the stream delivers overwrites the current bytes; what it does
  // not deliver keeps the current values (NaNs are skipped and out-of-range
  // values clamped by the restore).
  state->read(chunk.GetBytes(), size, nullptr);
  UnserializeState(&chunk, 0);

  int32_t bypass = 0;
  if (state->read(&bypass, sizeof(bypass), nullptr) != kResultOk) return kResultFalse;
  mIsBypassed = bypass != 0;
  RedrawParamControls();
  return kResultOk;
}
