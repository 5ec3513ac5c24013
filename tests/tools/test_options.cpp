#include <gtest/gtest.h>

#include "tools/quenbar/options.h"

namespace {

using quenbar::Command;
using quenbar::Options;

struct Parsed {
  bool ok;
  Options options;
  std::string error;
};

Parsed Parse(std::vector<std::string> args) {
  Parsed p;
  p.ok = quenbar::ParseOptions(args, &p.options, &p.error);
  return p;
}

TEST(ToolOptions, RenderTakesEveryOptionInBothSpellings) {
  Parsed p = Parse({"render", "in.wav", "out.wav", "--level", "-6.5", "--mix=0.25", "--tone",
                    "1.1", "--snap=12", "--bypass", "--block", "64", "--precision=64",
                    "--state", "a.state", "--save-state=b.state", "--plugin", "x.vst3"});
  ASSERT_TRUE(p.ok) << p.error;
  const Options& o = p.options;
  EXPECT_EQ(o.command, Command::kRender);
  EXPECT_EQ(o.input, "in.wav");
  EXPECT_EQ(o.output, "out.wav");
  EXPECT_DOUBLE_EQ(*o.level, -6.5);  // a negative value is a value, not an option
  EXPECT_DOUBLE_EQ(*o.mix, 0.25);
  EXPECT_DOUBLE_EQ(*o.tone, 1.1);
  EXPECT_DOUBLE_EQ(*o.snap, 12.0);
  EXPECT_TRUE(o.bypass);
  EXPECT_EQ(o.block, 64);
  EXPECT_EQ(o.precision, 64);
  EXPECT_EQ(o.stateIn, "a.state");
  EXPECT_EQ(o.stateOut, "b.state");
  EXPECT_EQ(o.bundle, "x.vst3");
}

TEST(ToolOptions, RenderDefaultsLeaveParametersUntouched) {
  Parsed p = Parse({"render", "in.wav", "out.wav"});
  ASSERT_TRUE(p.ok) << p.error;
  EXPECT_FALSE(p.options.level.has_value());
  EXPECT_FALSE(p.options.mix.has_value());
  EXPECT_FALSE(p.options.tone.has_value());
  EXPECT_FALSE(p.options.snap.has_value());
  EXPECT_FALSE(p.options.bypass);
  EXPECT_EQ(p.options.block, 512);
  EXPECT_EQ(p.options.precision, 32);
  EXPECT_TRUE(p.options.bundle.empty());
}

TEST(ToolOptions, FilesMayFollowOptionsOrStartWithADashAfterDoubleDash) {
  Parsed p = Parse({"render", "--mix", "0", "in.wav", "--", "-out.wav"});
  ASSERT_TRUE(p.ok) << p.error;
  EXPECT_EQ(p.options.input, "in.wav");
  EXPECT_EQ(p.options.output, "-out.wav");
}

TEST(ToolOptions, RejectsBadCommandsAndOptions) {
  struct Case {
    std::vector<std::string> args;
    const char* errorPart;
  } cases[] = {
      {{}, "missing command"},
      {{"play", "a", "b"}, "unknown command 'play'"},
      {{"render", "in.wav", "out.wav", "--gain", "3"}, "unknown option --gain"},
      {{"render", "in.wav", "out.wav", "-x"}, "unknown option -x"},
      {{"render", "in.wav", "out.wav", "--bypass=1"}, "--bypass takes no value"},
      {{"render", "in.wav", "out.wav", "--level"}, "--level needs a value"},
      {{"render", "in.wav", "out.wav", "--state="}, "--state needs a file name"},
      {{"render", "in.wav"}, "needs an input and an output"},
      {{"render"}, "needs an input and an output"},
      {{"render", "a", "b", "c"}, "exactly one input and one output"},
      {{"info", "a.vst3", "b.vst3"}, "at most one bundle"},
      {{"info", "--verbose"}, "unknown option --verbose"},
      {{"render", "in.wav", "out.wav", "--window"}, "unknown option --window"},
      {{"snapshot", "a.png", "--window=yes"}, "--window takes no value"},
      {{"snapshot", "a.png", "--plugin", "x.vst3"}, "--plugin needs --window"},
  };
  for (const Case& c : cases) {
    Parsed p = Parse(c.args);
    EXPECT_FALSE(p.ok) << c.errorPart;
    EXPECT_NE(p.error.find(c.errorPart), std::string::npos)
        << "expected \"" << c.errorPart << "\" in \"" << p.error << "\"";
  }
}

TEST(ToolOptions, NumbersMustBeWholeAndFinite) {
  for (const char* bad : {"abc", "3dB", "", "nan", "inf", "-inf", "1e999", "0x"}) {
    Parsed p = Parse({"render", "in.wav", "out.wav", "--snap", bad});
    EXPECT_FALSE(p.ok) << "'" << bad << "' accepted";
    EXPECT_NE(p.error.find("--snap"), std::string::npos) << p.error;
  }
}

TEST(ToolOptions, BlockSizeRange) {
  for (const char* bad : {"0", "-1", "-512", "65537", "1.5", "many", "99999999999999999999"}) {
    Parsed p = Parse({"render", "in.wav", "out.wav", "--block", bad});
    EXPECT_FALSE(p.ok) << "--block " << bad << " accepted";
    EXPECT_NE(p.error.find("--block"), std::string::npos) << p.error;
  }
  for (const char* good : {"1", "512", "65536"}) {
    Parsed p = Parse({"render", "in.wav", "out.wav", "--block", good});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.block, std::stoi(good));
  }
  EXPECT_NE(Parse({"render", "a", "b", "--block", "0"}).error.find("1 to 65536"), std::string::npos);
}

