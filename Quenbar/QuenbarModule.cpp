// Module entry and class factory: what a host sees before any instance exists.
#include <cstring>
#include <mutex>
#include <new>

#include "Quenbar/Quenbar.h"
#include "Quenbar/QuenbarIdentity.h"
#include "util/mutex.h"
#include "vst3glue/moduleentry.h"
#include "vst3glue/pluginfactory.h"

using namespace Steinberg;

namespace
{
CPluginFactory* gPluginFactory = nullptr;
std::mutex gFactoryGuard;

void PutBigEndian(char8* out, uint32 word)
{
  out[0] = char8((word >> 24) & 0xFF);
  out[1] = char8((word >> 16) & 0xFF);
  out[2] = char8((word >> 8) & 0xFF);
  out[3] = char8(word & 0xFF);
}

const PFactoryInfo& FactoryInfo()
{
  static const PFactoryInfo info(QuenbarIdentity::kVendor, QuenbarIdentity::kVendorUrl,
                                 QuenbarIdentity::kVendorEmail, PFactoryInfo::kUnicode);
  return info;
}

const PClassInfo2& ComponentClass()
{
  static const PClassInfo2 info = [] {
    TUID cid;
    for (int i = 0; i < 4; ++i)
      PutBigEndian(cid + 4 * i, QuenbarIdentity::kClassIdWords[i]);
    return PClassInfo2(cid, PClassInfo::kManyInstances, kVstAudioEffectClass, QuenbarIdentity::kEffectName,
                       Vst::kSimpleModeSupported, "Fx|Dynamics", "", QuenbarIdentity::kVersionText,
                       "VST 3.6.12");
  }();
  return info;
}

// One construction at a time, whichever threads the host creates from.
Util_Mutex& CreationLock()
{
  static Util_Mutex lock;
  return lock;
}

// Never lets an exception reach the host: a failed construction reports
// "no instance" and the factory turns that into an error code.
FUnknown* createInstance(void* /*context*/)
{
  try
  {
    Quenbar* plug = MakePlug();
    return static_cast<Vst::IAudioProcessor*>(plug);
  }
  catch (...)
  {
    return nullptr;
  }
}
}  // namespace

Quenbar* MakePlug()
{
  Util_MutexLock lock(CreationLock());
  return new Quenbar(IPluginInstanceInfo());
}

bool InitModule()
{
  return true;
}

bool DeinitModule()
{
  return true;
}

IPluginFactory* PLUGIN_API GetPluginFactory()
{
  std::lock_guard<std::mutex> guard(gFactoryGuard);
  if (gPluginFactory)
  {
    gPluginFactory->addRef();
    return gPluginFactory;
  }
  auto* factory = new (std::nothrow) CPluginFactory(FactoryInfo());
  if (!factory)
    return nullptr;
  factory->setModuleSlot(&gPluginFactory);
  factory->registerClass(&ComponentClass(), createInstance, nullptr);
  gPluginFactory = factory;
  return factory;
}
