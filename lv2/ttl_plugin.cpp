#include "engine/version.h"
#include "instance/effect_instance.h"
#include "lv2/lv2_ports.h"
#include "lv2/ttl_bundle.h"
#include "lv2/ttl_ports.h"
#include "lv2/ttl_text.h"

namespace {

constexpr char kPrefixes[] =
    "@prefix atom: <http://lv2plug.in/ns/ext/atom#> .\n"
    "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
    "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
    "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix midi: <http://lv2plug.in/ns/ext/midi#> .\n"
    "@prefix opts: <http://lv2plug.in/ns/ext/options#> .\n"
    "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
    "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
    "@prefix time: <http://lv2plug.in/ns/ext/time#> .\n"
    "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
    "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
    "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n\n";

std::string AudioPort(uint32_t index, bool input, const char* symbol, const char* name) {
  return std::string("    [\n        a lv2:") + (input ? "InputPort" : "OutputPort") +
         ", lv2:AudioPort ;\n        lv2:index " + std::to_string(index) +
         " ;\n        lv2:symbol " + TtlString(symbol) + " ;\n        lv2:name " + TtlString(name) +
         " ;\n    ]";
}

std::string EventPort() {
  return "    [\n        a lv2:InputPort, atom:AtomPort ;\n"
         "        atom:bufferType atom:Sequence ;\n"
         "        atom:supports midi:MidiEvent, time:Position ;\n"
         "        lv2:designation lv2:control ;\n"
         "        lv2:portProperty lv2:connectionOptional ;\n"
         "        lv2:index " +
         std::to_string(kLv2ControlIn) +
         " ;\n        lv2:symbol \"control\" ;\n        lv2:name \"Control\" ;\n    ]";
}

std::string ParamPort(const TtlParamPort& port) {
  std::string text =
      "    [\n        a lv2:InputPort, lv2:ControlPort ;\n        lv2:index " +
      std::to_string(port.index) + " ;\n        lv2:symbol " + TtlString(port.symbol.c_str()) +
      " ;\n        lv2:name " + TtlString(port.name.c_str()) + " ;\n        lv2:default " +
      TtlNumber(port.defaultValue) + " ;\n        lv2:minimum " + TtlNumber(port.minimum) +
      " ;\n        lv2:maximum " + TtlNumber(port.maximum) + " ;\n";
  std::string properties;
  auto add = [&properties](const char* property) {
    properties += properties.empty() ? "" : ", ";
    properties += property;
  };
  if (port.integer) add("lv2:integer");
  if (port.toggled) {
    add("lv2:toggled");
  } else if (port.enumeration) {
    add("lv2:enumeration");
  }
  if (!properties.empty()) text += "        lv2:portProperty " + properties + " ;\n";
  if (!port.unit.empty()) text += "        units:unit units:" + port.unit + " ;\n";
  for (size_t k = 0; k < port.scalePoints.size(); ++k) {
    text += k == 0 ? "        lv2:scalePoint " : ",\n            ";
    text += "[ rdfs:label " + TtlString(port.scalePoints[k].label.c_str()) + " ; rdf:value " +
            TtlNumber(port.scalePoints[k].value) + " ]";
  }
  if (!port.scalePoints.empty()) text += " ;\n";
  return text + "    ]";
}

}  // namespace

std::string PluginTtl(EffectInstance& instance) {
  std::string text = kPrefixes;
  text += std::string("<") + kLv2PluginUri + ">\n    a lv2:Plugin, lv2:GatePlugin ;\n";
  text += "    doap:name " + TtlString(instance.Name()) + " ;\n";
  text += "    doap:maintainer [ foaf:name " + TtlString(QUORVEL_VENDOR) + " ] ;\n";
  text += "    lv2:minorVersion " + std::to_string(QUORVEL_VERSION_MINOR) + " ;\n";
  text += "    lv2:microVersion " + std::to_string(QUORVEL_VERSION_PATCH) + " ;\n";
  text += "    lv2:optionalFeature urid:map, opts:options ;\n";
  text += "    lv2:extensionData state:interface ;\n";
  text += std::string("    ui:ui <") + kLv2UiUri + "> ;\n";
  text += "    lv2:port\n";
  text += AudioPort(kLv2InLeft, true, "in_l", "Input Left") + ",\n";
  text += AudioPort(kLv2InRight, true, "in_r", "Input Right") + ",\n";
  text += AudioPort(kLv2OutLeft, false, "out_l", "Output Left") + ",\n";
  text += AudioPort(kLv2OutRight, false, "out_r", "Output Right") + ",\n";
  text += EventPort();
  for (const TtlParamPort& port : ReadParamPorts(instance)) text += ",\n" + ParamPort(port);
  text += " .\n\n";
  text += std::string("<") + kLv2UiUri + ">\n    a ui:X11UI ;\n";
  text += std::string("    ui:binary <") + kLv2BinaryName + "> ;\n";
  text +=
      "    lv2:requiredFeature ui:parent, ui:idleInterface, "
      "<http://lv2plug.in/ns/ext/instance-access> ;\n";
  text += "    lv2:optionalFeature ui:resize, ui:touch, ui:noUserResize ;\n";
  text += "    lv2:extensionData ui:idleInterface .\n";
  return text;
}
