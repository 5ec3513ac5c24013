// The editing logic of the one-line text field: UTF-8 text with a caret
// that always sits between whole characters, a filter of allowed characters
// and a length limit in characters. No window system here, so every edit is
// tested without a server.
// Threads: whichever thread owns the object (the UI thread in the editor).
#pragma once

#include <cstdint>
#include <string>

#include "framework/IParam.h"

// What a key asks of the field, once the window system has named it.
enum class TextEntryKey
{
  kBackspace,
  kDelete,
  kLeft,
  kRight,
  kHome,
  kEnd,
  kCommit, // Return, Enter
  kCancel  // Escape
};

// What the field's owner has to do after an edit.
enum class TextEntryAction
{
  kNone,    // nothing changed (a refused character, a caret already at the end)
  kChanged, // the text or the caret moved: redraw
  kCommit,  // take the text and end the entry
  kCancel   // end the entry, the text dropped
};

class TextEntryModel
{
public:
  // The characters a parameter's entry may hold: "0123456789-+" for bools,
  // ints and enums, "0123456789.-+" for doubles, "" (none) for any other
  // kind. The text is static.
  static const char* AllowedFor(EParamKind kind);

  // New content with the caret at its end. allowed null: any character;
  // otherwise only those ASCII characters. maxChars 0 or less: no limit.
  // Malformed UTF-8 becomes U+FFFD as util/utf8.h decodes it. The initial
  // text is taken as given even when it breaks the filter or the limit: only
  // what is typed is checked, and deleting always works.
  void Reset(const char* text, const char* allowed, int maxChars);

  // Inserts typed text at the caret. Refused as a whole (false, nothing
  // changes) when any character is a control character, is not allowed, or
  // the text would exceed the limit.
  bool Insert(const char* utf8);
  TextEntryAction Key(TextEntryKey key);
  // Puts the caret before character index (clamped to the text).
  void SetCaretChar(int index);

  const std::string& Text() const { return mText; }
  // The caret as a byte offset into Text(), always on a character boundary.
  int CaretByte() const { return mCaret; }
  int CaretChar() const;
  int Chars() const;
  // Byte offset of character index (clamped to the text).
  int ByteOfChar(int index) const;

private:
  bool Allowed(int32_t cp) const;
  int PrevBoundary(int pos) const;
  int NextBoundary(int pos) const;

  std::string mText;
  int mCaret = 0;
  bool mFiltered = false;
  std::string mAllowed;
  int mMaxChars = 0;
};
