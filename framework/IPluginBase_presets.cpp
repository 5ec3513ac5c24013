// State chunks and the preset list of IPluginBase.

#include "framework/IPluginBase.h"

#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "framework/ByteChunk.h"
#include "framework/IEditorLink.h"
#include "framework/IPreset.h"
#include "util/base64encdec.h"

namespace {

const int32_t kFrameworkMagic = 0x70666674;  // 'pfft'
const char kUserPresetText[] = "user preset";
// Fills unnamed slots in MakePresetFromNamedParams; a value equal to it counts as unnamed.
const double kUnnamedMarker = 9.999e-8;

bool TakesIntArg(const IParam* param)
{
  const EParamKind kind = param->GetKind();
  return kind == kParamBool || kind == kParamInt || kind == kParamEnum;
}

}  // namespace

bool IPluginBase::SerializeParams(ByteChunk* chunk)
{
  if (!chunk) return false;
  Util_MutexLock lock(mMutex);
  for (int i = 0; i < NParams(); ++i)
  {
    const double v = GetParam(i)->GetValue();
    if (chunk->Put(&v) <= 0) return false;
  }
  return true;
}

int IPluginBase::UnserializeParams(ByteChunk* chunk, int startPos)
{
  if (!chunk) return -1;
  Util_MutexLock lock(mMutex);
  int pos = startPos;
  for (int i = 0; i < NParams() && pos >= 0; ++i)
  {
    double v = 0.;
    pos = chunk->Get(&v, pos);
    // A NaN would pass the range clamp untouched and reach the signal path.
    if (!std::isnan(v)) GetParam(i)->SetValue(v);
  }
  for (int i = 0; i < NParams(); ++i) OnParamChange(i);
  return pos;
}

bool IPluginBase::SerializeState(ByteChunk* chunk)
{
  return SerializeParams(chunk);
}

int IPluginBase::UnserializeState(ByteChunk* chunk, int startPos)
{
  return UnserializeParams(chunk, startPos);
}

bool IPluginBase::ParamsAreValid(const ByteChunk* chunk, int startPos) const
{
  int pos = startPos;
  for (int i = 0; i < NParams(); ++i)
  {
    double v = 0.;
    pos = chunk->Get(&v, pos);
    if (pos < 0 || !std::isfinite(v)) return false;
    const double lo = GetParam(i)->GetMin(), hi = GetParam(i)->GetMax();
    if (!(v >= (lo < hi ? lo : hi) && v <= (lo < hi ? hi : lo))) return false;
  }
  return true;
}

int IPluginBase::UnserializeStateChecked(ByteChunk* chunk, int startPos)
{
  if (!chunk) return -1;
  Util_MutexLock lock(mMutex);
  if (!DoesStateChunks())
    return ParamsAreValid(chunk, startPos) ? UnserializeState(chunk, startPos) : -1;

  // A chunk of the effect's own layout can only be judged by reading it:
  // keep the current state and put it back if the reading fails.
  ByteChunk before;
  if (!SerializeState(&before)) return -1;
  const int pos = UnserializeState(chunk, startPos);
  if (pos < 0) UnserializeState(&before, 0);
  return pos;
}

void IPluginBase::ReservePresetStorage()
{
  Util_MutexLock lock(mMutex);
  ByteChunk current;
  if (!SerializeState(&current)) return;
  for (int i = 0; i < NPresets(); ++i)
    if (!GetPreset(i)->mInitialized) GetPreset(i)->mChunk.Reserve(current.Size());
}

bool IPluginBase::SerializePresets(ByteChunk* chunk)
{
  if (!chunk) return false;
  for (int i = 0; i < NPresets(); ++i)
  {
    IPreset* preset = GetPreset(i);
    const unsigned char flag = preset->mInitialized ? 1 : 0;
    if (chunk->PutStr(preset->mName) <= 0 || chunk->Put(&flag) <= 0) return false;
    if (flag && chunk->PutChunk(&preset->mChunk) <= 0) return false;
  }
  return true;
}

