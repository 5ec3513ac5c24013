#include "testgain.h"
#include "vst3glue/moduleentry.h"
#include "vst3glue/pluginfactory.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <string>

using namespace Steinberg;

namespace {

std::string narrow (const char16* s)
{
	std::string out;
	for (; *s; ++s)
		out += static_cast<char> (*s);
	return out;
}

// Every byte after the terminator must be zero: hosts compare whole fields.
template <class T, size_t N>
bool zeroFilledAfterText (const T (&field)[N])
{
	size_t i = 0;
	while (i < N && field[i] != 0)
		++i;
	if (i == N)
		return false; // unterminated
	for (; i < N; ++i)
		if (field[i] != 0)
			return false;
	return true;
}

struct Vst3GlueFactory : ::testing::Test
{
	IPluginFactory* factory = nullptr;
	void SetUp () override { factory = GetPluginFactory (); }
	void TearDown () override
	{
		if (factory)
			factory->release ();
		EXPECT_EQ (TestGain::liveCount.load (), 0) << "an instance leaked";
	}
};

} // namespace

TEST_F (Vst3GlueFactory, FactoryInfoReadsBack)
{
	PFactoryInfo info;
	memset (info.vendor, 'x', sizeof (info.vendor));
	ASSERT_EQ (factory->getFactoryInfo (&info), kResultOk);
	EXPECT_STREQ (info.vendor, "Test Vendor");
	EXPECT_STREQ (info.url, "https://example.invalid/");
	EXPECT_STREQ (info.email, "mailto:test@example.invalid");
	EXPECT_EQ (info.flags, 16);
	EXPECT_TRUE (zeroFilledAfterText (info.vendor));
	EXPECT_TRUE (zeroFilledAfterText (info.url));
	EXPECT_EQ (factory->getFactoryInfo (nullptr), kInvalidArgument);
}

TEST_F (Vst3GlueFactory, ClassInfoInAllThreeVersions)
{
	ASSERT_EQ (factory->countClasses (), 1);

	PClassInfo v1;
	ASSERT_EQ (factory->getClassInfo (0, &v1), kResultOk);
	EXPECT_EQ (memcmp (v1.cid, kTestGainCid, sizeof (TUID)), 0);
	EXPECT_EQ (v1.cardinality, 0x7FFFFFFF);
	EXPECT_STREQ (v1.category, "Audio Module Class");
	EXPECT_STREQ (v1.name, "Test Gain");

	FUnknownPtr<IPluginFactory2> f2 (factory);
	ASSERT_TRUE (f2);
	PClassInfo2 v2;
	ASSERT_EQ (f2->getClassInfo2 (0, &v2), kResultOk);
	EXPECT_EQ (memcmp (v2.cid, kTestGainCid, sizeof (TUID)), 0);
	EXPECT_EQ (v2.classFlags, 2u);
	EXPECT_STREQ (v2.subCategories, "Fx|Dynamics");
	EXPECT_STREQ (v2.vendor, "");
	EXPECT_STREQ (v2.version, "1.0.0");
	EXPECT_STREQ (v2.sdkVersion, "VST 3.6.12");
	EXPECT_TRUE (zeroFilledAfterText (v2.category));
	EXPECT_TRUE (zeroFilledAfterText (v2.subCategories));

	FUnknownPtr<IPluginFactory3> f3 (factory);
	ASSERT_TRUE (f3);
	PClassInfoW w;
	ASSERT_EQ (f3->getClassInfoUnicode (0, &w), kResultOk);
	EXPECT_EQ (memcmp (w.cid, kTestGainCid, sizeof (TUID)), 0);
	EXPECT_EQ (narrow (w.name), "Test Gain");
	EXPECT_STREQ (w.category, "Audio Module Class");
	EXPECT_EQ (w.classFlags, 2u);
	EXPECT_EQ (narrow (w.version), "1.0.0");
	EXPECT_EQ (narrow (w.sdkVersion), "VST 3.6.12");
	EXPECT_TRUE (zeroFilledAfterText (w.name));
	EXPECT_TRUE (zeroFilledAfterText (w.sdkVersion));

	// Indexes outside the one class are refused, in every version.
	EXPECT_EQ (factory->getClassInfo (1, &v1), kInvalidArgument);
	EXPECT_EQ (factory->getClassInfo (-1, &v1), kInvalidArgument);
	EXPECT_EQ (f2->getClassInfo2 (1, &v2), kInvalidArgument);
	EXPECT_EQ (f3->getClassInfoUnicode (1, &w), kInvalidArgument);
	EXPECT_EQ (factory->getClassInfo (0, nullptr), kInvalidArgument);
}

TEST_F (Vst3GlueFactory, SecondLookupSharesTheFactoryWithOneMoreReference)
{
	uint32 before = factory->addRef ();
	factory->release ();

	IPluginFactory* again = GetPluginFactory ();
	EXPECT_EQ (again, factory);
	uint32 after = factory->addRef ();
	factory->release ();
	EXPECT_EQ (after, before + 1);
	EXPECT_EQ (again->countClasses (), 1) << "class registered twice";
	again->release ();
}

