// Controller face of the VST3 adapter: parameter list, values and texts,
// units, program list, edit notifications, host identification.
#include "adapter_support.h"

#include "pluginterfaces/base/ustring.h"
#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/vstspeaker.h"
#include "tools/host/runloop.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <cmath>

namespace {

struct Vst3AdapterController : ::testing::Test
{
  TestPlug* plug = nullptr;
  void SetUp() override
  {
    plug = new TestPlug;
    ASSERT_EQ(plug->initialize(nullptr), kResultOk);
  }
  void TearDown() override
  {
    plug->terminate();
    EXPECT_EQ(plug->release(), 0u);
  }
  ParameterInfo Info(int32 index)
  {
    ParameterInfo info{};
    EXPECT_EQ(plug->getParameterInfo(index, info), kResultTrue) << "index " << index;
    return info;
  }
  std::string Text(ParamID tag, double v)
  {
    String128 s = {};
    EXPECT_EQ(plug->getParamStringByValue(tag, v, s), kResultOk);
    return Narrow(s);
  }
  double FromText(ParamID tag, const char* text, tresult expect = kResultOk)
  {
    String128 s;
    UString(s, 128).fromAscii(text);
    ParamValue v = -1.;
    EXPECT_EQ(plug->getParamValueByString(tag, s, v), expect) << text;
    return v;
  }
};

} // namespace

TEST_F(Vst3AdapterController, ParameterListStartsWithPresetAndBypass)
{
  ASSERT_EQ(plug->getParameterCount(), 2 + kNumTestParams);

  ParameterInfo preset = Info(0);
  EXPECT_EQ(preset.id, (ParamID)IPluginVST3::kPresetListTag);
  EXPECT_EQ(Narrow(preset.title), "Preset");
  EXPECT_EQ(Narrow(preset.units), "");
  EXPECT_EQ(preset.stepCount, 1) << "step count is the preset count";
  EXPECT_EQ(preset.defaultNormalizedValue, 0.);
  EXPECT_EQ(preset.flags, (int32)ParameterInfo::kIsProgramChange);
  EXPECT_EQ(preset.unitId, kRootUnitId);

  ParameterInfo bypass = Info(1);
  EXPECT_EQ(bypass.id, (ParamID)IPluginVST3::kHostBypassTag);
  EXPECT_EQ(Narrow(bypass.title), "Bypass");
  EXPECT_EQ(bypass.stepCount, 1);
  EXPECT_EQ(bypass.flags, 0x10009);

  EXPECT_EQ(plug->getParameterInfo(2 + kNumTestParams, preset), kResultFalse);
  EXPECT_EQ(plug->getParameterInfo(-1, preset), kResultFalse);
}

TEST_F(Vst3AdapterController, FrameworkParametersDescribeThemselves)
{
  ParameterInfo gain = Info(2 + kGain);
  EXPECT_EQ(gain.id, (ParamID)kGain);
  EXPECT_EQ(Narrow(gain.title), "Gain");
  EXPECT_EQ(Narrow(gain.shortTitle), "");
  EXPECT_EQ(Narrow(gain.units), "dB");
  EXPECT_EQ(gain.stepCount, 0) << "double parameters are continuous";
  EXPECT_DOUBLE_EQ(gain.defaultNormalizedValue, 0.5);
  EXPECT_EQ(gain.flags, (int32)ParameterInfo::kCanAutomate);

  ParameterInfo mode = Info(2 + kMode);
  EXPECT_EQ(mode.stepCount, 2);
  EXPECT_EQ(mode.defaultNormalizedValue, 0.);

  ParameterInfo on = Info(2 + kOn);
  EXPECT_EQ(on.stepCount, 1) << "0 ... 1 boolean";
  EXPECT_EQ(on.defaultNormalizedValue, 1.);
  EXPECT_EQ(on.flags, 0) << "automation switched off by the effect";

  ParameterInfo drive = Info(2 + kDrive);
  EXPECT_EQ(Narrow(drive.units), "%");
  // Shape 2: (25 / 100) ^ (1 / 2).
  EXPECT_DOUBLE_EQ(drive.defaultNormalizedValue, 0.5);
}

