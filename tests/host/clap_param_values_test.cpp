// The test host's CLAP conversion of the script's positions against the
// effect's own: for every linear parameter, at random positions (seed
// printed), at each step and halfway between steps, the plain value the
// host sends is the one the VST 3 controller's conversion gives.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <random>
#include <vector>

#include "engine/gate_plug.h"
#include "instance/vst2_effect_instance.h"
#include "tools/host/clap_param_values.h"

namespace {

intptr_t VST2_CALL NoHost(vst2::AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
  return opcode == vst2::audioMasterVersion ? vst2::kVstVersion : 0;
}

constexpr int32_t kHostParams = 24;
constexpr uint32_t kSeed = 20241208;
constexpr int kRandomPositions = 200;

TEST(ClapParamValues, PlainValuesMatchTheControllersConversion) {
  VSTCLASS* plug = new VSTCLASS(&NoHost);
  auto instance = std::make_unique<Vst2EffectInstance>(plug);
  instance->Open();
  std::printf("seed %u\n", kSeed);
  std::mt19937 random(kSeed);
  std::uniform_real_distribution<double> anywhere(0.0, 1.0);
  int checked = 0;
  for (int32_t index = 0; index < kHostParams; ++index) {
    // A curved range is no straight line from min to max: no host that
    // knows only the ends can follow it.
    if (plug->GetParam(index)->CurveExponent() != 1.0) continue;
    ParamInfoRecord record = {};
    ASSERT_TRUE(instance->ParamInfo(index, &record));
    clap_param_info_t info = {};
    info.min_value = instance->ParamPlain(index, 0.0);
    info.max_value = instance->ParamPlain(index, 1.0);
    info.flags = record.stepCount > 0 ? CLAP_PARAM_IS_STEPPED : 0;
    std::vector<double> positions = {0.0, 1.0, -0.5, 1.5};
    const int steps = record.stepCount > 0 && record.stepCount < 64 ? record.stepCount : 0;
    for (int k = 0; k <= steps && steps > 0; ++k) {
      positions.push_back(static_cast<double>(k) / steps);
      positions.push_back((k + 0.5) / steps);
      positions.push_back((k + 0.4999) / steps);
    }
    for (int i = 0; i < kRandomPositions; ++i) positions.push_back(anywhere(random));
    for (double position : positions) {
      const double plain = ClapPlainOfNormalized(info, position);
      EXPECT_EQ(plain, instance->ParamPlain(index, position))
          << "parameter " << index << " \"" << record.title << "\" at " << position;
      if (steps > 0) {
        EXPECT_EQ(ClapPlainOfNormalized(info, ClapNormalizedOfPlain(info, plain)), plain)
            << "parameter " << index << " back from " << plain;
      }
      ++checked;
    }
  }
  EXPECT_GT(checked, 20 * kRandomPositions);
}

}  // namespace
