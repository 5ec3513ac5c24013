// The editor's platform layer on Linux: the editor's X11 window inside the
// host's (on a connection of its own, driven by the host's run loop), images
// from the bundle's resources, the XDG folders, opening addresses with
// xdg-open. Text entries, menus and dialogs are not offered yet: those
// operations answer as the core's base does.
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

private:
  void CloseX11();

  X11Window* mX11 = nullptr;                         // ends itself in Close
  Steinberg::Linux::IRunLoop* mRunLoop = nullptr;   // one reference ours
  int mPresents = 0;
  Util_String mBundleIdentifier;
  Util_String mResourceDir;
};
