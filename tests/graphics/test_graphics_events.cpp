// Event dispatch: hit testing order, capture, the host's edit bracket and parameter menu,
// greyed and hidden controls, drags, wheel, keys, mouse-over and automation look-up.
#include "graphics_fixture.h"

using EventTest = GfxFixture;

TEST_F(EventTest, BackgroundInsertionShiftsIndices)
{
  EXPECT_EQ(gfx->AttachControl(new ProbeControl(&plug, IRECT(0, 0, 10, 10))), 0);
  EXPECT_EQ(gfx->AttachControl(new ProbeControl(&plug, IRECT(10, 0, 20, 10))), 1);
  IControl* first = gfx->GetControl(0);
  IControl* second = gfx->GetControl(1);
  gfx->AttachPanelBackground(&COLOR_BLUE);
  ASSERT_EQ(gfx->NControls(), 3);
  EXPECT_EQ(gfx->GetControl(1), first);
  EXPECT_EQ(gfx->GetControl(2), second);
  EXPECT_EQ(*gfx->GetControl(0)->GetRECT(), IRECT(0, 0, 100, 80));
  EXPECT_EQ(gfx->GetControl(0)->ParamIdx(), -1);

  gfx->AttachBackground(4242, "missing.png");  // no image: still a background, editor-sized
  ASSERT_EQ(gfx->NControls(), 4);
  EXPECT_EQ(gfx->GetControl(2), first);
  EXPECT_EQ(*gfx->GetControl(0)->GetRECT(), IRECT(0, 0, 100, 80));
  EXPECT_EQ(gfx->GetControl(0)->GetBlend()->mMethod, IChannelBlend::kBlendCopy);
  EXPECT_EQ(gfx->AttachControl(nullptr), -1);
}

TEST_F(EventTest, LaterControlWinsAnOverlapAndTheBackgroundIsTriedLast)
{
  gfx->AttachPanelBackground(&COLOR_BLACK);
  gfx->AttachControl(new ProbeControl(&plug, IRECT(0, 0, 30, 30)));
  gfx->AttachControl(new ProbeControl(&plug, IRECT(20, 20, 50, 50)));
  Attach();
  EXPECT_EQ(gfx->GetMouseControlIdx(25, 25), 2);
  EXPECT_EQ(gfx->GetMouseControlIdx(5, 5), 1);
  EXPECT_EQ(gfx->GetMouseControlIdx(70, 70), 0);
  EXPECT_EQ(gfx->GetMouseControlIdx(500, 500), -1);

  IMouseMod left(true);
  gfx->OnMouseDown(25, 25, &left);
  EXPECT_TRUE(Probe(2)->Saw("down"));
  EXPECT_FALSE(Probe(1)->Saw("down"));
  EXPECT_EQ(gfx->GetMouseCapture(), 2);
  EXPECT_EQ(gfx->GetMouseControlIdx(5, 5), 2);  // captured wins everywhere
  gfx->OnMouseUp(5, 5, &left);                   // release goes to the captured control
  EXPECT_TRUE(Probe(2)->Saw("up"));
  EXPECT_FALSE(Probe(1)->Saw("up"));
  EXPECT_EQ(gfx->GetMouseCapture(), -1);
  EXPECT_EQ(gfx->GetMouseX(), -1);
}

TEST_F(EventTest, PressAndReleaseBracketTheParameterEdit)
{
  gfx->AttachControl(new ProbeControl(&plug, IRECT(0, 0, 30, 30), kPGain));
  gfx->AttachControl(new ProbeControl(&plug, IRECT(40, 0, 60, 30)));
  Attach();
  plug.mEvents.clear();
  IMouseMod left(true);
  gfx->OnMouseDown(5, 5, &left);
  gfx->OnMouseUp(5, 5, &left);
  EXPECT_EQ(plug.EventNames(), (std::vector<std::string>{"Begin", "End"}));
  EXPECT_EQ(Probe(0)->mLog, (std::vector<std::string>{"down@5,5", "up@5,5"}));

  plug.mEvents.clear();
  gfx->OnMouseDown(45, 5, &left);  // no parameter: no bracket
  gfx->OnMouseUp(45, 5, &left);
  EXPECT_TRUE(plug.mEvents.empty());
  EXPECT_TRUE(Probe(1)->Saw("up"));

  gfx->OnMouseDown(200, 200, nullptr);  // nothing there, and no modifiers given
  EXPECT_EQ(gfx->GetMouseCapture(), -1);
}