TEST_F(Vst3AdapterController, GroupsBecomeUnits)
{
  EXPECT_EQ(Info(2 + kGain).unitId, 1);
  EXPECT_EQ(Info(2 + kMode).unitId, 1) << "same group, same unit";
  EXPECT_EQ(Info(2 + kOn).unitId, kRootUnitId) << "no group: root unit";
  EXPECT_EQ(Info(2 + kDrive).unitId, 2);

  ASSERT_EQ(plug->getUnitCount(), 3);
  UnitInfo u{};
  ASSERT_EQ(plug->getUnitInfo(0, u), kResultOk);
  EXPECT_EQ(u.id, kRootUnitId);
  EXPECT_EQ(u.parentUnitId, kNoParentUnitId);
  EXPECT_EQ(Narrow(u.name), "Root Unit");
  EXPECT_EQ(u.programListId, kNoProgramListId);
  ASSERT_EQ(plug->getUnitInfo(2, u), kResultOk);
  EXPECT_EQ(u.id, 2);
  EXPECT_EQ(u.parentUnitId, kRootUnitId);
  EXPECT_EQ(Narrow(u.name), "Tone");
  EXPECT_EQ(plug->getUnitInfo(3, u), kResultFalse);
  EXPECT_EQ(plug->getUnitInfo(-1, u), kResultFalse);

  // A restart of the host session re-registers without new units.
  plug->terminate();
  ASSERT_EQ(plug->initialize(nullptr), kResultOk);
  EXPECT_EQ(plug->getUnitCount(), 3);
  EXPECT_EQ(Info(2 + kDrive).unitId, 2);
}

TEST_F(Vst3AdapterController, ValueTextsBothWays)
{
  EXPECT_EQ(Text(kGain, 0.75), "6.0");
  EXPECT_EQ(Text(kMode, 0.5), "Soft") << "display text wins over the number";
  EXPECT_EQ(Text(kDrive, 0.5), "25.00");

  EXPECT_DOUBLE_EQ(FromText(kGain, "6 dB"), 0.75) << "number followed by a unit";
  EXPECT_DOUBLE_EQ(FromText(kGain, " -12"), 0.);
  EXPECT_DOUBLE_EQ(FromText(kGain, "99"), 1.) << "clamped to the range";
  EXPECT_DOUBLE_EQ(FromText(kDrive, "25"), 0.5);
  EXPECT_DOUBLE_EQ(FromText(kMode, "Hard"), 1.) << "a display text reads back as its value";
  // Texts that are no finite number are refused and leave the value alone.
  for (const char* text : {"nan", "NaN", "-1e999", "1e999", "inf", "loud", "", "  "})
    EXPECT_EQ(FromText(kGain, text, kResultFalse), -1.) << text;

  // Host parameters: the host bypass is the SDK's string list; "Preset"
  // names the preset a change to that value restores.
  EXPECT_EQ(Text(IPluginVST3::kHostBypassTag, 1.), "on");
  EXPECT_EQ(Text(IPluginVST3::kHostBypassTag, 0.), "off");
  EXPECT_EQ(Text(IPluginVST3::kPresetListTag, 0.), "Init");
  EXPECT_EQ(Text(IPluginVST3::kPresetListTag, 0.99), "Init");
  EXPECT_EQ(Text(IPluginVST3::kPresetListTag, 1.), "(none)") << "1.0 restores nothing";
  String128 s = {};
  EXPECT_EQ(plug->getParamStringByValue(kNumTestParams, 0., s), kResultFalse);
  EXPECT_EQ(plug->getParamStringByValue(kGain, std::nan(""), s), kResultFalse);
  FromText(IPluginVST3::kPresetListTag, "nan", kResultFalse);
  EXPECT_DOUBLE_EQ(FromText(IPluginVST3::kHostBypassTag, "on"), 1.);
  EXPECT_DOUBLE_EQ(FromText(IPluginVST3::kHostBypassTag, "off"), 0.);
  FromText(IPluginVST3::kHostBypassTag, "maybe", kResultFalse);
  FromText(1234, "1", kResultFalse);
}

