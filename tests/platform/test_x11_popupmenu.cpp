// The editor's popup menus under a real server. A menu runs modally on the
// test's thread, so a driver on a thread of its own, with a connection of
// its own, waits for the menu's windows and grab and then sends XTest input.
#include "x11_test_editor.h"

#include <atomic>
#include <functional>
#include <set>

#include <poll.h>

#include "graphics/IPopupMenu.h"
#include "platform/menulayout.h"

using namespace x11test;

namespace
{
// The driver's connection lives on another thread.
const bool kThreadsReady = XInitThreads() != 0;

// Errors of the driver's connection (a window that went while it looked) are
// expected and harmless; the editor traps its own.
int IgnoreErrors(Display*, XErrorEvent*) { return 0; }

struct MenuWin
{
  Window id = 0;
  int x = 0, y = 0, w = 0, h = 0;
};

class MenuDriver
{
public:
  using Script = std::function<void(MenuDriver&)>;

  // Opened and the screen's windows noted on the test's thread, before the
  // menu can exist; the script runs at once on the driver's thread.
  MenuDriver(Window lastResort, Script script) : mLastResort(lastResort), mDpy(X11Host::OpenDisplay())
  {
    if (!mDpy) return;
    for (Window w : Children()) mKnown.insert(w);
    mThread = std::thread([this, script] {
      script(*this);
      mDone = true;
    });
  }
  ~MenuDriver()
  {
    Join();
    if (mDpy) XCloseDisplay(mDpy);
  }
  bool Ok() const { return mDpy != nullptr; }
  bool Done() const { return mDone; }
  void Join()
  {
    if (mThread.joinable()) mThread.join();
  }

