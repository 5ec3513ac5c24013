#include <gtest/gtest.h>

#include <cstring>

#include "framework/IMidiMsg.h"

TEST(MidiBuild, NoteOn)
{
  IMidiMsg m;
  m.MakeNoteOnMsg(60, 100, 5, 1);
  EXPECT_EQ(m.mStatus, 0x91);
  EXPECT_EQ(m.mData1, 60);
  EXPECT_EQ(m.mData2, 100);
  EXPECT_EQ(m.mOffset, 5);
  EXPECT_EQ(m.StatusMsg(), IMidiMsg::kNoteOn);
  EXPECT_EQ(m.Channel(), 1);
  EXPECT_EQ(m.NoteNumber(), 60);
  EXPECT_EQ(m.Velocity(), 100);
  EXPECT_EQ(m.Program(), -1);
  EXPECT_EQ(m.PolyAfterTouch(), -1);
  EXPECT_EQ(m.ChannelAfterTouch(), -1);
  EXPECT_EQ(m.PitchWheel(), 0.);
}

TEST(MidiBuild, VelocityZeroStaysNoteOn)
{
  IMidiMsg m;
  m.MakeNoteOnMsg(64, 0, 0, 0);
  EXPECT_EQ(m.StatusMsg(), 9);
}

TEST(MidiBuild, NoteOffClearsPreviousContent)
{
  IMidiMsg m(7, 0xB3, 9, 9);
  m.MakeNoteOffMsg(62, 3, 15);
  EXPECT_EQ(m.mStatus, 0x8F);
  EXPECT_EQ(m.mData2, 0);
  EXPECT_EQ(m.mOffset, 3);
  EXPECT_EQ(m.Velocity(), 0);
  EXPECT_EQ(m.Channel(), 15);
}

TEST(MidiPitchWheel, Encoding)
{
  IMidiMsg m;
  m.MakePitchWheelMsg(0., 0);
  EXPECT_EQ(m.mData1, 0);
  EXPECT_EQ(m.mData2, 64);
  m.MakePitchWheelMsg(0.5, 2);
  EXPECT_EQ(m.mStatus, 0xE2);
  EXPECT_EQ(m.mData1, 0);
  EXPECT_EQ(m.mData2, 96);
  EXPECT_EQ(m.PitchWheel(), 0.5);
  m.MakePitchWheelMsg(-1., 0);
  EXPECT_EQ(m.mData1, 0);
  EXPECT_EQ(m.mData2, 0);
  EXPECT_EQ(m.PitchWheel(), -1.);
  m.MakePitchWheelMsg(1., 0);   // 16384 capped
  EXPECT_EQ(m.mData1, 127);
  EXPECT_EQ(m.mData2, 127);
  EXPECT_NEAR(m.PitchWheel(), 0.99988, 1e-5);
  m.MakePitchWheelMsg(0.3, 0);  // 2457.6 -> 2457 -> j 10649
  EXPECT_EQ(m.mData1, 10649 & 0x7F);
  EXPECT_EQ(m.mData2, 10649 >> 7);
}

TEST(MidiPitchWheel, OutOfRangeValues)
{
  IMidiMsg m;
  m.MakePitchWheelMsg(-1.5, 0);
  EXPECT_EQ(m.mData1, 0);
  EXPECT_EQ(m.mData2, 0);
  m.MakePitchWheelMsg(1e30, 0);
  EXPECT_EQ(m.mData1, 127);
  EXPECT_EQ(m.mData2, 127);
  m.MakePitchWheelMsg(-1e30, 0);
  EXPECT_EQ(m.mData2, 0);
}

