#pragma once
// Bounded C-string helpers: they never write past dstSize and always terminate when dstSize > 0.
// Any thread; they touch only their arguments.

#include <cstddef>

// Copies src (null counts as "") into dst, cut to dstSize - 1; returns the length written.
size_t Util_StrCopy(char* dst, const char* src, size_t dstSize);

// Appends src to the text in dst, cut to fit; returns the resulting length. A dst with no
// terminator inside dstSize is first terminated at dstSize - 1.
size_t Util_StrAppend(char* dst, const char* src, size_t dstSize);

// strlen limited to maxLen; 0 for null.
size_t Util_StrNLen(const char* s, size_t maxLen);

// Copies src lower-cased (C library tolower) into dst, cut like Util_StrCopy; returns the length written.
size_t Util_StrLowerCopy(char* dst, const char* src, size_t dstSize);

// snprintf into dst, cut to fit; returns the length written (0 on a format error, dst then "").
size_t Util_StrFormat(char* dst, size_t dstSize, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
