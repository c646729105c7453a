#include "tools/host/plugin_session.h"

#include "tools/host/clap_session.h"
#include "tools/host/vst2_session.h"
#include "tools/host/vst3_session.h"

std::unique_ptr<PluginSession> MakePluginSession(const std::string& path) {
  if (IsVst3Path(path)) return std::make_unique<Vst3Session>();
  if (IsClapPath(path)) return std::make_unique<ClapSession>();
  return std::make_unique<Vst2Session>();
}
