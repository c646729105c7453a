// vst3_factory_info BUNDLE: loads the bundle's binary as a host does, asks
// its factory what a host would list and prints it, one `key=value` line
// each, for tests/module/vst3_moduleinfo.sh to hold the bundle's
// moduleinfo.json against. Class ids print in their text form (32 upper-case
// hex digits), decoded from the bytes in this platform's layout.
// [main thread]
#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "tools/host/plugin_module.h"
#include "vst3/vst3_api.h"

namespace {

using GetFactoryProc = void* (*)();
using ModuleEntryProc = bool (*)(void*);
using ModuleCallProc = bool (*)();

// Windows ids are COM GUIDs: a 32-bit, two 16-bit little-endian words, then
// eight bytes; elsewhere the sixteen bytes run in text order.
void PrintClassId(const char* key, const v3_tuid id) {
  const auto* b = reinterpret_cast<const unsigned char*>(id);
  std::printf("%s=", key);
#if defined(_WIN32)
  std::printf("%02X%02X%02X%02X%02X%02X%02X%02X", b[3], b[2], b[1], b[0], b[5], b[4], b[7], b[6]);
  for (int i = 8; i < 16; ++i) std::printf("%02X", b[i]);
#else
  for (int i = 0; i < 16; ++i) std::printf("%02X", b[i]);
#endif
  std::printf("\n");
}

// A fixed-size text field, up to its first zero.
void PrintText(const char* key, const char* text, size_t size) {
  std::printf("%s=%.*s\n", key, static_cast<int>(strnlen(text, size)), text);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: vst3_factory_info BUNDLE\n");
    return 2;
  }
  PluginModule module;
  const std::string binary = Vst3BundleBinary(argv[1]);
  if (!module.LoadLibraryOnly(binary)) {
    std::fprintf(stderr, "cannot load %s: %s\n", binary.c_str(), module.error().c_str());
    return 1;
  }
  // Linux binaries have the module entry with an argument, Windows ones not.
  auto entry = reinterpret_cast<ModuleEntryProc>(module.Symbol("ModuleEntry"));
  auto init = reinterpret_cast<ModuleCallProc>(module.Symbol("InitDll"));
  if ((entry && !entry(nullptr)) || (init && !init())) {
    std::fprintf(stderr, "the module's entry failed\n");
    return 1;
  }
  auto getFactory = reinterpret_cast<GetFactoryProc>(module.Symbol("GetPluginFactory"));
  auto** factory = getFactory ? static_cast<v3_plugin_factory**>(getFactory()) : nullptr;
  if (!factory) {
    std::fprintf(stderr, "no factory\n");
    return 1;
  }
  v3_factory_info info = {};
  if (v3_cpp_obj(factory)->get_factory_info(factory, &info) != kResultOk) return 1;
  PrintText("factory.vendor", info.vendor, sizeof info.vendor);
  PrintText("factory.url", info.url, sizeof info.url);
  PrintText("factory.email", info.email, sizeof info.email);
  std::printf("factory.flags=%" PRId32 "\n", info.flags);

  v3_plugin_factory_2** factory2 = nullptr;
  if (v3_cpp_obj_query_interface(factory, v3_plugin_factory_2_iid, &factory2) != kResultOk) {
    std::fprintf(stderr, "the factory has no class info 2\n");
    return 1;
  }
  const int32_t classes = v3_cpp_obj(factory)->num_classes(factory);
  std::printf("classes=%" PRId32 "\n", classes);
  for (int32_t i = 0; i < classes; ++i) {
    v3_class_info_2 c = {};
    if (v3_cpp_obj(factory2)->get_class_info_2(factory2, i, &c) != kResultOk) return 1;
    char key[64];
    auto field = [&](const char* name) {
      std::snprintf(key, sizeof key, "class%" PRId32 ".%s", i, name);
      return key;
    };
    PrintClassId(field("cid"), c.class_id);
    PrintText(field("category"), c.category, sizeof c.category);
    PrintText(field("name"), c.name, sizeof c.name);
    PrintText(field("vendor"), c.vendor, sizeof c.vendor);
    PrintText(field("version"), c.version, sizeof c.version);
    PrintText(field("sdk_version"), c.sdk_version, sizeof c.sdk_version);
    PrintText(field("sub_categories"), c.sub_categories, sizeof c.sub_categories);
    std::printf("%s=%" PRIu32 "\n", field("class_flags"), c.class_flags);
    std::printf("%s=%" PRId32 "\n", field("cardinality"), c.cardinality);
  }
  v3_cpp_obj_unref(factory2);
  v3_cpp_obj_unref(factory);
  auto exit = reinterpret_cast<ModuleCallProc>(module.Symbol("ModuleExit"));
  auto exitDll = reinterpret_cast<ModuleCallProc>(module.Symbol("ExitDll"));
  if ((exit && !exit()) || (exitDll && !exitDll())) return 1;
  return 0;
}
