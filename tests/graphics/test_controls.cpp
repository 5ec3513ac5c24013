// Image, switch, knob and fader controls: frame per value, switch stepping, knob drags and
// wheel steps, fader mapping, and what each one paints.
#include <algorithm>
#include <cmath>

#include "control_fixture.h"
#include "framework/IParam.h"
#include "graphics/IControlBitmaps.h"
#include "graphics/IControlFaders.h"
#include "graphics/IControlKnobs.h"

namespace
{
const IColor kBackground(255, 9, 9, 9);
const uint32_t kBackgroundPixel = kBackground.ToPixel();

// Every pixel of dest shows frame `frame` of the strip, pixel for pixel.
::testing::AssertionResult ShowsFrame(ControlFixture& f, IRECT dest, int frame)
{
  for (int y = dest.T; y < dest.B; ++y)
    for (int x = dest.L; x < dest.R; ++x)
    {
      const uint32_t want = StripImage::PixelFor(frame, x - dest.L, y - dest.T);
      const uint32_t got = f.Pixel(x, y);
      if (got != want)
        return ::testing::AssertionFailure() << "at (" << x << ", " << y << ") got " << std::hex << got
                                             << " want " << want;
    }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult ShowsBackground(ControlFixture& f, IRECT r)
{
  for (int y = r.T; y < r.B; ++y)
    for (int x = r.L; x < r.R; ++x)
      if (f.Pixel(x, y) != kBackgroundPixel)
        return ::testing::AssertionFailure() << "drawn at (" << x << ", " << y << ")";
  return ::testing::AssertionSuccess();
}
}  // namespace

struct ControlTest : ControlFixture
{
  void AttachWithBackground()
  {
    gfx->AttachPanelBackground(&kBackground);
    Attach();
  }
  void SetFromPlug(int paramIdx, double v) { gfx->SetParameterFromPlug(paramIdx, v, true); }
};

// ---- Frame per value ----

TEST(FrameForValue, RoundsToTheNearestFrameAndStaysInsideTheStrip)
{
  struct Case { int n; double v; int state; };
  const Case cases[] = {
    {61, 0.0, 1},      {61, 1.0, 61},      {61, 0.5, 31},     {61, 0.0083, 1}, {61, 0.00834, 2},
    {128, 0.5, 65},    {2, 0.49, 1},       {2, 0.5, 2},       {3, -0.2, 1},    {3, 1.7, 3},
    {1, 0.9, 1},       {61, std::nan(""), 1}, {61, 1e300, 61}, {61, -1e300, 1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(IBitmap_StateForValue(c.n, c.v), c.state) << c.n << " frames, value " << c.v;
}

TEST_F(ControlTest, KnobStripShowsTheFrameForItsValueFromTheRightSourceOffset)
{
  StripImage strip61(6, 5, 61), strip128(3, 2, 128), stripH(4, 3, 5, true);
  gfx->AttachControl(new IKnobMultiControl(&plug, 10, 20, kPGain, &strip61.bitmap));
  gfx->AttachControl(new IKnobMultiControl(&plug, 30, 20, kPMode, &strip128.bitmap));
  gfx->AttachControl(new IKnobMultiControl(&plug, 50, 20, kPTrim, &stripH.bitmap));
  AttachWithBackground();
  EXPECT_EQ(*Ctl<IControl>(1)->GetRECT(), IRECT(10, 20, 16, 25));
  EXPECT_EQ(*Ctl<IControl>(3)->GetRECT(), IRECT(50, 20, 54, 23));

  struct Case { int param; double v; int frame; IRECT r; };
  const Case cases[] = {
    {kPGain, 0.0, 0, IRECT(10, 20, 16, 25)},  {kPGain, 0.3, 18, IRECT(10, 20, 16, 25)},
    {kPGain, 0.99, 59, IRECT(10, 20, 16, 25)}, {kPGain, 1.0, 60, IRECT(10, 20, 16, 25)},
    {kPMode, 0.5, 64, IRECT(30, 20, 33, 22)},  {kPMode, 1.0, 127, IRECT(30, 20, 33, 22)},
    {kPTrim, 0.6, 2, IRECT(50, 20, 54, 23)},   {kPTrim, 1.0, 4, IRECT(50, 20, 54, 23)},
  };
  for (const Case& c : cases)
  {
    SetFromPlug(c.param, c.v);
    PaintAll();
    EXPECT_TRUE(ShowsFrame(*this, c.r, c.frame)) << "param " << c.param << " value " << c.v;
  }
  EXPECT_TRUE(ShowsBackground(*this, IRECT(16, 20, 17, 25)));  // nothing beside the knob
  EXPECT_TRUE(ShowsBackground(*this, IRECT(10, 25, 16, 26)));  // nor below it
}

TEST_F(ControlTest, KnobAndBitmapControlsAreSizedToOneFrame)
{
  StripImage big(60, 60, 61);
  StripImage bypass(12, 7, 2);
  IKnobMultiControl knob(&plug, 31, 35, kPGain, &big.bitmap);
  IBitmapControl image(&plug, 338, 165, kPOn, &bypass.bitmap);
  EXPECT_EQ(*knob.GetRECT(), IRECT(31, 35, 91, 95));
  EXPECT_EQ(*knob.GetTargetRECT(), IRECT(31, 35, 91, 95));
  EXPECT_EQ(knob.GetDirection(), kVertical);
  EXPECT_EQ(knob.GetGearing(), 4.0);
  EXPECT_EQ(*image.GetRECT(), IRECT(338, 165, 350, 172));
  EXPECT_EQ(image.GetBlend()->mMethod, IChannelBlend::kBlendDefault);

  IBitmapControl noImage(&plug, 5, 6, -1, nullptr);
  EXPECT_EQ(*noImage.GetRECT(), IRECT(5, 6, 5, 6));
}

TEST_F(ControlTest, BitmapControlUsesTheFirstFrameForSingleFrameImages)
{
  StripImage one(4, 4, 1), three(4, 4, 3);
  gfx->AttachControl(new IBitmapControl(&plug, 0, 0, kPGain, &one.bitmap));
  gfx->AttachControl(new IBitmapControl(&plug, 10, 0, kPGain, &three.bitmap));
  AttachWithBackground();
  SetFromPlug(kPGain, 0.8);
  PaintAll();
  EXPECT_TRUE(ShowsFrame(*this, IRECT(0, 0, 4, 4), 0));
  EXPECT_TRUE(ShowsFrame(*this, IRECT(10, 0, 14, 4), 2));  // int(2 * 0.8 + 0.5) = 2
}

// ---- Knobs ----

TEST_F(ControlTest, KnobDragAddsTheDragOverTheExtentDividedByTheGearing)
{
  struct Case { const char* what; EDirection dir; int w, h; double gearing; int dX, dY; IMouseMod mod; double start, want; };
  const IMouseMod none(true);
  const Case cases[] = {
    {"10 up on 40 high", kVertical, 20, 40, 4.0, 0, -10, none, 0.5, 0.5625},
    {"10 up with Shift", kVertical, 20, 40, 4.0, 0, -10, shift, 0.5, 0.50625},
    {"10 up with Control", kVertical, 20, 40, 4.0, 0, -10, control, 0.5, 0.50625},
    {"10 down", kVertical, 20, 40, 4.0, 0, 10, none, 0.5, 0.4375},
    {"sideways moves nothing", kVertical, 20, 40, 4.0, 15, 0, none, 0.5, 0.5},
    {"10 right on 50 wide", kHorizontal, 50, 20, 4.0, 10, 0, none, 0.5, 0.55},
    {"25 left, fine", kHorizontal, 50, 20, 4.0, -25, 3, control, 0.5, 0.4875},
    {"gearing 1", kVertical, 20, 40, 1.0, 0, -10, none, 0.5, 0.75},
    {"clamped at the top", kVertical, 20, 40, 4.0, 0, -10, none, 0.98, 1.0},
    {"clamped at the bottom", kVertical, 20, 40, 4.0, 0, 30, none, 0.1, 0.0},
  };
  for (const Case& c : cases)
  {
    GfxPlug p;
    ControlGraphics* g = new ControlGraphics(&p);
    IKnobLineControl* knob =
      new IKnobLineControl(&p, IRECT(10, 10, 10 + c.w, 10 + c.h), kPGain, &COLOR_BLACK, 0, 0, -1, 1, c.dir, c.gearing);
    g->AttachControl(knob);
    p.AttachGraphics(g);
    g->SetParameterFromPlug(kPGain, c.start, true);
    p.mEvents.clear();

    IMouseMod mod = c.mod;
    g->OnMouseDown(15, 15, &mod);
    g->OnMouseDrag(15 + c.dX, 15 + c.dY, &mod);
    g->OnMouseUp(15 + c.dX, 15 + c.dY, &mod);
    EXPECT_NEAR(knob->GetValue(), c.want, 1e-12) << c.what;

    ASSERT_EQ(p.EventNames().front(), "Begin") << c.what;
    ASSERT_EQ(p.EventNames().back(), "End") << c.what;
    bool informed = false;
    for (const PlugEvent& e : p.mEvents)
      if (e.what == "Inform") informed = std::fabs(e.value - c.want) < 1e-12;
    EXPECT_TRUE(informed) << c.what << ": the host hears the new value";
    EXPECT_NEAR(p.GetParam(kPGain)->GetValue(), c.want * 10.0, 1e-9) << c.what;
  }
}

TEST_F(ControlTest, KnobWithoutExtentIgnoresDrags)
{
  IKnobLineControl* flat = new IKnobLineControl(&plug, IRECT(10, 10, 30, 10), kPGain, &COLOR_BLACK);
  gfx->AttachControl(flat);
  Attach();
  flat->OnMouseDrag(12, 5, 0, -5, &left);
  EXPECT_EQ(flat->GetValue(), 0.5);
  EXPECT_TRUE(std::isfinite(flat->GetValue()));
}

TEST_F(ControlTest, WheelStepsKnobsAndFadersByHundredthsOrThousandths)
{
  struct Case { double start; int d; IMouseMod mod; double want; };
  const IMouseMod none;
  const Case cases[] = {
    {0.5, 1, none, 0.51},   {0.5, 1, shift, 0.501},  {0.5, -3, control, 0.497}, {0.5, -2, none, 0.48},
    {1.0, 1, none, 1.0},    {0.995, 1, none, 1.0},   {0.0, -1, none, 0.0},       {0.2, 0, none, 0.2},
  };
  StripImage handle(10, 10, 1);
  gfx->AttachControl(new IKnobLineControl(&plug, IRECT(0, 0, 20, 20), kPGain, &COLOR_BLACK));
  gfx->AttachControl(new IFaderControl(&plug, 30, 0, 50, kPTrim, &handle.bitmap));
  Attach();
  for (const Case& c : cases)
    for (int idx : {0, 1})
    {
      IControl* ctl = gfx->GetControl(idx);
      const int param = idx == 0 ? kPGain : kPTrim;
      SetFromPlug(param, c.start);
      IMouseMod mod = c.mod;
      gfx->OnMouseWheel(idx == 0 ? 5 : 35, 5, &mod, c.d);
      EXPECT_NEAR(ctl->GetValue(), c.want, 1e-12) << (idx ? "fader" : "knob") << " from " << c.start << " by " << c.d;
      EXPECT_NEAR(Informed(param).back(), c.want, 1e-12);
    }
}

TEST_F(ControlTest, DoubleClickRestoresTheValueTheKnobFirstReceived)
{
  StripImage strip(4, 4, 61);
  IKnobMultiControl* knob = new IKnobMultiControl(&plug, 10, 10, kPGain, &strip.bitmap);
  gfx->AttachControl(knob);
  knob->SetClean();
  plug.GetParam(kPGain)->SetNormalized(0.3);
  Attach();
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.3);
  EXPECT_DOUBLE_EQ(knob->GetDefaultValue(), 0.3);
  EXPECT_FALSE(knob->GetDirtyFlag()) << "the first value is not a change";

  gfx->OnMouseDown(12, 12, &left);
  gfx->OnMouseDrag(12, 4, &left);  // 8 up on a 4-high knob: +0.5
  gfx->OnMouseUp(12, 4, &left);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.8);

  plug.mEvents.clear();
  gfx->OnMouseDblClick(12, 12, &left);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.3);
  ASSERT_EQ(Informed(kPGain).size(), 1u);
  EXPECT_DOUBLE_EQ(Informed(kPGain)[0], 0.3);
  EXPECT_NEAR(plug.GetParam(kPGain)->GetValue(), 3.0, 1e-12);
}

