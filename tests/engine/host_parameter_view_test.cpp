// What a host shows and stores for each of the 24 host-visible parameters:
// whole names and displays, the properties record, the host extension's
// display of a position, stepped values from text, and the round trip of a
// position through getParameter and setParameter. The display, the engine's
// applied value and the saved state must always name the same value.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "engine/gate_plug.h"
#include "support/fake_host.h"

using namespace vst2;

namespace {

constexpr int32_t kVendorFormatValue = 7;
constexpr int32_t kVendorParseValue = 27;

const char* const kRateNames[] = {"1/128", "1/64T", "1/128D", "1/64", "1/32T", "1/64D", "1/32",
                                  "1/16T", "1/32D", "1/16",   "1/8T", "1/16D", "1/8",   "1/4T",
                                  "1/8D",  "1/4",   "1/2T",   "1/4D", "1/2",   "1/1T",  "1/2D",
                                  "1/1",   "2/1T",  "1/1D",   "2/1",  "4/1T",  "2/1D",  "4/1"};
const char* const kTargetNames[] = {"Volume", "Low Gain", "High Gain", "Low - High"};
const char* const kRestartNames[] = {"Host position", "Transport start", "MIDI note"};
const char* const kMidiSwitchNames[] = {"Off", "Immediate", "Next step", "Next bar"};

// The text a host should see for a whole value of parameter `index`.
std::string ExpectedDisplay(int index, long value) {
  if (index == kRate) return kRateNames[value];
  if (index == kTarget) return kTargetNames[value];
  if (index == kTieLock) return value ? "Yes" : "No";
  if (index == kRestartMode) return kRestartNames[value];
  if (index == kMidiSwitch) return kMidiSwitchNames[value];
  return std::to_string(value);
}

class HostView : public testing::Test {
 protected:
  VSTCLASS* gate() { return static_cast<VSTCLASS*>(host.plug()); }
  AEffect* effect() { return host.effect(); }
  double Value(int index) { return host.plug()->GetParam(index)->Value(); }

  // A text answer; the bytes after its terminator must stay untouched.
  std::string Text(int32_t opcode, int index, float opt = 0.0f) {
    char buffer[128];
    memset(buffer, '#', sizeof buffer);
    const int32_t request = opcode == effVendorSpecific ? kVendorFormatValue : index;
    host.Dispatch(opcode, request, opcode == effVendorSpecific ? index : 0, buffer, opt);
    const size_t length = strnlen(buffer, sizeof buffer);
    EXPECT_LE(length, kMaxParamStrLen) << "opcode " << opcode << " index " << index;
    EXPECT_EQ(buffer[length + 1], '#') << "written past the terminator";
    return std::string(buffer, length < sizeof buffer ? length : 0);
  }
  std::string Display(int index) { return Text(effGetParamDisplay, index); }
  std::string FormatPosition(int index, float position) {
    return Text(effVendorSpecific, index, position);
  }
  // Parameter `index` as the state holds it: 0-16 in the chunk's 140 bytes,
  // the rest after the extension's 24-byte head (count at 160). False if none.
  bool StateValue(int index, double* value) {
    void* data = nullptr;
    const intptr_t size = host.Dispatch(effGetChunk, 1, 0, &data);
    EXPECT_EQ(size, 220);  // the chunk's 140 bytes and the extension's 80
    const char* bytes = static_cast<const char*>(data);
    size_t at = 4 + 8 * static_cast<size_t>(index);
    if (index >= kChunkParams) {
      int32_t count = 0;
      if (size < 164 || memcmp(bytes + 140, "QRVX", 4) != 0) return false;
      memcpy(&count, bytes + 160, sizeof count);
      if (index - kChunkParams >= count) return false;
      at = 164 + 8 * static_cast<size_t>(index - kChunkParams);
      if (static_cast<intptr_t>(at + 8) > size) return false;
    }
    memcpy(value, bytes + at, sizeof *value);
    return true;
  }
  void SetText(int index, const char* text) {
    std::string copy(text);
    copy.resize(copy.size() + 64, '\0');
    EXPECT_EQ(host.Dispatch(effString2Parameter, index, 0, &copy[0]), 1);
  }

  // Value, display, engine and state agree on one whole value in range.
  void ExpectOneValue(int index, const char* where) {
    const IPlugParam* param = host.plug()->GetParam(index);
    const double value = param->Value();
    ASSERT_EQ(value, std::floor(value)) << where;
    ASSERT_GE(value, param->Min()) << where;
    ASSERT_LE(value, param->Max()) << where;
    ASSERT_EQ(gate()->lastApplied[index], static_cast<int32_t>(value)) << where;
    double saved = 0;
    if (StateValue(index, &saved) || index < kChunkParams) {
      ASSERT_EQ(saved, value) << where;
    }
    ASSERT_EQ(Display(index), ExpectedDisplay(index, static_cast<long>(value))) << where;
  }

