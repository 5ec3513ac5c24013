#ifndef QUENBAR_FRAMEWORK_IMIDIMSG_H
#define QUENBAR_FRAMEWORK_IMIDIMSG_H

// One short MIDI message with its frame offset inside the current block.
// A plain record: built on the audio thread by the host adapter or the effect.
struct IMidiMsg
{
  enum EStatusMsg : int
  {
    kNone = 0,
    kNoteOff = 8,
    kNoteOn = 9,
    kPolyAftertouch = 10,
    kControlChange = 11,
    kProgramChange = 12,
    kChannelAftertouch = 13,
    kPitchWheel = 14
  };

  // A controller number 0 ... 127; only the common ones are named.
  enum EControlChangeMsg : int
  {
    kModWheel = 1,
    kBreathController = 2,
    kFootController = 4,
    kPortamentoTime = 5,
    kChannelVolume = 7,
    kBalance = 8,
    kPan = 10,
    kExpressionController = 11,
    kSustainOnOff = 64,
    kAllNotesOff = 123
  };

  int mOffset;
  unsigned char mStatus, mData1, mData2;

  IMidiMsg(int offset = 0, unsigned char status = 0, unsigned char data1 = 0, unsigned char data2 = 0)
    : mOffset(offset), mStatus(status), mData1(data1), mData2(data2)
  {
  }

  void Clear();
  void MakeNoteOnMsg(int noteNumber, int velocity, int offset, int channel = 0);
  void MakeNoteOffMsg(int noteNumber, int offset, int channel = 0);
  void MakePitchWheelMsg(double value, int channel = 0);
  void MakeControlChangeMsg(EControlChangeMsg idx, double value, int channel = 0);

  int Channel() const { return mStatus & 0x0F; }
  EStatusMsg StatusMsg() const;
  int NoteNumber() const;
  int Velocity() const;
  int PolyAfterTouch() const;
  int ChannelAfterTouch() const;
  int Program() const;
  double PitchWheel() const;
  int ControlChangeIdx() const { return mData1; }
  double ControlChange(EControlChangeMsg idx) const;
  void LogMsg() const {}
};

// Name of a message type; "unknown" outside the table.
const char* StatusMsgStr(IMidiMsg::EStatusMsg msg);

// One system-exclusive message; the bytes are not owned.
struct ISysEx
{
  int mOffset, mSize;
  const unsigned char* mData;

  ISysEx(int offset = 0, const unsigned char* data = nullptr, int size = 0)
    : mOffset(offset), mSize(size), mData(data)
  {
  }

  void Clear();
  void LogMsg() const {}
};

// Hex dump "F0 7E ..." of at most maxLen / 3 bytes into out (maxLen bytes);
// "" when no byte fits or there is no data. Returns out.
char* SysExStr(char* out, int maxLen, const unsigned char* data, int size);

#endif
