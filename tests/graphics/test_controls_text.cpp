// Text controls: label texts, value and name partners, captions and their prompts, URL
// zones and the file selector.
#include <string>

#include "control_fixture.h"
#include "framework/IParam.h"
#include "graphics/IControlKnobs.h"
#include "graphics/IControlText.h"

namespace
{
const IColor kBackground(255, 9, 9, 9);
}

TEST_F(ControlFixture, TextControlChangesOnlyForADifferentText)
{
  ITextControl label(&plug, IRECT(0, 0, 50, 12), nullptr, "Gain");
  EXPECT_STREQ(label.GetTextForPlug(), "Gain");
  label.SetClean();
  char same[] = "Gain";
  label.SetTextFromPlug(same);
  EXPECT_FALSE(label.GetDirtyFlag());

  char other[] = "Gain 2";
  label.SetTextFromPlug(other);
  EXPECT_TRUE(label.GetDirtyFlag());
  EXPECT_STREQ(label.GetTextForPlug(), "Gain 2");
  other[0] = 'X';
  EXPECT_STREQ(label.GetTextForPlug(), "Gain 2") << "the text is copied";

  label.SetClean();
  label.SetTextFromPlug(nullptr);
  EXPECT_TRUE(label.GetDirtyFlag());
  EXPECT_STREQ(label.GetTextForPlug(), "");
  ITextControl empty(&plug, IRECT(0, 0, 5, 5), nullptr, nullptr);
  EXPECT_STREQ(empty.GetTextForPlug(), "");
}

TEST_F(ControlFixture, TextControlCopiesTheWholeStyle)
{
  const IColor blue = COLOR_BLUE;
  IText style(14, &blue, "Courier", IText::kStyleBold, IText::kAlignFar);
  style.mCached = reinterpret_cast<Raster_IFont*>(&style);  // any marker pointer
  ITextControl label(&plug, IRECT(0, 0, 50, 12), &style, "x");
  EXPECT_EQ(label.GetText()->mSize, 14);
  EXPECT_EQ(label.GetText()->mColor, blue);
  EXPECT_STREQ(label.GetText()->mFont, "Courier");
  EXPECT_EQ(label.GetText()->mAlign, IText::kAlignFar);
  EXPECT_EQ(label.GetText()->mCached, style.mCached);
  EXPECT_EQ(label.ParamIdx(), -1);
  EXPECT_TRUE(label.mDisablePrompt);

  ITextControl plain(&plug, IRECT(0, 0, 50, 12), nullptr, "x");
  EXPECT_STREQ(plain.GetText()->mFont, "Monaco");
  EXPECT_EQ(plain.GetText()->mAlign, IText::kAlignCenter);
}

TEST_F(ControlFixture, EmptyLabelDrawsNothingAndSucceeds)
{
  ITextControl* label = new ITextControl(&plug, IRECT(0, 0, 50, 12), nullptr, "");
  gfx->AttachControl(label);
  gfx->AttachPanelBackground(&kBackground);
  Attach();
  gfx->SetDrawRECT(IRECT(0, 0, 100, 80));
  EXPECT_TRUE(label->Draw(gfx));
  PaintAll();
  EXPECT_EQ(Pixel(25, 6), kBackground.ToPixel());
}

TEST_F(ControlFixture, KnobDragUpdatesItsValueAndNameDisplays)
{
  ITextControl* value = new ITextControl(&plug, IRECT(0, 50, 50, 62), nullptr, "");
  ITextControl* name = new ITextControl(&plug, IRECT(50, 50, 100, 62), nullptr, "");
  IKnobLineControl* knob = new IKnobLineControl(&plug, IRECT(0, 0, 40, 40), kPGain, &COLOR_BLACK);
  knob->mValueDisplay = value;
  knob->mNameDisplay = name;
  gfx->AttachControl(value);
  gfx->AttachControl(name);
  gfx->AttachControl(knob);
  Attach();
  PaintAll();
  gfx->OnMouseDown(20, 20, &left);
  gfx->OnMouseDrag(20, 12, &left);  // 8 / 40 / 4 = +0.05
  gfx->OnMouseUp(20, 12, &left);
  EXPECT_STREQ(value->GetTextForPlug(), "5.50 dB");
  EXPECT_STREQ(name->GetTextForPlug(), "Gain");
  EXPECT_TRUE(value->GetDirtyFlag());
  EXPECT_TRUE(name->GetDirtyFlag());
}

TEST_F(ControlFixture, CaptionShowsTheParametersCurrentValueText)
{
  struct Case { const char* what; int param; double plain; bool showLabel; const char* want; };
  const Case cases[] = {
    {"value and label", kPGain, 5.0, true, "5.00 dB"},
    {"value only", kPGain, 7.25, false, "7.25"},
    {"empty label keeps its space", kPTrim, 3.5, true, "-3.5 "},
    {"display text, label suppressed", kPOn, 1.0, true, "on "},
    {"enum text", kPMode, 2.0, false, "C"},
  };
  for (const Case& c : cases)
  {
    GfxPlug p;
    ControlGraphics* g = new ControlGraphics(&p);
    ICaptionControl* caption = new ICaptionControl(&p, IRECT(0, 0, 80, 14), c.param, nullptr, c.showLabel);
    g->AttachControl(caption);
    p.AttachGraphics(g);
    p.GetParam(c.param)->SetValue(c.plain);
    IRECT all(0, 0, 100, 80);
    g->Draw(&all);
    EXPECT_STREQ(caption->GetTextForPlug(), c.want) << c.what;
  }
}

