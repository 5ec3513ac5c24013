// Popup menus over the editor's window.
#include "platform/IGraphicsLinux.h"

#include "platform/x11errors.h"
#include "platform/x11popupmenu.h"
#include "platform/x11surface.h"
#include "platform/x11window.h"

IPopupMenu* IGraphicsLinux::CreateIPopupMenu(IPopupMenu* pMenu, IRECT* pAreaRect)
{
  X11IOGuard io; // its loop reads the connection outside the window's callbacks
  ReleaseMouseCapture();
  X11Window* window = X11();
  if (!window || !window->Alive() || !pMenu) return nullptr;
  Display* display = window->GetDisplay();

  IRECT area;
  if (pAreaRect)
  {
    int x = 0, y = 0;
    X11_ToRoot(display, window->Id(), pAreaRect->L, pAreaRect->T, &x, &y);
    area = IRECT(x, y, x + pAreaRect->W(), y + pAreaRect->H());
  }
  else
  {
    // No area: at the pointer.
    Window root = 0, child = 0;
    int rx = 0, ry = 0, wx = 0, wy = 0;
    unsigned mask = 0;
    X11ErrorTrap trap(display);
    XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rx, &ry, &wx, &wy, &mask);
    if (trap.Failed()) rx = ry = 0;
    area = IRECT(rx, ry, rx, ry);
  }

  // The host's callbacks that arrive meanwhile leave the connection to the menu.
  window->BeginModal();
  IPopupMenu* chosen = nullptr;
  {
    X11PopupMenu menu(display, window, this);
    chosen = menu.Run(pMenu, area);
  }
  window->EndModal();
  return chosen;
}
