#include <vector>

#include "instance/effect_instance.h"
#include "lv2/lv2_ports.h"
#include "lv2/ttl_bundle.h"
#include "lv2/ttl_ports.h"
#include "lv2/ttl_text.h"

std::string PresetsTtl(const FreshInstance& fresh) {
  const std::unique_ptr<EffectInstance> lister = fresh();
  if (!lister) return "";
  const std::vector<TtlParamPort> ports = ReadParamPorts(*lister);
  std::string text =
      "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
      "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
      "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n";
  for (int32_t p = 0; p < lister->ProgramCount(); ++p) {
    const std::unique_ptr<EffectInstance> instance = fresh();
    if (!instance) return "";
    // The name as a host lists it, before the program is chosen.
    char name[EffectInstance::kProgramNameBytes];
    instance->ProgramName(p, name, sizeof name);
    instance->SelectProgram(p);
    const std::vector<double> values = ReadPortValues(*instance);
    text += "\n<" + PresetUri(p) + ">\n    a pset:Preset ;\n    lv2:appliesTo <" + kLv2PluginUri +
            "> ;\n    rdfs:label " + TtlString(name) + " ;\n    lv2:port";
    for (size_t i = 0; i < ports.size() && i < values.size(); ++i) {
      text += i == 0 ? " " : ",\n        ";
      text += "[ lv2:symbol " + TtlString(ports[i].symbol.c_str()) + " ; pset:value " +
              TtlNumber(values[i]) + " ]";
    }
    text += " .\n";
  }
  return text;
}
