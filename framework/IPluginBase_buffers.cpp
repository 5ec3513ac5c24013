#include <cstring>

#include "framework/ChannelDelayLine.h"
#include "framework/IPluginBase.h"

// Everything here except SetBlockSize, SetLatency and CreateLatencyDelayLine
// runs once per block on the audio thread: no allocation, no lock.

namespace
{
int Min(int a, int b) { return a < b ? a : b; }

void ZeroDoubles(double* p, int n)
{
  if (p && n > 0) memset(p, 0, (size_t)n * sizeof(double));
}
} // namespace

void IPluginBase::SetBlockSize(int blockSize)
{
  if (blockSize < 0) blockSize = 0;
  if (blockSize == mBlockSize) return;

  // Resizing may move a scratch buffer; a disconnected channel's slot follows
  // it so it never points at freed memory.
  bool ok = true;
  auto resize = [&](Util_TypedBuf<double>& buf, double** slot) {
    double* old = buf.Get();
    double* now = buf.Resize(blockSize, true);
    if (buf.GetSize() != blockSize) ok = false;
    ZeroDoubles(now, buf.GetSize());
    if (*slot == old) *slot = buf.Get();
  };
  for (int i = 0; i < NInChannels(); ++i) resize(mInChannels.Get(i)->mScratchBuf, mInChannels.Get(i)->mSrc);
  for (int i = 0; i < NOutChannels(); ++i) resize(mOutChannels.Get(i)->mScratchBuf, mOutChannels.Get(i)->mDest);

  if (!ok)
  {
    // Out of memory: run with no scratch room at all rather than with
    // buffers shorter than the block size claims.
    blockSize = 0;
    auto empty = [](Util_TypedBuf<double>& buf, double** slot) {
      const bool wasScratch = *slot == buf.Get();
      buf.Resize(0);
      if (wasScratch) *slot = nullptr;
    };
    for (int i = 0; i < NInChannels(); ++i) empty(mInChannels.Get(i)->mScratchBuf, mInChannels.Get(i)->mSrc);
    for (int i = 0; i < NOutChannels(); ++i) empty(mOutChannels.Get(i)->mScratchBuf, mOutChannels.Get(i)->mDest);
  }
  mBlockSize = blockSize;
}

void IPluginBase::SetLatency(int samples)
{
  // The processing call runs the delay line under the mutex; resizing it
  // behind that call's back would free the rings it reads.
  Util_MutexLock lock(mMutex);
  if (samples < 0) samples = 0;
  mLatency = samples;
  if (mLatencyDelay) mLatencyDelay->SetDelay(samples);
}

void IPluginBase::CreateLatencyDelayLine()
{
  if (NInChannels() < 1) return;
  Util_MutexLock lock(mMutex);
  delete mLatencyDelay;
  mLatencyDelay = nullptr;
  mLatencyDelay = new ChannelDelayLine(NInChannels(), NOutChannels(), mLatency);
}

// ---- Attaching host buffers ----
// A missing host buffer (null data or a null entry) is replaced by the
// channel's scratch buffer: silence for inputs, a dummy target for outputs.

void IPluginBase::AttachInputBuffers(int idx, int n, double** data, int nFrames)
{
  int first, last;
  ClipRange(idx, n, NInChannels(), &first, &last);
  int next = 0;
  for (int i = first; i < last; ++i)
  {
    InChannel* ch = mInChannels.Get(i);
    if (!ch->mConnected) continue;
    double* src = data ? data[next] : nullptr;
    ++next;
    if (!src)
    {
      src = ch->mScratchBuf.Get();
      ZeroDoubles(src, Min(nFrames, ch->mScratchBuf.GetSize()));
    }
    *ch->mSrc = src;
  }
}

void IPluginBase::AttachInputBuffers(int idx, int n, float** data, int nFrames)
{
  int first, last;
  ClipRange(idx, n, NInChannels(), &first, &last);
  int next = 0;
  for (int i = first; i < last; ++i)
  {
    InChannel* ch = mInChannels.Get(i);
    if (!ch->mConnected) continue;
    const float* src = data ? data[next] : nullptr;
    ++next;
    double* dst = ch->mScratchBuf.Get();
    const int count = Min(nFrames, ch->mScratchBuf.GetSize());
    if (src && dst)
      for (int s = 0; s < count; ++s) dst[s] = (double)src[s];
    else
      ZeroDoubles(dst, count);
    *ch->mSrc = dst;
  }
}

void IPluginBase::AttachOutputBuffers(int idx, int n, double** data)
{
  int first, last;
  ClipRange(idx, n, NOutChannels(), &first, &last);
  int next = 0;
  for (int i = first; i < last; ++i)
  {
    OutChannel* ch = mOutChannels.Get(i);
    if (!ch->mConnected) continue;
    double* dst = data ? data[next] : nullptr;
    ++next;
    *ch->mDest = dst ? dst : ch->mScratchBuf.Get();
    ch->mFDest = nullptr;
  }
}

