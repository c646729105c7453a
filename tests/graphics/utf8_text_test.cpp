#include "graphics/utf8_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

std::vector<uint32_t> Codes(const char* text) {
  std::vector<uint32_t> codes;
  int32_t length = static_cast<int32_t>(std::strlen(text));
  for (int32_t i = 0; i < length;) codes.push_back(NextCode(text, length, &i));
  return codes;
}

TEST(Utf8Text, DecodesTwoAndThreeByteCodesAndSpacesBeyondSixteenBits) {
  EXPECT_EQ(Codes("a\xC3\xA9" "b"), (std::vector<uint32_t>{'a', 0xE9, 'b'}));
  EXPECT_EQ(Codes("\xE2\x82\xAC"), (std::vector<uint32_t>{0x20AC}));
  EXPECT_EQ(Codes("\xF0\x9F\x98\x80!"), (std::vector<uint32_t>{' ', '!'}));
  // Broken sequences fall back to single bytes and never read past the end.
  EXPECT_EQ(Codes("\xC3"), (std::vector<uint32_t>{0xC3}));
  EXPECT_EQ(Codes("\xE2\x82"), (std::vector<uint32_t>{0xE2, 0x82}));
  EXPECT_EQ(Codes("\xC0\x80"), (std::vector<uint32_t>{0xC0, 0x80}));
}

TEST(Utf8Text, FindsMultiByteSequences) {
  EXPECT_FALSE(HasMultiByteSequence("plain \x80 text", 12));
  EXPECT_TRUE(HasMultiByteSequence("caf\xC3\xA9", 5));
  EXPECT_FALSE(HasMultiByteSequence("caf\xC3", 4));
}

}  // namespace
