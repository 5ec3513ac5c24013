#include "framework/ChannelDelayLine.h"

#include <climits>
#include <cstring>

ChannelDelayLine::ChannelDelayLine(int nInChans, int nOutChans, int delay)
  : mBuffer(4096), mNumInChans(nInChans > 0 ? nInChans : 0), mNumOutChans(nOutChans > 0 ? nOutChans : 0)
{
  SetDelay(delay);
}

bool ChannelDelayLine::SetDelay(int delay)
{
  if (delay < 0) delay = 0;
  mWriteAddress = 0;
  const int64_t count = (int64_t)mNumInChans * delay;
  if (count > INT_MAX / (int64_t)sizeof(double))
  {
    mBuffer.Resize(0);
    mDTime = 0;
    return false;
  }
  mBuffer.Resize((int)count);
  if (mBuffer.GetSize() != (int)count)
  {
    mBuffer.Resize(0);
    mDTime = 0;
    return false;
  }
  mDTime = delay;
  if (count) memset(mBuffer.Get(), 0, (size_t)count * sizeof(double));
  return true;
}

void ChannelDelayLine::ProcessBlock(double** inputs, double** outputs, int nFrames)
{
  if (!inputs || !outputs || nFrames <= 0) return;
  const int nChans = mNumInChans < mNumOutChans ? mNumInChans : mNumOutChans;

  if (mDTime <= 0)
  {
    for (int c = 0; c < nChans; ++c)
      if (inputs[c] && outputs[c] && inputs[c] != outputs[c])
        memmove(outputs[c], inputs[c], (size_t)nFrames * sizeof(double));
    return;
  }

  double* rings = mBuffer.Get();
  for (int s = 0; s < nFrames; ++s)
  {
    for (int c = 0; c < nChans; ++c)
    {
      double* slot = rings + c * mDTime + mWriteAddress;
      // Read before write so that in-place buffers work.
      const double in = inputs[c] ? inputs[c][s] : 0.;
      if (outputs[c]) outputs[c][s] = *slot;
      *slot = in;
    }
    if (++mWriteAddress >= mDTime) mWriteAddress = 0;
  }
}
