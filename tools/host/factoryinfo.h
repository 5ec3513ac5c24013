// Plain copies of what a module's factory says about itself and its classes,
// read through IPluginFactory, IPluginFactory2 or IPluginFactory3, whichever
// is the newest the factory answers. Host main thread; results are values.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "pluginterfaces/base/ipluginbase.h"

namespace vst3host {

struct ClassRecord {
  std::array<char, 16> cid{};
  std::string category;
  std::string name;
  Steinberg::int32 cardinality = 0;
  // The following come from version 2 or 3 class information only.
  Steinberg::uint32 classFlags = 0;
  std::string subCategories;
  std::string vendor;
  std::string version;
  std::string sdkVersion;
};

struct FactoryRecord {
  int interfaceVersion = 1;  // 1, 2 or 3: which factory interface answered
  std::string vendor;
  std::string url;
  std::string email;
  Steinberg::int32 flags = 0;
  std::vector<ClassRecord> classes;
};

// False with *error set when the factory refuses its factory information.
// A class whose information cannot be read is left out.
bool ReadFactory(Steinberg::IPluginFactory* factory, FactoryRecord* out, std::string* error);

// Index into out.classes of the first class of the given category, or -1.
int FindClass(const FactoryRecord& record, const char* category);

}  // namespace vst3host
