#include "tools/host/strings.h"

#include <cstdint>

#include "util/utf8.h"

namespace vst3host {

namespace {

void AppendUtf8(std::string& out, uint32_t cp) {
  char bytes[4];
  out.append(bytes, static_cast<size_t>(Util_Utf8Encode(cp, bytes)));
}

}  // namespace

std::string Utf16ToUtf8(const Steinberg::char16* text, int maxChars) {
  std::string out;
  if (!text) return out;
  for (int i = 0; i < maxChars && text[i]; ++i) {
    uint32_t u = static_cast<uint16_t>(text[i]);
    if (u >= 0xD800 && u < 0xDC00) {
      uint32_t lo = (i + 1 < maxChars) ? static_cast<uint16_t>(text[i + 1]) : 0;
      if (lo >= 0xDC00 && lo < 0xE000) {
        AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00));
        ++i;
        continue;
      }
      u = 0xFFFD;
    } else if (u >= 0xDC00 && u < 0xE000) {
      u = 0xFFFD;
    }
    AppendUtf8(out, u);
  }
  return out;
}

std::string FixedToString(const char* text, int maxChars) {
  int n = 0;
  while (n < maxChars && text[n]) ++n;
  return std::string(text, static_cast<size_t>(n));
}

std::string TuidToHex(const Steinberg::TUID id) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (int i = 0; i < 16; ++i) {
    const auto b = static_cast<uint8_t>(id[i]);
    out += kHex[b >> 4];
    out += kHex[b & 15];
  }
  return out;
}

}  // namespace vst3host
