// The editor's platform layer on Linux: the editor's X11 window inside the
// host's (on a connection of its own, driven by the host's run loop), images
// from the bundle's resources, the XDG folders, opening addresses with
// xdg-open, and the small windows an editor opens: text entries, popup
// menus, message boxes, tooltips; file dialogs through the desktop's dialog
// programs, the clipboard, hiding the pointer.
// Threads: UI thread (the host's main thread), like the core it extends;
// OSLoadBitmap may also run on whichever thread builds the editor.
// Ownership: the plug-in owns this object through AttachGraphics.
#pragma once

#include "graphics/IGraphics.h"
#include "util/utilstring.h"

class X11Window;

class IGraphicsLinux : public IGraphics
{
public:
  IGraphicsLinux(IPluginBase* plug, int width, int height, int fps = 0);
  // Closes an open window as CloseWindow does.
  ~IGraphicsLinux() override;

  // UI thread: puts the region of the drawing bitmap into the window. False
  // without a window (or once the host destroyed it).
  bool DrawScreen(IRECT* pR) override;
  // UI thread: the host's run loop for the next OpenWindow; the editor holds
  // a reference until CloseWindow. Refused (false) while a window is open.
  bool SetHostRunLoop(Steinberg::Linux::IRunLoop* runLoop) override;
  // UI thread: parent is the host's X Window id. Closes an open window, then
  // opens the editor as a mapped child of parent on its own X connection,
  // with its timer and events on the run loop given before. Returns the
  // child's Window id as a pointer, or null (no run loop, no display, a
  // parent that does not exist).
  void* OpenWindow(void* pParentWnd) override;
  using IGraphics::OpenWindow;
  // UI thread: unregisters from the run loop, destroys the window unless the
  // host already did, closes the connection and drops the run loop. Once.
  void CloseWindow() override;
  // The child's Window id while it is open and the host has not destroyed it.
  void* GetWindow() override;
  // Presentations so far (timer frames and exposures), for the host's checks.
  int Presents() const { return mPresents; }
  // Whether the open window presents through MIT-SHM.
  bool PresentsThroughSharedMemory() const;
  // Main thread, while no window is open: whether later windows may use
  // MIT-SHM (default true); false keeps them on plain XPutImage (a host
  // checking both paths).
  static void AllowSharedMemory(bool allow);

  // UI thread: resizes an open window with the panel (then the base's Resize).
  void Resize(int w, int h) override;

  // ---- Text entry (IGraphicsLinux_entry.cpp) ----
  // UI thread: a one-line field over pTextRect in the open window; ignored
  // without a window or control, or while one is open. Ends in
  // SetFromStringAfterPrompt (with a parameter) or the control's
  // TextFromTextEntry.
  void CreateTextEntry(IControl* pControl, IText* pText, IRECT* pTextRect, const char* str,
                       IParam* pParam) override;
  // UI thread: commits an open text entry.
  void ForceEndUserEdit() override;
  // Whether a text entry is open.
  bool TextEntryOpen() const;

  // ---- Popup menus (IGraphicsLinux_menu.cpp) ----
  // UI thread, modal: releases the mouse capture, shows the menu below
  // pAreaRect and returns the menu holding the chosen item (its chosen index
  // set), or null (dismissed, no window). The menus stay the caller's.
  IPopupMenu* CreateIPopupMenu(IPopupMenu* pMenu, IRECT* pAreaRect) override;

  // ---- Desktop services (IGraphicsLinux_desktop.cpp) ----
  // UI thread, modal: 1 for the default button, 7 the alternate, 2 the other,
  // 0 when closed without an answer or no display can be opened.
  int ShowMessageBox(const char* text, const char* caption, int type) override;
  // UI thread, modal: through zenity or kdialog; pFile "" when no window is
  // open, nothing was chosen or neither program is installed.
  void PromptForFile(Util_String* pFile, EFileAction action = kFileOpen, Util_String* pDir = nullptr,
                     char* extensions = nullptr) override;
  // UI thread: the CLIPBOARD selection as UTF-8 text, waiting a bounded time
  // for its owner; "" and false when there is none.
  bool GetTextFromClipboard(Util_String* pStr) override;
  // UI thread: hides the pointer over the editor and remembers where it was;
  // showing moves it back there.
  void HideMouseCursor() override;
  void ShowMouseCursor() override;

  // ---- Tooltips (IGraphicsLinux_tooltips.cpp) ----
  // UI thread: with a window and mEnableTooltips, the controls' tooltip areas.
  void UpdateTooltips() override;

  const char* GetGUIAPI() override { return "X11 GUI"; }
  // The running program (the host).
  void HostPath(Util_String* pPath) override;
  // The folder holding the plug-in's bundle, with a trailing "/".
  void PluginPath(Util_String* pPath) override;
  // $XDG_DESKTOP_DIR (or the user-dirs file), else ~/Desktop.
  void DesktopPath(Util_String* pPath) override;
  // User: $XDG_DATA_HOME or ~/.local/share; system: the first of $XDG_DATA_DIRS
  // or /usr/local/share.
  void AppSupportPath(Util_String* pPath, bool isSystem = false) override;
  // $XDG_MUSIC_DIR (or the user-dirs file), else ~/Music.
  void SandboxSafeAppSupportPath(Util_String* pPath) override;
  // Hands the address to xdg-open without waiting for it: an address
  // containing "http" as it is, anything else as a file path. False when
  // xdg-open could not be started.
  bool OpenURL(const char* url, const char* msgWindowTitle = nullptr, const char* confirmMsg = nullptr,
               const char* errMsgOnFailure = nullptr) override;
  // "resources/img/NAME.png" (any letter case of the extension) from the
  // bundle's Contents/Resources/; null for other names or a missing or
  // broken file. The caller owns the bitmap.
  Raster_IBitmap* OSLoadBitmap(int ID, const char* name) override;

  void SetBundleID(const char* id) { mBundleIdentifier.Set(id); }
  const char* GetBundleID() { return mBundleIdentifier.Get(); }
  // The resource folder images are read from: the bundle's Contents/Resources
  // beside the loaded module, found once; SetResourceDir overrides it (a
  // program that links the editor in rather than loading the bundle).
  const char* GetResourceDir();
  void SetResourceDir(const char* dir) { mResourceDir.Set(dir); }
  // Main thread, before any editor is made: the resource folder every later
  // IGraphicsLinux starts with (a program that links the editor in and keeps
  // its images elsewhere). Null or "" goes back to finding the bundle.
  static void SetProcessResourceDir(const char* dir);

protected:
  // The open window, or null; the X11 parts use it.
  X11Window* X11() const { return mX11; }

private:
  void CloseX11();

  X11Window* mX11 = nullptr;                         // ends itself in Close
  Steinberg::Linux::IRunLoop* mRunLoop = nullptr;   // one reference ours
  int mPresents = 0;
  bool mPaintOnly = false;                           // painting the bitmap, not presenting
  Util_String mBundleIdentifier;
  Util_String mResourceDir;
};
