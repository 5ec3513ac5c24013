// The editor's desktop services under a real X server: message boxes answered
// by XTest input from a helper thread, the clipboard served by an owner on
// another connection, hiding and showing the pointer, and file dialogs
// through a fake dialog program.
#include "x11_test_editor.h"

#include <X11/Xatom.h>
#include <poll.h>
#include <sys/stat.h>

#include <atomic>
#include <fstream>
#include <functional>

#include "platform/x11clipboard.h"
#include "platform/x11messagebox.h"
#include "platform/x11tooltip.h"
#include "util/utf8.h"

using namespace x11test;

namespace
{

// The helper threads' connections look at windows that may vanish meanwhile;
// their errors are expected and not fatal. Set before any thread starts; the
// editor's traps hand other connections' errors on to it.
int IgnoreErrors(Display*, XErrorEvent*) { return 0; }

class Desktop : public testing::Test
{
protected:
  void SetUp() override
  {
    if (!X11Host::DisplayExpected()) GTEST_SKIP() << "no X display (run under xvfb-run)";
    XInitThreads();
    XSetErrorHandler(IgnoreErrors);
    host = std::make_unique<X11Host>(HostKind::Strict);
    ASSERT_NE(host->Dpy(), nullptr) << "the X server never accepted a connection";
  }
  void PointerAt(int x, int y)
  {
    host->MoveToRoot(x, y);
    ASSERT_TRUE(host->Loop().RunUntil([&] { return Pointer() == std::make_pair(x, y); }, kWaitMs));
  }
  std::pair<int, int> Pointer()
  {
    Window root = 0, child = 0;
    int rx = -1, ry = -1, wx = 0, wy = 0;
    unsigned int mask = 0;
    XQueryPointer(host->Dpy(), DefaultRootWindow(host->Dpy()), &root, &child, &rx, &ry, &wx, &wy, &mask);
    return {rx, ry};
  }

  std::unique_ptr<X11Host> host;
};

// ---- Message boxes ----

// A mapped top-level window named caption, or 0.
Window FindBox(Display* d, const std::string& caption)
{
  Window root = 0, up = 0, *children = nullptr, found = 0;
  unsigned int n = 0;
  if (!XQueryTree(d, DefaultRootWindow(d), &root, &up, &children, &n)) return 0;
  for (unsigned int i = 0; i < n && !found; ++i)
  {
    char* name = nullptr;
    XWindowAttributes a;
    if (XFetchName(d, children[i], &name) && name && caption == name &&
        XGetWindowAttributes(d, children[i], &a) && a.map_state == IsViewable)
      found = children[i];
    if (name) XFree(name);
  }
  if (children) XFree(children);
  return found;
}

enum class Act
{
  Return,
  Escape,
  Click0,
  Click1,
  Click2,
  TabSpace,  // focus to the next button, then press the focused one
  LeftSpace, // focus one to the left, then press it
  WmClose,
  DestroyEditor // the host destroys the editor's parent meanwhile
};

// On its own connection: waits for the box and answers it as a user would.
struct BoxDriver
{
  std::string caption;
  Act act;
  Window editorParent = 0;
  // Seen by the thread.
  bool found = false, focused = false, dialogType = false, deleteProtocol = false;
  Window transientFor = 0;
  int x = 0, y = 0, w = 0, h = 0;
  std::thread thread;

  BoxDriver(std::string c, Act a, Window parent) : caption(std::move(c)), act(a), editorParent(parent)
  {
    thread = std::thread([this] { Run(); });
  }
  void Join() { thread.join(); }

