// The LV2 session's editor: the plug-in's X11 UI loaded from its own binary,
// made inside the host's window (ui:parent) with direct access to the
// running instance, its edits written back to the control ports, its size
// requests passed to the host's window, and its idle call made from the
// host's loop. [host main thread]
#include <dlfcn.h>
#include <lilv/lilv.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/ui/ui.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "tools/host/host_services.h"
#include "tools/host/lv2_session.h"

namespace {

// The plug-in's X11 UI, or null.
const LilvUI* FindX11Ui(LilvWorld* world, LilvUIs* uis) {
  LilvNode* x11 = lilv_new_uri(world, LV2_UI__X11UI);
  const LilvUI* found = nullptr;
  LILV_FOREACH(uis, i, uis) {
    const LilvUI* ui = lilv_uis_get(uis, i);
    if (!found && lilv_ui_is_a(ui, x11)) found = ui;
  }
  lilv_node_free(x11);
  return found;
}

std::string PathOf(const LilvNode* fileUri) {
  char* path = lilv_file_uri_parse(lilv_node_as_uri(fileUri), nullptr);
  std::string text = path ? path : "";
  lilv_free(path);
  return text;
}

// The UI's edits. [host main thread, from the UI's event handling]
void WriteCall(LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t protocol,
               const void* buffer) {
  static_cast<Lv2Session*>(controller)->UiWrite(port, size, protocol, buffer);
}

// The UI's size requests. [host main thread, from the UI]
int ResizeCall(LV2UI_Feature_Handle handle, int width, int height) {
  return static_cast<Lv2Session*>(handle)->UiResize(width, height);
}

}  // namespace

bool Lv2Session::EditorSize(int& width, int& height, std::string& error) {
  LilvUIs* uis = lilv_plugin_get_uis(plugin_);
  const bool hasX11 = uis && FindX11Ui(world_, uis);
  lilv_uis_free(uis);
  if (!hasX11) {
    std::printf("editor none\n");
    error = "the plug-in has no X11 UI";
    return false;
  }
  // An LV2 UI names its size once it exists (through ui:resize): until the
  // first one has, the host window starts small and follows.
  width = uiWidth_ > 0 ? uiWidth_ : 1;
  height = uiHeight_ > 0 ? uiHeight_ : 1;
  return true;
}

intptr_t Lv2Session::AttachEditor(void* parent) {
  if (uiHandle_ || !NeedInstance()) return 0;
  HandOverPorts();  // the UI reads the instance itself
  LilvUIs* uis = lilv_plugin_get_uis(plugin_);
  const LilvUI* ui = uis ? FindX11Ui(world_, uis) : nullptr;
  if (!ui) {
    lilv_uis_free(uis);
    return 0;
  }
  const std::string uri = lilv_node_as_uri(lilv_ui_get_uri(ui));
  const std::string binary = PathOf(lilv_ui_get_binary_uri(ui));
  const std::string bundle = PathOf(lilv_ui_get_bundle_uri(ui));
  const std::string pluginUri = lilv_node_as_uri(lilv_plugin_get_uri(plugin_));
  lilv_uis_free(uis);

  uiLibrary_ = dlopen(binary.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!uiLibrary_) {
    std::fprintf(stderr, "warning: cannot load %s: %s\n", binary.c_str(), dlerror());
    return 0;
  }
  auto entry = reinterpret_cast<LV2UI_DescriptorFunction>(dlsym(uiLibrary_, "lv2ui_descriptor"));
  for (uint32_t i = 0; entry && !uiDescriptor_; ++i) {
    const LV2UI_Descriptor* descriptor = entry(i);
    if (!descriptor) break;
    if (descriptor->URI && uri == descriptor->URI) uiDescriptor_ = descriptor;
  }
  if (!uiDescriptor_) {
    std::fprintf(stderr, "warning: %s has no UI %s\n", binary.c_str(), uri.c_str());
    ReleaseUi();
    return 0;
  }
  uiResize_ = {this, ResizeCall};
  const LV2_Feature parentFeature = {LV2_UI__parent, parent};
  const LV2_Feature instanceFeature = {LV2_INSTANCE_ACCESS_URI,
                                       lilv_instance_get_handle(instance_)};
  const LV2_Feature resizeFeature = {LV2_UI__resize, &uiResize_};
  const LV2_Feature* features[] = {
      &parentFeature,           &instanceFeature,           &resizeFeature, features_.MapFeature(),
      features_.UnmapFeature(), features_.OptionsFeature(), nullptr};
  LV2UI_Widget widget = nullptr;
  uiHandle_ = uiDescriptor_->instantiate(uiDescriptor_, pluginUri.c_str(), bundle.c_str(),
                                         WriteCall, this, &widget, features);
  if (!uiHandle_) {
    ReleaseUi();
    return 0;
  }
  if (uiDescriptor_->extension_data) {
    const auto* idle = static_cast<const LV2UI_Idle_Interface*>(
        uiDescriptor_->extension_data(LV2_UI__idleInterface));
    uiIdle_ = idle ? idle->idle : nullptr;
  }
  // The UI starts from the ports' current values, as a host shows them.
  if (uiDescriptor_->port_event) {
    for (const ControlPort& control : controls_) {
      uiDescriptor_->port_event(uiHandle_, control.index, sizeof(float), 0,
                                &portValues_[control.index]);
    }
  }
  return 1;
}

intptr_t Lv2Session::DetachEditor() {
  if (!uiHandle_) return 0;
  ReleaseUi();
  return 1;
}

void Lv2Session::EditorIdle() {
  if (uiHandle_ && uiIdle_ && uiIdle_(uiHandle_) != 0) {
    std::fprintf(stderr, "warning: the UI asked to be closed\n");
  }
}

void Lv2Session::ReleaseUi() {
  if (uiHandle_ && uiDescriptor_ && uiDescriptor_->cleanup) uiDescriptor_->cleanup(uiHandle_);
  uiHandle_ = nullptr;
  uiDescriptor_ = nullptr;
  uiIdle_ = nullptr;
  if (uiLibrary_) dlclose(uiLibrary_);
  uiLibrary_ = nullptr;
}

void Lv2Session::UiWrite(uint32_t port, uint32_t size, uint32_t protocol, const void* buffer) {
  FILE* log = Host().log;
  const bool control =
      protocol == 0 && size == sizeof(float) && buffer != nullptr && port < portValues_.size();
  if (!control) {
    if (log)
      std::fprintf(log, "ui write port=%u size=%u protocol=%u ignored\n", port, size, protocol);
    return;
  }
  float value;
  std::memcpy(&value, buffer, sizeof value);
  portValues_[port] = value;
  portsPending_ = true;
  if (log) std::fprintf(log, "ui write port=%u value=%g\n", port, static_cast<double>(value));
}

int Lv2Session::UiResize(int width, int height) {
  uiWidth_ = width;
  uiHeight_ = height;
  return resizeWindow_ && resizeWindow_(width, height) ? 0 : 1;
}
