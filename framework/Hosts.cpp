#include "framework/Hosts.h"

#include <cstring>

#include "framework/Log.h"
#include "util/utilcstring.h"

namespace
{
struct HostText
{
  const char* mText;
  EHost mHost;
};

// Test order matters: names that contain two of these take the first.
const HostText kHostTexts[] = {
  {"cubase", kHostCubase},
  {"reaper", kHostReaper},
  {"nuendo", kHostNuendo},
  {"cakewalk", kHostSonar},
  {"samplitude", kHostSamplitude},
  {"fruity", kHostFL},
  {"live", kHostAbletonLive},
  {"melodyne", kHostMelodyne},
  {"vstmanlib", kHostVSTScanner},
  {"aulab", kHostAULab},
  {"garageband", kHostGarageBand},
  {"forte", kHostForte},
  {"chainer", kHostChainer},
  {"audition", kHostAudition},
  {"orion", kHostOrion},
  {"sawstudio", kHostSAWStudio},
  {"logic", kHostLogic},
  {"digital", kHostDigitalPerformer},
  {"audiomulch", kHostAudioMulch},
  {"presonus", kHostStudioOne},
  {"vst3plugintesthost", kHostVST3TestHost},
  {"protools", kHostProTools},
  {"ardour", kHostArdour},
  {"openmpt", kHostOpenMPT},
  {"renoise", kHostRenoise},
  {"standalone", kHostStandalone},
};

// Display names by code 0 ... 30; null means "Unknown".
const char* const kHostNames[] = {
  nullptr,              // 0
  "Reaper",             // 1
  "ProTools",           // 2
  "Cubase",             // 3
  "Nuendo",             // 4
  "Sonar",              // 5
  "Vegas",              // 6
  "FLStudio",           // 7
  "Samplitude",         // 8
  "Live",               // 9
  nullptr,              // 10
  nullptr,              // 11
  nullptr,              // 12
  "VSTScanner",         // 13
  "AULab",              // 14
  "Forte",              // 15
  "Chainer",            // 16
  "Audition",           // 17
  "Orion",              // 18
  nullptr,              // 19
  "SAWStudio",          // 20
  "Logic",              // 21
  "GarageBand",         // 22
  "DigitalPerformer",   // 23
  "Standalone",         // 24
  "AudioMulch",         // 25
  "StudioOne",          // 26
  "VST3PluginTestHost", // 27
  "Ardour",             // 28
  "Renoise",            // 29
  "OpenMPT",            // 30
};
} // namespace

EHost LookUpHost(const char* name)
{
  char cut[kMaxHostNameLen + 1];
  char lower[kMaxHostNameLen + 1];
  Util_StrCopy(cut, name, sizeof(cut));
  ToLower(lower, cut);

  for (const HostText& t : kHostTexts)
    if (strstr(lower, t.mText)) return t.mHost;
  return kHostUnknown;
}

void GetHostNameStr(EHost host, char* out)
{
  if (!out) return;
  const int code = (int)host;
  const int nNames = (int)(sizeof(kHostNames) / sizeof(kHostNames[0]));
  const char* name = (code >= 0 && code < nNames && kHostNames[code]) ? kHostNames[code] : "Unknown";
  Util_StrCopy(out, name, kHostNameStrMax);
}