  void Run()
  {
    Display* d = X11Host::OpenDisplay();
    if (!d) return;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
    Window box = 0;
    while (!(box = FindBox(d, caption)) && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    found = box != 0;
    if (box)
    {
      // Keys go where the focus is: the box takes it once it is mapped.
      Window f = 0;
      int revert = 0;
      while (std::chrono::steady_clock::now() < deadline)
      {
        XGetInputFocus(d, &f, &revert);
        if (f == box) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      }
      focused = f == box;
      Record(d, box);
      Answer(d, box);
    }
    else if (editorParent)
      XDestroyWindow(d, editorParent); // a box never shown must not hang the case
    XSync(d, False);
    XCloseDisplay(d);
  }

  void Record(Display* d, Window box)
  {
    XGetTransientForHint(d, box, &transientFor);
    Atom type = 0;
    int format = 0;
    unsigned long n = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(d, box, XInternAtom(d, "_NET_WM_WINDOW_TYPE", False), 0, 8, False, XA_ATOM, &type,
                           &format, &n, &after, &data) == Success && data)
    {
      dialogType = n == 1 && ((Atom*)data)[0] == XInternAtom(d, "_NET_WM_WINDOW_TYPE_DIALOG", False);
      XFree(data);
    }
    Atom* protocols = nullptr;
    int count = 0;
    if (XGetWMProtocols(d, box, &protocols, &count))
    {
      for (int i = 0; i < count; ++i) deleteProtocol |= protocols[i] == XInternAtom(d, "WM_DELETE_WINDOW", False);
      XFree(protocols);
    }
    XWindowAttributes a;
    Window child = 0;
    if (XGetWindowAttributes(d, box, &a)) XTranslateCoordinates(d, box, a.root, 0, 0, &x, &y, &child);
    w = a.width;
    h = a.height;
  }

  void Tap(Display* d, KeySym sym)
  {
    XTestFakeKeyEvent(d, XKeysymToKeycode(d, sym), True, CurrentTime);
    XTestFakeKeyEvent(d, XKeysymToKeycode(d, sym), False, CurrentTime);
  }
  void Click(Display* d, int button)
  {
    using M = X11MessageBoxMetrics;
    // The labels all fit the narrowest button.
    const int bx = x + w - M::kPad - M::kButtonMinW / 2 - button * (M::kButtonMinW + M::kGap);
    const int by = y + h - M::kPad - M::kButtonH / 2;
    XTestFakeMotionEvent(d, DefaultScreen(d), bx, by, CurrentTime);
    XTestFakeButtonEvent(d, Button1, True, CurrentTime);
    XTestFakeButtonEvent(d, Button1, False, CurrentTime);
  }

