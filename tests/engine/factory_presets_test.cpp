#include "engine/factory_presets.h"

#include <gtest/gtest.h>

#include <cstring>

#include "engine/test_gate.h"

namespace {

TEST(FactoryPresets, MiniGateFirstWordFromItsDigits) {
  int values[kGateParamCount];
  ASSERT_TRUE(FactoryPresetValues(kFactoryPresets[0], values));
  EXPECT_STREQ(kFactoryPresets[0].name, "Mini Gate");
  EXPECT_EQ(values[kPatternWord0], 6023437);  // 3020222222 in base 5
  EXPECT_EQ(values[kPatternWord0 + 3], 5078124);
  EXPECT_EQ(values[kPatternWord6], 624);
  const int shared[] = {9, 8, 5, 100, 1, 30, 5, 1000, 0, 100};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(values[i], shared[i]) << "parameter " << i;
  for (int i = kStepEdited; i <= kVolumesNudge; ++i) EXPECT_EQ(values[i], 0);
}

TEST(FactoryPresets, EveryPresetDecodesToItsDigits) {
  for (const FactoryPreset& preset : kFactoryPresets) {
    SCOPED_TRACE(preset.name);
    int values[kGateParamCount];
    ASSERT_TRUE(FactoryPresetValues(preset, values));
    TestGate gate;
    for (int i = 0; i < kGateParamCount; ++i) gate.params[i] = values[i];
    gate.Open();
    std::string times, volumes;
    for (int i = 0; i < 32; ++i) {
      if (i > 0 && i % 8 == 0) times += ' ', volumes += ' ';
      times += static_cast<char>('0' + gate.StepPattern[i]);
      volumes += static_cast<char>('0' + gate.StepPattern[32 + i]);
    }
    EXPECT_EQ(times, preset.times);
    EXPECT_EQ(volumes, preset.volumes);
    EXPECT_EQ(gate.stepCount, preset.cycle);
  }
}

TEST(FactoryPresets, MalformedDigitsAreRejected) {
  FactoryPreset bad = kFactoryPresets[0];
  int values[kGateParamCount];
  bad.times = "3020222 22222222 22222222 22222222";  // 31 digits
  EXPECT_FALSE(FactoryPresetValues(bad, values));
  bad.times = "30202225 22222222 22222222 22222222";  // digit 5
  EXPECT_FALSE(FactoryPresetValues(bad, values));
}

TEST(FactoryPresets, GrooveGate2GlidesFromHalfToFullOverOneStep) {
  int values[kGateParamCount];
  ASSERT_TRUE(FactoryPresetValues(kFactoryPresets[22], values));
  ASSERT_STREQ(kFactoryPresets[22].name, "Groove Gate 2");
  TestGate gate;
  for (int i = 0; i < kGateParamCount; ++i) gate.params[i] = values[i];
  gate.Open();
  std::vector<double> in(5514, 1.0);
  gate.Block(in, in);  // step 1 (time 3, volume 2), then the first sample of step 2
  EXPECT_EQ(gate.currentStep, 1);
  EXPECT_GT(gate.envelope, 0);  // step 1 still releasing
  EXPECT_EQ(gate.fadeLength, 5513);
  EXPECT_NEAR(gate.levelGlideIncrement, 0.5 / 5513, 1e-15);
  std::vector<double> rest(5512, 1.0);
  gate.Block(rest, rest);
  EXPECT_EQ(gate.levelGlideRemaining, 0);
  EXPECT_NEAR(gate.stepLevel, 1.0, 1e-9);
}

}  // namespace
