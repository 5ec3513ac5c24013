#include "framework/IPreset.h"

#include "util/utilcstring.h"

IPreset::IPreset() : mInitialized(false)
{
  SetName("empty");
}

void IPreset::SetName(const char* name)
{
  Util_StrCopy(mName, name, sizeof(mName));
}
