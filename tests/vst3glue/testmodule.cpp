// The module side a plug-in writes on top of the glue: one factory, made on
// first use, with one registered class.
#include "testgain.h"
#include "vst3glue/moduleentry.h"
#include "vst3glue/pluginfactory.h"

using namespace Steinberg;

static CPluginFactory* gPluginFactory = nullptr;

IPluginFactory* PLUGIN_API GetPluginFactory ()
{
	if (gPluginFactory)
	{
		gPluginFactory->addRef ();
		return gPluginFactory;
	}
	static const PFactoryInfo factoryInfo ("Test Vendor", "https://example.invalid/",
	                                       "mailto:test@example.invalid", PFactoryInfo::kUnicode);
	gPluginFactory = new CPluginFactory (factoryInfo);
	gPluginFactory->setModuleSlot (&gPluginFactory);
	static const PClassInfo2 componentClass (kTestGainCid, PClassInfo::kManyInstances,
	                                         "Audio Module Class", "Test Gain", 2, "Fx|Dynamics",
	                                         "", "1.0.0", "VST 3.6.12");
	gPluginFactory->registerClass (&componentClass, createTestGain, nullptr);
	return gPluginFactory;
}
