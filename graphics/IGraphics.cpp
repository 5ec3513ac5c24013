// Construction, bitmaps, resizing and the control list.
#include "graphics/IGraphics.h"

#include "framework/IPluginBase.h"
#include "graphics/IControl.h"
#include "graphics/IControlBitmaps.h"
#include "raster/bitmap.h"

namespace {

int NonNegative(int v) { return v < 0 ? 0 : v; }

}  // namespace

IGraphics::IGraphics(IPluginBase* plug, int width, int height, int fps)
: mPlug(plug), mWidth(NonNegative(width)), mHeight(NonNegative(height)), mFPS(fps > 0 ? fps : 25)
{
}

IGraphics::~IGraphics()
{
  DeleteControls();
  delete mKeyCatcher;
  mKeyCatcher = nullptr;
  DeleteBitmaps();
}

void IGraphics::PrepDraw()
{
  // A second call (Resize, or a plug-in attaching twice) replaces the bitmaps.
  DeleteBitmaps();
  mDrawBitmap = new Raster_SysBitmap(mWidth, mHeight);
  mTmpBitmap = new Raster_MemBitmap(0, 0, 4);
}

void IGraphics::DeleteBitmaps()
{
  delete mDrawBitmap;
  mDrawBitmap = nullptr;
  delete mTmpBitmap;
  mTmpBitmap = nullptr;
}

void IGraphics::DeleteControls()
{
  mControls.Empty(true);
  mMouseOver = -1;
}

void IGraphics::Resize(int w, int h)
{
  mWidth = NonNegative(w);
  mHeight = NonNegative(h);
  ReleaseMouseCapture();
  if (mPlug)
  {
    // SetParameterFromPlug walks the list from the audio thread under the plug-in mutex:
    // the controls must not vanish underneath it.
    Util_MutexLock lock(mPlug->GetMutex());
    DeleteControls();
  }
  else
    DeleteControls();
  DeleteBitmaps();
  PrepDraw();
  if (mPlug) mPlug->ResizeGraphics(w, h);
}

void IGraphics::ReleaseMouseCapture()
{
  mMouseCapture = mMouseX = mMouseY = -1;
}

int IGraphics::AttachControl(IControl* pControl)
{
  if (!pControl) return -1;
  if (!mControls.Add(pControl))
  {
    delete pControl;
    return -1;
  }
  return mControls.GetSize() - 1;
}

void IGraphics::InsertBackground(IControl* pControl)
{
  if (!mControls.Insert(0, pControl))
  {
    delete pControl;
    return;
  }
  // Indices held by the core move up with the controls.
  if (mMouseCapture >= 0) ++mMouseCapture;
  if (mMouseOver >= 0) ++mMouseOver;
}

void IGraphics::AttachBackground(int ID, const char* name)
{
  IBitmap bg = LoadIBitmap(ID, name, 1, false);
  IBitmapControl* c = new IBitmapControl(mPlug, 0, 0, -1, &bg, IChannelBlend::kBlendCopy);
  if (!bg.mData)
  {
    // Without its image the background still spans the editor (drawing nothing), so
    // non-strict painting keeps repainting everything the background would cover.
    *c->GetRECT() = IRECT(0, 0, mWidth, mHeight);
    c->SetTargetRECT(*c->GetRECT());
  }
  InsertBackground(c);
}

void IGraphics::AttachPanelBackground(const IColor* pColor)
{
  if (!pColor) return;
  InsertBackground(new IPanelControl(mPlug, IRECT(0, 0, mWidth, mHeight), pColor, IChannelBlend::kBlendDefault));
}

void IGraphics::AttachKeyCatcher(IControl* pControl)
{
  if (pControl != mKeyCatcher) delete mKeyCatcher;
  mKeyCatcher = pControl;
}

void IGraphics::SetStrictDrawing(bool strict)
{
  mStrict = strict;
  SetAllControlsDirty();
}

IControl* IGraphics::GetControl(int idx) const
{
  return mControls.Get(idx);
}

int IGraphics::NControls() const
{
  return mControls.GetSize();
}

void* IGraphics::GetBits()
{
  return mDrawBitmap ? (void*)mDrawBitmap->getBits() : nullptr;
}

Raster_IBitmap* IGraphics::GetDrawBitmap() const
{
  return mDrawBitmap;
}
