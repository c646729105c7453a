// The CLAP parameter list against the VST 3 controller's: the same ids in
// the same order, the same names, stepped where VST 3 counts steps, bypass
// where VST 3 flags bypass, nothing hidden or read-only, and ranges and
// defaults that are the controller's own plain values. Then values: a
// plain value a CLAP host sends (range ends, values between steps, seeded
// random ones) leaves the parameter where the VST 3 controller puts the
// same plain value, and reads back as that parameter's plain value.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "clap_vst3_pair.h"
#include "vst3/text16.h"

namespace {

TEST(ClapParams, ListMatchesTheVst3Controller) {
  ClapVst3Pair pair;
  ClapPlugin& p = pair.clap;
  v3_edit_controller** controller = pair.vst3.controller;
  const int32_t count = v3_cpp_obj(controller)->get_parameter_count(controller);
  ASSERT_EQ(p.Params()->count(p.plugin), static_cast<uint32_t>(count));
  for (int32_t i = 0; i < count; ++i) {
    SCOPED_TRACE(testing::Message() << "index " << i);
    v3_param_info expected = {};
    ASSERT_EQ(v3_cpp_obj(controller)->get_parameter_info(controller, i, &expected), kResultOk);
    clap_param_info_t info = {};
    ASSERT_TRUE(p.Params()->get_info(p.plugin, static_cast<uint32_t>(i), &info));
    EXPECT_EQ(info.id, expected.param_id);
    char title[256];
    CopyFromText16(title, sizeof title, expected.title);
    EXPECT_EQ(std::string(info.name), title);
    EXPECT_EQ((info.flags & CLAP_PARAM_IS_STEPPED) != 0, expected.step_count > 0);
    EXPECT_EQ((info.flags & CLAP_PARAM_IS_BYPASS) != 0, (expected.flags & V3_PARAM_IS_BYPASS) != 0);
    EXPECT_EQ(expected.flags & (V3_PARAM_READ_ONLY | V3_PARAM_IS_HIDDEN), 0);
    // Every one automatable, the program selector too: a CLAP host has no
    // program-change flag to tell it apart.
    EXPECT_NE(info.flags & CLAP_PARAM_IS_AUTOMATABLE, 0u);
    EXPECT_EQ(
        info.flags & ~(CLAP_PARAM_IS_STEPPED | CLAP_PARAM_IS_BYPASS | CLAP_PARAM_IS_AUTOMATABLE),
        0u);
    const v3_param_id id = expected.param_id;
    EXPECT_EQ(info.min_value, pair.Vst3Plain(id, 0.0));
    EXPECT_EQ(info.max_value, pair.Vst3Plain(id, 1.0));
    EXPECT_EQ(info.default_value, pair.Vst3Plain(id, expected.default_normalised_value));
    if (expected.step_count > 0) {
      EXPECT_EQ(info.max_value - info.min_value, expected.step_count);
    }
    EXPECT_EQ(p.Value(info.id), pair.Vst3Plain(id, pair.vst3.Param(id)));
  }
  clap_param_info_t past = {};
  EXPECT_FALSE(p.Params()->get_info(p.plugin, static_cast<uint32_t>(count), &past));
  double value = 0.0;
  EXPECT_FALSE(p.Params()->get_value(p.plugin, GateClap::kVisibleParams, &value));
}

TEST(ClapParams, PlainValuesLandWhereTheVst3ControllerPutsThem) {
  std::mt19937 random(TestSeed(7u));
  ClapVst3Pair pair;
  ClapPlugin& p = pair.clap;
  EffectInstance& instance = *p.Object()->Instance();
  for (int32_t index = 0; index < GateClap::kVisibleParams; ++index) {
    const clap_param_info_t info = p.Info(static_cast<uint32_t>(index));
    std::uniform_real_distribution<double> spread(info.min_value, info.max_value);
    // The ends, halfway between two steps, and random values.
    const double values[] = {info.min_value, info.max_value, info.min_value + 0.5,
                             spread(random), spread(random), spread(random)};
    for (const double sent : values) {
      SCOPED_TRACE(testing::Message() << "parameter " << index << " plain " << sent);
      pair.SetBoth(info.id, sent);
      EXPECT_EQ(instance.ParamNormalized(index), pair.vst3.Param(info.id));
      EXPECT_EQ(p.Value(info.id), pair.Vst3Plain(info.id, pair.vst3.Param(info.id)));
    }
  }
  // The program selector and bypass take their plain values, rounded, and
  // values past their ends stop there.
  const double last = instance.ProgramCount() - 1;
  const double rows[][3] = {
      // id, sent, read back
      {GateClap::kProgramParamId, 2.4, 2.0},  {GateClap::kProgramParamId, 5.6, 6.0},
      {GateClap::kProgramParamId, 1e9, last}, {GateClap::kProgramParamId, -3.0, 0.0},
      {GateClap::kBypassParamId, 0.7, 1.0},   {GateClap::kBypassParamId, 0.2, 0.0}};
  for (const auto& row : rows) {
    const auto id = static_cast<clap_id>(row[0]);
    p.Flush(id, row[1]);
    EXPECT_EQ(p.Value(id), row[2]) << id << " " << row[1];
  }
}

}  // namespace
