// Parameter objects: the normalised mapping, rounding, display and parsing,
// and the gate's own parameter table as a host sees it.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/gate_plug.h"
#include "framework/plug_param.h"
#include "support/fake_host.h"

using namespace vst2;

namespace {

std::string Display(const IPlugParam& param) {
  char text[64];
  param.FormatValue(param.Value(), false, text, sizeof text);
  return text;
}

std::string HostText(FakeHost& host, int32_t opcode, int index) {
  char text[64];
  memset(text, 'x', sizeof text);
  text[63] = '\0';
  host.Dispatch(opcode, index, 0, text);
  return text;
}

}  // namespace

TEST(Param, NormalisedPositionFollowsTheCurveAndRoundsToTheStep) {
  IPlugParam linear;
  linear.SetupInt("Freq", 1000, 20, 20000, "Hz");
  linear.SetFromNormalized(0.5);
  EXPECT_EQ(linear.Value(), 10010);

  IPlugParam curved;
  curved.SetupInt("Freq", 1000, 20, 20000, "Hz");
  curved.SetCurveExponent(2.0);
  curved.SetCurveExponent(0.0);  // ignored
  curved.SetFromNormalized(0.5);
  EXPECT_EQ(curved.Value(), 5015);  // 20 + 19980 / 4
  EXPECT_DOUBLE_EQ(curved.GetNormalized(), 0.5);
  EXPECT_DOUBLE_EQ(curved.ToNormalized(-100), 0.0);
  EXPECT_DOUBLE_EQ(curved.ToNormalized(1e9), 1.0);

  IPlugParam real;
  real.SetupReal("Amount", 0.0, 0.0, 1.0, 0.01, "");
  real.SetFromNormalized(1.0 / 3.0);
  EXPECT_EQ(real.Value(), 1.0 / 3.0);

  // Positions a host should never send are held to 0..1.
  linear.SetFromNormalized(7.0);
  EXPECT_EQ(linear.Value(), 20000);
  linear.SetFromNormalized(-1.0);
  EXPECT_EQ(linear.Value(), 20);
}

TEST(Param, SetupKeepsAnExistingKindAndWidensAnEmptyRange) {
  IPlugParam param;
  param.SetupReal("Empty", 0.0, 0.0, 0.0, 1.0, "");
  EXPECT_EQ(param.Kind(), kParamReal);
  EXPECT_EQ(param.Max(), 1.0);

  IPlugParam toggle;
  toggle.SetKind(kParamBool);
  toggle.SetupInt("On", 0, 0, 1, "");
  EXPECT_EQ(toggle.Kind(), kParamBool);
}

TEST(Param, DisplayPrecisionAndNumbers) {
  IPlugParam param;
  param.SetupReal("Level", 0.0, 0.0, 1.0, 0.05, "");
  EXPECT_EQ(param.DisplayPrecision(), 2);
  EXPECT_EQ(Display(param), "0");
  param.SetValue(0.5);
  EXPECT_EQ(Display(param), "0.50");

  IPlugParam fine;
  fine.SetupReal("Fine", 0.0, 0.0, 1.0, 1e-7, "");
  EXPECT_EQ(fine.DisplayPrecision(), 6);
  IPlugParam quarter;
  quarter.SetupReal("Quarter", 0.0, 0.0, 1.0, 0.25, "");
  EXPECT_EQ(quarter.DisplayPrecision(), 2);

  IPlugParam negated;
  negated.SetupInt("Offset", 3, 0, 10, "");
  negated.SetNegateDisplay(true);
  EXPECT_EQ(Display(negated), "-3");
  EXPECT_EQ(negated.ParseValueText("-3"), 3);
}