TEST(Vst3AdapterTexts, HugeNumbersAreCutNotOverrun)
{
  auto* plug = new TestPlug(false, false, "1-1 2-2", 0, 0, 1);
  plug->GetParam(0)->InitDouble("Huge", 0., 0., 1e300, 0.000001, "", "");
  ASSERT_EQ(plug->initialize(nullptr), kResultOk);
  String128 s;
  for (auto& c : s) c = 'x';
  ASSERT_EQ(plug->getParamStringByValue(0, 1., s), kResultOk);
  EXPECT_EQ(Narrow(s).size(), 127u) << "301 digits + decimals must be cut to the string";
  EXPECT_EQ(Narrow(s).substr(0, 4), "1000");
  plug->terminate();
  plug->release();
}

TEST(Vst3AdapterTexts, WideIntegerRangeStepCountStaysPositive)
{
  auto* plug = new TestPlug(false, false, "1-1 2-2", 0, 0, 1);
  plug->GetParam(0)->InitInt("Wide", 0, INT_MIN, INT_MAX);
  ASSERT_EQ(plug->initialize(nullptr), kResultOk);
  ParameterInfo info{};
  ASSERT_EQ(plug->getParameterInfo(2, info), kResultTrue); // after "Preset" and "Bypass"
  EXPECT_EQ(Narrow(info.title), "Wide");
  EXPECT_EQ(info.stepCount, INT32_MAX) << "a range wider than int32 must not wrap negative";
  plug->terminate();
  plug->release();
}

TEST_F(Vst3AdapterController, NormalisedValuesAndConversions)
{
  EXPECT_EQ(plug->setParamNormalized(kGain, 0.75), kResultOk);
  EXPECT_DOUBLE_EQ(plug->GetParam(kGain)->GetValue(), 6.);
  EXPECT_DOUBLE_EQ(plug->getParamNormalized(kGain), 0.75);
  EXPECT_EQ(plug->paramChanges[kGain], 1) << "only the restore of preset 0; setParamNormalized is quiet";

  EXPECT_EQ(plug->setParamNormalized(kNumTestParams, 0.5), kResultFalse);
  EXPECT_EQ(plug->setParamNormalized(IPluginVST3::kPresetListTag, 0.5), kResultFalse);
  EXPECT_EQ(plug->setParamNormalized(IPluginVST3::kHostBypassTag, 1.), kResultFalse);
  EXPECT_FALSE(plug->IsBypassed());
  EXPECT_EQ(plug->getParamNormalized(IPluginVST3::kHostBypassTag), 0.);
  EXPECT_EQ(plug->getParamNormalized(IPluginVST3::kPresetListTag), 0.);
  EXPECT_EQ(plug->getParamNormalized(777), 0.);

  // Values a host should never send leave the parameter in range.
  EXPECT_EQ(plug->setParamNormalized(kGain, std::nan("")), kResultFalse);
  EXPECT_DOUBLE_EQ(plug->GetParam(kGain)->GetValue(), 6.);
  EXPECT_EQ(plug->setParamNormalized(kDrive, -3.), kResultOk);
  EXPECT_DOUBLE_EQ(plug->GetParam(kDrive)->GetValue(), 0.);

  EXPECT_DOUBLE_EQ(plug->plainParamToNormalized(kGain, -6.), 0.25);
  // Normalised values never leave 0 ... 1, and NaN never comes back.
  EXPECT_EQ(plug->plainParamToNormalized(kGain, 40.), 1.);
  EXPECT_EQ(plug->plainParamToNormalized(kGain, -40.), 0.);
  EXPECT_EQ(plug->plainParamToNormalized(kGain, std::nan("")), 0.);
  EXPECT_EQ(plug->plainParamToNormalized(555, -6.), 0.);
  EXPECT_EQ(plug->plainParamToNormalized(555, std::nan("")), 0.);
  EXPECT_EQ(plug->plainParamToNormalized(IPluginVST3::kHostBypassTag, 1.), 1.);
  EXPECT_DOUBLE_EQ(plug->normalizedParamToPlain(kGain, 0.25), -6.);
  EXPECT_DOUBLE_EQ(plug->normalizedParamToPlain(kDrive, 0.5), 25.);
  EXPECT_DOUBLE_EQ(plug->normalizedParamToPlain(555, 0.3), 0.3);
}

