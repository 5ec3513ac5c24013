// The built bundle, loaded with dlopen and driven only through the VST3 ABI:
// what a host sees of the class and its parameters, and that its audio is the
// effect as defined.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "Coeffs/tilt_oracle.h"
#include "quenbar_oracle.h"
#include "tools/host/paramchanges.h"
#include "tools/host/session.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{

class QuenbarBundle : public ::testing::Test
{
protected:
  void SetUp() override
  {
    std::string error;
    ASSERT_TRUE(mSession.Open(QUENBAR_BUNDLE_DIR, &error)) << error;
  }
  vst3host::Session mSession;
};

TEST_F(QuenbarBundle, FactoryOffersOneDynamicsEffect)
{
  const vst3host::FactoryRecord& f = mSession.factory;
  EXPECT_EQ(f.vendor, "Tressivolantica");
  ASSERT_EQ(f.classes.size(), 1u);
  const vst3host::ClassRecord& c = f.classes[0];
  EXPECT_EQ(c.category, "Audio Module Class");
  EXPECT_EQ(c.name, "Quenbar");
  EXPECT_EQ(c.subCategories, "Fx|Dynamics");
  EXPECT_EQ(c.version, "1.0.0");
  EXPECT_EQ(std::string(c.cid.data() + 8, 8), "TrsvQNB1");
}

TEST_F(QuenbarBundle, HostSeesPresetBypassThenTheFiveParameters)
{
  const std::vector<vst3host::ParamRecord> params = mSession.plugin.Parameters();
  struct Want
  {
    ParamID id;
    const char* title;
    const char* units;
    double def;
  };
  const Want want[] = {
    {0x70727374, "Preset", "", 0.0}, {0x62706173, "Bypass", "", 0.0}, {0, "Level", "%", 0.5},
    {1, "Mix", "%", 1.0},            {2, "Tone", "%", 0.5},            {3, "Snap", "%", 0.0},
    {4, "Bypass", "", 0.0},
  };
  ASSERT_EQ(params.size(), 7u);
  for (size_t i = 0; i < params.size(); ++i)
  {
    SCOPED_TRACE(want[i].title);
    EXPECT_EQ(params[i].id, want[i].id);
    EXPECT_EQ(params[i].title, want[i].title);
    EXPECT_EQ(params[i].units, want[i].units);
    EXPECT_DOUBLE_EQ(params[i].defaultNormalized, want[i].def);
  }
  EXPECT_EQ(params[0].stepCount, 1);  // one preset
  EXPECT_EQ(params[6].stepCount, 1);  // the effect's own switch
  ParamID bypass = 0;
  ASSERT_TRUE(mSession.plugin.FindHostBypass(&bypass));
  EXPECT_EQ(bypass, 0x62706173u);
}

// Noise with Tone moving every block and Level, Mix and Snap set by the host,
// in 64-bit stereo and 32-bit mono, against the definition in quad precision.
TEST(QuenbarBundleAudio, IsTheEffectAsDefined)
{
  const double rate = 48000.0;
  const int block = 256, n = 48 * block;
  std::vector<double> l(n), r(n);
  uint32_t seed = 12345;
  for (int i = 0; i < n; ++i)
  {
    seed = seed * 1664525u + 1013904223u;
    l[i] = (float)(((seed >> 8) / 16777216.0 - 0.5) * 160.0);
    seed = seed * 1664525u + 1013904223u;
    r[i] = (float)(((seed >> 8) / 16777216.0 - 0.5) * 160.0);
  }
  const double level = 0.6, mix = 0.8, snap = 0.3;  // normalised
  auto toneAt = [](int b) { return (b % 40) / 40.0; };

  for (int channels : {2, 1})
  {
    SCOPED_TRACE(channels == 2 ? "64-bit stereo" : "32-bit mono");
    vst3host::Session session;  // a fresh instance: fresh filter state
    std::string error;
    ASSERT_TRUE(session.Open(QUENBAR_BUNDLE_DIR, &error)) << error;
    vst3host::Plugin& plugin = session.plugin;
    vst3host::ProcessSettings settings;
    settings.sampleRate = rate;
    settings.channels = channels;
    settings.use64 = channels == 2;
    settings.maxBlock = block;
    ASSERT_TRUE(plugin.Start(settings, &error)) << error;

    qref::Settings s;
    s.level = plugin.NormalizedToPlain(0, level);
    s.mix = plugin.NormalizedToPlain(1, mix);
    s.snap = plugin.NormalizedToPlain(3, snap);
    EXPECT_NEAR(s.level, 3.0, 1e-12);
    EXPECT_NEAR(s.snap, 9.0, 1e-12);
    qref::Effect<TiltOracle> ref;
    vst3host::ParameterChanges changes;

    std::vector<double> out64[2] = {std::vector<double>(n), std::vector<double>(n)};
    std::vector<float> in32(n), out32(n);
    double peak = 0, err = 0;
    std::vector<double> wantL(block), wantR(block);
    const std::vector<double> silent(block, 0.0);
    for (int start = 0, b = 0; start < n; start += block, ++b)
    {
      changes.Clear();
      changes.Add(2, 0, toneAt(b));
      if (b == 0)
      {
        changes.Add(0, 0, level);
        changes.Add(1, 0, mix);
        changes.Add(3, 0, snap);
      }
      s.tone = plugin.NormalizedToPlain(2, toneAt(b));
      ref.Set(s);
      // Mono: the framework's second input is silent.
      ref.Block(rate, &l[start], channels == 2 ? &r[start] : silent.data(), wantL.data(), wantR.data(), block);
      if (channels == 2)
      {
        void* ins[2] = {&l[start], &r[start]};
        void* outs[2] = {&out64[0][start], &out64[1][start]};
        ASSERT_TRUE(plugin.Process(ins, outs, block, &changes, &error)) << error;
        for (int i = 0; i < block; ++i)
        {
          peak = std::fmax(peak, std::fmax(std::fabs(wantL[i]), std::fabs(wantR[i])));
          err = std::fmax(err, std::fmax(std::fabs(out64[0][start + i] - wantL[i]),
                                         std::fabs(out64[1][start + i] - wantR[i])));
        }
      }
      else
      {
        for (int i = 0; i < block; ++i)
          in32[start + i] = (float)l[start + i];
        void* ins[1] = {&in32[start]};
        void* outs[1] = {&out32[start]};
        ASSERT_TRUE(plugin.Process(ins, outs, block, &changes, &error)) << error;
        for (int i = 0; i < block; ++i)
        {
          peak = std::fmax(peak, std::fabs(wantL[i]));
          // Rounding to float: at most half a float step of the value, plus
          // the double result's own error.
          const double d = std::fabs((double)out32[start + i] - wantL[i]);
          err = std::fmax(err, d - std::ldexp(std::fabs(wantL[i]), -24));
        }
      }
    }
    plugin.Stop();
    ASSERT_GT(peak, 10.0);
    EXPECT_LE(err, 1e-11 * peak) << "relative " << err / peak;
  }
}

}  // namespace
