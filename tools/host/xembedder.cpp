#include "tools/host/xembedder.h"

#include <X11/Xatom.h>

namespace vst3host {

namespace {
const long kEmbeddedNotify = 0;
const long kMapped = 1;

bool ReadInfo(Display* display, Window w, Atom info, XEmbedClient* client) {
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(display, w, info, 0, 2, False, info, &type, &format, &count, &after, &data) != Success)
    return false;
  const bool ok = data && type == info && format == 32 && count >= 2;
  if (ok) {
    const long* values = reinterpret_cast<const long*>(data);
    client->window = w;
    client->version = values[0];
    client->flags = values[1];
  }
  if (data) XFree(data);
  return ok;
}
}  // namespace

XEmbedClient XEmbedChildOf(Display* display, Window parent) {
  XEmbedClient client;
  if (!display || !parent) return client;
  const Atom info = XInternAtom(display, "_XEMBED_INFO", False);
  const Atom xembed = XInternAtom(display, "_XEMBED", False);
  Window root = 0, up = 0;
  Window* children = nullptr;
  unsigned int n = 0;
  if (!XQueryTree(display, parent, &root, &up, &children, &n)) return client;
  for (unsigned int i = 0; i < n && !client.window; ++i) ReadInfo(display, children[i], info, &client);
  if (children) XFree(children);
  if (!client.window) return client;

  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = client.window;
  e.xclient.message_type = xembed;
  e.xclient.format = 32;
  e.xclient.data.l[0] = CurrentTime;
  e.xclient.data.l[1] = kEmbeddedNotify;
  e.xclient.data.l[2] = 0;
  e.xclient.data.l[3] = static_cast<long>(parent);
  e.xclient.data.l[4] = client.version;
  XSendEvent(display, client.window, False, NoEventMask, &e);
  if (client.flags & kMapped) XMapWindow(display, client.window);
  XFlush(display);
  return client;
}

}  // namespace vst3host