TEST_F(ControlTest, KnobLineDrawsFromTheInnerToTheOuterRadiusAtTheValuesAngle)
{
  const double pi = 3.14159265358979323846;
  IKnobLineControl* up = new IKnobLineControl(&plug, IRECT(20, 20, 60, 60), kPGain, &COLOR_GREEN, 5, 0, -1, 1);
  IKnobLineControl* right = new IKnobLineControl(&plug, IRECT(20, 20, 60, 60), kPTrim, &COLOR_RED, 5, 0, 0, pi);
  EXPECT_EQ(up->GetOuterRadius(), 20.0f) << "0 outer radius becomes half the width";
  EXPECT_EQ(up->GetInnerRadius(), 5.0f);
  EXPECT_EQ(up->GetBlend()->mMethod, IChannelBlend::kBlendCopy);
  gfx->AttachControl(up);
  AttachWithBackground();
  PaintAll();  // value 0.5: angle 0, straight up from (40, 35) to (40, 20)

  // The line is antialiased: look for its colour in the pixels across it.
  auto strongest = [&](int x, int y, bool across, int shift) {
    int best = 0;
    for (int d = -1; d <= 1; ++d)
    {
      const uint32_t p = across ? Pixel(x + d, y) : Pixel(x, y + d);
      best = std::max(best, (int)((p >> shift) & 255));
    }
    return best;
  };
  EXPECT_GT(strongest(40, 27, true, 8), 100) << "green on the line";
  EXPECT_GT(strongest(40, 22, true, 8), 100);
  EXPECT_LT(strongest(40, 45, true, 8), 20) << "nothing below the centre";
  EXPECT_LT(strongest(40, 38, true, 8), 20) << "nothing inside the inner radius";
  EXPECT_LT(strongest(50, 40, false, 8), 20);

  gfx->AttachControl(right);
  right->SetValueFromPlug(0.5);
  PaintAll();  // angle pi / 2: to the right, from (45, 40) to (60, 40)
  EXPECT_GT(strongest(52, 40, false, 16), 100) << "red on the line";
  EXPECT_LT(strongest(35, 40, false, 16), 20);
}

