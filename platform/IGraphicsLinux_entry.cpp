// Text entries over the editor's window; the field itself is X11TextEntry,
// owned by the open X11Window so that closing the window ends it.
#include "graphics/IControl.h"
#include "platform/IGraphicsLinux.h"
#include "platform/x11window.h"

void IGraphicsLinux::CreateTextEntry(IControl* pControl, IText* pText, IRECT* pTextRect, const char* str,
                                     IParam* pParam)
{
  X11Window* w = X11();
  if (!w || !w->Alive() || !pControl || !pTextRect || w->TextEntryOpen()) return;
  // Without a record the control's own text style stands in.
  const IText& text = pText ? *pText : *pControl->GetText();
  w->OpenTextEntry(pControl, pParam, text, *pTextRect, str ? str : "");
}

void IGraphicsLinux::ForceEndUserEdit()
{
  if (X11Window* w = X11()) w->EndTextEntry(true);
}

bool IGraphicsLinux::TextEntryOpen() const
{
  X11Window* w = X11();
  return w && w->TextEntryOpen();
}
