// The text field's editing logic: filters by parameter kind, the length
// limit, caret moves and deletions on whole UTF-8 characters, commit and
// cancel.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/textentrymodel.h"

namespace
{

// One edit and whether it must change anything: "type" inserts arg, "key"
// presses the named key, "caret" puts the caret before character arg.
struct Step
{
  const char* op;
  const char* arg;
  bool changes;
};

struct EditCase
{
  const char* name;
  const char* initial;
  const char* allowed; // null: no filter
  int maxChars;
  std::vector<Step> steps;
  const char* text;
  int caretChar;
};

TextEntryKey KeyNamed(const std::string& name)
{
  if (name == "bs") return TextEntryKey::kBackspace;
  if (name == "del") return TextEntryKey::kDelete;
  if (name == "left") return TextEntryKey::kLeft;
  if (name == "right") return TextEntryKey::kRight;
  if (name == "home") return TextEntryKey::kHome;
  if (name == "end") return TextEntryKey::kEnd;
  ADD_FAILURE() << "no key " << name;
  return TextEntryKey::kEnd;
}

const char* const kDouble = TextEntryModel::AllowedFor(kParamDouble);
const char* const kInt = TextEntryModel::AllowedFor(kParamInt);

const EditCase kCases[] = {
  {"DoubleTakesASignedDecimal", "", kDouble, 7,
   {{"type", "-", true}, {"type", "1", true}, {"type", "2", true}, {"type", ".", true}, {"type", "5", true}},
   "-12.5", 5},
  {"DoubleRefusesLetters", "5.00", kDouble, 7,
   {{"type", "a", false}, {"type", "E", false}, {"type", " ", false}, {"type", "7", true}}, "5.007", 5},
  {"DoubleRefusesAPasteWithOneBadChar", "", kDouble, 0, {{"type", "1.5x", false}, {"type", "+1.5", true}},
   "+1.5", 4},
  {"IntRefusesThePoint", "", kInt, 7, {{"type", "1", true}, {"type", ".", false}, {"type", "-", true}}, "1-", 2},
  {"BoolAndEnumAreFilteredAsInts", "", TextEntryModel::AllowedFor(kParamEnum), 0,
   {{"type", "2", true}, {"type", ".", false}, {"type", "B", false}}, "2", 1},
  {"AnotherKindTakesNothing", "", TextEntryModel::AllowedFor(kParamNone), 0, {{"type", "1", false}}, "", 0},
  {"MaxLengthRefusesTheEighth", "", kDouble, 7, {{"type", "1234567", true}, {"type", "8", false}}, "1234567", 7},
  {"MaxLengthCountsCharactersNotBytes", "", nullptr, 3,
   {{"type", "\xC3\xA9", true}, {"type", "\xE2\x82\xAC", true}, {"type", "a", true}, {"type", "b", false}},
   "\xC3\xA9\xE2\x82\xAC" "a", 3},
  {"AnOverLongInitialTextCanOnlyShrink", "123456789", kDouble, 7,
   {{"type", "0", false}, {"key", "bs", true}, {"type", "0", false}, {"key", "bs", true}, {"type", "0", false},
    {"key", "bs", true}, {"type", "0", true}},
   "1234560", 7},
  {"NoParamTakesAnything", "", nullptr, 0,
   {{"type", "h\xC3\xA9llo w\xC3\xB6rld!", true}, {"type", "\xF0\x9F\x98\x80", true}},
   "h\xC3\xA9llo w\xC3\xB6rld!\xF0\x9F\x98\x80", 13},
  {"ControlCharactersAreNeverTyped", "", nullptr, 0,
   {{"type", "\t", false}, {"type", "\x7F", false}, {"type", "\xC2\x85", false}, {"type", "", false}}, "", 0},
  {"CaretMoves", "abc", nullptr, 0,
   {{"key", "left", true}, {"key", "left", true}, {"type", "X", true}, {"key", "home", true}, {"type", "0", true},
    {"key", "end", true}, {"key", "right", false}, {"key", "end", false}, {"key", "home", true},
    {"key", "left", false}, {"key", "home", false}},
   "0aXbc", 0},
  {"DeletionsAtTheEnds", "abc", nullptr, 0,
   {{"key", "home", true}, {"key", "bs", false}, {"key", "del", true}, {"key", "end", true}, {"key", "del", false},
    {"key", "bs", true}},
   "b", 1},
  // a, e acute (2 bytes), euro (3), a face (4).
  {"MultiByteCharactersAreOneEach", "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", nullptr, 0,
   {{"key", "bs", true}, {"key", "left", true}, {"key", "del", true}, {"key", "left", true}, {"key", "right", true},
    {"type", "z", true}, {"key", "home", true}, {"key", "right", true}, {"key", "right", true}, {"key", "bs", true}},
   "az", 1},
  {"MalformedInitialBytesBecomeOneReplacementEach", "a\xFF" "b", nullptr, 0,
   {{"key", "left", true}, {"key", "bs", true}}, "ab", 1},
  {"CaretPlacementClamps", "abc", nullptr, 0,
   {{"caret", "99", true}, {"caret", "1", true}, {"type", "\xC3\xA9", true}, {"caret", "-3", true}},
   "a\xC3\xA9" "bc", 0},
};

class TextEntryEdits : public testing::TestWithParam<EditCase>
{
};

TEST_P(TextEntryEdits, GiveTheTextAndCaret)
{
  const EditCase& c = GetParam();
  TextEntryModel m;
  m.Reset(c.initial, c.allowed, c.maxChars);
  EXPECT_EQ(m.CaretByte(), (int)m.Text().size()) << "a new entry's caret is at its end";
  for (size_t i = 0; i < c.steps.size(); ++i)
  {
    const Step& s = c.steps[i];
    const std::string op = s.op;
    const std::string before = m.Text();
    const int caretBefore = m.CaretByte();
    bool changed = false;
    if (op == "type")
    {
      changed = m.Insert(s.arg);
      if (!changed)
      {
        EXPECT_EQ(m.Text(), before) << "a refused insert left a trace, step " << i;
      }
    }
    else if (op == "key")
      changed = m.Key(KeyNamed(s.arg)) == TextEntryAction::kChanged;
    else
    {
      m.SetCaretChar(std::atoi(s.arg));
      changed = true;
    }
    EXPECT_EQ(changed, s.changes) << "step " << i << " (" << s.op << " " << s.arg << ")";
    if (op == "key" && !changed)
    {
      EXPECT_EQ(m.Text(), before) << "step " << i;
      EXPECT_EQ(m.CaretByte(), caretBefore) << "step " << i;
    }
    // The caret never splits a character.
    EXPECT_EQ(m.ByteOfChar(m.CaretChar()), m.CaretByte()) << "step " << i;
  }
  EXPECT_EQ(m.Text(), c.text);
  EXPECT_EQ(m.CaretChar(), c.caretChar);
}

INSTANTIATE_TEST_SUITE_P(Cases, TextEntryEdits, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<EditCase>& info) { return std::string(info.param.name); });