  void Answer(Display* d, Window box)
  {
    switch (act)
    {
    case Act::Return: Tap(d, XK_Return); break;
    case Act::Escape: Tap(d, XK_Escape); break;
    case Act::Click0: Click(d, 0); break;
    case Act::Click1: Click(d, 1); break;
    case Act::Click2: Click(d, 2); break;
    case Act::TabSpace:
      Tap(d, XK_Tab);
      Tap(d, XK_space);
      break;
    case Act::LeftSpace:
      Tap(d, XK_Left);
      Tap(d, XK_space);
      break;
    case Act::WmClose:
    {
      XEvent ev{};
      ev.xclient.type = ClientMessage;
      ev.xclient.window = box;
      ev.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
      ev.xclient.format = 32;
      ev.xclient.data.l[0] = (long)XInternAtom(d, "WM_DELETE_WINDOW", False);
      ev.xclient.data.l[1] = CurrentTime;
      XSendEvent(d, box, False, NoEventMask, &ev);
      break;
    }
    case Act::DestroyEditor: XDestroyWindow(d, editorParent); break;
    }
  }
};

struct BoxCase
{
  int type;
  Act act;
  int result;
  const char* name;
};
void PrintTo(const BoxCase& c, std::ostream* os) { *os << c.name; }

class MessageBoxOverEditor : public Desktop, public testing::WithParamInterface<BoxCase>
{
};

TEST_P(MessageBoxOverEditor, AnswersAsPressed)
{
  const BoxCase& c = GetParam();
  TestEditor editor;
  ASSERT_TRUE(editor.Open(*host, 300, 300));
  const int presents = editor.g->Presents();
  editor.g->SetAllControlsDirty();
  const std::string caption = std::string("Quenbar question ") + c.name;
  BoxDriver driver(caption, c.act, editor.parent);
  const int result = editor.g->ShowMessageBox(
      "Load the preset from the bank and throw away the changes made to the current one since it was saved?",
      caption.c_str(), c.type);
  driver.Join();
  ASSERT_TRUE(driver.found) << "no box named '" << caption << "' was mapped";
  EXPECT_TRUE(driver.focused) << "the box did not take the keyboard focus";
  EXPECT_EQ(result, c.result);
  EXPECT_EQ(FindBox(host->Dpy(), caption), 0u) << "the box is still there";
  if (c.act == Act::DestroyEditor) return;
  EXPECT_EQ(driver.transientFor, editor.parent) << "transient for the editor's top-level window";
  EXPECT_TRUE(driver.dialogType);
  EXPECT_TRUE(driver.deleteProtocol);
  // Centred over the editor's top-level window (400 x 100 at 300, 300).
  EXPECT_NEAR(driver.x + driver.w / 2, 500, 1);
  EXPECT_NEAR(driver.y + driver.h / 2, 350, 1);
  EXPECT_GT(editor.g->Presents(), presents) << "the panel was not painted while the box was up";
  // The editor still runs on the host's loop afterwards.
  editor.g->SetAllControlsDirty();
  const int after = editor.g->Presents();
  EXPECT_TRUE(host->Loop().RunUntil([&] { return editor.g->Presents() > after; }, kWaitMs));
}

// Escape answers with the last button: No for 4, Cancel for 3 and 1, OK alone.
const BoxCase kBoxCases[] = {
    {4, Act::Return, 1, "YesNoReturn"},          {4, Act::Escape, 7, "YesNoEscape"},
    {4, Act::Click0, 1, "YesNoClickYes"},        {4, Act::Click1, 7, "YesNoClickNo"},
    {4, Act::TabSpace, 7, "YesNoTabSpace"},      {3, Act::Return, 1, "YesNoCancelReturn"},
    {3, Act::Escape, 2, "YesNoCancelEscape"},    {3, Act::Click1, 7, "YesNoCancelClickNo"},
    {3, Act::Click2, 2, "YesNoCancelClickCancel"}, {3, Act::LeftSpace, 7, "YesNoCancelLeftSpace"},
    {1, Act::Return, 1, "OkCancelReturn"},       {1, Act::Escape, 7, "OkCancelEscape"},
    {1, Act::Click1, 7, "OkCancelClickCancel"},  {0, Act::Return, 1, "OkReturn"},
    {0, Act::Escape, 1, "OkEscape"},             {0, Act::Click0, 1, "OkClick"},
    {2, Act::Click0, 1, "OtherTypeIsOk"},        {4, Act::WmClose, 0, "YesNoClosedByTheWindowManager"},
    {3, Act::DestroyEditor, 0, "EditorDestroyedMeanwhile"},
};
INSTANTIATE_TEST_SUITE_P(Types, MessageBoxOverEditor, testing::ValuesIn(kBoxCases),
                         [](const testing::TestParamInfo<BoxCase>& info) { return std::string(info.param.name); });

TEST_F(Desktop, MessageBoxWithoutAWindowUsesAConnectionOfItsOwn)
{
  struct Case
  {
    int type;
    Act act;
    int result;
  } cases[] = {{3, Act::Escape, 2}, {1, Act::Return, 1}, {4, Act::WmClose, 0}};
  TestEditor editor; // never opened
  for (const Case& c : cases)
  {
    const std::string caption = "Quenbar note " + std::to_string(c.type);
    BoxDriver driver(caption, c.act, 0);
    const int result = editor.g->ShowMessageBox("No window is open.", caption.c_str(), c.type);
    driver.Join();
    ASSERT_TRUE(driver.found);
    EXPECT_EQ(result, c.result) << c.type;
    EXPECT_EQ(driver.transientFor, 0u);
    EXPECT_NEAR(driver.x + driver.w / 2, DisplayWidth(host->Dpy(), 0) / 2, 1) << "centred on the screen";
    EXPECT_EQ(FindBox(host->Dpy(), caption), 0u);
  }
}

// The answers are pressed for real above; these are the texts shown.
TEST(MessageBoxLayout, ButtonLabelsByType)
{
  const struct
  {
    int type;
    std::vector<std::string> labels;
  } cases[] = {
      {4, {"Yes", "No"}}, {3, {"Yes", "No", "Cancel"}}, {1, {"OK", "Cancel"}}, {0, {"OK"}}, {-5, {"OK"}},
  };
  for (const auto& c : cases)
  {
    const X11MessageBoxButtons b = X11_MessageBoxButtons(c.type);
    ASSERT_EQ(b.count, (int)c.labels.size()) << c.type;
    for (int i = 0; i < b.count; ++i) EXPECT_EQ(b.labels[i], c.labels[i]) << c.type;
  }
}

TEST(MessageBoxLayout, WrapsTextIntoLines)
{
  // One pixel a character.
  auto width = [](const std::string& s) {
    int n = 0, pos = 0;
    while (pos < (int)s.size() && Util_Utf8Next(s.data(), (int)s.size(), &pos) >= 0) ++n;
    return n;
  };
  using Lines = std::vector<std::string>;
  struct Case
  {
    const char* text;
    int maxWidth, maxLines;
    Lines lines;
  } cases[] = {
      {"one two three", 7, 10, {"one two", "three"}},
      {"one two three", 100, 10, {"one two three"}},
      {"abcdefghij", 4, 10, {"abcd", "efgh", "ij"}},
      {"a\n\nb", 5, 10, {"a", "", "b"}},
      {"  spaced   out  ", 6, 10, {"spaced", "out"}},
      {"\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4", 2, 10, {"\xC3\xA4\xC3\xA4", "\xC3\xA4\xC3\xA4"}},
      {"aa bb cc dd", 2, 2, {"aa", "b\xE2\x80\xA6"}},
      {"tab\there", 20, 10, {"tab here"}},
      {"", 10, 10, {}},
  };
  for (const Case& c : cases) EXPECT_EQ(X11_WrapText(c.text, c.maxWidth, width, c.maxLines), c.lines) << c.text;
  EXPECT_TRUE(X11_WrapText(nullptr, 10, width, 10).empty());
  // A huge message still gives a bounded box.
  const std::string huge(1 << 20, 'x');
  const Lines lines = X11_WrapText(huge.c_str(), 50, width, 20);
  EXPECT_EQ(lines.size(), 20u);
  EXPECT_EQ(lines.back().substr(lines.back().size() - 3), "\xE2\x80\xA6");
}

// ---- Clipboard ----

enum class Owner
{
  Utf8,       // answers UTF8_STRING
  StringOnly, // refuses UTF8_STRING, answers STRING (Latin-1)
  Incr,       // announces an incremental transfer
  Silent      // owns the selection and never answers
};

// Owns CLIPBOARD on a connection of its own until stopped.
class ClipboardOwner
{
public:
  ClipboardOwner(Owner kind, std::string utf8, std::string latin1 = "")
    : mKind(kind), mUtf8(std::move(utf8)), mLatin1(std::move(latin1))
  {
    mThread = std::thread([this] { Run(); });
    while (!mReady) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ~ClipboardOwner()
  {
    mStop = true;
    mThread.join();
  }
  bool Owning() const { return mOwning; }
  int Requests() const { return mRequests; }

private:
  void Run()
  {
    Display* d = X11Host::OpenDisplay();
    if (!d)
    {
      mReady = true;
      return;
    }
    const Atom clipboard = XInternAtom(d, "CLIPBOARD", False);
    const Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
    const Atom incr = XInternAtom(d, "INCR", False);
    Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, 0, 0);
    XSetSelectionOwner(d, clipboard, w, CurrentTime);
    mOwning = XGetSelectionOwner(d, clipboard) == w;
    mReady = true;
    while (!mStop)
    {
      while (XPending(d) > 0)
      {
        XEvent ev;
        XNextEvent(d, &ev);
        if (ev.type != SelectionRequest) continue;
        ++mRequests;
        if (mKind == Owner::Silent) continue;
        const XSelectionRequestEvent& r = ev.xselectionrequest;
        XEvent reply{};
        reply.xselection.type = SelectionNotify;
        reply.xselection.requestor = r.requestor;
        reply.xselection.selection = r.selection;
        reply.xselection.target = r.target;
        reply.xselection.time = r.time;
        reply.xselection.property = None;
        if (mKind == Owner::Incr)
        {
          long size = 1 << 20;
          XChangeProperty(d, r.requestor, r.property, incr, 32, PropModeReplace, (unsigned char*)&size, 1);
          reply.xselection.property = r.property;
        }
        else if (r.target == utf8 && mKind == Owner::Utf8)
        {
          XChangeProperty(d, r.requestor, r.property, utf8, 8, PropModeReplace, (const unsigned char*)mUtf8.data(),
                          (int)mUtf8.size());
          reply.xselection.property = r.property;
        }
        else if (r.target == XA_STRING)
        {
          XChangeProperty(d, r.requestor, r.property, XA_STRING, 8, PropModeReplace,
                          (const unsigned char*)mLatin1.data(), (int)mLatin1.size());
          reply.xselection.property = r.property;
        }
        XSendEvent(d, r.requestor, False, NoEventMask, &reply);
        XFlush(d);
      }
      pollfd p = {ConnectionNumber(d), POLLIN, 0};
      poll(&p, 1, 10);
    }
    XDestroyWindow(d, w);
    XCloseDisplay(d);
  }

