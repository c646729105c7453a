// A full redraw of the effect's editor (every control drawn into the back
// buffer) at each size, and the first draw after a size change, which also
// scales the images down from the 200 % set. Natively there are no fonts, so
// the texts are left out of these figures.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "engine/editor_layout.h"
#include "engine/gate_plug.h"
#include "framework/vst2_interface.h"
#include "graphics/png_loader.h"
#include "gui/editor_scale.h"
#include "gui/editor_view.h"

namespace {

intptr_t SilentHost(vst2::AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
  return opcode == vst2::audioMasterVersion ? vst2::kVstVersion : 0;
}

// A view with no window; images come from the project's img/ folder.
class BenchView : public IEditorView {
 public:
  explicit BenchView(IPlugBase* plug) : IEditorView(plug, kEditorWidth, kEditorHeight, 0) {}
  bool PaintRect(const Rect&) override { return true; }
  bool PromptTextEdit(IControl*) override { return false; }
  bool PromptParamEdit(IControl*, IPlugParam*, bool) override { return false; }
  void GetHostDirectory(std::string* result) override { result->clear(); }
  void GetModuleDirectory(std::string* result) override { result->clear(); }
  void PromptFile(std::string* result, int, const char*, const char*) override { result->clear(); }
  bool PromptColour(Colour*, const char*) override { return false; }
  bool OpenUrl(const char*, const char*, const char*, const char*) override { return false; }
  void SetDeferredTicks(int) override {}
  void ClearDeferredTicks() override {}
  void* GetEditorHwnd() override { return nullptr; }
  void SyncTooltips() override {}
  Bitmap* LoadImageResource(int, const char* name) override {
    return LoadPngFromFile((std::string(QUORVEL_SOURCE_ROOT) + "/" + name).c_str(), nullptr);
  }
};

struct BenchEditor {
  std::unique_ptr<VSTCLASS> plug = std::make_unique<VSTCLASS>(SilentHost);
  BenchView* view = new BenchView(plug.get());  // owned by the plug-in once attached
  BenchEditor() { AttachEditorLayout(plug.get(), plug.get(), view); }
};

void BM_EditorFullRedraw(benchmark::State& state) {
  BenchEditor editor;
  const int percent = static_cast<int>(state.range(0));
  editor.view->SetSizePercent(percent);
  const Rect all = EditorRectAt(percent);
  editor.view->Draw(all);  // images for the size made once, outside the loop
  for (auto _ : state) {
    editor.view->SetAllControlsDirty();
    editor.view->Draw(all);
  }
}
BENCHMARK(BM_EditorFullRedraw)
    ->ArgName("percent")
    ->Arg(100)
    ->Arg(125)
    ->Arg(150)
    ->Arg(175)
    ->Arg(200)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
