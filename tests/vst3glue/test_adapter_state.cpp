// The plug-in state: one stream (the parameter chunk, then a 32-bit bypass
// word) through the component's pair, the controller's pair and
// setComponentState, restored all or nothing.
#include "adapter_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <random>
#include <vector>

namespace {

constexpr int kChunkBytes = 8 * kNumTestParams; // one double per parameter
constexpr int kStateBytes = kChunkBytes + 4;

std::vector<uint8_t> StateBytes(std::initializer_list<double> values, int32_t bypass)
{
  std::vector<uint8_t> out;
  for (double v : values)
  {
    uint8_t b[8];
    memcpy(b, &v, 8);
    out.insert(out.end(), b, b + 8);
  }
  uint8_t w[4];
  memcpy(w, &bypass, 4);
  out.insert(out.end(), w, w + 4);
  return out;
}

// The three ways a host hands the plug-in a state.
struct RestorePath
{
  const char* name;
  std::function<tresult(TestPlug&, IBStream*)> restore;
};

const RestorePath kRestorePaths[] = {
  {"controller setState", [](TestPlug& p, IBStream* s) { return static_cast<IEditController&>(p).setState(s); }},
  {"component setState", [](TestPlug& p, IBStream* s) { return static_cast<IComponent&>(p).setState(s); }},
  {"setComponentState", [](TestPlug& p, IBStream* s) { return p.setComponentState(s); }},
};

struct Vst3AdapterState : ::testing::Test
{
  TestPlug* plug = nullptr;
  FakeGraphics* gfx = nullptr;
  ComponentHandler handler;
  void SetUp() override
  {
    plug = new TestPlug;
    Prepare(*plug, kSample32, 16);
    gfx = new FakeGraphics;
    plug->AttachGraphics(gfx);
    plug->setComponentHandler(&handler);
  }
  void TearDown() override
  {
    plug->setComponentHandler(nullptr);
    plug->terminate();
    EXPECT_EQ(plug->release(), 0u);
  }
  void SetBypass(bool on)
  {
    ParameterChanges changes;
    changes.AddRaw(IPluginVST3::kHostBypassTag, {on ? 1. : 0.});
    HostBlock<float> b(2, 2, 16);
    b.data.inputParameterChanges = &changes;
    plug->process(b.data);
    ASSERT_EQ(plug->IsBypassed(), on);
  }
  IEditController* controller() { return plug; }
  IComponent* component() { return plug; }
  double Value(int idx) { return plug->GetParam(idx)->GetValue(); }
  std::vector<double> Values()
  {
    std::vector<double> v;
    for (int i = 0; i < kNumTestParams; ++i) v.push_back(Value(i));
    return v;
  }
  int ParamChangeCalls()
  {
    int n = 0;
    for (int c : plug->paramChanges) n += c;
    return n;
  }
};

} // namespace

TEST_F(Vst3AdapterState, EveryPairCarriesTheSameStream)
{
  plug->GetParam(kGain)->SetValue(-3.5);
  plug->GetParam(kMode)->SetValue(2.);
  plug->GetParam(kOn)->SetValue(0.);
  plug->GetParam(kDrive)->SetValue(81.);
  SetBypass(true);

  StateStream fromController, fromComponent;
  ASSERT_EQ(controller()->getState(&fromController), kResultOk);
  ASSERT_EQ(component()->getState(&fromComponent), kResultOk);
  const std::vector<uint8_t> saved = fromController.Data();
  ASSERT_EQ((int)saved.size(), kStateBytes);
  EXPECT_EQ(fromComponent.Data(), saved);
  double first;
  memcpy(&first, saved.data(), 8);
  EXPECT_EQ(first, -3.5) << "parameter 0 first, in machine order";
  int32_t word;
  memcpy(&word, saved.data() + kChunkBytes, 4);
  EXPECT_EQ(word, 1);

  for (const RestorePath& path : kRestorePaths)
  {
    SCOPED_TRACE(path.name);
    auto* other = new TestPlug;
    Prepare(*other, kSample32, 16);
    auto* otherGfx = new FakeGraphics;
    other->AttachGraphics(otherGfx);
    ComponentHandler otherHandler;
    other->setComponentHandler(&otherHandler);
    const int changesBefore = other->paramChanges[kDrive];

    StateStream in(saved);
    ASSERT_EQ(path.restore(*other, &in), kResultOk);
    EXPECT_EQ(other->GetParam(kGain)->GetValue(), -3.5);
    EXPECT_EQ(other->GetParam(kMode)->GetValue(), 2.);
    EXPECT_EQ(other->GetParam(kOn)->GetValue(), 0.);
    EXPECT_EQ(other->GetParam(kDrive)->GetValue(), 81.);
    EXPECT_TRUE(other->IsBypassed());
    EXPECT_EQ(other->paramChanges[kDrive], changesBefore + 1);
    EXPECT_EQ(otherGfx->last[kDrive], 81.) << "controls redrawn with plain values";
    EXPECT_FALSE(otherGfx->lastNormalized[kDrive]);
    // The host re-reads its copy of the values only when told.
    EXPECT_EQ(otherHandler.RestartFlags(), std::vector<int32>{kParamValuesChanged});

    // Restoring the same stream through a second pair is harmless.
    StateStream again(saved);
    EXPECT_EQ(other->setComponentState(&again), kResultOk);
    EXPECT_EQ(other->GetParam(kDrive)->GetValue(), 81.);
    EXPECT_TRUE(other->IsBypassed());

    other->setComponentHandler(nullptr);
    other->terminate();
    other->release();
  }
}

