#pragma once
// Who the effect is to hosts and to its own preset files, written once for the instance and for
// the module's factory. Hosts keep these in projects: never change them.
// Compile-time constants, any thread.

#include <cstdint>

namespace QuenbarIdentity
{
constexpr int kUniqueID = 0x514E4231;  // 'QNB1'
constexpr int kMfrID = 0x54727376;     // 'Trsv'

constexpr char kEffectName[] = "Quenbar";
constexpr char kVendor[] = "Tressivolantica";
constexpr char kVendorUrl[] = "https://tressivolantica.net/";
constexpr char kVendorEmail[] = "support@tressivolantica.net";
// The module bundle's identifier; its last part names the bundle folder (Quenbar.vst3).
constexpr char kBundleID[] = "com.Tressivolantica.vst3.Quenbar";

// The version in both forms the framework and the class record need: 0xMMMMmmpp and text.
constexpr int kVendorVersion = 0x10000;
constexpr char kVersionText[] = "1.0.0";

// Class identifier: two fixed words, then the manufacturer and unique IDs, each stored most
// significant byte first.
constexpr uint32_t kClassIdWords[4] = {0xF2AEE70D, 0x00DE4F4E, (uint32_t)kMfrID, (uint32_t)kUniqueID};

// Whether text is "major.minor.maint" of version (0xMMMMmmpp). Pure.
constexpr bool SpellsVersion(const char* text, int version)
{
  int parts[3] = {0, 0, 0};
  int k = 0;
  for (const char* p = text; *p; ++p)
  {
    if (*p == '.')
    {
      if (++k > 2) return false;
    }
    else if (*p >= '0' && *p <= '9')
      parts[k] = parts[k] * 10 + (*p - '0');
    else
      return false;
  }
  return k == 2 && ((parts[0] << 16) | (parts[1] << 8) | parts[2]) == version;
}
static_assert(SpellsVersion(kVersionText, kVendorVersion), "the two forms of the version disagree");
}  // namespace QuenbarIdentity
