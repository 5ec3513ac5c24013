// The editor in a real X window, hosted through the bundle's ABI as a host
// hosts it (the host library's run loop and plug frame, a parent window on
// the host's own connection):
// - AttachToFirstFrame: from attached() to the moment the host's connection
//   reads the panel's first frame back from the child window (manual time,
//   a fresh attach every iteration, removed after). Target: under 50 ms.
// - IdleCpu: the process's CPU time per wall second, in percent of one
//   core, while the run loop runs for 3 s with an open editor that has
//   nothing to redraw ("editor") and with no editor at all ("no_editor", the
//   loop's bare wait). Target for the editor: under 0.5 %.
// Runs on $DISPLAY, or on a private Xvfb when DISPLAY is not set.

#include <benchmark/benchmark.h>

#include <X11/Xlib.h>
#include <time.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "Quenbar/Quenbar.h"
#include "graphics/IGraphics.h"
#include "pluginterfaces/gui/iplugview.h"
#include "raster/bitmap.h"
#include "tools/host/plugframe.h"
#include "tools/host/plugin.h"
#include "tools/host/runloop.h"
#include "tools/host/session.h"
#include "tools/host/xgrab.h"
#include "tools/host/xvfb.h"

namespace
{

using Clock = std::chrono::steady_clock;

const int kFrameTimeoutMs = 10000;
const int kIdleMs = 3000;

std::string gDisplayName;

double ProcessCpuSeconds()
{
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return (double)ts.tv_sec + (double)ts.tv_nsec * 1e-9;
}

// Rows of the default panel, painted in-process as `quenbar snapshot` paints
// it: what the window must show once its first frame is up.
struct ExpectedPanel
{
  int width = 0, height = 0;
  std::vector<int> rows;
  std::vector<std::vector<uint32_t>> pixels;

  bool Make(std::string* error)
  {
    auto* effect = new Quenbar(IPluginInstanceInfo());
    vst3host::Plugin plugin;
    if (!plugin.Adopt(static_cast<Steinberg::Vst::IComponent*>(effect), nullptr, error)) return false;
    IGraphics* g = dynamic_cast<IGraphics*>(effect->GetGraphics());
    if (!g)
    {
      *error = "the effect has no editor";
      return false;
    }
    IRECT all(0, 0, g->Width(), g->Height());
    g->SetAllControlsDirty();
    g->Draw(&all);
    Raster_IBitmap* bm = g->GetDrawBitmap();
    if (!bm)
    {
      *error = "the editor made no drawing bitmap";
      return false;
    }
    width = g->Width();
    height = g->Height();
    // The middle and the last row: the frame is up as a whole.
    rows = {height / 2, height - 1};
    for (int y : rows)
    {
      const Raster_Pixel* row = Raster_RowPtr(bm, y);
      std::vector<uint32_t> px;
      for (int x = 0; x < width; ++x) px.push_back(0xFF000000u | row[x]);
      pixels.push_back(std::move(px));
    }
    return true;
  }
};

// The host: its own connection, run loop and frame, and the bundle loaded
// once for all iterations of a run.
class BenchHost
{
public:
  ~BenchHost()
  {
    Detach();
    if (mDisplay)
    {
      if (mParent) XDestroyWindow(mDisplay, mParent);
      XCloseDisplay(mDisplay);
    }
  }

  bool Open(std::string* error)
  {
    mFrame.mRunLoop = &mLoop;
    if (!mExpected.Make(error)) return false;
    mDisplay = XOpenDisplay(gDisplayName.c_str());
    if (!mDisplay)
    {
      *error = "cannot open the X display " + gDisplayName;
      return false;
    }
    if (!mSession.Open(QUENBAR_BUNDLE_DIR, error)) return false;
    return true;
  }

  vst3host::RunLoop& Loop() { return mLoop; }

  // createView, setFrame and a fresh parent (not timed), then attached();
  // *attachedAt is when attached() was called.
  bool Attach(Clock::time_point* attachedAt, std::string* error)
  {
    mView = mSession.plugin.Controller()->createView(Steinberg::Vst::ViewType::kEditor);
    if (!mView || mView->isPlatformTypeSupported(Steinberg::kPlatformTypeX11EmbedWindowID) != Steinberg::kResultTrue)
    {
      *error = "the bundle offers no X11 editor view";
      return false;
    }
    XSetWindowAttributes a{};
    a.override_redirect = True;
    a.background_pixel = BlackPixel(mDisplay, DefaultScreen(mDisplay));
    mParent = XCreateWindow(mDisplay, DefaultRootWindow(mDisplay), 0, 0, (unsigned)mExpected.width,
                            (unsigned)mExpected.height, 0, CopyFromParent, InputOutput, CopyFromParent,
                            CWOverrideRedirect | CWBackPixel, &a);
    XMapRaised(mDisplay, mParent);
    XSync(mDisplay, False);
    mView->setFrame(&mFrame);
    *attachedAt = Clock::now();
    if (mView->attached((void*)(uintptr_t)mParent, Steinberg::kPlatformTypeX11EmbedWindowID) != Steinberg::kResultTrue)
    {
      *error = "attached refused";
      return false;
    }
    mAttached = true;
    Window root = 0, up = 0, *children = nullptr;
    unsigned int n = 0;
    if (XQueryTree(mDisplay, mParent, &root, &up, &children, &n) && n > 0) mChild = children[0];
    if (children) XFree(children);
    if (!mChild)
    {
      *error = "the editor made no child window";
      return false;
    }
    return true;
  }