  Owner mKind;
  std::string mUtf8, mLatin1;
  std::atomic<bool> mReady{false}, mStop{false}, mOwning{false};
  std::atomic<int> mRequests{0};
  std::thread mThread;
};

const char kGainText[] = "Gain 7,5 dB \xE2\x80\x93 \xC3\xBC";

TEST_F(Desktop, ClipboardTextFromItsOwner)
{
  struct Case
  {
    Owner kind;
    std::string utf8, latin1;
    bool ok;
    std::string expected;
    bool window;
  } cases[] = {
      {Owner::Utf8, kGainText, "", true, kGainText, true},
      {Owner::Utf8, kGainText, "", true, kGainText, false},
      {Owner::StringOnly, "", "Gr\xFC\xDF", true, "Gr\xC3\xBC\xC3\x9F", true},
      {Owner::Utf8, std::string("a\xFF" "b\0c", 5), "", true, "a\xEF\xBF\xBD" "bc", false},
      {Owner::Incr, "", "", false, "", true},
  };
  for (const Case& c : cases)
  {
    TestEditor editor;
    if (c.window) { ASSERT_TRUE(editor.Open(*host, 20, 20)); }
    ClipboardOwner owner(c.kind, c.utf8, c.latin1);
    ASSERT_TRUE(owner.Owning());
    Util_String text("old");
    EXPECT_EQ(editor.g->GetTextFromClipboard(&text), c.ok) << c.expected;
    EXPECT_EQ(std::string(text.Get()), c.expected);
    EXPECT_GT(owner.Requests(), 0);
  }
}

TEST_F(Desktop, ClipboardWithoutAnAnswerGivesUpInTime)
{
  for (bool window : {true, false})
  {
    TestEditor editor;
    if (window) { ASSERT_TRUE(editor.Open(*host, 20, 20)); }
    {
      // Nobody owns it once the last owner's connection is gone.
      ClipboardOwner gone(Owner::Utf8, "x");
    }
    ASSERT_EQ(XGetSelectionOwner(host->Dpy(), XInternAtom(host->Dpy(), "CLIPBOARD", False)), 0u);
    Util_String text("old");
    EXPECT_FALSE(editor.g->GetTextFromClipboard(&text));
    EXPECT_STREQ(text.Get(), "");

    ClipboardOwner silent(Owner::Silent, "");
    ASSERT_TRUE(silent.Owning());
    text.Set("old");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(editor.g->GetTextFromClipboard(&text));
    // Bounded: an owner that never answers does not hold the editor.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(kWaitMs));
    EXPECT_STREQ(text.Get(), "");
    EXPECT_GT(silent.Requests(), 0);
    if (window)
    {
      editor.g->SetAllControlsDirty();
      const int after = editor.g->Presents();
      EXPECT_TRUE(host->Loop().RunUntil([&] { return editor.g->Presents() > after; }, kWaitMs))
          << "the editor no longer runs after the wait";
    }
  }
}

TEST(ClipboardText, CleansWhatTheOwnerSent)
{
  EXPECT_EQ(X11_CleanUtf8("ok \xC3\xBC", 5), "ok \xC3\xBC");
  EXPECT_EQ(X11_CleanUtf8("\xC3", 1), "") << "a character cut off at the end";
  EXPECT_EQ(X11_CleanUtf8("a\xC0z", 3), "a\xEF\xBF\xBDz");
  EXPECT_EQ(X11_Latin1ToUtf8("\xE9t\xE9", 3), "\xC3\xA9t\xC3\xA9");
}

// ---- The pointer ----

TEST_F(Desktop, ShowingThePointerPutsItBackWhereItWasHidden)
{
  TestEditor editor;
  ASSERT_TRUE(editor.Open(*host, 20, 20));
  PointerAt(120, 60);
  editor.g->HideMouseCursor();
  PointerAt(700, 500);
  editor.g->HideMouseCursor(); // already hidden: the first place is kept
  PointerAt(650, 450);
  editor.g->ShowMouseCursor();
  EXPECT_EQ(Pointer(), std::make_pair(120, 60));

  // Not hidden: showing moves nothing.
  PointerAt(300, 300);
  editor.g->ShowMouseCursor();
  EXPECT_EQ(Pointer(), std::make_pair(300, 300));

  // The window closes while the pointer is hidden: it still goes back, once.
  PointerAt(100, 40);
  editor.g->HideMouseCursor();
  editor.g->CloseWindow();
  PointerAt(600, 600);
  editor.g->ShowMouseCursor();
  EXPECT_EQ(Pointer(), std::make_pair(100, 40));
  PointerAt(610, 610);
  editor.g->ShowMouseCursor();
  EXPECT_EQ(Pointer(), std::make_pair(610, 610));
}

TEST_F(Desktop, HidingWithoutAWindowDoesNothing)
{
  TestEditor editor;
  PointerAt(200, 200);
  editor.g->HideMouseCursor();
  PointerAt(400, 400);
  editor.g->ShowMouseCursor();
  EXPECT_EQ(Pointer(), std::make_pair(400, 400));
}

// ---- File dialogs ----

class FileDialogProgram : public Desktop
{
protected:
  void SetUp() override
  {
    Desktop::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    char tmpl[] = "/tmp/x11_desktop_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir = tmpl;
    const char* old = getenv("PATH");
    hadPath = old != nullptr;
    savedPath = old ? old : "";
    setenv("PATH", (dir + ":" + savedPath).c_str(), 1);
  }
  void TearDown() override
  {
    if (dir.empty()) return;
    if (hadPath)
      setenv("PATH", savedPath.c_str(), 1);
    else
      unsetenv("PATH");
    EXPECT_EQ(system(("rm -rf '" + dir + "'").c_str()), 0);
  }
  void FakeZenity(const std::string& body)
  {
    const std::string path = dir + "/zenity";
    std::ofstream f(path);
    f << "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" << dir << "/args'\n" << body << "\n";
    f.close();
    chmod(path.c_str(), 0755);
  }
  std::string dir, savedPath;
  bool hadPath = false;
};

TEST_F(FileDialogProgram, NoWindowGivesNothing)
{
  FakeZenity("echo /never/asked.wav");
  TestEditor editor;
  Util_String file("take.wav"), folder("/data/");
  editor.g->PromptForFile(&file, kFileOpen, &folder, (char*)"wav");
  EXPECT_STREQ(file.Get(), "");
  EXPECT_STREQ(folder.Get(), "/data/");
  std::ifstream args(dir + "/args");
  EXPECT_FALSE(args.good()) << "the program ran without a window";
}

TEST_F(FileDialogProgram, TheChosenPathWithAWindowOpen)
{
  FakeZenity("sleep 0.3\necho '/home/me/Samples/kick.wav'");
  TestEditor editor;
  ASSERT_TRUE(editor.Open(*host, 20, 20));
  editor.g->SetAllControlsDirty();
  const int presents = editor.g->Presents();
  Util_String file("kick.wav"), folder("");
  char extensions[] = "wav aif";
  editor.g->PromptForFile(&file, kFileSave, &folder, extensions);
  EXPECT_STREQ(file.Get(), "/home/me/Samples/kick.wav");
  EXPECT_STREQ(folder.Get(), "/home/me/Samples/");
  EXPECT_GT(editor.g->Presents(), presents) << "the panel was not painted while the dialog ran";
  std::ifstream args(dir + "/args");
  std::string all((std::istreambuf_iterator<char>(args)), std::istreambuf_iterator<char>());
  EXPECT_NE(all.find("--save\n"), std::string::npos) << all;
  EXPECT_NE(all.find("--file-filter=*.wav *.aif\n"), std::string::npos) << all;
  EXPECT_NE(all.find("/Desktop/kick.wav\n"), std::string::npos) << all;

  // Cancelled: nothing chosen, the folder as the defaults left it.
  FakeZenity("exit 1");
  file.Set("kick.wav");
  folder.Set("");
  editor.g->PromptForFile(&file, kFileOpen, &folder, nullptr);
  EXPECT_STREQ(file.Get(), "");
  EXPECT_STREQ(folder.Get(), "~/Desktop");
  // A null folder is allowed.
  FakeZenity("echo /x/y.fxp");
  file.Set("");
  editor.g->PromptForFile(&file);
  EXPECT_STREQ(file.Get(), "/x/y.fxp");
}

} // namespace