TEST_F(ControlTest, KnobRotaterAtAngleZeroCopiesItsImageAboutTheCentre)
{
  Raster_MemBitmap img(10, 10);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) Raster_RowPtr(&img, y)[x] = Raster_RGBA(200, 40, 10, 255);
  IBitmap bm(&img, 10, 10);
  IKnobRotaterControl* knob = new IKnobRotaterControl(&plug, 30, 30, kPGain, &bm, -1.0, 1.0);
  EXPECT_EQ(*knob->GetRECT(), IRECT(30, 30, 40, 40));
  gfx->AttachControl(knob);
  AttachWithBackground();
  PaintAll();  // value 0.5: angle 0
  const uint32_t centre = Pixel(35, 35);
  EXPECT_NEAR(Raster_GetR(centre), 200, 2);
  EXPECT_NEAR(Raster_GetG(centre), 40, 2);
  EXPECT_NEAR(Raster_GetB(centre), 10, 2);
  EXPECT_EQ(Pixel(45, 35), kBackgroundPixel);
}

TEST_F(ControlTest, RotatingMaskKnobIsSizedToItsBaseAndDraws)
{
  StripImage base(12, 9, 1), mask(12, 9, 1), top(12, 9, 1);
  IKnobRotatingMaskControl* knob =
    new IKnobRotatingMaskControl(&plug, 5, 6, kPGain, &base.bitmap, &mask.bitmap, &top.bitmap);
  EXPECT_EQ(*knob->GetRECT(), IRECT(5, 6, 17, 15));
  gfx->AttachControl(knob);
  Attach();
  gfx->SetDrawRECT(IRECT(0, 0, 100, 80));
  EXPECT_TRUE(knob->Draw(gfx));
}

