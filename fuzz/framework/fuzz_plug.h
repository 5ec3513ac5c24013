#pragma once
// A small plug-in for the preset fuzzers: five parameters of mixed kinds, three presets.

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "framework/ByteChunk.h"
#include "framework/IPluginBase.h"
#include "framework/IPreset.h"

class FuzzPlug : public IPluginBase
{
public:
  explicit FuzzPlug(bool doesChunks)
  : IPluginBase(5, "1-1 2-2", 3, "Fuzz", "Fuzz", "Maker", 0x00010000, 0x514E4274, 0x54727376, 0, false,
                doesChunks, false, kAPIVST3)
  {
    GetParam(0)->InitDouble("a", 0.5, 0., 1., 0.01);
    GetParam(1)->InitDouble("b", 0., -15., 15., 0.01, "", "", 2.);
    GetParam(2)->InitBool("c", false);
    GetParam(3)->InitInt("d", 3, 0, 10);
    GetParam(4)->InitEnum("e", 1, 4);
    MakeDefaultPreset("factory", 1);
  }

  void BeginInformHostOfParamChange(int) override {}
  void InformHostOfParamChange(int, double) override {}
  void EndInformHostOfParamChange(int) override {}
  void InformHostOfProgramChange() override {}
  int GetSamplePos() override { return 0; }
  double GetTempo() override { return 120.; }
  void GetTimeSig(int* n, int* d) override { *n = 4, *d = 4; }
  void GetTime(ITimeInfo*) override {}
  void ResizeGraphics(int, int) override {}
  bool SendMidiMsg(IMidiMsg*) override { return false; }

  // Whatever the input was, every value stays a number inside its range and every preset
  // name stays terminated within its field; anything else is a finding.
  void CheckInvariants() const
  {
    for (int i = 0; i < NParams(); ++i)
    {
      const IParam* p = GetParam(i);
      const double v = p->GetValue();
      if (std::isnan(v) || v < p->GetMin() || v > p->GetMax()) abort();
    }
    for (int i = 0; i < NPresets(); ++i)
      if (!memchr(GetPreset(i)->mName, 0, sizeof(GetPreset(i)->mName))) abort();
  }
};
