#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <thread>
#include <chrono>

#include "framework/IPluginBase_fxp.h"
#include "preset_test_plug.h"
#include "util/utilstring.h"

namespace {

using Bytes = std::vector<unsigned char>;

uint32_t BE32(const Bytes& b, size_t pos)
{
  return (uint32_t)b[pos] << 24 | (uint32_t)b[pos + 1] << 16 | (uint32_t)b[pos + 2] << 8 | b[pos + 3];
}

void SetBE32(Bytes* b, size_t pos, uint32_t v)
{
  (*b)[pos] = (unsigned char)(v >> 24);
  (*b)[pos + 1] = (unsigned char)(v >> 16);
  (*b)[pos + 2] = (unsigned char)(v >> 8);
  (*b)[pos + 3] = (unsigned char)v;
}

float BEFloat(const Bytes& b, size_t pos)
{
  const uint32_t bits = BE32(b, pos);
  float f;
  memcpy(&f, &bits, 4);
  return f;
}

void SetBEFloat(Bytes* b, size_t pos, float f)
{
  uint32_t bits;
  memcpy(&bits, &f, 4);
  SetBE32(b, pos, bits);
}

std::string Text(const Bytes& b, size_t pos, size_t n)
{
  return std::string((const char*)b.data() + pos, n);
}

Bytes ReadFile(const std::string& path)
{
  std::ifstream f(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const Bytes& b)
{
  FILE* f = fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  if (!b.empty()) fwrite(b.data(), 1, b.size(), f);
  fclose(f);
}

void ToChunk(const Bytes& b, ByteChunk* c)
{
  c->Clear();
  c->PutBytes(b.data(), (int)b.size());
}

// A five-parameter plug-in with values off their defaults and one named preset.
struct FivePlug : PresetTestPlug
{
  explicit FivePlug(bool chunks = false, int nPresets = 1) : PresetTestPlug(5, nPresets, chunks)
  {
    InitFiveDoubles();
    SetValues({0.5, 1.5, -0.5, 2, 4});
    MakeDefaultPreset("saved", nPresets);
  }
};

Bytes ProgramFile(PresetTestPlug* plug)
{
  ByteChunk c;
  EXPECT_TRUE(MakeProgramFile(plug, &c));
  return ChunkBytes(c);
}

Bytes BankFile(PresetTestPlug* plug)
{
  ByteChunk c;
  EXPECT_TRUE(MakeBankFile(plug, &c));
  return ChunkBytes(c);
}

bool LoadProgram(PresetTestPlug* plug, const Bytes& b)
{
  ByteChunk c;
  ToChunk(b, &c);
  return LoadProgramFromChunk(plug, &c);
}

bool LoadBank(PresetTestPlug* plug, const Bytes& b)
{
  ByteChunk c;
  ToChunk(b, &c);
  return LoadBankFromChunk(plug, &c);
}

// ---- Layouts ----

TEST(FxpLayout, ParameterProgramIs76BytesOfBigEndianFields)
{
  FivePlug plug;
  const Bytes f = ProgramFile(&plug);
  ASSERT_EQ(f.size(), 76u);
  EXPECT_EQ(Text(f, 0, 4), "CcnK");
  EXPECT_EQ(BE32(f, 4), 0u);
  EXPECT_EQ(Text(f, 8, 4), "FxCk");
  EXPECT_EQ(BE32(f, 12), 1u);
  EXPECT_EQ(BE32(f, 16), (uint32_t)kTestUniqueID);
  EXPECT_EQ(BE32(f, 20), 10203u);
  EXPECT_EQ(BE32(f, 24), 5u);
  EXPECT_EQ(Text(f, 28, 6), std::string("saved\0", 6));
  EXPECT_EQ(BEFloat(f, 56), 0.5f);
  EXPECT_EQ(BEFloat(f, 60), 0.75f);
  EXPECT_EQ(BEFloat(f, 64), 0.25f);
  EXPECT_EQ(BEFloat(f, 68), 0.2f);
  EXPECT_EQ(BEFloat(f, 72), 0.9f);
}

TEST(FxpLayout, ChunkProgramCountsTheWholeHeaderInByteSize)
{
  FivePlug plug(true);
  const Bytes f = ProgramFile(&plug);
  ASSERT_EQ(f.size(), 108u);
  EXPECT_EQ(BE32(f, 4), 108u);
  EXPECT_EQ(Text(f, 8, 4), "FPCh");
  EXPECT_EQ(BE32(f, 56), 48u);
  EXPECT_EQ(Bytes(f.begin() + 60, f.begin() + 68), (Bytes{0x74, 0x66, 0x66, 0x70, 0, 0, 1, 0}));
  double v;
  memcpy(&v, f.data() + 68 + 8, 8);  // parameter 1, little-endian inside the state
  EXPECT_EQ(v, 1.5);
}

TEST(FxpLayout, ParameterBankIs156BytesPlusOneRecordPerPreset)
{
  FivePlug plug;
  const Bytes f = BankFile(&plug);
  ASSERT_EQ(f.size(), 232u);
  EXPECT_EQ(Text(f, 8, 4), "FxBk");
  EXPECT_EQ(BE32(f, 12), 2u);
  EXPECT_EQ(BE32(f, 24), 1u);
  EXPECT_EQ(BE32(f, 28), 0u);
  EXPECT_EQ(Bytes(f.begin() + 32, f.begin() + 156), Bytes(124, 0));
  EXPECT_EQ(Text(f, 156, 4), "CcnK");
  EXPECT_EQ(Text(f, 164, 4), "FxCk");
  EXPECT_EQ(Text(f, 184, 5), "saved");
  EXPECT_EQ(BEFloat(f, 212 + 4), 0.75f);
}

TEST(FxpLayout, BankRecordsOfFreeOrShortPresetsHoldNormalisedZero)
{
  PresetTestPlug plug(2, 2);
  plug.GetParam(0)->InitDouble("a", 0., -1., 1., 0.01);
  plug.GetParam(1)->InitDouble("b", 0., 0., 1., 0.01);
  const Bytes f = BankFile(&plug);
  ASSERT_EQ(f.size(), 156u + 2 * 64);
  EXPECT_EQ(Text(f, 156 + 28, 6), std::string("empty\0", 6));
  EXPECT_EQ(BEFloat(f, 156 + 56), 0.5f);  // plain 0 in -1 ... 1
  EXPECT_EQ(BEFloat(f, 156 + 60), 0.f);
}

TEST(FxpLayout, ChunkBankHoldsTheVersionHeaderAndThePresetBank)
{
  FivePlug plug(true);
  const Bytes f = BankFile(&plug);
  ASSERT_EQ(f.size(), 160u + 8 + 4 + 5 + 1 + 40);
  EXPECT_EQ(Text(f, 8, 4), "FBCh");
  EXPECT_EQ(BE32(f, 4), (uint32_t)f.size());
  EXPECT_EQ(BE32(f, 156), 58u);
  EXPECT_EQ(Text(f, 168, 6), std::string("\5\0\0\0sa", 6));
}

TEST(FxpLayout, LongNamesAreCutToFitTheField)
{
  FivePlug plug;
  plug.ModifyCurrentPreset("a name that is far longer than twenty-eight characters");
  const Bytes f = ProgramFile(&plug);
  EXPECT_EQ(Text(f, 28, 28), std::string("a name that is far longer t") + '\0');
}

// ---- Program loads ----

TEST(FxpLoad, ProgramRoundTripStoresTheStateInTheCurrentPresetAndTellsTheHost)
{
  for (bool chunks : {false, true})
  {
    FivePlug plug(chunks);
    Bytes f = ProgramFile(&plug);
    memcpy(f.data() + 28, "loaded\0", 7);
    plug.SetValues({0, 0, 0, 0, 0});
    plug.paramChanges.clear();
    ASSERT_TRUE(LoadProgram(&plug, f)) << chunks;
    const std::vector<double> expected = {0.5, 1.5, -0.5, 2, 4};
    const std::vector<double> got = plug.Values();
    for (int i = 0; i < 5; ++i) EXPECT_NEAR(got[i], expected[i], chunks ? 0 : 1e-6) << i;
    EXPECT_STREQ(plug.GetPresetName(0), "loaded");
    ByteChunk state;
    plug.SerializeParams(&state);
    EXPECT_EQ(plug.PresetBytes(0), ChunkBytes(state));
    EXPECT_EQ(plug.programChanges, 1);
    // The restore at the end notifies every parameter with the loaded values in place.
    ASSERT_GE(plug.paramChanges.size(), 5u);
    EXPECT_EQ(std::vector<int>(plug.paramChanges.end() - 5, plug.paramChanges.end()),
              (std::vector<int>{0, 1, 2, 3, 4}));
  }
}

TEST(FxpLoad, ForeignIdWrongMagicOrVersionChangeNothing)
{
  FivePlug plug;
  const Bytes good = ProgramFile(&plug);
  plug.SetValues({0.1, 0.1, 0.1, 0.1, 0.1});
  const std::vector<double> before = plug.Values();
  const Bytes presetBefore = plug.PresetBytes(0);

  Bytes foreign = good;
  SetBE32(&foreign, 16, kTestUniqueID + 1);
  Bytes magic = good;
  magic[0] = 'X';
  Bytes version = good;
  SetBE32(&version, 12, 2);
  Bytes variant = good;
  memcpy(variant.data() + 8, "FPCh", 4);  // chunk file for a plug-in without chunks
  Bytes unknown = good;
  memcpy(unknown.data() + 8, "Zzzz", 4);
  for (const Bytes* f : {&foreign, &magic, &version, &variant, &unknown})
  {
    EXPECT_FALSE(LoadProgram(&plug, *f));
    EXPECT_EQ(plug.Values(), before);
    EXPECT_EQ(plug.PresetBytes(0), presetBefore);
    EXPECT_STREQ(plug.GetPresetName(0), "saved");
  }
  EXPECT_EQ(plug.programChanges, 0);
  EXPECT_TRUE(plug.paramChanges.empty());
}

TEST(FxpLoad, AnAllZeroNameKeepsThePresetNameAndAFullFieldGivesAtMost28Characters)
{
  FivePlug plug;
  Bytes f = ProgramFile(&plug);
  memset(f.data() + 28, 0, 28);
  ASSERT_TRUE(LoadProgram(&plug, f));
  EXPECT_STREQ(plug.GetPresetName(0), "saved");
  memset(f.data() + 28, 'N', 28);  // no terminator inside the field
  ASSERT_TRUE(LoadProgram(&plug, f));
  EXPECT_EQ(std::string(plug.GetPresetName(0)), std::string(28, 'N'));
}

TEST(FxpLoad, ShortOrBrokenParameterDataIsRefused)
{
  FivePlug plug;
  const Bytes good = ProgramFile(&plug);
  plug.SetValues({0.1, 0.1, 0.1, 0.1, 0.1});
  const std::vector<double> before = plug.Values();
  // Every cut of the file, header or floats missing, is refused without a change.
  for (size_t n = 0; n < good.size(); ++n)
  {
    EXPECT_FALSE(LoadProgram(&plug, Bytes(good.begin(), good.begin() + n))) << n;
    EXPECT_EQ(plug.Values(), before) << n;
  }
  Bytes nan = good;
  SetBEFloat(&nan, 64, std::nanf(""));
  EXPECT_FALSE(LoadProgram(&plug, nan));
  EXPECT_EQ(plug.Values(), before);

  // Values outside 0 ... 1 are held to the range; trailing bytes are ignored.
  Bytes wide = good;
  SetBEFloat(&wide, 56, -7.f);
  SetBEFloat(&wide, 60, 9.f);
  wide.resize(wide.size() + 100, 0xEE);
  ASSERT_TRUE(LoadProgram(&plug, wide));
  EXPECT_EQ(plug.GetParam(0)->GetValue(), 0.);
  EXPECT_EQ(plug.GetParam(1)->GetValue(), 2.);
}

TEST(FxpLoad, ATruncatedStateChunkIsRefusedAndTheParametersComeBack)
{
  FivePlug plug(true);
  const Bytes good = ProgramFile(&plug);
  plug.SetValues({0.1, 0.2, 0.3, 0.4, 0.5});
  const std::vector<double> before = plug.Values();
  for (size_t n = 0; n < good.size(); ++n)
  {
    EXPECT_FALSE(LoadProgram(&plug, Bytes(good.begin(), good.begin() + n))) << n;
    EXPECT_EQ(plug.Values(), before) << n;
  }
  EXPECT_STREQ(plug.GetPresetName(0), "saved");
  EXPECT_EQ(plug.programChanges, 0);
}

TEST(FxpLoad, AChunkStateWithoutTheVersionHeaderStillLoads)
{
  FivePlug plug(true);
  Bytes f = ProgramFile(&plug);
  f.erase(f.begin() + 60, f.begin() + 68);
  plug.SetValues({0, 0, 0, 0, 0});
  ASSERT_TRUE(LoadProgram(&plug, f));
  EXPECT_EQ(plug.Values(), (std::vector<double>{0.5, 1.5, -0.5, 2, 4}));
}

// ---- Bank loads ----

TEST(FxbLoad, ParameterBankRoundTrip)
{
  FivePlug src(false, 3);
  src.RestorePreset(2);
  src.SetValues({1, 2, 1, 10, 5});
  src.ModifyCurrentPreset("third");
  const Bytes f = BankFile(&src);

  FivePlug dst(false, 3);
  dst.SetValues({0, 0, 0, 0, 0});
  dst.ModifyCurrentPreset("other");
  ASSERT_TRUE(LoadBank(&dst, f));
  EXPECT_STREQ(dst.GetPresetName(0), "saved");
  EXPECT_STREQ(dst.GetPresetName(2), "third");
  EXPECT_EQ(dst.GetCurrentPresetIdx(), 2);
  const std::vector<double> got = dst.Values();
  const std::vector<double> expected = {1, 2, 1, 10, 5};
  for (int i = 0; i < 5; ++i) EXPECT_NEAR(got[i], expected[i], 1e-6) << i;
  EXPECT_EQ(dst.programChanges, 1);
}

TEST(FxbLoad, ChunkBankRoundTrip)
{
  FivePlug src(true, 2);
  src.RestorePreset(1);
  src.SetValues({1, 2, 1, 10, 5});
  src.ModifyCurrentPreset("second");
  src.RestorePreset(0);
  const Bytes f = BankFile(&src);

  FivePlug dst(true, 2);
  dst.SetValues({0, 0, 0, 0, 0});
  dst.ModifyCurrentPreset("other");
  ASSERT_TRUE(LoadBank(&dst, f));
  EXPECT_STREQ(dst.GetPresetName(0), "saved");
  EXPECT_STREQ(dst.GetPresetName(1), "second");
  EXPECT_EQ(dst.PresetBytes(1), src.PresetBytes(1));
  EXPECT_EQ(dst.Values(), (std::vector<double>{0.5, 1.5, -0.5, 2, 4}));
  EXPECT_EQ(dst.programChanges, 1);
}

TEST(FxbLoad, TheBankVersionIsIgnoredButARecordVersionIsNot)
{
  FivePlug src(false, 2);
  Bytes f = BankFile(&src);
  SetBE32(&f, 12, 1);
  FivePlug dst(false, 2);
  dst.ModifyCurrentPreset("before");
  ASSERT_TRUE(LoadBank(&dst, f));
  EXPECT_STREQ(dst.GetPresetName(0), "saved");

  // The second record says version 2: the load fails there, and the first record, already
  // checked, is not applied either.
  SetBE32(&f, 156 + 76 + 12, 2);
  dst.ModifyCurrentPreset("before");
  dst.SetValues({0, 0, 0, 0, 0});
  const Bytes presetBefore = dst.PresetBytes(0);
  EXPECT_FALSE(LoadBank(&dst, f));
  EXPECT_STREQ(dst.GetPresetName(0), "before");
  EXPECT_EQ(dst.PresetBytes(0), presetBefore);
  EXPECT_EQ(dst.Values(), (std::vector<double>{0, 0, 0, 0, 0}));
}

TEST(FxbLoad, RecordsWithAnotherParameterCountOrForeignBanksAreRefused)
{
  FivePlug src(false, 1);
  const Bytes good = BankFile(&src);
  Bytes count = good;
  SetBE32(&count, 156 + 24, 4);
  Bytes foreign = good;
  SetBE32(&foreign, 16, 1);
  Bytes recMagic = good;
  memcpy(recMagic.data() + 156 + 8, "FPCh", 4);
  FivePlug dst(false, 1);
  dst.ModifyCurrentPreset("before");
  for (const Bytes* f : {&count, &foreign, &recMagic}) EXPECT_FALSE(LoadBank(&dst, *f));
  EXPECT_STREQ(dst.GetPresetName(0), "before");
  EXPECT_EQ(dst.programChanges, 0);
}

TEST(FxbLoad, ExtraProgramsBeyondThePresetListAreSkipped)
{
  FivePlug src(false, 2);
  src.RestorePreset(1);
  src.SetValues({1, 2, 1, 10, 5});
  src.ModifyCurrentPreset("extra");
  const Bytes f = BankFile(&src);

  FivePlug dst(false, 1);
  ASSERT_TRUE(LoadBank(&dst, f));
  EXPECT_STREQ(dst.GetPresetName(0), "saved");
  EXPECT_EQ(dst.NPresets(), 1);
}

TEST(FxbLoad, TruncatedBanksChangeNothing)
{
  for (bool chunks : {false, true})
  {
    FivePlug src(chunks, 2);
    src.RestorePreset(1);
    src.SetValues({1, 2, 1, 10, 5});
    src.ModifyCurrentPreset("second");
    const Bytes good = BankFile(&src);

    FivePlug dst(chunks, 2);
    dst.SetValues({0.1, 0.2, 0.3, 0.4, 0.5});
    const std::vector<double> before = dst.Values();
    for (size_t n = 0; n < good.size(); ++n)
    {
      EXPECT_FALSE(LoadBank(&dst, Bytes(good.begin(), good.begin() + n))) << chunks << " " << n;
      EXPECT_EQ(dst.Values(), before) << n;
      EXPECT_STREQ(dst.GetPresetName(1), "saved") << n;
      EXPECT_EQ(dst.PresetBytes(0), dst.PresetBytes(1)) << n;
    }
    EXPECT_EQ(dst.programChanges, 0);
  }
}

TEST(FxbLoad, AHugeProgramCountIsRefusedWithoutReadingBeyondTheFile)
{
  FivePlug src(false, 1);
  Bytes f = BankFile(&src);
  SetBE32(&f, 24, 0x7FFFFFFF);
  FivePlug dst(false, 1);
  EXPECT_FALSE(LoadBank(&dst, f));
  SetBE32(&f, 24, 0x80000000u);  // negative: no records
  EXPECT_TRUE(LoadBank(&dst, f));
}

// Notes the value each parameter had when the effect last heard of it.
struct HearingPlug : FivePlug
{
  explicit HearingPlug(int nPresets) : FivePlug(false, nPresets) {}
  void OnParamChange(int idx) override
  {
    PresetTestPlug::OnParamChange(idx);
    heard.resize(NParams());
    heard[idx] = GetParam(idx)->GetValue();
  }
  std::vector<double> heard;
};

TEST(FxpLoad, WithNoPresetToRestoreTheEffectStillHearsTheLoadedValues)
{
  FivePlug src(false, 1);
  Bytes bank = BankFile(&src);
  SetBE32(&bank, 28, 99);  // currentProgram beyond the preset list
  const Bytes program = ProgramFile(&src);
  // A bank naming a program it does not hold, and a program for a plug-in without presets.
  for (int nPresets : {1, 0})
  {
    HearingPlug dst(nPresets);
    dst.SetValues({0, 0, 0, 0, 0});
    dst.ModifyCurrentPreset();
    ASSERT_TRUE(nPresets ? LoadBank(&dst, bank) : LoadProgram(&dst, program)) << nPresets;
    const std::vector<double> got = dst.Values();
    EXPECT_NEAR(got[3], 2., 1e-6) << nPresets;
    EXPECT_EQ(dst.heard, got) << nPresets;
  }
}

TEST(FxpLoad, ParameterFloatsWaitForThePlugInMutex)
{
  FivePlug src;
  ByteChunk c;
  ToChunk(ProgramFile(&src), &c);
  FivePlug dst;
  dst.SetValues({0, 0, 0, 0, 0});
  dst.GetMutex().Enter();  // as a processing call on the audio thread would
  std::thread loader([&] { LoadProgramFromChunk(&dst, &c); });
  // A broken load gets this long to write behind the holder's back.
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  const double whileHeld = dst.GetParam(3)->GetValue();
  dst.GetMutex().Leave();
  loader.join();
  EXPECT_EQ(whileHeld, 0.);
  EXPECT_NEAR(dst.GetParam(3)->GetValue(), 2., 1e-6);
}

TEST(FxpFuzz, RandomBytesBehindAValidHeaderNeverCrash)
{
  std::mt19937 rng(1234);
  for (bool chunks : {false, true})
  {
    FivePlug plug(chunks, 2);
    const Bytes program = ProgramFile(&plug);
    const Bytes bank = BankFile(&plug);
    for (int round = 0; round < 300; ++round)
    {
      for (const Bytes* base : {&program, &bank})
      {
        Bytes f(*base);
        f.resize(std::uniform_int_distribution<size_t>(0, base->size() + 64)(rng));
        const size_t from = std::uniform_int_distribution<size_t>(16, 60)(rng);
        for (size_t i = from; i < f.size(); ++i) f[i] = (unsigned char)rng();
        LoadProgram(&plug, f);
        LoadBank(&plug, f);
        for (int idx = 0; idx < plug.NParams(); ++idx)
        {
          const IParam* p = plug.GetParam(idx);
          ASSERT_FALSE(std::isnan(p->GetValue()));
          ASSERT_GE(p->GetValue(), p->GetMin());
          ASSERT_LE(p->GetValue(), p->GetMax());
        }
      }
    }
  }
}

// ---- Files ----

TEST(FxpFiles, SaveAndLoadThroughTheFileSystem)
{
  FivePlug plug(false, 2);
  const std::string fxp = TempPath("p.fxp"), fxb = TempPath("b.fxb");
  Util_String fxpName(fxp.c_str()), fxbName(fxb.c_str());
  ASSERT_TRUE(plug.SaveProgramAsFXP(&fxpName));
  ASSERT_TRUE(plug.SaveBankAsFXB(&fxbName));
  EXPECT_EQ(ReadFile(fxp), ProgramFile(&plug));
  EXPECT_EQ(ReadFile(fxb), BankFile(&plug));

  plug.SetValues({0, 0, 0, 0, 0});
  ASSERT_TRUE(plug.LoadProgramFromFXP(&fxpName));
  EXPECT_NEAR(plug.GetParam(3)->GetValue(), 2., 1e-6);
  plug.SetValues({0, 0, 0, 0, 0});
  ASSERT_TRUE(plug.LoadBankFromFXB(&fxbName));
  EXPECT_NEAR(plug.GetParam(3)->GetValue(), 2., 1e-6);
  EXPECT_EQ(plug.programChanges, 2);

  WriteFile(fxp, Bytes{'C', 'c', 'n'});
  EXPECT_FALSE(plug.LoadProgramFromFXP(&fxpName));
  WriteFile(fxp, Bytes{});
  EXPECT_FALSE(plug.LoadProgramFromFXP(&fxpName));
  std::remove(fxp.c_str());
  std::remove(fxb.c_str());
}

TEST(FxpFiles, EmptyNamesMissingFilesAndUnwritablePathsFail)
{
  FivePlug plug;
  Util_String empty("");
  EXPECT_FALSE(plug.SaveProgramAsFXP(&empty));
  EXPECT_FALSE(plug.SaveBankAsFXB(&empty));
  EXPECT_FALSE(plug.LoadProgramFromFXP(&empty));
  EXPECT_FALSE(plug.LoadBankFromFXB(&empty));
  EXPECT_FALSE(plug.LoadProgramFromFXP(nullptr));

  Util_String missing((testing::TempDir() + "no_such_dir_fxp/x.fxp").c_str());
  EXPECT_FALSE(plug.SaveProgramAsFXP(&missing));
  EXPECT_FALSE(plug.SaveBankAsFXB(&missing));
  EXPECT_FALSE(plug.LoadProgramFromFXP(&missing));
  EXPECT_FALSE(plug.LoadBankFromFXB(&missing));
  Util_String dir(testing::TempDir().c_str());  // a directory opens but cannot be read
  EXPECT_FALSE(plug.LoadProgramFromFXP(&dir));
  EXPECT_EQ(plug.programChanges, 0);
}

}  // namespace
