// ProjectImageView: the effect's editor view without a window, for tests and
// benchmarks that build the real layout. Its images are read from the
// project's img/ folder (the source tree the build came from, or
// QUORVEL_SOURCE_DIR); every prompt and dialog answers "cancelled".
#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/editor_layout.h"
#include "framework/vst2_interface.h"
#include "graphics/png_loader.h"
#include "gui/editor_view.h"

// A host that answers nothing but its version.
inline intptr_t SilentHost(vst2::AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
  return opcode == vst2::audioMasterVersion ? vst2::kVstVersion : 0;
}

class ProjectImageView : public IEditorView {
 public:
  explicit ProjectImageView(IPlugBase* plug) : IEditorView(plug, kEditorWidth, kEditorHeight, 0) {}

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
  Bitmap* LoadImageResource(int, const char* name) override { return LoadProjectImage(name); }

  // The image at `name` (relative to the project's root), decoded; null
  // when it cannot be read.
  static Bitmap* LoadProjectImage(const char* name) {
    const char* source = std::getenv("QUORVEL_SOURCE_DIR");
    const std::string path =
        std::string(source != nullptr ? source : QUORVEL_SOURCE_ROOT) + "/" + name;
    return LoadPngFromFile(path.c_str(), nullptr);
  }
};
