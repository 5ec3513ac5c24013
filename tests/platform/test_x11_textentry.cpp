// The editor's text field under a real X server: opened by a click on a
// control of the test editor, fed keys and clicks through XTest, ended by
// Return, Escape, a click or wheel elsewhere, a focus loss, ForceEndUserEdit
// or the window closing.
#include "x11_test_editor.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/x11textentry.h"

using namespace x11test;

namespace
{

const IColor kEntryBG(255, 250, 230, 160);
const IColor kEntryFG(255, 20, 40, 120);

class X11TextEntryTest : public testing::Test
{
protected:
  void SetUp() override
  {
    if (!X11Host::DisplayExpected()) GTEST_SKIP() << "no X display (run under xvfb-run)";
    host = std::make_unique<X11Host>(HostKind::Strict);
    ASSERT_NE(host->Dpy(), nullptr) << "the X server never accepted a connection";
    // Motion reaches the controls: Settle() waits for it.
    editor.g->mHandleMouseOver = true;
    // Colours of the tests' own, so the field's pixels tell its colours.
    for (int idx : {TestEditor::kGainCtl, TestEditor::kFreeCtl})
    {
      IText t = *editor.Control(idx)->GetText();
      t.mTextEntryBGColor = kEntryBG;
      t.mTextEntryFGColor = kEntryFG;
      editor.Control(idx)->SetText(&t);
    }
    ASSERT_TRUE(editor.Open(*host, 30, 40));
  }
  void TearDown() override
  {
    if (!host || !host->Dpy()) return;
    editor.g->CloseWindow();
    EXPECT_EQ(host->Loop().EventHandlers(), 0);
    EXPECT_EQ(host->Loop().Timers(), 0);
  }

  bool WaitOpen(bool open)
  {
    return host->Loop().RunUntil([&] { return editor.g->TextEntryOpen() == open; }, kWaitMs);
  }
  // Clicks the control and waits for its field.
  ::testing::AssertionResult OpenOn(int idx)
  {
    editor.ClickControl(*host, idx);
    if (!WaitOpen(true)) return ::testing::AssertionFailure() << "no field opened on control " << idx;
    if (host->ChildrenOf(editor.Child()) != 1) return ::testing::AssertionFailure() << "no field window";
    return ::testing::AssertionSuccess();
  }
  // Every input sent so far has been handled: the server sends events in
  // order, so once a motion over the mode control arrives, so did the rest.
  bool Settle()
  {
    PromptControl* mode = editor.Control(TestEditor::kModeCtl);
    const size_t before = mode->mLog.size();
    const IRECT* r = mode->GetRECT();
    editor.MoveTo(*host, r->L + 5 + (int)(before % 7), r->T + 5);
    return host->Loop().RunUntil([&] { return mode->mLog.size() > before; }, kWaitMs);
  }
  void ClearField()
  {
    host->Tap(XK_End);
    for (int i = 0; i < 12; ++i) host->Tap(XK_BackSpace);
  }
  int Logged(int idx, const std::string& what)
  {
    int n = 0;
    for (const std::string& s : editor.Control(idx)->mLog) n += s.compare(0, what.size() + 1, what + "@") == 0;
    return n;
  }
  static bool Near(unsigned long px, const IColor& c, int tolerance)
  {
    return std::abs((int)((px >> 16) & 0xFF) - c.R) <= tolerance &&
           std::abs((int)((px >> 8) & 0xFF) - c.G) <= tolerance && std::abs((int)(px & 0xFF) - c.B) <= tolerance;
  }
  // The field is gone and the panel shows the drawing bitmap again.
  bool ShowsThePanelAgain()
  {
    const IRECT all(0, 0, TestEditor::kW, TestEditor::kH);
    return host->ChildrenOf(editor.Child()) == 0 &&
           host->Loop().RunUntil(
               [&] { return host->WindowShowsBitmap(editor.Child(), editor.g->GetDrawBitmap(), all); }, kWaitMs);
  }

