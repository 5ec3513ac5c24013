// Reading the CLIPBOARD selection as text: a conversion onto a small unmapped
// window of ours, waited for a bounded time, the answer read in chunks.
// Threads: UI thread only (the display's). Ownership: the display and the
// host are the caller's; the text is copied into the caller's string.
#pragma once

#include <X11/Xlib.h>

#include <string>

#include "platform/x11modal.h"

// The selection's text as UTF-8 (UTF8_STRING, else STRING taken as Latin-1).
// With host (when display is the editor's connection) events that are not
// ours go to it and it ticks while we wait. False, with text "", when there
// is no owner, it does not answer within timeoutMs, offers no text, answers
// incrementally (INCR, not taken) or host stops being alive.
bool X11_ReadClipboard(Display* display, X11ModalHost* host, int timeoutMs, std::string* text);

// Text bytes as well-formed UTF-8: malformed sequences become U+FFFD, NULs
// are dropped. Latin-1 bytes are turned into their code points.
std::string X11_CleanUtf8(const char* bytes, size_t n);
std::string X11_Latin1ToUtf8(const char* bytes, size_t n);