TEST_F(ControlFixture, CaptionWithoutAParameterDrawsNothing)
{
  ICaptionControl caption(&plug, IRECT(0, 0, 80, 14), 99, nullptr);
  gfx->SetDrawRECT(IRECT(0, 0, 100, 80));
  EXPECT_TRUE(caption.Draw(gfx));
  EXPECT_STREQ(caption.GetTextForPlug(), "");
}

TEST_F(ControlFixture, CaptionPromptsForANewValueOnceEnabled)
{
  ICaptionControl* gain = new ICaptionControl(&plug, IRECT(10, 10, 70, 24), kPGain, nullptr);
  ICaptionControl* mode = new ICaptionControl(&plug, IRECT(10, 40, 70, 54), kPMode, nullptr, false);
  gfx->AttachControl(gain);
  gfx->AttachControl(mode);
  Attach();

  Click(20, 15, left);
  gfx->OnMouseDblClick(20, 15, &left);
  EXPECT_TRUE(gfx->mEntries.empty()) << "prompts start disabled";

  gain->mDisablePrompt = false;
  mode->mDisablePrompt = false;
  Click(20, 15, left);
  ASSERT_EQ(gfx->mEntries.size(), 1u);
  EXPECT_EQ(gfx->mEntries[0].control, gain);
  EXPECT_EQ(gfx->mEntries[0].text, "5.00");
  EXPECT_EQ(gfx->mEntries[0].area, IRECT(20, 9, 60, 25));  // 40 x 16 about (40, 17)
  char typed[] = "7.5";
  gfx->SetFromStringAfterPrompt(gain, gfx->mEntries[0].param, typed);
  EXPECT_DOUBLE_EQ(gain->GetValue(), 0.75);
  EXPECT_DOUBLE_EQ(plug.GetParam(kPGain)->GetValue(), 7.5);

  gfx->OnMouseDblClick(20, 15, &left);
  EXPECT_EQ(gfx->mEntries.size(), 2u) << "a double click prompts too";
  gain->OnMouseDown(20, 15, &right);  // the core hands a VST3 right click to the host
  EXPECT_EQ(gfx->mEntries.size(), 3u);
  IMouseMod noButton;
  gain->OnMouseDown(20, 15, &noButton);
  EXPECT_EQ(gfx->mEntries.size(), 3u) << "neither button: no prompt";

  gfx->mMenuChoice = 2;
  Click(20, 45, left);
  ASSERT_EQ(gfx->mMenus.size(), 1u);
  EXPECT_EQ(gfx->mMenus[0].texts, (std::vector<std::string>{"A", "B", "C"}));
  EXPECT_EQ(gfx->mMenus[0].flags, (std::vector<int>{0, IPopupMenuItem::kItemChecked, 0}));
  EXPECT_EQ(gfx->mMenus[0].area, IRECT(10, 40, 70, 54)) << "menus open over the whole control";
  EXPECT_DOUBLE_EQ(mode->GetValue(), 1.0);
  EXPECT_EQ(plug.GetParam(kPMode)->GetInt(), 2);
}

TEST_F(ControlFixture, URLZoneOpensItsAddressOrTheBackup)
{
  struct Case { const char* what; const char* url; const char* backup; std::vector<std::string> working; std::vector<std::string> opened; };
  const Case cases[] = {
    {"main works", "https://a.example", "https://b.example", {"https://a.example"}, {"https://a.example"}},
    {"main fails", "https://a.example", "https://b.example", {}, {"https://a.example", "https://b.example"}},
    {"no main", "", "https://b.example", {}, {"https://b.example"}},
    {"null main", nullptr, "https://b.example", {"https://b.example"}, {"https://b.example"}},
    {"main fails, no backup", "https://a.example", nullptr, {}, {"https://a.example"}},
    {"nothing to open", "", "", {}, {}},
  };
  for (const Case& c : cases)
  {
    GfxPlug p;
    ControlGraphics* g = new ControlGraphics(&p);
    g->mWorkingURLs = c.working;
    g->AttachControl(new IURLControl(&p, IRECT(0, 0, 40, 10), c.url, c.backup, "Could not open"));
    p.AttachGraphics(g);
    IMouseMod mod(true);
    g->OnMouseDown(5, 5, &mod);
    std::vector<std::string> opened;
    for (const OpenedURL& u : g->mURLs)
    {
      opened.push_back(u.url);
      EXPECT_EQ(u.second, "Could not open") << c.what << ": the message rides second";
      EXPECT_TRUE(u.thirdNull && u.fourthNull) << c.what;
    }
    EXPECT_EQ(opened, c.opened) << c.what;
  }
}

