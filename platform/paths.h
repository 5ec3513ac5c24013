// Folders of a Linux desktop by the XDG conventions, and where the module
// itself was loaded from. Any thread; results are owned by the caller.
#pragma once

#include <string>

namespace platform
{
// $HOME, else the password database's home, else "/".
std::string HomeDir();
// The user-dirs entry for key (e.g. "XDG_DESKTOP_DIR") from the environment or
// $XDG_CONFIG_HOME/user-dirs.dirs, else HomeDir() + "/" + fallback.
std::string UserDir(const char* key, const char* fallback);
// Path of the shared object (or program) that holds this code.
std::string ModulePath();
// The bundle folder (….vst3) the module lies in, or "" when it is not inside one.
std::string BundleDirOf(const std::string& modulePath);
// "Quenbar.vst3" for the bundle identifier "com.Tressivolantica.vst3.Quenbar":
// its last part; "" for an empty identifier.
std::string BundleNameOf(const char* bundleID);
// A program that links the editor in rather than loading the bundle (the
// command-line tool, tests) finds the bundle built beside it: the first
// folder named bundleName in the program's folder or up to four above it.
std::string FindBundleNear(const std::string& programPath, const std::string& bundleName);
} // namespace platform
