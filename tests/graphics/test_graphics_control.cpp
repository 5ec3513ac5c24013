// The control base: value model, clamping, dirty/redraw, hide and grey, auxiliary links,
// display partners, double-click default and prompts.
#include "graphics_fixture.h"

#include <atomic>
#include <cmath>
#include <thread>

using ControlTest = GfxFixture;

TEST_F(ControlTest, ConstructedState)
{
  ProbeControl c(&plug, IRECT(1, 2, 3, 4), kPGain);
  EXPECT_EQ(c.mEntryMaxLength, 7);
  EXPECT_STREQ(c.GetText()->mFont, "Monaco");
  EXPECT_EQ(*c.GetRECT(), IRECT(1, 2, 3, 4));
  EXPECT_EQ(*c.GetTargetRECT(), IRECT(1, 2, 3, 4));
  EXPECT_EQ(c.ParamIdx(), kPGain);
  EXPECT_EQ(c.NAuxParams(), 0);
  EXPECT_EQ(c.GetValue(), 0.0);
  EXPECT_EQ(c.GetDefaultValue(), -1.0);
  EXPECT_EQ(c.GetClampLo(), 0.0);
  EXPECT_EQ(c.GetClampHi(), 1.0);
  EXPECT_TRUE(c.IsDirty());
  EXPECT_FALSE(c.IsHidden());
  EXPECT_FALSE(c.IsGrayed());
  EXPECT_FALSE(c.GetRedraw());
  EXPECT_TRUE(c.mDisablePrompt);
  EXPECT_FALSE(c.mDoubleClickAsClick);
  EXPECT_FALSE(c.mMouseOverWhenGreyed);
  EXPECT_EQ(c.GetBlend()->mMethod, IChannelBlend::kBlendCopy);
  EXPECT_FLOAT_EQ(c.GetBlend()->mWeight, 1.0f);
  EXPECT_EQ(c.mValueDisplay, nullptr);
  EXPECT_EQ(c.mNameDisplay, nullptr);
  EXPECT_STREQ(c.GetTooltip(), "");
}

TEST_F(ControlTest, FirstPlugValueBecomesTheDefaultAndDoubleClickRestoresIt)
{
  ProbeControl c(&plug, IRECT(0, 0, 10, 10), kPGain);
  c.SetClean();
  c.SetValueFromPlug(0.3);
  EXPECT_EQ(c.GetValue(), 0.3);
  EXPECT_EQ(c.GetDefaultValue(), 0.3);
  EXPECT_FALSE(c.IsDirty());  // the first value marks nothing
  EXPECT_TRUE(plug.mEvents.empty());

  c.SetValueFromPlug(0.8);  // later values mark dirty but never echo to the host
  EXPECT_EQ(c.GetValue(), 0.8);
  EXPECT_TRUE(c.IsDirty());
  EXPECT_TRUE(c.GetRedraw());
  EXPECT_TRUE(plug.mEvents.empty());

  IMouseMod none;
  c.OnMouseDblClick(5, 5, &none);
  EXPECT_EQ(c.GetValue(), 0.3);
  ASSERT_GE(plug.Count("Inform"), 1);
  EXPECT_NEAR(plug.GetParam(kPGain)->GetValue(), 3.0, 1e-9);
}

TEST_F(ControlTest, DoubleClickWithoutDefaultChangesNothing)
{
  ProbeControl c(&plug, IRECT(0, 0, 10, 10), kPGain);
  c.SetValue(0.4);
  c.SetClean();
  IMouseMod none;
  c.OnMouseDblClick(1, 1, &none);
  EXPECT_EQ(c.GetValue(), 0.4);
  EXPECT_FALSE(c.IsDirty());
  EXPECT_TRUE(plug.mEvents.empty());
}

TEST_F(ControlTest, EqualPlugValueChangesNothing)
{
  ProbeControl c(&plug, IRECT(0, 0, 10, 10), kPGain);
  c.SetValueFromPlug(0.5);
  c.SetClean();
  c.SetValueFromPlug(0.5);
  EXPECT_FALSE(c.IsDirty());
  EXPECT_FALSE(c.GetRedraw());
}

