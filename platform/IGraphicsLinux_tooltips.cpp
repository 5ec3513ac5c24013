// Tooltips over the editor's window: the areas of the controls that show.
#include "platform/IGraphicsLinux.h"

#include <vector>

#include "graphics/IControl.h"
#include "platform/x11window.h"

void IGraphicsLinux::UpdateTooltips()
{
  if (!mX11 || !mX11->Alive() || !mEnableTooltips) return;
  std::vector<IRECT> areas;
  for (int i = 0; i < NControls(); ++i)
  {
    IControl* c = GetControl(i);
    const IRECT* r = c->GetTargetRECT();
    if (c->IsHidden() || (r->L == 0 && r->T == 0 && r->R == 0 && r->B == 0)) continue;
    areas.push_back(*r);
  }
  mX11->SetTooltipAreas(std::move(areas));
}
