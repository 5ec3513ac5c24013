// The plug-in state through the controller's state calls: the parameter
// chunk, then a 32-bit bypass word.
#include "adapter_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <algorithm>
#include <random>
#include <vector>

namespace {

constexpr int kChunkBytes = 8 * kNumTestParams; // one double per parameter
constexpr int kStateBytes = kChunkBytes + 4;

struct Vst3AdapterState : ::testing::Test
{
  TestPlug* plug = nullptr;
  FakeGraphics* gfx = nullptr;
  void SetUp() override
  {
    plug = new TestPlug;
    Prepare(*plug, kSample32, 16);
    gfx = new FakeGraphics;
    plug->AttachGraphics(gfx);
  }
  void TearDown() override
  {
    plug->terminate();
    EXPECT_EQ(plug->release(), 0u);
  }
  void SetBypass(bool on)
  {
    TestChanges changes;
    changes.Add(IPluginVST3::kHostBypassTag, {on ? 1. : 0.});
    HostBlock<float> b(2, 2, 16);
    b.data.inputParameterChanges = &changes;
    plug->process(b.data);
    ASSERT_EQ(plug->IsBypassed(), on);
  }
  IEditController* controller() { return plug; }
  // A stream holding the given doubles and, unless null, a bypass word.
  static void Fill(MemoryStream& s, std::initializer_list<double> values, const int32_t* bypass)
  {
    for (double v : values) s.write(&v, sizeof(v), nullptr);
    if (bypass) s.write(const_cast<int32_t*>(bypass), 4, nullptr);
    s.seek(0, IBStream::kIBSeekSet, nullptr);
  }
  double Value(int idx) { return plug->GetParam(idx)->GetValue(); }
};

} // namespace

TEST_F(Vst3AdapterState, SaveAndRestoreRoundTrip)
{
  plug->GetParam(kGain)->SetValue(-3.5);
  plug->GetParam(kMode)->SetValue(2.);
  plug->GetParam(kOn)->SetValue(0.);
  plug->GetParam(kDrive)->SetValue(81.);
  SetBypass(true);

  MemoryStream saved;
  ASSERT_EQ(controller()->getState(&saved), kResultOk);
  ASSERT_EQ(saved.getSize(), kStateBytes);
  const char* bytes = saved.getData();
  double first;
  memcpy(&first, bytes, 8);
  EXPECT_EQ(first, -3.5) << "parameter 0 first, in machine order";
  int32_t word;
  memcpy(&word, bytes + kChunkBytes, 4);
  EXPECT_EQ(word, 1);

  // Component state stays out of it.
  MemoryStream component;
  IComponent* comp = plug;
  EXPECT_EQ(comp->getState(&component), kNotImplemented);
  EXPECT_EQ(component.getSize(), 0);
  EXPECT_EQ(comp->setState(&saved), kNotImplemented);
  EXPECT_EQ(controller()->setComponentState(&saved), kNotImplemented);

  auto* other = new TestPlug;
  Prepare(*other, kSample32, 16);
  auto* otherGfx = new FakeGraphics;
  other->AttachGraphics(otherGfx);
  const int changesBefore = other->paramChanges[kDrive];
  saved.seek(0, IBStream::kIBSeekSet, nullptr);
  IEditController* otherController = other;
  ASSERT_EQ(otherController->setState(&saved), kResultOk);
  EXPECT_EQ(other->GetParam(kGain)->GetValue(), -3.5);
  EXPECT_EQ(other->GetParam(kMode)->GetValue(), 2.);
  EXPECT_EQ(other->GetParam(kOn)->GetValue(), 0.);
  EXPECT_EQ(other->GetParam(kDrive)->GetValue(), 81.);
  EXPECT_TRUE(other->IsBypassed());
  EXPECT_EQ(other->paramChanges[kDrive], changesBefore + 1);
  EXPECT_EQ(otherGfx->last[kDrive], 81.) << "controls redrawn with plain values";
  EXPECT_FALSE(otherGfx->lastNormalized[kDrive]);
  other->terminate();
  other->release();
}

TEST_F(Vst3AdapterState, AnyNonZeroBypassWordBypasses)
{
  MemoryStream s;
  const int32_t two = 2;
  Fill(s, {1., 1., 1., 50.}, &two);
  ASSERT_EQ(controller()->setState(&s), kResultOk);
  EXPECT_TRUE(plug->IsBypassed());
  EXPECT_EQ(plug->getParamNormalized(IPluginVST3::kHostBypassTag), 1.);
}

