// A popup menu shown modally on the editor's connection: one override-
// redirect window per open level (the menu, then each open submenu to the
// right of its item), the pointer and keyboard grabbed, and a loop that
// reads every event of the connection, keeps the menus' own and hands the
// rest to the editor window.
// Threads: UI thread only. Ownership: the menus (IPopupMenu) stay the
// caller's and nothing of them is deleted; the windows are ours and gone when
// Run returns. The Display, host and graphics are the caller's and outlive Run.
#pragma once

#include <X11/Xlib.h>

#include <memory>
#include <vector>

#include "graphics/IGraphicsStructs.h"
#include "platform/menulayout.h"

class IGraphics;
class IPopupMenu;
class X11ModalHost;
class X11Surface;

class X11PopupMenu
{
public:
  // graphics supplies the font cache for the labels.
  X11PopupMenu(Display* display, X11ModalHost* host, IGraphics* graphics);
  ~X11PopupMenu();
  X11PopupMenu(const X11PopupMenu&) = delete;
  X11PopupMenu& operator=(const X11PopupMenu&) = delete;

  // Shows menu at areaRoot (root coordinates) until the user chooses or
  // dismisses, or the host's window goes. The menu holding the chosen item,
  // its chosen index set; null otherwise (nothing then changed). Null at once
  // when the menu cannot be shown or the grabs cannot be had: a menu that
  // could never be dismissed is worse than none. Once per object.
  IPopupMenu* Run(IPopupMenu* menu, const IRECT& areaRoot);

private:
  struct Level;

  bool OpenLevel(IPopupMenu* menu, int x, int y, int highlight);
  bool OpenSubmenu(size_t parent, int highlight);
  void CloseLevelsAbove(size_t keep);
  bool Grab();
  void Ungrab();
  void Dispatch(XEvent& event);
  void OnPointer(int rootX, int rootY, bool press, bool release);
  void OnKey(XKeyEvent& event);
  void Choose(size_t level, int row);
  // The innermost level whose window holds the root point, or -1.
  int LevelAt(int rootX, int rootY) const;
  void Paint(Level& level);

  Display* mDisplay;
  X11ModalHost* mHost;
  IGraphics* mGraphics;
  MenuMetrics mMetrics;
  IText mText;
  std::vector<std::unique_ptr<Level>> mLevels;  // [0] the menu shown first
  bool mGrabbedPointer = false, mGrabbedKeyboard = false;
  bool mDone = false;
  IPopupMenu* mResult = nullptr;
};