TEST_F(ControlTest, SetDirtyClampsAndPushesOnlyWhenAsked)
{
  ProbeControl c(&plug, IRECT(0, 0, 10, 10), kPGain);
  struct Case { double lo, hi, value, expect; };
  const Case cases[] = {{0, 1, 1.7, 1.0}, {0, 1, -0.2, 0.0}, {0.2, 0.6, 0.1, 0.2}, {0.2, 0.6, 0.9, 0.6},
                        {0.2, 0.6, 0.4, 0.4}, {0, 1, std::nan(""), 1.0}};
  for (const Case& k : cases)
  {
    c.Clamp(k.lo, k.hi);
    c.SetValue(k.value);
    c.SetDirty(false);
    EXPECT_EQ(c.GetValue(), k.expect) << k.value;
  }
  EXPECT_TRUE(plug.mEvents.empty());

  c.Clamp(0, 1);
  c.SetValue(0.25);
  c.SetDirty(true);
  ASSERT_EQ(plug.EventNames(), (std::vector<std::string>{"Inform", "OnParamChange"}));
  EXPECT_EQ(plug.mEvents[0].idx, kPGain);
  EXPECT_DOUBLE_EQ(plug.mEvents[0].value, 0.25);
  EXPECT_NEAR(plug.GetParam(kPGain)->GetValue(), 2.5, 1e-9);

  ProbeControl unlinked(&plug, IRECT(0, 0, 10, 10));
  unlinked.SetDirty(true);  // no parameter: nothing to push
  EXPECT_EQ(plug.mEvents.size(), 2u);
}

TEST_F(ControlTest, SetCleanKeepsARequestedRedrawForOneMoreCycle)
{
  ProbeControl c(&plug, IRECT(0, 0, 10, 10));
  EXPECT_TRUE(c.IsDirty());
  c.SetClean();
  EXPECT_FALSE(c.IsDirty());
  c.SetRedraw(true);
  c.SetClean();
  EXPECT_TRUE(c.IsDirty());
  EXPECT_FALSE(c.GetRedraw());
  c.SetClean();
  EXPECT_FALSE(c.IsDirty());
}

TEST_F(ControlTest, HideAndGrayOut)
{
  ProbeControl c(&plug, IRECT(0, 0, 10, 10));
  c.SetClean();
  c.Hide(true);
  EXPECT_TRUE(c.IsHidden());
  EXPECT_TRUE(c.IsDirty());
  EXPECT_TRUE(c.GetRedraw());
  c.Hide(false);
  EXPECT_FALSE(c.IsHidden());

  c.GetBlend()->mWeight = 0.6f;
  c.SetClean();
  c.GrayOut(true);
  EXPECT_TRUE(c.IsGrayed());
  EXPECT_FLOAT_EQ(c.GetBlend()->mWeight, 0.25f);
  EXPECT_TRUE(c.IsDirty());
  c.GrayOut(false);
  EXPECT_FALSE(c.IsGrayed());
  EXPECT_EQ(c.GetBlend()->mWeight, 1.0f);  // exactly 1, not what it was before
}

TEST_F(ControlTest, IsHitUsesTheTargetRect)
{
  ProbeControl c(&plug, IRECT(0, 0, 10, 10));
  c.SetTargetRECT(IRECT(20, 20, 30, 30));
  EXPECT_FALSE(c.IsHit(5, 5));
  EXPECT_TRUE(c.IsHit(25, 25));
}

TEST_F(ControlTest, AuxiliaryLinks)
{
  ProbeControl c(&plug, IRECT(0, 0, 10, 10));
  ASSERT_TRUE(c.AddAuxParam(kPMode));
  ASSERT_TRUE(c.AddAuxParam(kPGain));
  ASSERT_TRUE(c.AddAuxParam(kPMode));
  EXPECT_EQ(c.NAuxParams(), 3);
  EXPECT_EQ(c.AuxParamIdx(kPMode), 0);
  EXPECT_EQ(c.AuxParamIdx(kPGain), 1);
  EXPECT_EQ(c.AuxParamIdx(kPTrim), -1);
  EXPECT_EQ(c.GetAuxParam(7), nullptr);

  c.SetClean();
  c.SetAuxParamValueFromPlug(1, 0.7);
  EXPECT_EQ(c.GetAuxParam(1)->GetValue(), 0.7);
  EXPECT_TRUE(c.IsDirty());
  EXPECT_TRUE(c.GetRedraw());
  c.SetClean();
  c.SetClean();
  c.SetAuxParamValueFromPlug(1, 0.7);  // unchanged
  EXPECT_FALSE(c.IsDirty());
  c.SetAuxParamValueFromPlug(9, 0.1);  // no such link
  EXPECT_FALSE(c.IsDirty());

  c.GetAuxParam(0)->SetValue(0.5);
  c.SetAllAuxParamsFromGUI();
  std::vector<int> informed;
  for (const PlugEvent& e : plug.mEvents)
    if (e.what == "Inform") informed.push_back(e.idx);
  EXPECT_EQ(informed, (std::vector<int>{kPMode, kPGain, kPMode}));
  EXPECT_NEAR(plug.GetParam(kPGain)->GetValue(), 7.0, 1e-9);
}