int IPluginBase::UnserializePresets(ByteChunk* chunk, int startPos)
{
  if (!chunk) return -1;
  Util_String name;
  int pos = startPos;
  for (int i = 0; i < NPresets() && pos >= 0; ++i)
  {
    IPreset* preset = GetPreset(i);
    pos = chunk->GetStr(&name, pos);
    // Only a name that was actually read replaces the preset's own; a bank that ends
    // early must not rename the presets it no longer covers.
    if (pos >= 0 && pos <= chunk->Size()) preset->SetName(name.Get());

    unsigned char flag = 0;
    pos = chunk->Get(&flag, pos);
    if (pos < 0) break;
    preset->mInitialized = flag != 0;

    if (preset->mInitialized)
    {
      pos = UnserializeState(chunk, pos);
      if (pos > 0)
      {
        preset->mChunk.Clear();
        SerializeState(&preset->mChunk);
      }
    }
  }
  RestorePreset(mCurrentPresetIdx);
  return pos;
}

void IPluginBase::InitChunkWithFrameworkVer(ByteChunk* chunk)
{
  if (!chunk) return;
  chunk->Clear();
  const int32_t magic = kFrameworkMagic, version = kFrameworkVersion;
  chunk->Put(&magic);
  chunk->Put(&version);
}

int IPluginBase::GetFrameworkVerFromChunk(ByteChunk* chunk, int* pPos)
{
  if (!chunk || !pPos || *pPos < 0) return 0;
  int32_t magic = 0;
  const int afterMagic = chunk->Get(&magic, *pPos);
  if (afterMagic < 0 || magic != kFrameworkMagic) return 0;
  int32_t version = 0;
  *pPos = chunk->Get(&version, afterMagic);
  return *pPos < 0 ? 0 : version;
}

bool IPluginBase::CompareState(const unsigned char* data, int startPos)
{
  if (NParams() == 0) return true;
  if (!data || startPos < 0) return false;
  for (int i = 0; i < NParams(); ++i)
  {
    double stored;
    memcpy(&stored, data + ((size_t)startPos + (size_t)i) * sizeof(double), sizeof(double));
    const float diff = (float)stored - (float)GetParam(i)->GetValue();
    if (!(std::fabs(diff) < 0.00001)) return false;
  }
  return true;
}

void IPluginBase::RedrawParamControls()
{
  if (!mGraphics) return;
  for (int i = 0; i < NParams(); ++i)
    mGraphics->SetParameterFromPlug(i, GetParam(i)->GetValue(), false);
}

// The first free slot, emptied, named and marked initialised; null when every slot is
// taken. The chunk is cleared so stale bytes of an earlier state cannot prefix the new one.
static IPreset* TakeFreePreset(IPluginBase* plugin, const char* name)
{
  for (int idx = 0; idx < plugin->NPresets(); ++idx)
  {
    IPreset* preset = plugin->GetPreset(idx);
    if (!preset->mInitialized)
    {
      preset->mInitialized = true;
      preset->SetName(name);
      preset->mChunk.Clear();
      return preset;
    }
  }
  return nullptr;
}

void IPluginBase::MakeDefaultPreset(const char* name, int nPresets)
{
  for (int n = 0; n < nPresets; ++n)
  {
    IPreset* preset = TakeFreePreset(this, name ? name : "Empty");
    if (!preset) return;
    SerializeState(&preset->mChunk);
  }
}

void IPluginBase::EnsureDefaultPreset()
{
  MakeDefaultPreset(nullptr, NPresets());
}

void IPluginBase::MakePreset(const char* name, ...)
{
  IPreset* preset = TakeFreePreset(this, name);
  if (!preset) return;
  va_list args;
  va_start(args, name);
  for (int i = 0; i < NParams(); ++i)
  {
    const double v = TakesIntArg(GetParam(i)) ? (double)va_arg(args, int) : va_arg(args, double);
    preset->mChunk.Put(&v);
  }
  va_end(args);
}