// ---- Tooltips ----

namespace
{
// A mapped override-redirect window on the root other than the given one
// (the tip: no window manager runs, so nothing else makes them).
Window MappedPopupExcept(Display* d, Window except)
{
  Window root = 0, up = 0, *children = nullptr, found = 0;
  unsigned int n = 0;
  XSync(d, False);
  if (!XQueryTree(d, DefaultRootWindow(d), &root, &up, &children, &n)) return 0;
  for (unsigned int i = 0; i < n && !found; ++i)
  {
    XWindowAttributes a{};
    if (children[i] != except && XGetWindowAttributes(d, children[i], &a) && a.map_state == IsViewable &&
        a.override_redirect)
      found = children[i];
  }
  if (children) XFree(children);
  return found;
}
} // namespace

TEST_F(Desktop, TooltipsShowAfterAPauseOverTheirControl)
{
  TestEditor editor;
  editor.g->mEnableTooltips = true;
  editor.g->mHandleMouseOver = true;
  editor.Control(TestEditor::kGainCtl)->SetTooltip("Gain, in dB");
  editor.Control(TestEditor::kModeCtl)->SetTooltip("Hidden mode");
  editor.g->HideControl(kPMode, true);
  ASSERT_TRUE(editor.Open(*host, 20, 20));
  Display* d = host->Dpy();
  auto tip = [&] { return MappedPopupExcept(d, editor.parent); };
  auto pause = [&] { host->Loop().RunFor(X11Tooltip::kDelayMs * 2); };

  // Over the background (no area) and over the hidden control: nothing.
  editor.MoveTo(*host, 5, 5);
  pause();
  EXPECT_EQ(tip(), 0u);
  const IRECT mode = TestEditor::Slot(1);
  editor.MoveTo(*host, (mode.L + mode.R) / 2, (mode.T + mode.B) / 2);
  pause();
  EXPECT_EQ(tip(), 0u) << "a hidden control's tip";

  // Resting over the gain control: the tip appears below right of the pointer.
  const IRECT gain = TestEditor::Slot(0);
  editor.MoveTo(*host, gain.L + 10, gain.T + 5);
  ASSERT_TRUE(host->Loop().RunUntil([&] { return tip() != 0; }, kWaitMs));
  XWindowAttributes a{};
  ASSERT_TRUE(XGetWindowAttributes(d, tip(), &a));
  EXPECT_GT(a.x, editor.originX + gain.L + 10);
  EXPECT_GT(a.y, editor.originY + gain.T + 5);
  // Its text: dark pixels on the pale background.
  XImage* image = XGetImage(d, tip(), 0, 0, (unsigned)a.width, (unsigned)a.height, AllPlanes, ZPixmap);
  ASSERT_NE(image, nullptr);
  int dark = 0, pale = 0;
  for (int y = 0; y < a.height; ++y)
    for (int x = 0; x < a.width; ++x)
    {
      const unsigned long p = XGetPixel(image, x, y) & 0xFFFFFF;
      dark += ((p >> 16) & 255) < 90;
      pale += p == 0xFFFFE1;
    }
  XDestroyImage(image);
  EXPECT_GT(dark, 10);
  EXPECT_GT(pale, a.width * a.height / 2);

  // A press takes it away; so does leaving the control.
  host->Click(Button3);
  EXPECT_TRUE(host->Loop().RunUntil([&] { return tip() == 0; }, kWaitMs));
  editor.MoveTo(*host, 5, 5);
  editor.MoveTo(*host, gain.L + 20, gain.T + 8);
  ASSERT_TRUE(host->Loop().RunUntil([&] { return tip() != 0; }, kWaitMs));
  editor.MoveTo(*host, 5, 5);
  EXPECT_TRUE(host->Loop().RunUntil([&] { return tip() == 0; }, kWaitMs));

  // Without mEnableTooltips none are registered.
  editor.g->CloseWindow();
  XDestroyWindow(d, editor.parent);
  editor.g->mEnableTooltips = false;
  ASSERT_TRUE(editor.Open(*host, 20, 20));
  editor.MoveTo(*host, gain.L + 10, gain.T + 5);
  pause();
  EXPECT_EQ(tip(), 0u);
}