TEST_F(Vst3AdapterState, AnyNonZeroBypassWordBypasses)
{
  StateStream s(StateBytes({1., 1., 1., 50.}, 2));
  ASSERT_EQ(controller()->setState(&s), kResultOk);
  EXPECT_TRUE(plug->IsBypassed());
  EXPECT_EQ(plug->getParamNormalized(IPluginVST3::kHostBypassTag), 1.);
  StateStream off(StateBytes({1., 1., 1., 50.}, 0));
  ASSERT_EQ(controller()->setState(&off), kResultOk);
  EXPECT_FALSE(plug->IsBypassed());
}

// A restore that cannot be complete changes nothing at all: no value, no
// bypass flag, no OnParamChange, no redraw and nothing sent to the host.
TEST_F(Vst3AdapterState, RefusedRestoresChangeNothing)
{
  const std::vector<uint8_t> good = StateBytes({2., 1., 0., 64.}, 0);
  struct Case
  {
    const char* name;
    std::vector<uint8_t> bytes;
    int64_t readLimit;
    bool failShort;
  };
  const std::vector<Case> cases = {
    {"empty", {}, -1, false},
    {"three bytes", {1, 2, 3}, -1, false},
    {"the chunk without its bypass word", std::vector<uint8_t>(good.begin(), good.begin() + kChunkBytes), -1, false},
    {"two values", std::vector<uint8_t>(good.begin(), good.begin() + 16), -1, false},
    {"ends inside a value", std::vector<uint8_t>(good.begin(), good.begin() + 11), -1, false},
    {"stream reports failure half-way", good, 20, true},
    {"stream stops delivering without a word", good, kChunkBytes, false},
    {"NaN value", StateBytes({2., std::nan(""), 0., 64.}, 0), -1, false},
    {"infinite value", StateBytes({2., 1., 0., INFINITY}, 0), -1, false},
    {"value above its range", StateBytes({12.5, 1., 0., 64.}, 0), -1, false},
    {"value below its range", StateBytes({2., 1., 0., -0.001}, 0), -1, false},
    {"enum value past its last entry", StateBytes({2., 3., 0., 64.}, 0), -1, false},
  };

  plug->GetParam(kGain)->SetValue(-7.);
  plug->GetParam(kDrive)->SetValue(33.);
  SetBypass(true);
  const std::vector<double> before = Values();
  const int callsBefore = ParamChangeCalls();
  const int redrawsBefore = gfx->calls[kGain];

  for (const RestorePath& path : kRestorePaths)
  {
    for (const Case& c : cases)
    {
      SCOPED_TRACE(std::string(path.name) + ": " + c.name);
      StateStream s(c.bytes);
      s.mReadLimit = c.readLimit;
      s.mFailShortReads = c.failShort;
      EXPECT_EQ(path.restore(*plug, &s), kResultFalse);
      EXPECT_EQ(Values(), before);
      EXPECT_TRUE(plug->IsBypassed());
    }
  }
  EXPECT_EQ(ParamChangeCalls(), callsBefore);
  EXPECT_EQ(gfx->calls[kGain], redrawsBefore);
  EXPECT_TRUE(handler.RestartFlags().empty());

  // The same good stream is taken whole.
  StateStream s(good);
  EXPECT_EQ(controller()->setState(&s), kResultOk);
  EXPECT_EQ(Value(kGain), 2.);
  EXPECT_EQ(Value(kDrive), 64.);
  EXPECT_FALSE(plug->IsBypassed());
  EXPECT_EQ(controller()->setState(nullptr), kInvalidArgument);
  EXPECT_EQ(controller()->getState(nullptr), kInvalidArgument);
}

