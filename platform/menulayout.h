// A popup menu level as the X11 menus show it, without X: the labels, the
// rows and their rectangles, hit testing, what a key does, and where a menu
// goes on the screen. Coordinates are the menu window's (rows) or the root
// window's (placement), y down.
// Threads: UI thread only. Ownership: a layout reads its IPopupMenu while it
// is built and keeps only copies (labels, flags); the menu stays the caller's.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "graphics/IGraphicsStructs.h"

class IPopupMenu;

// The label of item index: the menu's numbering prefix (counting every item,
// separators and submenus included) and the item's text; "" for no such item.
std::string MenuLabel(const IPopupMenu& menu, int index);

// Sizes of the parts of a row, in pixels.
struct MenuMetrics
{
  int rowH = 22;     // a text row
  int sepH = 9;      // a separator row
  int border = 1;    // the frame around the rows
  int checkW = 20;   // the column for check marks, left of the text
  int indentW = 14;  // one level of indentation
  int arrowW = 18;   // the column for the submenu arrow, right of the text
  int padR = 10;     // after the text
  int minW = 80;     // the narrowest menu
};

struct MenuRow
{
  enum Kind { kItem, kSeparator, kSubmenu };
  Kind kind = kItem;
  std::string label;
  bool enabled = true;   // kItemDisabled clear (always true for submenus)
  bool checked = false;
  bool indented = false;
  IPopupMenu* submenu = nullptr;  // not owned
  IRECT rect;                     // in the menu window, full width

  // Can be highlighted: hovering or keys may rest on it.
  bool Selectable() const { return kind != kSeparator && enabled; }
  // Ends the menu when clicked or confirmed.
  bool Choosable() const { return kind == kItem && enabled; }
};

// Keys a menu level understands.
enum class MenuKey { kUp, kDown, kLeft, kRight, kConfirm, kEscape };
// What a key asks of the open menus.
enum class MenuStep { kNone, kMoved, kOpenSubmenu, kCloseLevel, kChoose, kDismiss };

class MenuLayout
{
public:
  // Width of a label in pixels (the text shim's measure).
  using MeasureFn = std::function<int(const std::string&)>;

  // Rows of menu from the top; the width fits the widest label. An item with
  // a submenu is a submenu row whatever its flags; otherwise a separator
  // flag makes a separator.
  MenuLayout(const IPopupMenu& menu, const MenuMetrics& metrics, const MeasureFn& measure);

  int Width() const { return mW; }
  int Height() const { return mH; }
  int Count() const { return (int)mRows.size(); }
  const MenuRow& Row(int i) const { return mRows[(size_t)i]; }
  const MenuMetrics& Metrics() const { return mMetrics; }
  // Left edge of the row's text (after the check column and indentation).
  int TextLeft(int i) const;

  // The row under (x, y) in the window, separators included; -1 outside.
  int HitTest(int x, int y) const;
  // The next selectable row after from in direction dir (+1 down, -1 up),
  // wrapping around; from -1 starts before the first (down) or after the
  // last (up). -1 when no row is selectable.
  int Next(int from, int dir) const;
  // What key does at this level with the highlight *highlight (-1 for none);
  // Up and Down move *highlight. isTop: this is the menu shown first.
  MenuStep Key(MenuKey key, int* highlight, bool isTop) const;

private:
  MenuMetrics mMetrics;
  std::vector<MenuRow> mRows;
  int mW = 0, mH = 0;
};

// Root position (*x, *y) of a w x h menu opened for area (root coordinates):
// at its bottom-left; above it when it would leave the screen at the bottom
// and there is more room above; right-aligned with it when it would leave the
// screen at the right; then kept on the screen.
void MenuPlaceBelow(const IRECT& area, int w, int h, int screenW, int screenH, int* x, int* y);
// Root position of a w x h submenu of the row rowRoot (root coordinates) of a
// parent menu spanning parentL..parentR: to the right of the parent, its
// first row level with the row; to the left of the parent when it would
// leave the screen at the right; moved up to stay on the screen.
void MenuPlaceSubmenu(const IRECT& rowRoot, int parentL, int parentR, int border, int w, int h, int screenW,
                      int screenH, int* x, int* y);