TEST_F(ControlFixture, URLZoneCutsOverlongTextsAndDrawsNothing)
{
  const std::string longURL = "https://" + std::string(400, 'a');
  const std::string longMsg(2000, 'm');
  IURLControl* zone = new IURLControl(&plug, IRECT(0, 0, 40, 10), longURL.c_str(), longURL.c_str(), longMsg.c_str());
  EXPECT_EQ(std::string(zone->GetURL()), longURL.substr(0, 255));
  EXPECT_EQ(std::string(zone->GetBackupURL()), longURL.substr(0, 255));
  EXPECT_EQ(std::string(zone->GetErrMsg()), longMsg.substr(0, 1023));
  gfx->AttachControl(zone);
  gfx->AttachPanelBackground(&kBackground);
  Attach();
  PaintAll();
  EXPECT_EQ(Pixel(5, 5), kBackground.ToPixel());

  IURLControl orphan(nullptr, IRECT(0, 0, 10, 10), "https://a.example");
  orphan.OnMouseDown(1, 1, &left);  // no plug-in, no core: nothing to open with
  EXPECT_TRUE(gfx->mURLs.empty());
}

TEST_F(ControlFixture, FileSelectorRunsTheDialogAndTogglesItsValue)
{
  StripImage button(10, 10, 2);
  IFileSelectorControl* selector =
    new IFileSelectorControl(&plug, IRECT(20, 20, 30, 30), kPGain, &button.bitmap, kFileSave, "/tmp/start", "wav aif");
  gfx->AttachControl(selector);
  gfx->AttachPanelBackground(&kBackground);
  plug.GetParam(kPGain)->SetNormalized(0.0);
  Attach();
  PaintAll();
  EXPECT_EQ(Pixel(25, 25), kBackground.ToPixel()) << "idle: nothing drawn";

  int stateInDialog = -1;
  uint32_t pixelInDialog = 0;
  gfx->mOnDialog = [&] {
    stateInDialog = selector->GetState();
    PaintAll();
    pixelInDialog = Pixel(25, 25);
  };
  gfx->mChosenFile = "/tmp/start/take1.wav";
  Click(25, 25, left);
  EXPECT_EQ(gfx->mDialogs, 1);
  EXPECT_EQ(gfx->mDialogAction, kFileSave);
  EXPECT_EQ(gfx->mDialogDir, "/tmp/start");
  EXPECT_EQ(gfx->mDialogExt, "wav aif");
  EXPECT_EQ(stateInDialog, IFileSelectorControl::kFSSelecting);
  EXPECT_EQ(pixelInDialog, StripImage::PixelFor(0, 5, 5)) << "the first frame while the dialog is open";
  EXPECT_EQ(selector->GetState(), IFileSelectorControl::kFSDone);
  EXPECT_EQ(selector->GetValue(), 1.0);
  EXPECT_EQ(Informed(kPGain).back(), 1.0);
  Util_String file;
  selector->GetLastSelectedFileForPlug(&file);
  EXPECT_STREQ(file.Get(), "/tmp/start/take1.wav");

  gfx->mOnDialog = nullptr;
  PaintAll();
  EXPECT_EQ(Pixel(25, 25), kBackground.ToPixel());
  EXPECT_FALSE(selector->GetDirtyFlag());
  EXPECT_TRUE(selector->IsDirty()) << "once more after the dialog";
  EXPECT_EQ(selector->GetState(), IFileSelectorControl::kFSNone);
  EXPECT_FALSE(selector->IsDirty());

  gfx->mChosenFile = "";  // cancelled
  Click(25, 25, left);
  EXPECT_EQ(selector->GetValue(), 0.0) << "two uses return the value to where it started";
  EXPECT_EQ(Informed(kPGain).back(), 0.0);
  selector->GetLastSelectedFileForPlug(&file);
  EXPECT_STREQ(file.Get(), "/tmp/start/take1.wav") << "a cancelled dialog keeps the last file";

  selector->SetLastSelectedFileFromPlug("/x/y.aif");
  selector->GetLastSelectedFileForPlug(&file);
  EXPECT_STREQ(file.Get(), "/x/y.aif");
  selector->SetLastSelectedFileFromPlug(nullptr);
  selector->GetLastSelectedFileForPlug(&file);
  EXPECT_STREQ(file.Get(), "");
}

TEST_F(ControlFixture, FileSelectorWithoutAGraphicsCoreDoesNothing)
{
  GfxPlug bare;
  StripImage button(10, 10, 1);
  IFileSelectorControl selector(&bare, IRECT(0, 0, 10, 10), kPGain, &button.bitmap, kFileOpen);
  selector.SetClean();
  selector.OnMouseDown(5, 5, &left);
  EXPECT_EQ(selector.GetValue(), 0.0);
  EXPECT_EQ(selector.GetState(), IFileSelectorControl::kFSNone);
  EXPECT_FALSE(selector.IsDirty());
  IFileSelectorControl orphan(nullptr, IRECT(0, 0, 10, 10), -1, nullptr, kFileOpen, nullptr, nullptr);
  orphan.OnMouseDown(5, 5, &left);
  EXPECT_EQ(orphan.GetValue(), 0.0);
}
