#pragma once
// A small plug-in on the VST3 adapter, driven by the host library's objects
// (which live on the stack and never allocate while a block runs).

#include "framework/IEditorLink.h"
#include "framework/IPluginVST3.h"
#include "public.sdk/source/common/pluginview.h"
#include "tools/host/eventlist.h"
#include "tools/host/hostobjects.h"
#include "tools/host/paramchanges.h"
#include "tools/host/plugframe.h"
#include "tools/host/statestream.h"

#include <atomic>
#include <string>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;

std::string Narrow(const char16* s);

// ---- The plug-in ----

enum
{
  kGain = 0,  // double -12 ... 12 dB, step 0.1, group "Main"
  kMode,      // enum of 3 with display texts, group "Main"
  kOn,        // bool, not automatable, no group
  kDrive,     // double 0 ... 100 %, shape 2, group "Tone"
  kNumTestParams
};

class TestPlug : public IPluginVST3
{
public:
  // Channel I/O "1-1 2-2", no side-chain by default. nPresets slots, of
  // which only the first ("Init") is made; the others stay free.
  explicit TestPlug(bool doesMidi = false, bool isInst = false, const char* io = "1-1 2-2",
                    int sideChain = 0, int latency = 0, int nParams = kNumTestParams, int nPresets = 1);

  void OnParamChange(int idx) override;
  void Reset() override;
  void OnActivate(bool active) override;
  void OnHostIdentified() override { ++hostIdentified; }
  void OnGUIOpen() override { ++guiOpens; }
  void OnGUIClose() override { ++guiCloses; }
  void OnWindowResize() override { ++windowResizes; }
  int guiOpens = 0, guiCloses = 0, windowResizes = 0;
  void ProcessMidiMsg(IMidiMsg* msg) override;
  // out[c] = in[c] * gain (+ in[c + nOut] when there are more inputs, the
  // side-chain); missing inputs read as 0.
  void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) override;

  // Test access.
  using IPluginVST3::mHostContext;
  ProcessSetup& setup() { return processSetup; }
  bool InConnected(int c) const { return IsInChannelConnected(c); }
  bool OutConnected(int c) const { return IsOutChannelConnected(c); }

  int paramChanges[kNumTestParams] = {};
  int resets = 0;
  int hostIdentified = 0;
  int activations = 0;
  bool active = false;
  int blocks = 0;
  long framesTotal = 0;
  int maxFramesPerCall = 0;
  static constexpr int kMaxMidi = 16;
  IMidiMsg midi[kMaxMidi];
  int nMidi = 0;

  // Written by OnParamChange under the mutex, read by processing.
  double mGainAmp = 1.;
  // Stress check: (gain, drive) pairs seen by processing that belong to no
  // saved state.
  std::atomic<int> mixedStates {0};
  std::atomic<int> processedBlocks {0};
  double stateA[2] = {0., 0.};
  double stateB[2] = {0., 0.};
  bool checkStates = false;
};

// Records what the plug-in pushes to its editor.
class FakeGraphics : public IEditorLink
{
public:
  void SetParameterFromPlug(int idx, double value, bool normalized) override
  {
    if (idx >= 0 && idx < kNumTestParams)
    {
      ++calls[idx];
      last[idx] = value;
      lastNormalized[idx] = normalized;
    }
  }
  void PrepDraw() override {}
  int Width() const override { return 300; }
  int Height() const override { return 200; }
  void* OpenWindow(void* parent) override
  {
    ++opens;
    return parent;
  }
  void CloseWindow() override { ++closes; }
  bool SetHostRunLoop(Steinberg::Linux::IRunLoop* loop) override
  {
    ++runLoopsSet;
    runLoop = loop;
    return true;
  }
  int opens = 0, closes = 0, runLoopsSet = 0;
  Steinberg::Linux::IRunLoop* runLoop = nullptr;
  int calls[kNumTestParams] = {};
  double last[kNumTestParams] = {};
  bool lastNormalized[kNumTestParams] = {};
};

// ---- Host objects: the host library's ----

using vst3host::ComponentHandler;
using vst3host::EventList;
using vst3host::Gate;
using vst3host::HostApplication;
using vst3host::ParameterChanges;
using vst3host::ParamValueQueue;
using vst3host::PlugFrame;
using vst3host::StateStream;

// An editor view stand-in: a real SDK view object plus the adapter's hooks.
class FakeView : public IPluginVST3ViewHooks
{
public:
  IPlugView* GetPlugView() override { return &mView; }
  void resize(int w, int h) override
  {
    ++mResizes;
    mW = w;
    mH = h;
  }
  CPluginView mView;
  int mResizes = 0, mW = 0, mH = 0;
};

// ---- Audio buffers ----

// Host-side buffers for one block: nIn input and nOut output channels.
template <class T>
struct HostBlock
{
  HostBlock(int nIn, int nOut, int frames);
  void FillInputs(T base); // in[c][s] = base * (c + 1) + s
  void FillOutputs(T value);
  std::vector<std::vector<T>> in, out;
  std::vector<T*> inPtrs, outPtrs;
  AudioBusBuffers inBus, outBus;
  ProcessData data;
};

// Initialises a plug-in and sets it up for 32- or 64-bit blocks.
void Prepare(TestPlug& plug, int32 sampleSize, int32 maxBlock, double rate = 48000.,
             int32 mode = kRealtime);
