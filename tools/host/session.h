// A loaded module together with one instance of its first audio-effect class.
// Host main thread. Members are declared so that the instance is destroyed
// before the module that holds its code is unloaded.
#pragma once

#include <string>

#include "tools/host/factoryinfo.h"
#include "tools/host/module.h"
#include "tools/host/plugin.h"

namespace vst3host {

struct Session {
  Module module;
  FactoryRecord factory;
  int classIndex = -1;  // index into factory.classes of the instance's class
  Plugin plugin;        // declared after module: destroyed first

  // Loads the bundle, reads its factory and creates the first class of
  // category "Audio Module Class". False with *error set.
  bool Open(const std::string& bundlePath, std::string* error);
};

}  // namespace vst3host