TEST_F(EventTest, RightClickOpensTheHostMenuAndTheReleaseStillEnds)
{
  gfx->AttachControl(new ProbeControl(&plug, IRECT(0, 0, 30, 30), kPGain));
  gfx->AttachControl(new ProbeControl(&plug, IRECT(40, 0, 60, 30)));
  Attach();
  plug.mEvents.clear();
  IMouseMod right(true, true);  // a Command-click arrives as L and R
  gfx->OnMouseDown(7, 9, &right);
  ASSERT_EQ(plug.EventNames(), (std::vector<std::string>{"HostMenu"}));
  EXPECT_EQ(plug.mEvents[0].idx, kPGain);
  EXPECT_EQ(plug.mEvents[0].value, 7 * 1000 + 9);
  EXPECT_FALSE(Probe(0)->Saw("down"));
  EXPECT_EQ(gfx->GetMouseCapture(), -1);

  gfx->OnMouseUp(7, 9, &right);
  EXPECT_TRUE(Probe(0)->Saw("up"));
  EXPECT_EQ(plug.EventNames(), (std::vector<std::string>{"HostMenu", "End"}));

  // Without a parameter the control gets the right press itself.
  plug.mEvents.clear();
  gfx->OnMouseDown(45, 5, &right);
  EXPECT_TRUE(Probe(1)->Saw("down"));
  EXPECT_TRUE(Probe(1)->mLastMod.R);
  EXPECT_TRUE(plug.mEvents.empty());
}

TEST_F(EventTest, GreyedControlsTakeNoClicksWheelOrKeys)
{
  gfx->AttachPanelBackground(&COLOR_BLACK);
  gfx->AttachControl(new ProbeControl(&plug, IRECT(0, 0, 40, 40)));  // below
  gfx->AttachControl(new ProbeControl(&plug, IRECT(10, 10, 30, 30)));  // greyed, on top
  Attach();
  gfx->GetControl(2)->GrayOut(true);
  gfx->mHandleMouseOver = true;
  IMouseMod left(true);

  gfx->OnMouseDown(15, 15, &left);
  gfx->OnMouseUp(15, 15, &left);
  gfx->OnMouseWheel(15, 15, &left, 3);
  EXPECT_TRUE(gfx->OnKeyDown(15, 15, KEY_SPACE));
  EXPECT_FALSE(gfx->OnMouseDblClick(15, 15, &left));
  EXPECT_TRUE(Probe(2)->mLog.empty());
  for (const char* what : {"down", "up", "wheel", "key", "dbl"}) EXPECT_TRUE(Probe(1)->Saw(what)) << what;

  // Mouse-over passes through too, unless the greyed control asks for it.
  EXPECT_TRUE(gfx->OnMouseOver(15, 15, &left));
  EXPECT_FALSE(Probe(2)->Saw("over"));
  EXPECT_TRUE(Probe(1)->Saw("over"));
  EXPECT_EQ(gfx->GetMouseOver(), 1);
  EXPECT_EQ(gfx->GetMouseControlIdx(15, 15, true), 1);

  gfx->GetControl(2)->mMouseOverWhenGreyed = true;
  EXPECT_EQ(gfx->GetMouseControlIdx(15, 15, true), 2);
  EXPECT_EQ(gfx->GetMouseControlIdx(15, 15, false), 1);
  gfx->OnMouseOver(16, 16, &left);
  EXPECT_TRUE(Probe(2)->Saw("over"));
  EXPECT_TRUE(Probe(1)->Saw("out"));  // the previous mouse-over control is told
  EXPECT_EQ(gfx->GetMouseOver(), 2);

  // Clicks still skip it.
  Probe(1)->mLog.clear();
  gfx->OnMouseDown(15, 15, &left);
  EXPECT_TRUE(Probe(1)->Saw("down"));
  EXPECT_FALSE(Probe(2)->Saw("down"));
}

TEST_F(EventTest, HiddenControlsAreNeverHit)
{
  gfx->AttachControl(new ProbeControl(&plug, IRECT(0, 0, 40, 40)));
  gfx->AttachControl(new ProbeControl(&plug, IRECT(0, 0, 40, 40)));
  Attach();
  gfx->GetControl(1)->Hide(true);
  gfx->mHandleMouseOver = true;
  gfx->GetControl(1)->mMouseOverWhenGreyed = true;
  EXPECT_EQ(gfx->GetMouseControlIdx(5, 5), 0);
  EXPECT_EQ(gfx->GetMouseControlIdx(5, 5, true), 0);
}

