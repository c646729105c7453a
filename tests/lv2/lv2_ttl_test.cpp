// The bundle's generated descriptions, decoded here: every control port's
// index, symbol, range, default, properties, unit and labels against the
// parameter table as written out by hand; each preset's values, applied
// through the plug-in's ports, give exactly its program's values (the
// manifest is read by lilv in tests/module/lv2_bundle.sh).
#include <map>
#include <string>
#include <vector>

#include "engine/gate_params.h"
#include "lv2/lv2_gate.h"
#include "lv2/ttl_bundle.h"
#include "lv2_fixture.h"

namespace {

using lv2_test::Direct;
using lv2_test::Plugin;
using lv2_test::UridMap;

struct DecodedPort {
  int index = -1;
  std::string symbol;
  double minimum = 0, maximum = 0, defaultValue = 0;
  std::string properties;
  std::string unit;
  std::vector<std::pair<std::string, double>> scalePoints;
};

// The text between `open` and the next `close`, each time `open` appears.
std::vector<std::string> Between(const std::string& text, const std::string& open,
                                 const std::string& close) {
  std::vector<std::string> parts;
  for (size_t at = text.find(open); at != std::string::npos; at = text.find(open, at)) {
    const size_t from = at + open.size();
    const size_t to = text.find(close, from);
    if (to == std::string::npos) break;
    parts.push_back(text.substr(from, to - from));
    at = to;
  }
  return parts;
}

// What follows `key ` up to " ;" (a number, a term list), empty without the key.
std::string ValueOf(const std::string& body, const std::string& key) {
  const std::vector<std::string> found = Between(body, key + " ", " ;");
  return found.empty() ? "" : found[0];
}

// A quoted string's text after `key `, escapes undone.
std::string QuotedOf(const std::string& body, const std::string& key) {
  const size_t at = body.find(key + " \"");
  if (at == std::string::npos) return "";
  std::string text;
  for (size_t i = at + key.size() + 2; i < body.size() && body[i] != '"'; ++i) {
    if (body[i] == '\\' && i + 1 < body.size()) ++i;
    text += body[i];
  }
  return text;
}

double NumberOf(const std::string& body, const std::string& key) {
  const std::string text = ValueOf(body, key);
  return text.empty() ? -12345.0 : std::stod(text);
}

// The number that ends `body`, after `key `.
double TailNumberOf(const std::string& body, const std::string& key) {
  const size_t at = body.find(key + " ");
  return at == std::string::npos ? -12345.0 : std::stod(body.substr(at + key.size() + 1));
}

// The port blocks of quorvel.ttl, by index.
std::map<int, DecodedPort> DecodePorts(const std::string& ttl) {
  std::map<int, DecodedPort> ports;
  for (const std::string& body : Between(ttl, "\n    [\n", "\n    ]")) {
    DecodedPort port;
    port.index = static_cast<int>(NumberOf(body, "lv2:index"));
    port.symbol = QuotedOf(body, "lv2:symbol");
    port.minimum = NumberOf(body, "lv2:minimum");
    port.maximum = NumberOf(body, "lv2:maximum");
    port.defaultValue = NumberOf(body, "lv2:default");
    port.properties = ValueOf(body, "lv2:portProperty");
    const std::string unit = ValueOf(body, "units:unit");
    port.unit = unit.rfind("units:", 0) == 0 ? unit.substr(6) : unit;
    for (const std::string& point : Between(body, "[ rdfs:label", " ]"))
      port.scalePoints.push_back({QuotedOf(point, ""), TailNumberOf(point, "rdf:value")});
    ports[port.index] = port;
  }
  return ports;
}

struct ExpectedPort {
  const char* symbol;
  double minimum, maximum, defaultValue;
  const char* properties;
  const char* unit;
  size_t scalePoints;
};

// The parameter table as the effect defines it.
const ExpectedPort kExpected[] = {
    {"rate", 0, 27, 9, "lv2:integer, lv2:enumeration", "", 28},
    {"cycle", 1, 32, 16, "lv2:integer", "", 0},
    {"attack", 0, 200, 5, "", "pc", 0},
    {"gate", 0, 100, 100, "lv2:integer", "pc", 0},
    {"tie_lock", 0, 1, 1, "lv2:integer, lv2:toggled", "", 2},
    {"release", 0, 200, 30, "", "pc", 0},
    {"fade", 0, 100, 5, "", "pc", 0},
    {"split_freq", 20, 20000, 1000, "", "hz", 0},
    {"target", 0, 3, 0, "lv2:integer, lv2:enumeration", "", 4},
    {"mix", 0, 100, 80, "lv2:integer", "pc", 0},
    {"pattern_word_1", 0, 9765624, 4882812, "lv2:integer", "", 0},
    {"pattern_word_2", 0, 9765624, 4882812, "lv2:integer", "", 0},
    {"pattern_word_3", 0, 9765624, 4882812, "lv2:integer", "", 0},
    {"pattern_word_4", 0, 9765624, 5078124, "lv2:integer", "", 0},
    {"pattern_word_5", 0, 9765624, 9765624, "lv2:integer", "", 0},
    {"pattern_word_6", 0, 9765624, 9765624, "lv2:integer", "", 0},
    {"pattern_word_7", 0, 624, 624, "lv2:integer", "", 0},
    {"swing", 50, 75, 50, "lv2:integer", "pc", 0},
    {"chance", 0, 100, 100, "lv2:integer", "pc", 0},
    {"restart", 0, 2, 0, "lv2:integer, lv2:enumeration", "", 3},
    {"midi_switch", 0, 3, 0, "lv2:integer, lv2:enumeration", "", 4},
    {"chance_word_1", 0, 4194303, 0, "lv2:integer", "", 0},  // 4^11 - 1: steps 1-11
    {"chance_word_2", 0, 4194303, 0, "lv2:integer", "", 0},
    {"chance_word_3", 0, 1048575, 0, "lv2:integer", "", 0},  // 4^10 - 1: steps 23-32
};

TEST(Lv2Ttl, ControlPortsDescribeTheParameterTable) {
  Direct direct;
  const std::map<int, DecodedPort> ports = DecodePorts(PluginTtl(direct.Instance()));
  ASSERT_EQ(ports.size(), 5u + std::size(kExpected));
  const char* fixed[] = {"in_l", "in_r", "out_l", "out_r", "control"};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(ports.at(i).symbol, fixed[i]);
  for (size_t i = 0; i < std::size(kExpected); ++i) {
    const ExpectedPort& e = kExpected[i];
    SCOPED_TRACE(e.symbol);
    const DecodedPort& port = ports.at(static_cast<int>(kLv2FirstParamPort + i));
    EXPECT_EQ(port.symbol, e.symbol);
    EXPECT_EQ(port.minimum, e.minimum);
    EXPECT_EQ(port.maximum, e.maximum);
    EXPECT_EQ(port.defaultValue, e.defaultValue);
    EXPECT_EQ(port.properties, e.properties);
    EXPECT_EQ(port.unit, e.unit);
    ASSERT_EQ(port.scalePoints.size(), e.scalePoints);
    for (size_t k = 0; k < port.scalePoints.size(); ++k)
      EXPECT_EQ(port.scalePoints[k].second, e.minimum + k);
  }
  const auto& target = ports.at(static_cast<int>(kLv2FirstParamPort) + kTarget).scalePoints;
  ASSERT_EQ(target.size(), 4u);
  EXPECT_EQ(target[0].first, "Volume");
  EXPECT_EQ(target[3].first, "Low - High");
  EXPECT_EQ(ports.at(static_cast<int>(kLv2FirstParamPort) + kTieLock).scalePoints[1].first, "Yes");
}

struct DecodedPreset {
  std::string uri, label;
  std::map<std::string, double> values;
};

std::vector<DecodedPreset> DecodePresets(const std::string& ttl) {
  std::vector<DecodedPreset> presets;
  for (const std::string& block : Between(ttl, "\n<", " .\n")) {
    DecodedPreset preset;
    preset.uri = block.substr(0, block.find('>'));
    preset.label = QuotedOf(block, "rdfs:label");
    for (const std::string& value : Between(block, "[ lv2:symbol", " ]"))
      preset.values[QuotedOf(value, "")] = TailNumberOf(value, "pset:value");
    presets.push_back(preset);
  }
  return presets;
}

TEST(Lv2Ttl, EachPresetThroughThePortsIsItsProgramChosenOnAFreshInstance) {
  Direct host;  // answers the fresh instances' host services
  const std::vector<DecodedPreset> presets = DecodePresets(PresetsTtl([&host] {
    std::unique_ptr<EffectInstance> instance(CreateEffectInstance(&host));
    instance->Open();
    return instance;
  }));
  const int count = host.Instance().ProgramCount();
  ASSERT_EQ(static_cast<int>(presets.size()), count);
  ASSERT_GE(count, 10);
  const std::vector<float> defaults = Direct().PortValues();
  for (int p = 0; p < count; ++p) {
    const DecodedPreset& preset = presets[static_cast<size_t>(p)];
    SCOPED_TRACE(preset.uri);
    EXPECT_EQ(preset.uri, "urn:quorvel:step-gate#preset-" + std::to_string(p));
    // A host's choice: the name it lists, then the program on a fresh instance.
    Direct reference;
    EffectInstance& program = reference.Instance();
    char name[EffectInstance::kProgramNameBytes];
    program.ProgramName(p, name, sizeof name);
    EXPECT_EQ(preset.label, name);
    ASSERT_EQ(preset.values.size(), std::size(kExpected));
    program.SelectProgram(p);
    // A host applying the preset: a fresh plug-in, the ports set, one block.
    UridMap map;
    Plugin plugin(&map);
    plugin.Start(defaults);
    for (size_t i = 0; i < std::size(kExpected); ++i)
      plugin.Port(static_cast<int>(i)) = static_cast<float>(preset.values.at(kExpected[i].symbol));
    std::vector<float> in(32, 0.0f), outL(32), outR(32);
    plugin.Run(in.data(), in.data(), outL.data(), outR.data(), 32);
    EffectInstance* applied = static_cast<Lv2Gate*>(plugin.Handle())->Instance();
    for (int i = 0; i < program.ParamCount(); ++i)
      EXPECT_EQ(applied->ParamNormalized(i), program.ParamNormalized(i)) << kExpected[i].symbol;
  }
}

}  // namespace
