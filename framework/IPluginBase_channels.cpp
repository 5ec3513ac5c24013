#include <cstdlib>
#include <cstring>
#include <climits>

#include "framework/IPluginBase.h"
#include "framework/Log.h"

namespace
{
// More channels than any layout needs; guards the constructor against a text
// like "999999999-1" asking for a billion channel objects.
constexpr int kMaxChannels = 256;

// Reads one decimal int the way "%d" does (leading white space, optional
// sign), but saturating instead of overflowing. Returns false if none.
bool ReadInt(const char*& p, int* out)
{
  char* end = nullptr;
  const long v = strtol(p, &end, 10);
  if (end == p) return false;
  *out = v > INT_MAX ? INT_MAX : (v < INT_MIN ? INT_MIN : (int)v);
  p = end;
  return true;
}

} // namespace

void IPluginBase::ClipRange(int idx, int n, int count, int* first, int* last)
{
  const long long lo = idx < 0 ? 0 : idx;
  long long hi = (long long)idx + n;
  if (hi > count) hi = count;
  *first = (int)lo;
  *last = hi > lo ? (int)hi : (int)lo;
}

void IPluginBase::ParseChannelIO(const char* text, int* pMaxIn, int* pMaxOut)
{
  int maxIn = 0, maxOut = 0;
  // Every space starts a new entry, so a trailing space adds (0, 0).
  for (const char* p = text; p;)
  {
    int nIn = 0, nOut = 0;
    const char* q = p;
    if (ReadInt(q, &nIn) && *q == '-')
    {
      ++q;
      ReadInt(q, &nOut);
    }
    AddOrThrow(mChannelIO, new ChannelIO(nIn, nOut));
    if (nIn > maxIn) maxIn = nIn;
    if (nOut > maxOut) maxOut = nOut;
    p = strchr(p, ' ');
    if (p) ++p;
  }
  *pMaxIn = maxIn < kMaxChannels ? maxIn : kMaxChannels;
  *pMaxOut = maxOut < kMaxChannels ? maxOut : kMaxChannels;
}

bool IPluginBase::LegalIO(int nIn, int nOut) const
{
  const int n = mChannelIO.GetSize();
  for (int i = 0; i < n; ++i)
  {
    const ChannelIO* io = mChannelIO.Get(i);
    if ((nIn < 0 || io->mIn == nIn) && (nOut < 0 || io->mOut == nOut))
    {
      Trace(__FUNCTION__, __LINE__, "%d:%d:%s", nIn, nOut, "legal");
      return true;
    }
  }
  Trace(__FUNCTION__, __LINE__, "%d:%d:%s", nIn, nOut, "illegal");
  return false;
}

void IPluginBase::SetInputChannelConnections(int idx, int n, bool connected)
{
  int first, last;
  ClipRange(idx, n, NInChannels(), &first, &last);
  for (int i = first; i < last; ++i)
  {
    InChannel* ch = mInChannels.Get(i);
    ch->mConnected = connected;
    if (!connected) *ch->mSrc = ch->mScratchBuf.Get();
  }
}

void IPluginBase::SetOutputChannelConnections(int idx, int n, bool connected)
{
  int first, last;
  ClipRange(idx, n, NOutChannels(), &first, &last);
  for (int i = first; i < last; ++i)
  {
    OutChannel* ch = mOutChannels.Get(i);
    ch->mConnected = connected;
    if (!connected) *ch->mDest = ch->mScratchBuf.Get();
  }
}

bool IPluginBase::IsInChannelConnected(int chIdx) const
{
  const InChannel* ch = mInChannels.Get(chIdx);
  return ch && ch->mConnected;
}

bool IPluginBase::IsOutChannelConnected(int chIdx) const
{
  const OutChannel* ch = mOutChannels.Get(chIdx);
  return ch && ch->mConnected;
}

void IPluginBase::LimitToStereoIO()
{
  const int nIn = NInChannels();
  if (nIn > 2) SetInputChannelConnections(2, nIn - 2, false);
  const int nOut = NOutChannels();
  for (int i = 2; i < nOut; ++i) mOutChannels.Get(i)->mConnected = true;
}

void IPluginBase::SetInputLabel(int idx, const char* label)
{
  if (InChannel* ch = mInChannels.Get(idx)) ch->mLabel.Set(label);
}

void IPluginBase::SetOutputLabel(int idx, const char* label)
{
  if (OutChannel* ch = mOutChannels.Get(idx)) ch->mLabel.Set(label);
}

const char* IPluginBase::GetInputLabel(int idx) const
{
  const InChannel* ch = mInChannels.Get(idx);
  return ch ? ch->mLabel.Get() : "";
}

const char* IPluginBase::GetOutputLabel(int idx) const
{
  const OutChannel* ch = mOutChannels.Get(idx);
  return ch ? ch->mLabel.Get() : "";
}

static void ReplaceBusLabel(Util_PtrList<Util_String>& labels, int idx, const char* label)
{
  labels.Delete(idx, true);
  Util_String* s = new Util_String(label ? label : "");
  if (!labels.Insert(idx, s)) delete s;
}

void IPluginBase::SetInputBusLabel(int idx, const char* label)
{
  if (idx != 0 && idx != 1) return;
  ReplaceBusLabel(mInputBusLabels, idx, label);
}

void IPluginBase::SetOutputBusLabel(int idx, const char* label)
{
  if (idx < 0) return;
  ReplaceBusLabel(mOutputBusLabels, idx, label);
}
