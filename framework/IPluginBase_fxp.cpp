// Preset (program) and bank files: big-endian containers of 4-byte fields.

#include "framework/IPluginBase_fxp.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "framework/ByteChunk.h"
#include "framework/IPluginBase.h"
#include "framework/IPreset.h"

namespace {

constexpr uint32_t FourCC(const char (&c)[5])
{
  return (uint32_t)(unsigned char)c[0] << 24 | (uint32_t)(unsigned char)c[1] << 16 |
         (uint32_t)(unsigned char)c[2] << 8 | (uint32_t)(unsigned char)c[3];
}

const uint32_t kChunkMagic = FourCC("CcnK");
const uint32_t kProgramParams = FourCC("FxCk");
const uint32_t kProgramChunk = FourCC("FPCh");
const uint32_t kBankParams = FourCC("FxBk");
const uint32_t kBankChunk = FourCC("FBCh");

const int kNameField = 28;
const int kProgramHeader = 56;   // up to and including prgName
const int kBankHeader = 156;     // up to and including the future bytes
const int kFutureBytes = 124;
// No preset or bank file comes near this; a larger file is refused before it is read.
const long kMaxFileSize = 64L * 1024 * 1024;

int PutBE32(ByteChunk* chunk, uint32_t v)
{
  const unsigned char b[4] = {(unsigned char)(v >> 24), (unsigned char)(v >> 16), (unsigned char)(v >> 8),
                              (unsigned char)v};
  return chunk->PutBytes(b, 4);
}

int PutBEFloat(ByteChunk* chunk, float f)
{
  uint32_t bits;
  memcpy(&bits, &f, 4);
  return PutBE32(chunk, bits);
}

// Reads at pos; -1 when the field is not in the data.
int GetBE32(const ByteChunk* chunk, uint32_t* v, int pos)
{
  unsigned char b[4];
  pos = chunk->GetBytes(b, 4, pos);
  if (pos >= 0) *v = (uint32_t)b[0] << 24 | (uint32_t)b[1] << 16 | (uint32_t)b[2] << 8 | b[3];
  return pos;
}

float BEFloatAt(const ByteChunk* chunk, int pos)
{
  uint32_t bits = 0;
  GetBE32(chunk, &bits, pos);
  float f;
  memcpy(&f, &bits, 4);
  return f;
}

// The name's characters cut to 27, zero-filled to 28, so every reader finds a terminator.
int PutName(ByteChunk* chunk, const char* name)
{
  char field[kNameField] = {};
  if (name) strncpy(field, name, kNameField - 1);
  return chunk->PutBytes(field, kNameField);
}

// At most 28 bytes, always terminated.
void GetName(const ByteChunk* chunk, int pos, char (&name)[kNameField + 1])
{
  memset(name, 0, sizeof(name));
  chunk->GetBytes(name, kNameField, pos);
}

// chunkMagic ... prgName of a program file or a bank's program record.
bool PutProgramHeader(IPluginBase* plugin, ByteChunk* file, uint32_t fxMagic, uint32_t byteSize,
                      const char* name)
{
  return PutBE32(file, kChunkMagic) && PutBE32(file, byteSize) && PutBE32(file, fxMagic) &&
         PutBE32(file, 1) && PutBE32(file, (uint32_t)plugin->GetUniqueID()) &&
         PutBE32(file, (uint32_t)plugin->GetEffectVersion(true)) && PutBE32(file, (uint32_t)plugin->NParams()) &&
         PutName(file, name);
}

// chunkMagic ... future bytes of a bank file.
bool PutBankHeader(IPluginBase* plugin, ByteChunk* file, uint32_t fxMagic, uint32_t byteSize)
{
  const unsigned char future[kFutureBytes] = {};
  return PutBE32(file, kChunkMagic) && PutBE32(file, byteSize) && PutBE32(file, fxMagic) &&
         PutBE32(file, 2) && PutBE32(file, (uint32_t)plugin->GetUniqueID()) &&
         PutBE32(file, (uint32_t)plugin->GetEffectVersion(true)) && PutBE32(file, (uint32_t)plugin->NPresets()) &&
         PutBE32(file, (uint32_t)plugin->GetCurrentPresetIdx()) && file->PutBytes(future, kFutureBytes);
}

// Normalised value of the double at parameter j's place in a parameter state, 0 past its end.
float NormalizedFromState(IPluginBase* plugin, const ByteChunk& state, int j)
{
  double v = 0.;
  state.Get(&v, j * (int)sizeof(double));
  if (std::isnan(v)) v = 0.;
  return (float)plugin->GetParam(j)->GetNormalized(v);
}

// True when the n floats at pos are all in the data and finite.
bool FloatsUsable(const ByteChunk* file, int pos, int n)
{
  if ((int64_t)pos + 4 * (int64_t)n > file->Size()) return false;
  for (int j = 0; j < n; ++j)
    if (!std::isfinite(BEFloatAt(file, pos + 4 * j))) return false;
  return true;
}

// Normalised values from a file: NaN and infinities were refused; the range is 0 ... 1.
void ApplyFloats(IPluginBase* plugin, const ByteChunk* file, int pos)
{
  Util_MutexLock lock(plugin->GetMutex());  // the processing call writes them too
  for (int j = 0; j < plugin->NParams(); ++j)
  {
    const float f = BEFloatAt(file, pos + 4 * j);
    plugin->GetParam(j)->SetNormalized(f < 0.f ? 0. : f > 1.f ? 1. : (double)f);
  }
}

// Everything a bank load may change, to put back when the bank turns out to be broken.
struct PresetsSnapshot
{
  struct Slot
  {
    bool initialized;
    std::string name;
    std::vector<unsigned char> bytes;
  };
  std::vector<Slot> slots;
  ByteChunk state;