// ---- Switches ----

TEST_F(ControlTest, SwitchStepsThroughItsFramesAndWraps)
{
  struct Case { int frames; std::vector<double> afterClicks; };
  const Case cases[] = {
    {1, {1.0, 0.0, 1.0}},
    {2, {1.0, 0.0, 1.0}},
    {3, {0.5, 1.0, 0.0, 0.5}},  // 1.5 exceeds 1.001
    // Nine ninths add up to a hair above 1: the slack keeps the last frame reachable.
    {10, {1 / 9., 2 / 9., 3 / 9., 4 / 9., 5 / 9., 6 / 9., 7 / 9., 8 / 9., 1.0, 0.0}},
  };
  for (const Case& c : cases)
  {
    GfxPlug p;
    ControlGraphics* g = new ControlGraphics(&p);
    StripImage strip(4, 4, c.frames);
    ISwitchControl* sw = new ISwitchControl(&p, 0, 0, kPGain, &strip.bitmap);
    g->AttachControl(sw);
    p.GetParam(kPGain)->SetNormalized(0.0);
    p.AttachGraphics(g);
    for (size_t i = 0; i < c.afterClicks.size(); ++i)
    {
      IMouseMod mod(true);
      g->OnMouseDown(1, 1, &mod);
      g->OnMouseUp(1, 1, &mod);
      EXPECT_NEAR(sw->GetValue(), c.afterClicks[i], 1e-12) << c.frames << " frames, click " << i + 1;
    }
    std::vector<double> informed;
    for (const PlugEvent& e : p.mEvents)
      if (e.what == "Inform") informed.push_back(e.value);
    ASSERT_EQ(informed.size(), c.afterClicks.size()) << c.frames << " frames";
    for (size_t i = 0; i < informed.size(); ++i)
      EXPECT_NEAR(informed[i], c.afterClicks[i], 1e-12) << c.frames << " frames, click " << i + 1;
  }
}