  FakeHost host;
};

TEST_F(HostView, EveryNameLabelAndDisplayIsWhole) {
  host.Dispatch(effOpen);
  struct Row {
    int index;
    const char* typed;
    const char *name, *label, *display;
  };
  const Row rows[] = {
      {kRate, "0", "Rate", "", "1/128"},
      {kRate, "4/1", "Rate", "", "4/1"},
      {kCycle, "16", "Cycle", "", "16"},
      {kAttack, "5", "Attack", "%", "5"},
      {kGate, "100", "Gate", "%", "100"},
      {kTieLock, "No", "Tie Lock", "", "No"},
      {kTieLock, "Yes", "Tie Lock", "", "Yes"},
      {kRelease, "30", "Release", "%", "30"},
      {kFade, "5", "Fade", "%", "5"},
      {kSplitFreq, "1000", "Split Freq", "Hz", "1000"},
      {kSplitFreq, "20000", "Split Freq", "Hz", "20000"},
      {kTarget, "Low Gain", "Target", "", "Low Gain"},
      {kTarget, "High Gain", "Target", "", "High Gain"},
      {kTarget, "Low - High", "Target", "", "Low - High"},
      {kMix, "80", "Mix", "%", "80"},
      {kPatternWord0, "4882812", "", "", "4882812"},
      {kPatternWord1, "9765624", "", "", "9765624"},
      {kPatternWord2, "0", "", "", "0"},
      {kPatternWord3, "5078124", "", "", "5078124"},
      {kPatternWord4, "1234567", "", "", "1234567"},
      {kPatternWord5, "9765624", "", "", "9765624"},
      {kPatternWord6, "624", "", "", "624"},
      {kSwing, "75", "Swing", "%", "75"},
      {kChance, "0", "Chance", "%", "0"},
      {kRestartMode, "MIDI note", "Restart", "", "MIDI note"},
      {kMidiSwitch, "Next bar", "MIDI Switch", "", "Next bar"},
      {kChanceWord0, "4194303", "", "", "4194303"},  // 4^11 - 1: every step 25 %
      {kChanceWord1, "1234567", "", "", "1234567"},
      {kChanceWord2, "1048575", "", "", "1048575"},  // 4^10 - 1
  };
  bool seen[kHostVisibleParams] = {};
  for (const Row& row : rows) {
    SetText(row.index, row.typed);
    EXPECT_EQ(Text(effGetParamName, row.index), row.name) << row.index;
    EXPECT_EQ(Text(effGetParamLabel, row.index), row.label) << row.index;
    EXPECT_EQ(Display(row.index), row.display) << row.index;
    seen[row.index] = true;
  }
  for (int i = 0; i < kHostVisibleParams; ++i) EXPECT_TRUE(seen[i]) << "no row for " << i;

  // A name longer than the bound is cut at 24 characters plus the terminator.
  host.plug()->GetParam(kStepEdited)->SetupInt("A name far longer than hosts show", 0, 0, 1, "");
  EXPECT_EQ(Text(effGetParamName, kStepEdited), "A name far longer than h");
}

// The record's bytes as the interface lays them out, built by the test.
struct PropertiesImage {
  std::vector<unsigned char> bytes = std::vector<unsigned char>(152, 0);
  void Float(size_t at, float v) {
    uint32_t bits;
    memcpy(&bits, &v, 4);
    Int32(at, static_cast<int32_t>(bits));
  }
  void Int32(size_t at, int32_t v) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<unsigned char>(uint32_t(v) >> (8 * i));
  }
  void Chars(size_t at, const char* text) { memcpy(&bytes[at], text, strlen(text)); }
};

// A step of `steps` over a span of `span` in positions 0..1, as a float.
constexpr float Pos(double steps, double span) { return static_cast<float>(steps / span); }

