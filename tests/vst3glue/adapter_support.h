#pragma once
// A small plug-in on the VST3 adapter and the host-side objects the tests
// drive it with. Host objects live on the stack: their reference counting
// is a no-op and they never allocate while a block runs.

#include "framework/IGraphics.h"
#include "framework/IPluginVST3.h"
#include "public.sdk/source/common/memorystream.h"
#include "public.sdk/source/common/pluginview.h"

#include "pluginterfaces/vst/ivstcontextmenu.h"
#include "pluginterfaces/vst/ivstevents.h"
#include "pluginterfaces/vst/ivsthostapplication.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"

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
  // Channel I/O "1-1 2-2", one preset ("Init"), no side-chain by default.
  explicit TestPlug(bool doesMidi = false, bool isInst = false, const char* io = "1-1 2-2",
                    int sideChain = 0, int latency = 0, int nParams = kNumTestParams);

  void OnParamChange(int idx) override;
  void Reset() override;
  void OnActivate(bool active) override;
  void OnHostIdentified() override { ++hostIdentified; }
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
class FakeGraphics : public IGraphics
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
  int calls[kNumTestParams] = {};
  double last[kNumTestParams] = {};
  bool lastNormalized[kNumTestParams] = {};
};

// ---- Host objects ----

#define QUENBAR_TEST_NOREFCOUNT                                                          \
  uint32 PLUGIN_API addRef() override { return 1; }                                      \
  uint32 PLUGIN_API release() override { return 1; }

class TestQueue : public IParamValueQueue
{
public:
  explicit TestQueue(ParamID id = 0) : mId(id) {}
  ParamID PLUGIN_API getParameterId() override { return mId; }
  int32 PLUGIN_API getPointCount() override { return (int32)mPoints.size(); }
  tresult PLUGIN_API getPoint(int32 index, int32& offset, ParamValue& value) override;
  tresult PLUGIN_API addPoint(int32 offset, ParamValue value, int32& index) override;
  tresult PLUGIN_API queryInterface(const TUID, void** obj) override
  {
    *obj = nullptr;
    return kNoInterface;
  }
  QUENBAR_TEST_NOREFCOUNT
  ParamID mId;
  std::vector<std::pair<int32, ParamValue>> mPoints;
  int mReads = 0;
};

class TestChanges : public IParameterChanges
{
public:
  // Room for 8 queues made up front, so adding one never allocates.
  TestChanges() { mQueues.reserve(8); }
  // Adds a queue with the given points.
  TestQueue& Add(ParamID id, std::initializer_list<ParamValue> values);
  void Clear() { mQueues.clear(); }
  int32 PLUGIN_API getParameterCount() override { return (int32)mQueues.size() + mNullQueues; }
  IParamValueQueue* PLUGIN_API getParameterData(int32 index) override;
  IParamValueQueue* PLUGIN_API addParameterData(const ParamID&, int32&) override { return nullptr; }
  tresult PLUGIN_API queryInterface(const TUID, void** obj) override
  {
    *obj = nullptr;
    return kNoInterface;
  }
  QUENBAR_TEST_NOREFCOUNT
  std::vector<TestQueue> mQueues;
  int mNullQueues = 0; // extra indexes that answer null
};

class TestEvents : public IEventList
{
public:
  int32 PLUGIN_API getEventCount() override { return (int32)mEvents.size(); }
  tresult PLUGIN_API getEvent(int32 index, Event& e) override;
  tresult PLUGIN_API addEvent(Event& e) override
  {
    mEvents.push_back(e);
    return kResultOk;
  }
  tresult PLUGIN_API queryInterface(const TUID, void** obj) override
  {
    *obj = nullptr;
    return kNoInterface;
  }
  QUENBAR_TEST_NOREFCOUNT
  std::vector<Event> mEvents;
  int mFailIndex = -1; // getEvent fails for this index
};

// A host application with a name; counts references so tests can see that
// the plug-in gives back what it took.
class TestHostApp : public IHostApplication
{
public:
  explicit TestHostApp(const char* name) : mName(name) {}
  tresult PLUGIN_API getName(String128 name) override;
  tresult PLUGIN_API createInstance(TUID, TUID, void** obj) override
  {
    *obj = nullptr;
    return kNotImplemented;
  }
  tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override;
  uint32 PLUGIN_API addRef() override { return ++mRefs; }
  uint32 PLUGIN_API release() override { return --mRefs; }
  std::string mName;
  int mRefs = 1;
};

class TestMenu : public IContextMenu
{
public:
  int32 PLUGIN_API getItemCount() override { return 0; }
  tresult PLUGIN_API getItem(int32, Item&, IContextMenuTarget**) override { return kResultFalse; }
  tresult PLUGIN_API addItem(const Item&, IContextMenuTarget*) override { return kResultOk; }
  tresult PLUGIN_API removeItem(const Item&, IContextMenuTarget*) override { return kResultOk; }
  tresult PLUGIN_API popup(UCoord x, UCoord y) override
  {
    ++mPopups;
    mX = x;
    mY = y;
    return kResultOk;
  }
  tresult PLUGIN_API queryInterface(const TUID, void** obj) override
  {
    *obj = nullptr;
    return kNoInterface;
  }
  uint32 PLUGIN_API addRef() override { return ++mRefs; }
  uint32 PLUGIN_API release() override { return --mRefs; }
  int mRefs = 1;
  int mPopups = 0;
  int mX = -1, mY = -1;
};

// Records edits and restarts; optionally also the context-menu interface.
class TestHandler : public IComponentHandler, public IComponentHandler3
{
public:
  explicit TestHandler(bool withMenus = false) : mWithMenus(withMenus) {}
  tresult PLUGIN_API beginEdit(ParamID id) override;
  tresult PLUGIN_API performEdit(ParamID id, ParamValue value) override;
  tresult PLUGIN_API endEdit(ParamID id) override;
  tresult PLUGIN_API restartComponent(int32 flags) override
  {
    mRestartFlags.push_back(flags);
    return kResultOk;
  }
  IContextMenu* PLUGIN_API createContextMenu(IPlugView* view, const ParamID* paramID) override;
  tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override;
  uint32 PLUGIN_API addRef() override { return ++mRefs; }
  uint32 PLUGIN_API release() override { return --mRefs; }

  bool mWithMenus;
  int mRefs = 1;
  std::vector<std::string> mLog; // "begin 2", "perform 2 0.5", "end 2"
  std::vector<int32> mRestartFlags;
  TestMenu mMenu;
  IPlugView* mMenuView = nullptr;
  ParamID mMenuTag = 0xFFFFFFFF;
};

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

// A memory stream that can stop delivering after a number of bytes and
// either report failure or success for the reads that then come up short.
class LimitedStream : public MemoryStream
{
public:
  LimitedStream(int64 limit, bool failWhenShort) : mLimit(limit), mFailWhenShort(failWhenShort) {}
  tresult PLUGIN_API read(void* buffer, int32 numBytes, int32* numBytesRead) override;
  int64 mLimit;
  bool mFailWhenShort;
  int64 mDelivered = 0;
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