TEST_F(ControlTest, SwitchDoubleClickStepsAgainAndRightClickStepsToo)
{
  StripImage strip(4, 4, 2);
  ISwitchControl* sw = new ISwitchControl(&plug, 0, 0, kPOn, &strip.bitmap);
  gfx->AttachControl(sw);
  Attach();
  sw->OnMouseDown(1, 1, &left);
  EXPECT_EQ(sw->GetValue(), 1.0);
  gfx->OnMouseDblClick(1, 1, &left);
  EXPECT_EQ(sw->GetValue(), 0.0) << "a switch has no default to restore";
  sw->OnMouseDown(1, 1, &right);
  EXPECT_EQ(sw->GetValue(), 1.0);
  EXPECT_TRUE(plug.GetParam(kPOn)->GetBool());
}

TEST_F(ControlTest, TwoFrameSwitchShowsItsSecondFrameWhenOn)
{
  StripImage strip(5, 3, 2);
  gfx->AttachControl(new ISwitchControl(&plug, 20, 10, kPOn, &strip.bitmap));
  AttachWithBackground();
  PaintAll();
  EXPECT_TRUE(ShowsFrame(*this, IRECT(20, 10, 25, 13), 0));
  Click(21, 11, left);
  PaintAll();
  EXPECT_TRUE(ShowsFrame(*this, IRECT(20, 10, 25, 13), 1));
}

TEST_F(ControlTest, ContactGoesBackToZeroOnRelease)
{
  StripImage strip(4, 4, 2);
  IContactControl* contact = new IContactControl(&plug, 0, 0, kPGain, &strip.bitmap);
  gfx->AttachControl(contact);
  plug.GetParam(kPGain)->SetNormalized(0.0);
  Attach();
  gfx->OnMouseDown(1, 1, &left);
  EXPECT_EQ(contact->GetValue(), 1.0);
  gfx->OnMouseUp(1, 1, &left);
  EXPECT_EQ(contact->GetValue(), 0.0);
  EXPECT_EQ(Informed(kPGain), (std::vector<double>{1.0, 0.0}));
}

TEST_F(ControlTest, InvisibleSwitchTogglesAndDrawsNothing)
{
  IInvisibleSwitchControl* zone = new IInvisibleSwitchControl(&plug, IRECT(10, 10, 30, 20), kPGain);
  EXPECT_EQ(zone->GetBlend()->mMethod, IChannelBlend::kBlendCopy);
  EXPECT_TRUE(zone->mDisablePrompt);
  gfx->AttachControl(zone);
  plug.GetParam(kPGain)->SetNormalized(0.3);
  AttachWithBackground();
  for (double want : {1.0, 0.0, 1.0})
  {
    Click(15, 15, left);
    EXPECT_EQ(zone->GetValue(), want);
  }
  PaintAll();
  EXPECT_TRUE(ShowsBackground(*this, IRECT(10, 10, 30, 20)));
}

