#include "tools/host/factoryinfo.h"

#include <cstring>

#include "tools/host/strings.h"

namespace vst3host {

using namespace Steinberg;

namespace {

template <class T>
T* Query(FUnknown* obj) {
  void* p = nullptr;
  if (obj->queryInterface(T::iid, &p) != kResultOk) return nullptr;
  return static_cast<T*>(p);
}

}  // namespace

bool ReadFactory(IPluginFactory* factory, FactoryRecord* out, std::string* error) {
  *out = FactoryRecord();
  PFactoryInfo fi{};
  if (factory->getFactoryInfo(&fi) != kResultOk) {
    *error = "the plug-in factory refuses to describe itself (getFactoryInfo failed)";
    return false;
  }
  out->vendor = FixedToString(fi.vendor, PFactoryInfo::kNameSize);
  out->url = FixedToString(fi.url, PFactoryInfo::kURLSize);
  out->email = FixedToString(fi.email, PFactoryInfo::kEmailSize);
  out->flags = fi.flags;

  IPluginFactory2* f2 = Query<IPluginFactory2>(factory);
  IPluginFactory3* f3 = Query<IPluginFactory3>(factory);
  out->interfaceVersion = f3 ? 3 : (f2 ? 2 : 1);

  const int32 count = factory->countClasses();
  for (int32 i = 0; i < count; ++i) {
    ClassRecord rec;
    if (f3) {
      PClassInfoW ci{};
      if (f3->getClassInfoUnicode(i, &ci) != kResultOk) continue;
      std::memcpy(rec.cid.data(), ci.cid, 16);
      rec.category = FixedToString(ci.category, PClassInfo::kCategorySize);
      rec.name = Utf16ToUtf8(ci.name, PClassInfo::kNameSize);
      rec.cardinality = ci.cardinality;
      rec.classFlags = ci.classFlags;
      rec.subCategories = FixedToString(ci.subCategories, PClassInfoW::kSubCategoriesSize);
      rec.vendor = Utf16ToUtf8(ci.vendor, PClassInfoW::kVendorSize);
      rec.version = Utf16ToUtf8(ci.version, PClassInfoW::kVersionSize);
      rec.sdkVersion = Utf16ToUtf8(ci.sdkVersion, PClassInfoW::kVersionSize);
    } else if (f2) {
      PClassInfo2 ci{};
      if (f2->getClassInfo2(i, &ci) != kResultOk) continue;
      std::memcpy(rec.cid.data(), ci.cid, 16);
      rec.category = FixedToString(ci.category, PClassInfo::kCategorySize);
      rec.name = FixedToString(ci.name, PClassInfo::kNameSize);
      rec.cardinality = ci.cardinality;
      rec.classFlags = ci.classFlags;
      rec.subCategories = FixedToString(ci.subCategories, PClassInfo2::kSubCategoriesSize);
      rec.vendor = FixedToString(ci.vendor, PClassInfo2::kVendorSize);
      rec.version = FixedToString(ci.version, PClassInfo2::kVersionSize);
      rec.sdkVersion = FixedToString(ci.sdkVersion, PClassInfo2::kVersionSize);
    } else {
      PClassInfo ci{};
      if (factory->getClassInfo(i, &ci) != kResultOk) continue;
      std::memcpy(rec.cid.data(), ci.cid, 16);
      rec.category = FixedToString(ci.category, PClassInfo::kCategorySize);
      rec.name = FixedToString(ci.name, PClassInfo::kNameSize);
      rec.cardinality = ci.cardinality;
    }
    out->classes.push_back(rec);
  }
  if (f3) f3->release();
  if (f2) f2->release();
  return true;
}

int FindClass(const FactoryRecord& record, const char* category) {
  for (size_t i = 0; i < record.classes.size(); ++i)
    if (record.classes[i].category == category) return static_cast<int>(i);
  return -1;
}

}  // namespace vst3host
