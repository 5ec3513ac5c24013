#include "graphics/IPopupMenu.h"

#include <cstdio>

IPopupMenu::~IPopupMenu()
{
  mMenuItems.Empty(true);
}

IPopupMenuItem* IPopupMenu::Insert(IPopupMenuItem* item, int index)
{
  if (!item) return nullptr;
  IPopupMenuItem* stored = (index == -1) ? mMenuItems.Add(item) : mMenuItems.Insert(index, item);
  if (!stored) delete item;
  return stored;
}

IPopupMenuItem* IPopupMenu::AddItem(IPopupMenuItem* item, int index)
{
  return Insert(item, index);
}

IPopupMenuItem* IPopupMenu::AddItem(const char* text, int index, int itemFlags)
{
  return Insert(new IPopupMenuItem(text, itemFlags), index);
}

IPopupMenuItem* IPopupMenu::AddItem(const char* text, int index, IPopupMenu* submenu)
{
  return Insert(new IPopupMenuItem(text, submenu), index);
}

IPopupMenuItem* IPopupMenu::AddItem(const char* text, IPopupMenu* submenu)
{
  return Insert(new IPopupMenuItem(text, submenu), -1);
}

IPopupMenuItem* IPopupMenu::AddSeparator(int index)
{
  return Insert(new IPopupMenuItem("", IPopupMenuItem::kItemSeparator), index);
}

const char* IPopupMenu::GetItemText(int index) const
{
  const IPopupMenuItem* item = GetItem(index);
  return item ? item->GetText() : "";
}

void IPopupMenu::SetPrefix(int count)
{
  if ((unsigned)count <= 3u) mPrefix = count;
}

void IPopupMenu::GetItemPrefix(int index, char* out, int outSize) const
{
  if (!out || outSize <= 0) return;
  static const char* const kFormats[] = {"", "%1d: ", "%02d: ", "%03d: "};
  std::snprintf(out, (size_t)outSize, kFormats[mPrefix], index + 1);
}

bool IPopupMenu::CheckItem(int index, bool checked)
{
  IPopupMenuItem* item = GetItem(index);
  if (!item) return false;
  item->SetChecked(checked);
  return true;
}

void IPopupMenu::CheckItemAlone(int index)
{
  for (int i = 0; i < mMenuItems.GetSize(); ++i) mMenuItems.Get(i)->SetChecked(i == index);
}

bool IPopupMenu::IsItemChecked(int index) const
{
  const IPopupMenuItem* item = GetItem(index);
  return item && item->GetChecked();
}