TEST(TextEntryModel, FilterSetsByKind)
{
  EXPECT_STREQ(TextEntryModel::AllowedFor(kParamBool), "0123456789-+");
  EXPECT_STREQ(TextEntryModel::AllowedFor(kParamInt), "0123456789-+");
  EXPECT_STREQ(TextEntryModel::AllowedFor(kParamEnum), "0123456789-+");
  EXPECT_STREQ(TextEntryModel::AllowedFor(kParamDouble), "0123456789.-+");
  EXPECT_STREQ(TextEntryModel::AllowedFor(kParamNone), "");
  EXPECT_STREQ(TextEntryModel::AllowedFor((EParamKind)99), "");
}

TEST(TextEntryModel, CommitAndCancelEndWithTheTextAsItIs)
{
  TextEntryModel m;
  m.Reset("7.5", TextEntryModel::AllowedFor(kParamDouble), 7);
  EXPECT_EQ(m.Key(TextEntryKey::kCommit), TextEntryAction::kCommit);
  EXPECT_EQ(m.Text(), "7.5");
  EXPECT_EQ(m.Key(TextEntryKey::kCancel), TextEntryAction::kCancel);
  EXPECT_EQ(m.Text(), "7.5");
}

TEST(TextEntryModel, MalformedInitialTextIsRepairedOnce)
{
  TextEntryModel m;
  m.Reset("a\xFF" "b\xE2\x82", nullptr, 0);
  // The stray byte is U+FFFD, the cut-off euro sign at the end is dropped.
  EXPECT_EQ(m.Text(), "a\xEF\xBF\xBD" "b");
  EXPECT_EQ(m.Chars(), 3);
}

TEST(TextEntryModel, NullInitialTextIsEmpty)
{
  TextEntryModel m;
  m.Reset(nullptr, nullptr, 0);
  EXPECT_EQ(m.Text(), "");
  EXPECT_EQ(m.Chars(), 0);
  EXPECT_EQ(m.Key(TextEntryKey::kBackspace), TextEntryAction::kNone);
  EXPECT_FALSE(m.Insert(nullptr));
  // Reset forgets the previous filter and limit.
  m.Reset("", TextEntryModel::AllowedFor(kParamInt), 1);
  m.Reset("", nullptr, 0);
  EXPECT_TRUE(m.Insert("x.y"));
}

} // namespace
