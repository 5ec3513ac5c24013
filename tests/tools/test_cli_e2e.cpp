// End-to-end runs of `quenbar` through the real plug-in bundle.
#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <set>

#include "tests/tools/clirun.h"

namespace {

using toolstest::Audio;
using toolstest::RunQuenbar;
using toolstest::RunResult;
using toolstest::TempDir;

const std::string kBundle = QUENBAR_BUNDLE;

using toolstest::Contains;

class QuenbarCli : public ::testing::Test {
 protected:
  void SetUp() override {
    toolstest::RequireBundle(kBundle);
    if (IsSkipped() || HasFatalFailure()) return;
  }

  // Renders in → out through the bundle; fails the test if quenbar fails.
  Audio Render(const Audio& in, std::vector<std::string> options, const std::string& name = "o") {
    const std::string inPath = dir.File(name + "-in.wav");
    const std::string outPath = dir.File(name + "-out.wav");
    EXPECT_TRUE(toolstest::WriteAudio(inPath, in));
    std::vector<std::string> args = {"render", inPath, outPath, "--plugin", kBundle};
    args.insert(args.end(), options.begin(), options.end());
    const RunResult r = RunQuenbar(args);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    Audio out;
    EXPECT_TRUE(toolstest::ReadAudio(outPath, &out)) << "no readable output for " << name;
    return out;
  }

  RunResult RenderFile(const std::string& in, const std::string& out,
                       std::vector<std::string> options = {}) {
    std::vector<std::string> args = {"render", in, out, "--plugin", kBundle};
    args.insert(args.end(), options.begin(), options.end());
    return RunQuenbar(args);
  }

  std::set<std::string> Names() const {
    const std::vector<std::string> names = dir.List();
    return std::set<std::string>(names.begin(), names.end());
  }

