#include "platform/x11clipboard.h"

#include <X11/Xatom.h>

#include <algorithm>
#include <chrono>

#include "platform/x11errors.h"
#include "platform/x11modal.h"
#include "util/utf8.h"

namespace
{
using Clock = std::chrono::steady_clock;

// More than anyone pastes into a parameter field; the rest is not read.
const long kMaxBytes = 1 << 20;
const long kChunkLongs = 16 * 1024;

// Waits for the answer to our conversion; other events go to the host.
bool WaitForNotify(Display* d, Window w, X11ModalHost* host, Clock::time_point deadline, XSelectionEvent* out)
{
  bool answered = false;
  const X11ModalEnd end = X11_RunModal(d, host,
                                       [&](XEvent& ev) {
                                         if (ev.type == SelectionNotify && ev.xselection.requestor == w)
                                         {
                                           *out = ev.xselection;
                                           answered = true;
                                         }
                                         return ev.xany.window == w;
                                       },
                                       [&] { return answered; }, deadline);
  return end == X11ModalEnd::kDone;
}

// The property's bytes and type; false when it is missing, not 8-bit or
// an INCR announcement.
bool ReadProperty(Display* d, Window w, Atom prop, Atom incr, Atom* type, std::string* bytes)
{
  X11ErrorTrap trap(d);
  long offset = 0;
  bool ok = true;
  for (;;)
  {
    Atom t = None;
    int format = 0;
    unsigned long n = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(d, w, prop, offset, kChunkLongs, False, AnyPropertyType, &t, &format, &n, &after,
                           &data) != Success)
    {
      ok = false;
      break;
    }
    const bool usable = t != None && t != incr && format == 8 && (offset == 0 || t == *type);
    if (usable)
    {
      *type = t;
      bytes->append((const char*)data, n);
    }
    if (data) XFree(data);
    if (!usable)
    {
      ok = false;
      break;
    }
    offset += (long)(n / 4);
    if (after == 0 || (long)bytes->size() >= kMaxBytes) break;
  }
  XDeleteProperty(d, w, prop);
  return !trap.Failed() && ok;
}
} // namespace

std::string X11_CleanUtf8(const char* bytes, size_t n)
{
  std::string out;
  out.reserve(n);
  int pos = 0;
  const int len = (int)std::min(n, (size_t)kMaxBytes);
  while (pos < len)
  {
    const int32_t cp = Util_Utf8Next(bytes, len, &pos);
    if (cp <= 0) continue; // NUL, or a character cut off at the end
    char buf[4];
    out.append(buf, (size_t)Util_Utf8Encode((uint32_t)cp, buf));
  }
  return out;
}

std::string X11_Latin1ToUtf8(const char* bytes, size_t n)
{
  std::string out;
  out.reserve(n);
  for (size_t i = 0; i < n; ++i)
  {
    const unsigned char c = (unsigned char)bytes[i];
    if (!c) continue;
    char buf[4];
    out.append(buf, (size_t)Util_Utf8Encode(c, buf));
  }
  return out;
}

bool X11_ReadClipboard(Display* d, X11ModalHost* host, int timeoutMs, std::string* text)
{
  text->clear();
  if (!d) return false;
  const Atom clipboard = XInternAtom(d, "CLIPBOARD", False);
  const Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
  const Atom incr = XInternAtom(d, "INCR", False);
  const Atom prop = XInternAtom(d, "EDITOR_CLIPBOARD_TEXT", False);
  if (XGetSelectionOwner(d, clipboard) == None) return false;

  Window w = 0;
  {
    X11ErrorTrap trap(d);
    XSetWindowAttributes attrs{};
    attrs.event_mask = PropertyChangeMask;
    w = XCreateWindow(d, DefaultRootWindow(d), -10, -10, 1, 1, 0, 0, InputOnly, CopyFromParent, CWEventMask,
                      &attrs);
    if (trap.Failed()) return false;
  }

  const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
  bool ok = false;
  for (Atom target : {utf8, (Atom)XA_STRING})
  {
    XConvertSelection(d, clipboard, target, prop, w, CurrentTime);
    XFlush(d);
    XSelectionEvent notify{};
    if (!WaitForNotify(d, w, host, deadline, &notify)) break;
    if (notify.property == None) continue; // refused: try the older target
    Atom type = None;
    std::string bytes;
    if (!ReadProperty(d, w, notify.property, incr, &type, &bytes)) break;
    if (type == utf8)
      *text = X11_CleanUtf8(bytes.data(), bytes.size());
    else if (type == XA_STRING)
      *text = X11_Latin1ToUtf8(bytes.data(), bytes.size());
    else
      continue;
    ok = true;
    break;
  }

  X11ErrorTrap trap(d);
  XDestroyWindow(d, w);
  trap.Failed();
  if (!ok) text->clear();
  return ok;
}
