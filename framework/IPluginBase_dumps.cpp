// Preset dumps: the current state or the presets as source lines for an effect's constructor.

#include "framework/IPluginBase.h"

#include <cstdio>

#include "framework/ByteChunk.h"
#include "framework/IPreset.h"
#include "util/base64encdec.h"

namespace {

// The dump's usual text buffer; a larger chunk gets a buffer of its own size instead of
// being cut, so the written blob always decodes to the whole chunk.
const int kBlobTextSize = 2048;

// Writes text as the inside of a C string literal. Preset names come from loaded banks:
// a quote or backslash is escaped, other unprintable bytes become three-digit octal.
void WriteLiteralText(FILE* f, const char* text)
{
  for (const unsigned char* p = (const unsigned char*)text; *p; ++p)
  {
    if (*p == '"' || *p == '\\') fprintf(f, "\\%c", *p);
    else if (*p < 0x20 || *p >= 0x7F) fprintf(f, "\\%03o", *p);
    else fputc(*p, f);
  }
}

void WriteBlobStatement(FILE* f, const char* name, const ByteChunk& chunk)
{
  const int size = chunk.Size();
  const int need = Util_Base64EncodedLength(size);
  if (need < 0) return;

  char small[kBlobTextSize];
  Util_TypedBuf<char> large;
  char* text = small;
  int textSize = kBlobTextSize;
  if (need + 1 > kBlobTextSize)
  {
    text = large.Resize(need + 1);
    if (!text) return;
    textSize = need + 1;
  }
  if (Util_Base64Encode(chunk.GetBytes(), size, text, textSize) < 0) return;
  fprintf(f, "MakePresetFromBlob(\"");
  WriteLiteralText(f, name);
  fprintf(f, "\", \"%s\", %i);\n", text, size);
}

}  // namespace

void IPluginBase::DumpPresetSrcCode(const char* path, const char** paramEnumNames)
{
  if (!path) return;
  FILE* f = fopen(path, "w");
  if (!f) return;
  fprintf(f, "  MakePresetFromNamedParams(\"name\", %d", NParams());
  for (int i = 0; i < NParams(); ++i)
  {
    const IParam* param = GetParam(i);
    // Without a name table the index itself is a valid argument.
    char index[16];
    snprintf(index, sizeof(index), "%d", i);
    const char* enumName = paramEnumNames && paramEnumNames[i] ? paramEnumNames[i] : index;

    char value[kParamDisplayMax];
    switch (param->GetKind())
    {
      case kParamBool: snprintf(value, sizeof(value), "%s", param->GetBool() ? "true" : "false"); break;
      case kParamInt:
      case kParamEnum: snprintf(value, sizeof(value), "%d", param->GetInt()); break;
      default: snprintf(value, sizeof(value), "%.6f", param->GetValue()); break;
    }
    fprintf(f, ",\n    %s, %s", enumName, value);
  }
  fprintf(f, ");\n");
  fclose(f);
}

void IPluginBase::DumpPresetBlob(const char* path)
{
  const IPreset* preset = GetPreset(mCurrentPresetIdx);
  if (!path || !preset) return;
  FILE* f = fopen(path, "w");
  if (!f) return;
  WriteBlobStatement(f, "name", preset->mChunk);
  fclose(f);
}

void IPluginBase::DumpBankBlob(const char* path)
{
  if (!path) return;
  FILE* f = fopen(path, "w");
  if (!f) return;
  for (int i = 0; i < NPresets(); ++i)
  {
    const IPreset* preset = GetPreset(i);
    WriteBlobStatement(f, preset->mName, preset->mChunk);
  }
  fclose(f);
}
