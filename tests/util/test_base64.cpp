#include "util/base64encdec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <random>
#include <vector>

namespace {

std::string Encode(const std::vector<unsigned char>& bytes)
{
  std::vector<char> out(Util_Base64EncodedLength((int)bytes.size()) + 1, '#');
  const int n = Util_Base64Encode(bytes.data(), (int)bytes.size(), out.data(), (int)out.size());
  EXPECT_EQ(n, (int)out.size() - 1);
  return std::string(out.data());
}

} // namespace

TEST(Base64, EncodePadsTheLastGroup)
{
  EXPECT_EQ(Encode({}), "");
  EXPECT_EQ(Encode({1}), "AQ==");
  EXPECT_EQ(Encode({1, 2}), "AQI=");
  EXPECT_EQ(Encode({1, 2, 3}), "AQID");
  EXPECT_EQ(Encode({'M', 'a', 'n', 'M'}), "TWFuTQ==");
  EXPECT_EQ(Encode({0xFB, 0xFF, 0xBF}), "+/+/");
}

TEST(Base64, EncodeNeverOverrunsOut)
{
  const unsigned char data[3] = {1, 2, 3};
  char out[8];
  std::memset(out, '#', sizeof out);
  EXPECT_EQ(Util_Base64Encode(data, 3, out, 4), -1) << "no room for the terminator";
  EXPECT_STREQ(out, "");
  EXPECT_EQ(out[1], '#');
  EXPECT_EQ(Util_Base64Encode(data, 3, out, 0), -1);
  EXPECT_EQ(Util_Base64Encode(data, 3, out, 5), 4);
  EXPECT_STREQ(out, "AQID");
  EXPECT_EQ(out[5], '#');

  // The preset dump's 2048-character buffer holds at most 1533 bytes.
  std::vector<unsigned char> chunk(1534, 0x5A);
  std::vector<char> dump(2048);
  EXPECT_EQ(Util_Base64Encode(chunk.data(), 1533, dump.data(), 2048), 2044);
  EXPECT_EQ(Util_Base64Encode(chunk.data(), 1534, dump.data(), 2048), -1);
  EXPECT_EQ(Util_Base64EncodedLength(INT_MAX), -1);
}

TEST(Base64, DecodeStopsAtPaddingOrForeignCharacters)
{
  unsigned char out[6];
  std::memset(out, 0xEE, sizeof out);
  EXPECT_EQ(Util_Base64Decode("AAAA", out, 4), 3);
  EXPECT_EQ(out[0], 0);
  EXPECT_EQ(out[2], 0);
  EXPECT_EQ(out[3], 0xEE) << "bytes past the decoded data are not touched";

  EXPECT_EQ(Util_Base64Decode("AQID", out, 3), 3);
  EXPECT_EQ(out[0], 1);
  EXPECT_EQ(out[1], 2);
  EXPECT_EQ(out[2], 3);

  std::memset(out, 0xEE, sizeof out);
  EXPECT_EQ(Util_Base64Decode("AQ==", out, 1), 1);
  EXPECT_EQ(out[0], 1);
  EXPECT_EQ(out[1], 0xEE);

  EXPECT_EQ(Util_Base64Decode("AQ-D", out, 6), 1); // '-' is not in this alphabet
  EXPECT_EQ(Util_Base64Decode("", out, 6), 0);
  EXPECT_EQ(Util_Base64Decode(nullptr, out, 6), 0);
}

TEST(Base64, DecodeDropsBytesBeyondOut)
{
  unsigned char out[4];
  std::memset(out, 0xEE, sizeof out);
  EXPECT_EQ(Util_Base64Decode("AQIDBAUG", out, 2), 2);
  EXPECT_EQ(out[0], 1);
  EXPECT_EQ(out[1], 2);
  EXPECT_EQ(out[2], 0xEE);
  EXPECT_EQ(Util_Base64Decode("AQID", out, 0), 0);
}

TEST(Base64, RoundTripsEveryLengthAndByte)
{
  std::mt19937 rng(7);
  for (int size = 0; size <= 300; ++size)
  {
    std::vector<unsigned char> data(size);
    for (int i = 0; i < size; ++i) data[i] = (unsigned char)(size < 256 ? (i + size) : rng());
    const std::string text = Encode(data);
    std::vector<unsigned char> back(size + 1, 0xEE);
    ASSERT_EQ(Util_Base64Decode(text.c_str(), back.data(), size + 1), size) << text;
    EXPECT_TRUE(std::equal(data.begin(), data.end(), back.begin())) << size;
  }
}
