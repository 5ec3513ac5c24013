#pragma once
// Shared fixture for the graphics core tests: a plug-in with four kinds of parameter, a core
// subclass that records what it asks of the platform (presenting, menus, text entries,
// images), and a probe control that records the events and paints it receives.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/test_plug.h"
#include "graphics/IControl.h"
#include "graphics/IGraphics.h"
#include "graphics/IPopupMenu.h"
#include "raster/raster.h"

enum
{
  kPGain = 0,  // double 0 ... 10, no display texts
  kPMode,      // enum "A", "B", "C"
  kPOn,        // bool "off" / "on"
  kPTrim,      // double -10 ... 10, shown negated
  kNumGfxParams
};

// The framework's test plug-in (a VST3-hosted IPluginBase) that also records the host's
// parameter menu.
class GfxPlug : public TestPlug
{
public:
  GfxPlug() : TestPlug(kNumGfxParams)
  {
    GetParam(kPGain)->InitDouble("Gain", 5., 0., 10., 0.01, "dB");
    GetParam(kPMode)->InitEnum("Mode", 1, 3);
    GetParam(kPMode)->SetDisplayText(0, "A");
    GetParam(kPMode)->SetDisplayText(1, "B");
    GetParam(kPMode)->SetDisplayText(2, "C");
    GetParam(kPOn)->InitBool("On", false);
    GetParam(kPTrim)->InitDouble("Trim", 0., -10., 10., 0.1);
    GetParam(kPTrim)->SetDisplayNegated();
  }
  void PopupHostContextMenuForParam(int paramIdx, int x, int y) override
  {
    Record("HostMenu", paramIdx, x * 1000 + y);
  }
  void ResizeGraphics(int w, int h) override { Record("ResizeGraphics", w, h); }

  // Names of the recorded events, in order.
  std::vector<std::string> EventNames() const
  {
    std::vector<std::string> out;
    for (const PlugEvent& e : mEvents) out.push_back(e.what);
    return out;
  }
  int Count(const std::string& what) const
  {
    int n = 0;
    for (const PlugEvent& e : mEvents) n += e.what == what;
    return n;
  }
};

// One shown menu, as the platform saw it.
struct ShownMenu
{
  std::vector<std::string> texts;
  std::vector<int> flags;
  IRECT area;
};

struct TextEntry
{
  IControl* control;
  std::string text;
  IParam* param;
  IRECT area;
};

// The core with a scripted platform: menus answer mMenuChoice (-1: cancelled), images come
// from mImageDir.
class RecordingCore : public IGraphics
{
public:
  RecordingCore(IPluginBase* plug, int w = 100, int h = 80) : IGraphics(plug, w, h, 0) {}

  bool DrawScreen(IRECT* pR) override
  {
    mScreens.push_back(pR ? *pR : IRECT());
    return true;
  }
  IPopupMenu* CreateIPopupMenu(IPopupMenu* pMenu, IRECT* pArea) override
  {
    ShownMenu shown;
    for (int i = 0; i < pMenu->GetNItems(); ++i)
    {
      shown.texts.push_back(pMenu->GetItemText(i));
      shown.flags.push_back(pMenu->GetItem(i)->GetFlags());
    }
    shown.area = *pArea;
    mMenus.push_back(shown);
    if (mMenuChoice < 0) return nullptr;
    pMenu->SetChosenItemIdx(mMenuChoice);
    return pMenu;
  }
  void CreateTextEntry(IControl* pControl, IText*, IRECT* pRect, const char* str, IParam* pParam) override
  {
    mEntries.push_back({pControl, str ? str : "", pParam, *pRect});
  }
  Raster_IBitmap* OSLoadBitmap(int, const char* name) override
  {
    ++mLoads;
    return Raster_LoadPNG((mImageDir + "/" + name).c_str());
  }

  void SetDrawRECT(const IRECT& r) { mDrawRECT = r; }

  std::vector<IRECT> mScreens;
  std::vector<ShownMenu> mMenus;
  std::vector<TextEntry> mEntries;
  int mMenuChoice = -1;
  std::string mImageDir = "/nonexistent";
  int mLoads = 0;
};

