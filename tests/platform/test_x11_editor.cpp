// The editor's X11 window hosted as a host hosts it: opened in a parent
// window of the test's own connection, driven by the host's run loop, fed
// real pointer input through XTest. Every case runs with a strict host and
// with an XEmbed embedder.
#include "x11_host_fixture.h"

#include <X11/Xatom.h>
#include <X11/extensions/XShm.h>

#include <algorithm>

#include "tools/host/session.h"
#include "tools/host/xvfb.h"

using namespace x11test;
using Steinberg::kResultFalse;
using Steinberg::kResultTrue;
using Steinberg::kPlatformTypeX11EmbedWindowID;

namespace
{

class X11Editor : public testing::TestWithParam<HostKind>
{
protected:
  void SetUp() override
  {
    host = std::make_unique<X11Host>(GetParam());
    if (!X11Host::DisplayExpected()) GTEST_SKIP() << "no X display (run under xvfb-run)";
    ASSERT_NE(host->Dpy(), nullptr) << "the X server never accepted a connection";
  }
  void TearDown() override
  {
    if (!host || !host->Dpy()) return;
    // Nothing of any editor is left with the host.
    EXPECT_EQ(host->Loop().EventHandlers(), 0);
    EXPECT_EQ(host->Loop().Timers(), 0);
    EXPECT_EQ(host->Loop().BadFds(), 0) << "an fd was closed before it was unregistered";
    EXPECT_EQ(host->Loop().ExtraRefs(), 0) << "a reference on the run loop was kept";
  }

  // The control's centre in editor coordinates.
  static void Centre(IControl* c, int* x, int* y)
  {
    *x = (c->GetTargetRECT()->L + c->GetTargetRECT()->R) / 2;
    *y = (c->GetTargetRECT()->T + c->GetTargetRECT()->B) / 2;
  }
  // The editor opened with Mix set by host automation to value (left alone
  // when negative), its first frame shown; the Mix knob and its centre, or
  // null when a step failed.
  IControl* OpenOverMix(Editor& e, double value, int* x, int* y)
  {
    const ::testing::AssertionResult opened = host->Open(e);
    EXPECT_TRUE(opened);
    if (!opened) return nullptr;
    if (value >= 0) e.Automate(Quenbar::kMix, value);
    IControl* mix = e.ControlOf(Quenbar::kMix);
    EXPECT_NE(mix, nullptr);
    if (!mix || !host->WaitForPresents(e, 1)) return nullptr;
    Centre(mix, x, y);
    return mix;
  }
  static int Count(const std::vector<std::string>& log, const std::string& entry)
  {
    return (int)std::count(log.begin(), log.end(), entry);
  }

