#include <gtest/gtest.h>

#include <string>

#include "framework/Hosts.h"
#include "test_plug.h"

namespace
{
std::string Name(int code)
{
  char out[kHostNameStrMax];
  GetHostNameStr((EHost)code, out);
  return out;
}
} // namespace

TEST(HostLookUp, NamesFromTheTable)
{
  EXPECT_EQ(LookUpHost("Cubase Pro"), 3);
  EXPECT_EQ(LookUpHost("REAPER64"), 1);
  EXPECT_EQ(LookUpHost("Ableton Live 10"), 9);
  EXPECT_EQ(LookUpHost("PreSonus Studio One"), 26);
  EXPECT_EQ(LookUpHost("Melodyne"), 12);
  EXPECT_EQ(LookUpHost("VST3PluginTestHost"), 27);
  EXPECT_EQ(LookUpHost("OpenMPT 1.30"), 30);
  EXPECT_EQ(LookUpHost(""), 0);
  EXPECT_EQ(LookUpHost("Some Workstation"), 0);
}

TEST(HostLookUp, TestOrderDecides)
{
  EXPECT_EQ(LookUpHost("Steinberg Nuendo / Cubase"), 3);
  EXPECT_EQ(LookUpHost("olive grove"), 9);            // substring match
  EXPECT_EQ(LookUpHost("Digital Logic"), 21);         // "logic" comes before "digital"
  EXPECT_EQ(LookUpHost("Digital Performer"), 23);
  EXPECT_EQ(LookUpHost("Standalone Live"), 9);
}

TEST(HostLookUp, LongNamesAreCutBeforeMatching)
{
  std::string longName(255, 'x');
  longName += "reaper";   // beyond the 255 characters looked at
  EXPECT_EQ(LookUpHost(longName.c_str()), 0);
  std::string fits(249, 'x');
  fits += "REAPER";       // ends exactly at character 255
  EXPECT_EQ(LookUpHost(fits.c_str()), 1);
}

TEST(HostNames, DisplayNames)
{
  EXPECT_EQ(Name(26), "StudioOne");
  EXPECT_EQ(Name(12), "Unknown");
  EXPECT_EQ(Name(6), "Vegas");
  EXPECT_EQ(Name(7), "FLStudio");
  EXPECT_EQ(Name(5), "Sonar");
  EXPECT_EQ(Name(27), "VST3PluginTestHost");   // the longest name fits
  for (int code : {-1, 0, 10, 11, 19, 31, 1000, INT_MIN}) EXPECT_EQ(Name(code), "Unknown") << code;
}

TEST(HostNames, EveryTableTextMapsToItsDisplayName)
{
  const struct
  {
    const char* host;
    const char* display;
  } cases[] = {{"cubase", "Cubase"},          {"reaper", "Reaper"},         {"nuendo", "Nuendo"},
               {"cakewalk", "Sonar"},         {"samplitude", "Samplitude"}, {"fruity", "FLStudio"},
               {"live", "Live"},              {"vstmanlib", "VSTScanner"},  {"aulab", "AULab"},
               {"garageband", "GarageBand"},  {"forte", "Forte"},           {"chainer", "Chainer"},
               {"audition", "Audition"},      {"orion", "Orion"},           {"sawstudio", "SAWStudio"},
               {"logic", "Logic"},            {"digital", "DigitalPerformer"},
               {"audiomulch", "AudioMulch"},  {"presonus", "StudioOne"},    {"protools", "ProTools"},
               {"ardour", "Ardour"},          {"renoise", "Renoise"},       {"standalone", "Standalone"}};
  for (const auto& c : cases) EXPECT_EQ(Name(LookUpHost(c.host)), c.display) << c.host;
}

TEST(HostPlug, UnidentifiedUntilSetHost)
{
  TestPlug plug;
  EXPECT_EQ(plug.GetHost(), -1);
  EXPECT_EQ(Name(plug.GetHost()), "Unknown");
  plug.SetHost("Ardour", 0x00080000);
  EXPECT_EQ(plug.GetHost(), kHostArdour);
  EXPECT_EQ(plug.GetHostVersion(false), 0x00080000);
}