  // The known rows of the child equal the panel's.
  bool ShowsPanel()
  {
    std::vector<uint32_t> px;
    for (size_t i = 0; i < mExpected.rows.size(); ++i)
      if (!vst3host::GrabWindow(mDisplay, mChild, 0, mExpected.rows[i], mExpected.width, 1, &px) ||
          px != mExpected.pixels[i])
        return false;
    return true;
  }

  // Turns of at most a millisecond or two, the rows looked at after each.
  bool RunUntilPanel()
  {
    const auto deadline = Clock::now() + std::chrono::milliseconds(kFrameTimeoutMs);
    while (!ShowsPanel())
    {
      if (Clock::now() >= deadline) return false;
      mLoop.RunFor(1);
    }
    return true;
  }

  void Detach()
  {
    if (mView)
    {
      if (mAttached) mView->removed();
      mView->setFrame(nullptr);
      mView->release();
    }
    mView = nullptr;
    mAttached = false;
    mChild = 0;
    if (mDisplay && mParent)
    {
      XDestroyWindow(mDisplay, mParent);
      XSync(mDisplay, False);
    }
    mParent = 0;
  }

private:
  ExpectedPanel mExpected;
  vst3host::RunLoop mLoop;
  vst3host::PlugFrame mFrame;
  vst3host::Session mSession;  // after the loop: the plug-in goes first
  Display* mDisplay = nullptr;
  Window mParent = 0, mChild = 0;
  Steinberg::IPlugView* mView = nullptr;
  bool mAttached = false;
};

void BM_AttachToFirstFrame(benchmark::State& state)
{
  BenchHost host;
  std::string error;
  if (!host.Open(&error))
  {
    state.SkipWithError(error.c_str());
    return;
  }
  double worst = 0.0;
  for (auto _ : state)
  {
    Clock::time_point start;
    if (!host.Attach(&start, &error))
    {
      state.SkipWithError(error.c_str());
      break;
    }
    if (!host.RunUntilPanel())
    {
      state.SkipWithError("the window never showed the panel");
      break;
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    state.SetIterationTime(seconds);
    if (seconds > worst) worst = seconds;
    host.Detach();
  }
  state.counters["worst_ms"] = worst * 1e3;
}
BENCHMARK(BM_AttachToFirstFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);

// range(0): 1 with an open editor, 0 the loop alone.
void BM_IdleCpu(benchmark::State& state)
{
  const bool editor = state.range(0) != 0;
  BenchHost host;
  std::string error;
  if (editor)
  {
    Clock::time_point start;
    if (!host.Open(&error) || !host.Attach(&start, &error))
    {
      state.SkipWithError(error.c_str());
      return;
    }
    // Idle means the first frame is up and nothing has changed since.
    if (!host.RunUntilPanel())
    {
      state.SkipWithError("the window never showed the panel");
      return;
    }
    host.Loop().RunFor(200);
  }
  double cpu = 0.0, wall = 0.0;
  for (auto _ : state)
  {
    const double cpu0 = ProcessCpuSeconds();
    const auto wall0 = Clock::now();
    host.Loop().RunFor(kIdleMs);
    cpu += ProcessCpuSeconds() - cpu0;
    wall += std::chrono::duration<double>(Clock::now() - wall0).count();
  }
  state.counters["cpu_percent"] = wall > 0.0 ? 100.0 * cpu / wall : 0.0;
  state.counters["timers"] = host.Loop().Timers();
  state.SetLabel(editor ? "editor" : "no_editor");
}
BENCHMARK(BM_IdleCpu)->Arg(1)->Arg(0)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  // One server for the whole run; it goes when main returns.
  vst3host::PrivateXServer server;
  std::string error;
  if (!vst3host::ChooseXServer(&server, &gDisplayName, &error))
  {
    std::fprintf(stderr, "bench_x11_editor: no X server: %s\n", error.c_str());
    return 1;
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