  explicit PresetsSnapshot(IPluginBase* plugin)
  {
    for (int slot = 0; slot < plugin->NPresets(); ++slot)
    {
      const IPreset* p = plugin->GetPreset(slot);
      const unsigned char* b = p->mChunk.GetBytes();
      slots.push_back({p->mInitialized, p->mName, std::vector<unsigned char>(b, b + p->mChunk.Size())});
    }
    plugin->SerializeState(&state);
  }

  void Restore(IPluginBase* plugin)
  {
    for (int slot = 0; slot < plugin->NPresets() && slot < (int)slots.size(); ++slot)
    {
      IPreset* p = plugin->GetPreset(slot);
      p->mInitialized = slots[slot].initialized;
      p->SetName(slots[slot].name.c_str());
      p->mChunk.Clear();
      p->mChunk.PutBytes(slots[slot].bytes.data(), (int)slots[slot].bytes.size());
    }
    plugin->UnserializeState(&state, 0);
    plugin->RedrawParamControls();
  }
};

// Makes preset idx current. Without such a preset the values just set are still
// handed to the effect and the editor, so they never run on stale values.
void RestoreOrAnnounce(IPluginBase* plugin, int idx)
{
  if (plugin->RestorePreset(idx)) return;
  Util_MutexLock lock(plugin->GetMutex());
  plugin->OnParamReset();
  plugin->RedrawParamControls();
}

bool ReadWholeFile(const Util_String* fileName, ByteChunk* file)
{
  if (!fileName || !fileName->GetLength()) return false;
  FILE* f = fopen(fileName->Get(), "rb");
  if (!f) return false;
  bool ok = fseek(f, 0, SEEK_END) == 0;
  const long size = ok ? ftell(f) : -1;
  ok = ok && size >= 0 && size <= kMaxFileSize && fseek(f, 0, SEEK_SET) == 0;
  if (ok)
  {
    file->Clear();
    file->Resize((int)size);
    ok = file->Size() == (int)size && (size == 0 || fread(file->GetBytes(), 1, (size_t)size, f) == (size_t)size);
  }
  fclose(f);
  return ok;
}

bool WriteWholeFile(const Util_String* fileName, const ByteChunk& file)
{
  FILE* f = fopen(fileName->Get(), "wb");
  if (!f) return false;
  const size_t n = (size_t)file.Size();
  bool ok = n == 0 || fwrite(file.GetBytes(), 1, n, f) == n;
  ok = (fclose(f) == 0) && ok;
  return ok;
}

}  // namespace

