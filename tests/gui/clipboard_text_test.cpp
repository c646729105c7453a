// The clipboard's text checks against sequences decoded by hand.
#include "gui/clipboard_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ClipboardText, Utf8IsAcceptedOnlyWhenWellFormed) {
  struct Row {
    const char* bytes;
    bool valid;
  };
  const Row rows[] = {
      {"QRV1 c7", true},
      {"", true},
      {"\xC2\xA0", true},           // U+00A0, a two-byte form
      {"\xDF\xBF", true},           // U+07FF
      {"\xE0\xA0\x80", true},       // U+0800
      {"\xEF\xBF\xBF", true},       // U+FFFF
      {"\xF0\x90\x80\x80", true},   // U+10000
      {"\xF4\x8F\xBF\xBF", true},   // U+10FFFF
      {"\xC0\x80", false},          // NUL, overlong
      {"\xC1\xBF", false},          // U+007F, overlong
      {"\xE0\x9F\xBF", false},      // U+07FF, overlong
      {"\xF0\x8F\xBF\xBF", false},  // U+FFFF, overlong
      {"\xED\xA0\x80", false},      // U+D800, a surrogate
      {"\xED\xBF\xBF", false},      // U+DFFF
      {"\xF4\x90\x80\x80", false},  // U+110000
      {"\xF5\x80\x80\x80", false},  // no such lead byte
      {"\x80", false},              // a continuation alone
      {"caf\xE9", false},           // Latin-1
      {"\xE2\x82", false},          // cut short
      {"\xE2\x28\xAC", false},      // a missing continuation
  };
  for (const Row& row : rows) {
    EXPECT_EQ(IsValidUtf8(row.bytes, std::string(row.bytes).size()), row.valid) << row.bytes;
  }
  // A NUL is a character like any other; the length decides.
  EXPECT_TRUE(IsValidUtf8("a\0b", 3));
}

TEST(ClipboardText, Latin1GoesBothWaysAndBeyondItIsRefused) {
  std::string all;
  for (int byte = 1; byte < 256; ++byte) all.push_back(static_cast<char>(byte));
  const std::string utf8 = Latin1ToUtf8(all.data(), all.size());
  // 127 ASCII bytes stay, 128 more take two bytes each.
  EXPECT_EQ(utf8.size(), 127u + 2u * 128u);
  EXPECT_TRUE(IsValidUtf8(utf8.data(), utf8.size()));
  EXPECT_EQ(Latin1ToUtf8("\xE9", 1), "\xC3\xA9");
  EXPECT_EQ(Latin1ToUtf8("\xA0", 1), "\xC2\xA0");
  std::string back;
  ASSERT_TRUE(Utf8ToLatin1(utf8, &back));
  EXPECT_EQ(back, all);
  EXPECT_FALSE(Utf8ToLatin1("\xE2\x82\xAC", &back));  // the euro sign
  EXPECT_FALSE(Utf8ToLatin1("\xC4\x80", &back));      // U+0100
}

}  // namespace
