// The state readers on arbitrary chunks: parameter state, preset bank, version header and
// strings. The first byte picks the reader and a start position.
#include <cstddef>
#include <cstdint>

#include "fuzz_plug.h"
#include "util/utilstring.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  if (size < 1 || size > (1 << 20)) return 0;
  FuzzPlug plug(false);
  ByteChunk chunk;
  chunk.PutBytes(data + 1, (int)(size - 1));
  const int start = (data[0] >> 2) - 8;  // -8 ... 55
  int pos = start;
  switch (data[0] & 3)
  {
    case 0: pos = plug.UnserializeParams(&chunk, start); break;
    case 1: pos = plug.UnserializePresets(&chunk, start); break;
    case 2:
    {
      plug.GetFrameworkVerFromChunk(&chunk, &pos);
      if (pos >= 0) pos = plug.UnserializePresets(&chunk, pos);
      break;
    }
    case 3:
    {
      Util_String s;
      while (pos >= 0 && pos < chunk.Size()) pos = chunk.GetStr(&s, pos);
      break;
    }
  }
  if (start >= 0 && pos < -1) abort();
  plug.CheckInvariants();
  // Whatever was read, the presets must serialise again.
  ByteChunk bank;
  if (!plug.SerializePresets(&bank)) abort();
  return 0;
}