  std::unique_ptr<X11Host> host;
  TestEditor editor;
};

// Without a server: what a keysym types.
TEST(X11KeyText, LatinOneUnicodeAndKeypadKeysType)
{
  struct
  {
    unsigned long keysym;
    const char* bytes;
    const char* typed;
  } const cases[] = {
    {XK_A, "A", "A"},
    {XK_space, " ", " "},
    {XK_eacute, "\xE9", "\xC3\xA9"},   // Latin-1 bytes, UTF-8 text
    {XK_ydiaeresis, "", "\xC3\xBF"},
    {0x10020AC, "", "\xE2\x82\xAC"},   // the euro sign as a Unicode keysym
    {0x101F600, "", "\xF0\x9F\x98\x80"},
    {XK_KP_7, "7", "7"},
    {XK_KP_Decimal, ".", "."},
    {XK_Return, "\r", ""},
    {XK_Tab, "\t", ""},
    {XK_F1, "", ""},
    {XK_Shift_L, "", ""},
    {0x100D800, "", ""},               // a surrogate is no character
  };
  for (const auto& c : cases)
  {
    char out[5] = "?";
    X11_KeyText(c.keysym, c.bytes, (int)std::strlen(c.bytes), out);
    EXPECT_STREQ(out, c.typed) << std::hex << c.keysym;
  }
}

TEST_F(X11TextEntryTest, GainFieldShowsTheEntryColoursAndTakesATypedValue)
{
  Window focusBefore = 0;
  int revert = 0;
  XGetInputFocus(host->Dpy(), &focusBefore, &revert);
  ASSERT_TRUE(OpenOn(TestEditor::kGainCtl));
  Window focus = 0;
  XGetInputFocus(host->Dpy(), &focus, &revert);
  EXPECT_NE(focus, focusBefore) << "the field took no keyboard focus";

  // The field's background at its corner and ink of the current value in the
  // foreground colour.
  const IRECT r = *editor.Control(TestEditor::kGainCtl)->GetRECT();
  std::vector<unsigned long> px;
  EXPECT_TRUE(host->Loop().RunUntil(
      [&] {
        px = host->WindowPixels(editor.Child(), r);
        return !px.empty() && Near(px.front(), kEntryBG, 0) && Near(px.back(), kEntryBG, 0);
      },
      kWaitMs));
  // Glyphs are small and smoothed: ink is what stands well off the
  // background; the caret is a line of the exact foreground colour.
  const long ink = std::count_if(px.begin(), px.end(), [](unsigned long p) { return !Near(p, kEntryBG, 60); });
  const long caret = std::count_if(px.begin(), px.end(), [](unsigned long p) { return Near(p, kEntryFG, 0); });
  const long bg = std::count_if(px.begin(), px.end(), [](unsigned long p) { return Near(p, kEntryBG, 0); });
  EXPECT_GT(ink, 20) << "no text drawn in the field";
  EXPECT_GE(caret, 5) << "no caret";
  EXPECT_GT(bg, (long)px.size() / 2);

  ClearField();
  host->Type("7.5");
  host->Tap(XK_Return);
  ASSERT_TRUE(WaitOpen(false));
  EXPECT_DOUBLE_EQ(editor.Value(kPGain), 7.5);
  EXPECT_TRUE(ShowsThePanelAgain());
  XGetInputFocus(host->Dpy(), &focus, &revert);
  EXPECT_EQ(focus, focusBefore) << "the focus was not given back";
}

TEST_F(X11TextEntryTest, ReturnAtOnceCommitsTheShownText)
{
  // An empty field would read as 0: the field held the current value.
  ASSERT_TRUE(OpenOn(TestEditor::kGainCtl));
  host->Tap(XK_Return);
  ASSERT_TRUE(WaitOpen(false));
  EXPECT_DOUBLE_EQ(editor.Value(kPGain), 5.0);

  PromptControl* free = editor.Control(TestEditor::kFreeCtl);
  ASSERT_TRUE(OpenOn(TestEditor::kFreeCtl));
  host->Tap(XK_KP_Enter);
  ASSERT_TRUE(WaitOpen(false));
  EXPECT_EQ(free->mEntries, 1);
  EXPECT_EQ(free->mEntered, "abc");
}

TEST_F(X11TextEntryTest, EscapeCancels)
{
  ASSERT_TRUE(OpenOn(TestEditor::kGainCtl));
  ClearField();
  host->Type("9");
  host->Tap(XK_Escape);
  ASSERT_TRUE(WaitOpen(false));
  EXPECT_DOUBLE_EQ(editor.Value(kPGain), 5.0);

  PromptControl* free = editor.Control(TestEditor::kFreeCtl);
  ASSERT_TRUE(OpenOn(TestEditor::kFreeCtl));
  host->Type("xyz");
  host->Tap(XK_Escape);
  ASSERT_TRUE(WaitOpen(false));
  EXPECT_EQ(free->mEntries, 0);
  EXPECT_EQ(free->mEntered, "abc");
  EXPECT_TRUE(ShowsThePanelAgain());
}

TEST_F(X11TextEntryTest, GainFieldRefusesLetters)
{
  ASSERT_TRUE(OpenOn(TestEditor::kGainCtl));
  ClearField();
  host->Type("a2b");
  host->Tap(XK_period);
  host->Type("x5");
  host->Tap(XK_Return);
  ASSERT_TRUE(WaitOpen(false));
  EXPECT_DOUBLE_EQ(editor.Value(kPGain), 2.5);
}

TEST_F(X11TextEntryTest, FreeTextEndsInTextFromTextEntryAndKeysSkipTheCore)
{
  PromptControl* free = editor.Control(TestEditor::kFreeCtl);
  ASSERT_TRUE(OpenOn(TestEditor::kFreeCtl));
  // Left, BackSpace, Home, Delete, End: "abc" -> "ac" -> "c" -> "cQ! x"
  host->Tap(XK_Left);
  host->Tap(XK_BackSpace);
  host->Tap(XK_Home);
  host->Tap(XK_Delete);
  host->Tap(XK_End);
  host->Type("Q! x");
  host->Tap(XK_Return);
  ASSERT_TRUE(WaitOpen(false));
  EXPECT_EQ(free->mEntries, 1);
  EXPECT_EQ(free->mEntered, "cQ! x");
  EXPECT_EQ(Logged(TestEditor::kFreeCtl, "key"), 0) << "a key reached the core while the field was open";

  // With the field gone keys reach the core again.
  editor.MoveTo(*host, 300, 45);
  host->Tap(XK_x);
  EXPECT_TRUE(host->Loop().RunUntil([&] { return Logged(TestEditor::kFreeCtl, "key") > 0; }, kWaitMs));
}

TEST_F(X11TextEntryTest, APressInTheFieldMovesTheCaret)
{
  PromptControl* free = editor.Control(TestEditor::kFreeCtl);
  ASSERT_TRUE(OpenOn(TestEditor::kFreeCtl));
  const IRECT* r = free->GetRECT();
  editor.ClickAt(*host, r->L + 1, (r->T + r->B) / 2);
  host->Type("1");
  host->Tap(XK_Return);
  ASSERT_TRUE(WaitOpen(false));
  EXPECT_EQ(free->mEntered, "1abc");
  EXPECT_EQ(Logged(TestEditor::kFreeCtl, "down"), 1) << "the press in the field reached the core";
}

TEST_F(X11TextEntryTest, AClickElsewhereCommitsThenActs)
{
  PromptControl* free = editor.Control(TestEditor::kFreeCtl);
  ASSERT_TRUE(OpenOn(TestEditor::kFreeCtl));
  host->Type("q");
  // The click on the gain control ends the free field, then opens the gain's.
  editor.ClickControl(*host, TestEditor::kGainCtl);
  ASSERT_TRUE(host->Loop().RunUntil([&] { return free->mEntries == 1; }, kWaitMs));
  EXPECT_EQ(free->mEntered, "abcq");
  ASSERT_TRUE(WaitOpen(true));
  EXPECT_EQ(host->ChildrenOf(editor.Child()), 1u);
  host->Tap(XK_Escape);
  ASSERT_TRUE(WaitOpen(false));
  EXPECT_DOUBLE_EQ(editor.Value(kPGain), 5.0);

  // A click on the bare panel commits as well.
  ASSERT_TRUE(OpenOn(TestEditor::kFreeCtl));
  host->Type("r");
  editor.ClickAt(*host, 5, 90);
  ASSERT_TRUE(WaitOpen(false));
  EXPECT_EQ(free->mEntered, "abcqr");
}

TEST_F(X11TextEntryTest, LosingTheKeyboardFocusCommits)
{
  PromptControl* free = editor.Control(TestEditor::kFreeCtl);
  ASSERT_TRUE(OpenOn(TestEditor::kFreeCtl));
  host->Type("f");
  ASSERT_TRUE(Settle());
  // Another application (here the host) takes the focus.
  XSetInputFocus(host->Dpy(), editor.parent, RevertToParent, CurrentTime);
  XFlush(host->Dpy());
  ASSERT_TRUE(WaitOpen(false));
  EXPECT_EQ(free->mEntered, "abcf");
  Window focus = 0;
  int revert = 0;
  XGetInputFocus(host->Dpy(), &focus, &revert);
  EXPECT_EQ(focus, editor.parent) << "the field took back a focus the user had moved";
}

TEST_F(X11TextEntryTest, WheelEndsTheFieldThenWheels)
{
  PromptControl* free = editor.Control(TestEditor::kFreeCtl);
  ASSERT_TRUE(OpenOn(TestEditor::kFreeCtl));
  host->Type("w");
  host->Click(Button4); // over the field, where the click left the pointer
  ASSERT_TRUE(WaitOpen(false));
  EXPECT_EQ(free->mEntered, "abcw");
  EXPECT_TRUE(host->Loop().RunUntil([&] { return free->mWheel == 1; }, kWaitMs));
}

TEST_F(X11TextEntryTest, DragsAreIgnoredWhileOpen)
{
  PromptControl* gain = editor.Control(TestEditor::kGainCtl);
  const IRECT* r = gain->GetRECT();
  editor.MoveTo(*host, (r->L + r->R) / 2, (r->T + r->B) / 2);
  host->Button(Button1, true);
  ASSERT_TRUE(WaitOpen(true));
  editor.MoveTo(*host, (r->L + r->R) / 2 + 9, (r->T + r->B) / 2 + 3);
  host->Button(Button1, false);
  ASSERT_TRUE(host->Loop().RunUntil([&] { return Logged(TestEditor::kGainCtl, "up") == 1; }, kWaitMs));
  EXPECT_EQ(Logged(TestEditor::kGainCtl, "drag"), 0);
  EXPECT_TRUE(editor.g->TextEntryOpen());
}

TEST_F(X11TextEntryTest, ForceEndUserEditCommits)
{
  PromptControl* free = editor.Control(TestEditor::kFreeCtl);
  ASSERT_TRUE(OpenOn(TestEditor::kFreeCtl));
  host->Type("k");
  ASSERT_TRUE(Settle());
  editor.g->ForceEndUserEdit();
  EXPECT_FALSE(editor.g->TextEntryOpen());
  EXPECT_EQ(free->mEntered, "abck");
  EXPECT_TRUE(ShowsThePanelAgain());
  editor.g->ForceEndUserEdit(); // nothing open: nothing happens
  EXPECT_EQ(free->mEntries, 1);
}

TEST_F(X11TextEntryTest, OneFieldAtATimeAndNoneWithoutAControl)
{
  IRECT r(10, 70, 100, 90);
  editor.g->CreateTextEntry(nullptr, editor.Control(1)->GetText(), &r, "x", nullptr);
  EXPECT_FALSE(editor.g->TextEntryOpen());
  ASSERT_TRUE(OpenOn(TestEditor::kFreeCtl));
  editor.g->CreateTextEntry(editor.Control(TestEditor::kGainCtl), nullptr, &r, "x", nullptr);
  EXPECT_EQ(host->ChildrenOf(editor.Child()), 1u);
  host->Tap(XK_Return);
  ASSERT_TRUE(WaitOpen(false));
  EXPECT_EQ(editor.Control(TestEditor::kFreeCtl)->mEntries, 1);
  EXPECT_EQ(editor.Control(TestEditor::kGainCtl)->mEntries, 0);

  // No window, no field.
  TestEditor closed;
  closed.g->CreateTextEntry(closed.Control(TestEditor::kFreeCtl), nullptr, &r, "x", nullptr);
  EXPECT_FALSE(closed.g->TextEntryOpen());
}

TEST_F(X11TextEntryTest, ClosingTheWindowDropsTheField)
{
  PromptControl* free = editor.Control(TestEditor::kFreeCtl);
  ASSERT_TRUE(OpenOn(TestEditor::kFreeCtl));
  host->Type("z");
  ASSERT_TRUE(Settle());
  editor.g->CloseWindow();
  EXPECT_FALSE(editor.g->TextEntryOpen());
  EXPECT_EQ(host->ChildrenOf(editor.parent), 0u);
  EXPECT_EQ(free->mEntries, 0);
  editor.g->ForceEndUserEdit();
  EXPECT_EQ(free->mEntries, 0);

  // Opened again, the field works as before.
  ASSERT_TRUE(editor.g->SetHostRunLoop(&host->Loop()));
  ASSERT_TRUE(editor.g->OpenWindow((void*)(uintptr_t)editor.parent));
  ASSERT_TRUE(host->Loop().RunUntil([&] { return editor.g->Presents() > 0; }, kWaitMs));
  ASSERT_TRUE(OpenOn(TestEditor::kFreeCtl));
  host->Tap(XK_Return);
  ASSERT_TRUE(WaitOpen(false));
  EXPECT_EQ(free->mEntries, 1);
}

TEST_F(X11TextEntryTest, TheHostDestroyingTheParentDropsTheField)
{
  PromptControl* free = editor.Control(TestEditor::kFreeCtl);
  ASSERT_TRUE(OpenOn(TestEditor::kFreeCtl));
  host->Type("z");
  ASSERT_TRUE(Settle());
  XDestroyWindow(host->Dpy(), editor.parent);
  XSync(host->Dpy(), False);
  ASSERT_TRUE(host->Loop().RunUntil([&] { return editor.g->GetWindow() == nullptr; }, kWaitMs));
  EXPECT_FALSE(editor.g->TextEntryOpen());
  EXPECT_EQ(free->mEntries, 0);
  editor.g->ForceEndUserEdit();
  EXPECT_EQ(free->mEntries, 0);
}

TEST_F(X11TextEntryTest, DestroyingTheEditorWithAnOpenFieldIsClean)
{
  const int fds = OpenFdCount();
  auto other = std::make_unique<TestEditor>();
  ASSERT_TRUE(other->Open(*host, 30, 160));
  other->ClickControl(*host, TestEditor::kFreeCtl);
  ASSERT_TRUE(host->Loop().RunUntil([&] { return other->g->TextEntryOpen(); }, kWaitMs));
  const Window parent = other->parent;
  other.reset(); // the plug-in and its editor go with the field open
  EXPECT_EQ(host->ChildrenOf(parent), 0u);
  EXPECT_EQ(OpenFdCount(), fds) << "the editor's connection was left open";
}

} // namespace
