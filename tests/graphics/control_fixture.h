#pragma once
// Fixture for the control-family tests: the shared recording core, extended with a scripted
// file dialog and URL opener, and film-strip images whose every pixel says which frame and
// which spot of the frame it comes from.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "graphics_fixture.h"

// A strip of n frames of fw x fh pixels. Pixel (x, y) of frame f (0-based) is opaque with
// red = f, green = y and blue = x, so a drawn pixel tells where in the image it came from.
struct StripImage
{
  StripImage(int fw, int fh, int n, bool horizontal = false)
  : mem(new Raster_MemBitmap(horizontal ? fw * n : fw, horizontal ? fh : fh * n)),
    bitmap(mem.get(), horizontal ? fw * n : fw, horizontal ? fh : fh * n, n, horizontal)
  {
    for (int f = 0; f < n; ++f)
      for (int y = 0; y < fh; ++y)
        for (int x = 0; x < fw; ++x)
        {
          const int px = horizontal ? f * fw + x : x, py = horizontal ? y : f * fh + y;
          Raster_RowPtr(mem.get(), py)[px] = PixelFor(f, x, y);
        }
  }
  static uint32_t PixelFor(int frame, int x, int y) { return Raster_RGBA(frame, y, x, 255); }

  std::unique_ptr<Raster_MemBitmap> mem;
  IBitmap bitmap;
};

struct OpenedURL
{
  std::string url, second;
  bool thirdNull, fourthNull;
};

// The recording core plus a file dialog that answers mChosenFile ("" cancels) and a URL
// opener that succeeds only for the addresses in mWorkingURLs. onDialog, when set, runs
// while the dialog is "open".
class ControlGraphics : public RecordingCore
{
public:
  explicit ControlGraphics(IPluginBase* plug, int w = 100, int h = 80) : RecordingCore(plug, w, h) {}

  void PromptForFile(Util_String* pFile, EFileAction action, Util_String* pDir, char* extensions) override
  {
    ++mDialogs;
    mDialogAction = action;
    mDialogDir = pDir ? pDir->Get() : "(null)";
    mDialogExt = extensions ? extensions : "(null)";
    if (mOnDialog) mOnDialog();
    if (!mChosenFile.empty()) pFile->Set(mChosenFile.c_str());
  }
  bool OpenURL(const char* url, const char* second, const char* third, const char* fourth) override
  {
    mURLs.push_back({url ? url : "", second ? second : "(null)", third == nullptr, fourth == nullptr});
    for (const std::string& ok : mWorkingURLs)
      if (ok == url) return true;
    return false;
  }

  std::string mChosenFile;
  int mDialogs = 0;
  EFileAction mDialogAction = kFileOpen;
  std::string mDialogDir, mDialogExt;
  std::function<void()> mOnDialog;
  std::vector<OpenedURL> mURLs;
  std::vector<std::string> mWorkingURLs;
};

// The shared plug-in with a ControlGraphics editor. Attach controls, then Attach().
struct ControlFixture : ::testing::Test
{
  GfxPlug plug;
  ControlGraphics* gfx = new ControlGraphics(&plug);
  IMouseMod left{true};
  IMouseMod right{false, true};
  IMouseMod shift{true, false, true};
  IMouseMod control{true, false, false, true};

  // A core that was never attached is still ours.
  ~ControlFixture() override
  {
    if (plug.GetGraphics() != gfx) delete gfx;
  }

  void Attach() { plug.AttachGraphics(gfx); }
  template <class T>
  T* Ctl(int idx)
  {
    return static_cast<T*>(gfx->GetControl(idx));
  }
  // Paints the whole editor once.
  void PaintAll()
  {
    IRECT all(0, 0, gfx->Width(), gfx->Height());
    gfx->Draw(&all);
  }
  uint32_t Pixel(int x, int y) { return Raster_GetPixel(gfx->GetDrawBitmap(), x, y); }
  // The values the host was told for a parameter, in order.
  std::vector<double> Informed(int paramIdx) const
  {
    std::vector<double> out;
    for (const PlugEvent& e : plug.mEvents)
      if (e.what == "Inform" && e.idx == paramIdx) out.push_back(e.value);
    return out;
  }
  // A press and release at (x, y), as the platform delivers them.
  void Click(int x, int y, IMouseMod mod)
  {
    gfx->OnMouseDown(x, y, &mod);
    gfx->OnMouseUp(x, y, &mod);
  }
};
