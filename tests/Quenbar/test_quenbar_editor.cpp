// The effect's editor: the panel's layout, and its wiring end to end: a
// drag on a knob reaches the parameter, the host and the next block; host
// changes and state restores reach the knobs; the panel's pixels.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "Quenbar/QuenbarEditor.h"
#include "graphics/IControlBitmaps.h"
#include "graphics/IControlKnobs.h"
#include "quenbar_editor_support.h"
#include "raster/blit.h"
#include "raster/png.h"
#include "tools/host/statestream.h"

using namespace Steinberg;
using namespace Steinberg::Vst;
using qeditor::HostedQuenbar;
using qeditor::PixelAt;

namespace
{

IRECT RectOf(IGraphics* g, int idx) { return *g->GetControl(idx)->GetRECT(); }

IRECT Centre(const IRECT& r, int* x, int* y)
{
  *x = (r.L + r.R) / 2;
  *y = (r.T + r.B) / 2;
  return r;
}

} // namespace

TEST(QuenbarEditor, PanelLayoutAndAttachOrder)
{
  HostedQuenbar q;
  IGraphics* g = q.g;
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(g->Width(), 732);
  EXPECT_EQ(g->Height(), 208);
  EXPECT_EQ(g->FPS(), 25) << "rate 0 selects the default";
  ASSERT_EQ(g->NControls(), 6);

  // Background first, drawn with a plain copy and bound to nothing.
  auto* bg = dynamic_cast<IBitmapControl*>(g->GetControl(0));
  ASSERT_NE(bg, nullptr);
  EXPECT_EQ(bg->ParamIdx(), -1);
  EXPECT_EQ(bg->GetBlend()->mMethod, IChannelBlend::kBlendCopy);
  const IRECT bgRect = RectOf(g, 0);
  EXPECT_EQ(bgRect.L, 0);
  EXPECT_EQ(bgRect.T, 0);

  // Then the knobs in parameter order and the switch; each rectangle comes
  // from its strip's width and frame height.
  struct Want
  {
    int id, frames, x, y, param;
    bool knob;
  };
  const Want want[] = {
    {QuenbarEditor::kLevelID, 61, 553, 35, Quenbar::kLevel, true},
    {QuenbarEditor::kMixID, 61, 31, 35, Quenbar::kMix, true},
    {QuenbarEditor::kToneID, 61, 233, 57, Quenbar::kTone, true},
    {QuenbarEditor::kSnapID, 61, 391, 57, Quenbar::kSnap, true},
    {QuenbarEditor::kBypassID, 2, 338, 165, Quenbar::kBypass, false},
  };
  for (int i = 0; i < 5; ++i)
  {
    const Want& w = want[i];
    SCOPED_TRACE(i + 1);
    IControl* c = g->GetControl(i + 1);
    if (w.knob)
      EXPECT_NE(dynamic_cast<IKnobMultiControl*>(c), nullptr);
    else
      EXPECT_NE(dynamic_cast<ISwitchControl*>(c), nullptr);
    EXPECT_EQ(c->ParamIdx(), w.param);
    EXPECT_EQ(c->GetBlend()->mMethod, IChannelBlend::kBlendDefault);
    IBitmap strip = g->LoadIBitmap(w.id, "cached by identifier", w.frames);
    ASSERT_NE(strip.mData, nullptr) << "image " << w.id;
    const IRECT r = RectOf(g, i + 1);
    EXPECT_EQ(r.L, w.x);
    EXPECT_EQ(r.T, w.y);
    EXPECT_EQ(r.R, w.x + strip.W);
    EXPECT_EQ(r.B, w.y + strip.H / w.frames);
    EXPECT_TRUE(bgRect.Contains(r.R - 1, r.B - 1)) << "inside the panel";
    for (int j = 1; j < i + 1; ++j) EXPECT_FALSE(RectOf(g, j).Intersects(IRECT(r.L, r.T, r.R - 1, r.B - 1)));
  }

  // A second instance shares the process's images.
  HostedQuenbar other;
  for (const Want& w : want)
    EXPECT_EQ(other.g->LoadIBitmap(w.id, "", w.frames).mData, g->LoadIBitmap(w.id, "", w.frames).mData);
}

// A vertical drag on the Mix knob, sent through the core's event entry
// points: the parameter moves, the host hears begin/perform/end, the effect's
// internal value follows, and the next block is processed with it.
TEST(QuenbarEditor, DragOnMixReachesTheParameterTheHostAndTheAudio)
{
  HostedQuenbar q;
  IGraphics* g = q.g;
  q.plugin.Handler().ClearRecord();
  const double before = q.effect->GetParam(Quenbar::kMix)->GetNormalized();
  ASSERT_EQ(before, 1.0);

  int x, y;
  Centre(RectOf(g, 2), &x, &y);
  IMouseMod left(true);
  g->OnMouseDown(x, y, &left);
  for (int step = 1; step <= 8; ++step) g->OnMouseDrag(x, y + 5 * step, &left); // pull down: less wet
  g->OnMouseUp(x, y + 40, &left);

  const double after = q.effect->GetParam(Quenbar::kMix)->GetNormalized();
  EXPECT_LT(after, before);
  EXPECT_GT(after, 0.0);
  EXPECT_DOUBLE_EQ(q.effect->MixAmount(), q.effect->GetParam(Quenbar::kMix)->GetValue()) << "OnParamChange ran";

  const std::vector<std::string> log = q.plugin.Handler().Log();
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ(log.front(), "begin 1");
  EXPECT_EQ(log.back(), "end 1");
  for (size_t i = 1; i + 1 < log.size(); ++i) EXPECT_EQ(log[i].rfind("perform 1 ", 0), 0u) << log[i];
  char last[64];
  snprintf(last, sizeof(last), "perform 1 %.3f", after);
  EXPECT_EQ(log[log.size() - 2], last);

  // The next block uses the new value: it matches an instance that got the
  // same value from the host, and differs from one left at the default.
  std::vector<float> edited, hostSet, untouched;
  q.Block(nullptr, &edited);
  HostedQuenbar viaHost, plain;
  vst3host::ParameterChanges changes;
  changes.Add(Quenbar::kMix, 0, after);
  viaHost.Block(&changes, &hostSet);
  plain.Block(nullptr, &untouched);
  EXPECT_EQ(edited, hostSet);
  EXPECT_NE(edited, untouched);
}

