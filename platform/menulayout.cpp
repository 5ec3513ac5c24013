#include "platform/menulayout.h"

#include <algorithm>

#include "graphics/IPopupMenu.h"

std::string MenuLabel(const IPopupMenu& menu, int index)
{
  const IPopupMenuItem* item = menu.GetItem(index);
  if (!item) return std::string();
  char prefix[16];
  menu.GetItemPrefix(index, prefix, (int)sizeof(prefix));
  return std::string(prefix) + item->GetText();
}

MenuLayout::MenuLayout(const IPopupMenu& menu, const MenuMetrics& metrics, const MeasureFn& measure)
  : mMetrics(metrics)
{
  const int b = mMetrics.border;
  int y = b, widest = 0;
  for (int i = 0; i < menu.GetNItems(); ++i)
  {
    const IPopupMenuItem* item = menu.GetItem(i);
    MenuRow row;
    row.submenu = item->GetSubmenu();
    if (row.submenu) row.kind = MenuRow::kSubmenu;
    else if (item->GetIsSeparator()) row.kind = MenuRow::kSeparator;
    if (row.kind == MenuRow::kItem)
    {
      row.enabled = item->GetEnabled();
      row.checked = item->GetChecked();
      row.indented = item->GetIndented();
    }
    if (row.kind != MenuRow::kSeparator)
    {
      row.label = MenuLabel(menu, i);
      const int text = measure ? std::max(measure(row.label), 0) : 0;
      widest = std::max(widest, text + (row.indented ? mMetrics.indentW : 0));
    }
    const int h = row.kind == MenuRow::kSeparator ? mMetrics.sepH : mMetrics.rowH;
    row.rect = IRECT(b, y, 0, y + h);  // right edge once the width is known
    y += h;
    mRows.push_back(row);
  }
  mW = std::max(mMetrics.minW, b + mMetrics.checkW + widest + mMetrics.padR + mMetrics.arrowW + b);
  // An empty menu still shows (and can be dismissed).
  mH = std::max(y + b, 2 * b + mMetrics.sepH);
  for (MenuRow& row : mRows) row.rect.R = mW - b;
}

int MenuLayout::TextLeft(int i) const
{
  const MenuRow& row = Row(i);
  return row.rect.L + mMetrics.checkW + (row.indented ? mMetrics.indentW : 0);
}

int MenuLayout::HitTest(int x, int y) const
{
  for (int i = 0; i < Count(); ++i)
    if (mRows[(size_t)i].rect.Contains(x, y)) return i;
  return -1;
}

int MenuLayout::Next(int from, int dir) const
{
  const int n = Count();
  if (n == 0 || dir == 0) return -1;
  dir = dir > 0 ? 1 : -1;
  int i = from;
  if (i < 0 || i >= n) i = dir > 0 ? -1 : n;
  for (int step = 0; step < n; ++step)
  {
    i = ((i + dir) % n + n) % n;
    if (mRows[(size_t)i].Selectable()) return i;
  }
  return -1;
}

MenuStep MenuLayout::Key(MenuKey key, int* highlight, bool isTop) const
{
  const int h = *highlight;
  const bool valid = h >= 0 && h < Count() && mRows[(size_t)h].Selectable();
  switch (key)
  {
  case MenuKey::kUp:
  case MenuKey::kDown:
  {
    const int next = Next(h, key == MenuKey::kDown ? 1 : -1);
    if (next < 0 || next == h) return MenuStep::kNone;
    *highlight = next;
    return MenuStep::kMoved;
  }
  case MenuKey::kRight:
    return valid && mRows[(size_t)h].kind == MenuRow::kSubmenu ? MenuStep::kOpenSubmenu : MenuStep::kNone;
  case MenuKey::kLeft:
    return isTop ? MenuStep::kNone : MenuStep::kCloseLevel;
  case MenuKey::kConfirm:
    if (!valid) return MenuStep::kNone;
    return mRows[(size_t)h].kind == MenuRow::kSubmenu ? MenuStep::kOpenSubmenu : MenuStep::kChoose;
  case MenuKey::kEscape:
    return isTop ? MenuStep::kDismiss : MenuStep::kCloseLevel;
  }
  return MenuStep::kNone;
}

namespace
{
// Start of a span of size len kept within 0 ... limit where it can be.
int KeepOn(int start, int len, int limit)
{
  if (start + len > limit) start = limit - len;
  return std::max(start, 0);
}
} // namespace

void MenuPlaceBelow(const IRECT& area, int w, int h, int screenW, int screenH, int* x, int* y)
{
  int top = area.B;
  if (top + h > screenH && area.T - h >= 0) top = area.T - h;
  else if (top + h > screenH && area.T > screenH - area.B) top = area.T - h;
  int left = area.L;
  if (left + w > screenW) left = area.R - w;
  *x = KeepOn(left, w, screenW);
  *y = KeepOn(top, h, screenH);
}

void MenuPlaceSubmenu(const IRECT& rowRoot, int parentL, int parentR, int border, int w, int h, int screenW,
                      int screenH, int* x, int* y)
{
  int left = parentR;
  if (left + w > screenW && parentL - w >= 0) left = parentL - w;
  else if (left + w > screenW && parentL > screenW - parentR) left = parentL - w;
  *x = KeepOn(left, w, screenW);
  *y = KeepOn(rowRoot.T - border, h, screenH);
}
