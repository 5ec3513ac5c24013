#include "tools/host/module.h"

#include <dlfcn.h>
#include <sys/stat.h>

namespace vst3host {

namespace {

using ModuleEntryFunc = bool (*)(void*);
using ModuleExitFunc = bool (*)();
using GetFactoryFunc = Steinberg::IPluginFactory* (*)();

bool IsDirectory(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsRegularFile(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

std::string ResolveModuleLibrary(const std::string& bundlePath, std::string* error) {
  if (IsRegularFile(bundlePath)) return bundlePath;
  if (!IsDirectory(bundlePath)) {
    *error = "plug-in bundle not found: " + bundlePath;
    return std::string();
  }
  std::string dir = bundlePath;
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  std::string name = dir.substr(dir.find_last_of('/') + 1);
  const std::string ext = ".vst3";
  if (name.size() > ext.size() && name.compare(name.size() - ext.size(), ext.size(), ext) == 0)
    name.erase(name.size() - ext.size());
  const std::string lib = dir + "/Contents/x86_64-linux/" + name + ".so";
  if (!IsRegularFile(lib)) {
    *error = "bundle " + bundlePath + " has no Linux x86-64 library (expected " + lib + ")";
    return std::string();
  }
  return lib;
}

Module::~Module() { Unload(); }

bool Module::Load(const std::string& bundlePath, std::string* error) {
  Unload();
  const std::string lib = ResolveModuleLibrary(bundlePath, error);
  if (lib.empty()) return false;

  mHandle = dlopen(lib.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!mHandle) {
    const char* why = dlerror();
    *error = "cannot load " + lib + ": " + (why ? why : "unknown error");
    return false;
  }
  mLibraryPath = lib;

  auto entry = reinterpret_cast<ModuleEntryFunc>(dlsym(mHandle, "ModuleEntry"));
  auto getFactory = reinterpret_cast<GetFactoryFunc>(dlsym(mHandle, "GetPluginFactory"));
  if (!entry || !dlsym(mHandle, "ModuleExit")) {
    *error = lib + " is not a VST3 module: it does not export ModuleEntry and ModuleExit";
    Unload();
    return false;
  }
  if (!getFactory) {
    *error = lib + " is not a VST3 module: it does not export GetPluginFactory";
    Unload();
    return false;
  }
  if (!entry(mHandle)) {
    *error = lib + ": ModuleEntry refused to initialise the module";
    Unload();
    return false;
  }
  mEntered = true;
  mFactory = getFactory();
  if (!mFactory) {
    *error = lib + ": GetPluginFactory returned no factory";
    Unload();
    return false;
  }
  return true;
}

void Module::Unload() {
  if (mFactory) {
    mFactory->release();
    mFactory = nullptr;
  }
  if (mHandle) {
    if (mEntered) {
      auto exitFunc = reinterpret_cast<ModuleExitFunc>(dlsym(mHandle, "ModuleExit"));
      if (exitFunc) exitFunc();
    }
    dlclose(mHandle);
  }
  mHandle = nullptr;
  mEntered = false;
  mLibraryPath.clear();
}

}  // namespace vst3host