  std::unique_ptr<X11Host> host;
};

TEST_P(X11Editor, OpensInTheParentAndShowsTheDrawingBitmap)
{
  Editor e;
  ASSERT_TRUE(host->Open(e));
  const Window child = e.Child();
  // The panel is on screen when attached returns, not a timer period later.
  EXPECT_GE(e.Graphics()->Presents(), 1);
  EXPECT_TRUE(host->WindowShowsBitmap(e, IRECT(0, 0, 732, 208)));

  Window root = 0, up = 0, *children = nullptr;
  unsigned int n = 0;
  ASSERT_TRUE(XQueryTree(host->Dpy(), child, &root, &up, &children, &n));
  if (children) XFree(children);
  EXPECT_EQ(up, e.parent) << "a child of the host's window";
  XWindowAttributes attrs;
  ASSERT_TRUE(XGetWindowAttributes(host->Dpy(), child, &attrs));
  EXPECT_EQ(attrs.width, 732);
  EXPECT_EQ(attrs.height, 208);
  EXPECT_EQ(attrs.map_state, IsViewable) << "mapped by the editor itself";
  const long wanted = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | LeaveWindowMask |
                      KeyPressMask | StructureNotifyMask;
  EXPECT_EQ(attrs.all_event_masks & wanted, wanted);

  // _XEMBED_INFO: version 0, mapped, set before attached returned.
  const Atom info = XInternAtom(host->Dpy(), "_XEMBED_INFO", False);
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  ASSERT_EQ(XGetWindowProperty(host->Dpy(), child, info, 0, 2, False, info, &type, &format, &count, &after, &data),
            Success);
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(type, info);
  EXPECT_EQ(format, 32);
  ASSERT_EQ(count, 2u);
  EXPECT_EQ(((long*)data)[0], 0);
  EXPECT_EQ(((long*)data)[1], 1);
  XFree(data);

  // One timer and one fd, on a connection that is not ours.
  EXPECT_EQ(host->Loop().Timers(), 1);
  ASSERT_EQ(host->Loop().EventHandlers(), 1);
  EXPECT_NE(host->Loop().Fds()[0], ConnectionNumber(host->Dpy()));

  ASSERT_TRUE(host->WaitForPresents(e, 1));
  EXPECT_TRUE(host->WindowShowsBitmap(e, IRECT(0, 0, 732, 208))) << "the first frame is the whole panel";
  // The test's server is local: MIT-SHM is offered and attaching works.
  EXPECT_EQ(e.Graphics()->PresentsThroughSharedMemory(), (bool)XShmQueryExtension(host->Dpy()));

  // An exposure repaints from the bitmap: cover part of the panel, uncover it.
  Window cover = XCreateSimpleWindow(host->Dpy(), e.parent, 100, 50, 200, 100, 0, 0, 0xFF00FF);
  XMapRaised(host->Dpy(), cover);
  XSync(host->Dpy(), False);
  const int before = e.Graphics()->Presents();
  XDestroyWindow(host->Dpy(), cover);
  XSync(host->Dpy(), False);
  ASSERT_TRUE(host->WaitForPresents(e, before + 1));
  EXPECT_TRUE(host->WindowShowsBitmap(e, IRECT(0, 0, 732, 208)));

  host->Close(e);
  EXPECT_FALSE(e.Graphics()->WindowIsOpen());
  EXPECT_EQ(host->ChildrenOf(e.parent), 0u) << "the child is destroyed";
}

TEST_P(X11Editor, PlainPutImageShowsTheSameFrames)
{
  IGraphicsLinux::AllowSharedMemory(false);
  Editor e;
  const bool opened = host->Open(e);
  IGraphicsLinux::AllowSharedMemory(true);
  ASSERT_TRUE(opened);
  EXPECT_FALSE(e.Graphics()->PresentsThroughSharedMemory());
  ASSERT_TRUE(host->WaitForPresents(e, 1));
  EXPECT_TRUE(host->WindowShowsBitmap(e, IRECT(0, 0, 732, 208)));
  IControl* mix = e.ControlOf(Quenbar::kMix);
  ASSERT_NE(mix, nullptr);
  e.Automate(Quenbar::kMix, 0.75);
  ASSERT_TRUE(host->Loop().RunUntil([&] { return !mix->IsDirty(); }, kWaitMs));
  EXPECT_TRUE(host->WindowShowsBitmap(e, IRECT(0, 0, 732, 208)));
  host->Close(e);
}

TEST_P(X11Editor, DraggingTheMixKnobEditsTheParameter)
{
  Editor e;
  int x, y;
  IControl* mix = OpenOverMix(e, 0.5, &x, &y);
  ASSERT_NE(mix, nullptr);
  e.hosted->plugin.Handler().ClearRecord();

  host->MoveTo(e, x, y);
  host->Button(1, true);
  for (int step = 1; step <= 4; ++step) host->MoveTo(e, x, y - 10 * step);
  host->Button(1, false);
  const std::string end = "end " + std::to_string(Quenbar::kMix);
  ASSERT_TRUE(host->Loop().RunUntil([&] { return Count(e.hosted->plugin.Handler().Log(), end) == 1; }, kWaitMs));

  EXPECT_GT(e.Value(Quenbar::kMix), 0.5) << "dragging up raises the value";
  const std::vector<std::string> log = e.hosted->plugin.Handler().Log();
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ(log.front(), "begin " + std::to_string(Quenbar::kMix));
  EXPECT_EQ(log.back(), end);
  int performs = 0;
  for (const std::string& entry : log)
    if (entry.rfind("perform " + std::to_string(Quenbar::kMix) + " ", 0) == 0) ++performs;
  EXPECT_GE(performs, 1);
  EXPECT_EQ(performs + 2, (int)log.size()) << "only the Mix parameter was touched";

  // A frame shows the new position: the knob is painted (and so presented)
  // once it is clean, whichever tick that was.
  ASSERT_TRUE(host->Loop().RunUntil([&] { return !mix->IsDirty(); }, kWaitMs));
  EXPECT_TRUE(host->WindowShowsBitmap(e, *mix->GetRECT()));
  host->Close(e);
}

TEST_P(X11Editor, WheelStepsTheKnobAndSidewaysScrollIsIgnored)
{
  Editor e;
  int x, y;
  IControl* mix = OpenOverMix(e, 0.5, &x, &y);
  ASSERT_NE(mix, nullptr);

  host->MoveTo(e, x, y);
  host->Click(6);
  host->Click(7);
  host->Click(4);
  ASSERT_TRUE(host->Loop().RunUntil([&] { return mix->GetValue() > 0.5; }, kWaitMs));
  EXPECT_NEAR(mix->GetValue(), 0.51, 1e-9) << "one step up; 6 and 7 did nothing";
  host->Click(5);
  host->Click(5);
  ASSERT_TRUE(host->Loop().RunUntil([&] { return mix->GetValue() < 0.495; }, kWaitMs));
  EXPECT_NEAR(mix->GetValue(), 0.49, 1e-9);
  EXPECT_NEAR(e.Value(Quenbar::kMix), 0.49, 1e-9) << "the parameter follows the knob";
  host->Close(e);
}

TEST_P(X11Editor, DoubleClickRestoresTheDefault)
{
  Editor e;
  const double def = e.hosted->effect->GetParam(Quenbar::kMix)->GetDefaultNormalized();
  const double away = def > 0.5 ? 0.1 : 0.9;
  int x, y;
  ASSERT_NE(OpenOverMix(e, away, &x, &y), nullptr);
  ASSERT_NEAR(e.Value(Quenbar::kMix), away, 1e-9);

  host->MoveTo(e, x, y, false);
  host->Click(1, false);
  host->MoveTo(e, x + 2, y + 2, false); // within the distance a double click allows
  host->Click(1);
  ASSERT_TRUE(host->Loop().RunUntil([&] { return std::abs(e.Value(Quenbar::kMix) - def) < 1e-9; }, kWaitMs));
  host->Close(e);
}

TEST_P(X11Editor, TwoClicksFarApartAreNoDoubleClick)
{
  Editor e;
  int x, y;
  ASSERT_NE(OpenOverMix(e, 0.3, &x, &y), nullptr);
  e.hosted->plugin.Handler().ClearRecord();

  host->MoveTo(e, x - 6, y);
  host->Click(1);
  host->MoveTo(e, x + 6, y); // 12 pixels away: a second single click
  host->Click(1);
  const std::string end = "end " + std::to_string(Quenbar::kMix);
  ASSERT_TRUE(host->Loop().RunUntil([&] { return Count(e.hosted->plugin.Handler().Log(), end) == 2; }, kWaitMs));
  EXPECT_EQ(Count(e.hosted->plugin.Handler().Log(), "begin " + std::to_string(Quenbar::kMix)), 2)
    << "both presses went to OnMouseDown";
  EXPECT_NEAR(e.Value(Quenbar::kMix), 0.3, 1e-9);
  host->Close(e);
}

TEST_P(X11Editor, RightClickAsksTheHostsContextMenu)
{
  Editor e;
  int x, y;
  ASSERT_NE(OpenOverMix(e, -1, &x, &y), nullptr);
  vst3host::ComponentHandler& handler = e.hosted->plugin.Handler();
  handler.OfferMenus(true);
  handler.ClearRecord();

  host->MoveTo(e, x, y);
  host->Click(3);
  ASSERT_TRUE(host->Loop().RunUntil([&] { return handler.mMenu.mPopups == 1; }, kWaitMs));
  EXPECT_EQ(handler.mMenuTag, (Steinberg::Vst::ParamID)Quenbar::kMix);
  EXPECT_EQ(handler.mMenu.mX, x);
  EXPECT_EQ(handler.mMenu.mY, y);
  // The release still reaches the knob, which ends the change it never began.
  const std::string end = "end " + std::to_string(Quenbar::kMix);
  ASSERT_TRUE(host->Loop().RunUntil([&] { return Count(handler.Log(), end) == 1; }, kWaitMs));
  EXPECT_EQ(Count(handler.Log(), "begin " + std::to_string(Quenbar::kMix)), 0);
  host->Close(e);
}

TEST_P(X11Editor, HostAutomationIsShownAfterTheNextTick)
{
  Editor e;
  ASSERT_TRUE(host->Open(e));
  e.Automate(Quenbar::kMix, 0.0);
  IControl* mix = e.ControlOf(Quenbar::kMix);
  ASSERT_NE(mix, nullptr);
  const IRECT r = *mix->GetRECT();
  ASSERT_TRUE(host->Loop().RunUntil([&] { return e.Graphics()->Presents() >= 1 && !mix->IsDirty(); }, kWaitMs));
  const std::vector<unsigned long> before = host->WindowPixels(e, r);
  ASSERT_FALSE(before.empty());

  e.Automate(Quenbar::kMix, 1.0);
  ASSERT_TRUE(host->Loop().RunUntil([&] { return !mix->IsDirty(); }, kWaitMs)) << "painted by the timer";
  EXPECT_NE(host->WindowPixels(e, r), before) << "the knob moved on screen";
  EXPECT_TRUE(host->WindowShowsBitmap(e, r));
  host->Close(e);
}

TEST_P(X11Editor, HostDestroyingTheParentFirstIsSurvived)
{
  Editor e;
  ASSERT_TRUE(host->Open(e));
  ASSERT_TRUE(host->WaitForPresents(e, 1));
  XDestroyWindow(host->Dpy(), e.parent);
  XSync(host->Dpy(), False);
  ASSERT_TRUE(host->Loop().RunUntil([&] { return !e.Graphics()->WindowIsOpen(); }, kWaitMs));
  // The timer still runs until removed, and paints nothing.
  const int presents = e.Graphics()->Presents();
  e.Automate(Quenbar::kMix, 0.25);
  host->Loop().RunFor(150);
  EXPECT_EQ(e.Graphics()->Presents(), presents);
  EXPECT_EQ(host->Loop().Timers(), 1) << "unregistered only on removed";
  host->Close(e);
  e.Graphics()->CloseWindow(); // the plug-in side again: told once already
  EXPECT_FALSE(e.Graphics()->WindowIsOpen());
}

TEST_P(X11Editor, CallbacksAfterClosingReachNothing)
{
  host->Loop().mCallAfterUnregister = true;
  Editor e;
  ASSERT_TRUE(host->Open(e));
  ASSERT_TRUE(host->WaitForPresents(e, 1));
  const int presents = e.Graphics()->Presents();
  host->Close(e);
  e.Graphics()->CloseWindow(); // closing again changes nothing
  e.hosted->g->SetAllControlsDirty();
  // The late timer and fd calls find the editor closed and paint nothing.
  host->Loop().RunFor(100);
  EXPECT_EQ(e.Graphics()->Presents(), presents);
  EXPECT_FALSE(e.Graphics()->WindowIsOpen());
  // Reopened afterwards, it works as before.
  host->Loop().mCallAfterUnregister = false;
  ASSERT_TRUE(host->Open(e));
  ASSERT_TRUE(host->WaitForPresents(e, presents + 1));
  EXPECT_TRUE(host->WindowShowsBitmap(e, IRECT(0, 0, 732, 208)));
}

TEST_P(X11Editor, ParentGoneBeforeAttachingIsRefused)
{
  Editor e;
  e.view = e.hosted->plugin.Controller()->createView("editor");
  ASSERT_NE(e.view, nullptr);
  e.view->setFrame(&host->Frame());
  Window gone = host->MakeParent(0, 0);
  XDestroyWindow(host->Dpy(), gone);
  XSync(host->Dpy(), False);
  EXPECT_EQ(e.view->attached((void*)(uintptr_t)gone, kPlatformTypeX11EmbedWindowID), kResultFalse);
  EXPECT_FALSE(e.Graphics()->WindowIsOpen());
  EXPECT_EQ(host->Loop().EventHandlers(), 0);
  host->Close(e);
}

TEST_P(X11Editor, AHundredOpenCloseCyclesLeaveNothingBehind)
{
  Editor e;
  // One cycle first: libraries that open files once on first use do it now.
  ASSERT_TRUE(host->Open(e));
  host->Close(e);
  const int fds = OpenFdCount();
  const Window parent = e.parent;
  for (int i = 0; i < 100; ++i)
  {
    e.view = e.hosted->plugin.Controller()->createView("editor");
    ASSERT_NE(e.view, nullptr);
    e.view->setFrame(&host->Frame());
    const int presents = e.Graphics()->Presents();
    ASSERT_EQ(e.view->attached((void*)(uintptr_t)parent, kPlatformTypeX11EmbedWindowID), kResultTrue) << i;
    if (i % 10 == 0)
    {
      ASSERT_TRUE(host->WaitForPresents(e, presents + 1)) << i;
    }
    host->Close(e);
    ASSERT_EQ(host->Loop().EventHandlers(), 0) << i;
    ASSERT_EQ(host->Loop().Timers(), 0) << i;
  }
  EXPECT_EQ(OpenFdCount(), fds) << "every connection was closed";
  EXPECT_EQ(host->ChildrenOf(parent), 0u);
}

TEST_P(X11Editor, TwoEditorsWorkIndependently)
{
  Editor a, b;
  ASSERT_TRUE(host->Open(a, 0, 0));
  ASSERT_TRUE(host->Open(b, 0, 300));
  const std::vector<int> fds = host->Loop().Fds();
  ASSERT_EQ(fds.size(), 2u);
  EXPECT_NE(fds[0], fds[1]) << "a connection each";
  a.Automate(Quenbar::kMix, 0.5);
  b.Automate(Quenbar::kMix, 0.5);
  ASSERT_TRUE(host->WaitForPresents(a, 1));
  ASSERT_TRUE(host->WaitForPresents(b, 1));
  EXPECT_TRUE(host->WindowShowsBitmap(a, IRECT(0, 0, 732, 208)));
  EXPECT_TRUE(host->WindowShowsBitmap(b, IRECT(0, 0, 732, 208)));

  IControl* mix = b.ControlOf(Quenbar::kMix);
  int x, y;
  Centre(mix, &x, &y);
  host->MoveTo(b, x, y);
  host->Button(1, true);
  host->MoveTo(b, x, y - 20);
  host->Button(1, false);
  const std::string end = "end " + std::to_string(Quenbar::kMix);
  ASSERT_TRUE(host->Loop().RunUntil([&] { return Count(b.hosted->plugin.Handler().Log(), end) == 1; }, kWaitMs));
  EXPECT_GT(b.Value(Quenbar::kMix), 0.5);
  EXPECT_NEAR(a.Value(Quenbar::kMix), 0.5, 1e-9) << "the other editor saw nothing";
  EXPECT_TRUE(a.hosted->plugin.Handler().Log().empty());

  // Closing one leaves the other running.
  host->Close(a);
  EXPECT_EQ(host->Loop().EventHandlers(), 1);
  b.Automate(Quenbar::kMix, 1.0);
  const int presents = b.Graphics()->Presents();
  ASSERT_TRUE(host->WaitForPresents(b, presents + 1));
  EXPECT_TRUE(host->WindowShowsBitmap(b, *mix->GetRECT()));
  host->Close(b);
}

TEST_P(X11Editor, PluginDestroyedWithTheEditorOpenClosesIt)
{
  Editor e;
  ASSERT_TRUE(host->Open(e));
  ASSERT_TRUE(host->WaitForPresents(e, 1));
  // A host that drops the view without removed(), then the plug-in.
  e.view->release();
  e.view = nullptr;
  e.hosted.reset();
  EXPECT_EQ(host->Loop().EventHandlers(), 0);
  EXPECT_EQ(host->Loop().Timers(), 0);
  EXPECT_EQ(host->ChildrenOf(e.parent), 0u) << "the editor's window went with it";
  host->Loop().RunFor(100);
}

// The built bundle, loaded through its ABI: its first frame is the panel the
// in-process editor paints for the same (default) settings, and a drag edits.
TEST_P(X11Editor, TheBundlesEditorInAHostWindow)
{
  qeditor::HostedQuenbar reference;
  Raster_IBitmap* expected = reference.PaintAll();
  ASSERT_NE(expected, nullptr);

  vst3host::Session session;
  std::string error;
  ASSERT_TRUE(session.Open(QUENBAR_BUNDLE_DIR, &error)) << error;
  Steinberg::IPlugView* view = session.plugin.Controller()->createView("editor");
  ASSERT_NE(view, nullptr);
  view->setFrame(&host->Frame());
  const Window parent = host->MakeParent(0, 0);
  ASSERT_EQ(view->attached((void*)(uintptr_t)parent, kPlatformTypeX11EmbedWindowID), kResultTrue);
  Window child = 0;
  if (GetParam() == HostKind::XEmbed)
    child = vst3host::XEmbedChildOf(host->Dpy(), parent).window;
  else
  {
    Window root = 0, up = 0, *children = nullptr;
    unsigned int n = 0;
    ASSERT_TRUE(XQueryTree(host->Dpy(), parent, &root, &up, &children, &n));
    if (n == 1) child = children[0];
    if (children) XFree(children);
  }
  ASSERT_NE(child, 0u);

  auto showsPanel = [&] {
    XImage* image = XGetImage(host->Dpy(), child, 0, 0, 732, 208, AllPlanes, ZPixmap);
    if (!image) return false;
    bool same = true;
    for (int y = 0; y < 208 && same; ++y)
      for (int x = 0; x < 732 && same; ++x)
        same = (XGetPixel(image, x, y) & 0xFFFFFF) == (qeditor::PixelAt(expected, x, y) & 0xFFFFFF);
    XDestroyImage(image);
    return same;
  };
  EXPECT_TRUE(host->Loop().RunUntil(showsPanel, kWaitMs)) << "the first frame never showed the panel";

  // The Mix knob sits where the in-process editor has it.
  Editor layout;
  IControl* mix = layout.ControlOf(Quenbar::kMix);
  ASSERT_NE(mix, nullptr);
  int x, y;
  Centre(mix, &x, &y);
  session.plugin.Handler().ClearRecord();
  host->MoveTo(layout, x, y);
  host->Button(1, true);
  host->MoveTo(layout, x, y + 30);
  host->Button(1, false);
  const std::string end = "end " + std::to_string(Quenbar::kMix);
  EXPECT_TRUE(host->Loop().RunUntil([&] { return Count(session.plugin.Handler().Log(), end) == 1; }, kWaitMs));

  view->removed();
  view->setFrame(nullptr);
  EXPECT_EQ(view->release(), 0u);
  EXPECT_EQ(host->ChildrenOf(parent), 0u);
}

INSTANTIATE_TEST_SUITE_P(Hosts, X11Editor, testing::Values(HostKind::Strict, HostKind::XEmbed), HostKindName);

TEST(X11EditorAttach, AHostWithoutARunLoopIsRefused)
{
  X11Host host(HostKind::Strict);
  if (!X11Host::DisplayExpected()) GTEST_SKIP() << "no X display (run under xvfb-run)";
  ASSERT_NE(host.Dpy(), nullptr) << "the X server never accepted a connection";
  host.Frame().mRunLoop = nullptr;
  Editor e;
  e.view = e.hosted->plugin.Controller()->createView("editor");
  ASSERT_NE(e.view, nullptr);
  EXPECT_EQ(e.view->isPlatformTypeSupported(kPlatformTypeX11EmbedWindowID), kResultTrue);
  EXPECT_EQ(e.view->isPlatformTypeSupported(Steinberg::kPlatformTypeNSView), kResultFalse);
  EXPECT_EQ(e.view->isPlatformTypeSupported(Steinberg::kPlatformTypeHIView), kResultFalse);
  const Window parent = host.MakeParent(0, 0);
  // No frame at all, then a frame without a run loop.
  EXPECT_EQ(e.view->attached((void*)(uintptr_t)parent, kPlatformTypeX11EmbedWindowID), kResultFalse);
  e.view->setFrame(&host.Frame());
  EXPECT_EQ(e.view->attached((void*)(uintptr_t)parent, kPlatformTypeX11EmbedWindowID), kResultFalse);
  EXPECT_EQ(e.view->attached((void*)(uintptr_t)parent, Steinberg::kPlatformTypeNSView), kResultFalse);
  EXPECT_FALSE(e.Graphics()->WindowIsOpen());
  EXPECT_EQ(host.ChildrenOf(parent), 0u) << "no window was made";
  host.Close(e);
}

// The X server going away under an open editor (a crashed or stopped
// server, a dropped remote connection) loses the window, not the host.
TEST(X11EditorServer, ALostConnectionEndsTheWindowNotTheProcess)
{
  vst3host::PrivateXServer server;
  std::string error;
  if (!server.Start(&error)) GTEST_SKIP() << "no private X server: " << error;
  const char* was = getenv("DISPLAY");
  const std::string previous = was ? was : "";
  setenv("DISPLAY", server.DisplayName().c_str(), 1);
  int (*hostsHandler)(Display*) = [](Display*) { return 0; };
  int (*before)(Display*) = XSetIOErrorHandler(hostsHandler);
  {
    X11Host host(HostKind::Strict);
    ASSERT_NE(host.Dpy(), nullptr);
    // The host's own connection breaks too; this host survives that itself
    // (its handler must also be the one the editor hands other losses to).
    XSetIOErrorExitHandler(host.Dpy(), [](Display*, void*) {}, nullptr);

    Editor e;
    ASSERT_TRUE(host.Open(e));
    ASSERT_TRUE(host.WaitForPresents(e, 1));
    server.Stop();
    // The next fd callback reads the end of the connection: the window is
    // gone and the editor is off the run loop, which would otherwise spin
    // on a descriptor that polls readable for ever.
    EXPECT_TRUE(host.Loop().RunUntil([&] { return host.Loop().EventHandlers() == 0; }, kWaitMs));
    EXPECT_EQ(host.Loop().Timers(), 0);
    EXPECT_FALSE(e.Graphics()->WindowIsOpen());
    e.hosted->g->SetAllControlsDirty();
    host.Loop().RunFor(100);
    host.Close(e);
    EXPECT_FALSE(e.Graphics()->WindowIsOpen());
    // The editor's handler was there only while it was at work.
    EXPECT_EQ(XSetIOErrorHandler(hostsHandler), hostsHandler);
  }
  XSetIOErrorHandler(before);
  if (previous.empty()) unsetenv("DISPLAY");
  else setenv("DISPLAY", previous.c_str(), 1);
}

} // namespace
