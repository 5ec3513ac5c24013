// Value prompts: menus for enumerated and labelled boolean parameters, text entries for the
// rest, and the typed text turned back into a value.
#include "graphics_fixture.h"

struct PromptTest : GfxFixture
{
  ProbeControl* control = nullptr;
  void SetUp() override
  {
    control = new ProbeControl(&plug, IRECT(10, 10, 30, 30), kPMode);
    gfx->AttachControl(control);
    Attach();
    plug.mEvents.clear();
  }
};

TEST_F(PromptTest, EnumGetsAMenuWithTheCurrentItemChecked)
{
  IParam* mode = plug.GetParam(kPMode);  // value 1: "B"
  IRECT area(1, 2, 3, 4);
  gfx->mMenuChoice = 2;
  gfx->PromptUserInput(control, mode, &area);
  ASSERT_EQ(gfx->mMenus.size(), 1u);
  EXPECT_EQ(gfx->mMenus[0].texts, (std::vector<std::string>{"A", "B", "C"}));
  EXPECT_EQ(gfx->mMenus[0].flags, (std::vector<int>{0, IPopupMenuItem::kItemChecked, 0}));
  EXPECT_EQ(gfx->mMenus[0].area, area);
  EXPECT_TRUE(gfx->mEntries.empty());
  // Choosing item 2 sets the normalised value of 2 and pushes it.
  EXPECT_EQ(control->GetValue(), 1.0);
  EXPECT_EQ(mode->GetValue(), 2.0);
  EXPECT_GE(plug.Count("Inform"), 1);
}

TEST_F(PromptTest, ACancelledMenuChangesNothing)
{
  IRECT area(1, 2, 3, 4);
  control->SetValue(0.5);
  gfx->mMenuChoice = -1;
  gfx->PromptUserInput(control, plug.GetParam(kPMode), &area);
  EXPECT_EQ(gfx->mMenus.size(), 1u);
  EXPECT_EQ(control->GetValue(), 0.5);
  EXPECT_TRUE(plug.mEvents.empty());
}

TEST_F(PromptTest, BoolWithDisplayTextsGetsAMenu)
{
  IRECT area(1, 2, 3, 4);
  gfx->mMenuChoice = 1;
  gfx->PromptUserInput(control, plug.GetParam(kPOn), &area);
  ASSERT_EQ(gfx->mMenus.size(), 1u);
  EXPECT_EQ(gfx->mMenus[0].texts, (std::vector<std::string>{"off", "on"}));
  EXPECT_EQ(gfx->mMenus[0].flags, (std::vector<int>{IPopupMenuItem::kItemChecked, 0}));
  EXPECT_EQ(control->GetValue(), 1.0);
}

TEST_F(PromptTest, DoublesGetATextEntryWithTheValueText)
{
  IParam* gain = plug.GetParam(kPGain);
  IRECT area(5, 6, 45, 22);
  gfx->PromptUserInput(control, gain, &area);
  EXPECT_TRUE(gfx->mMenus.empty());
  ASSERT_EQ(gfx->mEntries.size(), 1u);
  char expected[kParamDisplayMax];
  gain->GetDisplayForHost(gain->GetValue(), false, expected, false);
  EXPECT_EQ(gfx->mEntries[0].text, expected);
  EXPECT_EQ(gfx->mEntries[0].param, gain);
  EXPECT_EQ(gfx->mEntries[0].control, control);
  EXPECT_EQ(gfx->mEntries[0].area, area);
}

TEST_F(PromptTest, NullArgumentsDoNothing)
{
  IRECT area(1, 2, 3, 4);
  gfx->PromptUserInput(nullptr, plug.GetParam(kPGain), &area);
  gfx->PromptUserInput(control, nullptr, &area);
  gfx->PromptUserInput(control, plug.GetParam(kPGain), nullptr);
  EXPECT_TRUE(gfx->mMenus.empty());
  EXPECT_TRUE(gfx->mEntries.empty());
}

TEST_F(PromptTest, TextAfterThePromptBecomesTheValue)
{
  struct Case { int param; const char* text; double normalized; };
  const Case cases[] = {
    {kPGain, "7.5", 0.75},  {kPGain, "12", 1.0},  {kPGain, "abc", 0.0},
    {kPTrim, "-3", 0.65},   // shown negated: typed -3 means +3
    {kPMode, "C", 1.0},     {kPMode, "A", 0.0},   {kPMode, "nope", 0.0},
    {kPOn, "on", 1.0},
  };
  for (const Case& k : cases)
  {
    control->SetValue(0.123);
    char text[32];
    std::snprintf(text, sizeof(text), "%s", k.text);
    gfx->SetFromStringAfterPrompt(control, plug.GetParam(k.param), text);
    EXPECT_NEAR(control->GetValue(), k.normalized, 1e-12) << k.param << " " << k.text;
  }
}

TEST_F(PromptTest, UnusableTextIsIgnored)
{
  control->SetValue(0.4);
  char nan[] = "nan", inf[] = "-inf";
  gfx->SetFromStringAfterPrompt(control, plug.GetParam(kPGain), nan);
  gfx->SetFromStringAfterPrompt(control, plug.GetParam(kPGain), inf);
  gfx->SetFromStringAfterPrompt(control, nullptr, nan);
  EXPECT_EQ(control->GetValue(), 0.4);
  EXPECT_TRUE(plug.mEvents.empty());
}

TEST_F(PromptTest, ParameterLinksReachOnlyLinkedControls)
{
  ProbeControl* other = new ProbeControl(&plug, IRECT(40, 10, 60, 30), kPGain);
  ProbeControl* aux = new ProbeControl(&plug, IRECT(40, 40, 60, 60));
  aux->AddAuxParam(kPMode);
  gfx->AttachControl(other);
  gfx->AttachControl(aux);

  gfx->SetParameterFromPlug(kPMode, 1.0, false);  // plain 1 of 0 ... 2
  EXPECT_EQ(control->GetValue(), 0.5);
  EXPECT_EQ(aux->GetAuxParam(0)->GetValue(), 0.5);
  EXPECT_EQ(other->GetDefaultValue(), -1.0);  // untouched

  gfx->SetControlFromPlug(1, 0.25);
  EXPECT_EQ(other->GetValue(), 0.25);
  gfx->SetControlFromPlug(99, 0.5);  // ignored

  gfx->SetParameterFromGUI(kPGain, 0.9);
  EXPECT_EQ(other->GetValue(), 0.9);
  EXPECT_EQ(control->GetValue(), 0.5);

  gfx->ClampControl(kPGain, 2.0, 4.0, false);
  EXPECT_DOUBLE_EQ(other->GetClampLo(), 0.2);
  EXPECT_DOUBLE_EQ(other->GetClampHi(), 0.4);
  other->SetDirty(false);
  EXPECT_DOUBLE_EQ(other->GetValue(), 0.4);

  gfx->HideControl(kPGain, true);
  gfx->GrayOutControl(kPMode, true);
  EXPECT_TRUE(other->IsHidden());
  EXPECT_FALSE(control->IsHidden());
  EXPECT_TRUE(control->IsGrayed());
  EXPECT_FALSE(aux->IsGrayed());  // auxiliary links are not visited

  gfx->AssignParamNameToolTips();
  EXPECT_STREQ(other->GetTooltip(), "Gain");
  EXPECT_STREQ(control->GetTooltip(), "Mode");
  EXPECT_STREQ(aux->GetTooltip(), "");

  for (int i = 0; i < 3; ++i) gfx->GetControl(i)->SetClean();
  gfx->SetAllControlsDirty();
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(gfx->GetControl(i)->IsDirty()) << i;
}