TEST_F(Vst3AdapterController, ProgramListAndUnitCallsLeftOut)
{
  EXPECT_EQ(plug->getProgramListCount(), 0);
  ProgramListInfo list{};
  ASSERT_EQ(plug->getProgramListInfo(0, list), kResultOk);
  EXPECT_EQ(list.id, (ProgramListID)IPluginVST3::kPresetListTag);
  EXPECT_EQ(Narrow(list.name), "Factory Presets");
  EXPECT_EQ(list.programCount, 1);
  EXPECT_EQ(plug->getProgramListInfo(1, list), kResultFalse);

  String128 name;
  ASSERT_EQ(plug->getProgramName(IPluginVST3::kPresetListTag, 0, name), kResultOk);
  EXPECT_EQ(Narrow(name), "Init");
  ASSERT_EQ(plug->getProgramName(IPluginVST3::kPresetListTag, 5, name), kResultOk);
  EXPECT_EQ(Narrow(name), "");
  EXPECT_EQ(plug->getProgramName(1, 0, name), kResultFalse);

  EXPECT_EQ(plug->getProgramInfo(IPluginVST3::kPresetListTag, 0, "x", name), kNotImplemented);
  EXPECT_EQ(plug->hasProgramPitchNames(IPluginVST3::kPresetListTag, 0), kNotImplemented);
  EXPECT_EQ(plug->getProgramPitchName(IPluginVST3::kPresetListTag, 0, 60, name), kNotImplemented);
  EXPECT_EQ(plug->selectUnit(1), kNotImplemented);
  UnitID unit = 9;
  EXPECT_EQ(plug->getUnitByBus(kAudio, kInput, 0, 0, unit), kNotImplemented);
  EXPECT_EQ(plug->setUnitProgramData(0, 0, nullptr), kNotImplemented);
  EXPECT_EQ(plug->getSelectedUnit(), 0);
}

