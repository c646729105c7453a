// The services an LV2 plug-in or its UI asks its host for at instantiation:
// URIs mapped to numbers and back, the block length and sample rate as
// options, and the promise that blocks stay within that length. One record
// per session; the feature list points into it, so it does not move.
// [host main thread; the plug-in may map from its audio call, which this
// host makes from the same thread]
#pragma once

#include <lv2/core/lv2.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class Lv2HostFeatures {
 public:
  Lv2HostFeatures();
  Lv2HostFeatures(const Lv2HostFeatures&) = delete;
  Lv2HostFeatures& operator=(const Lv2HostFeatures&) = delete;

  LV2_URID Map(const char* uri);
  const char* Unmap(LV2_URID id) const;

  // The options the next instance sees.
  void SetProcessing(double sampleRate, int32_t blockFrames);

  // Null-terminated, for lilv_plugin_instantiate.
  const LV2_Feature* const* Features() const { return list_.data(); }
  const LV2_Feature* MapFeature() const { return &mapFeature_; }
  const LV2_Feature* UnmapFeature() const { return &unmapFeature_; }
  const LV2_Feature* OptionsFeature() const { return &optionsFeature_; }

 private:
  std::map<std::string, LV2_URID> ids_;
  std::vector<std::string> uris_;  // uris_[id - 1]
  LV2_URID_Map map_{};
  LV2_URID_Unmap unmap_{};
  int32_t blockFrames_ = 1024;
  float sampleRate_ = 44100.0f;
  LV2_Options_Option options_[4]{};
  LV2_Feature mapFeature_{}, unmapFeature_{}, optionsFeature_{}, boundedFeature_{};
  std::vector<const LV2_Feature*> list_;
};
