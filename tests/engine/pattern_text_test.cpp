#include "engine/pattern_text.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/engine/pattern_test_seed.h"

namespace {

using ::testing::PrintToString;

// Times 2,4,0,2 repeated, levels 4,4,4,3 repeated, copied at Cycle 7; and
// its last two fields.
const std::string kValid =
    "QRV1 c7 t2402.2402.2402.2402.2402.2402.2402.2402 l4443.4443.4443.4443.4443.4443.4443.4443";
const std::string kTimes = kValid.substr(8, 40), kLevels = kValid.substr(49);

TestPattern ValidPattern() {
  TestPattern p;
  for (int i = 0; i < kStepCountMax; ++i) {
    p.e[i] = static_cast<uint16_t>("2402"[i % 4] - '0');
    p.e[kStepCountMax + i] = i % 4 == 3 ? 3 : 4;
  }
  return p;
}

// Parses and returns true, or returns false with the output untouched.
bool ParsesOrKeeps(const std::string& text) {
  TestPattern p;
  std::fill_n(p.e, kPatternEntries, 9);
  const TestPattern sentinel = p;
  int cycle = -7;
  if (ParsePatternText(text.data(), text.size(), p.e, &cycle)) return true;
  EXPECT_TRUE(p == sentinel && cycle == -7) << "a failed parse wrote its output";
  return false;
}

TEST(PatternText, FormatsTheDocumentedLine) {
  char buffer[kPatternTextSize];
  EXPECT_EQ(FormatPatternText(ValidPattern().e, 7, buffer), static_cast<int>(kValid.size()));
  EXPECT_EQ(buffer, kValid);
  TestPattern full;
  std::fill_n(full.e, kPatternEntries, 4);
  full.e[0] = 7;  // written as 4
  EXPECT_EQ(FormatPatternText(full.e, 40, buffer), kPatternTextSize - 6);
  EXPECT_EQ(std::string(buffer, 14), "QRV1 c32 t4444");
}

TEST(PatternText, ParseReadsWhatFormatWrote) {
  const unsigned seed = PatternTestSeed(31);
  SCOPED_TRACE(SeedTrace(seed));
  std::mt19937 random(seed);
  for (int round = 0; round < 500; ++round) {
    const TestPattern p = RandomTestPattern(random);
    const int cycle = 1 + static_cast<int>(random() % kStepCountMax);
    char buffer[kPatternTextSize];
    const int length = FormatPatternText(p.e, cycle, buffer);
    TestPattern read{};
    int readCycle = 0;
    ASSERT_TRUE(ParsePatternText(buffer, static_cast<size_t>(length), read.e, &readCycle))
        << buffer;
    ASSERT_TRUE(read == p && readCycle == cycle) << buffer;
  }
}

TEST(PatternText, ToleratesWrappedAndRespacedText) {
  for (const std::string& text :
       {"  " + kValid + "\n", "\r\n\t" + kValid + "\r\n\r\n",
        "QRV1\nc7\r\n" + kTimes + "\n\n" + kLevels,
        "QRV1\xC2\xA0"
        "c7 \xC2\xA0 " +
            kTimes + "  " + kLevels + "\xC2\xA0",
        kValid + std::string(kPatternTextMaxInput - kValid.size(), '\n')}) {
    TestPattern read{};
    int cycle = 0;
    ASSERT_TRUE(ParsePatternText(text.data(), text.size(), read.e, &cycle)) << PrintToString(text);
    EXPECT_TRUE(read == ValidPattern() && cycle == 7);
  }
}

// Hand-picked texts that are not patterns, then every truncation, every
// character removed, and every position given a character no field allows
// or an extra one. (Cycle 7 has one digit, so no removal leaves another
// valid cycle.)
TEST(PatternText, AnythingElseChangesNothing) {
  const std::string bad[] = {
      " \n ",
      "QRV2 c7 " + kTimes + " " + kLevels,
      "QRV1 c0 " + kTimes + " " + kLevels,
      "QRV1 c33 " + kTimes + " " + kLevels,
      "QRV1 " + kTimes + " " + kLevels,
      "QRV1 c7 " + kLevels + " " + kTimes,
      "QRV1 c7 " + kTimes + " " + kLevels + " " + kLevels,
      "QRV1 c7 " + kTimes + " " + kLevels + " x",
      "QRV1 c7 " + kTimes + " " + kLevels + "\xC2",
      "QRV1\xC2\xA1"
      "c7 " +
          kTimes + " " + kLevels,
      "QRV1 \xC2 c7 " + kTimes + " " + kLevels,
      "Pattern: " + kValid,
      "QRV1 c7 t2402 2402.2402.2402.2402.2402.2402.2402 " + kLevels,
      kValid + std::string(1, '\0'),
      std::string(kPatternTextMaxInput, ' ') + kValid,
  };
  for (const std::string& text : bad) EXPECT_FALSE(ParsesOrKeeps(text)) << PrintToString(text);
  int cycle = 0;
  EXPECT_FALSE(ParsePatternText(nullptr, 10, ValidPattern().e, &cycle));

  for (size_t n = 0; n < kValid.size(); ++n) {
    const std::string head = kValid.substr(0, n);
    EXPECT_FALSE(ParsesOrKeeps(head)) << "cut to " << n;
    EXPECT_FALSE(ParsesOrKeeps(head + kValid.substr(n + 1))) << "removed " << n;
    for (char c : {'x', '5', '#', '\0', '\xC2', '-'}) {
      if (c == '5' && kValid[n] == '7') continue;  // c5 is another valid cycle
      const std::string changed = head + c + kValid.substr(n + 1);
      EXPECT_FALSE(ParsesOrKeeps(changed)) << PrintToString(changed);
    }
    for (char c : {'x', '0', '.', '\0'}) {
      const std::string longer = head + c + kValid.substr(n);
      EXPECT_FALSE(ParsesOrKeeps(longer)) << PrintToString(longer);
    }
  }
}

}  // namespace
