#ifndef QUENBAR_FRAMEWORK_HOSTS_H
#define QUENBAR_FRAMEWORK_HOSTS_H

// Host application codes. Codes 10, 11 and 19 are reserved and unnamed.
enum EHost : int
{
  kHostUninit = -1,
  kHostUnknown = 0,
  kHostReaper = 1,
  kHostProTools = 2,
  kHostCubase = 3,
  kHostNuendo = 4,
  kHostSonar = 5,
  kHostVegas = 6,
  kHostFL = 7,
  kHostSamplitude = 8,
  kHostAbletonLive = 9,
  kHostMelodyne = 12,
  kHostVSTScanner = 13,
  kHostAULab = 14,
  kHostForte = 15,
  kHostChainer = 16,
  kHostAudition = 17,
  kHostOrion = 18,
  kHostSAWStudio = 20,
  kHostLogic = 21,
  kHostGarageBand = 22,
  kHostDigitalPerformer = 23,
  kHostStandalone = 24,
  kHostAudioMulch = 25,
  kHostStudioOne = 26,
  kHostVST3TestHost = 27,
  kHostArdour = 28,
  kHostRenoise = 29,
  kHostOpenMPT = 30
};

// Longest host name we look at; longer names are cut before matching.
constexpr int kMaxHostNameLen = 255;
// Room GetHostNameStr needs in out (longest display name + NUL).
constexpr int kHostNameStrMax = 19;

// Identifies a host from the name it reports (case-insensitive substring
// match, first hit in a fixed order wins; 0 when nothing matches). Any thread.
EHost LookUpHost(const char* name);
// Writes the display name of a code ("Unknown" for unnamed codes) into out,
// which must hold kHostNameStrMax bytes.
void GetHostNameStr(EHost host, char* out);

#endif
