#pragma once

#include "pluginterfaces/base/ipluginbase.h"

// The only symbols a plug-in module exports; everything else is hidden.
#define QUENBAR_MODULE_EXPORT __attribute__ ((visibility ("default")))

// Defined by the plug-in module: one-time set-up and tear-down of the loaded
// module. Called by ModuleEntry/ModuleExit on the host's main thread.
bool InitModule ();
bool DeinitModule ();

// The handle the host passed to the first ModuleEntry, null outside
// ModuleEntry/ModuleExit. Not owned.
extern void* moduleHandle;

extern "C" {
// Host main thread. Counted: only the first entry calls InitModule (and a
// failed InitModule leaves the module unentered); only the exit that
// balances it calls DeinitModule. ModuleExit returns false if DeinitModule
// fails or if there was no matching entry.
QUENBAR_MODULE_EXPORT bool ModuleEntry (void* sharedLibraryHandle);
QUENBAR_MODULE_EXPORT bool ModuleExit ();
// Defined by the plug-in module. Returns the module's factory with one
// reference for the caller.
QUENBAR_MODULE_EXPORT Steinberg::IPluginFactory* PLUGIN_API GetPluginFactory ();
}
