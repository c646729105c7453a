#include "engine/pattern_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/engine/pattern_test_seed.h"

namespace {

// Times 2,4,0,2 repeated, levels 4,4,4,3 repeated, copied at Cycle 7.
const std::string kValid =
    "QRV1 c7 t2402.2402.2402.2402.2402.2402.2402.2402 l4443.4443.4443.4443.4443.4443.4443.4443";

TestPattern ValidPattern() {
  TestPattern p;
  for (int i = 0; i < kStepCountMax; ++i) {
    p.e[i] = static_cast<uint16_t>("2402"[i % 4] - '0');
    p.e[kStepCountMax + i] = i % 4 == 3 ? 3 : 4;
  }
  return p;
}

bool Parses(const std::string& text, TestPattern* p, int* cycle) {
  return ParsePatternText(text.data(), text.size(), p->e, cycle);
}

// Parses and returns true, or returns false with the output untouched.
bool ParsesOrKeeps(const std::string& text) {
  TestPattern p;
  for (uint16_t& entry : p.e) entry = 9;
  int cycle = -7;
  const TestPattern sentinel = p;
  if (Parses(text, &p, &cycle)) return true;
  EXPECT_EQ(p, sentinel) << "failed parse wrote the pattern";
  EXPECT_EQ(cycle, -7) << "failed parse wrote the cycle";
  return false;
}

std::string Printable(const std::string& text) {
  std::string shown;
  for (char c : text) {
    if (c >= 32 && c < 127) {
      shown += c;
    } else {
      shown += "\\x" + std::to_string(static_cast<unsigned char>(c));
    }
  }
  return shown;
}

TEST(PatternText, FormatsTheDocumentedLine) {
  const TestPattern p = ValidPattern();
  char buffer[kPatternTextSize];
  EXPECT_EQ(FormatPatternText(p.e, 7, buffer), static_cast<int>(kValid.size()));
  EXPECT_EQ(buffer, kValid);
  TestPattern read{};
  int cycle = 0;
  ASSERT_TRUE(Parses(kValid, &read, &cycle));
  EXPECT_EQ(read, p);
  EXPECT_EQ(cycle, 7);

  TestPattern full;
  for (uint16_t& entry : full.e) entry = 4;
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
    ASSERT_EQ(read, p) << buffer;
    ASSERT_EQ(readCycle, cycle) << buffer;
  }
}

TEST(PatternText, ToleratesWrappedAndRespacedText) {
  const std::string t = kValid.substr(8, 40), l = kValid.substr(49);
  for (const std::string& text :
       {"  " + kValid + "\n", "\r\n\t" + kValid + "\r\n\r\n", "QRV1\nc7\r\n" + t + "\n\n" + l,
        "QRV1\xC2\xA0"
        "c7 \xC2\xA0 " +
            t + "  " + l + "\xC2\xA0"}) {
    TestPattern read{};
    int cycle = 0;
    ASSERT_TRUE(Parses(text, &read, &cycle)) << Printable(text);
    EXPECT_EQ(read, ValidPattern());
    EXPECT_EQ(cycle, 7);
  }
}

TEST(PatternText, AnythingElseChangesNothing) {
  // Hand-picked: other versions and cases, cycles out of range, digits out
  // of range, group and field shapes, junk around it, NUL, overlong input.
  const std::string t = kValid.substr(8, 40), l = kValid.substr(49);
  const std::string bad[] = {
      "",
      " \n ",
      "QRV2 c7 " + t + " " + l,
      "QRV0 c7 " + t + " " + l,
      "QRV11 c7 " + t + " " + l,
      "qrv1 c7 " + t + " " + l,
      "QRV1 c0 " + t + " " + l,
      "QRV1 c33 " + t + " " + l,
      "QRV1 c07 " + t + " " + l,
      "QRV1 c123 " + t + " " + l,
      "QRV1 " + t + " " + l,
      "QRV1 c7 " + l + " " + t,
      "QRV1 c7 " + t,
      "QRV1 c7 " + t + " " + l + " " + l,
      "QRV1 c7 " + t + " " + l + " x",
      "QRV1 c7 " + t + " " + l + ".",
      "QRV1 c7 " + t + " " + l + "0",
      "QRV1 c7 " + t + " " + l + "\xC2",
      "QRV1\xC2\xA1"
      "c7 " +
          t + " " + l,
      "QRV1 \xC2 c7 " + t + " " + l,
      "Pattern: " + kValid,
      "QRV1 c7 t2402.2402.2402.2402.2402.2402.2402.2405 " + l,
      "QRV1 c7 t24022402.2402.2402.2402.2402.2402.2402 " + l,
      "QRV1 c7 t2402 2402.2402.2402.2402.2402.2402.2402 " + l,
      "QRV1 c7 t2402.2402.2402.2402.2402.2402.2402.240 " + l,
      kValid + std::string(1, '\0'),
      kValid.substr(0, 30) + std::string(1, '\0') + kValid.substr(31),
      std::string(kPatternTextMaxInput, ' ') + kValid,
  };
  for (const std::string& text : bad) EXPECT_FALSE(ParsesOrKeeps(text)) << Printable(text);
  TestPattern p;
  int cycle = 0;
  EXPECT_FALSE(ParsePatternText(nullptr, 10, p.e, &cycle));
  // The longest accepted input still parses.
  EXPECT_TRUE(ParsesOrKeeps(kValid + std::string(kPatternTextMaxInput - kValid.size(), '\n')));
}

// Every truncation, every single character removed, and every position
// given a character no field allows or an extra one: none is a pattern.
// (Cycle 7 has one digit, so no removal leaves another valid cycle.)
TEST(PatternText, MutationsOfAValidTextChangeNothing) {
  for (size_t n = 0; n < kValid.size(); ++n) {
    EXPECT_FALSE(ParsesOrKeeps(kValid.substr(0, n))) << "truncated to " << n;
    EXPECT_FALSE(ParsesOrKeeps(kValid.substr(0, n) + kValid.substr(n + 1))) << "removed " << n;
    for (char c : {'x', '5', '#', '\0', '\xC2', '-'}) {
      if (c == '5' && kValid[n] == '7') continue;  // c5 is another valid cycle
      std::string changed = kValid;
      changed[n] = c;
      EXPECT_FALSE(ParsesOrKeeps(changed)) << Printable(changed);
    }
    for (char c : {'x', '0', '.', '\0'}) {
      const std::string longer = kValid.substr(0, n) + c + kValid.substr(n);
      EXPECT_FALSE(ParsesOrKeeps(longer)) << Printable(longer);
    }
  }
}

}  // namespace
