// Value prompts: a menu of display texts, or a text entry, and the value typed back.
#include "graphics/IGraphics.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "framework/IParam.h"
#include "graphics/IControl.h"
#include "graphics/IPopupMenu.h"

void IGraphics::PromptUserInput(IControl* pControl, IParam* pParam, IRECT* pTextRect)
{
  if (!pControl || !pParam || !pTextRect) return;
  const EParamKind kind = pParam->GetKind();
  const int nTexts = pParam->GetNDisplayTexts();
  char current[kParamDisplayMax];

  if (kind == kParamEnum || (kind == kParamBool && nTexts > 0))
  {
    pParam->GetDisplayForHost(pParam->GetValue(), false, current, true);
    IPopupMenu menu;
    for (int i = 0; i < nTexts; ++i)
    {
      const char* text = pParam->GetDisplayTextAtIdx(i);
      menu.AddItem(text, -1, std::strcmp(text, current) ? IPopupMenuItem::kItemNoFlags : IPopupMenuItem::kItemChecked);
    }
    IPopupMenu* chosen = CreateIPopupMenu(&menu, pTextRect);
    if (chosen && chosen->GetChosenItemIdx() >= 0)
      pControl->SetValueFromUserInput(pParam->GetNormalized((double)chosen->GetChosenItemIdx()));
    return;
  }

  pParam->GetDisplayForHost(pParam->GetValue(), false, current, false);
  CreateTextEntry(pControl, pControl->GetText(), pTextRect, current, pParam);
}

void IGraphics::SetFromStringAfterPrompt(IControl* pControl, IParam* pParam, char* txt)
{
  if (!pControl || !pParam) return;
  double v;
  const EParamKind kind = pParam->GetKind();
  if (kind == kParamBool || kind == kParamEnum)
  {
    int idx = 0;
    pParam->MapDisplayText(txt, &idx);
    v = idx;
  }
  else
  {
    v = txt ? std::atof(txt) : 0.0;
    // "nan" or "inf" typed by the user must not reach the host as a value.
    if (!std::isfinite(v)) return;
    if (pParam->IsDisplayNegated()) v = -v;
  }
  pControl->SetValueFromUserInput(pParam->GetNormalized(v));
}
