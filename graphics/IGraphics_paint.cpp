// Dirty collection and painting into the drawing bitmap.
#include "graphics/IGraphics.h"

#include "graphics/IControl.h"

bool IGraphics::IsDirty(IRECT* pR)
{
  if (!pR) return false;
  bool dirty = false;
  // Hidden controls count too: hiding one must repaint what it covered.
  for (int i = 0; i < mControls.GetSize(); ++i)
  {
    IControl* c = mControls.Get(i);
    if (c->IsDirty())
    {
      *pR = pR->Union(*c->GetRECT());
      dirty = true;
    }
  }
  return dirty;
}

bool IGraphics::DrawStrict(IRECT* pR)
{
  mDrawRECT = *pR;
  for (int i = 0; i < mControls.GetSize(); ++i)
  {
    IControl* c = mControls.Get(i);
    if (!c->IsHidden() && pR->Intersects(*c->GetRECT())) c->Draw(this);
    // Outside the region too: the region was all that needed painting.
    c->SetClean();
  }
  return true;
}

void IGraphics::DrawNonStrict()
{
  const int n = mControls.GetSize();
  IControl* bg = mControls.Get(0);
  if (bg->IsDirty())
  {
    // The background repaints everything over it.
    mDrawRECT = *bg->GetRECT();
    for (int i = 0; i < n; ++i)
    {
      IControl* c = mControls.Get(i);
      if (i > 0 && c->IsHidden()) continue;
      c->Draw(this);
      c->SetClean();
    }
    return;
  }
  // Each dirty control with whatever overlaps it, clipped to the dirty control.
  for (int j = 1; j < n; ++j)
  {
    IControl* dirty = mControls.Get(j);
    if (!dirty->IsDirty()) continue;
    mDrawRECT = *dirty->GetRECT();
    for (int k = 0; k < n; ++k)
    {
      IControl* c = mControls.Get(k);
      if (c->IsHidden()) continue;
      if (k == j || (!c->GetRECT()->Empty() && c->GetRECT()->Intersects(mDrawRECT))) c->Draw(this);
    }
    dirty->SetClean();
  }
}

bool IGraphics::Draw(IRECT* pR)
{
  if (mControls.GetSize() == 0) return true;
  IRECT none;
  if (!pR) pR = &none;
  if (mStrict) DrawStrict(pR);
  else DrawNonStrict();
  return DrawScreen(pR);
}
