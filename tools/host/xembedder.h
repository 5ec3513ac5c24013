// The embedding side of XEmbed, as hosts that speak it do: once the plug-in
// has attached, find its window among the parent's children, tell it it is
// embedded (XEMBED_EMBEDDED_NOTIFY) and map it when its _XEMBED_INFO asks
// for that. Host main thread, on the host's own X connection.
#pragma once

#include <X11/Xlib.h>

namespace vst3host {

struct XEmbedClient {
  Window window = 0;
  long version = -1;
  long flags = 0;
};

// The first child of parent carrying _XEMBED_INFO, told it is embedded and
// mapped when asked. window stays 0 when no child carries the property.
XEmbedClient XEmbedChildOf(Display* display, Window parent);

}  // namespace vst3host
