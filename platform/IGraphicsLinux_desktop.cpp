// Message boxes, file dialogs, the clipboard and the pointer. With the
// editor's window open they run on its connection as modal loops (the host's
// callbacks wait, the panel keeps painting); without one the box and the
// clipboard use a connection of their own for the call.
#include "platform/IGraphicsLinux.h"

#include <string>

#include "platform/filedialog.h"
#include "platform/x11clipboard.h"
#include "platform/x11errors.h"
#include "platform/x11messagebox.h"
#include "platform/x11window.h"

namespace
{
// How long the clipboard's owner has to answer.
const int kClipboardWaitMs = 1000;

X11Window* OpenWindowOf(X11Window* w) { return w && w->Alive() ? w : nullptr; }
} // namespace

int IGraphicsLinux::ShowMessageBox(const char* text, const char* caption, int type)
{
  X11IOGuard io; // its loop reads the connection outside the window's callbacks
  if (X11Window* w = OpenWindowOf(X11()))
  {
    w->BeginModal();
    const int result = X11_ShowMessageBox(this, w->GetDisplay(), w->Id(), w, text, caption, type);
    w->EndModal();
    return result;
  }
  Display* d = XOpenDisplay(nullptr);
  if (!d) return 0;
  const int result = X11_ShowMessageBox(this, d, 0, nullptr, text, caption, type);
  XCloseDisplay(d);
  return result;
}

void IGraphicsLinux::PromptForFile(Util_String* pFile, EFileAction action, Util_String* pDir, char* extensions)
{
  X11IOGuard io; // its loop reads the connection outside the window's callbacks
  if (!pFile) return;
  X11Window* w = OpenWindowOf(X11());
  if (!w)
  {
    pFile->Set("");
    return;
  }
  std::string file = pFile->Get(), dir = pDir ? pDir->Get() : "";
  Display* d = w->GetDisplay();
  // Between reads of the program's output: the editor's events and painting.
  auto tick = [w, d]() {
    while (w->ModalAlive() && XPending(d) > 0)
    {
      XEvent ev;
      XNextEvent(d, &ev);
      w->OnModalEvent(ev);
    }
    w->OnModalTick();
    return w->ModalAlive();
  };
  w->BeginModal();
  platform::PromptFileWith(platform::DialogPrograms::FromPath(), &file, &dir, action == kFileSave, extensions,
                           w->TickMs(), tick);
  w->EndModal();
  pFile->Set(file.c_str());
  if (pDir) pDir->Set(dir.c_str());
}

bool IGraphicsLinux::GetTextFromClipboard(Util_String* pStr)
{
  X11IOGuard io; // its loop reads the connection outside the window's callbacks
  std::string text;
  bool ok = false;
  if (X11Window* w = OpenWindowOf(X11()))
  {
    w->BeginModal();
    ok = X11_ReadClipboard(w->GetDisplay(), w, kClipboardWaitMs, &text);
    w->EndModal();
  }
  else if (Display* d = XOpenDisplay(nullptr))
  {
    ok = X11_ReadClipboard(d, nullptr, kClipboardWaitMs, &text);
    XCloseDisplay(d);
  }
  if (pStr) pStr->Set(ok ? text.c_str() : "");
  return ok;
}

void IGraphicsLinux::HideMouseCursor()
{
  if (mCursorHidden) return;
  X11Window* w = OpenWindowOf(X11());
  if (!w) return;
  Display* d = w->GetDisplay();
  X11ErrorTrap trap(d);
  Window root = 0, child = 0;
  int rootX = 0, rootY = 0, x = 0, y = 0;
  unsigned int mask = 0;
  XQueryPointer(d, w->Id(), &root, &child, &rootX, &rootY, &x, &y, &mask);
  // A cursor whose only pixel is masked out.
  static const char kEmpty[1] = {0};
  Pixmap bits = XCreateBitmapFromData(d, w->Id(), kEmpty, 1, 1);
  XColor black{};
  Cursor blank = bits ? XCreatePixmapCursor(d, bits, bits, &black, &black, 0, 0) : 0;
  if (blank)
  {
    XDefineCursor(d, w->Id(), blank);
    XFreeCursor(d, blank);
  }
  if (bits) XFreePixmap(d, bits);
  if (trap.Failed() || !blank) return;
  mHiddenCursorX = rootX;
  mHiddenCursorY = rootY;
  mCursorHidden = true;
}

void IGraphicsLinux::ShowMouseCursor()
{
  if (!mCursorHidden) return;
  if (X11Window* w = OpenWindowOf(X11()))
  {
    Display* d = w->GetDisplay();
    X11ErrorTrap trap(d);
    XWarpPointer(d, None, DefaultRootWindow(d), 0, 0, 0, 0, mHiddenCursorX, mHiddenCursorY);
    XUndefineCursor(d, w->Id());
    if (!trap.Failed()) mCursorHidden = false;
    return;
  }
  // The window went while the pointer was hidden: its cursor went with it,
  // the pointer still goes back where it was.
  if (Display* d = XOpenDisplay(nullptr))
  {
    XWarpPointer(d, None, DefaultRootWindow(d), 0, 0, 0, 0, mHiddenCursorX, mHiddenCursorY);
    XCloseDisplay(d);
  }
  mCursorHidden = false;
}