TEST (Vst3GlueFactoryLifetime, LookupAfterFullReleaseMakesAWorkingFactory)
{
	IPluginFactory* first = GetPluginFactory ();
	EXPECT_EQ (first->release (), 0u);
	// The module's pointer must not dangle now (ASan builds catch a reuse).
	IPluginFactory* second = GetPluginFactory ();
	ASSERT_NE (second, nullptr);
	EXPECT_EQ (second->countClasses (), 1);
	EXPECT_EQ (second->release (), 0u);
}

TEST_F (Vst3GlueFactory, QueryInterfaceAnswersEveryFactoryVersion)
{
	for (const FUID* iid : {&FUnknown::iid, &IPluginFactory::iid, &IPluginFactory2::iid,
	                        &IPluginFactory3::iid})
	{
		void* obj = nullptr;
		ASSERT_EQ (factory->queryInterface (*iid, &obj), kResultOk);
		ASSERT_NE (obj, nullptr);
		static_cast<FUnknown*> (obj)->release ();
	}
	void* obj = reinterpret_cast<void*> (1);
	EXPECT_EQ (factory->queryInterface (Vst::IComponent::iid, &obj), kNoInterface);
	EXPECT_EQ (obj, nullptr);
}

TEST_F (Vst3GlueFactory, CreateInstanceByClassId)
{
	void* obj = nullptr;
	ASSERT_EQ (factory->createInstance (kTestGainCid, Vst::IComponent::iid, &obj), kResultOk);
	ASSERT_NE (obj, nullptr);
	EXPECT_EQ (TestGain::liveCount.load (), 1);
	auto* component = static_cast<Vst::IComponent*> (obj);

	// The factory dropped the creation reference: the caller holds the only one.
	EXPECT_EQ (component->addRef (), 2u);
	component->release ();

	// Different faces are one object.
	FUnknownPtr<Vst::IEditController> controller (component);
	ASSERT_TRUE (controller);
	FUnknownPtr<Vst::IAudioProcessor> processor (component);
	ASSERT_TRUE (processor);
	EXPECT_EQ (static_cast<TestGain*> (static_cast<Vst::IAudioProcessor*> (processor)),
	           static_cast<TestGain*> (component));

	controller = nullptr;
	processor = nullptr;
	EXPECT_EQ (component->release (), 0u);
	EXPECT_EQ (TestGain::liveCount.load (), 0);
}

TEST_F (Vst3GlueFactory, CreateInstanceRefusals)
{
	TUID wrong;
	memcpy (wrong, kTestGainCid, sizeof (TUID));
	wrong[15] ^= 1;
	void* obj = reinterpret_cast<void*> (1);
	EXPECT_EQ (factory->createInstance (wrong, Vst::IComponent::iid, &obj), kNoInterface);
	EXPECT_EQ (obj, nullptr);
	EXPECT_EQ (TestGain::liveCount.load (), 0);

	// Right class, interface it does not have: the instance is made and freed again.
	obj = reinterpret_cast<void*> (1);
	EXPECT_EQ (factory->createInstance (kTestGainCid, IPluginFactory::iid, &obj), kNoInterface);
	EXPECT_EQ (obj, nullptr);
	EXPECT_EQ (TestGain::liveCount.load (), 0);

	EXPECT_EQ (factory->createInstance (nullptr, Vst::IComponent::iid, &obj), kInvalidArgument);
	EXPECT_EQ (factory->createInstance (kTestGainCid, nullptr, &obj), kInvalidArgument);
	EXPECT_EQ (factory->createInstance (kTestGainCid, Vst::IComponent::iid, nullptr),
	           kInvalidArgument);
}

namespace {
FUnknown* throwingCreate (void*)
{
	throw std::bad_alloc ();
}
FUnknown* nullCreate (void*)
{
	return nullptr;
}
void* gSeenContext = nullptr;
FUnknown* contextCreate (void* context)
{
	gSeenContext = context;
	return createTestGain (nullptr);
}
const TUID kOtherCid = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
} // namespace

TEST (Vst3GlueFactoryRegistration, FailedCreationBecomesAResultCode)
{
	CPluginFactory f (PFactoryInfo ("V", "https://v/", "v@v", 0));
	PClassInfo info (kTestGainCid, 1, "Audio Module Class", "Throws");
	ASSERT_TRUE (f.registerClass (&info, throwingCreate));
	PClassInfo info2 (kOtherCid, 1, "Audio Module Class", "Null");
	ASSERT_TRUE (f.registerClass (&info2, nullCreate));

	void* obj = reinterpret_cast<void*> (1);
	EXPECT_EQ (f.createInstance (kTestGainCid, FUnknown::iid, &obj), kOutOfMemory);
	EXPECT_EQ (obj, nullptr);
	EXPECT_EQ (f.createInstance (kOtherCid, FUnknown::iid, &obj), kOutOfMemory);
	EXPECT_EQ (obj, nullptr);
}

