// A loaded VST3 module: the shared library of a Linux bundle, entered through
// ModuleEntry and asked for its class factory. Host main thread only.
// The Module owns one factory reference and the library handle; everything
// created from the factory must be released before the Module is unloaded.
#pragma once

#include <string>

#include "pluginterfaces/base/ipluginbase.h"

namespace vst3host {

// Path of the library inside a bundle: BUNDLE/Contents/x86_64-linux/<name>.so,
// where <name> is the bundle's folder name without ".vst3". A path to a regular
// file is taken as the library itself. Empty with *error set when neither exists.
std::string ResolveModuleLibrary(const std::string& bundlePath, std::string* error);

class Module {
 public:
  Module() = default;
  ~Module();
  Module(const Module&) = delete;
  Module& operator=(const Module&) = delete;

  // Loads the bundle (or library) at path. False with *error set on any failure;
  // nothing stays loaded then.
  bool Load(const std::string& bundlePath, std::string* error);
  // Drops the factory, calls ModuleExit and closes the library. Safe to repeat.
  void Unload();

  Steinberg::IPluginFactory* Factory() const { return mFactory; }
  const std::string& LibraryPath() const { return mLibraryPath; }

 private:
  void* mHandle = nullptr;
  bool mEntered = false;
  Steinberg::IPluginFactory* mFactory = nullptr;
  std::string mLibraryPath;
};

}  // namespace vst3host