  // Mapped override-redirect windows that appeared since the start, bottom to top.
  std::vector<MenuWin> Menus()
  {
    std::vector<MenuWin> out;
    for (Window w : Children())
    {
      if (mKnown.count(w)) continue;
      XWindowAttributes a;
      if (!XGetWindowAttributes(mDpy, w, &a) || a.map_state != IsViewable || !a.override_redirect) continue;
      out.push_back(MenuWin{w, a.x, a.y, a.width, a.height});
    }
    return out;
  }
  // Waits until exactly n menus show (and, for any, the grab is held).
  bool WaitMenus(size_t n, std::vector<MenuWin>* out = nullptr)
  {
    return WaitFor([&] {
      std::vector<MenuWin> m = Menus();
      if (m.size() != n || (n > 0) != OthersHoldKeyboard()) return false;
      if (out) *out = m;
      return true;
    });
  }
  bool WaitFor(const std::function<bool()>& pred)
  {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
    while (!pred())
    {
      if (std::chrono::steady_clock::now() >= deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
  }

  void Move(int x, int y)
  {
    XTestFakeMotionEvent(mDpy, DefaultScreen(mDpy), x, y, CurrentTime);
    XFlush(mDpy);
  }
  void Click()
  {
    XTestFakeButtonEvent(mDpy, Button1, True, CurrentTime);
    XTestFakeButtonEvent(mDpy, Button1, False, CurrentTime);
    XFlush(mDpy);
  }
  void ClickAt(int x, int y)
  {
    Move(x, y);
    Click();
  }
  void Tap(KeySym sym)
  {
    const KeyCode code = XKeysymToKeycode(mDpy, sym);
    XTestFakeKeyEvent(mDpy, code, True, CurrentTime);
    XTestFakeKeyEvent(mDpy, code, False, CurrentTime);
    XFlush(mDpy);
  }
  // As a host closing the editor does (another client's window).
  void Destroy(Window w)
  {
    XDestroyWindow(mDpy, w);
    XSync(mDpy, False);
  }
  // A far corner of the screen, away from every window of the tests.
  void FarCorner(int* x, int* y)
  {
    *x = DisplayWidth(mDpy, DefaultScreen(mDpy)) - 3;
    *y = DisplayHeight(mDpy, DefaultScreen(mDpy)) - 3;
  }
  // The window's pixel at (x, y) of its own, or ~0 when it cannot be read.
  unsigned long Pixel(const MenuWin& m, int x, int y)
  {
    XImage* image = XGetImage(mDpy, m.id, x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) return ~0ul;
    const unsigned long p = XGetPixel(image, 0, 0) & 0xFFFFFF;
    XDestroyImage(image);
    return p;
  }
  // A check failed: leave the menu so the test's thread comes back.
  void Fail(const std::string& what)
  {
    ADD_FAILURE() << what;
    Bail();
  }
  void Bail()
  {
    for (int i = 0; i < 6; ++i) Tap(XK_Escape);
    int x, y;
    FarCorner(&x, &y);
    ClickAt(x, y);
    // A menu that takes no input at all ends with the editor's window.
    if (!WaitMenus(0) && mLastResort) XDestroyWindow(mDpy, mLastResort);
    XSync(mDpy, False);
  }

private:
  std::vector<Window> Children()
  {
    std::vector<Window> out;
    Window root = 0, up = 0, *kids = nullptr;
    unsigned n = 0;
    if (XQueryTree(mDpy, DefaultRootWindow(mDpy), &root, &up, &kids, &n))
    {
      out.assign(kids, kids + n);
      if (kids) XFree(kids);
    }
    return out;
  }
  // Whether another client (the menu) holds the keyboard.
  bool OthersHoldKeyboard()
  {
    const int r = XGrabKeyboard(mDpy, DefaultRootWindow(mDpy), False, GrabModeAsync, GrabModeAsync, CurrentTime);
    if (r == GrabSuccess)
    {
      XUngrabKeyboard(mDpy, CurrentTime);
      XSync(mDpy, False);
    }
    return r == AlreadyGrabbed;
  }

  Window mLastResort;  // destroyed when a menu cannot be left otherwise
  Display* mDpy;
  std::set<Window> mKnown;
  std::thread mThread;
  std::atomic<bool> mDone{false};
};

// Row i's centre in root coordinates: the row height follows from the
// shown window's height and the default metrics of separators and frame.
void RowCentre(const IPopupMenu& menu, const MenuWin& win, int i, int* x, int* y)
{
  MenuMetrics m;
  const MenuLayout probe(menu, m, nullptr);
  int seps = 0;
  for (int r = 0; r < probe.Count(); ++r) seps += probe.Row(r).kind == MenuRow::kSeparator;
  const int rows = probe.Count() - seps;
  m.rowH = rows > 0 ? (win.h - 2 * m.border - seps * m.sepH) / rows : m.rowH;
  const MenuLayout layout(menu, m, nullptr);
  EXPECT_EQ(layout.Height(), win.h) << "rows of unequal height";
  const IRECT& r = layout.Row(i).rect;
  *x = win.x + win.w / 2;
  *y = win.y + (r.T + r.B) / 2;
}

// A corner control that stays dirty while armed and, when the menu's loop
// paints it, turns the host's run loop once: a host dispatching its timers
// and fd callbacks in the middle of the menu.
class LoopTurner : public IControl
{
public:
  LoopTurner(IPluginBase* plug, vst3host::RunLoop* loop) : IControl(plug, IRECT(0, 0, 4, 4)), mLoop(loop) {}
  bool IsDirty() override { return mArmed || IControl::IsDirty(); }
  bool Draw(IGraphics*) override
  {
    if (!mArmed) return true;
    ++mTurns;
    // Until the editor's connection has something to read (the driver's
    // input on its way), so the host's fd callback is due too.
    std::vector<pollfd> fds;
    for (int fd : mLoop->Fds()) fds.push_back(pollfd{fd, POLLIN, 0});
    poll(fds.data(), (nfds_t)fds.size(), 200);
    mLoop->RunFor(0);
    return true;
  }
  bool mArmed = false;
  std::atomic<int> mTurns{0};

private:
  vst3host::RunLoop* mLoop;
};

// The enum's menu as the core builds it: A, B (checked), C.
struct ModeMenu
{
  IPopupMenu menu;
  ModeMenu()
  {
    menu.AddItem("A");
    menu.AddItem("B", -1, IPopupMenuItem::kItemChecked);
    menu.AddItem("C");
  }
};

// A menu with numbering, a separator, a disabled item and a submenu:
// 01: alpha, separator, 03: beta (disabled), 04: more > (x, y, z), 05: gamma.
struct NestedMenu
{
  IPopupMenu sub;
  IPopupMenu menu;
  NestedMenu()
  {
    sub.AddItem("x");
    sub.AddItem("y");
    sub.AddItem("z");
    menu.SetPrefix(2);
    menu.AddItem("alpha");
    menu.AddSeparator();
    menu.AddItem("beta", -1, IPopupMenuItem::kItemDisabled);
    menu.AddItem("more", &sub);
    menu.AddItem("gamma");
  }
};

class X11PopupMenuTest : public testing::Test
{
protected:
  void SetUp() override
  {
    if (!X11Host::DisplayExpected()) GTEST_SKIP() << "no X display (run under xvfb-run)";
    ASSERT_TRUE(kThreadsReady);
    mPrevHandler = XSetErrorHandler(&IgnoreErrors);
    host = std::make_unique<X11Host>(HostKind::Strict);
    ASSERT_NE(host->Dpy(), nullptr) << "the X server never accepted a connection";
    ASSERT_TRUE(editor.Open(*host, 20, 20));
  }
  void TearDown() override
  {
    if (mPrevHandler) XSetErrorHandler(mPrevHandler);
  }

  // A click on the mode control, then until the driver is done and the
  // menu has gone: the menu runs inside the host loop's callback.
  void ClickModeAndRun(MenuDriver& driver)
  {
    ASSERT_TRUE(driver.Ok());
    editor.ClickControl(*host, TestEditor::kModeCtl);
    EXPECT_TRUE(host->Loop().RunUntil([&] { return driver.Done(); }, 3 * kWaitMs));
    driver.Join();
  }
  double ModeControlValue() { return editor.Control(TestEditor::kModeCtl)->GetValue(); }
  IRECT ModeArea() { return TestEditor::Slot(TestEditor::kModeCtl - 1); }

  std::unique_ptr<X11Host> host;
  TestEditor editor;
  int (*mPrevHandler)(Display*, XErrorEvent*) = nullptr;
};

TEST_F(X11PopupMenuTest, ClickOnModeShowsTheMenuBelowAndAClickChooses)
{
  ASSERT_EQ(editor.Value(kPMode), 1.0);
  ModeMenu shape;
  MenuWin shown;
  MenuDriver driver(editor.parent, [&](MenuDriver& d) {
    std::vector<MenuWin> m;
    if (!d.WaitMenus(1, &m)) return d.Fail("no menu");
    shown = m[0];
    int x, y;
    RowCentre(shape.menu, m[0], 2, &x, &y);
    d.ClickAt(x, y);
    EXPECT_TRUE(d.WaitMenus(0)) << "the menu stayed";
  });
  ClickModeAndRun(driver);
  // Below the control's area, left edges aligned.
  const IRECT area = ModeArea();
  EXPECT_EQ(shown.x, editor.originX + area.L);
  EXPECT_EQ(shown.y, editor.originY + area.B);
  EXPECT_GE(shown.w, area.W() / 2);
  EXPECT_TRUE(host->Loop().RunUntil([&] { return editor.Value(kPMode) == 2.0; }, kWaitMs));
  EXPECT_EQ(editor.Value(kPMode), 2.0);
  EXPECT_EQ(ModeControlValue(), 1.0);
}

TEST_F(X11PopupMenuTest, EscapeOrAClickOutsideDismissesWithoutChange)
{
  struct Case
  {
    const char* what;
    bool escape;
  };
  for (const Case c : {Case{"Escape", true}, Case{"click outside", false}})
  {
    MenuDriver driver(editor.parent, [&](MenuDriver& d) {
      if (!d.WaitMenus(1)) return d.Fail(c.what);
      if (c.escape) d.Tap(XK_Escape);
      else
      {
        int x, y;
        d.FarCorner(&x, &y);
        d.ClickAt(x, y);
      }
      EXPECT_TRUE(d.WaitMenus(0)) << c.what << ": the menu stayed";
    });
    ClickModeAndRun(driver);
    host->Loop().RunFor(100);
    EXPECT_EQ(editor.Value(kPMode), 1.0) << c.what;
    EXPECT_EQ(ModeControlValue(), 0.5) << c.what;
  }
  // The editor takes input again: a further menu works.
  ModeMenu shape;
  MenuDriver driver(editor.parent, [&](MenuDriver& d) {
    std::vector<MenuWin> m;
    if (!d.WaitMenus(1, &m)) return d.Fail("no menu after dismissal");
    int x, y;
    RowCentre(shape.menu, m[0], 0, &x, &y);
    d.ClickAt(x, y);
    EXPECT_TRUE(d.WaitMenus(0));
  });
  ClickModeAndRun(driver);
  EXPECT_TRUE(host->Loop().RunUntil([&] { return editor.Value(kPMode) == 0.0; }, kWaitMs));
}

TEST_F(X11PopupMenuTest, KeyboardDownAndReturnChooses)
{
  MenuDriver driver(editor.parent, [&](MenuDriver& d) {
    if (!d.WaitMenus(1)) return d.Fail("no menu");
    // Nothing highlighted at first: Down goes to A, Up wraps back to C.
    d.Tap(XK_Down);
    d.Tap(XK_Up);
    d.Tap(XK_Return);
    EXPECT_TRUE(d.WaitMenus(0));
  });
  ClickModeAndRun(driver);
  EXPECT_TRUE(host->Loop().RunUntil([&] { return editor.Value(kPMode) == 2.0; }, kWaitMs));
  EXPECT_EQ(ModeControlValue(), 1.0);
}

TEST_F(X11PopupMenuTest, KeysReachTheSubmenuWhileTheHostLoopTurns)
{
  // Each modal tick turns the host's loop: its timer and fd callbacks must
  // leave the menu's events alone.
  LoopTurner* turner = new LoopTurner(&editor.plug, &host->Loop());
  ASSERT_GE(editor.g->AttachControl(turner), 0);
  turner->mArmed = true;
  const int presentsBefore = editor.g->Presents();

  NestedMenu n;
  MenuDriver driver(editor.parent, [&](MenuDriver& d) {
    if (!d.WaitMenus(1)) return d.Fail("no menu");
    // Input only once the loop has turned the host's loop, and again before
    // the last keys: whatever the host dispatched meanwhile took none of it.
    const auto turned = [&](int n) { return d.WaitFor([&] { return turner->mTurns >= n; }); };
    if (!turned(2)) return d.Fail("the menu never ticked the editor");
    // Down: alpha; Down: over the separator and the disabled beta to more.
    d.Tap(XK_Down);
    d.Tap(XK_Down);
    d.Tap(XK_Right);
    if (!d.WaitMenus(2)) return d.Fail("Right opened no submenu");
    d.Tap(XK_Left);
    if (!d.WaitMenus(1)) return d.Fail("Left kept the submenu");
    d.Tap(XK_Right);
    if (!d.WaitMenus(2)) return d.Fail("no submenu again");
    d.Tap(XK_Escape);
    if (!d.WaitMenus(1)) return d.Fail("Escape kept the submenu");
    d.Tap(XK_Return);  // more is still highlighted: opens it
    if (!d.WaitMenus(2)) return d.Fail("Return opened no submenu");
    if (!turned(turner->mTurns + 2)) return d.Fail("the menu stopped ticking");
    // x is highlighted on opening; Down to y.
    d.Tap(XK_Down);
    d.Tap(XK_KP_Enter);
    EXPECT_TRUE(d.WaitMenus(0));
  });
  ASSERT_TRUE(driver.Ok());
  IRECT area = ModeArea();
  IPopupMenu* chosen = editor.g->CreateIPopupMenu(&n.menu, &area);
  driver.Join();
  turner->mArmed = false;
  EXPECT_EQ(chosen, &n.sub);
  EXPECT_EQ(n.sub.GetChosenItemIdx(), 1);
  EXPECT_EQ(n.menu.GetChosenItemIdx(), -1);
  EXPECT_GT(editor.g->Presents(), presentsBefore) << "the editor did not paint during the menu";
}

TEST_F(X11PopupMenuTest, ClicksSkipDisabledOpenSubmenusAndHighlightFollowsThePointer)
{
  NestedMenu n;
  MenuDriver driver(editor.parent, [&](MenuDriver& d) {
    std::vector<MenuWin> m;
    if (!d.WaitMenus(1, &m)) return d.Fail("no menu");
    const MenuWin top = m[0];
    int x, yAlpha, yBeta, yMore, yGamma;
    RowCentre(n.menu, top, 0, &x, &yAlpha);
    RowCentre(n.menu, top, 2, &x, &yBeta);
    RowCentre(n.menu, top, 3, &x, &yMore);
    RowCentre(n.menu, top, 4, &x, &yGamma);
    // Right of the labels, left of the arrow column's arrow: row colour only.
    const int px = top.w - 4;
    // Hovered row against another.
    d.Move(x, yAlpha);
    unsigned long lit = 0, plain = 0;
    const bool alphaLit = d.WaitFor([&] {
      lit = d.Pixel(top, px, yAlpha - top.y);
      plain = d.Pixel(top, px, yGamma - top.y);
      return lit != ~0ul && plain != ~0ul && lit != plain;
    });
    EXPECT_TRUE(alphaLit) << "the hovered row looks like the others";
    d.Move(x, yGamma);
    EXPECT_TRUE(d.WaitFor([&] {
      return d.Pixel(top, px, yGamma - top.y) == lit && d.Pixel(top, px, yAlpha - top.y) == plain;
    })) << "the highlight did not follow the pointer";
    // The disabled item takes no click: the menu stays and still works.
    d.ClickAt(x, yBeta);
    d.Move(x, yMore);
    if (!d.WaitMenus(2, &m)) return d.Fail("hover opened no submenu");
    const MenuWin sub = m[1];
    EXPECT_GE(sub.x, top.x + top.w) << "the submenu is not right of its parent";
    int subX, subY;
    RowCentre(n.sub, sub, 0, &subX, &subY);
    EXPECT_EQ(subY, yMore) << "the submenu's first row is not level with its item";
    // Another item of the parent closes it; back on more opens it again.
    d.Move(x, yGamma);
    if (!d.WaitMenus(1)) return d.Fail("the submenu stayed");
    d.Move(x, yMore);
    if (!d.WaitMenus(2, &m)) return d.Fail("no submenu again");
    int sx, sy;
    RowCentre(n.sub, m[1], 2, &sx, &sy);
    d.Move(top.x + top.w + 4, yMore);  // along the row into the submenu
    d.ClickAt(sx, sy);
    EXPECT_TRUE(d.WaitMenus(0));
  });
  ASSERT_TRUE(driver.Ok());
  IRECT area = ModeArea();
  IPopupMenu* chosen = editor.g->CreateIPopupMenu(&n.menu, &area);
  driver.Join();
  EXPECT_EQ(chosen, &n.sub);
  EXPECT_EQ(n.sub.GetChosenItemIdx(), 2);
  EXPECT_EQ(n.menu.GetChosenItemIdx(), -1);
}

TEST_F(X11PopupMenuTest, ChoosingInTheTopMenuAndDismissingTheNested)
{
  NestedMenu n;
  // Down to alpha and back up wraps to gamma (index 4, numbered 05).
  MenuDriver keys(editor.parent, [&](MenuDriver& d) {
    if (!d.WaitMenus(1)) return d.Fail("no menu");
    d.Tap(XK_Up);
    d.Tap(XK_space);
    EXPECT_TRUE(d.WaitMenus(0));
  });
  ASSERT_TRUE(keys.Ok());
  IRECT area = ModeArea();
  EXPECT_EQ(editor.g->CreateIPopupMenu(&n.menu, &area), &n.menu);
  keys.Join();
  EXPECT_EQ(n.menu.GetChosenItemIdx(), 4);

  // A submenu open, a click outside: nothing chosen, nothing changed.
  NestedMenu fresh;
  MenuDriver outside(editor.parent, [&](MenuDriver& d) {
    std::vector<MenuWin> m;
    if (!d.WaitMenus(1, &m)) return d.Fail("no menu");
    int x, y;
    RowCentre(fresh.menu, m[0], 3, &x, &y);
    d.Move(x, y);
    if (!d.WaitMenus(2)) return d.Fail("no submenu");
    d.FarCorner(&x, &y);
    d.ClickAt(x, y);
    EXPECT_TRUE(d.WaitMenus(0));
  });
  ASSERT_TRUE(outside.Ok());
  EXPECT_EQ(editor.g->CreateIPopupMenu(&fresh.menu, &area), nullptr);
  outside.Join();
  EXPECT_EQ(fresh.menu.GetChosenItemIdx(), -1);
  EXPECT_EQ(fresh.sub.GetChosenItemIdx(), -1);
}

TEST_F(X11PopupMenuTest, TheHostDestroyingTheEditorEndsTheMenu)
{
  NestedMenu n;
  MenuDriver driver(0, [&](MenuDriver& d) {
    std::vector<MenuWin> m;
    if (!d.WaitMenus(1, &m)) return d.Fail("no menu");
    int x, y;
    RowCentre(n.menu, m[0], 3, &x, &y);
    d.Move(x, y);
    if (!d.WaitMenus(2)) return d.Fail("no submenu");
    d.Destroy(editor.parent);
    // Every menu window gone and the grabs released.
    EXPECT_TRUE(d.WaitMenus(0));
  });
  ASSERT_TRUE(driver.Ok());
  IRECT area = ModeArea();
  EXPECT_EQ(editor.g->CreateIPopupMenu(&n.menu, &area), nullptr);
  driver.Join();
  EXPECT_EQ(n.menu.GetChosenItemIdx(), -1);
  EXPECT_EQ(n.sub.GetChosenItemIdx(), -1);
  EXPECT_EQ(editor.g->GetWindow(), nullptr);
  // Nothing more shows on a window that is gone.
  EXPECT_EQ(editor.g->CreateIPopupMenu(&n.menu, &area), nullptr);
}

TEST_F(X11PopupMenuTest, WithoutAWindowNothingShows)
{
  editor.g->CloseWindow();
  ModeMenu m;
  IRECT area = ModeArea();
  EXPECT_EQ(editor.g->CreateIPopupMenu(&m.menu, &area), nullptr);
  EXPECT_EQ(m.menu.GetChosenItemIdx(), -1);
}

} // namespace