void IPluginBase::MakePresetFromNamedParams(const char* name, int nParamsNamed, ...)
{
  IPreset* preset = TakeFreePreset(this, name);
  if (!preset) return;
  const int n = NParams();
  Util_TypedBuf<double> values;
  if (n > 0 && !values.Resize(n)) return;
  double* v = values.Get();
  for (int i = 0; i < n; ++i) v[i] = kUnnamedMarker;

  va_list args;
  va_start(args, nParamsNamed);
  for (int k = 0; k < nParamsNamed; ++k)
  {
    const int idx = va_arg(args, int);
    // The type of the value that follows depends on the parameter: past a bad index
    // the remaining arguments cannot be read safely.
    if (idx < 0 || idx >= n) break;
    v[idx] = TakesIntArg(GetParam(idx)) ? (double)va_arg(args, int) : va_arg(args, double);
  }
  va_end(args);

  for (int i = 0; i < n; ++i)
  {
    if (v[i] == kUnnamedMarker) v[i] = GetParam(i)->GetValue();
    preset->mChunk.Put(&v[i]);
  }
}

void IPluginBase::MakePresetFromChunk(const char* name, ByteChunk* chunk)
{
  IPreset* preset = TakeFreePreset(this, name);
  if (preset) preset->mChunk.PutChunk(chunk);
}

void IPluginBase::MakePresetFromBlob(const char* name, const char* blob, int sizeOfChunk)
{
  IPreset* preset = TakeFreePreset(this, name);
  if (!preset || sizeOfChunk <= 0) return;
  preset->mChunk.Resize(sizeOfChunk);
  if (preset->mChunk.Size() == sizeOfChunk)
    Util_Base64Decode(blob, preset->mChunk.GetBytes(), sizeOfChunk);
}

void IPluginBase::PruneUninitializedPresets()
{
  for (int i = NPresets() - 1; i >= 0; --i)
    if (!GetPreset(i)->mInitialized) mPresets.Delete(i, true);
}

bool IPluginBase::RestorePreset(int idx)
{
  IPreset* preset = GetPreset(idx);
  if (!preset) return false;

  if (!preset->mInitialized)
  {
    int nUser = 0;
    for (int i = 0; i < NPresets(); ++i)
      if (strstr(GetPreset(i)->mName, kUserPresetText)) ++nUser;
    // Keeps the storage reserved for the slot: a program change may land
    // here from inside a block.
    preset->mChunk.Clear(true);
    if (!SerializeState(&preset->mChunk))
    {
      preset->mChunk.Clear(true);
      return false;
    }
    preset->mInitialized = true;
    char name[IPreset::kNameSize];
    snprintf(name, sizeof(name), "%s %d", kUserPresetText, nUser + 1);
    preset->SetName(name);
  }
  else if (UnserializeState(&preset->mChunk, 0) <= 0)
  {
    return false;
  }

  mCurrentPresetIdx = idx;
  PresetsChangedByHost();
  RedrawParamControls();
  return true;
}

bool IPluginBase::RestorePreset(const char* name)
{
  if (!name || !*name) return false;
  for (int i = 0; i < NPresets(); ++i)
    if (!strcmp(GetPreset(i)->mName, name)) return RestorePreset(i);
  return false;
}

const char* IPluginBase::GetPresetName(int idx)
{
  const IPreset* preset = GetPreset(idx);
  return preset ? preset->mName : "";
}

void IPluginBase::ModifyCurrentPreset(const char* name)
{
  IPreset* preset = GetPreset(mCurrentPresetIdx);
  if (!preset) return;
  preset->mChunk.Clear();
  SerializeState(&preset->mChunk);
  if (name && *name) preset->SetName(name);
}
