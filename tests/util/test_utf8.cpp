#include "util/utf8.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const uint32_t R = UTIL_UTF8_REPLACEMENT;

// Every code point of the bytes; each step must move forward and by at most one character.
std::vector<uint32_t> Decode(const std::string& bytes)
{
  std::vector<uint32_t> cps;
  const int n = (int)bytes.size();
  for (int pos = 0;;)
  {
    const int before = pos;
    const int32_t cp = Util_Utf8Next(bytes.data(), n, &pos);
    if (cp < 0)
    {
      EXPECT_EQ(pos, n) << "the end, or a cut character, leaves pos at n";
      break;
    }
    EXPECT_GT(pos, before);
    EXPECT_LE(pos - before, 4);
    cps.push_back((uint32_t)cp);
  }
  return cps;
}

std::string Encode(uint32_t cp)
{
  char out[4];
  const int n = Util_Utf8Encode(cp, out);
  EXPECT_GE(n, 1);
  EXPECT_LE(n, 4);
  return std::string(out, (size_t)n);
}

struct DecodeCase
{
  const char* what;
  std::string bytes;
  std::vector<uint32_t> cps;
};

} // namespace

TEST(Utf8, DecodesWellFormedAndRepairsTheRestOneMaximalSubpartAtATime)
{
  const DecodeCase cases[] = {
      {"empty", "", {}},
      {"ascii", "Ab~", {'A', 'b', '~'}},
      {"a zero byte is a character", std::string("a\0b", 3), {'a', 0, 'b'}},
      {"two-byte bounds", "\xC2\x80\xDF\xBF", {0x80, 0x7FF}},
      {"three-byte bounds", "\xE0\xA0\x80\xEF\xBF\xBF", {0x800, 0xFFFF}},
      {"around the surrogates", "\xED\x9F\xBF\xEE\x80\x80", {0xD7FF, 0xE000}},
      {"four-byte bounds", "\xF0\x90\x80\x80\xF4\x8F\xBF\xBF", {0x10000, 0x10FFFF}},
      {"mixed", "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z", {'A', 0xE9, 0x20AC, 0x1F600, 'z'}},
      {"the replacement itself", "\xEF\xBF\xBD", {R}},

      {"stray continuation bytes", "\x80\xBF" "A", {R, R, 'A'}},
      {"never a lead: C0 C1 F5..FF", "\xC0\xC1\xF5\xF8\xFE\xFF", {R, R, R, R, R, R}},
      {"two-byte overlong", "\xC0\xAF", {R, R}},
      {"three-byte overlong", "\xE0\x80\xAF", {R, R, R}},
      {"four-byte overlong", "\xF0\x80\x80\xAF", {R, R, R, R}},
      {"high surrogate", "\xED\xA0\x80", {R, R, R}},
      {"low surrogate", "\xED\xBF\xBF", {R, R, R}},
      {"above U+10FFFF", "\xF4\x90\x80\x80", {R, R, R, R}},
      {"F5 lead", "\xF5\x80\x80\x80", {R, R, R, R}},
      {"two bytes of three, then ASCII", "\xE2\x82" "A", {R, 'A'}},
      {"three bytes of four, then ASCII", "\xF0\x9F\x98" "A", {R, 'A'}},
      {"a lead then a new character", "\xF0\x9F\xE2\x82\xAC", {R, 0x20AC}},
      {"a lead then a lead", "\xC3\xC3\xA9", {R, 0xE9}},
      {"a continuation too many", "\xC3\xA9\xA9", {0xE9, R}},

      {"a cut two-byte character is dropped", "A\xC3", {'A'}},
      {"a cut three-byte character is dropped", "A\xE2\x82", {'A'}},
      {"a cut four-byte character is dropped", "A\xF0\x9F\x98", {'A'}},
      {"a lone lead at the end is dropped", "A\xE0", {'A'}},
      {"no prefix of a character at the end: replaced", "A\xE0\x80", {'A', R, R}},
      {"a stray byte at the end: replaced", "A\x80", {'A', R}},
      {"an impossible byte at the end: replaced", "A\xFF", {'A', R}},
      {"a lead the end cannot complete validly", "A\xF4\x90", {'A', R, R}},
  };
  for (const DecodeCase& c : cases) EXPECT_EQ(Decode(c.bytes), c.cps) << c.what;
}

TEST(Utf8, DecodingStopsAtTheGivenLength)
{
  const char euro[] = "\xE2\x82\xAC" "A";
  int pos = 0;
  EXPECT_EQ(Util_Utf8Next(euro, 2, &pos), -1) << "cut by the length";
  EXPECT_EQ(pos, 2);
  pos = 0;
  EXPECT_EQ(Util_Utf8Next(euro, 3, &pos), 0x20AC);
  EXPECT_EQ(Util_Utf8Next(euro, 3, &pos), -1);
  EXPECT_EQ(pos, 3);
}

TEST(Utf8, EncodesEachLengthAndReplacesWhatIsNoScalarValue)
{
  const struct
  {
    uint32_t cp;
    std::string bytes;
  } cases[] = {
      {0, std::string(1, '\0')},
      {0x7F, "\x7F"},
      {0x80, "\xC2\x80"},
      {0x7FF, "\xDF\xBF"},
      {0x800, "\xE0\xA0\x80"},
      {0xFFFF, "\xEF\xBF\xBF"},
      {0x10000, "\xF0\x90\x80\x80"},
      {0x10FFFF, "\xF4\x8F\xBF\xBF"},
      {0xD800, "\xEF\xBF\xBD"},
      {0xDFFF, "\xEF\xBF\xBD"},
      {0x110000, "\xEF\xBF\xBD"},
      {0xFFFFFFFF, "\xEF\xBF\xBD"},
  };
  for (const auto& c : cases) EXPECT_EQ(Encode(c.cp), c.bytes) << std::hex << c.cp;
}

TEST(Utf8, EveryScalarValueSurvivesEncodeThenDecode)
{
  int failures = 0;
  for (uint32_t cp = 0; cp <= 0x10FFFF && failures < 5; ++cp)
  {
    if (cp >= 0xD800 && cp <= 0xDFFF) continue;
    char bytes[4];
    const int n = Util_Utf8Encode(cp, bytes);
    int pos = 0;
    const int32_t back = Util_Utf8Next(bytes, n, &pos);
    if (back != (int32_t)cp || pos != n)
    {
      ++failures;
      ADD_FAILURE() << std::hex << cp << " came back as " << back << " after " << pos << " bytes";
    }
  }
}