void IPluginBase::AttachOutputBuffers(int idx, int n, float** data)
{
  int first, last;
  ClipRange(idx, n, NOutChannels(), &first, &last);
  int next = 0;
  for (int i = first; i < last; ++i)
  {
    OutChannel* ch = mOutChannels.Get(i);
    if (!ch->mConnected) continue;
    *ch->mDest = ch->mScratchBuf.Get();
    ch->mFDest = data ? data[next] : nullptr;
    ++next;
  }
}

// ---- Processing ----

int IPluginBase::SafeFrames(int nFrames) const
{
  int n = nFrames > 0 ? nFrames : 0;
  for (int i = 0; i < NInChannels(); ++i)
  {
    const InChannel* ch = mInChannels.Get(i);
    const double* slot = *ch->mSrc;
    if (!slot) n = 0;
    else if (slot == ch->mScratchBuf.Get()) n = Min(n, ch->mScratchBuf.GetSize());
  }
  for (int i = 0; i < NOutChannels(); ++i)
  {
    const OutChannel* ch = mOutChannels.Get(i);
    const double* slot = *ch->mDest;
    if (!slot) n = 0;
    else if (slot == ch->mScratchBuf.Get()) n = Min(n, ch->mScratchBuf.GetSize());
  }
  return n;
}

void IPluginBase::CopyThrough(double** inputs, int nIn, double** outputs, int nOut, int nFrames)
{
  if (!outputs || nFrames <= 0) return;
  const size_t bytes = (size_t)nFrames * sizeof(double);
  for (int i = 0; i < nOut; ++i)
  {
    double* out = outputs[i];
    if (!out) continue;
    const double* in = (i < nIn && inputs) ? inputs[i] : nullptr;
    if (in)
    {
      if (in != out) memmove(out, in, bytes);
    }
    else
      memset(out, 0, bytes);
  }
}

void IPluginBase::ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames)
{
  CopyThrough(inputs, NInChannels(), outputs, NOutChannels(), nFrames);
}

void IPluginBase::SilenceHostOutputTails(int nFrames, int hostFrames)
{
  if (hostFrames <= nFrames) return;
  for (int i = 0; i < NOutChannels(); ++i)
  {
    OutChannel* ch = mOutChannels.Get(i);
    double* slot = *ch->mDest;
    if (ch->mConnected && slot && slot != ch->mScratchBuf.Get()) ZeroDoubles(slot + nFrames, hostFrames - nFrames);
  }
}

void IPluginBase::ConvertOutputsToFloat(int nFrames, int hostFrames, bool accumulate)
{
  for (int i = 0; i < NOutChannels(); ++i)
  {
    OutChannel* ch = mOutChannels.Get(i);
    float* dst = ch->mFDest;
    const double* src = *ch->mDest;
    if (!ch->mConnected || !dst) continue;
    if (accumulate)
    {
      if (src)
        for (int s = 0; s < nFrames; ++s) dst[s] = dst[s] + (float)src[s];
    }
    else
    {
      int s = 0;
      if (src)
        for (; s < nFrames; ++s) dst[s] = (float)src[s];
      // Frames the scratch buffers could not hold come out silent.
      for (; s < hostFrames; ++s) dst[s] = 0.f;
    }
  }
}

void IPluginBase::ProcessBuffers(double, int nFrames)
{
  const int n = SafeFrames(nFrames);
  ProcessDoubleReplacing(mInData.Get(), mOutData.Get(), n);
  SilenceHostOutputTails(n, nFrames);
}

void IPluginBase::ProcessBuffers(float, int nFrames)
{
  const int n = SafeFrames(nFrames);
  ProcessDoubleReplacing(mInData.Get(), mOutData.Get(), n);
  ConvertOutputsToFloat(n, nFrames, false);
}

void IPluginBase::ProcessBuffersAccumulating(float, int nFrames)
{
  const int n = SafeFrames(nFrames);
  ProcessDoubleReplacing(mInData.Get(), mOutData.Get(), n);
  ConvertOutputsToFloat(n, nFrames, true);
}

void IPluginBase::PassThroughBuffers(double, int nFrames)
{
  const int n = SafeFrames(nFrames);
  if (mLatency && mLatencyDelay)
    mLatencyDelay->ProcessBlock(mInData.Get(), mOutData.Get(), n);
  else
    CopyThrough(mInData.Get(), NInChannels(), mOutData.Get(), NOutChannels(), n);
  SilenceHostOutputTails(n, nFrames);
}

void IPluginBase::PassThroughBuffers(float, int nFrames)
{
  PassThroughBuffers(0., nFrames);
  ConvertOutputsToFloat(SafeFrames(nFrames), nFrames, false);
}

void IPluginBase::ZeroScratchBuffers()
{
  for (int i = 0; i < NInChannels(); ++i)
  {
    Util_TypedBuf<double>& buf = mInChannels.Get(i)->mScratchBuf;
    ZeroDoubles(buf.Get(), Min(mBlockSize, buf.GetSize()));
  }
  for (int i = 0; i < NOutChannels(); ++i)
  {
    Util_TypedBuf<double>& buf = mOutChannels.Get(i)->mScratchBuf;
    ZeroDoubles(buf.Get(), Min(mBlockSize, buf.GetSize()));
  }
}
