// The LV2 session's presets and state: presets read from the bundle and
// applied by their port values, and the plug-in's one state property saved
// and restored through its state interface, byte for byte. [host main thread]
#include <lilv/lilv.h>
#include <lv2/atom/atom.h>
#include <lv2/presets/presets.h>
#include <lv2/state/state.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "tools/host/lv2_nodes.h"
#include "tools/host/lv2_session.h"

namespace {

constexpr const char* kRdfsLabel = "http://www.w3.org/2000/01/rdf-schema#label";
// The plug-in keeps its whole state in one property named after it.
constexpr const char* kStateKeySuffix = "#state";

// A URI without the digits it ends in, and those digits as a number (-1
// without any).
size_t DigitsStart(const std::string& uri) {
  size_t start = uri.size();
  while (start > 0 && uri[start - 1] >= '0' && uri[start - 1] <= '9') --start;
  return start;
}
std::string UriStem(const std::string& uri) { return uri.substr(0, DigitsStart(uri)); }
long long UriNumber(const std::string& uri) {
  const size_t start = DigitsStart(uri);
  return start < uri.size() && uri.size() - start < 18 ? std::stoll(uri.substr(start)) : -1;
}

struct StoredState {
  uint32_t key, chunkType;
  std::vector<char>* bytes;
  bool found;
};

// The plug-in's store call while it saves. [host main thread]
LV2_State_Status StoreCall(LV2_State_Handle handle, uint32_t key, const void* value, size_t size,
                           uint32_t type, uint32_t /*flags*/) {
  auto* stored = static_cast<StoredState*>(handle);
  if (key != stored->key || type != stored->chunkType) return LV2_STATE_ERR_NO_PROPERTY;
  const char* bytes = static_cast<const char*>(value);
  stored->bytes->assign(bytes, bytes + size);
  stored->found = true;
  return LV2_STATE_SUCCESS;
}

struct OfferedState {
  uint32_t key, chunkType;
  const std::vector<char>* bytes;
};

// The plug-in's retrieve call while it restores. [host main thread]
const void* RetrieveCall(LV2_State_Handle handle, uint32_t key, size_t* size, uint32_t* type,
                         uint32_t* flags) {
  auto* offered = static_cast<OfferedState*>(handle);
  if (key != offered->key) return nullptr;
  *size = offered->bytes->size();
  *type = offered->chunkType;
  *flags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;
  return offered->bytes->data();
}

}  // namespace

void Lv2Session::ReadPresets() {
  OwnedNode presetClass(lilv_new_uri(world_, LV2_PRESETS__Preset));
  OwnedNode labelKey(lilv_new_uri(world_, kRdfsLabel));
  LilvNodes* related = lilv_plugin_get_related(plugin_, presetClass.get());
  LILV_FOREACH(nodes, i, related) {
    const LilvNode* preset = lilv_nodes_get(related, i);
    lilv_world_load_resource(world_, preset);
    OwnedNode label(lilv_world_get(world_, preset, labelKey.get(), nullptr));
    presets_.push_back({lilv_node_as_uri(preset), TextOf(label.get())});
  }
  lilv_nodes_free(related);
  // The bundle numbers its presets in the factory order at the end of their
  // URIs ("...#preset-12"): numbers compare as numbers.
  std::sort(presets_.begin(), presets_.end(), [](const Preset& a, const Preset& b) {
    return std::make_pair(UriStem(a.uri), UriNumber(a.uri)) <
           std::make_pair(UriStem(b.uri), UriNumber(b.uri));
  });
}

std::string Lv2Session::ProgramName(int32_t index) {
  return index >= 0 && index < ProgramCount() ? presets_[static_cast<size_t>(index)].label : "";
}

void Lv2Session::SelectProgram(int32_t index) {
  if (index < 0 || index >= ProgramCount()) return;
  OwnedNode uri(lilv_new_uri(world_, presets_[static_cast<size_t>(index)].uri.c_str()));
  auto* map = static_cast<LV2_URID_Map*>(features_.MapFeature()->data);
  LilvState* state = lilv_state_new_from_world(world_, map, uri.get());
  if (!state) return;
  struct Target {
    Lv2Session* session;
    const LilvPlugin* plugin;
    LilvWorld* world;
    std::vector<float>* values;
    uint32_t floatType, doubleType, intType;
  } target{this,
           plugin_,
           world_,
           &portValues_,
           Urid(LV2_ATOM__Float),
           Urid(LV2_ATOM__Double),
           Urid(LV2_ATOM__Int)};
  // Port values only: a preset is a set of parameter values. The setter runs
  // inside lilv's restore. [host main thread]
  lilv_state_restore(
      state, nullptr,
      [](const char* symbol, void* data, const void* value, uint32_t size, uint32_t type) {
        auto* to = static_cast<Target*>(data);
        OwnedNode name(lilv_new_string(to->world, symbol));
        const LilvPort* port = lilv_plugin_get_port_by_symbol(to->plugin, name.get());
        if (!port) return;
        float plain;
        if (type == to->floatType && size == sizeof(float)) {
          std::memcpy(&plain, value, sizeof plain);
        } else if (type == to->doubleType && size == sizeof(double)) {
          double wide;
          std::memcpy(&wide, value, sizeof wide);
          plain = static_cast<float>(wide);
        } else if (type == to->intType && size == sizeof(int32_t)) {
          int32_t whole;
          std::memcpy(&whole, value, sizeof whole);
          plain = static_cast<float>(whole);
        } else {
          return;
        }
        (*to->values)[lilv_port_get_index(to->plugin, port)] = plain;
      },
      &target, 0, features_.Features());
  lilv_state_free(state);
  currentProgram_ = index;
  portsPending_ = true;
}

int32_t Lv2Session::CurrentProgram(std::string& name) {
  if (ProgramCount() == 0) return -1;
  name = ProgramName(currentProgram_);
  return currentProgram_;
}

bool Lv2Session::SaveState(bool, std::vector<char>& bytes, std::string& error) {
  if (!NeedInstance()) {
    error = "the plug-in did not instantiate";
    return false;
  }
  HandOverPorts();
  const auto* state = static_cast<const LV2_State_Interface*>(
      lilv_instance_get_extension_data(instance_, LV2_STATE__interface));
  if (!state || !state->save) {
    error = "the plug-in has no state interface";
    return false;
  }
  const std::string key = TextOf(lilv_plugin_get_uri(plugin_)) + kStateKeySuffix;
  StoredState stored{Urid(key.c_str()), Urid(LV2_ATOM__Chunk), &bytes, false};
  const LV2_State_Status status =
      state->save(lilv_instance_get_handle(instance_), StoreCall, &stored,
                  LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, features_.Features());
  if (status != LV2_STATE_SUCCESS || !stored.found) {
    error = "the plug-in stored no " + key + " chunk (status " + std::to_string(status) + ")";
    return false;
  }
  return true;
}

intptr_t Lv2Session::LoadState(bool, const std::vector<char>& bytes) {
  if (!NeedInstance()) return 0;
  const auto* state = static_cast<const LV2_State_Interface*>(
      lilv_instance_get_extension_data(instance_, LV2_STATE__interface));
  if (!state || !state->restore) return 0;
  const std::string key = TextOf(lilv_plugin_get_uri(plugin_)) + kStateKeySuffix;
  OfferedState offered{Urid(key.c_str()), Urid(LV2_ATOM__Chunk), &bytes};
  const LV2_State_Status status =
      state->restore(lilv_instance_get_handle(instance_), RetrieveCall, &offered,
                     LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, features_.Features());
  return status == LV2_STATE_SUCCESS ? 1 : 0;
}
