#ifndef QUENBAR_FRAMEWORK_CHANNELDELAYLINE_H
#define QUENBAR_FRAMEWORK_CHANNELDELAYLINE_H

#include <cstdint>

#include "util/heapbuf.h"

// Fixed delay of D frames per input channel, used to keep a bypassed plug-in
// in step with its reported latency. Owned by the plug-in base; SetDelay runs
// on the host's main thread, ProcessBlock on the audio thread under the
// plug-in mutex and allocates nothing.
class ChannelDelayLine
{
public:
  ChannelDelayLine(int nInChans, int nOutChans, int delay = 0);

  // Resizes and zeroes the rings. A negative delay counts as 0; a delay whose
  // rings cannot be allocated leaves the line at delay 0 and returns false.
  bool SetDelay(int delay);
  // outputs[c][s] = inputs[c][s - D] for c below both counts; other channels
  // and null buffers are left alone. D = 0 copies straight through.
  void ProcessBlock(double** inputs, double** outputs, int nFrames);

  int64_t GetDelay() const { return mDTime; }
  int NInChans() const { return mNumInChans; }
  int NOutChans() const { return mNumOutChans; }

private:
  Util_TypedBuf<double> mBuffer;
  int64_t mWriteAddress = 0;
  int mNumInChans;
  int mNumOutChans;
  int64_t mDTime = 0;
};

#endif