bool MakeProgramFile(IPluginBase* plugin, ByteChunk* file)
{
  file->Clear();
  const char* name = plugin->GetPresetName(plugin->GetCurrentPresetIdx());
  if (plugin->DoesStateChunks())
  {
    ByteChunk state;
    plugin->InitChunkWithFrameworkVer(&state);
    if (state.Size() <= 0 || !plugin->SerializeState(&state)) return false;
    return PutProgramHeader(plugin, file, kProgramChunk, (uint32_t)state.Size() + 60, name) &&
           PutBE32(file, (uint32_t)state.Size()) && file->PutChunk(&state);
  }
  if (!PutProgramHeader(plugin, file, kProgramParams, 0, name)) return false;
  for (int j = 0; j < plugin->NParams(); ++j)
    if (!PutBEFloat(file, (float)plugin->GetParam(j)->GetNormalized())) return false;
  return true;
}

bool MakeBankFile(IPluginBase* plugin, ByteChunk* file)
{
  file->Clear();
  if (plugin->DoesStateChunks())
  {
    ByteChunk state;
    plugin->InitChunkWithFrameworkVer(&state);
    if (state.Size() <= 0 || !plugin->SerializePresets(&state)) return false;
    return PutBankHeader(plugin, file, kBankChunk, (uint32_t)state.Size() + 160) &&
           PutBE32(file, (uint32_t)state.Size()) && file->PutChunk(&state);
  }
  if (!PutBankHeader(plugin, file, kBankParams, 0)) return false;
  for (int slot = 0; slot < plugin->NPresets(); ++slot)
  {
    const IPreset* preset = plugin->GetPreset(slot);
    if (!PutProgramHeader(plugin, file, kProgramParams, 0, preset->mName)) return false;
    for (int j = 0; j < plugin->NParams(); ++j)
      if (!PutBEFloat(file, NormalizedFromState(plugin, preset->mChunk, j))) return false;
  }
  return true;
}

bool LoadProgramFromChunk(IPluginBase* plugin, ByteChunk* file)
{
  if (file->Size() < kProgramHeader) return false;
  uint32_t chunkMagic = 0, fxMagic = 0, version = 0, fxID = 0;
  GetBE32(file, &chunkMagic, 0);
  GetBE32(file, &fxMagic, 8);
  GetBE32(file, &version, 12);
  GetBE32(file, &fxID, 16);
  char name[kNameField + 1];
  GetName(file, 28, name);
  if (chunkMagic != kChunkMagic || version != 1 || fxID != (uint32_t)plugin->GetUniqueID()) return false;

  if (fxMagic == kProgramChunk && plugin->DoesStateChunks())
  {
    int pos = kProgramHeader + 4;  // past chunkSize
    if (pos > file->Size()) return false;
    plugin->GetFrameworkVerFromChunk(file, &pos);
    ByteChunk before;
    plugin->SerializeState(&before);
    if (plugin->UnserializeState(file, pos) < 0)
    {
      plugin->UnserializeState(&before, 0);
      return false;
    }
  }
  else if (fxMagic == kProgramParams)
  {
    if (!FloatsUsable(file, kProgramHeader, plugin->NParams())) return false;
    ApplyFloats(plugin, file, kProgramHeader);
  }
  else
  {
    return false;
  }

  plugin->ModifyCurrentPreset(name);
  RestoreOrAnnounce(plugin, plugin->GetCurrentPresetIdx());
  plugin->InformHostOfProgramChange();
  return true;
}

