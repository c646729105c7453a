// Gestures as scripts of window messages, and the three views of the pattern
// they must leave in agreement: what the engine plays (StepPattern), what the
// host holds in parameters 10-16 (decoded here from getParameter), and what
// the bars draw (fill widths read from the back buffer). Shared by the
// gesture cases and the randomised editor test.
#pragma once

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "editor_fixture.h"
#include "gui/editor_scale.h"
#include "gui/image_scaling.h"
#include "gui/text_control.h"
#include "support/gesture_balance.h"

namespace editor_test {

struct Step {
  enum Kind {
    kDown,  // left button down at (x, y)
    kUp,    // left button up
    kRightDown,
    kRightUp,
    kMove,          // pointer moved with the left button held
    kDoubleClick,   // the second press of a double click
    kWheel,         // n wheel units (120 a notch) with the pointer at (x, y)
    kTicks,         // n timer ticks
    kBlock,         // one audio block
    kStealCapture,  // another window takes the mouse
    kCancelMode,    // the system cancels the mouse mode
    kReopen,        // the host closes the editor and opens it again
    kHostSet,       // the host sets parameter x to n in its own units
  };
  Kind kind;
  int x = 0;
  int y = 0;
  int n = 0;
};

using Script = std::vector<Step>;

inline Script Click(int x, int y) { return {{Step::kDown, x, y}, {Step::kUp, x, y}}; }
// What Windows sends for a fast double click with a window class that takes them.
inline Script DoubleClick(int x, int y) {
  return {{Step::kDown, x, y}, {Step::kUp, x, y}, {Step::kDoubleClick, x, y}, {Step::kUp, x, y}};
}
inline Script Wheel(int x, int y, int units) { return {{Step::kWheel, x, y, units}}; }
inline Script Then(Script a, const Script& b) {
  for (const Step& step : b) a.push_back(step);  // (insert trips a GCC 12 bounds warning)
  return a;
}

inline std::string Describe(const Script& script) {
  static const char* const names[] = {"down",   "up",     "rdown",  "rup",   "move",
                                      "dbl",    "wheel",  "ticks",  "block", "steal",
                                      "cancel", "reopen", "hostset"};
  std::string text;
  for (const Step& step : script) {
    char item[64];
    std::snprintf(item, sizeof(item), "%s(%d,%d,%d) ", names[step.kind], step.x, step.y, step.n);
    text += item;
  }
  return text;
}

// Pattern entry k's bar, as the layout places it: step columns on a 35-pixel
// pitch from x 30, the time bar 10 pixels tall above an 8-pixel volume bar.
inline Rect BarRect(int k) {
  const int step = k % 32;
  const int x = 30 + 35 * (step % 16);
  const int y = 221 + 34 * (step / 16);
  return k < 32 ? Rect{x, y - 11, x + 34, y - 1} : Rect{x, y, x + 34, y + 8};
}

// The seven words as the host reads them, decoded digit by digit: base 5,
// ten entries a word (four in the last), first entry most significant.
inline std::vector<int> PatternTheHostSees(vst2::AEffect* effect) {
  std::vector<int> pattern;
  for (int g = 0; g < 7; ++g) {
    const int digits = g < 6 ? 10 : 4;
    const double largest = g < 6 ? 9765624.0 : 624.0;  // 5^10 - 1, 5^4 - 1
    int64_t word = std::llround(effect->getParameter(effect, 10 + g) * largest);
    std::vector<int> entries(digits);
    for (int d = digits - 1; d >= 0; --d) {
      entries[d] = static_cast<int>(word % 5);
      word /= 5;
    }
    if (word != 0) entries.assign(digits, -1);  // more digits than entries
    pattern.insert(pattern.end(), entries.begin(), entries.end());
  }
  return pattern;
}

// One block of silence through the host's float callback.
inline void RunAudioBlock(vst2::AEffect* effect) {
  std::vector<float> left(64, 0.0f), right(64, 0.0f), outLeft(64), outRight(64);
  float* inputs[] = {left.data(), right.data()};
  float* outputs[] = {outLeft.data(), outRight.data()};
  effect->processReplacing(effect, inputs, outputs, 64);
}

// An opened, playing effect with its editor drawn, driven by scripts.
class GestureEditor : public OpenEditor {
 protected:
  // Ticks after a gesture: the wheel's deferred end (12) and two passes.
  static constexpr int kIdleTicks = 16;

  void SetUp() override {
    OpenEditor::SetUp();
    background_ = Image(100);
    ASSERT_NE(background_, nullptr);
    Start();
  }

  // A new instance in the same host window, as a host loading the effect anew.
  void FreshInstance() {
    editor_->CloseEditorWindow();
    plug_ = std::make_unique<VSTCLASS>(RecordingHost);
    editor_ = dynamic_cast<IEditorWindow*>(plug_->Editor());
    ASSERT_TRUE(editor_->OpenEditorWindow(host_));
    window_ = editor_->Window();
    Start();
  }

  void Start() {
    OpenEffect();
    time_ = {};
    time_.sampleRate = 44100.0;
    time_.tempo = 120.0;
    time_.flags = vst2::kVstTempoValid | vst2::kVstTransportPlaying;
    HostTime() = &time_;
    RunAudioBlock(plug_->Effect());
    Tick(2);
    HostLog().clear();
  }

  // Draws the editor at `percent` from now on, new instances and reopened
  // windows too (the user's choice, as the size menu stores it); gestures
  // keep their 100 % coordinates and are sent at the scaled places.
  void UseSize(int percent) {
    size_ = percent;
    ASSERT_TRUE(SaveEditorSizeSetting(percent));
    editor_->ApplyPreferredSize();
    ASSERT_EQ(editor_->SizePercent(), percent);
    background_ = SizedBackground(percent);
    ASSERT_NE(background_, nullptr);
    Tick(2);
    HostLog().clear();
  }

