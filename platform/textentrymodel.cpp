#include "platform/textentrymodel.h"

#include <cstring>

#include "util/utf8.h"

namespace
{
// Every stored byte sequence is well-formed (Reset and Insert re-encode), so
// a boundary is any byte that is not a continuation byte.
bool IsContinuation(char c)
{
  return ((unsigned char)c & 0xC0) == 0x80;
}

// The code points of s, re-encoded; malformed parts become U+FFFD.
std::string Normalized(const char* s, int* chars)
{
  std::string out;
  *chars = 0;
  if (!s) return out;
  const int n = (int)std::strlen(s);
  for (int pos = 0; pos < n;)
  {
    const int32_t cp = Util_Utf8Next(s, n, &pos);
    if (cp < 0) break;
    char buf[4];
    out.append(buf, (size_t)Util_Utf8Encode((uint32_t)cp, buf));
    ++*chars;
  }
  return out;
}
} // namespace

const char* TextEntryModel::AllowedFor(EParamKind kind)
{
  switch (kind)
  {
  case kParamBool:
  case kParamInt:
  case kParamEnum: return "0123456789-+";
  case kParamDouble: return "0123456789.-+";
  default: return "";
  }
}

void TextEntryModel::Reset(const char* text, const char* allowed, int maxChars)
{
  int chars = 0;
  mText = Normalized(text, &chars);
  mCaret = (int)mText.size();
  mFiltered = allowed != nullptr;
  mAllowed = allowed ? allowed : "";
  mMaxChars = maxChars > 0 ? maxChars : 0;
}

bool TextEntryModel::Allowed(int32_t cp) const
{
  if (cp < 0x20 || cp == 0x7F || (cp >= 0x80 && cp < 0xA0)) return false;
  if (!mFiltered) return true;
  return cp < 0x80 && mAllowed.find((char)cp) != std::string::npos;
}

bool TextEntryModel::Insert(const char* utf8)
{
  if (!utf8 || !*utf8) return false;
  const int n = (int)std::strlen(utf8);
  for (int pos = 0; pos < n;)
  {
    const int32_t cp = Util_Utf8Next(utf8, n, &pos);
    if (cp < 0) break;
    if (!Allowed(cp)) return false;
  }
  int added = 0;
  const std::string piece = Normalized(utf8, &added);
  if (!added) return false;
  if (mMaxChars && Chars() + added > mMaxChars) return false;
  mText.insert((size_t)mCaret, piece);
  mCaret += (int)piece.size();
  return true;
}

int TextEntryModel::PrevBoundary(int pos) const
{
  if (pos <= 0) return 0;
  --pos;
  while (pos > 0 && IsContinuation(mText[(size_t)pos])) --pos;
  return pos;
}

int TextEntryModel::NextBoundary(int pos) const
{
  const int n = (int)mText.size();
  if (pos >= n) return n;
  ++pos;
  while (pos < n && IsContinuation(mText[(size_t)pos])) ++pos;
  return pos;
}

TextEntryAction TextEntryModel::Key(TextEntryKey key)
{
  const int before = mCaret;
  const int end = (int)mText.size();
  switch (key)
  {
  case TextEntryKey::kCommit: return TextEntryAction::kCommit;
  case TextEntryKey::kCancel: return TextEntryAction::kCancel;
  case TextEntryKey::kBackspace:
  {
    if (mCaret == 0) return TextEntryAction::kNone;
    const int from = PrevBoundary(mCaret);
    mText.erase((size_t)from, (size_t)(mCaret - from));
    mCaret = from;
    return TextEntryAction::kChanged;
  }
  case TextEntryKey::kDelete:
  {
    if (mCaret == end) return TextEntryAction::kNone;
    mText.erase((size_t)mCaret, (size_t)(NextBoundary(mCaret) - mCaret));
    return TextEntryAction::kChanged;
  }
  case TextEntryKey::kLeft: mCaret = PrevBoundary(mCaret); break;
  case TextEntryKey::kRight: mCaret = NextBoundary(mCaret); break;
  case TextEntryKey::kHome: mCaret = 0; break;
  case TextEntryKey::kEnd: mCaret = end; break;
  }
  return mCaret == before ? TextEntryAction::kNone : TextEntryAction::kChanged;
}

int TextEntryModel::Chars() const
{
  int n = 0;
  for (char c : mText) n += !IsContinuation(c);
  return n;
}

int TextEntryModel::CaretChar() const
{
  int n = 0;
  for (int i = 0; i < mCaret; ++i) n += !IsContinuation(mText[(size_t)i]);
  return n;
}

int TextEntryModel::ByteOfChar(int index) const
{
  int pos = 0;
  for (int i = 0; i < index && pos < (int)mText.size(); ++i) pos = NextBoundary(pos);
  return pos;
}

void TextEntryModel::SetCaretChar(int index)
{
  mCaret = ByteOfChar(index);
}
