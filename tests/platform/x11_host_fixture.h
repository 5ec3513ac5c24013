#pragma once
// An X11 host for the editor's window tests: its own X connection with a
// parent window per editor, the host library's run loop and frame, and
// pointer input sent through XTest, all on the test's thread.

#include <gtest/gtest.h>

#include <dirent.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "Quenbar/quenbar_editor_support.h"
#include "graphics/IControl.h"
#include "platform/IGraphicsLinux.h"
#include "pluginterfaces/gui/iplugview.h"
#include "tools/host/plugframe.h"
#include "tools/host/runloop.h"
#include "tools/host/xembedder.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace x11test
{

// Generous: the checks wait for conditions, never for time.
const int kWaitMs = 10000;

enum class HostKind
{
  Strict, // fd callbacks only when the fd polls readable; no XEmbed messages
  XEmbed  // calls fd handlers every turn and embeds the child as XEmbed says
};

inline std::string HostKindName(const testing::TestParamInfo<HostKind>& info)
{
  return info.param == HostKind::Strict ? "StrictHost" : "XEmbedHost";
}

inline int OpenFdCount()
{
  int n = 0;
  if (DIR* d = opendir("/proc/self/fd"))
  {
    while (readdir(d)) ++n;
    closedir(d);
  }
  return n;
}

// One editor shown in one parent window.
struct Editor
{
  std::unique_ptr<qeditor::HostedQuenbar> hosted = std::make_unique<qeditor::HostedQuenbar>();
  Steinberg::IPlugView* view = nullptr;
  Window parent = 0;
  int originX = 0, originY = 0;

  Editor() = default;
  Editor(const Editor&) = delete;
  Editor& operator=(const Editor&) = delete;
  // A case that stopped early still closes its editor like a host would.
  ~Editor()
  {
    if (!view) return;
    view->removed();
    view->release();
  }

  IGraphicsLinux* Graphics() const { return dynamic_cast<IGraphicsLinux*>(hosted->g); }
  Window Child() const { return (Window)(uintptr_t)Graphics()->GetWindow(); }
  IControl* ControlOf(int param) const
  {
    IGraphics* g = hosted->g;
    for (int i = 0; i < g->NControls(); ++i)
      if (g->GetControl(i)->ParamIdx() == param) return g->GetControl(i);
    return nullptr;
  }
  double Value(int param) const { return hosted->effect->GetParam(param)->GetNormalized(); }
  // A host automation change: one processed block carrying it.
  void Automate(int param, double normalized)
  {
    vst3host::ParameterChanges changes;
    changes.Add((Steinberg::Vst::ParamID)param, 0, normalized);
    hosted->Block(&changes);
  }
};

class X11Host
{
public:
  explicit X11Host(HostKind kind) : mKind(kind), mLoop(kind == HostKind::Strict)
  {
    mFrame.mRunLoop = &mLoop;
    mDisplay = OpenDisplay();
  }

  // The server resets when its last client leaves (the previous case's) and
  // refuses connections meanwhile: wait for it to take one.
  static Display* OpenDisplay()
  {
    const char* name = getenv("DISPLAY");
    if (!name || !*name) return nullptr;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
    for (;;)
    {
      if (Display* d = XOpenDisplay(nullptr)) return d;
      if (std::chrono::steady_clock::now() >= deadline) return nullptr;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }
  // Skipped only where no server is meant to be; a server that never
  // answers fails the case.
  static bool DisplayExpected()
  {
    const char* name = getenv("DISPLAY");
    return name && *name;
  }
  ~X11Host()
  {
    if (mDisplay) XCloseDisplay(mDisplay);
  }

  Display* Dpy() const { return mDisplay; }
  vst3host::RunLoop& Loop() { return mLoop; }
  vst3host::PlugFrame& Frame() { return mFrame; }

  // A mapped top-level window of w x h (the effect's panel by default) at
  // (x, y) on the screen.
  Window MakeParent(int x, int y, int width = 732, int height = 208)
  {
    XSetWindowAttributes a{};
    a.override_redirect = True; // placed exactly where asked, window manager or not
    a.background_pixel = BlackPixel(mDisplay, DefaultScreen(mDisplay));
    Window w = XCreateWindow(mDisplay, DefaultRootWindow(mDisplay), x, y, (unsigned)width, (unsigned)height, 0,
                             CopyFromParent, InputOutput, CopyFromParent, CWOverrideRedirect | CWBackPixel, &a);
    XMapRaised(mDisplay, w);
    XSync(mDisplay, False);
    return w;
  }

  // createView, setFrame, a parent at (x, y), attached; the embedder's part
  // when this host speaks XEmbed. The child is open on success.
  ::testing::AssertionResult Open(Editor& e, int x = 0, int y = 0)
  {
    e.view = e.hosted->plugin.Controller()->createView("editor");
    if (!e.view) return ::testing::AssertionFailure() << "no view";
    if (e.view->isPlatformTypeSupported(Steinberg::kPlatformTypeX11EmbedWindowID) != Steinberg::kResultTrue)
      return ::testing::AssertionFailure() << "X11 embedding refused";
    e.view->setFrame(&mFrame);
    e.parent = MakeParent(x, y);
    e.originX = x;
    e.originY = y;
    if (e.view->attached((void*)(uintptr_t)e.parent, Steinberg::kPlatformTypeX11EmbedWindowID) != Steinberg::kResultTrue)
      return ::testing::AssertionFailure() << "attached refused";
    if (!e.Child()) return ::testing::AssertionFailure() << "no child window";
    if (mKind == HostKind::XEmbed)
    {
      const vst3host::XEmbedClient client = vst3host::XEmbedChildOf(mDisplay, e.parent);
      if (client.window != e.Child()) return ::testing::AssertionFailure() << "the child carries no _XEMBED_INFO";
    }
    return ::testing::AssertionSuccess();
  }

  // removed, then the host's last reference.
  void Close(Editor& e)
  {
    if (!e.view) return;
    e.view->removed();
    e.view->setFrame(nullptr);
    e.view->release();
    e.view = nullptr;
  }

  bool WaitForPresents(Editor& e, int atLeast)
  {
    return mLoop.RunUntil([&] { return e.Graphics()->Presents() >= atLeast; }, kWaitMs);
  }

  // The child's pixels in r (editor coordinates) against the drawing bitmap.
  bool WindowShowsBitmap(Editor& e, IRECT r) { return WindowShowsBitmap(e.Child(), e.hosted->g->GetDrawBitmap(), r); }
  // Window w's pixels in r (windows over it included) against bm's.
  bool WindowShowsBitmap(Window w, Raster_IBitmap* bm, IRECT r)
  {
    XImage* image = XGetImage(mDisplay, w, r.L, r.T, (unsigned)r.W(), (unsigned)r.H(), AllPlanes, ZPixmap);
    if (!image) return false;
    bool same = true;
    for (int y = 0; y < r.H() && same; ++y)
      for (int x = 0; x < r.W() && same; ++x)
        same = (XGetPixel(image, x, y) & 0xFFFFFF) == (qeditor::PixelAt(bm, r.L + x, r.T + y) & 0xFFFFFF);
    XDestroyImage(image);
    return same;
  }
  std::vector<unsigned long> WindowPixels(Editor& e, IRECT r) { return WindowPixels(e.Child(), r); }
  // Window w's pixels in r, rows top down, 0xRRGGBB; empty when it cannot be read.
  std::vector<unsigned long> WindowPixels(Window w, IRECT r)
  {
    std::vector<unsigned long> px;
    XImage* image = XGetImage(mDisplay, w, r.L, r.T, (unsigned)r.W(), (unsigned)r.H(), AllPlanes, ZPixmap);
    if (!image) return px;
    for (int y = 0; y < r.H(); ++y)
      for (int x = 0; x < r.W(); ++x) px.push_back(XGetPixel(image, x, y) & 0xFFFFFF);
    XDestroyImage(image);
    return px;
  }

  // Pointer input as a user gives it, in the editor's coordinates.
  // flush false queues the request: requests sent together are stamped
  // with (nearly) the same server time however loaded the machine is.
  void MoveTo(Editor& e, int x, int y, bool flush = true)
  {
    XTestFakeMotionEvent(mDisplay, DefaultScreen(mDisplay), e.originX + x, e.originY + y, CurrentTime);
    if (flush) XFlush(mDisplay);
  }
  void MoveToRoot(int x, int y, bool flush = true)
  {
    XTestFakeMotionEvent(mDisplay, DefaultScreen(mDisplay), x, y, CurrentTime);
    if (flush) XFlush(mDisplay);
  }
  // Keys as a keyboard gives them; Shift is pressed around keys whose symbol
  // needs it on this keymap.
  void Key(KeySym sym, bool down, bool flush = true)
  {
    XTestFakeKeyEvent(mDisplay, XKeysymToKeycode(mDisplay, sym), down ? True : False, CurrentTime);
    if (flush) XFlush(mDisplay);
  }
  void Tap(KeySym sym)
  {
    const KeyCode code = XKeysymToKeycode(mDisplay, sym);
    const bool shifted = code && XkbKeycodeToKeysym(mDisplay, code, 0, 0) != sym &&
                         XkbKeycodeToKeysym(mDisplay, code, 0, 1) == sym;
    if (shifted) Key(XK_Shift_L, true, false);
    Key(sym, true, false);
    Key(sym, false, false);
    if (shifted) Key(XK_Shift_L, false, false);
    XFlush(mDisplay);
  }
  // Printable ASCII, one key a character.
  void Type(const char* text)
  {
    for (const char* c = text; *c; ++c) Tap((KeySym)(unsigned char)*c);
  }
  void Button(unsigned int button, bool down, bool flush = true)
  {
    XTestFakeButtonEvent(mDisplay, button, down ? True : False, CurrentTime);
    if (flush) XFlush(mDisplay);
  }
  void Click(unsigned int button, bool flush = true)
  {
    Button(button, true, false);
    Button(button, false, flush);
  }

  // Children the parent window has now (as the server says).
  unsigned int ChildrenOf(Window parent)
  {
    Window root = 0, up = 0, *children = nullptr;
    unsigned int n = 0;
    XSync(mDisplay, False);
    if (!XQueryTree(mDisplay, parent, &root, &up, &children, &n)) return 0;
    if (children) XFree(children);
    return n;
  }

private:
  HostKind mKind;
  Display* mDisplay = nullptr;
  vst3host::RunLoop mLoop;
  vst3host::PlugFrame mFrame;
};

} // namespace x11test
