#include "instance/effect_instance.h"
#include "lv2/lv2_ports.h"
#include "lv2/ttl_bundle.h"

std::string PresetUri(int32_t program) {
  return std::string(kLv2PluginUri) + "#preset-" + std::to_string(program);
}

std::string ManifestTtl(EffectInstance& instance) {
  const std::string plugin = std::string("<") + kLv2PluginUri + ">";
  std::string text =
      "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
      "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
      "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
      "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n\n";
  text += plugin + "\n    a lv2:Plugin ;\n    lv2:binary <" + kLv2BinaryName +
          "> ;\n    rdfs:seeAlso <quorvel.ttl> .\n\n";
  text += std::string("<") + kLv2UiUri + ">\n    a ui:X11UI ;\n    ui:binary <" + kLv2BinaryName +
          "> ;\n    rdfs:seeAlso <quorvel.ttl> .\n";
  for (int32_t p = 0; p < instance.ProgramCount(); ++p) {
    text += "\n<" + PresetUri(p) + ">\n    a pset:Preset ;\n    lv2:appliesTo " + plugin +
            " ;\n    rdfs:seeAlso <presets.ttl> .\n";
  }
  return text;
}