TEST_F(EventTest, DragsAtTheSamePositionAreDropped)
{
  gfx->AttachControl(new ProbeControl(&plug, IRECT(0, 0, 40, 40)));
  Attach();
  IMouseMod left(true);
  gfx->OnMouseDrag(10, 10, &left);  // no capture: nothing
  EXPECT_FALSE(Probe(0)->Saw("drag"));

  gfx->OnMouseDown(10, 10, &left);
  gfx->OnMouseDrag(10, 10, &left);
  EXPECT_FALSE(Probe(0)->Saw("drag"));
  gfx->OnMouseDrag(13, 6, &left);
  EXPECT_TRUE(Probe(0)->Saw("drag"));
  EXPECT_EQ(Probe(0)->mDX, 3);
  EXPECT_EQ(Probe(0)->mDY, -4);
  gfx->OnMouseDrag(13, 6, &left);
  gfx->OnMouseDrag(60, 90, &left);  // outside the control: still the captured one
  EXPECT_EQ(Probe(0)->mLog, (std::vector<std::string>{"down@10,10", "drag@13,6", "drag@60,90"}));
  EXPECT_EQ(Probe(0)->mDX, 47);
  gfx->OnMouseUp(60, 90, &left);
  gfx->OnMouseDrag(61, 91, &left);
  EXPECT_EQ(Probe(0)->mLog.size(), 4u);
}

TEST_F(EventTest, DoubleClicks)
{
  gfx->AttachControl(new ProbeControl(&plug, IRECT(0, 0, 30, 30), kPGain));
  gfx->AttachControl(new ProbeControl(&plug, IRECT(40, 0, 60, 30), kPMode));
  Attach();
  Probe(1)->mDoubleClickAsClick = true;
  plug.mEvents.clear();
  IMouseMod left(true);

  EXPECT_FALSE(gfx->OnMouseDblClick(5, 5, &left));
  EXPECT_TRUE(Probe(0)->Saw("dbl"));
  EXPECT_EQ(gfx->GetMouseCapture(), -1);

  EXPECT_TRUE(gfx->OnMouseDblClick(45, 5, &left));  // as a click: captured, no Begin
  EXPECT_TRUE(Probe(1)->Saw("down"));
  EXPECT_FALSE(Probe(1)->Saw("dbl"));
  EXPECT_EQ(gfx->GetMouseCapture(), 1);
  EXPECT_EQ(plug.Count("Begin"), 0);
  EXPECT_FALSE(gfx->OnMouseDblClick(500, 5, &left));
}

TEST_F(EventTest, WheelGoesToTheCapturedElseTheHitControl)
{
  gfx->AttachControl(new ProbeControl(&plug, IRECT(0, 0, 30, 30)));
  gfx->AttachControl(new ProbeControl(&plug, IRECT(40, 0, 60, 30)));
  Attach();
  IMouseMod none;
  gfx->OnMouseWheel(45, 5, &none, -2);
  EXPECT_EQ(Probe(1)->mWheel, -2);
  gfx->OnMouseDown(5, 5, &none);
  gfx->OnMouseWheel(45, 5, &none, 4);
  EXPECT_EQ(Probe(0)->mWheel, 4);
  EXPECT_EQ(Probe(1)->mWheel, -2);
  gfx->OnMouseUp(5, 5, &none);
  gfx->OnMouseWheel(300, 300, &none, 1);  // nobody there
  EXPECT_EQ(Probe(0)->mWheel, 4);
}

