#ifndef QUENBAR_FRAMEWORK_IPLUGINSTRUCTS_H
#define QUENBAR_FRAMEWORK_IPLUGINSTRUCTS_H

// Records shared by the plug-in base, the effect and the host adapter.

#include "framework/IMidiMsg.h"

#include "framework/ByteChunk.h"
#include "framework/IPreset.h"

// Transport state as the host last delivered it; filled by the host adapter.
struct ITimeInfo
{
  double mTempo = 0.;
  double mSamplePos = 0.;
  double mPPQPos = 0.;
  double mLastBar = 0.;
  double mCycleStart = 0.;
  double mCycleEnd = 0.;
  int mNumerator = 0;
  int mDenominator = 0;
  bool mTransportIsRunning = false;
  bool mTransportLoopEnabled = false;
};

#endif
