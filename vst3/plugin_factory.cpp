#include "vst3/plugin_factory.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <new>

#include "engine/version.h"
#include "framework/no_throw.h"
#include "framework/text_copy.h"
#include "gui/url_open.h"
#include "vst3/com_face.h"
#include "vst3/gate_vst3.h"
#include "vst3/text16.h"

const v3_tuid kGateClassId = V3_ID(0x5176726C, 0x4B656C76, 0x6F77746B, 0x47617465);

namespace {

constexpr const char* kCategory = "Audio Module Class";
constexpr const char* kSubCategories = "Fx|Dynamics";
constexpr const char* kSdkVersion = "VST 3.7.0";
constexpr int32_t kManyInstances = 0x7FFFFFFF;
constexpr int32_t kUnicodeFactory = 0x10;

// Name, vendor and version are the effect's own, from the one definition
// the effect record is built from; the web page is the editor's.
struct FactoryTexts {
  const char* name = QUORVEL_NAME;
  const char* vendor = QUORVEL_VENDOR;
  const char* version = QUORVEL_VERSION_TEXT;
  char url[256] = {};
};

const FactoryTexts& Texts() {
  static const FactoryTexts texts = [] {
    FactoryTexts t;
    std::snprintf(t.url, sizeof t.url, "https://%s", IURLOpen::kWebHost);
    return t;
  }();
  return texts;
}

std::atomic<uint32_t> gReferences{0};

v3_result V3_API Query(void* self, const v3_tuid iid, void** obj) {
  if (!obj) return kInvalidArgument;
  *obj = nullptr;
  if (!SameId(iid, v3_funknown_iid) && !SameId(iid, v3_plugin_factory_iid) &&
      !SameId(iid, v3_plugin_factory_2_iid) && !SameId(iid, v3_plugin_factory_3_iid)) {
    return kNoInterface;
  }
  ++gReferences;
  *obj = self;
  return kResultOk;
}
uint32_t V3_API Ref(void*) { return ++gReferences; }
uint32_t V3_API Unref(void*) { return --gReferences; }

v3_result V3_API GetFactoryInfo(void*, v3_factory_info* info) {
  return Guarded(kInternalError, [&] {
    if (!info) return kInvalidArgument;
    std::memset(info, 0, sizeof *info);
    CopyTextBounded(info->vendor, Texts().vendor, sizeof info->vendor);
    CopyTextBounded(info->url, Texts().url, sizeof info->url);
    info->flags = kUnicodeFactory;
    return kResultOk;
  });
}

int32_t V3_API NumClasses(void*) { return 1; }

v3_result V3_API GetClassInfo(void*, int32_t index, v3_class_info* info) {
  return Guarded(kInternalError, [&] {
    if (!info || index != 0) return kInvalidArgument;
    std::memset(info, 0, sizeof *info);
    std::memcpy(info->class_id, kGateClassId, sizeof(v3_tuid));
    info->cardinality = kManyInstances;
    CopyTextBounded(info->category, kCategory, sizeof info->category);
    CopyTextBounded(info->name, Texts().name, sizeof info->name);
    return kResultOk;
  });
}

v3_result V3_API CreateInstance(void*, const v3_tuid classId, const v3_tuid iid, void** obj) {
  return Guarded(kOutOfMemory, [&] {
    if (!obj) return kInvalidArgument;
    *obj = nullptr;
    if (!SameId(classId, kGateClassId)) return kNoInterface;
    GateVst3* object = GateVst3::Create();
    if (!object) return kOutOfMemory;
    // The temporary reference deletes the object when the host asked for an
    // interface it does not have.
    object->AddRef();
    const v3_result result = object->Query(iid, obj);
    object->Release();
    return result;
  });
}

v3_result V3_API GetClassInfo2(void*, int32_t index, v3_class_info_2* info) {
  return Guarded(kInternalError, [&] {
    if (!info || index != 0) return kInvalidArgument;
    std::memset(info, 0, sizeof *info);
    std::memcpy(info->class_id, kGateClassId, sizeof(v3_tuid));
    info->cardinality = kManyInstances;
    CopyTextBounded(info->category, kCategory, sizeof info->category);
    CopyTextBounded(info->name, Texts().name, sizeof info->name);
    CopyTextBounded(info->sub_categories, kSubCategories, sizeof info->sub_categories);
    CopyTextBounded(info->vendor, Texts().vendor, sizeof info->vendor);
    CopyTextBounded(info->version, Texts().version, sizeof info->version);
    CopyTextBounded(info->sdk_version, kSdkVersion, sizeof info->sdk_version);
    return kResultOk;
  });
}

v3_result V3_API GetClassInfoUtf16(void*, int32_t index, v3_class_info_3* info) {
  return Guarded(kInternalError, [&] {
    if (!info || index != 0) return kInvalidArgument;
    std::memset(info, 0, sizeof *info);
    std::memcpy(info->class_id, kGateClassId, sizeof(v3_tuid));
    info->cardinality = kManyInstances;
    CopyTextBounded(info->category, kCategory, sizeof info->category);
    CopyToText16(info->name, 64, Texts().name);
    CopyTextBounded(info->sub_categories, kSubCategories, sizeof info->sub_categories);
    CopyToText16(info->vendor, 64, Texts().vendor);
    CopyToText16(info->version, 64, Texts().version);
    CopyToText16(info->sdk_version, 64, kSdkVersion);
    return kResultOk;
  });
}

v3_result V3_API SetHostContext(void*, v3_funknown**) { return kResultOk; }

const v3_plugin_factory_cpp kFactoryVtable = {
    {Query, Ref, Unref},
    {GetFactoryInfo, NumClasses, GetClassInfo, CreateInstance},
    {GetClassInfo2},
    {GetClassInfoUtf16, SetHostContext}};

struct FactoryObject {
  const v3_plugin_factory_cpp* vtable;
};
FactoryObject gFactory = {&kFactoryVtable};

}  // namespace

void* AcquirePluginFactory() {
  ++gReferences;
  return &gFactory;
}

uint32_t PluginFactoryReferences() { return gReferences.load(); }
