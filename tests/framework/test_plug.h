#pragma once
// A concrete plug-in for the framework tests: the host services record what
// they were asked, and each recorded call notes whether the plug-in mutex
// was held at that moment.

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "framework/IEditorLink.h"
#include "framework/IPluginBase.h"

// True when some thread holds m. The probe thread may stay blocked on m; it is
// handed to `pending` and must be joined once m is free.
inline bool MutexHeldElsewhere(Util_Mutex& m, std::vector<std::thread>& pending)
{
  auto got = std::make_shared<std::atomic<bool>>(false);
  std::thread t([&m, got] {
    m.Enter();
    *got = true;
    m.Leave();
  });
  for (int i = 0; i < 200 && !*got; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  const bool held = !*got;
  pending.push_back(std::move(t));
  return held;
}

struct PlugEvent
{
  std::string what;
  int idx;
  double value;
  bool locked;
};

class TestPlug : public IPluginBase
{
public:
  TestPlug(int nParams = 2, const char* channelIO = "1-1 2-2", int nPresets = 1, int latency = 0,
           const char* name = "TestEffect", int version = 0x00010203)
    : IPluginBase(nParams, channelIO, nPresets, name, "TestProduct", "TestMaker", version, 0x514E4231,
                  0x54727376, latency, false, false, false, kAPIVST3)
  {
  }
  ~TestPlug() override { JoinProbes(); }

  // Probing the lock costs a thread per call; only tests that ask for it pay.
  bool mProbeLock = false;
  std::vector<PlugEvent> mEvents;
  std::vector<std::thread> mProbes;
  double mTempo = 120.;

  void JoinProbes()
  {
    for (auto& t : mProbes) t.join();
    mProbes.clear();
  }

  void Record(const char* what, int idx, double value)
  {
    const bool locked = mProbeLock && MutexHeldElsewhere(mMutex, mProbes);
    mEvents.push_back({what, idx, value, locked});
  }

  void OnParamChange(int paramIdx) override
  {
    Record("OnParamChange", paramIdx, GetParam(paramIdx) ? GetParam(paramIdx)->GetValue() : 0.);
  }

  void BeginInformHostOfParamChange(int idx) override { Record("Begin", idx, 0.); }
  void InformHostOfParamChange(int idx, double v) override { Record("Inform", idx, v); }
  void EndInformHostOfParamChange(int idx) override { Record("End", idx, 0.); }
  void InformHostOfProgramChange() override { Record("ProgramChange", -1, 0.); }
  int GetSamplePos() override { return 0; }
  double GetTempo() override { return mTempo; }
  void GetTimeSig(int* num, int* denom) override { *num = 4; *denom = 4; }
  void GetTime(ITimeInfo* info) override { *info = ITimeInfo(); }
  void ResizeGraphics(int, int) override {}
  bool SendMidiMsg(IMidiMsg* msg) override
  {
    Record("SendMidiMsg", msg->mData1, msg->mStatus);
    return msg->mData1 != 0xEE;   // lets tests make one send fail
  }
  EHost GetHost() override
  {
    ++mGetHostCalls;
    return IPluginBase::GetHost();
  }
  int mGetHostCalls = 0;

  // Expose the protected plumbing the host adapter uses.
  using IPluginBase::GetInChannel;
  using IPluginBase::GetInputData;
  using IPluginBase::GetOutChannel;
  using IPluginBase::GetOutputData;
};

// Records the calls the plug-in base makes on its editor.
class RecordingGraphics : public IEditorLink
{
public:
  struct Call
  {
    std::string what;
    int idx;
    double value;
    bool normalized;
    bool locked;
  };

  explicit RecordingGraphics(Util_Mutex* probe = nullptr, bool* destroyed = nullptr)
    : mProbe(probe), mDestroyed(destroyed)
  {
  }
  ~RecordingGraphics() override
  {
    for (auto& t : mProbes) t.join();
    if (mDestroyed) *mDestroyed = true;
  }

  void SetParameterFromPlug(int idx, double value, bool normalized) override
  {
    mCalls.push_back({"SetParameterFromPlug", idx, value, normalized, Locked()});
  }
  void PrepDraw() override { mCalls.push_back({"PrepDraw", -1, 0., false, Locked()}); }

  std::vector<Call> mCalls;

private:
  bool Locked() { return mProbe && MutexHeldElsewhere(*mProbe, mProbes); }
  Util_Mutex* mProbe;
  bool* mDestroyed;
  std::vector<std::thread> mProbes;
};