// The editor view as hosts drive it: made by name, sized from the editor,
// carrying resize requests to the host frame, and unregistering itself.
TEST_F(Vst3AdapterController, EditorViews)
{
  for (const char* name : {"Editor", "editor ", "", "view"}) EXPECT_EQ(plug->createView(name), nullptr) << name;
  EXPECT_EQ(plug->createView(nullptr), nullptr);
  EXPECT_EQ(plug->NEditorViews(), 0);

  // Without an editor: a view, but no size and nothing to attach.
  IPlugView* bare = plug->createView("editor");
  ASSERT_NE(bare, nullptr);
  ViewRect r(1, 2, 3, 4);
  EXPECT_EQ(bare->getSize(&r), kResultFalse);
  EXPECT_EQ(r.right, 3) << "untouched";
  EXPECT_EQ(bare->attached(nullptr, kPlatformTypeX11EmbedWindowID), kResultFalse);
  EXPECT_EQ(bare->removed(), kResultOk);
  EXPECT_EQ(plug->guiCloses, 0);
  EXPECT_EQ(bare->release(), 0u);
  EXPECT_EQ(plug->NEditorViews(), 0);

  auto* gfx = new FakeGraphics;
  plug->AttachGraphics(gfx);
  const uint32 refs = plug->addRef() - 1;
  plug->release();
  IPlugView* first = plug->createView("editor");
  IPlugView* second = plug->createView("editor");
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(first, second);
  EXPECT_EQ(plug->NEditorViews(), 2);
  EXPECT_EQ(plug->addRef() - 1, refs + 2) << "each view holds one reference";
  plug->release();

  EXPECT_EQ(first->getSize(&r), kResultTrue) << "the full size before attaching";
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right, 300);
  EXPECT_EQ(r.bottom, 200);
  // Only X11 embedding is offered; attaching needs a frame with a run loop,
  // so without one nothing opens.
  EXPECT_EQ(first->isPlatformTypeSupported(kPlatformTypeX11EmbedWindowID), kResultTrue);
  for (FIDString type : {kPlatformTypeX11EmbedWindowID, kPlatformTypeNSView, kPlatformTypeHIView, kPlatformTypeHWND})
  {
    if (strcmp(type, kPlatformTypeX11EmbedWindowID) != 0)
    {
      EXPECT_EQ(first->isPlatformTypeSupported(type), kResultFalse) << type;
    }
    EXPECT_EQ(first->attached(nullptr, type), kResultFalse) << type;
  }
  EXPECT_EQ(gfx->opens, 0);
  EXPECT_EQ(plug->guiOpens, 0);
  EXPECT_EQ(first->removed(), kResultOk);
  EXPECT_EQ(plug->guiCloses, 1);
  EXPECT_EQ(gfx->closes, 1);

  // With a frame that offers a run loop the editor gets the loop, then the
  // parent; a frame without one is refused before anything opens.
  {
    vst3host::RunLoop loop;
    PlugFrame loopFrame;
    EXPECT_EQ(first->setFrame(&loopFrame), kResultTrue);
    EXPECT_EQ(first->attached((void*)0x1234, kPlatformTypeX11EmbedWindowID), kResultFalse) << "no run loop";
    EXPECT_EQ(gfx->runLoopsSet, 0);
    EXPECT_EQ(gfx->opens, 0);
    loopFrame.mRunLoop = &loop;
    EXPECT_EQ(first->attached((void*)0x1234, kPlatformTypeX11EmbedWindowID), kResultTrue);
    EXPECT_EQ(gfx->runLoop, static_cast<Steinberg::Linux::IRunLoop*>(&loop));
    EXPECT_EQ(gfx->opens, 1);
    EXPECT_EQ(plug->guiOpens, 1);
    EXPECT_EQ(loop.ExtraRefs(), 0) << "the view keeps no reference of its own";
    EXPECT_EQ(first->removed(), kResultOk);
    EXPECT_EQ(gfx->closes, 2);
    // An editor that opens nothing: refused, and the loop taken back.
    EXPECT_EQ(first->attached(nullptr, kPlatformTypeX11EmbedWindowID), kResultFalse);
    EXPECT_EQ(gfx->runLoop, nullptr);
    EXPECT_EQ(plug->guiOpens, 1);
    first->setFrame(nullptr);
  }

  // Resizing goes through the first view to its frame; the host's answer
  // tells the plug-in once, and an unasked onSize tells it nothing.
  PlugFrame frame;
  plug->ResizeGraphics(400, 250);
  EXPECT_TRUE(frame.mRequests.empty()) << "no frame yet";
  EXPECT_EQ(first->setFrame(&frame), kResultTrue);
  plug->ResizeGraphics(400, 250);
  ASSERT_EQ(frame.mRequests.size(), 1u);
  EXPECT_EQ(frame.mRequests[0].right, 400);
  EXPECT_EQ(frame.mRequests[0].bottom, 250);
  EXPECT_EQ(plug->windowResizes, 1);
  ViewRect unasked(0, 0, 10, 10);
  EXPECT_EQ(first->onSize(&unasked), kResultTrue);
  EXPECT_EQ(first->onSize(nullptr), kResultTrue);
  EXPECT_EQ(plug->windowResizes, 1);
  first->setFrame(nullptr);

  // Destroying a view unregisters it and gives back its one reference.
  EXPECT_EQ(first->release(), 0u);
  EXPECT_EQ(plug->NEditorViews(), 1);
  EXPECT_EQ(second->release(), 0u);
  EXPECT_EQ(plug->NEditorViews(), 0);
  EXPECT_EQ(plug->addRef() - 1, refs);
  plug->release();
}

