#include "tools/host/session.h"

namespace vst3host {

bool Session::Open(const std::string& bundlePath, std::string* error) {
  if (!module.Load(bundlePath, error)) return false;
  if (!ReadFactory(module.Factory(), &factory, error)) return false;
  classIndex = FindClass(factory, "Audio Module Class");
  if (classIndex < 0) {
    *error = bundlePath + " offers no audio module class";
    return false;
  }
  if (!plugin.Create(module.Factory(), factory.classes[static_cast<size_t>(classIndex)].cid.data(),
                     error)) {
    *error = "cannot create \"" + factory.classes[static_cast<size_t>(classIndex)].name +
             "\": " + *error;
    return false;
  }
  return true;
}

}  // namespace vst3host