bool LoadBankFromChunk(IPluginBase* plugin, ByteChunk* file)
{
  if (file->Size() < kBankHeader) return false;
  uint32_t chunkMagic = 0, fxMagic = 0, fxID = 0, numPrograms = 0, currentProgram = 0;
  GetBE32(file, &chunkMagic, 0);
  GetBE32(file, &fxMagic, 8);
  GetBE32(file, &fxID, 16);
  GetBE32(file, &numPrograms, 24);
  GetBE32(file, &currentProgram, 28);
  if (chunkMagic != kChunkMagic || fxID != (uint32_t)plugin->GetUniqueID()) return false;

  if (fxMagic == kBankChunk && plugin->DoesStateChunks())
  {
    int pos = kBankHeader + 4;  // past chunkSize
    if (pos > file->Size()) return false;
    plugin->GetFrameworkVerFromChunk(file, &pos);
    PresetsSnapshot before(plugin);
    if (plugin->UnserializePresets(file, pos) < 0)
    {
      before.Restore(plugin);
      return false;
    }
    plugin->InformHostOfProgramChange();
    return true;
  }
  if (fxMagic != kBankParams) return false;

  // Check every record before touching a preset, so a broken bank changes nothing.
  const int nParams = plugin->NParams();
  const int64_t recordSize = kProgramHeader + 4 * (int64_t)nParams;
  const int nPrograms = (int32_t)numPrograms > 0 ? (int32_t)numPrograms : 0;
  if (kBankHeader + recordSize * nPrograms > file->Size()) return false;
  for (int i = 0; i < nPrograms; ++i)
  {
    const int pos = kBankHeader + (int)(recordSize * i);
    uint32_t magic = 0, recMagic = 0, version = 0, recParams = 0;
    GetBE32(file, &magic, pos);
    GetBE32(file, &recMagic, pos + 8);
    GetBE32(file, &version, pos + 12);
    GetBE32(file, &recParams, pos + 24);
    if (magic != kChunkMagic || recMagic != kProgramParams || version != 1 || recParams != (uint32_t)nParams ||
        !FloatsUsable(file, pos + kProgramHeader, nParams))
      return false;
  }

  // Records beyond the preset list have no slot of their own: they are skipped rather
  // than written over whichever preset happens to be current.
  for (int slot = 0; slot < nPrograms && slot < plugin->NPresets(); ++slot)
  {
    const int pos = kBankHeader + (int)(recordSize * slot);
    char name[kNameField + 1];
    GetName(file, pos + 28, name);
    plugin->RestorePreset(slot);  // makes it current; a free slot becomes a user preset
    ApplyFloats(plugin, file, pos + kProgramHeader);
    IPreset* preset = plugin->GetPreset(slot);
    preset->mInitialized = true;
    preset->mChunk.Clear();
    plugin->SerializeState(&preset->mChunk);
    if (name[0]) preset->SetName(name);
  }
  RestoreOrAnnounce(plugin, (int32_t)currentProgram);
  plugin->InformHostOfProgramChange();
  return true;
}

bool IPluginBase::SaveProgramAsFXP(Util_String* fileName)
{
  if (!fileName || !fileName->GetLength()) return false;
  ByteChunk file;
  return MakeProgramFile(this, &file) && WriteWholeFile(fileName, file);
}

bool IPluginBase::SaveBankAsFXB(Util_String* fileName)
{
  if (!fileName || !fileName->GetLength()) return false;
  ByteChunk file;
  return MakeBankFile(this, &file) && WriteWholeFile(fileName, file);
}

bool IPluginBase::LoadProgramFromFXP(Util_String* fileName)
{
  ByteChunk file;
  return ReadWholeFile(fileName, &file) && LoadProgramFromChunk(this, &file);
}

bool IPluginBase::LoadBankFromFXB(Util_String* fileName)
{
  ByteChunk file;
  return ReadWholeFile(fileName, &file) && LoadBankFromChunk(this, &file);
}
