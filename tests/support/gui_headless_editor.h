// HeadlessEditor: the platform half of the editor view for tests. It has no
// window; it serves test-made images, records what the view asks of the
// platform (paints, prompts, web pages, deferred ticks) and what the host asks
// of the window (open, close, wheel), and reads back pixels of the back buffer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gui/editor_view.h"

class HeadlessEditor : public IEditorView {
 public:
  HeadlessEditor(IPlugBase* plug, int width, int height, int frameRate = 0)
      : IEditorView(plug, width, height, frameRate) {}

  bool PaintRect(const Rect& rect) override;
  bool PromptTextEdit(IControl* control) override;
  bool PromptParamEdit(IControl* control, IPlugParam* param, bool centred) override;
  void GetHostDirectory(std::string* result) override { result->clear(); }
  void GetModuleDirectory(std::string* result) override { result->clear(); }
  void PromptFile(std::string* result, int, const char*, const char*) override { result->clear(); }
  bool PromptColour(Colour*, const char*) override { return false; }
  bool OpenUrl(const char* url, const char* title, const char* confirm, const char* error) override;
  // A host wheel step: recorded and answered with wheelAnswer.
  int HostMouseWheel(float delta) override {
    hostWheelDeltas.push_back(delta);
    return wheelAnswer;
  }
  void SetDeferredTicks(int ticks) override { deferredTicks = ticks; }
  void ClearDeferredTicks() override { deferredTicks = 0; }
  // Opens a pretend window when openSucceeds; the parent is recorded.
  bool OpenEditorWindow(void* parentWindow) override {
    openParents.push_back(parentWindow);
    return openSucceeds;
  }
  void CloseEditorWindow() override { ++closeCount; }
  void* GetEditorHwnd() override { return nullptr; }
  void SyncTooltips() override {}
  Bitmap* LoadImageResource(int id, const char* name) override;

  // The back buffer's pixel at (x, y).
  uint32_t PixelAt(int x, int y) const;
  // Fills the whole back buffer with one word.
  void ClearBackBuffer(uint32_t word);

  std::vector<Rect> painted;
  std::vector<std::string> openedUrls;
  std::string lastUrlError;
  std::vector<IControl*> textPrompts;
  std::vector<IControl*> paramPrompts;
  int deferredTicks = 0;
  std::vector<float> hostWheelDeltas;
  int wheelAnswer = 1;
  std::vector<void*> openParents;
  bool openSucceeds = true;
  int closeCount = 0;
};
