// Controller side of the VST3 adapter: parameter values and texts, units,
// the program list and edit notifications.

#include "framework/IPluginVST3.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "framework/IPluginParameter.h"
#include "framework/IPreset.h"
#include "framework/Log.h"
#include "pluginterfaces/vst/ivstcontextmenu.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

int IPluginVST3::FindOrAddUnit(const char* group)
{
  if (!group || !*group) return kRootUnitId;
  Util_PtrList<const char>& groups = GetParamGroups();
  int found = -1;
  for (int i = 0; i < groups.GetSize(); ++i)
    if (!strcmp(groups.Get(i), group)) found = i;
  if (found >= 0) return found + 1;
  groups.Add(group);
  return groups.GetSize();
}

// ---- Values ----
// The host writes and reads values on its main thread while blocks run; the
// plug-in mutex keeps a value from changing half-way through a block.

tresult PLUGIN_API IPluginVST3::setParamNormalized(ParamID tag, ParamValue value)
{
  if (tag >= (ParamID)NParams()) return kResultFalse;
  if (std::isnan(value)) return kResultFalse;
  Util_MutexLock lock(mMutex);
  GetParam((int)tag)->SetNormalized(value < 0. ? 0. : (value > 1. ? 1. : value));
  return kResultOk;
}

ParamValue PLUGIN_API IPluginVST3::getParamNormalized(ParamID tag)
{
  Util_MutexLock lock(mMutex);
  if (tag == kHostBypassTag) return mIsBypassed ? 1. : 0.;
  if (tag < (ParamID)NParams()) return GetParam((int)tag)->GetNormalized();
  return 0.;
}

// Normalised values live in [0, 1]; NaN has no place there and reads as 0.
static ParamValue ClampNormalized(ParamValue v)
{
  if (std::isnan(v)) return 0.;
  return v < 0. ? 0. : (v > 1. ? 1. : v);
}

ParamValue PLUGIN_API IPluginVST3::plainParamToNormalized(ParamID tag, ParamValue plain)
{
  if (std::isnan(plain)) return 0.;
  if (tag < (ParamID)NParams()) return ClampNormalized(GetParam((int)tag)->GetNormalized(plain));
  if (Parameter* p = getParameterObject(tag)) return ClampNormalized(p->toNormalized(plain));
  return ClampNormalized(plain);
}

tresult PLUGIN_API IPluginVST3::getParamStringByValue(ParamID tag, ParamValue valueNormalized, String128 string)
{
  if (!string || std::isnan(valueNormalized)) return kResultFalse;
  valueNormalized = ClampNormalized(valueNormalized);
  if (tag == kPresetListTag && NPresets() > 0)
  {
    // The preset a program change to this value restores; 1.0 restores none.
    const int idx = (int)(valueNormalized * NPresets());
    char text[IPreset::kNameSize];
    if (idx >= NPresets())
      snprintf(text, sizeof(text), "%s", "(none)");
    else if (*GetPresetName(idx))
      snprintf(text, sizeof(text), "%s", GetPresetName(idx));
    else
      snprintf(text, sizeof(text), "%d", idx + 1);
    AsciiToString128(text, string);
    return kResultOk;
  }
  // The host bypass is the SDK's string list ("off", "on"); the framework's
  // parameters format themselves.
  if (tag != kHostBypassTag && tag >= (ParamID)NParams()) return kResultFalse;
  Parameter* p = getParameterObject(tag);
  if (!p) return kResultFalse;
  p->toString(valueNormalized, string);
  return kResultOk;
}

tresult PLUGIN_API IPluginVST3::getParamValueByString(ParamID tag, TChar* string, ParamValue& valueNormalized)
{
  if (!string) return kResultFalse;
  ParamValue v = 0.;
  if (SingleComponentEffect::getParamValueByString(tag, string, v) != kResultOk || !std::isfinite(v))
    return kResultFalse;
  valueNormalized = ClampNormalized(v);
  return kResultOk;
}

// ---- Units and the program list ----

int32 PLUGIN_API IPluginVST3::getUnitCount()
{
  return GetParamGroups().GetSize() + 1;
}