TEST_F(Vst3AdapterController, EditsReachTheHostHandler)
{
  EXPECT_EQ(plug->beginEdit(kGain), kResultFalse) << "no handler yet";
  EXPECT_EQ(plug->performEdit(kGain, 0.5), kResultFalse);
  EXPECT_EQ(plug->endEdit(kGain), kResultFalse);

  ComponentHandler handler;
  plug->setComponentHandler(&handler);
  plug->BeginInformHostOfParamChange(kDrive);
  plug->SetParameterFromGUI(kDrive, 0.25);
  plug->EndInformHostOfParamChange(kDrive);
  ASSERT_EQ(handler.Log().size(), 3u);
  EXPECT_EQ(handler.Log()[0], "begin 3");
  EXPECT_EQ(handler.Log()[1], "perform 3 0.250");
  EXPECT_EQ(handler.Log()[2], "end 3");
  EXPECT_DOUBLE_EQ(plug->GetParam(kDrive)->GetValue(), 6.25);

  plug->SetLatency(64);
  EXPECT_EQ(plug->getLatencySamples(), 64u);
  ASSERT_EQ(handler.RestartFlags().size(), 1u);
  EXPECT_EQ(handler.RestartFlags()[0], (int32)kLatencyChanged);

  plug->setComponentHandler(nullptr);
  EXPECT_EQ(handler.mRefs, 1) << "handler reference given back";
}

TEST_F(Vst3AdapterController, ContextMenuAndResizeGoThroughTheFirstView)
{
  ComponentHandler plain;
  ComponentHandler menus(true);
  FakeView first, second;

  plug->PopupHostContextMenuForParam(kGain, 10, 20); // no handler, no view: nothing
  plug->setComponentHandler(&menus);
  plug->PopupHostContextMenuForParam(kGain, 10, 20);
  EXPECT_EQ(menus.mMenu.mPopups, 0) << "no view registered";

  plug->addDependentView(&first);
  plug->addDependentView(&second);
  EXPECT_EQ(plug->NEditorViews(), 2);
  plug->PopupHostContextMenuForParam(kMode, 10, 20);
  EXPECT_EQ(menus.mMenu.mPopups, 1);
  EXPECT_EQ(menus.mMenu.mX, 10);
  EXPECT_EQ(menus.mMenu.mY, 20);
  EXPECT_EQ(menus.mMenuView, first.GetPlugView());
  EXPECT_EQ(menus.mMenuTag, (ParamID)kMode);
  EXPECT_EQ(menus.mMenu.mRefs, 1) << "menu released after the popup";
  EXPECT_EQ(menus.mRefs, 2) << "only the handler reference the plug-in keeps";

  plug->setComponentHandler(&plain);
  plug->PopupHostContextMenuForParam(kMode, 1, 2); // handler without menus: nothing
  EXPECT_EQ(plain.mRefs, 2);

  plug->ResizeGraphics(300, 200);
  EXPECT_EQ(first.mResizes, 0) << "no editor attached";
  plug->AttachGraphics(new FakeGraphics);
  plug->ResizeGraphics(300, 200);
  EXPECT_EQ(first.mResizes, 1);
  EXPECT_EQ(first.mW, 300);
  EXPECT_EQ(second.mResizes, 0);

  plug->removeDependentView(&first);
  EXPECT_EQ(plug->NEditorViews(), 1);
  plug->ResizeGraphics(100, 50);
  EXPECT_EQ(second.mResizes, 1) << "the remaining view takes over";
  plug->removeDependentView(&second);
  EXPECT_EQ(plug->NEditorViews(), 0);
  plug->setComponentHandler(nullptr);
}

