// Bank files: the first byte picks whether the plug-in does state chunks.
#include <cstddef>
#include <cstdint>

#include "framework/IPluginBase_fxp.h"
#include "fuzz_plug.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  if (size < 1 || size > (1 << 20)) return 0;
  FuzzPlug plug(data[0] & 1);
  ByteChunk file;
  file.PutBytes(data + 1, (int)(size - 1));
  const bool loaded = LoadBankFromChunk(&plug, &file);
  plug.CheckInvariants();
  if (loaded)
  {
    ByteChunk again;
    if (!MakeBankFile(&plug, &again)) abort();
  }
  return 0;
}
