#include "vst3glue/moduleentry.h"

#include <mutex>

void* moduleHandle = nullptr;

namespace {
std::mutex gEntryMutex;
int gEntryCount = 0;
} // namespace

bool ModuleEntry (void* sharedLibraryHandle)
{
	std::lock_guard<std::mutex> lock (gEntryMutex);
	if (gEntryCount > 0)
	{
		++gEntryCount;
		return true;
	}
	moduleHandle = sharedLibraryHandle;
	if (!InitModule ())
	{
		moduleHandle = nullptr;
		return false;
	}
	gEntryCount = 1;
	return true;
}

bool ModuleExit ()
{
	std::lock_guard<std::mutex> lock (gEntryMutex);
	if (gEntryCount <= 0)
		return false;
	if (gEntryCount == 1)
	{
		// A failed tear-down leaves the module entered, so the host may retry.
		if (!DeinitModule ())
			return false;
		moduleHandle = nullptr;
	}
	--gEntryCount;
	return true;
}