  // The background as the editor draws it at `percent`.
  static std::unique_ptr<Bitmap> SizedBackground(int percent) {
    if (percent == 100 || percent == 200) return Image(percent);
    ImageScaling grid;
    grid.kind = ImageScaling::kAnchored;
    return std::unique_ptr<Bitmap>(ScaleLargeImage(Image(200).get(), 620, 285, grid, percent));
  }

  // A 100 % coordinate at the editor's size: the first window pixel of it.
  int Px(int v) const { return ScaleCoordinate(v, size_); }

  void Run(const Step& step) {
    const LPARAM at = Point(Px(step.x), Px(step.y));
    switch (step.kind) {
      case Step::kDown:
        SendMessageA(window_, WM_LBUTTONDOWN, MK_LBUTTON, at);
        break;
      case Step::kUp:
        SendMessageA(window_, WM_LBUTTONUP, 0, at);
        break;
      case Step::kRightDown:
        SendMessageA(window_, WM_RBUTTONDOWN, MK_RBUTTON, at);
        break;
      case Step::kRightUp:
        SendMessageA(window_, WM_RBUTTONUP, 0, at);
        break;
      case Step::kMove:
        SendMessageA(window_, WM_MOUSEMOVE, MK_LBUTTON, at);
        break;
      case Step::kDoubleClick:
        SendMessageA(window_, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        break;
      case Step::kWheel: {
        RECT screen = {};  // the wheel reports screen coordinates
        GetWindowRect(window_, &screen);
        SendMessageA(window_, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(step.n)),
                     Point(screen.left + Px(step.x), screen.top + Px(step.y)));
        break;
      }
      case Step::kTicks:
        Tick(step.n);
        break;
      case Step::kBlock:
        RunAudioBlock(plug_->Effect());
        time_.samplePos += 64;
        break;
      case Step::kStealCapture:
        SetCapture(host_);
        ReleaseCapture();
        break;
      case Step::kCancelMode:
        SendMessageA(window_, WM_CANCELMODE, 0, 0);
        break;
      case Step::kReopen:
        editor_->CloseEditorWindow();
        editor_->OpenEditorWindow(host_);
        window_ = editor_->Window();
        break;
      case Step::kHostSet:
        SetFromHost(step.x, step.n);
        break;
    }
  }

  void Run(const Script& script) {
    for (const Step& step : script) Run(step);
  }

  // Ends an open popup, lets an audio block pack the pattern, and ticks idle.
  void Settle() {
    if (editor_->Popup() != nullptr)
      Run(Script{{Step::kRightDown, 5, 280}, {Step::kRightUp, 5, 280}});
    Run(Step{Step::kBlock});
    Tick(kIdleTicks);
  }

  std::vector<int> EnginePattern() const {
    return std::vector<int>(plug_->StepPattern, plug_->StepPattern + kPatternEntries);
  }

  // The quarters each bar shows: its fill runs from the bar's left edge, in a
  // colour the background never has there, over round(34 x quarters / 4)
  // columns of the layout, scaled edge by edge; anything else reads as -1.
  std::vector<int> PatternTheBarsDraw() const {
    static const int kLayoutFills[] = {0, 9, 17, 26, 34};
    Bitmap* back = editor_->BackBuffer();
    std::vector<int> pattern;
    for (int k = 0; k < kPatternEntries; ++k) {
      const Rect bar = ScaleRect(BarRect(k), size_);
      int kFillWidths[5];
      for (int q = 0; q <= 4; ++q)
        kFillWidths[q] = Px(BarRect(k).left + kLayoutFills[q]) - bar.left;
      const int row = (bar.top + bar.bottom) / 2;
      int width = 0;
      while (width < bar.Width() && PixelAt(back, bar.left + width, row) !=
                                        PixelAt(background_.get(), bar.left + width, row)) {
        ++width;
      }
      int shown = -1;
      for (int q = 0; q <= 4; ++q) shown = kFillWidths[q] == width ? q : shown;
      for (int x = bar.left + width; x < bar.right; ++x) {
        if (PixelAt(back, x, row) != PixelAt(background_.get(), x, row)) shown = -1;
      }
      pattern.push_back(shown);
    }
    return pattern;
  }

  // Every begin-edit the host received is followed by its end, and no end
  // comes without one; "" when so.
  static std::string UnbalancedGestures() { return UnbalancedGesturesIn(HostLog()); }

  // The invariants every settled editor holds; "" when they all do.
  std::string Disagreements() {
    std::string problems = UnbalancedGestures();
    const std::vector<int> engine = EnginePattern();
    const std::vector<int> host = PatternTheHostSees(plug_->Effect());
    const std::vector<int> drawn = PatternTheBarsDraw();
    for (int k = 0; k < kPatternEntries; ++k) {
      if (engine[k] == host[k] && engine[k] == drawn[k]) continue;
      problems += "entry " + std::to_string(k) + ": engine " + std::to_string(engine[k]) +
                  " host " + std::to_string(host[k]) + " drawn " + std::to_string(drawn[k]) + "; ";
    }
    Rect dirty;
    if (editor_->CollectDirty(&dirty)) problems += "a control asks to redraw while idle; ";
    if (editor_->DeferredTicks() != 0) problems += "a wheel gesture is still open; ";
    return problems;
  }

  vst2::VstTimeInfo time_ = {};
  std::unique_ptr<Bitmap> background_;
  int size_ = 100;
};

}  // namespace editor_test