// Host automation reaches the knob: the control is dirty, and the next paint
// shows the strip frame for the new value over the background.
TEST(QuenbarEditor, HostChangesReachTheKnobOnTheNextPaint)
{
  HostedQuenbar q;
  IGraphics* g = q.g;
  Raster_IBitmap* bm = q.PaintAll();
  ASSERT_NE(bm, nullptr);
  IRECT dirty;
  EXPECT_FALSE(g->IsDirty(&dirty)) << "all clean after painting";

  const double tone = 0.3;
  vst3host::ParameterChanges changes;
  changes.Add(Quenbar::kTone, 0, tone);
  q.Block(&changes);
  dirty = IRECT();
  ASSERT_TRUE(g->IsDirty(&dirty));
  const IRECT knob = RectOf(g, 3);
  EXPECT_EQ(dirty.L, knob.L);
  EXPECT_EQ(dirty.T, knob.T);
  EXPECT_EQ(dirty.R, knob.R);
  EXPECT_EQ(dirty.B, knob.B);
  g->Draw(&dirty);

  // Expected: the background under the knob, then frame int(60 * v + 0.5).
  IBitmap bg = g->LoadIBitmap(QuenbarEditor::kBackgroundID, "", 1);
  IBitmap strip = g->LoadIBitmap(QuenbarEditor::kToneID, "", 61);
  const int frame = (int)(60 * tone + 0.5);
  const int h = strip.H / 61;
  Raster_MemBitmap expect;
  expect.resize(knob.W(), knob.H());
  Raster_Blit(&expect, bg.mData, 0, 0, knob.L, knob.T, knob.W(), knob.H(), 1.f, 0);
  Raster_Blit(&expect, strip.mData, 0, 0, 0, frame * h, knob.W(), h, 1.f, RASTER_MODE_SOURCEALPHA);
  int differing = 0;
  for (int yy = 0; yy < knob.H(); ++yy)
    for (int xx = 0; xx < knob.W(); ++xx)
      if (PixelAt(bm, knob.L + xx, knob.T + yy) != PixelAt(&expect, xx, yy)) ++differing;
  EXPECT_EQ(differing, 0);
}

TEST(QuenbarEditor, RestoringAStateRedrawsTheControls)
{
  HostedQuenbar q;
  IGraphics* g = q.g;
  q.PaintAll();
  IRECT dirty;
  ASSERT_FALSE(g->IsDirty(&dirty));

  const double plain[5] = {-6.0, 0.25, 1.0, 12.0, 1.0};
  std::vector<uint8_t> bytes(44, 0);
  memcpy(bytes.data(), plain, 40);
  std::string error;
  ASSERT_TRUE(q.plugin.LoadState(bytes, &error)) << error;
  dirty = IRECT();
  ASSERT_TRUE(g->IsDirty(&dirty));
  for (int i = 1; i <= 5; ++i)
  {
    EXPECT_TRUE(g->GetControl(i)->IsDirty()) << i;
    EXPECT_DOUBLE_EQ(g->GetControl(i)->GetValue(), q.effect->GetParam(i - 1)->GetNormalized()) << i;
  }
}

// The whole panel against committed pictures, at the defaults and at one
// other setting. A mismatch writes the actual picture beside the test.
TEST(QuenbarEditor, GoldenPanels)
{
  struct Golden
  {
    const char* file;
    std::vector<std::pair<ParamID, double>> values;
  };
  const Golden goldens[] = {
    {"editor_default.png", {}},
    {"editor_driven.png", {{Quenbar::kLevel, 0.3}, {Quenbar::kMix, 0.6}, {Quenbar::kTone, 0.95},
                           {Quenbar::kSnap, 0.8}, {Quenbar::kBypass, 1.0}}},
  };
  for (const Golden& gold : goldens)
  {
    SCOPED_TRACE(gold.file);
    HostedQuenbar q;
    vst3host::ParameterChanges changes;
    for (const auto& v : gold.values) changes.Add(v.first, 0, v.second);
    q.Block(&changes);
    Raster_IBitmap* bm = q.PaintAll();
    ASSERT_NE(bm, nullptr);
    const std::string path = std::string(QUENBAR_GOLDEN_DIR) + "/" + gold.file;
    Raster_IBitmap* want = Raster_LoadPNG(path.c_str());
    if (!want || want->getWidth() != bm->getWidth() || want->getHeight() != bm->getHeight())
    {
      Raster_WritePNG(gold.file, bm);
      delete want;
      FAIL() << "no golden picture " << path << " of the panel's size; wrote the actual one to " << gold.file;
    }
    int differing = 0;
    for (int y = 0; y < bm->getHeight(); ++y)
      for (int x = 0; x < bm->getWidth(); ++x)
        if (PixelAt(bm, x, y) != PixelAt(want, x, y)) ++differing;
    delete want;
    if (differing) Raster_WritePNG(gold.file, bm);
    EXPECT_EQ(differing, 0) << "the actual picture is in " << gold.file;
  }
}