TEST_F(ControlTest, FramesSwitchPicksTheFrameOfTheClickedCell)
{
  StripImage across(32, 8, 3), down(8, 30, 3);
  ISwitchFramesControl* h = new ISwitchFramesControl(&plug, 10, 10, kPGain, &across.bitmap, true);
  ISwitchFramesControl* v = new ISwitchFramesControl(&plug, 60, 10, kPTrim, &down.bitmap, false);
  EXPECT_FALSE(h->mDisablePrompt);
  // 32 / 3 = 10.67 per cell: the left edges truncate, so one-pixel gaps open up.
  ASSERT_EQ(h->NCells(), 3);
  EXPECT_EQ(*h->GetCell(0), IRECT(10, 10, 20, 18));
  EXPECT_EQ(*h->GetCell(1), IRECT(20, 10, 30, 18));
  EXPECT_EQ(*h->GetCell(2), IRECT(31, 10, 41, 18));
  EXPECT_EQ(h->GetCell(3), nullptr);
  ASSERT_EQ(v->NCells(), 3);
  EXPECT_EQ(*v->GetCell(1), IRECT(60, 20, 68, 30));
  EXPECT_EQ(*v->GetCell(2), IRECT(60, 30, 68, 40));
  gfx->AttachControl(h);
  gfx->AttachControl(v);
  Attach();

  struct Case { int x, y; IControl* ctl; double want; };
  const Case cases[] = {
    {35, 12, h, 1.0}, {15, 12, h, 0.0}, {25, 12, h, 0.5},
    {30, 12, h, 0.5},  // the gap: unchanged
    {62, 12, v, 0.0}, {62, 39, v, 1.0}, {62, 25, v, 0.5},
  };
  for (const Case& c : cases)
  {
    const size_t before = plug.mEvents.size();
    Click(c.x, c.y, left);
    EXPECT_DOUBLE_EQ(c.ctl->GetValue(), c.want) << c.x << ", " << c.y;
    bool informed = false;
    for (size_t k = before; k < plug.mEvents.size(); ++k) informed |= plug.mEvents[k].what == "Inform";
    EXPECT_TRUE(informed) << "pushed even when no cell was hit";
  }
}

TEST_F(ControlTest, FramesSwitchWithOneFrameSetsZero)
{
  StripImage one(10, 10, 1);
  ISwitchFramesControl sw(&plug, 0, 0, -1, &one.bitmap);
  sw.SetValue(0.7);
  sw.OnMouseDown(5, 5, &left);
  EXPECT_EQ(sw.GetValue(), 0.0);
}

TEST_F(ControlTest, RadioButtonsLayOutTheirCells)
{
  StripImage img(20, 10, 2);  // each cell 20 x 10
  struct Case { const char* what; IRECT r; EDirection dir; bool reverse; std::vector<IRECT> cells; };
  const Case cases[] = {
    {"across", IRECT(0, 0, 100, 10), kHorizontal, false, {IRECT(0, 0, 20, 10), IRECT(40, 0, 60, 10), IRECT(80, 0, 100, 10)}},
    {"across reversed", IRECT(0, 0, 100, 10), kHorizontal, true,
     {IRECT(60, 0, 80, 10), IRECT(20, 0, 40, 10), IRECT(-20, 0, 0, 10)}},
    {"down", IRECT(5, 0, 25, 50), kVertical, false, {IRECT(5, 0, 25, 10), IRECT(5, 20, 25, 30), IRECT(5, 40, 25, 50)}},
    {"down reversed", IRECT(5, 0, 25, 50), kVertical, true,
     {IRECT(5, 30, 25, 40), IRECT(5, 10, 25, 20), IRECT(5, -10, 25, 0)}},
    {"spacing truncates", IRECT(0, 0, 75, 10), kHorizontal, false,
     {IRECT(0, 0, 20, 10), IRECT(27, 0, 47, 10), IRECT(54, 0, 74, 10)}},
  };
  for (const Case& c : cases)
  {
    IRadioButtonsControl radio(&plug, c.r, kPMode, 3, &img.bitmap, c.dir, c.reverse);
    ASSERT_EQ(radio.NButtons(), 3) << c.what;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(*radio.GetCell(i), c.cells[i]) << c.what << " cell " << i;
  }
  IRadioButtonsControl single(&plug, IRECT(0, 0, 20, 10), kPMode, 1, &img.bitmap);
  ASSERT_EQ(single.NButtons(), 1);
  single.SetValue(0.6);
  single.OnMouseDown(5, 5, &left);
  EXPECT_EQ(single.GetValue(), 0.0);
  IRadioButtonsControl none(&plug, IRECT(0, 0, 20, 10), kPMode, 0, &img.bitmap);
  EXPECT_EQ(none.NButtons(), 1);
}