tresult PLUGIN_API IPluginVST3::getUnitInfo(int32 unitIndex, UnitInfo& info)
{
  if (unitIndex == 0)
  {
    info.id = kRootUnitId;
    info.parentUnitId = kNoParentUnitId;
    AsciiToString128("Root Unit", info.name);
    info.programListId = kNoProgramListId;
    return kResultOk;
  }
  if (unitIndex >= 1 && unitIndex <= GetParamGroups().GetSize())
  {
    info.id = unitIndex;
    info.parentUnitId = kRootUnitId;
    AsciiToString128(GetParamGroups().Get(unitIndex - 1), info.name);
    info.programListId = kNoProgramListId;
    return kResultOk;
  }
  return kResultFalse;
}

int32 PLUGIN_API IPluginVST3::getProgramListCount()
{
  return 0;
}

tresult PLUGIN_API IPluginVST3::getProgramListInfo(int32 listIndex, ProgramListInfo& info)
{
  if (listIndex != 0) return kResultFalse;
  info.id = kPresetListTag;
  AsciiToString128("Factory Presets", info.name);
  info.programCount = NPresets();
  return kResultOk;
}

tresult PLUGIN_API IPluginVST3::getProgramName(ProgramListID listId, int32 programIndex, String128 name)
{
  if (listId != (ProgramListID)kPresetListTag || !name) return kResultFalse;
  AsciiToString128(GetPresetName(programIndex), name);
  return kResultOk;
}

tresult PLUGIN_API IPluginVST3::getProgramInfo(ProgramListID, int32, Vst::CString, String128)
{
  return kNotImplemented;
}

tresult PLUGIN_API IPluginVST3::hasProgramPitchNames(ProgramListID, int32)
{
  return kNotImplemented;
}

tresult PLUGIN_API IPluginVST3::getProgramPitchName(ProgramListID, int32, int16, String128)
{
  return kNotImplemented;
}

UnitID PLUGIN_API IPluginVST3::getSelectedUnit()
{
  return kRootUnitId;
}

tresult PLUGIN_API IPluginVST3::selectUnit(UnitID)
{
  return kNotImplemented;
}

tresult PLUGIN_API IPluginVST3::getUnitByBus(MediaType, BusDirection, int32, int32, UnitID&)
{
  return kNotImplemented;
}

tresult PLUGIN_API IPluginVST3::setUnitProgramData(int32, int32, IBStream*)
{
  return kNotImplemented;
}

// ---- Edits made in the editor ----

tresult IPluginVST3::beginEdit(ParamID tag)
{
  return componentHandler ? componentHandler->beginEdit(tag) : kResultFalse;
}

tresult IPluginVST3::performEdit(ParamID tag, ParamValue valueNormalized)
{
  return componentHandler ? componentHandler->performEdit(tag, valueNormalized) : kResultFalse;
}

tresult IPluginVST3::endEdit(ParamID tag)
{
  return componentHandler ? componentHandler->endEdit(tag) : kResultFalse;
}

void IPluginVST3::BeginInformHostOfParamChange(int paramIdx)
{
  Trace("BeginInformHostOfParamChange", __LINE__, "%d", paramIdx);
  beginEdit((ParamID)paramIdx);
}

void IPluginVST3::InformHostOfParamChange(int paramIdx, double normalizedValue)
{
  Trace("InformHostOfParamChange", __LINE__, "%d:%f", paramIdx, normalizedValue);
  performEdit((ParamID)paramIdx, normalizedValue);
}

void IPluginVST3::EndInformHostOfParamChange(int paramIdx)
{
  Trace("EndInformHostOfParamChange", __LINE__, "%d", paramIdx);
  endEdit((ParamID)paramIdx);
}

void IPluginVST3::PopupHostContextMenuForParam(int paramIdx, int x, int y)
{
  if (!componentHandler || mEditorViews.GetSize() == 0) return;
  FUnknownPtr<IComponentHandler3> handler(componentHandler);
  if (!handler) return;
  const ParamID tag = (ParamID)paramIdx;
  IContextMenu* menu = handler->createContextMenu(mEditorViews.Get(0)->GetPlugView(), &tag);
  if (menu)
  {
    menu->popup(x, y);
    menu->release();
  }
}