TEST(Param, DisplayTextsUseTruncationFirstMatchAndFallBackToTheNumber) {
  IPlugParam param;
  param.SetupEnum("Mode", 0, 4, "");
  param.AddDisplayText(0, "Zero");
  param.AddDisplayText(2, "Two");
  param.AddDisplayText(2, "Second two");
  param.AddDisplayText(3, "");
  EXPECT_EQ(param.DisplayTextCount(), 4);
  param.SetValue(2.9);
  EXPECT_EQ(Display(param), "Two");
  param.SetValue(3);
  EXPECT_EQ(Display(param), "3");
  EXPECT_STREQ(param.DisplayTextFor(1), "");

  double value = -1;
  EXPECT_TRUE(param.ValueForDisplayText("Two", &value));
  EXPECT_EQ(value, 2);
  EXPECT_FALSE(param.ValueForDisplayText("two", &value));
  EXPECT_EQ(param.ParseValueText("Zero"), 0);
  EXPECT_EQ(param.ParseValueText("2.5 steps"), 2.5);
  EXPECT_EQ(param.ParseValueText("none"), 0);

  char text[32];
  param.FormatValue(2.0 / 3.0, true, text, sizeof text);  // 0 + 3 * 2/3 = 2
  EXPECT_STREQ(text, "Two");
}

TEST(Param, LongTextsAreCutToTheirFields) {
  IPlugParam param;
  const std::string longName(100, 'n');
  param.SetupInt(longName.c_str(), 0, 0, 1, longName.c_str());
  EXPECT_EQ(strlen(param.Name()), 31u);
  EXPECT_EQ(strlen(param.Label()), 31u);
  param.AddDisplayText(0, longName.c_str());
  EXPECT_EQ(strlen(param.DisplayTextFor(0)), 31u);
  char small[4];
  param.FormatValue(0, false, small, sizeof small);
  EXPECT_STREQ(small, "nnn");
}

TEST(GateParams, TheHostSeesTwentyFourParametersWithTheirDefaultTexts) {
  FakeHost host;
  AEffect* effect = host.effect();
  EXPECT_EQ(effect->numParams, 24);
  EXPECT_EQ(host.plug()->NParams(), 27);
  EXPECT_EQ(host.plug()->ParamsKeptOutOfState(), 3);

  EXPECT_EQ(HostText(host, effGetParamName, kRate), "Rate");
  EXPECT_EQ(HostText(host, effGetParamDisplay, kRate), "1/16");
  EXPECT_EQ(HostText(host, effGetParamDisplay, kTieLock), "Yes");
  EXPECT_EQ(HostText(host, effGetParamDisplay, kTarget), "Volume");
  EXPECT_EQ(HostText(host, effGetParamDisplay, kSplitFreq), "1000");
  EXPECT_EQ(HostText(host, effGetParamLabel, kSplitFreq), "Hz");
  EXPECT_EQ(HostText(host, effGetParamLabel, kMix), "%");
  EXPECT_EQ(HostText(host, effGetParamName, kPatternWord0), "");
  EXPECT_EQ(HostText(host, effGetParamDisplay, kPatternWord6), "624");
  // The groove and control parameters start as the gate always played.
  EXPECT_EQ(HostText(host, effGetParamName, kSwing), "Swing");
  EXPECT_EQ(HostText(host, effGetParamDisplay, kSwing), "50");
  EXPECT_EQ(HostText(host, effGetParamDisplay, kChance), "100");
  EXPECT_EQ(HostText(host, effGetParamName, kRestartMode), "Restart");
  EXPECT_EQ(HostText(host, effGetParamDisplay, kRestartMode), "Host position");
  EXPECT_EQ(HostText(host, effGetParamName, kMidiSwitch), "MIDI Switch");
  EXPECT_EQ(HostText(host, effGetParamDisplay, kMidiSwitch), "Off");
  EXPECT_EQ(HostText(host, effGetParamName, kChanceWord2), "");
  EXPECT_EQ(HostText(host, effGetParamDisplay, kChanceWord0), "0");
  // Beyond the announced count but inside the instance.
  EXPECT_EQ(HostText(host, effGetParamDisplay, kVolumesNudge), "0");
  // Past the last object: the buffer is left as it was.
  EXPECT_EQ(HostText(host, effGetParamDisplay, kGateParamCount), std::string(63, 'x'));
  EXPECT_EQ(HostText(host, effGetParamName, -1), std::string(63, 'x'));

  // Every Rate value has its own text, in order.
  const char* rates[] = {"1/128", "1/64T", "1/128D", "1/64", "1/32T", "1/64D", "1/32",
                         "1/16T", "1/32D", "1/16",   "1/8T", "1/16D", "1/8",   "1/4T",
                         "1/8D",  "1/4",   "1/2T",   "1/4D", "1/2",   "1/1T",  "1/2D",
                         "1/1",   "2/1T",  "1/1D",   "2/1",  "4/1T",  "2/1D",  "4/1"};
  for (int i = 0; i < 28; ++i)
    EXPECT_STREQ(host.plug()->GetParam(kRate)->DisplayTextFor(i), rates[i]);
}

