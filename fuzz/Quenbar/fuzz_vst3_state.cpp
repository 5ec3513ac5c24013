// The effect's state restore on arbitrary streams, through the component and
// the controller: a stream is either refused with nothing changed, or taken
// whole, and what was taken saves back to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "Quenbar/Quenbar.h"
#include "tools/host/statestream.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{
std::vector<uint8_t> Save(Quenbar* plug)
{
  vst3host::StateStream out;
  if (static_cast<IComponent*>(plug)->getState(&out) != kResultOk) abort();
  return out.Data();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  if (size < 1 || size > 4096) return 0;
  static Quenbar* plug = [] {
    auto* p = new Quenbar(IPluginInstanceInfo());
    p->initialize(nullptr);
    return p;
  }();
  const std::vector<uint8_t> before = Save(plug);
  const std::vector<uint8_t> bytes(data + 1, data + size);
  vst3host::StateStream in(bytes);
  // The first byte picks the restore path and how the stream misbehaves.
  in.mFailShortReads = (data[0] & 4) != 0;
  if (data[0] & 8) in.mReadLimit = data[0] >> 4;
  const tresult r = (data[0] & 1) ? static_cast<IComponent*>(plug)->setState(&in)
                                  : ((data[0] & 2) ? plug->setComponentState(&in)
                                                   : static_cast<IEditController*>(plug)->setState(&in));
  const std::vector<uint8_t> after = Save(plug);
  if (r != kResultOk)
  {
    if (after != before) abort(); // a refused restore changed something
    return 0;
  }
  if (after.size() != before.size() || bytes.size() < after.size()) abort();
  // Taken whole: the values are the stream's, the bypass word is 0 or 1.
  if (memcmp(after.data(), bytes.data(), after.size() - 4) != 0) abort();
  return 0;
}