TEST_F(ControlTest, RadioButtonsSelectByClickDrawTheActiveOneAndPromptOnRight)
{
  StripImage img(20, 10, 2);
  IRadioButtonsControl* radio = new IRadioButtonsControl(&plug, IRECT(0, 0, 100, 10), kPMode, 3, &img.bitmap,
                                                         kHorizontal);
  radio->mDisablePrompt = false;
  gfx->AttachControl(radio);
  AttachWithBackground();
  EXPECT_DOUBLE_EQ(radio->GetValue(), 0.5);  // "B"

  Click(85, 5, left);
  EXPECT_DOUBLE_EQ(radio->GetValue(), 1.0);
  EXPECT_EQ(plug.GetParam(kPMode)->GetInt(), 2);
  PaintAll();
  EXPECT_TRUE(ShowsFrame(*this, IRECT(0, 0, 20, 10), 0));
  EXPECT_TRUE(ShowsFrame(*this, IRECT(40, 0, 60, 10), 0));
  EXPECT_TRUE(ShowsFrame(*this, IRECT(80, 0, 100, 10), 1));
  EXPECT_TRUE(ShowsBackground(*this, IRECT(20, 0, 40, 10)));

  const size_t before = plug.mEvents.size();
  Click(30, 5, left);  // between buttons: unchanged, still pushed
  EXPECT_DOUBLE_EQ(radio->GetValue(), 1.0);
  EXPECT_GT(plug.mEvents.size(), before);

  gfx->mMenuChoice = 0;
  radio->OnMouseDown(45, 5, &right);  // the core sends a VST3 right-click to the host menu
  ASSERT_EQ(gfx->mMenus.size(), 1u);
  EXPECT_EQ(gfx->mMenus[0].texts, (std::vector<std::string>{"A", "B", "C"}));
  EXPECT_EQ(gfx->mMenus[0].flags, (std::vector<int>{0, 0, IPopupMenuItem::kItemChecked}));
  EXPECT_EQ(gfx->mMenus[0].area, IRECT(0, 0, 100, 10));
  EXPECT_DOUBLE_EQ(radio->GetValue(), 0.0) << "the menu's choice, not the clicked button";
}

TEST_F(ControlTest, BitmapOverlayIsHitInItsTargetAreaWhileOff)
{
  StripImage img(10, 10, 2);
  IBitmapOverlayControl* overlay =
    new IBitmapOverlayControl(&plug, 40, 40, kPOn, &img.bitmap, IRECT(0, 0, 10, 10));
  gfx->AttachControl(overlay);
  AttachWithBackground();
  PaintAll();
  EXPECT_EQ(*overlay->GetTargetRECT(), IRECT(0, 0, 10, 10));
  EXPECT_TRUE(ShowsBackground(*this, IRECT(40, 40, 50, 50)));
  EXPECT_EQ(gfx->GetMouseControlIdx(45, 45), 0) << "the background, not the hidden overlay";

  Click(5, 5, left);
  EXPECT_EQ(overlay->GetValue(), 1.0);
  PaintAll();
  EXPECT_EQ(*overlay->GetTargetRECT(), IRECT(40, 40, 50, 50));
  EXPECT_TRUE(ShowsFrame(*this, IRECT(40, 40, 50, 50), 1));
}

TEST_F(ControlTest, PopUpSwitchPromptsWhenEnabled)
{
  StripImage img(10, 10, 3);
  ISwitchPopUpControl* popup = new ISwitchPopUpControl(&plug, 0, 0, kPMode, &img.bitmap);
  gfx->AttachControl(popup);
  Attach();
  Click(5, 5, left);
  EXPECT_TRUE(gfx->mMenus.empty()) << "prompts start disabled";
  EXPECT_DOUBLE_EQ(popup->GetValue(), 0.5);

  popup->mDisablePrompt = false;
  gfx->mMenuChoice = 2;
  Click(5, 5, left);
  ASSERT_EQ(gfx->mMenus.size(), 1u);
  EXPECT_DOUBLE_EQ(popup->GetValue(), 1.0);
  EXPECT_EQ(plug.GetParam(kPMode)->GetInt(), 2);
}

// ---- Faders ----

