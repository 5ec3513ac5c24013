// The editor's platform layer on Linux. This part supplies what needs no
// window: images from the bundle's resources, the XDG folders, opening
// addresses with xdg-open. Until the window layer is wired up, the window
// operations answer as if no window were open.
// Threads: UI thread (the host's main thread), like the core it extends;
// OSLoadBitmap may also run on whichever thread builds the editor.
// Ownership: the plug-in owns this object through AttachGraphics.
#pragma once

#include "graphics/IGraphics.h"
#include "util/utilstring.h"

class IGraphicsLinux : public IGraphics
{
public:
  IGraphicsLinux(IPluginBase* plug, int width, int height, int fps = 0);
  ~IGraphicsLinux() override;

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
  Util_String mBundleIdentifier;
  Util_String mResourceDir;
};
