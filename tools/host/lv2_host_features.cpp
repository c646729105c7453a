#include "tools/host/lv2_host_features.h"

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/parameters/parameters.h>

namespace {

// [whichever thread the plug-in maps from: here the host main thread]
LV2_URID MapCall(LV2_URID_Map_Handle handle, const char* uri) {
  return static_cast<Lv2HostFeatures*>(handle)->Map(uri);
}

// [host main thread]
const char* UnmapCall(LV2_URID_Unmap_Handle handle, LV2_URID id) {
  return static_cast<Lv2HostFeatures*>(handle)->Unmap(id);
}

}  // namespace

Lv2HostFeatures::Lv2HostFeatures() {
  map_ = {this, MapCall};
  unmap_ = {this, UnmapCall};
  mapFeature_ = {LV2_URID__map, &map_};
  unmapFeature_ = {LV2_URID__unmap, &unmap_};
  optionsFeature_ = {LV2_OPTIONS__options, options_};
  boundedFeature_ = {LV2_BUF_SIZE__boundedBlockLength, nullptr};
  list_ = {&mapFeature_, &unmapFeature_, &optionsFeature_, &boundedFeature_, nullptr};
  SetProcessing(sampleRate_, blockFrames_);
}

LV2_URID Lv2HostFeatures::Map(const char* uri) {
  if (uri == nullptr) return 0;
  const auto found = ids_.find(uri);
  if (found != ids_.end()) return found->second;
  uris_.emplace_back(uri);
  const LV2_URID id = static_cast<LV2_URID>(uris_.size());
  ids_.emplace(uri, id);
  return id;
}

const char* Lv2HostFeatures::Unmap(LV2_URID id) const {
  return id >= 1 && id <= uris_.size() ? uris_[id - 1].c_str() : nullptr;
}

void Lv2HostFeatures::SetProcessing(double sampleRate, int32_t blockFrames) {
  sampleRate_ = static_cast<float>(sampleRate);
  blockFrames_ = blockFrames;
  const LV2_URID intType = Map(LV2_ATOM__Int);
  options_[0] = {LV2_OPTIONS_INSTANCE, 0,       Map(LV2_BUF_SIZE__maxBlockLength),
                 sizeof blockFrames_,  intType, &blockFrames_};
  options_[1] = {LV2_OPTIONS_INSTANCE, 0,       Map(LV2_BUF_SIZE__nominalBlockLength),
                 sizeof blockFrames_,  intType, &blockFrames_};
  options_[2] = {
      LV2_OPTIONS_INSTANCE, 0,           Map(LV2_PARAMETERS__sampleRate), sizeof sampleRate_,
      Map(LV2_ATOM__Float), &sampleRate_};
  options_[3] = {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr};
}
