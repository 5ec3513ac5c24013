#include "framework/IMidiMsg.h"

#include <cstdio>

void IMidiMsg::Clear()
{
  mOffset = 0;
  mStatus = mData1 = mData2 = 0;
}

void IMidiMsg::MakeNoteOnMsg(int noteNumber, int velocity, int offset, int channel)
{
  Clear();
  mStatus = (unsigned char)(0x90 | (channel & 0x0F));
  mData1 = (unsigned char)noteNumber;
  mData2 = (unsigned char)velocity;
  mOffset = offset;
}

void IMidiMsg::MakeNoteOffMsg(int noteNumber, int offset, int channel)
{
  Clear();
  mStatus = (unsigned char)(0x80 | (channel & 0x0F));
  mData1 = (unsigned char)noteNumber;
  mOffset = offset;
}

void IMidiMsg::MakePitchWheelMsg(double value, int channel)
{
  Clear();
  mStatus = (unsigned char)(0xE0 | (channel & 0x0F));
  // Clamp in double before converting so that wild values stay defined.
  double scaled = value * 8192.0;
  if (!(scaled >= -8193.0)) scaled = -8193.0; // NaN lands here too
  if (scaled > 16384.0) scaled = 16384.0;
  const int i = (int)scaled;
  if (i < -8192) return;
  const int j = i + 8192;
  if (j > 16383)
  {
    mData1 = 127;
    mData2 = 127;
  }
  else
  {
    mData1 = (unsigned char)(j & 0x7F);
    mData2 = (unsigned char)(j >> 7);
  }
}

void IMidiMsg::MakeControlChangeMsg(EControlChangeMsg idx, double value, int channel)
{
  Clear();
  mStatus = (unsigned char)(0xB0 | (channel & 0x0F));
  mData1 = (unsigned char)idx;
  // Stored as a byte, not clamped: out-of-range values wrap like the byte does.
  const double scaled = value * 127.0;
  const int v = (scaled > -2147483648.0 && scaled < 2147483648.0) ? (int)scaled : 0;
  mData2 = (unsigned char)v;
}

IMidiMsg::EStatusMsg IMidiMsg::StatusMsg() const
{
  const unsigned type = mStatus >> 4;
  if (mStatus >= 0x80 && type != 0xF) return (EStatusMsg)type;
  return kNone;
}

int IMidiMsg::NoteNumber() const
{
  switch (StatusMsg())
  {
    case kNoteOff:
    case kNoteOn:
    case kPolyAftertouch:
      return mData1;
    default:
      return -1;
  }
}

int IMidiMsg::Velocity() const
{
  const EStatusMsg type = StatusMsg();
  return (type == kNoteOff || type == kNoteOn) ? mData2 : -1;
}

int IMidiMsg::PolyAfterTouch() const
{
  return (mStatus & 0xF0) == 0xA0 ? mData2 : -1;
}

int IMidiMsg::ChannelAfterTouch() const
{
  return (mStatus & 0xF0) == 0xD0 ? mData1 : -1;
}

int IMidiMsg::Program() const
{
  return (mStatus & 0xF0) == 0xC0 ? mData1 : -1;
}

double IMidiMsg::PitchWheel() const
{
  if ((mStatus & 0xF0) != 0xE0) return 0.;
  const int v = (mData2 << 7) + mData1 - 8192;
  return (double)v / 8192.0;
}

double IMidiMsg::ControlChange(EControlChangeMsg idx) const
{
  if ((mStatus & 0xF0) == 0xB0 && mData1 == (int)idx) return (double)mData2 / 127.0;
  return -1.;
}

const char* StatusMsgStr(IMidiMsg::EStatusMsg msg)
{
  switch ((int)msg)
  {
    case 0: return "none";
    case 8: return "noteoff";
    case 9: return "noteon";
    case 10: return "aftertouch";
    case 11: return "controlchange";
    case 12: return "programchange";
    case 13: return "channelaftertouch";
    case 14: return "pitchwheel";
    default: return "unknown";
  }
}

void ISysEx::Clear()
{
  mOffset = mSize = 0;
  mData = nullptr;
}

char* SysExStr(char* out, int maxLen, const unsigned char* data, int size)
{
  if (!out || maxLen <= 0) return out;
  out[0] = '\0';
  if (!data || size <= 0) return out;
  int n = maxLen / 3;
  if (size < n) n = size;
  // Each byte takes "XX " (3 chars); the last space becomes the terminator,
  // so n bytes need 3n <= maxLen.
  char* p = out;
  for (int i = 0; i < n; ++i, p += 3)
  {
    static const char kHex[] = "0123456789ABCDEF";
    p[0] = kHex[data[i] >> 4];
    p[1] = kHex[data[i] & 0x0F];
    p[2] = ' ';
  }
  if (n > 0) p[-1] = '\0';
  return out;
}