TEST (Vst3GlueFactoryRegistration, RefusesDuplicatesAndMissingParts)
{
	CPluginFactory f (PFactoryInfo ("V", "https://v/", "v@v", 0));
	PClassInfo info (kTestGainCid, 1, "Audio Module Class", "A");
	EXPECT_FALSE (f.registerClass (&info, nullptr));
	EXPECT_FALSE (f.registerClass (static_cast<const PClassInfo*> (nullptr), createTestGain));
	int token = 0;
	EXPECT_TRUE (f.registerClass (&info, contextCreate, &token));
	EXPECT_FALSE (f.registerClass (&info, createTestGain)) << "same class identifier twice";
	EXPECT_EQ (f.countClasses (), 1);

	// The registered context reaches the creation function.
	void* obj = nullptr;
	ASSERT_EQ (f.createInstance (kTestGainCid, FUnknown::iid, &obj), kResultOk);
	EXPECT_EQ (gSeenContext, &token);
	static_cast<FUnknown*> (obj)->release ();

	f.removeAllClasses ();
	EXPECT_EQ (f.countClasses (), 0);
	EXPECT_EQ (f.createInstance (kTestGainCid, FUnknown::iid, &obj), kNoInterface);
}

TEST (Vst3GlueFactoryRegistration, VersionOneRecordLeavesVersionTwoFieldsEmpty)
{
	CPluginFactory f (PFactoryInfo ("V", "https://v/", "v@v", 0));
	PClassInfo info (kTestGainCid, 3, "Audio Module Class", "Old");
	ASSERT_TRUE (f.registerClass (&info, createTestGain));
	PClassInfo2 v2;
	memset (v2.version, 'x', sizeof (v2.version));
	ASSERT_EQ (f.getClassInfo2 (0, &v2), kResultOk);
	EXPECT_EQ (v2.cardinality, 3);
	EXPECT_STREQ (v2.name, "Old");
	EXPECT_STREQ (v2.version, "");
	EXPECT_EQ (v2.classFlags, 0u);
	PClassInfoW w;
	ASSERT_EQ (f.getClassInfoUnicode (0, &w), kResultOk);
	EXPECT_EQ (narrow (w.name), "Old");
}

TEST (Vst3GlueFactoryRegistration, UnicodeRecordNarrowsForOlderQueries)
{
	CPluginFactory f (PFactoryInfo ("V", "https://v/", "v@v", 0));
	const char16 name[] = {'G', 'r', 0x00FC, 'n', 0};
	PClassInfoW w (kTestGainCid, 1, "Audio Module Class", name, 2, "Fx", STR16 ("Maker"),
	               STR16 ("2.0"), STR16 ("VST 3.6.12"));
	ASSERT_TRUE (f.registerClass (&w, createTestGain));
	PClassInfo2 v2;
	ASSERT_EQ (f.getClassInfo2 (0, &v2), kResultOk);
	EXPECT_STREQ (v2.name, "Gr?n");
	EXPECT_STREQ (v2.vendor, "Maker");
	EXPECT_STREQ (v2.version, "2.0");
	PClassInfoW back;
	ASSERT_EQ (f.getClassInfoUnicode (0, &back), kResultOk);
	EXPECT_EQ (back.name[2], 0x00FC) << "Unicode name kept as given";
}

TEST (Vst3GlueFactoryRegistration, OverlongAndUnterminatedTextsAreCut)
{
	// A 64-byte vendor with no terminator and a 32-byte category likewise.
	PFactoryInfo fi;
	memset (fi.vendor, 'v', sizeof (fi.vendor));
	memset (fi.url, 'u', sizeof (fi.url));
	memset (fi.email, 'e', sizeof (fi.email));
	fi.flags = 0;
	CPluginFactory f (fi);
	PFactoryInfo out;
	ASSERT_EQ (f.getFactoryInfo (&out), kResultOk);
	EXPECT_EQ (strlen (out.vendor), sizeof (out.vendor) - 1);
	EXPECT_EQ (strlen (out.url), sizeof (out.url) - 1);

	PClassInfo2 info;
	memcpy (info.cid, kTestGainCid, sizeof (TUID));
	info.cardinality = 1;
	memset (info.category, 'c', sizeof (info.category));
	memset (info.name, 'n', sizeof (info.name));
	memset (info.subCategories, 's', sizeof (info.subCategories));
	memset (info.vendor, 'v', sizeof (info.vendor));
	memset (info.version, '1', sizeof (info.version));
	memset (info.sdkVersion, '3', sizeof (info.sdkVersion));
	info.classFlags = 0;
	ASSERT_TRUE (f.registerClass (&info, createTestGain));

	PClassInfo2 v2;
	ASSERT_EQ (f.getClassInfo2 (0, &v2), kResultOk);
	EXPECT_EQ (strlen (v2.category), sizeof (v2.category) - 1);
	EXPECT_EQ (strlen (v2.sdkVersion), sizeof (v2.sdkVersion) - 1);
	PClassInfoW w;
	ASSERT_EQ (f.getClassInfoUnicode (0, &w), kResultOk);
	EXPECT_EQ (narrow (w.name).size (), sizeof (w.name) / sizeof (w.name[0]) - 1);
	EXPECT_TRUE (zeroFilledAfterText (w.sdkVersion));
	EXPECT_EQ (narrow (w.sdkVersion).size (), 63u);
}
