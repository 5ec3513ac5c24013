// Platform-neutral description of a popup menu: items with flags and optional submenus, a
// label numbering style and, once shown, the chosen item.
// Contract: built and shown on the UI thread; no locks. A menu owns its items (and their
// texts) but not the submenus they point to: a submenu must outlive every menu that refers
// to it and is deleted by whoever created it.
#pragma once

#include "util/ptrlist.h"
#include "util/utilstring.h"

class IPopupMenu;

class IPopupMenuItem
{
public:
  enum Flags
  {
    kItemNoFlags = 0,
    kItemDisabled = 1,   // greyed, cannot be chosen
    kItemIndented = 2,
    kItemChecked = 4,
    kItemSeparator = 8   // a line; the text is ignored
  };

  explicit IPopupMenuItem(const char* text, int flags = kItemNoFlags, IPopupMenu* submenu = nullptr)
  : mText(text), mSubmenu(submenu), mFlags(flags) {}
  IPopupMenuItem(const char* text, IPopupMenu* submenu) : IPopupMenuItem(text, kItemNoFlags, submenu) {}
  IPopupMenuItem(const IPopupMenuItem&) = delete;
  IPopupMenuItem& operator=(const IPopupMenuItem&) = delete;

  bool GetEnabled() const { return !(mFlags & kItemDisabled); }
  bool GetChecked() const { return (mFlags & kItemChecked) != 0; }
  bool GetIndented() const { return (mFlags & kItemIndented) != 0; }
  bool GetIsSeparator() const { return (mFlags & kItemSeparator) != 0; }
  int GetFlags() const { return mFlags; }
  // "" when the label is empty; owned by the item.
  const char* GetText() const { return mText.Get(); }
  IPopupMenu* GetSubmenu() const { return mSubmenu; }

  void SetText(const char* text) { mText.Set(text); }
  void SetSubmenu(IPopupMenu* submenu) { mSubmenu = submenu; }
  void SetEnabled(bool enabled) { SetFlag(kItemDisabled, !enabled); }
  // Sets or clears kItemChecked alone.
  void SetChecked(bool checked) { SetFlag(kItemChecked, checked); }
  void SetIndented(bool indented) { SetFlag(kItemIndented, indented); }
  void SetFlags(int flags) { mFlags = flags; }

private:
  void SetFlag(int flag, bool on) { mFlags = on ? (mFlags | flag) : (mFlags & ~flag); }

  Util_String mText;
  IPopupMenu* mSubmenu;  // not owned
  int mFlags;
};

class IPopupMenu
{
public:
  IPopupMenu() = default;
  ~IPopupMenu();
  IPopupMenu(const IPopupMenu&) = delete;
  IPopupMenu& operator=(const IPopupMenu&) = delete;

  // Insertion at index: -1 appends; other negatives count as 0; an index at or past the
  // count appends. Each returns the stored item, or null when the list could not grow (the
  // item, or the one made for the call, is then deleted).
  IPopupMenuItem* AddItem(IPopupMenuItem* item, int index = -1);
  IPopupMenuItem* AddItem(const char* text, int index = -1, int itemFlags = IPopupMenuItem::kItemNoFlags);
  IPopupMenuItem* AddItem(const char* text, int index, IPopupMenu* submenu);
  IPopupMenuItem* AddItem(const char* text, IPopupMenu* submenu);
  IPopupMenuItem* AddSeparator(int index = -1);

  // Null outside 0 ... count - 1.
  IPopupMenuItem* GetItem(int index) const { return mMenuItems.Get(index); }
  // The item's label, "" when it is empty or there is no such item.
  const char* GetItemText(int index) const;
  int GetNItems() const { return mMenuItems.GetSize(); }

  // Label numbering: 0 none, 1 "%1d: ", 2 "%02d: ", 3 "%03d: " (index + 1 within this
  // menu). Other values are refused and keep the prefix.
  void SetPrefix(int count);
  int GetPrefix() const { return mPrefix; }
  // Writes the numbering prefix of the item at index (empty for prefix 0); out holds
  // at least 16 bytes.
  void GetItemPrefix(int index, char* out, int outSize) const;

  // Set by the platform once the user chose an item of this very menu.
  void SetChosenItemIdx(int index) { mChosenItemIdx = index; }
  int GetChosenItemIdx() const { return mChosenItemIdx; }

  // False (and no change) when there is no such item.
  bool CheckItem(int index, bool checked);
  // Checks the item at index and unchecks every other one (-1 unchecks all).
  void CheckItemAlone(int index);
  bool IsItemChecked(int index) const;

private:
  IPopupMenuItem* Insert(IPopupMenuItem* item, int index);

  int mPrefix = 0;
  int mChosenItemIdx = -1;
  Util_PtrList<IPopupMenuItem> mMenuItems;  // owned
};