// A stream that hands out its bytes a few at a time still restores whole.
TEST_F(Vst3AdapterState, StreamsThatDeliverInPiecesAreReadWhole)
{
  class Trickle : public StateStream
  {
  public:
    using StateStream::StateStream;
    tresult PLUGIN_API read(void* buffer, int32 numBytes, int32* numBytesRead) override
    {
      return StateStream::read(buffer, numBytes < 3 ? numBytes : 3, numBytesRead);
    }
  };
  Trickle s(StateBytes({-1., 2., 1., 99.}, 1));
  ASSERT_EQ(controller()->setState(&s), kResultOk);
  EXPECT_EQ(Value(kGain), -1.);
  EXPECT_EQ(Value(kDrive), 99.);
  EXPECT_TRUE(plug->IsBypassed());
}

TEST_F(Vst3AdapterState, RandomStreamsAreRefusedOrTakenWhole)
{
  std::mt19937 rng(1234);
  int accepted = 0;
  for (int round = 0; round < 5000; ++round)
  {
    const int len = (int)(rng() % 120);
    std::vector<uint8_t> bytes((size_t)len);
    for (uint8_t& c : bytes) c = (uint8_t)rng();
    const std::vector<double> before = Values();
    const bool bypassBefore = plug->IsBypassed();
    StateStream s(bytes);
    const tresult r = controller()->setState(&s);
    if (len < kStateBytes)
    {
      ASSERT_EQ(r, kResultFalse) << "round " << round << " length " << len;
    }
    if (r != kResultOk)
    {
      ASSERT_EQ(Values(), before) << "round " << round;
      ASSERT_EQ(plug->IsBypassed(), bypassBefore);
      continue;
    }
    ++accepted;
    // Taken: exactly the stream's values and word.
    for (int p = 0; p < kNumTestParams; ++p)
    {
      double v;
      memcpy(&v, bytes.data() + 8 * p, 8);
      ASSERT_EQ(Value(p), v) << "round " << round;
    }
    int32_t word;
    memcpy(&word, bytes.data() + kChunkBytes, 4);
    ASSERT_EQ(plug->IsBypassed(), word != 0);
  }
  // Four random doubles do land in their ranges now and then: both ways of
  // answering were taken.
  EXPECT_GT(accepted, 0);
}

TEST_F(Vst3AdapterState, LongerStreamsAreReadUpToTheWord)
{
  std::vector<uint8_t> bytes = StateBytes({4., 0., 1., 10.}, 1);
  bytes.resize(bytes.size() + 4000, 'j');
  StateStream big(bytes);
  ASSERT_EQ(controller()->setState(&big), kResultOk);
  EXPECT_EQ(Value(kGain), 4.);
  EXPECT_TRUE(plug->IsBypassed());
  int64 pos = 0;
  big.tell(&pos);
  EXPECT_EQ(pos, kStateBytes);
}

TEST_F(Vst3AdapterState, SavingReportsAStreamThatRefusesTheBytes)
{
  for (const bool component : {false, true})
  {
    SCOPED_TRACE(component ? "component" : "controller");
    auto save = [&](IBStream* s) { return component ? this->component()->getState(s) : controller()->getState(s); };
    StateStream refusing;
    refusing.mFailWrites = true;
    EXPECT_EQ(save(&refusing), kResultFalse);
    StateStream full;
    full.mWriteLimit = kStateBytes - 2; // takes most, then short writes
    EXPECT_EQ(save(&full), kResultFalse);
    StateStream fine;
    EXPECT_EQ(save(&fine), kResultOk);
    EXPECT_EQ((int)fine.Data().size(), kStateBytes);
  }
}

TEST_F(Vst3AdapterState, SetupKeepsTheBypassFlag)
{
  SetBypass(true);
  ProcessSetup setup{kRealtime, kSample32, 32, 96000.};
  ASSERT_EQ(plug->setupProcessing(setup), kResultOk);
  EXPECT_TRUE(plug->IsBypassed()) << "a rate change does not switch bypass off";

  // The usual host order: state first, then the set-up.
  auto* other = new TestPlug;
  other->initialize(nullptr);
  StateStream s(StateBytes({0., 0., 1., 25.}, 1));
  ASSERT_EQ(other->setComponentState(&s), kResultOk);
  ProcessSetup first{kRealtime, kSample32, 256, 48000.};
  ASSERT_EQ(other->setupProcessing(first), kResultOk);
  EXPECT_TRUE(other->IsBypassed());
  other->terminate();
  other->release();
}

TEST(Vst3AdapterStateNoParams, WritesOnlyTheWordAndRefusesRestores)
{
  auto* plug = new TestPlug(false, false, "1-1 2-2", 0, 0, 0);
  Prepare(*plug, kSample32, 16);
  IEditController* controller = plug;
  StateStream s;
  ASSERT_EQ(controller->getState(&s), kResultOk);
  EXPECT_EQ(s.Data().size(), 4u);
  s.seek(0, IBStream::kIBSeekSet, nullptr);
  EXPECT_EQ(controller->setState(&s), kResultFalse);
  plug->terminate();
  plug->release();
}
