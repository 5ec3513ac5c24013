// Loads the test module the way a host does: dlopen, entry, factory,
// instance, exit. Also checks that only the three entry points are visible.
#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

using namespace Steinberg;

namespace {
using EntryProc = bool (*) (void*);
using ExitProc = bool (*) ();

struct LoadedModule
{
	void* handle = dlopen (QUENBAR_TEST_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
	~LoadedModule ()
	{
		if (handle)
			dlclose (handle);
	}
};
} // namespace

TEST (Vst3GlueModuleSo, ExportsOnlyTheEntryPoints)
{
	LoadedModule m;
	ASSERT_NE (m.handle, nullptr) << dlerror ();
	EXPECT_NE (dlsym (m.handle, "ModuleEntry"), nullptr);
	EXPECT_NE (dlsym (m.handle, "ModuleExit"), nullptr);
	EXPECT_NE (dlsym (m.handle, "GetPluginFactory"), nullptr);
	// Module hooks, glue and SDK internals stay hidden.
	for (const char* hidden : {"_Z10InitModulev", "_Z12DeinitModulev", "moduleHandle",
	                           "_ZN9Steinberg14CPluginFactory7releaseEv",
	                           "_ZN9Steinberg7FObject7releaseEv", "_ZN9Steinberg4FUID3iidE"})
		EXPECT_EQ (dlsym (m.handle, hidden), nullptr) << hidden << " is exported";
}

TEST (Vst3GlueModuleSo, HostSequenceCreatesAndFreesAnInstance)
{
	LoadedModule m;
	ASSERT_NE (m.handle, nullptr) << dlerror ();
	auto entry = reinterpret_cast<EntryProc> (dlsym (m.handle, "ModuleEntry"));
	auto exitFn = reinterpret_cast<ExitProc> (dlsym (m.handle, "ModuleExit"));
	auto getFactory = reinterpret_cast<GetFactoryProc> (dlsym (m.handle, "GetPluginFactory"));
	ASSERT_TRUE (entry && exitFn && getFactory);

	ASSERT_TRUE (entry (m.handle));
	IPluginFactory* factory = getFactory ();
	ASSERT_NE (factory, nullptr);
	ASSERT_EQ (factory->countClasses (), 1);
	PClassInfo info;
	ASSERT_EQ (factory->getClassInfo (0, &info), kResultOk);
	EXPECT_STREQ (info.category, "Audio Module Class");

	void* obj = nullptr;
	ASSERT_EQ (factory->createInstance (info.cid, Vst::IComponent::iid, &obj), kResultOk);
	auto* component = static_cast<Vst::IComponent*> (obj);
	ASSERT_EQ (component->initialize (nullptr), kResultOk);
	EXPECT_EQ (component->getBusCount (Vst::kAudio, Vst::kOutput), 1);
	EXPECT_EQ (component->terminate (), kResultOk);
	EXPECT_EQ (component->release (), 0u);
	EXPECT_EQ (factory->release (), 0u);
	EXPECT_TRUE (exitFn ());
	EXPECT_FALSE (exitFn ()) << "unbalanced exit accepted";
}
