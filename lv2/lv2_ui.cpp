// The UI: the instance's own editor embedded in the host's X11 window. The
// UI reaches the plug-in's instance through the host's instance access,
// opens the editor inside the host's parent window and registers itself with
// the plug-in side, so that the editor's edits reach the host as port writes
// (with touch, when the host offers it) and its size changes as resize
// requests. The host's idle calls drive the editor. Port events from the
// host need no answer: the plug-in applies them, and the editor follows the
// instance.
#include <cstring>
#include <new>

#include <lv2/instance-access/instance-access.h>
#include <lv2/ui/ui.h>

#include "gui/editor_view.h"
#include "instance/effect_instance.h"
#include "lv2/lv2_descriptor.h"
#include "lv2/lv2_features.h"
#include "lv2/lv2_gate.h"
#include "lv2/lv2_ports.h"
#include "lv2/lv2_ui_link.h"
#include "framework/no_throw.h"

namespace {

class Lv2GateUi final : public Lv2UiLink {
 public:
  Lv2GateUi(Lv2Gate* gate, LV2UI_Write_Function write, LV2UI_Controller controller,
            const LV2UI_Resize* resize, const LV2UI_Touch* touch)
      : gate_(gate), write_(write), controller_(controller), resize_(resize), touch_(touch) {}

  // Opens the editor inside `parent` and tells the host its size; false when
  // the editor cannot open. [host main thread]
  bool Open(void* parent, LV2UI_Widget* widget) {
    gate_->AttachUi(this);
    EffectInstance* instance = gate_->Instance();
    if (!instance->OpenEditor(parent)) {
      gate_->DetachUi(this);
      return false;
    }
    open_ = true;
    IEditorView* editor = instance->Editor();
    void* window = editor ? editor->GetEditorHwnd() : nullptr;
    *widget = window ? window : parent;
    if (editor) RequestSize(editor->PixelWidth(), editor->PixelHeight());
    return true;
  }

  // [host main thread]
  ~Lv2GateUi() override {
    gate_->DetachUi(this);
    if (open_) gate_->Instance()->CloseEditor();
  }

  // [host main thread]
  int Idle() {
    if (open_) gate_->Instance()->EditorIdle();
    return 0;
  }

  void WritePort(uint32_t port, float value) override {
    if (write_) write_(controller_, port, sizeof value, 0, &value);
  }
  void TouchPort(uint32_t port, bool grabbed) override {
    if (touch_ && touch_->touch) touch_->touch(touch_->handle, port, grabbed);
  }
  bool RequestSize(int32_t width, int32_t height) override {
    return resize_ && resize_->ui_resize && resize_->ui_resize(resize_->handle, width, height) == 0;
  }

 private:
  Lv2Gate* gate_;
  LV2UI_Write_Function write_;
  LV2UI_Controller controller_;
  const LV2UI_Resize* resize_;
  const LV2UI_Touch* touch_;
  bool open_ = false;
};

Lv2GateUi* Ui(LV2UI_Handle handle) { return static_cast<Lv2GateUi*>(handle); }

// [host main thread]
LV2UI_Handle Instantiate(const LV2UI_Descriptor* /*descriptor*/, const char* pluginUri,
                         const char* /*bundlePath*/, LV2UI_Write_Function write,
                         LV2UI_Controller controller, LV2UI_Widget* widget,
                         const LV2_Feature* const* features) {
  return Guarded<LV2UI_Handle>(nullptr, [&]() -> LV2UI_Handle {
    if (!widget || (pluginUri && std::strcmp(pluginUri, kLv2PluginUri) != 0)) return nullptr;
    void* parent = Lv2FeatureData(features, LV2_UI__parent);
    auto* gate = static_cast<Lv2Gate*>(Lv2FeatureData(features, LV2_INSTANCE_ACCESS_URI));
    if (!parent || !gate) return nullptr;
    auto* ui = new (std::nothrow)
        Lv2GateUi(gate, write, controller,
                  static_cast<const LV2UI_Resize*>(Lv2FeatureData(features, LV2_UI__resize)),
                  static_cast<const LV2UI_Touch*>(Lv2FeatureData(features, LV2_UI__touch)));
    if (!ui) return nullptr;
    if (!Guarded(false, [&] { return ui->Open(parent, widget); })) {
      delete ui;
      return nullptr;
    }
    return ui;
  });
}

// [host main thread]
void Cleanup(LV2UI_Handle handle) {
  Guarded(0, [&] {
    delete Ui(handle);
    return 0;
  });
}

// [host main thread]
void PortEvent(LV2UI_Handle, uint32_t, uint32_t, uint32_t, const void*) {}

// [host main thread]
int Idle(LV2UI_Handle handle) {
  return Guarded(0, [&] { return Ui(handle)->Idle(); });
}

const LV2UI_Idle_Interface kIdleInterface = {Idle};

// [any thread]
const void* ExtensionData(const char* uri) {
  if (uri && std::strcmp(uri, LV2_UI__idleInterface) == 0) return &kIdleInterface;
  return nullptr;
}

const LV2UI_Descriptor kUiDescriptor = {kLv2UiUri, Instantiate, Cleanup, PortEvent, ExtensionData};

}  // namespace

const LV2UI_Descriptor* Lv2GateUiDescriptor() { return &kUiDescriptor; }
