#include "util/base64encdec.h"

#include <climits>
#include <cstdint>

namespace {

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int SextetOf(char c)
{
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

} // namespace

int Util_Base64EncodedLength(int size)
{
  if (size <= 0) return 0;
  const int64_t n = ((int64_t)size + 2) / 3 * 4;
  return n > INT_MAX - 1 ? -1 : (int)n;
}

int Util_Base64Encode(const void* data, int size, char* out, int outSize)
{
  if (!out || outSize <= 0) return -1;
  out[0] = 0;
  if (!data || size <= 0) return 0;
  const int need = Util_Base64EncodedLength(size);
  if (need < 0 || need >= outSize) return -1;

  const unsigned char* in = (const unsigned char*)data;
  char* o = out;
  int i = 0;
  for (; i + 3 <= size; i += 3)
  {
    const uint32_t v = (uint32_t)in[i] << 16 | (uint32_t)in[i + 1] << 8 | in[i + 2];
    *o++ = kAlphabet[v >> 18];
    *o++ = kAlphabet[(v >> 12) & 63];
    *o++ = kAlphabet[(v >> 6) & 63];
    *o++ = kAlphabet[v & 63];
  }
  const int rest = size - i;
  if (rest)
  {
    const uint32_t v = (uint32_t)in[i] << 16 | (rest == 2 ? (uint32_t)in[i + 1] << 8 : 0u);
    *o++ = kAlphabet[v >> 18];
    *o++ = kAlphabet[(v >> 12) & 63];
    *o++ = rest == 2 ? kAlphabet[(v >> 6) & 63] : '=';
    *o++ = '=';
  }
  *o = 0;
  return (int)(o - out);
}

int Util_Base64Decode(const char* text, void* out, int outSize)
{
  if (!text || !out || outSize <= 0) return 0;
  unsigned char* o = (unsigned char*)out;
  uint32_t acc = 0;
  int bits = 0, written = 0;
  for (; *text && written < outSize; ++text)
  {
    const int s = SextetOf(*text);
    if (s < 0) break;
    acc = (acc << 6 | (uint32_t)s) & 0xFFFF; // at most 14 bits are ever pending
    bits += 6;
    if (bits >= 8)
    {
      bits -= 8;
      o[written++] = (unsigned char)(acc >> bits);
    }
  }
  return written;
}
