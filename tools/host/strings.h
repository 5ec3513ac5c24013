// Text helpers between the plug-in's UTF-16 fields and the tool's UTF-8 output.
// Pure functions, any thread; results are owned by the caller.
#pragma once

#include <string>

#include "pluginterfaces/base/funknown.h"

namespace vst3host {

// UTF-16 (NUL-terminated, at most maxChars units) to UTF-8; lone surrogates become U+FFFD.
std::string Utf16ToUtf8(const Steinberg::char16* text, int maxChars);

// Fixed-width 8-bit field to std::string, stopping at the first NUL or at maxChars.
std::string FixedToString(const char* text, int maxChars);

// 16 bytes as 32 upper-case hex digits, in memory order.
std::string TuidToHex(const Steinberg::TUID id);

}  // namespace vst3host