TEST_F(ControlTest, DisplayPartnersShowValueAndName)
{
  ProbeControl valueText(&plug, IRECT(0, 20, 40, 30));
  ProbeControl nameText(&plug, IRECT(0, 30, 40, 40));
  ProbeControl knob(&plug, IRECT(0, 0, 10, 10), kPGain);
  knob.mValueDisplay = &valueText;
  knob.mNameDisplay = &nameText;
  valueText.SetClean();
  nameText.SetClean();

  knob.SetValue(0.5);
  knob.SetDirty(false);  // no push: partners untouched
  EXPECT_EQ(valueText.mStr, "");

  knob.SetDirty(true);
  char display[kParamDisplayMax];
  plug.GetParam(kPGain)->GetDisplayForHost(display);
  EXPECT_EQ(valueText.mStr, std::string(display) + " dB");
  EXPECT_EQ(nameText.mStr, "Gain");
  EXPECT_TRUE(valueText.IsDirty());
  EXPECT_TRUE(nameText.IsDirty());

  valueText.SetClean();
  nameText.SetClean();
  knob.SetDirty(true);  // same texts: partners stay clean
  EXPECT_FALSE(valueText.IsDirty());
  EXPECT_FALSE(nameText.IsDirty());
}

TEST_F(ControlTest, PromptsNeedAParameterAndEnabledPrompts)
{
  ProbeControl* gain = new ProbeControl(&plug, IRECT(10, 20, 51, 40), kPGain);
  ProbeControl* mode = new ProbeControl(&plug, IRECT(60, 0, 90, 10), kPMode);
  ProbeControl* none = new ProbeControl(&plug, IRECT(0, 50, 10, 60));
  gfx->AttachControl(gain);
  gfx->AttachControl(mode);
  gfx->AttachControl(none);
  Attach();

  gain->SetClean();
  gain->PromptUserInput();  // prompts disabled by default
  EXPECT_TRUE(gfx->mEntries.empty());
  EXPECT_FALSE(gain->GetRedraw());

  gain->mDisablePrompt = false;
  gain->PromptUserInput();
  ASSERT_EQ(gfx->mEntries.size(), 1u);
  // 40 x 16 centred on (30, 30): int(61 * 0.5) = 30.
  EXPECT_EQ(gfx->mEntries[0].area, IRECT(10, 22, 50, 38));
  EXPECT_TRUE(gain->GetRedraw());

  mode->mDisablePrompt = false;
  mode->PromptUserInput();  // display texts: a menu over the control itself
  ASSERT_EQ(gfx->mMenus.size(), 1u);
  EXPECT_EQ(gfx->mMenus[0].area, IRECT(60, 0, 90, 10));

  IRECT area(1, 2, 3, 4);
  mode->PromptUserInput(&area);
  ASSERT_EQ(gfx->mMenus.size(), 2u);
  EXPECT_EQ(gfx->mMenus[1].area, area);

  none->mDisablePrompt = false;
  none->PromptUserInput();
  EXPECT_EQ(gfx->mEntries.size(), 1u);
  EXPECT_EQ(gfx->mMenus.size(), 2u);

  // A right press on a control prompts (here straight to the control: the core would hand
  // a VST3 host its own menu).
  IMouseMod right(false, true);
  gain->IControl::OnMouseDown(0, 0, &right);
  EXPECT_EQ(gfx->mEntries.size(), 2u);
}

// The plug-in side writes values and flags while the UI thread paints; run under the
// ThreadSanitizer build this shows the lock-free sharing is race-free.
TEST_F(ControlTest, PlugSideUpdatesWhileTheUIThreadPaints)
{
  ProbeControl* c = new ProbeControl(&plug, IRECT(0, 0, 10, 10), kPGain);
  c->AddAuxParam(kPMode);
  gfx->AttachControl(c);
  Attach();

  std::atomic<bool> go{false}, done{false};
  std::thread audio([&] {
    while (!go) std::this_thread::yield();  // start once the UI thread is painting
    for (int i = 0; i <= 2000; ++i)
    {
      Util_MutexLock lock(plug.GetMutex());
      gfx->SetParameterFromPlug(kPGain, (i % 100) / 100.0, true);
      gfx->SetParameterFromPlug(kPMode, (i % 3) / 2.0, true);
    }
    gfx->SetParameterFromPlug(kPGain, 0.77, true);
    done = true;
  });
  go = true;
  while (!done)
  {
    IRECT r;
    if (gfx->IsDirty(&r)) gfx->Draw(&r);
  }
  audio.join();
  EXPECT_EQ(c->GetValue(), 0.77);
  EXPECT_EQ(c->GetAuxParam(0)->GetValue(), (2000 % 3) / 2.0);
}