// Records every event and paint; paints by filling its rectangle with mColor.
class ProbeControl : public IControl
{
public:
  ProbeControl(IPluginBase* plug, IRECT r, int paramIdx = -1, IColor color = COLOR_RED)
  : IControl(plug, r, paramIdx, IChannelBlend::kBlendCopy), mColor(color) {}

  void OnMouseDown(int x, int y, IMouseMod* pMod) override
  {
    Log("down", x, y);
    mLastMod = *pMod;
    IControl::OnMouseDown(x, y, pMod);
  }
  void OnMouseUp(int x, int y, IMouseMod*) override { Log("up", x, y); }
  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod*) override
  {
    Log("drag", x, y);
    mDX = dX;
    mDY = dY;
  }
  void OnMouseDblClick(int x, int y, IMouseMod* pMod) override
  {
    Log("dbl", x, y);
    IControl::OnMouseDblClick(x, y, pMod);
  }
  void OnMouseWheel(int x, int y, IMouseMod*, int d) override { Log("wheel", x, y); mWheel = d; }
  bool OnKeyDown(int x, int y, int key) override
  {
    Log("key", x, y);
    mKey = key;
    return mTakesKeys;
  }
  void OnMouseOver(int x, int y, IMouseMod*) override { Log("over", x, y); }
  void OnMouseOut() override { Log("out", -1, -1); }
  bool Draw(IGraphics* pGraphics) override
  {
    ++mDraws;
    mDrawRects.push_back(pGraphics->GetDrawRECT());
    return pGraphics->FillIRect(&mColor, &mRECT, &mBlend);
  }
  void SetTextFromPlug(char* str) override
  {
    if (mStr == str) return;
    SetDirty(false);
    mStr = str;
  }

  void Log(const char* what, int x, int y)
  {
    mLog.push_back(std::string(what) + "@" + std::to_string(x) + "," + std::to_string(y));
  }
  bool Saw(const std::string& what) const
  {
    for (const std::string& s : mLog)
      if (s.compare(0, what.size() + 1, what + "@") == 0) return true;
    return false;
  }

  IColor mColor;
  std::vector<std::string> mLog;
  std::vector<IRECT> mDrawRects;
  IMouseMod mLastMod;
  int mDraws = 0, mDX = 0, mDY = 0, mWheel = 0, mKey = -1;
  bool mTakesKeys = true;
  std::string mStr;
};

// A plug-in that owns a recording core, attached the way an effect attaches its editor.
struct GfxFixture : ::testing::Test
{
  GfxPlug plug;
  RecordingCore* gfx = new RecordingCore(&plug);

  // A core never attached is still ours to delete; an attached one is the plug-in's.
  ~GfxFixture() override
  {
    if (plug.GetGraphics() != gfx) delete gfx;
  }
  // Attach controls first, then call this (values pushed, bitmaps made).
  void Attach() { plug.AttachGraphics(gfx); }
  ProbeControl* Probe(int idx) { return static_cast<ProbeControl*>(gfx->GetControl(idx)); }
  // Paints until nothing is dirty (at most a few cycles).
  void PaintAll()
  {
    for (int i = 0; i < 4; ++i)
    {
      IRECT r;
      if (!gfx->IsDirty(&r)) return;
      gfx->Draw(&r);
    }
  }
  uint32_t Pixel(int x, int y) { return Raster_GetPixel(gfx->GetDrawBitmap(), x, y); }
};

// A temporary folder for images written by a test; removed with its files afterwards.
class TempImageDir
{
public:
  TempImageDir();
  ~TempImageDir();
  const std::string& Path() const { return mPath; }
  // Writes a w x h PNG whose pixel (x, y) is fn(x, y); returns the file name.
  template <class Fn>
  std::string Write(const std::string& name, int w, int h, Fn fn)
  {
    Raster_MemBitmap bm(w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) Raster_RowPtr(&bm, y)[x] = fn(x, y);
    EXPECT_TRUE(Raster_WritePNG((mPath + "/" + name).c_str(), &bm)) << name;
    mFiles.push_back(mPath + "/" + name);
    return name;
  }
  void WriteRaw(const std::string& name, const std::string& bytes);

private:
  std::string mPath;
  std::vector<std::string> mFiles;
};
