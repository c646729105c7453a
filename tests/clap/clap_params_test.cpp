// The CLAP parameter list against the VST 3 controller's: the same ids in
// the same order, the same names, stepped where VST 3 counts steps, bypass
// where VST 3 flags bypass, nothing hidden or read-only, and ranges and
// defaults that are the controller's own plain values. Then values: a
// plain value a CLAP host sends (range ends, values between steps, seeded
// random ones) leaves the parameter where the VST 3 controller puts the
// same plain value, and reads back as that parameter's plain value.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "clap_test_host.h"
#include "instance/effect_instance.h"
#include "support/fake_host.h"
#include "vst3/gate_plugin.h"
#include "vst3/text16.h"

namespace {

std::string Title(const v3_param_info& info) {
  char text[256];
  CopyFromText16(text, sizeof text, info.title);
  return text;
}

TEST(ClapParams, ListMatchesTheVst3Controller) {
  TestHost clapHost;
  ClapPlugin p(clapHost);
  HostContext vst3Host;
  GatePlugin v = GatePlugin::Create();
  v.Start(vst3Host, V3_SAMPLE_32, 256, 48000.0);
  v3_edit_controller** controller = v.controller;
  const int32_t count = v3_cpp_obj(controller)->get_parameter_count(controller);
  ASSERT_EQ(p.Params()->count(p.plugin), static_cast<uint32_t>(count));
  for (int32_t i = 0; i < count; ++i) {
    SCOPED_TRACE(testing::Message() << "index " << i);
    v3_param_info expected = {};
    ASSERT_EQ(v3_cpp_obj(controller)->get_parameter_info(controller, i, &expected), kResultOk);
    clap_param_info_t info = {};
    ASSERT_TRUE(p.Params()->get_info(p.plugin, static_cast<uint32_t>(i), &info));
    EXPECT_EQ(info.id, expected.param_id);
    EXPECT_EQ(std::string(info.name), Title(expected));
    EXPECT_EQ((info.flags & CLAP_PARAM_IS_STEPPED) != 0, expected.step_count > 0);
    EXPECT_EQ((info.flags & CLAP_PARAM_IS_BYPASS) != 0, (expected.flags & V3_PARAM_IS_BYPASS) != 0);
    EXPECT_EQ((info.flags & CLAP_PARAM_IS_READONLY) != 0,
              (expected.flags & V3_PARAM_READ_ONLY) != 0);
    EXPECT_EQ((info.flags & CLAP_PARAM_IS_HIDDEN) != 0, (expected.flags & V3_PARAM_IS_HIDDEN) != 0);
    // Every one automatable, the program selector too: a CLAP host has no
    // program-change flag to tell it apart.
    EXPECT_NE(info.flags & CLAP_PARAM_IS_AUTOMATABLE, 0u);
    EXPECT_EQ(
        info.flags & ~(CLAP_PARAM_IS_STEPPED | CLAP_PARAM_IS_BYPASS | CLAP_PARAM_IS_AUTOMATABLE),
        0u);
    const v3_param_id id = expected.param_id;
    auto plain = [&](double normalized) {
      return v3_cpp_obj(controller)->normalised_parameter_to_plain(controller, id, normalized);
    };
    EXPECT_EQ(info.min_value, plain(0.0));
    EXPECT_EQ(info.max_value, plain(1.0));
    EXPECT_EQ(info.default_value, plain(expected.default_normalised_value));
    if (expected.step_count > 0) {
      EXPECT_EQ(info.max_value - info.min_value, expected.step_count);
    }
    double now = -1.0;
    ASSERT_TRUE(p.Params()->get_value(p.plugin, info.id, &now));
    EXPECT_EQ(now, plain(v.Param(id)));
  }
  clap_param_info_t past = {};
  EXPECT_FALSE(p.Params()->get_info(p.plugin, static_cast<uint32_t>(count), &past));
  double value = 0.0;
  EXPECT_FALSE(p.Params()->get_value(p.plugin, GateClap::kVisibleParams, &value));
  v.Stop();
  v.Release();
}

TEST(ClapParams, PlainValuesLandWhereTheVst3ControllerPutsThem) {
  const char* seedText = std::getenv("QUORVEL_SEED");
  const unsigned seed = seedText ? static_cast<unsigned>(std::strtoul(seedText, nullptr, 0)) : 7u;
  std::printf("seed %u (QUORVEL_SEED replays it)\n", seed);
  std::mt19937 random(seed);
  TestHost clapHost;
  ClapPlugin p(clapHost);
  EffectInstance& instance = *p.Object()->Instance();
  HostContext vst3Host;
  GatePlugin v = GatePlugin::Create();
  v.Start(vst3Host, V3_SAMPLE_32, 256, 48000.0);
  v3_edit_controller** controller = v.controller;
  for (int32_t index = 0; index < GateClap::kVisibleParams; ++index) {
    clap_param_info_t info = {};
    ASSERT_TRUE(p.Params()->get_info(p.plugin, static_cast<uint32_t>(index), &info));
    std::uniform_real_distribution<double> spread(info.min_value, info.max_value);
    // The ends, halfway between two steps, and random values.
    const double values[] = {info.min_value, info.max_value, info.min_value + 0.5,
                             spread(random), spread(random), spread(random)};
    for (const double sent : values) {
      SCOPED_TRACE(testing::Message() << "parameter " << index << " plain " << sent);
      InputEvents in;
      in.Value(0, info.id, sent);
      p.Params()->flush(p.plugin, in.List(), nullptr);
      const double normalized =
          v3_cpp_obj(controller)->plain_parameter_to_normalised(controller, info.id, sent);
      v.SetParam(info.id, normalized);
      EXPECT_EQ(instance.ParamNormalized(index), v.Param(info.id));
      const double stored =
          v3_cpp_obj(controller)
              ->normalised_parameter_to_plain(controller, info.id, v.Param(info.id));
      EXPECT_EQ(p.Value(info.id), stored);
    }
  }
  // The program selector and bypass take their plain values, rounded, and
  // values past their ends stop there.
  struct Row {
    clap_id id;
    double sent;
    double read;
  };
  const double last = instance.ProgramCount() - 1;
  const Row rows[] = {
      {GateClap::kProgramParamId, 2.4, 2.0},  {GateClap::kProgramParamId, 5.6, 6.0},
      {GateClap::kProgramParamId, 1e9, last}, {GateClap::kProgramParamId, -3.0, 0.0},
      {GateClap::kBypassParamId, 0.7, 1.0},   {GateClap::kBypassParamId, 0.2, 0.0}};
  for (const Row& row : rows) {
    InputEvents in;
    in.Value(0, row.id, row.sent);
    p.Params()->flush(p.plugin, in.List(), nullptr);
    EXPECT_EQ(p.Value(row.id), row.read) << row.id << " " << row.sent;
  }
  v.Stop();
  v.Release();
}

}  // namespace
