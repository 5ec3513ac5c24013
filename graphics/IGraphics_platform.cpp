// The platform operations as seen without a window layer: no window is ever open, so each
// one shows nothing and answers null, false or "nothing chosen".
#include "graphics/IGraphics.h"

bool IGraphics::DrawScreen(IRECT*) { return false; }

int IGraphics::ShowMessageBox(const char*, const char*, int) { return 0; }

IPopupMenu* IGraphics::CreateIPopupMenu(IPopupMenu*, IRECT*)
{
  ReleaseMouseCapture();
  return nullptr;
}

void IGraphics::CreateTextEntry(IControl*, IText*, IRECT*, const char*, IParam*) {}

void IGraphics::HostPath(Util_String*) {}
void IGraphics::PluginPath(Util_String*) {}
void IGraphics::DesktopPath(Util_String*) {}
void IGraphics::AppSupportPath(Util_String*, bool) {}
void IGraphics::SandboxSafeAppSupportPath(Util_String*) {}

void IGraphics::PromptForFile(Util_String*, EFileAction, Util_String*, char*) {}

bool IGraphics::PromptForColor(IColor*, char*) { return false; }

bool IGraphics::OpenURL(const char*, const char*, const char*, const char*) { return false; }

void* IGraphics::OpenWindow(void*) { return nullptr; }
void* IGraphics::OpenWindow(void*, void*, short, short) { return nullptr; }

bool IGraphics::GetTextFromClipboard(Util_String* pStr)
{
  if (pStr) pStr->Set("");
  return false;
}

Raster_IBitmap* IGraphics::OSLoadBitmap(int, const char*) { return nullptr; }