TEST_F(HostView, ParameterPropertiesRecordByteByByte) {
  struct Row {
    int index;
    int32_t flags, min, max, step, largeStep;
    float floatStep, smallFloatStep, largeFloatStep;
    const char *label, *shortLabel;
  };
  const Row rows[] = {
      {kRate, 4 | 8, 0, 27, 1, 2, Pos(1, 27), Pos(1, 27), Pos(2, 27), "Rate",
       "Rate"},  // enumerated
      {kCycle, 4 | 8, 1, 32, 1, 3, Pos(1, 31), Pos(1, 31), Pos(3, 31), "Cycle",
       "Cycle"},                                                          // stepped
      {kTieLock, 1 | 4 | 8, 0, 1, 1, 1, 1, 1, 1, "Tie Lock", "Tie Loc"},  // switch
      {kTarget, 4 | 8, 0, 3, 1, 1, Pos(1, 3), Pos(1, 3), Pos(1, 3), "Target", "Target"},
      {kAttack, 4 | 64, 0, 0, 0, 0, 0.01f, 0.001f, 0.1f, "Attack", "Attack"},  // continuous
      {kSplitFreq, 4 | 64, 0, 0, 0, 0, 0.01f, 0.001f, 0.1f, "Split Freq", "Split F"},
      {kPatternWord6, 4 | 8, 0, 624, 1, 62, Pos(1, 624), Pos(1, 624), Pos(62, 624), "", ""},
      {kSwing, 4 | 8, 50, 75, 1, 2, Pos(1, 25), Pos(1, 25), Pos(2, 25), "Swing", "Swing"},
      {kChance, 4 | 8, 0, 100, 1, 10, Pos(1, 100), Pos(1, 100), Pos(10, 100), "Chance", "Chance"},
      {kRestartMode, 4 | 8, 0, 2, 1, 1, Pos(1, 2), Pos(1, 2), Pos(1, 2), "Restart", "Restart"},
      {kMidiSwitch, 4 | 8, 0, 3, 1, 1, Pos(1, 3), Pos(1, 3), Pos(1, 3), "MIDI Switch", "MIDI Sw"},
      {kChanceWord0, 4 | 8, 0, 4194303, 1, 419430, Pos(1, 4194303), Pos(1, 4194303),
       Pos(419430, 4194303), "", ""},
      {kChanceWord2, 4 | 8, 0, 1048575, 1, 104857, Pos(1, 1048575), Pos(1, 1048575),
       Pos(104857, 1048575), "", ""},
  };
  for (const Row& row : rows) {
    PropertiesImage expected;
    expected.Float(0, row.floatStep);
    expected.Float(4, row.smallFloatStep);
    expected.Float(8, row.largeFloatStep);
    expected.Chars(12, row.label);
    expected.Int32(76, row.flags);
    expected.Int32(80, row.min);
    expected.Int32(84, row.max);
    expected.Int32(88, row.step);
    expected.Int32(92, row.largeStep);
    expected.Chars(96, row.shortLabel);
    std::vector<unsigned char> record(152 + 8, 0xA5);  // 8 guard bytes
    ASSERT_EQ(host.Dispatch(effGetParameterProperties, row.index, 0, record.data()), 1);
    for (size_t i = 0; i < 152; ++i)
      EXPECT_EQ(record[i], expected.bytes[i]) << row.label << " byte " << i;
    for (size_t i = 152; i < record.size(); ++i) EXPECT_EQ(record[i], 0xA5) << "guard " << i;
  }
  // Every host-visible parameter answers; the rest leave the record alone.
  unsigned char record[152];
  for (int i = 0; i < kHostVisibleParams; ++i)
    EXPECT_EQ(host.Dispatch(effGetParameterProperties, i, 0, record), 1) << i;
  memset(record, 0xA5, sizeof record);
  for (int i : {-1, int{kHostVisibleParams}, int{kTimesNudge}, int{kVolumesNudge}}) {
    EXPECT_EQ(host.Dispatch(effGetParameterProperties, i, 0, record), 0) << i;
  }
  EXPECT_EQ(host.Dispatch(effGetParameterProperties, kRate, 0, nullptr), 0);
  for (unsigned char byte : record) ASSERT_EQ(byte, 0xA5);
}

// Every whole value of every parameter but the pattern words, set through
// the position a host would send: the host extension's display of that
// position names the value the engine applies (all 28 Rate positions, every
// Cycle and all 201 Attack values among them).
TEST_F(HostView, DisplayOfAPositionNamesTheValueTheEngineApplies) {
  host.Dispatch(effOpen);
  for (int index = 0; index < kPatternWord0; ++index) {
    const IPlugParam* param = host.plug()->GetParam(index);
    for (long v = static_cast<long>(param->Min()); v <= static_cast<long>(param->Max()); ++v) {
      const float position = static_cast<float>(param->ToNormalized(static_cast<double>(v)));
      effect()->setParameter(effect(), index, position);
      ASSERT_EQ(gate()->lastApplied[index], v) << "parameter " << index;
      ASSERT_EQ(FormatPosition(index, position), ExpectedDisplay(index, v))
          << "parameter " << index;
      ASSERT_EQ(Display(index), ExpectedDisplay(index, v)) << "parameter " << index;
      if (index == kCycle) {
        ASSERT_EQ(gate()->stepCount, v);
      }
    }
  }
}