// ---- Resizing ----

TEST_F(Desktop, ResizingResizesTheOpenWindow)
{
  TestEditor editor;
  ASSERT_TRUE(editor.Open(*host, 20, 20));
  editor.g->Resize(300, 80);
  IColor green(255, 20, 200, 40);
  editor.g->AttachPanelBackground(&green);
  Window root = 0;
  int x = 0, y = 0;
  unsigned w = 0, h = 0, border = 0, depth = 0;
  XSync(host->Dpy(), False);
  ASSERT_TRUE(XGetGeometry(host->Dpy(), editor.Child(), &root, &x, &y, &w, &h, &border, &depth));
  EXPECT_EQ(w, 300u);
  EXPECT_EQ(h, 80u);
  // The next tick paints the new panel over the whole new size.
  const int before = editor.g->Presents();
  ASSERT_TRUE(host->Loop().RunUntil([&] { return editor.g->Presents() > before; }, kWaitMs));
  EXPECT_TRUE(host->WindowShowsBitmap(editor.Child(), editor.g->GetDrawBitmap(), IRECT(0, 0, 300, 80)));
  std::vector<unsigned long> px = host->WindowPixels(editor.Child(), IRECT(299, 79, 300, 80));
  ASSERT_EQ(px.size(), 1u);
  EXPECT_EQ(px[0], 0x14C828u);
}
