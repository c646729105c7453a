#include "tools/host/editor_steps.h"

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>

namespace {

using Words = std::vector<std::string>;

constexpr int kMaxCoordinate = 10000;
constexpr int kMaxEditorSide = 4096;

bool ParseNumber(const std::string& text, long limit, int& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  const long parsed = std::strtol(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || parsed < -limit || parsed > limit) return false;
  value = static_cast<int>(parsed);
  return true;
}

bool ParseNumbers(const Words& w, size_t first, size_t count, long limit, int* values) {
  if (w.size() < first + count) return false;
  for (size_t i = 0; i < count; ++i) {
    if (!ParseNumber(w[first + i], limit, values[i])) return false;
  }
  return true;
}

bool Fail(std::string& error, const std::string& reason) {
  error = reason;
  return false;
}

bool Open(PluginSession& session, HostEditor& editor, std::string& error) {
  if (editor.IsOpen()) return Fail(error, "the editor is already open");
  int width = 0, height = 0;
  if (!session.EditorSize(width, height, error)) return false;
  if (width <= 0 || height <= 0 || width > kMaxEditorSide || height > kMaxEditorSide) {
    return Fail(error, "the editor rectangle is empty or too large");
  }
  intptr_t result = 0;
  if (!editor.Open(session, width, height, result, error)) return false;
  std::printf("editor open result=%" PRIdPTR "\n", result);
  return true;
}

}  // namespace

bool RunEditorStep(PluginSession& session, HostEditor& editor, const Words& w, std::string& error) {
  const std::string action = w.size() > 1 ? w[1] : std::string();
  const size_t arguments = w.size() > 2 ? w.size() - 2 : 0;
  int n[4];
  if (action == "open" && arguments == 0) return Open(session, editor, error);
  if (action == "close" && arguments == 0) {
    if (!editor.IsOpen()) return Fail(error, "no editor is open");
    std::printf("editor close result=%" PRIdPTR "\n", editor.Close(session));
    return true;
  }
  if (action != "ticks" && action != "click" && action != "drag" && action != "wheel" &&
      action != "capture" && action != "scale") {
    return Fail(error, "editor takes open, click, drag, wheel, ticks, capture, scale or close");
  }
  if (!editor.IsOpen()) return Fail(error, "no editor is open (use editor open first)");
  if (action == "ticks") {
    if (arguments != 1 || !ParseNumber(w[2], 100000, n[0]) || n[0] < 0) {
      return Fail(error, "editor ticks takes a count");
    }
    editor.Ticks(n[0]);
    return true;
  }
  if (action == "click") {
    const bool right = arguments == 3 && w[4] == "right";
    if ((arguments != 2 && !right) || !ParseNumbers(w, 2, 2, kMaxCoordinate, n)) {
      return Fail(error, "editor click takes X Y [right]");
    }
    return editor.Click(n[0], n[1], right, error);
  }
  if (action == "drag") {
    if (arguments != 4 || !ParseNumbers(w, 2, 4, kMaxCoordinate, n)) {
      return Fail(error, "editor drag takes X1 Y1 X2 Y2");
    }
    return editor.Drag(n[0], n[1], n[2], n[3], error);
  }
  if (action == "wheel") {
    if (arguments != 3 || !ParseNumbers(w, 2, 3, kMaxCoordinate, n) || n[2] == 0 || n[2] < -100 ||
        n[2] > 100) {
      return Fail(error, "editor wheel takes X Y NOTCHES (1 to 100 either way)");
    }
    return editor.Wheel(n[0], n[1], n[2], error);
  }
  if (action == "scale") {
    char* end = nullptr;
    const double factor = arguments == 1 ? std::strtod(w[2].c_str(), &end) : 0.0;
    if (arguments != 1 || *end != '\0' || !(factor >= 0.5 && factor <= 4.0)) {
      return Fail(error, "editor scale takes a factor from 0.5 to 4");
    }
    const intptr_t result = session.SetEditorScale(static_cast<float>(factor));
    int width = 0, height = 0;
    if (!editor.HostWindowSize(width, height)) return Fail(error, "the host window has no size");
    std::printf("editor scale %s result=%" PRIdPTR " window=%d,%d\n", w[2].c_str(), result, width,
                height);
    return true;
  }
  if (arguments != 1) return Fail(error, "editor capture takes a file name");
  int width = 0, height = 0;
  if (!editor.Capture(w[2], width, height, error)) return false;
  std::printf("editor capture %s width=%d height=%d\n", w[2].c_str(), width, height);
  return true;
}
