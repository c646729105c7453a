// quorvel_lv2_ttl DIRECTORY: writes the bundle's manifest.ttl, quorvel.ttl
// and presets.ttl into DIRECTORY from a fresh instance's parameter table
// and factory programs. Run by the build. [build tool]
#include <cstdio>
#include <memory>
#include <string>

#include "instance/effect_instance.h"
#include "instance/instance_host.h"
#include "lv2/ttl_bundle.h"

namespace {

// An instance built only to be read asks its host nothing worth answering.
class SilentHost final : public InstanceHost {
 public:
  const HostTime* TransportTime() override { return nullptr; }
  void BeginEdit(int32_t) override {}
  void PerformEdit(int32_t, double) override {}
  void EndEdit(int32_t) override {}
  void UpdateDisplay() override {}
  bool ResizeEditor(int32_t, int32_t) override { return false; }
  void HostIdentity(char* name, int32_t size, int32_t* versionDecimal) override {
    if (name && size > 0) name[0] = '\0';
    if (versionDecimal) *versionDecimal = 0;
  }
};

bool WriteFile(const std::string& path, const std::string& text) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  return std::fclose(file) == 0 && written;
}

SilentHost gHost;

std::unique_ptr<EffectInstance> FreshOpened() {
  std::unique_ptr<EffectInstance> instance(CreateEffectInstance(&gHost));
  if (instance) instance->Open();
  return instance;
}

std::string Describe(std::string (*writer)(EffectInstance&)) {
  std::unique_ptr<EffectInstance> instance = FreshOpened();
  return instance ? writer(*instance) : "";
}

std::string Presets(EffectInstance&) { return PresetsTtl(FreshOpened); }

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: quorvel_lv2_ttl DIRECTORY\n");
    return 2;
  }
  const std::string directory = argv[1];
  const struct {
    const char* name;
    std::string (*writer)(EffectInstance&);
  } files[] = {{"manifest.ttl", ManifestTtl}, {"quorvel.ttl", PluginTtl}, {"presets.ttl", Presets}};
  for (const auto& file : files) {
    const std::string text = Describe(file.writer);
    if (text.empty() || !WriteFile(directory + "/" + file.name, text)) {
      std::fprintf(stderr, "quorvel_lv2_ttl: cannot write %s\n", file.name);
      return 1;
    }
  }
  return 0;
}
