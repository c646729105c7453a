#include "tools/host/plugin_session.h"

#include "tools/host/clap_session.h"
#include "tools/host/lv2_session_factory.h"
#include "tools/host/vst2_session.h"
#include "tools/host/vst3_session.h"

bool PathHasSuffix(const std::string& path, const std::string& suffix) {
  std::string trimmed = path;
  while (trimmed.size() > 1 && (trimmed.back() == '/' || trimmed.back() == '\\'))
    trimmed.pop_back();
  return trimmed.size() >= suffix.size() &&
         trimmed.compare(trimmed.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool IsLv2Path(const std::string& path) { return PathHasSuffix(path, ".lv2"); }

std::unique_ptr<PluginSession> MakePluginSession(const std::string& path) {
  if (IsVst3Path(path)) return std::make_unique<Vst3Session>();
  if (IsClapPath(path)) return std::make_unique<ClapSession>();
  if (IsLv2Path(path)) {
    if (auto lv2 = MakeLv2Session()) return lv2;
  }
  return std::make_unique<Vst2Session>();
}