TEST_F(Vst3AdapterState, ChunkWithoutBypassWord)
{
  SetBypass(true);
  {
    LimitedStream failing(kChunkBytes, true);
    Fill(failing, {2., 1., 0., 64.}, nullptr);
    EXPECT_EQ(controller()->setState(&failing), kResultFalse);
    EXPECT_EQ(Value(kGain), 2.) << "parameters applied before the bypass read";
    EXPECT_EQ(Value(kDrive), 64.);
    EXPECT_TRUE(plug->IsBypassed()) << "failed read leaves the flag";
  }
  {
    LimitedStream quiet(kChunkBytes, false);
    Fill(quiet, {3., 1., 0., 16.}, nullptr);
    EXPECT_EQ(controller()->setState(&quiet), kResultOk);
    EXPECT_EQ(Value(kGain), 3.);
    EXPECT_FALSE(plug->IsBypassed()) << "a successful empty read clears the flag";
  }
}

TEST_F(Vst3AdapterState, ShortStreamKeepsTheRest)
{
  plug->GetParam(kMode)->SetValue(1.);
  plug->GetParam(kDrive)->SetValue(33.);
  LimitedStream s(16, true);
  Fill(s, {-9., 0.}, nullptr);
  EXPECT_EQ(controller()->setState(&s), kResultFalse);
  EXPECT_EQ(Value(kGain), -9.);
  EXPECT_EQ(Value(kMode), 0.);
  EXPECT_EQ(Value(kOn), 1.) << "third parameter kept";
  EXPECT_EQ(Value(kDrive), 33.) << "fourth parameter kept";

  // A stream that ends inside a value: the bytes that came land in it, the
  // value is still a number and in range.
  LimitedStream odd(11, true);
  Fill(odd, {5., 2.}, nullptr);
  controller()->setState(&odd);
  EXPECT_EQ(Value(kGain), 5.);
  EXPECT_GE(Value(kMode), 0.);
  EXPECT_LE(Value(kMode), 2.);
}

TEST_F(Vst3AdapterState, BadValuesAreClampedOrSkipped)
{
  MemoryStream s;
  const int32_t zero = 0;
  Fill(s, {1e9, std::nan(""), -1e9, -INFINITY}, &zero);
  plug->GetParam(kMode)->SetValue(1.);
  ASSERT_EQ(controller()->setState(&s), kResultOk);
  EXPECT_EQ(Value(kGain), 12.);
  EXPECT_EQ(Value(kMode), 1.) << "NaN skipped";
  EXPECT_EQ(Value(kOn), 0.);
  EXPECT_EQ(Value(kDrive), 0.);
}

TEST_F(Vst3AdapterState, RandomTruncatedAndOversizedStreams)
{
  std::mt19937 rng(1234);
  for (int round = 0; round < 500; ++round)
  {
    const int len = (int)(rng() % 120);
    std::vector<char> bytes((size_t)len);
    for (char& c : bytes) c = (char)(rng() % 4 == 0 ? 0 : rng());
    MemoryStream s;
    s.write(bytes.data(), len, nullptr);
    s.seek(0, IBStream::kIBSeekSet, nullptr);
    // A memory stream reports success even when it runs short, so the word
    // is whatever of its bytes arrived, the rest zero.
    int32_t word = 0;
    if (len > kChunkBytes) memcpy(&word, bytes.data() + kChunkBytes, (size_t)std::min(4, len - kChunkBytes));
    ASSERT_EQ(controller()->setState(&s), kResultOk);
    EXPECT_EQ(plug->IsBypassed(), word != 0) << "round " << round << " length " << len;
    for (int p = 0; p < kNumTestParams; ++p)
    {
      const double v = Value(p);
      ASSERT_FALSE(std::isnan(v)) << "round " << round;
      ASSERT_GE(v, plug->GetParam(p)->GetMin());
      ASSERT_LE(v, plug->GetParam(p)->GetMax());
    }
  }

  // Oversized: only the first chunk and word are read.
  MemoryStream big;
  const int32_t one = 1;
  Fill(big, {4., 0., 1., 10.}, &one);
  big.seek(0, IBStream::kIBSeekEnd, nullptr);
  std::vector<char> junk(4000, 'j');
  big.write(junk.data(), (int32)junk.size(), nullptr);
  big.seek(0, IBStream::kIBSeekSet, nullptr);
  ASSERT_EQ(controller()->setState(&big), kResultOk);
  EXPECT_EQ(Value(kGain), 4.);
  EXPECT_TRUE(plug->IsBypassed());
  int64 pos = 0;
  big.tell(&pos);
  EXPECT_EQ(pos, kStateBytes);

  EXPECT_EQ(controller()->setState(nullptr), kInvalidArgument);
  EXPECT_EQ(controller()->getState(nullptr), kInvalidArgument);
}

TEST(Vst3AdapterStateNoParams, WritesOnlyTheWordAndRefusesRestores)
{
  auto* plug = new TestPlug(false, false, "1-1 2-2", 0, 0, 0);
  Prepare(*plug, kSample32, 16);
  IEditController* controller = plug;
  MemoryStream s;
  ASSERT_EQ(controller->getState(&s), kResultOk);
  EXPECT_EQ(s.getSize(), 4);
  s.seek(0, IBStream::kIBSeekSet, nullptr);
  EXPECT_EQ(controller->setState(&s), kResultFalse);
  plug->terminate();
  plug->release();
}
