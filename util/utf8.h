#pragma once
// UTF-8 decoding and encoding for every text path of the process, so the same bytes always
// mean the same code points. Any thread; they touch only their arguments.
//
// Malformed input: each maximal subpart of an ill-formed sequence becomes one U+FFFD, and
// decoding goes on right after it. The subpart is the longest run that could still begin a
// well-formed character, at least one byte: a stray continuation byte or C0, C1, F5..FF counts
// alone, and so does a lead whose next byte makes an overlong (E0 80..9F, F0 80..8F), a
// surrogate (ED A0..BF) or a value above U+10FFFF (F4 90..BF). A subpart that runs into the
// end of the input is a character cut off there and is dropped instead.

#include <cstdint>

const uint32_t UTIL_UTF8_REPLACEMENT = 0xFFFD;

// Decodes the character at s[*pos] of the n bytes at s and moves *pos past it. Returns its
// code point, U+FFFD for a malformed subpart, or -1 when nothing is left but a cut character
// (*pos is then n). Bytes are taken as they are: a 0 byte decodes to U+0000.
int32_t Util_Utf8Next(const char* s, int n, int* pos);

// Writes the UTF-8 form of cp to out (room for 4 bytes) and returns its length, 1 to 4.
// A surrogate or a value above U+10FFFF is written as U+FFFD.
int Util_Utf8Encode(uint32_t cp, char* out);
