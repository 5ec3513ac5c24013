// Identity, parameters, internal values, the default preset and the locking
// of the effect's hooks.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <string>
#include <thread>

#include "framework/IPreset.h"
#include "quenbar_test_support.h"

using namespace qtest;

namespace
{

TEST(QuenbarIdentity, NamesIdsVersionAndChannels)
{
  QuenbarPtr plug = MakeQuenbar();
  EXPECT_STREQ(plug->GetEffectName(), "Quenbar");
  EXPECT_STREQ(plug->GetProductName(), "");
  EXPECT_STREQ(plug->GetMfrName(), "Tressivolantica");
  EXPECT_EQ(plug->GetEffectVersion(false), 0x10000);
  char version[kVersionStrMax];
  plug->GetEffectVersionStr(version);
  EXPECT_STREQ(version, "v1.0.0");
  EXPECT_EQ(plug->GetUniqueID(), 0x514E4231);  // 'QNB1'
  EXPECT_EQ(plug->GetMfrID(), 0x54727376);     // 'Trsv'
  EXPECT_EQ(plug->GetLatency(), 0);
  EXPECT_FALSE(plug->DoesMIDI());
  EXPECT_FALSE(plug->DoesStateChunks());
  EXPECT_FALSE(plug->IsInst());
  EXPECT_EQ(plug->GetAPI(), kAPIVST3);

  // "1-1 2-2": mono to mono or stereo to stereo, nothing else.
  ASSERT_EQ(plug->NChannelIO(), 2);
  EXPECT_EQ(plug->GetChannelIO(0)->mIn, 1);
  EXPECT_EQ(plug->GetChannelIO(0)->mOut, 1);
  EXPECT_EQ(plug->GetChannelIO(1)->mIn, 2);
  EXPECT_EQ(plug->GetChannelIO(1)->mOut, 2);
  EXPECT_EQ(plug->NInChannels(), 2);
  EXPECT_EQ(plug->NOutChannels(), 2);
  EXPECT_FALSE(plug->LegalIO(1, 2));
  EXPECT_FALSE(plug->LegalIO(2, 1));
}

struct ParamRow
{
  int idx;
  const char* name;
  EParamKind kind;
  double def, min, max, step;
  const char* label;
};

const ParamRow kRows[] = {
  {Quenbar::kLevel, "Level", kParamDouble, 0.0, -15.0, 15.0, 0.01, "%"},
  {Quenbar::kMix, "Mix", kParamDouble, 1.0, 0.0, 1.0, 0.01, "%"},
  {Quenbar::kTone, "Tone", kParamDouble, 0.75, 0.25, 1.25, 0.01, "%"},
  {Quenbar::kSnap, "Snap", kParamDouble, 0.0, 0.0, 30.0, 0.01, "%"},
  {Quenbar::kBypass, "Bypass", kParamInt, 0.0, 0.0, 1.0, 1.0, ""},
};

TEST(QuenbarParams, FiveParametersAsDefined)
{
  QuenbarPtr plug = MakeQuenbar();
  ASSERT_EQ(plug->NParams(), 5);
  EXPECT_EQ(Quenbar::kNumParams, 5);
  for (const ParamRow& row : kRows)
  {
    SCOPED_TRACE(row.name);
    const IParam* p = plug->GetParam(row.idx);
    ASSERT_NE(p, nullptr);
    EXPECT_STREQ(p->GetNameForHost(), row.name);
    EXPECT_EQ(p->GetKind(), row.kind);
    EXPECT_EQ(p->GetDefault(), row.def);
    EXPECT_EQ(p->GetValue(), row.def);
    EXPECT_EQ(p->GetMin(), row.min);
    EXPECT_EQ(p->GetMax(), row.max);
    EXPECT_EQ(p->GetStep(), row.step);
    EXPECT_EQ(p->GetShape(), 1.0);
    EXPECT_STREQ(p->GetLabelForHost(), row.label);
    EXPECT_STREQ(p->GetParamGroupForHost(), "");
  }
  EXPECT_EQ(plug->GetParam(5), nullptr);
}

// Level and Snap become gains through pow(10, value / 20), bit for bit, over
// their whole range; Mix and Tone are copied.
TEST(QuenbarInternalValues, DecibelsBecomeGainsExactly)
{
  QuenbarPtr plug = MakeQuenbar();
  EXPECT_EQ(plug->LevelGain(), 1.0);
  EXPECT_EQ(plug->SnapGain(), 1.0);
  EXPECT_EQ(plug->MixAmount(), 1.0);
  EXPECT_EQ(plug->ToneValue(), 0.75);

  SetParam(*plug, Quenbar::kLevel, -15.0);
  EXPECT_EQ(plug->LevelGain(), std::pow(10.0, -0.75));
  EXPECT_NEAR(plug->LevelGain(), 0.177828, 1e-6);
  SetParam(*plug, Quenbar::kLevel, 15.0);
  EXPECT_NEAR(plug->LevelGain(), 5.623413, 1e-6);
  SetParam(*plug, Quenbar::kSnap, 30.0);
  EXPECT_EQ(plug->SnapGain(), std::pow(10.0, 1.5));
  EXPECT_NEAR(plug->SnapGain(), 31.622777, 1e-6);

  for (int i = 0; i <= 3000; ++i)
  {
    const double level = -15.0 + i * 0.01;
    const double snap = i * 0.01;
    SetParam(*plug, Quenbar::kLevel, level);
    SetParam(*plug, Quenbar::kSnap, snap);
    ASSERT_EQ(plug->LevelGain(), std::pow(10.0, plug->GetParam(Quenbar::kLevel)->GetValue() / 20.0)) << level;
    ASSERT_EQ(plug->SnapGain(), std::pow(10.0, plug->GetParam(Quenbar::kSnap)->GetValue() / 20.0)) << snap;
  }

  SetParam(*plug, Quenbar::kMix, 0.37);
  EXPECT_EQ(plug->MixAmount(), 0.37);
  SetParam(*plug, Quenbar::kTone, 1.25);
  EXPECT_EQ(plug->ToneValue(), 1.25);
  SetParam(*plug, Quenbar::kTone, 0.25);
  EXPECT_EQ(plug->ToneValue(), 0.25);
}

struct Internal
{
  double level, mix, tone, snap;
  explicit Internal(const Quenbar& q) : level(q.LevelGain()), mix(q.MixAmount()), tone(q.ToneValue()), snap(q.SnapGain()) {}
};

// Each index updates its own value only; Bypass and indexes past it nothing.
TEST(QuenbarInternalValues, EachIndexSetsOnlyItsOwnValue)
{
  QuenbarPtr plug = MakeQuenbar();
  // Stored values move without notification ...
  plug->GetParam(Quenbar::kLevel)->SetValue(-6.0);
  plug->GetParam(Quenbar::kMix)->SetValue(0.25);
  plug->GetParam(Quenbar::kTone)->SetValue(0.5);
  plug->GetParam(Quenbar::kSnap)->SetValue(12.0);
  plug->GetParam(Quenbar::kBypass)->SetValue(1.0);

  // ... and the indexes without an internal value pick none of them up.
  const Internal before(*plug);
  for (int idx : {4, 5, 6, -1, 1000})
  {
    plug->OnParamChange(idx);
    const Internal after(*plug);
    EXPECT_EQ(after.level, before.level) << idx;
    EXPECT_EQ(after.mix, before.mix) << idx;
    EXPECT_EQ(after.tone, before.tone) << idx;
    EXPECT_EQ(after.snap, before.snap) << idx;
  }

  plug->OnParamChange(Quenbar::kMix);
  Internal now(*plug);
  EXPECT_EQ(now.mix, 0.25);
  EXPECT_EQ(now.level, 1.0);
  EXPECT_EQ(now.tone, 0.75);
  EXPECT_EQ(now.snap, 1.0);

  plug->OnParamChange(Quenbar::kSnap);
  now = Internal(*plug);
  EXPECT_EQ(now.snap, std::pow(10.0, 12.0 / 20.0));
  EXPECT_EQ(now.level, 1.0);
  EXPECT_EQ(now.tone, 0.75);

  plug->OnParamChange(Quenbar::kTone);
  plug->OnParamChange(Quenbar::kLevel);
  now = Internal(*plug);
  EXPECT_EQ(now.tone, 0.5);
  EXPECT_EQ(now.level, std::pow(10.0, -6.0 / 20.0));
}

TEST(QuenbarPresets, OnePresetNamedDashHoldingTheDefaults)
{
  QuenbarPtr plug = MakeQuenbar();
  ASSERT_EQ(plug->NPresets(), 1);
  EXPECT_STREQ(plug->GetPresetName(0), "-");
  ASSERT_NE(plug->GetPreset(0), nullptr);
  EXPECT_TRUE(plug->GetPreset(0)->mInitialized);

  Apply(*plug, {12.0, 0.2, 1.1, 25.0, 1.0});
  ASSERT_TRUE(plug->RestorePreset(0));
  for (const ParamRow& row : kRows)
    EXPECT_EQ(plug->GetParam(row.idx)->GetValue(), row.def) << row.name;
  // Restoring notifies every index, so the internal values follow.
  EXPECT_EQ(plug->LevelGain(), 1.0);
  EXPECT_EQ(plug->MixAmount(), 1.0);
  EXPECT_EQ(plug->ToneValue(), 0.75);
  EXPECT_EQ(plug->SnapGain(), 1.0);
  EXPECT_STREQ(plug->GetPresetName(0), "-");
}

// Reset keeps the tilt equalisers' state: a reset between two halves of a
// signal changes no output bit.
TEST(QuenbarReset, KeepsFilterStateAndValues)
{
  const Stereo in = Noise(4096, 40.0, 7);
  const Stereo first = [&] {
    Stereo s(2048);
    std::copy(in.l.begin(), in.l.begin() + 2048, s.l.begin());
    std::copy(in.r.begin(), in.r.begin() + 2048, s.r.begin());
    return s;
  }();
  const Stereo second = [&] {
    Stereo s(2048);
    std::copy(in.l.begin() + 2048, in.l.end(), s.l.begin());
    std::copy(in.r.begin() + 2048, in.r.end(), s.r.begin());
    return s;
  }();
  const qref::Settings settings{-3.0, 0.8, 1.0, 9.0, 0.0};

  QuenbarPtr plain = MakeQuenbar();
  QuenbarPtr reset = MakeQuenbar();
  Apply(*plain, settings);
  Apply(*reset, settings);
  RunBlocks(*plain, first, 256);
  RunBlocks(*reset, first, 256);
  reset->Reset();
  EXPECT_EQ(reset->SnapGain(), plain->SnapGain());
  EXPECT_EQ(reset->ToneValue(), 1.0);
  const Stereo a = RunBlocks(*plain, second, 256);
  const Stereo b = RunBlocks(*reset, second, 256);
  EXPECT_EQ(FirstDifference(a.l, b.l), -1);
  EXPECT_EQ(FirstDifference(a.r, b.r), -1);

  // The history matters: a fresh instance gives another result.
  QuenbarPtr fresh = MakeQuenbar();
  Apply(*fresh, settings);
  const Stereo c = RunBlocks(*fresh, second, 256);
  EXPECT_NE(FirstDifference(a.l, c.l), -1);
}

// OnParamChange and Reset wait for a holder of the plug-in mutex.
TEST(QuenbarLocking, HooksTakeThePluginMutex)
{
  QuenbarPtr plug = MakeQuenbar();
  for (int hook = 0; hook < 2; ++hook)
  {
    std::atomic<bool> done{false};
    plug->GetParam(Quenbar::kMix)->SetValue(0.5);
    plug->GetMutex().Enter();
    std::thread t([&] {
      if (hook == 0)
        plug->OnParamChange(Quenbar::kMix);
      else
        plug->Reset();
      done = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(done.load()) << "hook " << hook << " ran while another thread held the mutex";
    if (hook == 0)
    {
      EXPECT_EQ(plug->MixAmount(), 1.0);
    }
    plug->GetMutex().Leave();
    t.join();
    EXPECT_TRUE(done.load());
  }
  EXPECT_EQ(plug->MixAmount(), 0.5);
}

}  // namespace
