#pragma once
// A concrete plug-in for the state, preset and preset-file tests: records what the base
// tells the host and the editor.

#include <string>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include "framework/ByteChunk.h"
#include "framework/IEditorLink.h"
#include "framework/IPluginBase.h"
#include "framework/IPreset.h"

constexpr int kTestUniqueID = 0x514E4274;  // QNBt
constexpr int kTestVersion = 0x00010203;   // 1.2.3, decimal 10203

struct RecordingGraphics : IEditorLink
{
  struct Call
  {
    int idx;
    double value;
    bool normalized;
  };
  std::vector<Call>* calls;
  explicit RecordingGraphics(std::vector<Call>* c) : calls(c) {}
  void SetParameterFromPlug(int paramIdx, double value, bool normalized) override
  {
    calls->push_back({paramIdx, value, normalized});
  }
  void PrepDraw() override {}
};

class PresetTestPlug : public IPluginBase
{
public:
  PresetTestPlug(int nParams, int nPresets, bool doesChunks = false)
  : IPluginBase(nParams, "1-1 2-2", nPresets, "Test", "Test Product", "Maker", kTestVersion, kTestUniqueID,
                0x54727376, 0, false, doesChunks, false, kAPIVST3)
  {
  }

  void OnParamChange(int idx) override { paramChanges.push_back(idx); }
  void BeginInformHostOfParamChange(int) override {}
  void InformHostOfParamChange(int, double) override {}
  void EndInformHostOfParamChange(int) override {}
  void InformHostOfProgramChange() override { ++programChanges; }
  int GetSamplePos() override { return 0; }
  double GetTempo() override { return 120.; }
  void GetTimeSig(int* n, int* d) override { *n = 4, *d = 4; }
  void GetTime(ITimeInfo*) override {}
  void ResizeGraphics(int, int) override {}
  bool SendMidiMsg(IMidiMsg*) override { return false; }
  void PresetsChangedByHost() override { ++presetsChanged; }

  // Five doubles with distinct ranges, so clamping and normalising show.
  void InitFiveDoubles()
  {
    GetParam(0)->InitDouble("a", 0., 0., 1., 0.01);
    GetParam(1)->InitDouble("b", 1., 0., 2., 0.01);
    GetParam(2)->InitDouble("c", 0.75, -1., 1., 0.01);
    GetParam(3)->InitDouble("d", 0., 0., 10., 0.01);
    GetParam(4)->InitDouble("e", 0., -5., 5., 0.01);
  }

  std::vector<double> Values() const
  {
    std::vector<double> v;
    for (int i = 0; i < NParams(); ++i) v.push_back(GetParam(i)->GetValue());
    return v;
  }

  void SetValues(const std::vector<double>& v)
  {
    for (int i = 0; i < NParams() && i < (int)v.size(); ++i) GetParam(i)->SetValue(v[i]);
  }

  std::vector<unsigned char> PresetBytes(int idx) const
  {
    const ByteChunk& c = GetPreset(idx)->mChunk;
    return std::vector<unsigned char>(c.GetBytes(), c.GetBytes() + c.Size());
  }

  std::vector<int> paramChanges;
  int programChanges = 0;
  int presetsChanged = 0;
};

inline std::vector<unsigned char> ChunkBytes(const ByteChunk& c)
{
  return std::vector<unsigned char>(c.GetBytes(), c.GetBytes() + c.Size());
}

inline void PutDoubles(ByteChunk* c, std::initializer_list<double> values)
{
  for (double v : values) c->Put(&v);
}

// A file name in the test's temporary folder, distinct per process.
inline std::string TempPath(const char* name)
{
  return testing::TempDir() + "presets_" + std::to_string(getpid()) + "_" + name;
}
