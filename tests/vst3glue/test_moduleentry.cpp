#include "vst3glue/moduleentry.h"

#include <gtest/gtest.h>

// This binary is the "module": its hooks count calls and fail on request.
static int gInitCalls = 0;
static int gDeinitCalls = 0;
static bool gInitResult = true;
static bool gDeinitResult = true;

bool InitModule ()
{
	++gInitCalls;
	return gInitResult;
}

bool DeinitModule ()
{
	++gDeinitCalls;
	return gDeinitResult;
}

namespace {
struct Vst3GlueModuleEntry : ::testing::Test
{
	void SetUp () override
	{
		gInitCalls = gDeinitCalls = 0;
		gInitResult = gDeinitResult = true;
	}
	void TearDown () override
	{
		// Leave the module unentered for the next test.
		gDeinitResult = true;
		while (ModuleExit ())
			;
	}
};
int gHandle = 0;
} // namespace

TEST_F (Vst3GlueModuleEntry, NestedEntriesInitialiseAndDeinitialiseOnce)
{
	ASSERT_TRUE (ModuleEntry (&gHandle));
	EXPECT_EQ (moduleHandle, &gHandle);
	ASSERT_TRUE (ModuleEntry (nullptr));
	EXPECT_EQ (moduleHandle, &gHandle) << "a nested entry replaced the handle";
	EXPECT_EQ (gInitCalls, 1);

	EXPECT_TRUE (ModuleExit ());
	EXPECT_EQ (gDeinitCalls, 0);
	EXPECT_EQ (moduleHandle, &gHandle);
	EXPECT_TRUE (ModuleExit ());
	EXPECT_EQ (gDeinitCalls, 1);
	EXPECT_EQ (moduleHandle, nullptr);

	// Enter again after a full exit: set-up runs again.
	ASSERT_TRUE (ModuleEntry (&gHandle));
	EXPECT_EQ (gInitCalls, 2);
	EXPECT_TRUE (ModuleExit ());
}

TEST_F (Vst3GlueModuleEntry, ExitWithoutEntryIsRefused)
{
	EXPECT_FALSE (ModuleExit ());
	EXPECT_EQ (gDeinitCalls, 0);
}

TEST_F (Vst3GlueModuleEntry, FailedInitLeavesModuleUnentered)
{
	gInitResult = false;
	EXPECT_FALSE (ModuleEntry (&gHandle));
	EXPECT_EQ (moduleHandle, nullptr);
	EXPECT_FALSE (ModuleExit ()) << "nothing to exit after a failed entry";
	EXPECT_EQ (gDeinitCalls, 0);

	gInitResult = true;
	EXPECT_TRUE (ModuleEntry (&gHandle));
	EXPECT_EQ (gInitCalls, 2);
}

TEST_F (Vst3GlueModuleEntry, FailedDeinitReportsFalseAndCanBeRetried)
{
	ASSERT_TRUE (ModuleEntry (&gHandle));
	gDeinitResult = false;
	EXPECT_FALSE (ModuleExit ());
	EXPECT_EQ (gDeinitCalls, 1);
	EXPECT_EQ (moduleHandle, &gHandle) << "module still entered after a failed exit";
	gDeinitResult = true;
	EXPECT_TRUE (ModuleExit ());
	EXPECT_EQ (gDeinitCalls, 2);
	EXPECT_FALSE (ModuleExit ());
}
