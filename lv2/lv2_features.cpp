#include "lv2/lv2_features.h"

#include <cstring>

namespace {

const LV2_Feature* Find(const LV2_Feature* const* features, const char* uri) {
  for (int i = 0; features && features[i]; ++i) {
    if (features[i]->URI && std::strcmp(features[i]->URI, uri) == 0) return features[i];
  }
  return nullptr;
}

}  // namespace

void* Lv2FeatureData(const LV2_Feature* const* features, const char* uri) {
  const LV2_Feature* feature = Find(features, uri);
  return feature ? feature->data : nullptr;
}

bool Lv2HasFeature(const LV2_Feature* const* features, const char* uri) {
  return Find(features, uri) != nullptr;
}
