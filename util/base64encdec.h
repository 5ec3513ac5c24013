#pragma once
// Base64 with the standard alphabet (A-Z a-z 0-9 + /), "=" padding on output.
// Any thread; they touch only their arguments.

// Characters needed for size bytes, without the terminator (-1 when it would not fit an int).
int Util_Base64EncodedLength(int size);

// Encodes size bytes into out. Returns the characters written, or -1 when out cannot hold them
// plus the terminator (out is then ""). Always terminates when outSize > 0.
int Util_Base64Encode(const void* data, int size, char* out, int outSize);

// Decodes text until its NUL or the first character outside the alphabet ("=" included).
// Bytes beyond outSize are dropped; out past the decoded bytes is untouched. Returns bytes written.
int Util_Base64Decode(const char* text, void* out, int outSize);
