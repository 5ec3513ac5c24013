#pragma once
// A test editor in a real X window: the graphics tests' plug-in (a double, an
// enum, a bool and a negated double) with the Linux core, opened straight
// into a parent of the X11 test host. Its controls prompt as the effect's
// would: a click on a parameter's control asks for a value (a text entry
// for doubles, a menu for enums), a click on the free text control opens an
// entry that ends in TextFromTextEntry.

#include "graphics_fixture.h"
#include "x11_host_fixture.h"

#include <X11/keysym.h>

namespace x11test
{

// Prompts for its parameter on a left press; without one, opens a free text
// entry (max length 12) over itself and keeps what ends it.
class PromptControl : public ProbeControl
{
public:
  PromptControl(IPluginBase* plug, IRECT r, int paramIdx, IColor color) : ProbeControl(plug, r, paramIdx, color) {}
  void OnMouseDown(int x, int y, IMouseMod* pMod) override
  {
    Log("down", x, y);
    if (!pMod->L || pMod->R) return;
    IGraphics* g = GetGUI();
    if (ParamIdx() >= 0)
      g->PromptUserInput(this, GetPlug()->GetParam(ParamIdx()), &mRECT);
    else
    {
      mEntryMaxLength = 12;
      g->CreateTextEntry(this, GetText(), &mRECT, mEntered.c_str(), nullptr);
    }
  }
  void TextFromTextEntry(const char* txt) override
  {
    mEntered = txt ? txt : "";
    ++mEntries;
  }
  std::string mEntered = "abc";
  int mEntries = 0;
};

// Four prompt controls in a row (gain, mode, trim, free text) on a 400 x 100
// panel at 25 frames a second.
struct TestEditor
{
  static constexpr int kW = 400, kH = 100;
  enum { kGainCtl = 1, kModeCtl, kTrimCtl, kFreeCtl };

  GfxPlug plug;
  IGraphicsLinux* g = new IGraphicsLinux(&plug, kW, kH, 25);
  Window parent = 0;
  int originX = 0, originY = 0;

  TestEditor()
  {
    IColor bg(255, 40, 40, 48);
    g->AttachPanelBackground(&bg);
    const int params[4] = {kPGain, kPMode, kPTrim, -1};
    for (int i = 0; i < 4; ++i)
      g->AttachControl(new PromptControl(&plug, Slot(i), params[i], IColor(255, 60 + 40 * i, 90, 120)));
    plug.AttachGraphics(g);
  }
  ~TestEditor() { g->CloseWindow(); }
  static IRECT Slot(int i) { return IRECT(10 + 95 * i, 30, 95 + 95 * i, 60); }
  PromptControl* Control(int idx) { return static_cast<PromptControl*>(g->GetControl(idx)); }
  double Value(int param) { return plug.GetParam(param)->GetValue(); }

  // A parent of the panel's size at (x, y), and the editor opened in it on
  // the host's run loop; the first frame is waited for.
  ::testing::AssertionResult Open(X11Host& host, int x = 0, int y = 0)
  {
    originX = x;
    originY = y;
    parent = host.MakeParent(x, y, kW, kH);
    if (!g->SetHostRunLoop(&host.Loop())) return ::testing::AssertionFailure() << "run loop refused";
    if (!g->OpenWindow((void*)(uintptr_t)parent)) return ::testing::AssertionFailure() << "no window";
    if (!host.Loop().RunUntil([&] { return g->Presents() > 0; }, kWaitMs))
      return ::testing::AssertionFailure() << "no first frame";
    return ::testing::AssertionSuccess();
  }
  Window Child() { return (Window)(uintptr_t)g->GetWindow(); }
  // Pointer input in the panel's coordinates.
  void MoveTo(X11Host& host, int x, int y) { host.MoveToRoot(originX + x, originY + y); }
  void ClickAt(X11Host& host, int x, int y, unsigned button = Button1)
  {
    MoveTo(host, x, y);
    host.Click(button);
  }
  void ClickControl(X11Host& host, int idx)
  {
    const IRECT* r = g->GetControl(idx)->GetRECT();
    ClickAt(host, (r->L + r->R) / 2, (r->T + r->B) / 2);
  }
};

} // namespace x11test
