// quenbar snapshot --window: the bundle's editor opened as a host opens it,
// in a real X window driven by the host library's run loop, and its first
// frame read back from the server into a PNG.
#include <X11/Xlib.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "pluginterfaces/gui/iplugview.h"
#include "raster/bitmap.h"
#include "raster/png.h"
#include "tools/host/plugframe.h"
#include "tools/host/runloop.h"
#include "tools/host/session.h"
#include "tools/host/xembedder.h"
#include "tools/host/xgrab.h"
#include "tools/host/xvfb.h"
#include "tools/quenbar/atomicfile.h"
#include "tools/quenbar/commands.h"
#include "tools/quenbar/settings.h"

namespace quenbar {

namespace {

using Clock = std::chrono::steady_clock;

// The whole wait for the first frame, and the loop time between the two
// grabs that must agree (a few editor timer ticks).
const int kFrameTimeoutMs = 10000;
const int kSettleMs = 120;

int RemainingMs(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

// The host's side of one open editor; closes it as a host does, whatever
// step failed. Declared after the session so the view goes first.
struct HostWindow {
  Display* display = nullptr;
  Window parent = 0;
  Steinberg::IPlugView* view = nullptr;
  bool attached = false;
  vst3host::RunLoop loop;
  vst3host::PlugFrame frame;

  HostWindow() { frame.mRunLoop = &loop; }
  ~HostWindow() {
    if (view) {
      if (attached) view->removed();
      view->setFrame(nullptr);
      view->release();
    }
    if (display) {
      if (parent) XDestroyWindow(display, parent);
      XCloseDisplay(display);
    }
  }
};

Window ChildOf(Display* display, Window parent) {
  // XEmbed's embedder part first (it maps the child when asked), then any child.
  const vst3host::XEmbedClient client = vst3host::XEmbedChildOf(display, parent);
  if (client.window) return client.window;
  Window root = 0, up = 0, *children = nullptr, child = 0;
  unsigned int n = 0;
  if (XQueryTree(display, parent, &root, &up, &children, &n) && n > 0) child = children[0];
  if (children) XFree(children);
  return child;
}

bool Viewable(Display* display, Window w) {
  XWindowAttributes a{};
  return XGetWindowAttributes(display, w, &a) && a.map_state == IsViewable;
}

// Runs the loop until the child shows a frame: viewable, then two grabs a
// few timer ticks apart that agree and are not one colour (the window has
// no background, so before the first frame it is uniformly the parent's).
bool WaitForFrame(HostWindow& host, Window child, int w, int h, std::vector<uint32_t>* pixels) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(kFrameTimeoutMs);
  if (!host.loop.RunUntil([&] { return Viewable(host.display, child); }, RemainingMs(deadline))) return false;
  std::vector<uint32_t> previous;
  while (RemainingMs(deadline) > 0) {
    // What the server gives back is what shows: raised over anything that
    // covers it, with the editor given the time to repaint what that exposed.
    XRaiseWindow(host.display, host.parent);
    host.loop.RunFor(kSettleMs);
    if (!vst3host::GrabWindow(host.display, child, 0, 0, w, h, pixels)) pixels->clear();
    if (!pixels->empty() && !vst3host::AllOneColour(*pixels) && *pixels == previous) return true;
    previous.swap(*pixels);
  }
  return false;
}

}  // namespace

int RunSnapshotWindow(const Options& o, const std::string& bundlePath, FILE* out) {
  std::string error;
  std::vector<uint8_t> state;
  if (!o.stateIn.empty() && !ReadStateFile(o.stateIn, &state, &error)) return Fail(error);
  AtomicFile file;
  if (!file.Open(o.output, &error)) return Fail(error);

  // Destroyed in reverse: the editor, the host's connection, the plug-in,
  // then the server they were on.
  vst3host::PrivateXServer server;
  vst3host::Session session;
  HostWindow host;

  if (!session.Open(bundlePath, &error)) return Fail(error);
  // The view first, as a host has it before the user opens the editor; the
  // settings then reach the editor as they reach an open one.
  host.view = session.plugin.Controller()->createView(Steinberg::Vst::ViewType::kEditor);
  if (!host.view) return Fail("the plug-in has no editor view");
  if (host.view->isPlatformTypeSupported(Steinberg::kPlatformTypeX11EmbedWindowID) != Steinberg::kResultTrue)
    return Fail("the plug-in's editor cannot be embedded in an X11 window");
  Steinberg::ViewRect size;
  if (host.view->getSize(&size) != Steinberg::kResultTrue || size.getWidth() <= 0 || size.getHeight() <= 0)
    return Fail("the plug-in's editor has no size");
  const int w = size.getWidth(), h = size.getHeight();

  if (!ApplySettings(o, state, session.plugin, &error)) return Fail(error);

  std::string displayName;
  if (!vst3host::ChooseXServer(&server, &displayName, &error)) return Fail("no X server: " + error);
  host.display = XOpenDisplay(displayName.c_str());
  if (!host.display) return Fail("cannot open the X display " + displayName);

  XSetWindowAttributes a{};
  a.override_redirect = True;  // exactly where asked, window manager or not
  a.background_pixel = BlackPixel(host.display, DefaultScreen(host.display));
  host.parent = XCreateWindow(host.display, DefaultRootWindow(host.display), 0, 0, static_cast<unsigned>(w),
                              static_cast<unsigned>(h), 0, CopyFromParent, InputOutput, CopyFromParent,
                              CWOverrideRedirect | CWBackPixel, &a);
  XMapRaised(host.display, host.parent);
  XSync(host.display, False);

  host.view->setFrame(&host.frame);
  if (host.view->attached(reinterpret_cast<void*>(static_cast<uintptr_t>(host.parent)),
                          Steinberg::kPlatformTypeX11EmbedWindowID) != Steinberg::kResultTrue)
    return Fail("the plug-in refused to open its editor in the window");
  host.attached = true;
  const Window child = ChildOf(host.display, host.parent);
  if (!child) return Fail("the plug-in's editor made no window in the host's window");

  std::vector<uint32_t> pixels;
  if (!WaitForFrame(host, child, w, h, &pixels))
    return Fail("the editor's window showed no frame within " + std::to_string(kFrameTimeoutMs / 1000) + " s");

  Raster_MemBitmap picture(w, h);
  if (!picture.getBits()) return Fail("out of memory for the picture");
  for (int y = 0; y < h; ++y) {
    Raster_Pixel* row = Raster_RowPtr(&picture, y);
    for (int x = 0; x < w; ++x) row[x] = pixels[static_cast<size_t>(y) * static_cast<size_t>(w) + x];
  }
  if (!Raster_WritePNG(file.TempPath().c_str(), &picture)) return Fail("cannot write " + o.output);
  if (!file.Commit(&error)) return Fail(error);
  std::fprintf(out, "wrote %s: %dx%d editor window on %s\n", o.output.c_str(), w, h, displayName.c_str());
  return 0;
}

}  // namespace quenbar