TEST(GateParams, RangesCurvesAndSetParameter) {
  FakeHost host;
  IPlugVST* plug = host.plug();
  struct Expect {
    int index;
    double min, max, curve;
  };
  const Expect table[] = {{kRate, 0, 27, 1},
                          {kCycle, 1, 32, 1},
                          {kAttack, 0, 200, 2},
                          {kGate, 0, 100, 1},
                          {kTieLock, 0, 1, 1},
                          {kRelease, 0, 200, 2},
                          {kFade, 0, 100, 2},
                          {kSplitFreq, 20, 20000, 2},
                          {kTarget, 0, 3, 1},
                          {kMix, 0, 100, 1},
                          {kPatternWord5, 0, 9765624, 1},
                          {kPatternWord6, 0, 624, 1},
                          {kSwing, 50, 75, 1},
                          {kChance, 0, 100, 1},
                          {kRestartMode, 0, 2, 1},
                          {kMidiSwitch, 0, 3, 1},
                          {kChanceWord0, 0, 4194303, 1},
                          {kChanceWord2, 0, 1048575, 1},
                          {kStepEdited, 0, 1, 1},
                          {kTimesNudge, -5, 5, 1},
                          {kVolumesNudge, -5, 5, 1}};
  for (const Expect& e : table) {
    const IPlugParam* param = plug->GetParam(e.index);
    EXPECT_EQ(param->Min(), e.min) << e.index;
    EXPECT_EQ(param->Max(), e.max) << e.index;
    EXPECT_EQ(param->CurveExponent(), e.curve) << e.index;
  }
  host.effect()->setParameter(host.effect(), kSplitFreq, 0.5f);
  EXPECT_EQ(plug->GetParam(kSplitFreq)->Value(), 5015);
  EXPECT_FLOAT_EQ(host.effect()->getParameter(host.effect(), kSplitFreq), 0.5f);
  EXPECT_EQ(host.effect()->getParameter(host.effect(), 99), 0.0f);
  host.effect()->setParameter(host.effect(), 99, 0.5f);  // ignored
}

TEST(GateParams, StringToParameterClampsAndRoundsToTheStep) {
  FakeHost host;
  char above[] = "50000";
  EXPECT_EQ(host.Dispatch(effString2Parameter, kSplitFreq, 0, above), 1);
  EXPECT_EQ(host.plug()->GetParam(kSplitFreq)->Value(), 20000);
  char fraction[] = "1000.6";
  EXPECT_EQ(host.Dispatch(effString2Parameter, kSplitFreq, 0, fraction), 1);
  EXPECT_EQ(host.plug()->GetParam(kSplitFreq)->Value(), 1001);
  char typed[] = "Low Gain";
  EXPECT_EQ(host.Dispatch(effString2Parameter, kTarget, 0, typed), 1);
  EXPECT_EQ(host.plug()->GetParam(kTarget)->Value(), 1);
  EXPECT_EQ(host.Dispatch(effString2Parameter, kTarget, 0, nullptr), 1);
  char typedMode[] = "Next bar";
  EXPECT_EQ(host.Dispatch(effString2Parameter, kMidiSwitch, 0, typedMode), 1);
  EXPECT_EQ(host.plug()->GetParam(kMidiSwitch)->Value(), kSwitchNextBar);
  EXPECT_EQ(host.Dispatch(effString2Parameter, kGateParamCount, 0, typed), 0);
}
