// A full redraw of the effect's editor (every control drawn into the back
// buffer) at each size, and the first draw after a size change, which also
// scales the images down from the 200 % set. Natively there are no fonts, so
// the texts are left out of these figures.
#include <benchmark/benchmark.h>

#include <memory>

#include "engine/editor_layout.h"
#include "engine/gate_plug.h"
#include "gui/editor_scale.h"
#include "gui/editor_view.h"
#include "support/project_image_view.h"

namespace {

struct BenchEditor {
  std::unique_ptr<VSTCLASS> plug = std::make_unique<VSTCLASS>(SilentHost);
  ProjectImageView* view = new ProjectImageView(plug.get());  // owned by the plug-in once attached
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