TEST(MidiControlChange, ValueAndIndex)
{
  IMidiMsg m;
  m.MakeControlChangeMsg(IMidiMsg::kChannelVolume, 1.0, 0);
  EXPECT_EQ(m.mStatus, 0xB0);
  EXPECT_EQ(m.mData2, 127);
  EXPECT_EQ(m.ControlChange(IMidiMsg::kChannelVolume), 1.0);
  EXPECT_EQ(m.ControlChange(IMidiMsg::kBalance), -1.);
  EXPECT_EQ(m.ControlChangeIdx(), 7);
  m.MakeControlChangeMsg(IMidiMsg::kPan, 0.5, 3);
  EXPECT_EQ(m.mData2, 63);   // 63.5 truncated
  m.MakeControlChangeMsg(IMidiMsg::kPan, 2.0, 3);
  EXPECT_EQ(m.mData2, 254);  // stored as a byte, not clamped

  IMidiMsg note;
  note.MakeNoteOnMsg(7, 127, 0);
  EXPECT_EQ(note.ControlChange(IMidiMsg::kChannelVolume), -1.);
}

TEST(MidiRead, TypesFromStatusByte)
{
  EXPECT_EQ(IMidiMsg(0, 0xF8).StatusMsg(), IMidiMsg::kNone);
  EXPECT_EQ(IMidiMsg(0, 0x45).StatusMsg(), IMidiMsg::kNone);
  EXPECT_EQ(IMidiMsg(0, 0xA1, 60, 33).NoteNumber(), 60);
  EXPECT_EQ(IMidiMsg(0, 0xA1, 60, 33).PolyAfterTouch(), 33);
  EXPECT_EQ(IMidiMsg(0, 0xA1, 60, 33).Velocity(), -1);
  EXPECT_EQ(IMidiMsg(0, 0xD0, 80).ChannelAfterTouch(), 80);
  EXPECT_EQ(IMidiMsg(0, 0xC5, 12).Program(), 12);
  EXPECT_EQ(IMidiMsg(0, 0xC5, 12).NoteNumber(), -1);
  EXPECT_EQ(IMidiMsg(0, 0xF0, 12).NoteNumber(), -1);
}

TEST(MidiNames, StatusMsgStr)
{
  EXPECT_STREQ(StatusMsgStr(IMidiMsg::kNone), "none");
  EXPECT_STREQ(StatusMsgStr(IMidiMsg(0, 0xF8).StatusMsg()), "none");
  EXPECT_STREQ(StatusMsgStr(IMidiMsg::kNoteOff), "noteoff");
  EXPECT_STREQ(StatusMsgStr(IMidiMsg::kPolyAftertouch), "aftertouch");
  EXPECT_STREQ(StatusMsgStr(IMidiMsg::kChannelAftertouch), "channelaftertouch");
  EXPECT_STREQ(StatusMsgStr(IMidiMsg::kPitchWheel), "pitchwheel");
  EXPECT_STREQ(StatusMsgStr((IMidiMsg::EStatusMsg)3), "unknown");
  EXPECT_STREQ(StatusMsgStr((IMidiMsg::EStatusMsg)15), "unknown");
  EXPECT_STREQ(StatusMsgStr((IMidiMsg::EStatusMsg)-1), "unknown");
}

TEST(MidiSysEx, HexText)
{
  const unsigned char data[] = {0xF0, 0x7E, 0x7F, 0xF7};
  char out[64];
  EXPECT_STREQ(SysExStr(out, 64, data, 4), "F0 7E 7F F7");
  EXPECT_STREQ(SysExStr(out, 6, data, 4), "F0 7E");
  EXPECT_STREQ(SysExStr(out, 12, data, 4), "F0 7E 7F F7");   // exactly fits
  EXPECT_STREQ(SysExStr(out, 11, data, 4), "F0 7E 7F");
}

TEST(MidiSysEx, NothingFits)
{
  const unsigned char data[] = {0x0A};
  char out[8];
  memset(out, 'x', sizeof(out));
  EXPECT_STREQ(SysExStr(out, 2, data, 1), "");
  EXPECT_EQ(out[1], 'x');   // nothing past the terminator written
  EXPECT_STREQ(SysExStr(out, 8, nullptr, 3), "");
  EXPECT_STREQ(SysExStr(out, 8, data, 0), "");
  EXPECT_STREQ(SysExStr(out, 3, data, 1), "0A");

  ISysEx sx(4, data, 1);
  sx.Clear();
  EXPECT_EQ(sx.mSize, 0);
  EXPECT_EQ(sx.mData, nullptr);
  EXPECT_EQ(sx.mOffset, 0);
}