TEST(Vst3AdapterLifecycle, InitializeIdentifiesHostAndRestoresPresetZero)
{
  HostApplication host("REAPER v6");
  auto* plug = new TestPlug;
  plug->GetParam(kGain)->SetValue(7.);
  ASSERT_EQ(plug->initialize(&host), kResultOk);
  EXPECT_EQ(plug->GetHost(), kHostReaper);
  EXPECT_EQ(host.ExtraRefs(), 1) << "the SDK part keeps the context until terminate";
  EXPECT_EQ(plug->hostIdentified, 1);
  EXPECT_DOUBLE_EQ(plug->GetParam(kGain)->GetValue(), 0.) << "preset 0 restored";
  for (int i = 0; i < kNumTestParams; ++i) EXPECT_EQ(plug->paramChanges[i], 1) << i;

  // A second initialize fails in the SDK part but still identifies and restores.
  plug->GetParam(kGain)->SetValue(7.);
  EXPECT_EQ(plug->initialize(&host), kResultFalse);
  EXPECT_EQ(plug->hostIdentified, 2);
  EXPECT_DOUBLE_EQ(plug->GetParam(kGain)->GetValue(), 0.);
  EXPECT_EQ(plug->getParameterCount(), 2 + kNumTestParams) << "nothing registered twice";
  EXPECT_EQ(plug->getBusCount(kAudio, kInput), 1);

  plug->terminate();
  EXPECT_EQ(host.ExtraRefs(), 0);
  EXPECT_EQ(plug->release(), 0u);
}

TEST(Vst3AdapterLifecycle, BussesOfAnEffectAndOfAnInstrument)
{
  auto* fx = new TestPlug(true);
  ASSERT_EQ(fx->initialize(nullptr), kResultOk);
  BusInfo info{};
  ASSERT_EQ(fx->getBusInfo(kAudio, kInput, 0, info), kResultTrue);
  EXPECT_EQ(Narrow(info.name), "Main Input");
  EXPECT_EQ(info.channelCount, 2);
  ASSERT_EQ(fx->getBusInfo(kAudio, kOutput, 0, info), kResultTrue);
  EXPECT_EQ(Narrow(info.name), "Output");
  ASSERT_EQ(fx->getBusInfo(kEvent, kInput, 0, info), kResultTrue);
  EXPECT_EQ(Narrow(info.name), "MIDI Input");
  EXPECT_EQ(info.channelCount, 1);
  EXPECT_TRUE(fx->isTypeOf("IPluginVST3"));
  fx->terminate();
  EXPECT_EQ(fx->release(), 0u);

  auto* inst = new TestPlug(false, true, "0-4");
  ASSERT_EQ(inst->initialize(nullptr), kResultOk);
  EXPECT_EQ(inst->getBusCount(kAudio, kInput), 0);
  ASSERT_EQ(inst->getBusCount(kAudio, kOutput), 2);
  ASSERT_EQ(inst->getBusInfo(kAudio, kOutput, 1, info), kResultTrue);
  EXPECT_EQ(Narrow(info.name), "Output 2");
  EXPECT_EQ(info.channelCount, 2);
  ASSERT_EQ(inst->getParameterCount(), 1 + kNumTestParams) << "an instrument has no Bypass";
  ParameterInfo p{};
  inst->getParameterInfo(1, p);
  EXPECT_EQ(p.id, (ParamID)kGain);
  inst->terminate();
  EXPECT_EQ(inst->release(), 0u);

  // Side-chain wider than stereo is cut to 2 and starts inactive.
  auto* sc = new TestPlug(false, false, "6-2", 4);
  ASSERT_EQ(sc->initialize(nullptr), kResultOk);
  ASSERT_EQ(sc->getBusCount(kAudio, kInput), 2);
  ASSERT_EQ(sc->getBusInfo(kAudio, kInput, 1, info), kResultTrue);
  EXPECT_EQ(Narrow(info.name), "Aux Input");
  EXPECT_EQ(info.busType, kAux);
  EXPECT_EQ(info.channelCount, 2);
  EXPECT_FALSE(sc->getAudioInput(1)->isActive());
  sc->terminate();
  EXPECT_EQ(sc->release(), 0u);
}

TEST(Vst3AdapterLifecycle, SpeakerArrangementsByChannelCount)
{
  const SpeakerArrangement expected[] = {0, 0x80000, 0x3, 0x103, 0x33, 0x37, 0x633, 0x637, 0x737, 0};
  for (int n = 0; n <= 9; ++n) EXPECT_EQ(IPluginVST3::getSpeakerArrForChans(n), expected[n]) << n;
  EXPECT_EQ(IPluginVST3::getSpeakerArrForChans(-1), 0u);
}
