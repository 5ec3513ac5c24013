// The output format of `quenbar render`, chosen from OUT's name and the input.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <string>

#include "tests/tools/clirun.h"
#include "tools/quenbar/outformat.h"

namespace {

using toolstest::Contains;

SF_INFO Input(int format) {
  SF_INFO in{};
  in.samplerate = 44100;
  in.channels = 2;
  in.format = format;
  return in;
}

TEST(OutputFormat, ContainerFollowsTheExtensionInAnyCase) {
  struct Case {
    const char* path;
    int type;
  } cases[] = {{"a.wav", SF_FORMAT_WAV},   {"a.WAV", SF_FORMAT_WAV},  {"a.flac", SF_FORMAT_FLAC},
               {"a.Flac", SF_FORMAT_FLAC}, {"a.ogg", SF_FORMAT_OGG},  {"a.aiff", SF_FORMAT_AIFF},
               {"a.AIF", SF_FORMAT_AIFF},  {"a.caf", SF_FORMAT_CAF},  {"a.w64", SF_FORMAT_W64},
               {"a.rf64", SF_FORMAT_RF64}, {"a.au", SF_FORMAT_AU},    {"b.c.FLAC", SF_FORMAT_FLAC},
               {"a", 0},                   {"a.mp4", 0},              {"a.", 0},
               {".flac", 0},               {"dir/.wav", 0},           {"dir.flac/out", 0}};
  for (const Case& c : cases) EXPECT_EQ(quenbar::ContainerForPath(c.path), c.type) << c.path;
}

TEST(OutputFormat, SampleFormatIsTheInputsOrTheNearestTheContainerHolds) {
  struct Case {
    const char* out;
    int in;
    bool use64;
    int want;
    const char* note;  // part of the note, or "" for none
  } cases[] = {
      {"o.flac", SF_FORMAT_WAV | SF_FORMAT_PCM_24, false, SF_FORMAT_FLAC | SF_FORMAT_PCM_24, ""},
      {"o.flac", SF_FORMAT_WAV | SF_FORMAT_PCM_16, false, SF_FORMAT_FLAC | SF_FORMAT_PCM_16, ""},
      {"o.flac", SF_FORMAT_WAV | SF_FORMAT_FLOAT, false, SF_FORMAT_FLAC | SF_FORMAT_PCM_24,
       "FLAC files cannot hold 32-bit float samples; writing 24-bit PCM"},
      {"o.flac", SF_FORMAT_WAV | SF_FORMAT_PCM_32, false, SF_FORMAT_FLAC | SF_FORMAT_PCM_24,
       "writing 24-bit PCM"},
      {"o.FLAC", SF_FORMAT_WAV | SF_FORMAT_DOUBLE, false, SF_FORMAT_FLAC | SF_FORMAT_PCM_24,
       "64-bit float"},
      {"o.ogg", SF_FORMAT_WAV | SF_FORMAT_PCM_16, false, SF_FORMAT_OGG | SF_FORMAT_VORBIS,
       "Ogg files cannot hold 16-bit PCM samples; writing Vorbis"},
      {"o.wav", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, false, SF_FORMAT_WAV | SF_FORMAT_PCM_24, ""},
      {"o.wav", SF_FORMAT_OGG | SF_FORMAT_VORBIS, false, SF_FORMAT_WAV | SF_FORMAT_FLOAT,
       "WAV files cannot hold"},
      {"o.wav", SF_FORMAT_AIFF | SF_FORMAT_PCM_S8, false, SF_FORMAT_WAV | SF_FORMAT_PCM_U8,
       "writing 8-bit unsigned PCM"},
      {"o.wav", SF_FORMAT_WAV | SF_FORMAT_ULAW, false, SF_FORMAT_WAV | SF_FORMAT_ULAW, ""},
      {"o.flac", SF_FORMAT_WAV | SF_FORMAT_ULAW, false, SF_FORMAT_FLAC | SF_FORMAT_PCM_16,
       "writing 16-bit PCM"},
      {"o.aif", SF_FORMAT_WAV | SF_FORMAT_FLOAT, false, SF_FORMAT_AIFF | SF_FORMAT_FLOAT, ""},
      {"o.caf", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, false, SF_FORMAT_CAF | SF_FORMAT_PCM_16, ""},
      {"o.au", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, false, SF_FORMAT_AU | SF_FORMAT_PCM_S8,
       "AU files cannot hold 8-bit unsigned PCM"},
      {"o.w64", SF_FORMAT_WAV | SF_FORMAT_PCM_24, false, SF_FORMAT_W64 | SF_FORMAT_PCM_24, ""},
      {"o.rf64", SF_FORMAT_WAV | SF_FORMAT_PCM_24, false, SF_FORMAT_RF64 | SF_FORMAT_PCM_24, ""},
      // No known extension: the input's container, with its byte order.
      {"o", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, false, SF_FORMAT_FLAC | SF_FORMAT_PCM_24, ""},
      {"o.out", SF_FORMAT_AIFF | SF_FORMAT_PCM_16 | SF_ENDIAN_LITTLE, false,
       SF_FORMAT_AIFF | SF_FORMAT_PCM_16 | SF_ENDIAN_LITTLE, ""},
      {"o.wav", SF_FORMAT_AIFF | SF_FORMAT_PCM_16 | SF_ENDIAN_LITTLE, false,
       SF_FORMAT_WAV | SF_FORMAT_PCM_16, ""},
      // 64-bit float wherever the container holds it.
      {"o.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, true, SF_FORMAT_WAV | SF_FORMAT_DOUBLE, ""},
      {"o.caf", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, true, SF_FORMAT_CAF | SF_FORMAT_DOUBLE, ""},
      {"o.aiff", SF_FORMAT_WAV | SF_FORMAT_FLOAT, true, SF_FORMAT_AIFF | SF_FORMAT_DOUBLE, ""},
      {"o.dat", SF_FORMAT_W64 | SF_FORMAT_PCM_24, true, SF_FORMAT_W64 | SF_FORMAT_DOUBLE, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << c.out << " from 0x" << std::hex << c.in << (c.use64 ? " at 64 bits" : ""));
    int format = 0;
    std::string note, error;
    ASSERT_TRUE(quenbar::ChooseOutputFormat(c.out, Input(c.in), c.use64, &format, &note, &error))
        << error;
    EXPECT_EQ(format, c.want) << std::hex << "got 0x" << format;
    if (*c.note) {
      EXPECT_TRUE(Contains(note, c.note)) << note;
      EXPECT_TRUE(Contains(note, c.out)) << "the note does not name the file: " << note;
    } else {
      EXPECT_EQ(note, "");
    }
  }
}

TEST(OutputFormat, SixtyFourBitIsRefusedWhereTheContainerCannotHoldIt) {
  struct Case {
    const char* out;
    int in;
    const char* container;
  } cases[] = {{"o.flac", SF_FORMAT_WAV | SF_FORMAT_DOUBLE, "FLAC"},
               {"o.OGG", SF_FORMAT_WAV | SF_FORMAT_PCM_16, "Ogg"},
               {"o", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, "FLAC"},
               {"o.bin", SF_FORMAT_OGG | SF_FORMAT_VORBIS, "Ogg"}};
  for (const Case& c : cases) {
    int format = -1;
    std::string note, error;
    EXPECT_FALSE(quenbar::ChooseOutputFormat(c.out, Input(c.in), true, &format, &note, &error))
        << c.out;
    EXPECT_TRUE(Contains(error, std::string(c.out) + " with --precision 64: " + c.container +
                                    " files cannot hold 64-bit float samples"))
        << error;
    const size_t open = error.find('(');
    ASSERT_NE(open, std::string::npos) << "no container that can is named: " << error;
    const std::string able = error.substr(open);
    EXPECT_TRUE(Contains(able, "WAV")) << error;
    EXPECT_FALSE(Contains(able, c.container)) << error;
  }
}

}  // namespace