TEST_F(EventTest, KeysSkipTheBackgroundForTheKeyCatcher)
{
  gfx->AttachPanelBackground(&COLOR_BLACK);
  gfx->AttachControl(new ProbeControl(&plug, IRECT(0, 0, 30, 30)));
  Attach();
  Probe(1)->mTakesKeys = false;

  EXPECT_FALSE(gfx->OnKeyDown(5, 5, KEY_ALPHA_A));  // the control's own answer
  EXPECT_EQ(Probe(1)->mKey, KEY_ALPHA_A);
  EXPECT_FALSE(gfx->OnKeyDown(70, 70, KEY_UPARROW));  // background, no catcher

  ProbeControl* catcher = new ProbeControl(&plug, IRECT());
  gfx->AttachKeyCatcher(catcher);
  EXPECT_TRUE(gfx->OnKeyDown(70, 70, KEY_DIGIT_0));
  EXPECT_EQ(catcher->mKey, KEY_DIGIT_0);
  EXPECT_TRUE(gfx->OnKeyDown(300, 300, KEY_SPACE));  // nothing at all under the point
  EXPECT_EQ(catcher->mKey, KEY_SPACE);
  EXPECT_FALSE(gfx->OnKeyDown(5, 5, KEY_ALPHA_Z));   // the control still answers first
  EXPECT_EQ(catcher->mKey, KEY_SPACE);
}

TEST_F(EventTest, MouseOverNeedsTheFlagAndMouseOutTellsEveryone)
{
  gfx->AttachControl(new ProbeControl(&plug, IRECT(0, 0, 30, 30)));
  gfx->AttachControl(new ProbeControl(&plug, IRECT(40, 0, 60, 30)));
  Attach();
  IMouseMod none;
  EXPECT_FALSE(gfx->OnMouseOver(5, 5, &none));
  EXPECT_TRUE(Probe(0)->mLog.empty());

  gfx->mHandleMouseOver = true;
  EXPECT_TRUE(gfx->OnMouseOver(5, 5, &none));
  EXPECT_EQ(gfx->GetMouseOver(), 0);
  EXPECT_TRUE(gfx->OnMouseOver(200, 200, &none));  // no target: nothing changes
  EXPECT_EQ(gfx->GetMouseOver(), 0);
  EXPECT_FALSE(Probe(0)->Saw("out"));
  gfx->OnMouseOver(45, 5, &none);
  EXPECT_TRUE(Probe(0)->Saw("out"));
  EXPECT_EQ(gfx->GetMouseOver(), 1);

  Probe(0)->mLog.clear();
  Probe(1)->mLog.clear();
  gfx->OnMouseOut();
  EXPECT_TRUE(Probe(0)->Saw("out"));
  EXPECT_TRUE(Probe(1)->Saw("out"));
  EXPECT_EQ(gfx->GetMouseOver(), -1);
}

TEST_F(EventTest, AutomationLookUp)
{
  gfx->AttachPanelBackground(&COLOR_BLACK);
  gfx->AttachControl(new ProbeControl(&plug, IRECT(0, 0, 30, 30), kPTrim));
  gfx->AttachControl(new ProbeControl(&plug, IRECT(40, 0, 60, 30)));
  Attach();
  EXPECT_EQ(gfx->GetParamIdxForPTAutomation(5, 5), kPTrim);
  EXPECT_EQ(gfx->GetLastClickedParamForPTAutomation(), kPTrim);
  EXPECT_EQ(gfx->GetLastClickedParamForPTAutomation(), -1);
  EXPECT_EQ(gfx->GetParamIdxForPTAutomation(45, 5), -1);
  EXPECT_EQ(gfx->GetParamIdxForPTAutomation(90, 70), -1);  // the background
  gfx->GetControl(1)->GrayOut(true);
  EXPECT_EQ(gfx->GetParamIdxForPTAutomation(5, 5), -1);
}

TEST_F(EventTest, IdleReachesEveryControlAndResizeEmptiesTheList)
{
  gfx->AttachControl(new ProbeControl(&plug, IRECT(0, 0, 30, 30)));
  Attach();
  IMouseMod none;
  gfx->OnMouseDown(5, 5, &none);
  gfx->OnGUIIdle();
  gfx->Resize(64, 48);
  EXPECT_EQ(gfx->NControls(), 0);
  EXPECT_EQ(gfx->GetMouseCapture(), -1);
  EXPECT_EQ(gfx->Width(), 64);
  EXPECT_EQ(gfx->GetDrawBitmap()->getWidth(), 64);
  EXPECT_EQ(gfx->GetDrawBitmap()->getHeight(), 48);
  EXPECT_EQ(plug.Count("ResizeGraphics"), 1);
  IRECT r;
  EXPECT_FALSE(gfx->IsDirty(&r));
  EXPECT_TRUE(gfx->Draw(&r));   // no controls: nothing presented
  EXPECT_TRUE(gfx->mScreens.empty());
}