  TempDir dir;
};

int TypeAndSubtype(int format) { return format & (SF_FORMAT_TYPEMASK | SF_FORMAT_SUBMASK); }

TEST_F(QuenbarCli, InfoDescribesTheEffect) {
  const RunResult r = RunQuenbar({"info", kBundle});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  for (const char* part :
       {"vendor \"Tressivolantica\"", "\"Quenbar\", category \"Audio Module Class\"",
        "id F2AEE70D00DE4F4E54727376514E4231", "sub-categories \"Fx|Dynamics\"",
        "version \"1.0.0\"", "sdk \"VST 3.6.12\"", "cardinality many", "Parameters: 7",
        "\"Preset\"", "program-change", "'bpas' \"Bypass\"", "\"Level\"", "range -15 to 15",
        "\"Mix\"", "\"Tone\"", "range 0.25 to 1.25", "\"Snap\"", "range 0 to 30",
        "units \"%\"", "steps 0 (continuous)", "steps 1 (discrete)",
        "single component"}) {
    EXPECT_TRUE(Contains(r.out, part)) << "missing: " << part << "\n" << r.out;
  }
}

TEST_F(QuenbarCli, InfoWithoutBundleUsesTheOneBesideTheProgram) {
  const std::string exe = QUENBAR_EXE;
  if (kBundle != exe.substr(0, exe.find_last_of('/')) + "/Quenbar.vst3")
    GTEST_SKIP() << "the tests render through another bundle than the default one";
  const RunResult named = RunQuenbar({"info", kBundle});
  const RunResult plain = RunQuenbar({"info"});
  ASSERT_EQ(named.exitCode, 0) << named.err;
  ASSERT_EQ(plain.exitCode, 0) << plain.err;
  EXPECT_EQ(plain.out, named.out);
}

TEST_F(QuenbarCli, BypassIsBitExactAt64Bit) {
  const Audio in = toolstest::MakeSignal(5000, 2, 48000);
  const Audio out = Render(in, {"--bypass", "--precision", "64", "--snap", "20"});
  EXPECT_EQ(out.format & SF_FORMAT_SUBMASK, SF_FORMAT_DOUBLE);
  EXPECT_EQ(out.rate, 48000);
  ASSERT_EQ(out.samples.size(), in.samples.size());
  for (size_t i = 0; i < in.samples.size(); ++i)
    ASSERT_EQ(out.samples[i], in.samples[i]) << "sample " << i;
}

TEST_F(QuenbarCli, MixZeroIsTheDrySignalTimesTheLevel) {
  const Audio in = toolstest::MakeSignal(3000, 2, 44100);
  const Audio out = Render(in, {"--mix", "0", "--level", "-15", "--precision", "64"});
  ASSERT_EQ(out.samples.size(), in.samples.size());
  const double gain = std::pow(10.0, -15.0 / 20.0);
  // From the very first sample: the change arrives with the first block.
  for (size_t i = 0; i < in.samples.size(); ++i)
    ASSERT_NEAR(out.samples[i], in.samples[i] * gain, 1e-15) << "sample " << i;
}

TEST_F(QuenbarCli, BlockSizeDoesNotChangeTheResult) {
  const Audio in = toolstest::MakeSignal(3001, 2, 44100);
  const Audio ref = Render(in, {"--precision", "64", "--snap", "9", "--tone", "0.4"}, "b512");
  ASSERT_EQ(ref.samples.size(), in.samples.size());
  bool differsFromInput = false;
  for (size_t i = 0; i < in.samples.size(); ++i)
    differsFromInput = differsFromInput || ref.samples[i] != in.samples[i];
  EXPECT_TRUE(differsFromInput) << "the effect left the signal unchanged";
  for (const char* block : {"1", "7", "4096"}) {
    const Audio out = Render(in, {"--precision", "64", "--snap", "9", "--tone", "0.4", "--block",
                                  block}, std::string("b") + block);
    ASSERT_EQ(out.samples.size(), ref.samples.size());
    for (size_t i = 0; i < ref.samples.size(); ++i)
      ASSERT_EQ(out.samples[i], ref.samples[i]) << "--block " << block << ", sample " << i;
  }
}

TEST_F(QuenbarCli, MonoInputGivesMonoOutput) {
  const Audio in = toolstest::MakeSignal(2000, 1, 22050);
  const Audio out = Render(in, {"--mix", "0", "--precision", "64"});
  EXPECT_EQ(out.channels, 1);
  EXPECT_EQ(out.rate, 22050);
  ASSERT_EQ(out.samples.size(), in.samples.size());
  for (size_t i = 0; i < in.samples.size(); ++i) ASSERT_EQ(out.samples[i], in.samples[i]);
}

TEST_F(QuenbarCli, TheFileRateReachesThePlugin) {
  // The tilt equaliser's coefficients depend on the rate: the same samples
  // labelled with another rate must come out differently.
  Audio in = toolstest::MakeSignal(4000, 2, 44100);
  const Audio at44 = Render(in, {"--precision", "64"}, "r44");
  in.rate = 96000;
  const Audio at96 = Render(in, {"--precision", "64"}, "r96");
  EXPECT_EQ(at96.rate, 96000);
  ASSERT_EQ(at44.samples.size(), at96.samples.size());
  double diff = 0.0;
  for (size_t i = 0; i < at44.samples.size(); ++i)
    diff = std::fmax(diff, std::fabs(at44.samples[i] - at96.samples[i]));
  EXPECT_GT(diff, 1e-6);
}

TEST_F(QuenbarCli, ThirtyTwoBitKeepsTheInputFormatAndClips) {
  Audio in = toolstest::MakeSignal(1000, 2, 44100);
  in.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  ASSERT_TRUE(toolstest::WriteAudio(dir.File("pcm.wav"), in));
  Audio quantised;
  ASSERT_TRUE(toolstest::ReadAudio(dir.File("pcm.wav"), &quantised));
  const Audio out = Render(quantised, {"--mix", "0", "--level", "15"});
  EXPECT_EQ(out.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
  ASSERT_EQ(out.samples.size(), quantised.samples.size());
  // Above full scale the samples clip; wrapping round would flip their sign.
  const double gain = std::pow(10.0, 15.0 / 20.0);
  int clipped = 0;
  for (size_t i = 0; i < out.samples.size(); ++i) {
    const double want = std::fmax(-1.0, std::fmin(1.0, quantised.samples[i] * gain));
    clipped += std::fabs(quantised.samples[i] * gain) > 1.0;
    ASSERT_NEAR(out.samples[i], want, 2.0 / 32768.0) << "sample " << i;
  }
  EXPECT_GT(clipped, 0) << "the test signal never went above full scale";
}

TEST_F(QuenbarCli, StateRoundTrip) {
  const Audio in = toolstest::MakeSignal(2000, 2, 44100);
  const std::string state = dir.File("s.state");
  const Audio direct =
      Render(in, {"--level", "3", "--mix", "0.25", "--save-state", state, "--precision", "64"},
             "direct");
  const std::vector<unsigned char> bytes = toolstest::ReadBytes(state);
  ASSERT_EQ(bytes.size(), 44u);
  double values[5];
  std::memcpy(values, bytes.data(), sizeof(values));
  EXPECT_NEAR(values[0], 3.0, 1e-12);   // Level
  EXPECT_NEAR(values[1], 0.25, 1e-12);  // Mix
  EXPECT_EQ(values[2], 0.75);           // Tone default
  EXPECT_EQ(values[3], 0.0);            // Snap default
  EXPECT_EQ(values[4], 0.0);            // Bypass
  int32_t bypassWord = -1;
  std::memcpy(&bypassWord, bytes.data() + 40, 4);
  EXPECT_EQ(bypassWord, 0);

  const Audio restored = Render(in, {"--state", state, "--precision", "64"}, "restored");
  ASSERT_EQ(restored.samples.size(), direct.samples.size());
  for (size_t i = 0; i < direct.samples.size(); ++i) ASSERT_EQ(restored.samples[i], direct.samples[i]);
}

TEST_F(QuenbarCli, RestoredHostBypassSurvivesTheSetUp) {
  // Defaults with the host bypass word set: the plug-in must pass audio through.
  std::vector<unsigned char> bytes(44, 0);
  const double defaults[5] = {0.0, 1.0, 0.75, 0.0, 0.0};
  std::memcpy(bytes.data(), defaults, sizeof(defaults));
  bytes[40] = 1;
  const std::string state = dir.File("bypassed.state");
  ASSERT_TRUE(toolstest::WriteBytes(state, bytes));
  const Audio in = toolstest::MakeSignal(1500, 2, 44100);
  const Audio out = Render(in, {"--state", state, "--precision", "64"});
  ASSERT_EQ(out.samples.size(), in.samples.size());
  for (size_t i = 0; i < in.samples.size(); ++i) ASSERT_EQ(out.samples[i], in.samples[i]);
}

TEST_F(QuenbarCli, RangeEndsAreAcceptedAndBeyondThemRejected) {
  const Audio in = toolstest::MakeSignal(500, 2, 44100);
  ASSERT_TRUE(toolstest::WriteAudio(dir.File("in.wav"), in));
  const std::string out = dir.File("out.wav");
  struct Case {
    const char* option;
    const char* value;
    const char* range;
  } bad[] = {{"--level", "15.5", "-15 to 15"}, {"--level", "-16", "-15 to 15"},
             {"--mix", "1.01", "0 to 1"},      {"--mix", "-0.5", "0 to 1"},
             {"--tone", "0.2", "0.25 to 1.25"}, {"--snap", "31", "0 to 30"}};
  for (const Case& c : bad) {
    const RunResult r =
        RunQuenbar({"render", dir.File("in.wav"), out, "--plugin", kBundle, c.option, c.value});
    EXPECT_NE(r.exitCode, 0) << c.option << " " << c.value;
    EXPECT_TRUE(Contains(r.err, c.range)) << r.err;
    EXPECT_FALSE(toolstest::FileExists(out)) << c.option << " " << c.value;
  }
  const RunResult ok = RunQuenbar({"render", dir.File("in.wav"), out, "--plugin", kBundle,
                                   "--level", "-15", "--mix", "1", "--tone", "1.25", "--snap", "30"});
  EXPECT_EQ(ok.exitCode, 0) << ok.err;
  EXPECT_TRUE(toolstest::FileExists(out));
}

TEST_F(QuenbarCli, EmptyInputGivesEmptyOutputAndStillSavesState) {
  Audio in;
  in.channels = 2;
  const std::string state = dir.File("e.state");
  const Audio out = Render(in, {"--snap", "6", "--save-state", state});
  EXPECT_EQ(out.Frames(), 0);
  const std::vector<unsigned char> bytes = toolstest::ReadBytes(state);
  ASSERT_EQ(bytes.size(), 44u);
  double snap = 0.0;
  std::memcpy(&snap, bytes.data() + 24, 8);
  EXPECT_NEAR(snap, 6.0, 1e-12);
}

// With --bypass the samples come through unchanged, so what comes out
// shows what the container and sample format did to them.
TEST_F(QuenbarCli, OutputFileTypeFollowsTheOutputName) {
  struct Case {
    int in;
    const char* out;
    bool use64;
    int want;
    bool note;         // a note on stderr says the sample format changed
    double tolerance;  // against the input's samples; < 0: lossy, frames only
  } cases[] = {
      {SF_FORMAT_WAV | SF_FORMAT_PCM_24, "a.flac", false,
       SF_FORMAT_FLAC | SF_FORMAT_PCM_24, false, 0},
      {SF_FORMAT_WAV | SF_FORMAT_FLOAT, "b.FLAC", false,
       SF_FORMAT_FLAC | SF_FORMAT_PCM_24, true, 1.0 / 8388608.0},
      {SF_FORMAT_WAV | SF_FORMAT_PCM_16, "c.ogg", false,
       SF_FORMAT_OGG | SF_FORMAT_VORBIS, true, -1},
      {SF_FORMAT_FLAC | SF_FORMAT_PCM_16, "d.wav", false,
       SF_FORMAT_WAV | SF_FORMAT_PCM_16, false, 0},
      {SF_FORMAT_WAV | SF_FORMAT_PCM_24, "e.aif", false,
       SF_FORMAT_AIFF | SF_FORMAT_PCM_24, false, 0},
      {SF_FORMAT_WAV | SF_FORMAT_FLOAT, "f.caf", false,
       SF_FORMAT_CAF | SF_FORMAT_FLOAT, false, 0},
      {SF_FORMAT_WAV | SF_FORMAT_PCM_16, "g.w64", false,
       SF_FORMAT_W64 | SF_FORMAT_PCM_16, false, 0},
      {SF_FORMAT_WAV | SF_FORMAT_PCM_16, "h.rf64", false,
       SF_FORMAT_RF64 | SF_FORMAT_PCM_16, false, 0},
      {SF_FORMAT_WAV | SF_FORMAT_PCM_16, "i.au", false,
       SF_FORMAT_AU | SF_FORMAT_PCM_16, false, 0},
      {SF_FORMAT_WAV | SF_FORMAT_PCM_24, "j.caf", true,
       SF_FORMAT_CAF | SF_FORMAT_DOUBLE, false, 0},
      {SF_FORMAT_FLAC | SF_FORMAT_PCM_24, "k.out", false,
       SF_FORMAT_FLAC | SF_FORMAT_PCM_24, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.out);
    Audio in = toolstest::MakeSignal(3000, 2, 44100);
    in.format = c.in;
    const std::string inPath = dir.File(std::string("in-") + c.out);
    ASSERT_TRUE(toolstest::WriteAudio(inPath, in));
    Audio stored;
    ASSERT_TRUE(toolstest::ReadAudio(inPath, &stored));
    std::vector<std::string> options = {"--bypass"};
    if (c.use64) options.insert(options.end(), {"--precision", "64"});
    const RunResult r = RenderFile(inPath, dir.File(c.out), options);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(Contains(r.err, "quenbar: note: "), c.note) << r.err;
    Audio out;
    ASSERT_TRUE(toolstest::ReadAudio(dir.File(c.out), &out));
    EXPECT_EQ(TypeAndSubtype(out.format), c.want) << std::hex << "got 0x" << out.format;
    ASSERT_EQ(out.samples.size(), stored.samples.size());
    if (c.tolerance < 0) continue;
    double worst = 0.0;
    for (size_t i = 0; i < stored.samples.size(); ++i)
      worst = std::max(worst, std::fabs(out.samples[i] - stored.samples[i]));
    EXPECT_LE(worst, c.tolerance);
  }
}

// A header that promises more than the file holds: what is there is
// rendered, and a warning names the file and both counts.
TEST_F(QuenbarCli, TruncatedInputIsRenderedWithAWarning) {
  struct Case {
    const char* name;
    int format;
    int channels;
    int bytesPerSample;
    long keep;  // frames left after the cut; -1: not cut
  } cases[] = {{"pcm16.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 2, 12000},
               {"float.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1, 4, 12000},
               {"pcm24.wav", SF_FORMAT_WAVEX | SF_FORMAT_PCM_24, 2, 3, 1},
               {"pcm24.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_24, 2, 3, 12000},
               {"whole.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2, 2, -1}};
  const long promised = 48000;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Audio in = toolstest::MakeSignal(static_cast<int>(promised), c.channels, 48000);
    in.format = c.format;
    const std::string inPath = dir.File(c.name);
    const std::string outPath = dir.File(std::string("out-") + c.name);
    ASSERT_TRUE(toolstest::WriteAudio(inPath, in));
    Audio whole;
    ASSERT_TRUE(toolstest::ReadAudio(inPath, &whole));
    struct stat st;
    ASSERT_EQ(stat(inPath.c_str(), &st), 0);
    if (c.keep >= 0) {
      const off_t cut = (promised - c.keep) * c.channels * c.bytesPerSample;
      ASSERT_EQ(truncate(inPath.c_str(), st.st_size - cut), 0);
    }

    const RunResult r = RenderFile(inPath, outPath, {"--bypass"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    Audio out;
    ASSERT_TRUE(toolstest::ReadAudio(outPath, &out));
    if (c.keep < 0) {
      EXPECT_FALSE(Contains(r.err, "warning")) << r.err;
      EXPECT_EQ(out.Frames(), promised);
    } else {
      EXPECT_EQ(out.Frames(), c.keep) << "the cut is not where the test meant it";
      EXPECT_TRUE(Contains(r.err, "quenbar: warning: " + inPath + ": header promises " +
                                      std::to_string(promised) + " frames but only " +
                                      std::to_string(out.Frames()) +
                                      " could be read; rendered what was there"))
          << r.err;
    }
    EXPECT_TRUE(Contains(r.out, ": " + std::to_string(out.Frames()) + " frames")) << r.out;
    // What was read came through whole: the start of the file as written.
    ASSERT_LE(out.samples.size(), whole.samples.size());
    for (size_t i = 0; i < out.samples.size(); ++i)
      ASSERT_EQ(out.samples[i], whole.samples[i]) << "sample " << i;
  }
}

// Links at OUT and at --save-state are written through: each link stays,
// the file it leads to gets the content and keeps its mode.
TEST_F(QuenbarCli, OutputAndStateAreWrittenThroughLinks) {
  const Audio in = toolstest::MakeSignal(2000, 2, 44100);
  const std::string inPath = dir.File("in.wav");
  ASSERT_TRUE(toolstest::WriteAudio(inPath, in));
  ASSERT_TRUE(toolstest::WriteBytes(dir.File("real.wav"), {'o', 'l', 'd'}));
  ASSERT_EQ(chmod(dir.File("real.wav").c_str(), 0640), 0);
  ASSERT_EQ(symlink("real.wav", dir.File("out-link.wav").c_str()), 0);
  ASSERT_EQ(symlink(dir.File("real.state").c_str(), dir.File("state-link").c_str()), 0);

  const RunResult r = RenderFile(inPath, dir.File("out-link.wav"),
                                 {"--bypass", "--save-state", dir.File("state-link")});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(Names(), (std::set<std::string>{"in.wav", "real.wav", "out-link.wav", "real.state",
                                            "state-link"}));
  for (const char* link : {"out-link.wav", "state-link"}) {
    struct stat st;
    ASSERT_EQ(lstat(dir.File(link).c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode)) << link << " was replaced by a plain file";
  }
  Audio out;
  ASSERT_TRUE(toolstest::ReadAudio(dir.File("real.wav"), &out));
  EXPECT_EQ(out.samples, in.samples);
  EXPECT_EQ(toolstest::ReadBytes(dir.File("real.state")).size(), 44u);
  struct stat st;
  ASSERT_EQ(stat(dir.File("real.wav").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
}

// Bytes that are no state of the plug-in: refused, nothing rendered.
TEST_F(QuenbarCli, RefusedStateRendersNothing) {
  std::vector<unsigned char> noise(200);
  unsigned s = 12345u;
  for (unsigned char& b : noise) {
    s = s * 1664525u + 1013904223u;
    b = static_cast<unsigned char>(s >> 24);
  }
  const std::string state = dir.File("noise.state");
  ASSERT_TRUE(toolstest::WriteBytes(state, noise));
  ASSERT_TRUE(toolstest::WriteAudio(dir.File("in.wav"), toolstest::MakeSignal(1000, 2, 44100)));
  const RunResult r = RenderFile(dir.File("in.wav"), dir.File("out.wav"), {"--state", state});
  EXPECT_EQ(r.exitCode, 1) << r.out << r.err;
  EXPECT_TRUE(Contains(r.err, "quenbar: state " + state + ": the plug-in refused it")) << r.err;
  EXPECT_TRUE(Contains(r.err, "nothing was rendered")) << r.err;
  EXPECT_EQ(Names(), (std::set<std::string>{"in.wav", "noise.state"}));
}

}  // namespace

namespace {

bool SameFileBytes(const std::string& a, const std::string& b) {
  FILE* fa = std::fopen(a.c_str(), "rb");
  FILE* fb = std::fopen(b.c_str(), "rb");
  bool same = fa && fb;
  while (same) {
    const int ca = std::fgetc(fa), cb = std::fgetc(fb);
    if (ca != cb) same = false;
    if (ca == EOF || cb == EOF) break;
  }
  if (fa) std::fclose(fa);
  if (fb) std::fclose(fb);
  return same;
}

// The editor's picture: the defaults as the golden panel, options and states
// as a host would set them, refusals without a file.
TEST_F(QuenbarCli, SnapshotPaintsThePanel) {
  const std::string plain = dir.File("plain.png");
  RunResult r = RunQuenbar({"snapshot", plain});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(Contains(r.out, "732x208")) << r.out;
  EXPECT_TRUE(SameFileBytes(plain, QUENBAR_GOLDEN_DIR "/editor_default.png")) << "the default panel";

  // A state saved by render, with the driven golden's values, paints the
  // same as the options for them.
  const std::string driven = dir.File("driven.png");
  r = RunQuenbar({"snapshot", driven, "--level", "-6", "--mix", "0.6", "--tone", "0.7", "--snap", "24", "--bypass"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_FALSE(SameFileBytes(driven, plain));
  Audio silence;
  silence.channels = 1;
  silence.rate = 48000;
  silence.samples.assign(64, 0.0);
  ASSERT_TRUE(toolstest::WriteAudio(dir.File("in.wav"), silence));
  const std::string state = dir.File("driven.state");
  r = RenderFile(dir.File("in.wav"), dir.File("out.wav"),
                 {"--level", "-6", "--mix", "0.6", "--tone", "0.7", "--snap", "24", "--bypass", "--save-state", state});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const std::string fromState = dir.File("from-state.png");
  r = RunQuenbar({"snapshot", fromState, "--state", state});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(SameFileBytes(fromState, driven));

  // Refusals: nothing written.
  std::FILE* junk = std::fopen(dir.File("junk.state").c_str(), "wb");
  std::fputs("not a state of anything", junk);
  std::fclose(junk);
  r = RunQuenbar({"snapshot", dir.File("refused.png"), "--state", dir.File("junk.state")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(Contains(r.err, "refused")) << r.err;
  r = RunQuenbar({"snapshot", dir.File("range.png"), "--snap", "99"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(Contains(r.err, "--snap")) << r.err;
  EXPECT_EQ(RunQuenbar({"snapshot"}).exitCode, 2);
  EXPECT_EQ(RunQuenbar({"snapshot", "a.png", "b.png"}).exitCode, 2);
  EXPECT_EQ(RunQuenbar({"snapshot", dir.File("x.png"), "--block", "64"}).exitCode, 2);
  const std::set<std::string> names = Names();
  EXPECT_EQ(names.count("refused.png") + names.count("range.png") + names.count("x.png"), 0u);
}

}  // namespace