TEST_F(HostView, TypedTextIsSteppedAndClampedLikeAPosition) {
  host.Dispatch(effOpen);
  struct Row {
    int index;
    const char* typed;
    double stored;
  };
  const Row rows[] = {
      {kCycle, "2.7", 3},          {kCycle, "2.2", 2},           {kCycle, "1e9", 32},
      {kCycle, "-5", 1},           {kAttack, "4.5", 5},          {kAttack, "199.6", 200},
      {kRate, "3.49", 3},          {kTarget, "2.5", 3},          {kTieLock, "0.4", 0},
      {kSplitFreq, "999.5", 1000}, {kPatternWord6, "623.7", 624}};
  for (const Row& row : rows) {
    SetText(row.index, row.typed);
    EXPECT_EQ(Value(row.index), row.stored) << row.typed;
    ExpectOneValue(row.index, row.typed);
  }
  // The host extension's parse request answers the stepped value's position.
  char text[64] = "2.7";
  EXPECT_EQ(host.Dispatch(effVendorSpecific, kVendorParseValue, kCycle, text), 0xBEEF);
  char expected[64];
  snprintf(expected, sizeof expected, "%.17f", 2.0 / 31.0);
  EXPECT_STREQ(text, expected);

  // A chunk holding a fraction loads stepped as well.
  void* data = nullptr;
  const intptr_t size = host.Dispatch(effGetChunk, 1, 0, &data);
  ASSERT_EQ(size, 220);
  std::vector<char> chunk(static_cast<char*>(data), static_cast<char*>(data) + size);
  const double fraction = 2.7;
  memcpy(&chunk[4 + 8 * kCycle], &fraction, sizeof fraction);
  ASSERT_EQ(host.Dispatch(effSetChunk, 1, size, chunk.data()), 1);
  EXPECT_EQ(Value(kCycle), 3);
  ExpectOneValue(kCycle, "chunk");
}

// A position read with getParameter and written back with setParameter
// changes nothing, for every host-visible parameter and positions on, near
// and between the steps.
TEST_F(HostView, PositionsRoundTripThroughGetAndSetParameter) {
  const char* seedText = std::getenv("QUORVEL_SEED");
  const unsigned seed = seedText ? static_cast<unsigned>(std::strtoul(seedText, nullptr, 10)) : 14u;
  SCOPED_TRACE("seed " + std::to_string(seed) + " (replay with QUORVEL_SEED)");
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  host.Dispatch(effOpen);
  constexpr int kPositionsPerParam = 2000;
  for (int index = 0; index < kHostVisibleParams; ++index) {
    const IPlugParam* param = host.plug()->GetParam(index);
    const double steps = (param->Max() - param->Min()) / param->Step();
    for (int n = 0; n < kPositionsPerParam; ++n) {
      // A quarter each: anywhere, on a step, halfway between two steps (a
      // tie, nudged by a few units in the last place), and the ends.
      const double k = std::floor(unit(random) * steps);
      double linear = unit(random);
      if (n % 4 == 1) linear = k / steps;
      if (n % 4 == 2) linear = (k + 0.5) / steps;
      float position = static_cast<float>(std::pow(linear, 1.0 / param->CurveExponent()));
      if (n % 4 == 2) position = std::nextafter(position, n % 8 < 4 ? 0.0f : 1.0f);
      if (n % 4 == 3) position = (n / 4) % 2 ? 1.0f : 0.0f;
      const std::string where = "parameter " + std::to_string(index) + " position " +
                                std::to_string(static_cast<double>(position));

      effect()->setParameter(effect(), index, position);
      const double value = Value(index);
      ASSERT_NO_FATAL_FAILURE(ExpectOneValue(index, where.c_str()));
      ASSERT_EQ(FormatPosition(index, position), Display(index)) << where;

      const float read = effect()->getParameter(effect(), index);
      effect()->setParameter(effect(), index, read);
      ASSERT_EQ(Value(index), value) << where;
      ASSERT_NO_FATAL_FAILURE(ExpectOneValue(index, where.c_str()));
      ASSERT_EQ(effect()->getParameter(effect(), index), read) << where;
    }
  }
}

}  // namespace
