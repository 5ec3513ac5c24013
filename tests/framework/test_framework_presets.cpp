#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <thread>

#include "preset_test_plug.h"
#include "util/base64encdec.h"
#include "util/utilstring.h"

namespace {

using Bytes = std::vector<unsigned char>;

std::string ReadText(const std::string& path)
{
  std::ifstream f(path);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

Bytes DoublesAsBytes(std::initializer_list<double> values)
{
  ByteChunk c;
  PutDoubles(&c, values);
  return ChunkBytes(c);
}

// ---- Parameter state ----

TEST(ParamState, FiveParametersSerialiseToFortyLittleEndianBytes)
{
  PresetTestPlug plug(5, 1);
  plug.InitFiveDoubles();
  plug.SetValues({0, 1, 0.75, 0, 0});
  ByteChunk c;
  ASSERT_TRUE(plug.SerializeParams(&c));
  ASSERT_EQ(c.Size(), 40);
  const Bytes expected = {0, 0, 0, 0, 0, 0, 0,    0,    0, 0, 0, 0, 0, 0, 0xF0, 0x3F, 0, 0, 0, 0,
                          0, 0, 0xE8, 0x3F, 0, 0, 0, 0, 0, 0, 0,    0,    0, 0, 0, 0, 0, 0, 0,    0};
  EXPECT_EQ(ChunkBytes(c), expected);

  PresetTestPlug none(0, 1);
  ByteChunk empty;
  EXPECT_TRUE(none.SerializeParams(&empty));
  EXPECT_EQ(empty.Size(), 0);
}

TEST(ParamState, AShortChunkSetsWhatItHoldsClampsTheCutParameterAndKeepsTheRest)
{
  PresetTestPlug plug(5, 1);
  plug.InitFiveDoubles();
  plug.GetParam(2)->InitDouble("c", 0.75, 0.5, 1., 0.01);  // 0 clamps to 0.5
  plug.SetValues({0.1, 0.2, 0.75, 7, 3});

  ByteChunk c;
  PutDoubles(&c, {0.25, 1.5});
  c.PutBytes("abcd", 4);  // half of the third double
  ASSERT_EQ(c.Size(), 20);
  EXPECT_EQ(plug.UnserializeParams(&c, 0), -1);
  EXPECT_EQ(plug.Values(), (std::vector<double>{0.25, 1.5, 0.5, 7, 3}));
  EXPECT_EQ(plug.paramChanges, (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST(ParamState, ReadsClampToTheRangeAndReturnThePositionAfterTheState)
{
  PresetTestPlug plug(5, 1);
  plug.InitFiveDoubles();
  ByteChunk c;
  c.PutBytes("xyz", 3);  // state starts at 3
  PutDoubles(&c, {-3, 99, 0.5, -std::numeric_limits<double>::infinity(), std::nan("")});
  plug.GetParam(4)->SetValue(2.5);
  EXPECT_EQ(plug.UnserializeParams(&c, 3), 43);
  // Out of range gives the nearer bound; a NaN cannot be clamped and is not stored.
  EXPECT_EQ(plug.Values(), (std::vector<double>{0, 2, 0.5, 0, 2.5}));
}

TEST(ParamState, ANegativeStartChangesNoValueButStillNotifies)
{
  PresetTestPlug plug(3, 1);
  plug.SetValues({0.1, 0.2, 0.3});
  ByteChunk c;
  PutDoubles(&c, {1, 1, 1});
  EXPECT_EQ(plug.UnserializeParams(&c, -1), -1);
  EXPECT_EQ(plug.Values(), (std::vector<double>{0.1, 0.2, 0.3}));
  EXPECT_EQ(plug.paramChanges, (std::vector<int>{0, 1, 2}));
}

TEST(ParamState, SerialiseAndUnserialiseWaitForThePlugInMutex)
{
  PresetTestPlug plug(2, 1);
  ByteChunk c;
  PutDoubles(&c, {0.5, 0.5});
  std::atomic<int> done{0};
  plug.GetMutex().Enter();
  std::thread t([&] {
    ByteChunk out;
    plug.SerializeParams(&out);
    done = 1;
    plug.UnserializeParams(&c, 0);
    done = 2;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(done.load(), 0);
  plug.GetMutex().Leave();
  t.join();
  EXPECT_EQ(done.load(), 2);
  EXPECT_EQ(plug.Values(), (std::vector<double>{0.5, 0.5}));
}

TEST(ParamState, CompareStateCountsStartPosInDoubles)
{
  PresetTestPlug plug(2, 1);
  plug.SetValues({0.25, 0.75});
  const Bytes data = DoublesAsBytes({0.9, 0.25, 0.75});
  EXPECT_TRUE(plug.CompareState(data.data(), 1));
  EXPECT_FALSE(plug.CompareState(data.data(), 0));
  const Bytes close = DoublesAsBytes({0.25 + 5e-6, 0.75});
  const Bytes far = DoublesAsBytes({0.25 + 5e-5, 0.75});
  EXPECT_TRUE(plug.CompareState(close.data(), 0));
  EXPECT_FALSE(plug.CompareState(far.data(), 0));
  PresetTestPlug none(0, 1);
  EXPECT_TRUE(none.CompareState(nullptr, 0));
}

// ---- Framework version header ----

TEST(FrameworkVersion, HeaderIsPfftThenTheVersionAndNothingElseMatches)
{
  PresetTestPlug plug(1, 1);
  ByteChunk c;
  c.PutBytes("junk", 4);
  plug.InitChunkWithFrameworkVer(&c);
  EXPECT_EQ(ChunkBytes(c), (Bytes{0x74, 0x66, 0x66, 0x70, 0, 0, 1, 0}));
  c.PutBytes("more", 4);
  int pos = 0;
  EXPECT_EQ(plug.GetFrameworkVerFromChunk(&c, &pos), 0x10000);
  EXPECT_EQ(pos, 8);

  ByteChunk other;
  other.PutBytes("\x74\x66\x66\x71\0\0\1\0", 8);
  for (int start : {0, 6, -1})  // wrong magic, too close to the end, invalid
  {
    pos = start;
    EXPECT_EQ(plug.GetFrameworkVerFromChunk(&other, &pos), 0);
    EXPECT_EQ(pos, start);
  }
  ByteChunk cut;  // the magic, then only half a version
  cut.PutBytes("\x74\x66\x66\x70\0\0", 6);
  pos = 0;
  EXPECT_EQ(plug.GetFrameworkVerFromChunk(&cut, &pos), 0);
  EXPECT_EQ(pos, -1);
}

// ---- Preset bank ----

TEST(PresetBank, OnePresetIsNameLengthNameFlagState)
{
  PresetTestPlug plug(5, 1);
  plug.InitFiveDoubles();
  plug.SetValues({0, 1, 0.75, 0, 0});
  plug.MakeDefaultPreset("-", 1);
  ByteChunk bank;
  ASSERT_TRUE(plug.SerializePresets(&bank));
  ASSERT_EQ(bank.Size(), 46);
  Bytes expected = {1, 0, 0, 0, 0x2D, 1};
  const Bytes state = DoublesAsBytes({0, 1, 0.75, 0, 0});
  expected.insert(expected.end(), state.begin(), state.end());
  EXPECT_EQ(ChunkBytes(bank), expected);
}

TEST(PresetBank, RoundTripRestoresNamesFlagsStatesAndTheCurrentPreset)
{
  PresetTestPlug src(2, 3);
  src.SetValues({0.1, 0.2});
  src.MakeDefaultPreset("first", 1);
  src.SetValues({0.3, 0.4});
  src.MakeDefaultPreset("second", 1);  // preset 2 stays free
  ByteChunk bank;
  ASSERT_TRUE(src.SerializePresets(&bank));

  PresetTestPlug dst(2, 3);
  dst.MakeDefaultPreset("x", 3);
  dst.SetValues({0.9, 0.9});
  EXPECT_EQ(dst.UnserializePresets(&bank, 0), bank.Size());
  EXPECT_STREQ(dst.GetPresetName(0), "first");
  EXPECT_STREQ(dst.GetPresetName(1), "second");
  EXPECT_STREQ(dst.GetPresetName(2), "empty");
  EXPECT_FALSE(dst.GetPreset(2)->mInitialized);
  EXPECT_EQ(dst.PresetBytes(1), DoublesAsBytes({0.3, 0.4}));
  // Ends by restoring the current preset (0).
  EXPECT_EQ(dst.Values(), (std::vector<double>{0.1, 0.2}));
}

TEST(PresetBank, ABankThatEndsEarlyLeavesTheRemainingPresetsAlone)
{
  PresetTestPlug src(1, 1);
  src.MakeDefaultPreset("only", 1);
  ByteChunk bank;
  src.SerializePresets(&bank);

  PresetTestPlug dst(1, 3);
  dst.MakeDefaultPreset("kept", 3);
  EXPECT_EQ(dst.UnserializePresets(&bank, 0), -1);
  EXPECT_STREQ(dst.GetPresetName(0), "only");
  EXPECT_STREQ(dst.GetPresetName(1), "kept");
  EXPECT_STREQ(dst.GetPresetName(2), "kept");
}

TEST(PresetBank, NamesLongerThanTheFieldAreCut)
{
  ByteChunk bank;
  const std::string name(300, 'q');
  bank.PutStr(name.c_str());
  const unsigned char flag = 1;
  bank.Put(&flag);
  PutDoubles(&bank, {0.5});
  PresetTestPlug plug(1, 1);
  EXPECT_EQ(plug.UnserializePresets(&bank, 0), bank.Size());
  EXPECT_EQ(plug.GetParam(0)->GetValue(), 0.5);
  EXPECT_EQ(std::string(plug.GetPresetName(0)), std::string(255, 'q'));
}

// ---- Making presets ----

TEST(MakePresets, DefaultPresetsFillFreeSlotsWithTheCurrentState)
{
  PresetTestPlug plug(2, 3);
  plug.SetValues({0.5, 0.25});
  plug.MakeDefaultPreset(nullptr, 1);
  EXPECT_STREQ(plug.GetPresetName(0), "Empty");
  EXPECT_EQ(plug.PresetBytes(0), DoublesAsBytes({0.5, 0.25}));
  plug.MakeDefaultPreset("two", 5);  // only two slots left
  EXPECT_STREQ(plug.GetPresetName(2), "two");
  EXPECT_TRUE(plug.GetPreset(2)->mInitialized);

  PresetTestPlug other(1, 2);
  other.MakeDefaultPreset("a", 1);
  other.EnsureDefaultPreset();
  EXPECT_STREQ(other.GetPresetName(0), "a");
  EXPECT_STREQ(other.GetPresetName(1), "Empty");
  EXPECT_TRUE(other.GetPreset(1)->mInitialized);
}

TEST(MakePresets, MakePresetReadsIntsForIntegerKindsAndDoublesOtherwise)
{
  PresetTestPlug plug(4, 2);
  plug.GetParam(0)->InitBool("b", false);
  plug.GetParam(1)->InitInt("i", 0, -10, 10);
  plug.GetParam(2)->InitEnum("e", 0, 4);
  plug.GetParam(3)->InitDouble("d", 0., 0., 100., 0.1);
  plug.MakePreset("mixed", 1, -3, 2, 42.5);
  EXPECT_STREQ(plug.GetPresetName(0), "mixed");
  EXPECT_EQ(plug.PresetBytes(0), DoublesAsBytes({1, -3, 2, 42.5}));
  EXPECT_EQ(plug.Values(), (std::vector<double>{0, 0, 0, 0}));  // parameters untouched
}

TEST(MakePresets, NamedParamsFillTheRestFromCurrentValues)
{
  PresetTestPlug plug(2, 2);
  plug.GetParam(0)->InitDouble("a", 0., 0., 1., 0.01);
  plug.GetParam(1)->InitDouble("b", 0.3, 0., 1., 0.01);
  plug.MakePresetFromNamedParams("named", 1, 0, 0.5);
  EXPECT_EQ(plug.PresetBytes(0), DoublesAsBytes({0.5, 0.3}));

  // The marker value counts as not named; an invalid index ends the list.
  plug.GetParam(0)->SetValue(0.125);
  plug.MakePresetFromNamedParams("marker", 2, 1, 9.999e-8, 7, 0.9);
  EXPECT_EQ(plug.PresetBytes(1), DoublesAsBytes({0.125, 0.3}));
}

TEST(MakePresets, BlobsDecodeIntoAZeroedBufferOfTheGivenSize)
{
  PresetTestPlug plug(1, 5);
  plug.MakePresetFromBlob("a", "AAAA", 4);
  plug.MakePresetFromBlob("b", "AQID", 3);
  plug.MakePresetFromBlob("c", "AQ==", 1);
  plug.MakePresetFromBlob("d", "AQIDBA==", 2);  // extra bytes dropped
  plug.MakePresetFromBlob("e", nullptr, 2);
  EXPECT_EQ(plug.PresetBytes(0), (Bytes{0, 0, 0, 0}));
  EXPECT_EQ(plug.PresetBytes(1), (Bytes{1, 2, 3}));
  EXPECT_EQ(plug.PresetBytes(2), (Bytes{1}));
  EXPECT_EQ(plug.PresetBytes(3), (Bytes{1, 2}));
  EXPECT_EQ(plug.PresetBytes(4), (Bytes{0, 0}));
  EXPECT_STREQ(plug.GetPresetName(2), "c");

  // No free slot: nothing changes.
  plug.MakePresetFromBlob("f", "AQID", 3);
  plug.MakePresetFromChunk("g", nullptr);
  EXPECT_STREQ(plug.GetPresetName(4), "e");
  EXPECT_EQ(plug.PresetBytes(4), (Bytes{0, 0}));
}

TEST(MakePresets, FromChunkCopiesAllBytesAndPruneDropsFreeSlots)
{
  PresetTestPlug plug(1, 4);
  ByteChunk c;
  c.PutBytes("\1\2\3", 3);
  plug.MakePresetFromChunk("c", &c);
  EXPECT_EQ(plug.PresetBytes(0), (Bytes{1, 2, 3}));
  plug.RestorePreset(2);  // becomes a user preset
  plug.PruneUninitializedPresets();
  ASSERT_EQ(plug.NPresets(), 2);
  EXPECT_STREQ(plug.GetPresetName(0), "c");
  EXPECT_STREQ(plug.GetPresetName(1), "user preset 1");
  EXPECT_STREQ(plug.GetPresetName(2), "");
  EXPECT_STREQ(plug.GetPresetName(-1), "");
}

// ---- Restoring and modifying ----

TEST(RestorePreset, AFreeSlotBecomesTheNextUserPreset)
{
  PresetTestPlug plug(1, 5);
  plug.GetParam(0)->SetValue(0.4);
  EXPECT_TRUE(plug.RestorePreset(0));
  EXPECT_STREQ(plug.GetPresetName(0), "user preset 1");
  EXPECT_EQ(plug.PresetBytes(0), DoublesAsBytes({0.4}));
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 0);

  plug.MakePresetFromChunk("my user preset", nullptr);  // slot 1; its name counts too
  EXPECT_TRUE(plug.RestorePreset(3));
  EXPECT_STREQ(plug.GetPresetName(3), "user preset 3");
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 3);
}

TEST(RestorePreset, AnInitialisedPresetAppliesItsStateAndRedraws)
{
  PresetTestPlug plug(2, 2);
  std::vector<RecordingGraphics::Call> calls;
  plug.AttachGraphics(new RecordingGraphics(&calls));
  plug.MakePreset("p0", 0.25, 0.5);
  plug.MakePreset("p1", 0.75, 1.0);
  calls.clear();
  plug.paramChanges.clear();

  EXPECT_TRUE(plug.RestorePreset("p1"));
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 1);
  EXPECT_EQ(plug.Values(), (std::vector<double>{0.75, 1.0}));
  EXPECT_EQ(plug.paramChanges, (std::vector<int>{0, 1}));
  EXPECT_EQ(plug.presetsChanged, 1);
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[1].idx, 1);
  EXPECT_EQ(calls[1].value, 1.0);  // plain value, not normalised
  EXPECT_FALSE(calls[1].normalized);
}

TEST(RestorePreset, FailuresChangeNeitherTheIndexNorTheEditor)
{
  PresetTestPlug plug(2, 2);
  std::vector<RecordingGraphics::Call> calls;
  plug.AttachGraphics(new RecordingGraphics(&calls));
  ByteChunk empty;
  plug.MakePresetFromChunk("unreadable", &empty);  // initialised, but no state in it
  calls.clear();
  EXPECT_FALSE(plug.RestorePreset(0));
  EXPECT_FALSE(plug.RestorePreset(2));
  EXPECT_FALSE(plug.RestorePreset(-1));
  EXPECT_FALSE(plug.RestorePreset("nope"));
  EXPECT_FALSE(plug.RestorePreset(""));
  EXPECT_FALSE(plug.RestorePreset((const char*)nullptr));
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 0);
  EXPECT_TRUE(calls.empty());
  EXPECT_EQ(plug.presetsChanged, 0);
}

TEST(RestorePreset, ModifyCurrentPresetStoresTheStateAndANonEmptyName)
{
  PresetTestPlug plug(1, 2);
  plug.MakeDefaultPreset("orig", 2);
  plug.RestorePreset(1);
  plug.GetParam(0)->SetValue(0.6);
  plug.ModifyCurrentPreset("");
  EXPECT_STREQ(plug.GetPresetName(1), "orig");
  EXPECT_EQ(plug.PresetBytes(1), DoublesAsBytes({0.6}));
  plug.ModifyCurrentPreset("renamed");
  EXPECT_STREQ(plug.GetPresetName(1), "renamed");
  EXPECT_EQ(plug.PresetBytes(0), DoublesAsBytes({0}));
}

// ---- Dumps ----

TEST(Dumps, SourceCodeDumpShowsEachKindInItsForm)
{
  PresetTestPlug plug(4, 1);
  plug.GetParam(0)->InitBool("b", true);
  plug.GetParam(1)->InitInt("i", -3, -10, 10);
  plug.GetParam(2)->InitEnum("e", 2, 4);
  plug.GetParam(3)->InitDouble("d", 1.5, 0., 100., 0.1);
  const char* names[] = {"kB", "kI", "kE", "kD"};
  const std::string path = TempPath("src.txt");
  plug.DumpPresetSrcCode(path.c_str(), names);
  EXPECT_EQ(ReadText(path),
            "  MakePresetFromNamedParams(\"name\", 4,\n    kB, true,\n    kI, -3,\n    kE, 2,\n"
            "    kD, 1.500000);\n");
  std::remove(path.c_str());
}

TEST(Dumps, BlobDumpsDecodeBackToThePresetChunks)
{
  PresetTestPlug plug(1, 2);
  plug.MakePresetFromBlob("one", "AQID", 3);
  ByteChunk big;  // more than the usual 2048-character text holds
  for (int i = 0; i < 2000; ++i)
  {
    const unsigned char b = (unsigned char)(i * 7);
    big.Put(&b);
  }
  plug.MakePresetFromChunk("big", &big);

  const std::string path = TempPath("blob.txt");
  plug.DumpPresetBlob(path.c_str());
  EXPECT_EQ(ReadText(path), "MakePresetFromBlob(\"name\", \"AQID\", 3);\n");

  plug.DumpBankBlob(path.c_str());
  const std::string text = ReadText(path);
  const std::string first = "MakePresetFromBlob(\"one\", \"AQID\", 3);\n";
  ASSERT_EQ(text.compare(0, first.size(), first), 0);
  const std::string prefix = "MakePresetFromBlob(\"big\", \"";
  ASSERT_EQ(text.compare(first.size(), prefix.size(), prefix), 0);
  const std::string rest = text.substr(first.size() + prefix.size());
  const size_t quote = rest.find('"');
  ASSERT_NE(quote, std::string::npos);
  EXPECT_EQ(rest.substr(quote), "\", 2000);\n");
  std::vector<unsigned char> decoded(2000);
  EXPECT_EQ(Util_Base64Decode(rest.substr(0, quote).c_str(), decoded.data(), 2000), 2000);
  EXPECT_EQ(decoded, ChunkBytes(big));
  std::remove(path.c_str());
}

TEST(Dumps, BankBlobNamesAreWrittenAsCStringLiterals)
{
  // Names come from loaded banks; a quote must not end the literal and let the rest run as code.
  PresetTestPlug plug(1, 1);
  plug.MakePresetFromBlob("a\"); evil(); //\\\n", "AQID", 3);
  const std::string path = TempPath("escaped.txt");
  plug.DumpBankBlob(path.c_str());
  EXPECT_EQ(ReadText(path), "MakePresetFromBlob(\"a\\\"); evil(); //\\\\\\012\", \"AQID\", 3);\n");
  std::remove(path.c_str());
}

}  // namespace