TEST_F(ControlTest, FaderMapsTheMouseToTheValueAndTheValueToTheHandle)
{
  StripImage upright(20, 20, 1), flat(20, 6, 1);
  IFaderControl* v = new IFaderControl(&plug, 10, 0, 100, kPGain, &upright.bitmap, kVertical);
  IFaderControl* h = new IFaderControl(&plug, 40, 20, 100, kPTrim, &flat.bitmap, kHorizontal);
  gfx->AttachControl(v);
  gfx->AttachControl(h);
  Attach();
  EXPECT_EQ(*v->GetRECT(), IRECT(10, 0, 30, 100));
  EXPECT_EQ(*h->GetRECT(), IRECT(40, 20, 140, 26));
  EXPECT_EQ(v->GetHandleLength(), 20);
  EXPECT_EQ(h->GetHandleLength(), 20);

  struct Click_ { IFaderControl* f; int x, y; double want; };
  const Click_ clicks[] = {
    {v, 15, 10, 1.0}, {v, 15, 90, 0.0}, {v, 15, 50, 0.5}, {v, 15, 0, 1.0}, {v, 15, 99, 0.0}, {v, 15, 30, 0.75},
    {h, 50, 22, 0.0}, {h, 130, 22, 1.0}, {h, 70, 22, 0.25}, {h, 139, 22, 1.0},
  };
  for (const Click_& c : clicks)
  {
    Click(c.x, c.y, left);
    EXPECT_DOUBLE_EQ(c.f->GetValue(), c.want) << "click at " << c.x << ", " << c.y;
  }

  struct Handle { IFaderControl* f; double v; IRECT r; };
  const Handle handles[] = {
    {v, 1.0, IRECT(10, 0, 30, 20)},   {v, 0.0, IRECT(10, 80, 30, 100)}, {v, 0.5, IRECT(10, 40, 30, 60)},
    {v, 0.33, IRECT(10, 53, 30, 73)},  // int(0.67 * 80) = 53
    {h, 0.0, IRECT(40, 20, 60, 26)},  {h, 0.25, IRECT(60, 20, 80, 26)}, {h, 1.0, IRECT(120, 20, 140, 26)},
  };
  for (const Handle& c : handles) EXPECT_EQ(c.f->GetHandleRECT(c.v), c.r) << c.v;
  v->SetValue(0.25);
  EXPECT_EQ(v->GetHandleRECT(), IRECT(10, 60, 30, 80)) << "a negative value means the current one";
}

TEST_F(ControlTest, FaderDragFollowsTheMouseAndDrawsItsHandle)
{
  StripImage handle(20, 20, 1);
  IFaderControl* fader = new IFaderControl(&plug, 10, 0, 80, kPGain, &handle.bitmap);
  gfx->AttachControl(fader);
  AttachWithBackground();
  gfx->OnMouseDown(15, 40, &left);  // travel 60: 1 - 30 / 60
  EXPECT_DOUBLE_EQ(fader->GetValue(), 0.5);
  gfx->OnMouseDrag(17, 25, &left);
  EXPECT_DOUBLE_EQ(fader->GetValue(), 0.75);
  gfx->OnMouseUp(17, 25, &left);
  PaintAll();
  EXPECT_TRUE(ShowsFrame(*this, IRECT(10, 15, 30, 35), 0));
  EXPECT_TRUE(ShowsBackground(*this, IRECT(10, 0, 30, 15)));
  EXPECT_TRUE(ShowsBackground(*this, IRECT(10, 35, 30, 80)));
}

TEST_F(ControlTest, FaderHitTestAndPrompt)
{
  StripImage handle(20, 20, 1);
  IFaderControl* onlyHandle = new IFaderControl(&plug, 10, 0, 100, kPGain, &handle.bitmap, kVertical, true);
  IFaderControl* whole = new IFaderControl(&plug, 40, 0, 100, kPTrim, &handle.bitmap, kVertical, false);
  gfx->AttachControl(onlyHandle);
  gfx->AttachControl(whole);
  Attach();  // both at 0.5: handles at rows 40 ... 59
  EXPECT_TRUE(onlyHandle->IsHit(15, 45));
  EXPECT_FALSE(onlyHandle->IsHit(15, 10));
  EXPECT_TRUE(whole->IsHit(45, 10));
  EXPECT_FALSE(whole->IsHit(45, 100));

  onlyHandle->mDisablePrompt = false;
  onlyHandle->OnMouseDown(15, 10, &right);
  ASSERT_EQ(gfx->mEntries.size(), 1u);
  EXPECT_EQ(gfx->mEntries[0].text, "5.00");
  EXPECT_EQ(gfx->mEntries[0].area, IRECT(0, 42, 40, 58));  // 40 x 16 about (20, 50)
  EXPECT_DOUBLE_EQ(onlyHandle->GetValue(), 0.5) << "a right click does not move the handle";
}

TEST_F(ControlTest, FaderWithoutTravelKeepsItsValue)
{
  StripImage handle(20, 20, 1);
  IFaderControl* fader = new IFaderControl(&plug, 0, 0, 20, kPGain, &handle.bitmap);
  gfx->AttachControl(fader);
  Attach();
  Click(5, 15, left);
  EXPECT_DOUBLE_EQ(fader->GetValue(), 0.5);
  fader->OnMouseDrag(5, 2, 0, -13, &left);
  EXPECT_DOUBLE_EQ(fader->GetValue(), 0.5);
}
