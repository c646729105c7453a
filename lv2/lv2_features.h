// Looking up a host feature by its URI in the null-terminated list the
// host passes. [any host thread]
#pragma once

#include <lv2/core/lv2.h>

// The feature's data, or null when the host did not offer it.
void* Lv2FeatureData(const LV2_Feature* const* features, const char* uri);
// Whether the host offered it at all (some features carry no data).
bool Lv2HasFeature(const LV2_Feature* const* features, const char* uri);