TEST(ToolOptions, PrecisionIsOnly32Or64) {
  for (const char* bad : {"16", "24", "0", "64bit", "double", ""}) {
    Parsed p = Parse({"render", "in.wav", "out.wav", "--precision", bad});
    EXPECT_FALSE(p.ok) << "--precision " << bad << " accepted";
    EXPECT_NE(p.error.find("32 or 64"), std::string::npos) << p.error;
  }
  EXPECT_EQ(Parse({"render", "a", "b", "--precision", "32"}).options.precision, 32);
  EXPECT_EQ(Parse({"render", "a", "b", "--precision", "64"}).options.precision, 64);
}

TEST(ToolOptions, SnapshotInAWindowMayNameTheBundle) {
  Parsed p = Parse({"snapshot", "a.png", "--window", "--plugin=x.vst3", "--mix", "0.5"});
  ASSERT_TRUE(p.ok) << p.error;
  EXPECT_EQ(p.options.command, Command::kSnapshot);
  EXPECT_TRUE(p.options.window);
  EXPECT_EQ(p.options.bundle, "x.vst3");
  EXPECT_DOUBLE_EQ(*p.options.mix, 0.5);
  Parsed plain = Parse({"snapshot", "a.png"});
  ASSERT_TRUE(plain.ok) << plain.error;
  EXPECT_FALSE(plain.options.window);
  EXPECT_TRUE(plain.options.bundle.empty());
}

TEST(ToolOptions, HelpAndInfo) {
  EXPECT_EQ(Parse({"--help"}).options.command, Command::kHelp);
  EXPECT_EQ(Parse({"render", "--help"}).options.command, Command::kHelp);
  Parsed info = Parse({"info"});
  ASSERT_TRUE(info.ok);
  EXPECT_EQ(info.options.command, Command::kInfo);
  EXPECT_TRUE(info.options.bundle.empty());
  EXPECT_EQ(Parse({"info", "/x/Other.vst3"}).options.bundle, "/x/Other.vst3");
}

TEST(ToolOptions, RangeCheckNamesTheValidRange) {
  std::string error;
  EXPECT_TRUE(quenbar::CheckRange("--level", -15.0, -15.0, 15.0, &error));
  EXPECT_TRUE(quenbar::CheckRange("--level", 15.0, -15.0, 15.0, &error));
  EXPECT_TRUE(quenbar::CheckRange("--level", 0.0, 15.0, -15.0, &error));  // reversed range
  // The plug-in's own conversion may land a hair inside the true end.
  EXPECT_TRUE(quenbar::CheckRange("--level", 15.0, -15.0, 14.999999999999998, &error));

  EXPECT_FALSE(quenbar::CheckRange("--level", 15.01, -15.0, 15.0, &error));
  EXPECT_EQ(error, "--level 15.01 is out of range: valid values are -15 to 15");
  EXPECT_FALSE(quenbar::CheckRange("--tone", 0.2, 0.25, 1.25, &error));
  EXPECT_EQ(error, "--tone 0.2 is out of range: valid values are 0.25 to 1.25");
  EXPECT_FALSE(quenbar::CheckRange("--mix", -0.001, 0.0, 1.0, &error));
}

}  // namespace

TEST(Options, SaveStateMayNotNameTheAudioFiles) {
  Parsed same = Parse({"render", "in.wav", "out.wav", "--save-state", "out.wav"});
  EXPECT_FALSE(same.ok);
  EXPECT_NE(same.error.find("--save-state"), std::string::npos);
  EXPECT_FALSE(Parse({"render", "in.wav", "out.wav", "--save-state", "./in.wav"}).ok);
  Parsed other = Parse({"render", "in.wav", "out.wav", "--save-state", "out.state"});
  EXPECT_TRUE(other.ok) << other.error;
}
