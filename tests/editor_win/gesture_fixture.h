// Gesture scripts played as window messages on the Win32 editor, and the
// pattern's three views read from it. Shared by the gesture cases and the
// randomised editor test.
#pragma once

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "editor_fixture.h"
#include "gui/editor_scale.h"
#include "gui/image_scaling.h"
#include "gui/text_control.h"
#include "support/gesture_balance.h"
#include "support/gesture_script.h"

namespace editor_test {

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
      case Step::kKey:
        if (step.y != 0) {
          ForwardKey(plug_->Effect(), step);
        } else {
          PressKey(step);
        }
        break;
    }
  }

  // A key message to the window with the modifiers held as the thread's
  // key state says, as a keyboard would leave it.
  void PressKey(const Step& step) {
    UINT virtualKey = ' ';
    if (step.x >= kKeyUp && step.x <= kKeyRight) {
      static const UINT kArrows[] = {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT};
      virtualKey = kArrows[step.x - kKeyUp];
    } else if (step.x >= kKeyLetterA) {
      virtualKey = 'A' + static_cast<UINT>(step.x - kKeyLetterA);
    } else if (step.x >= kKeyDigit0) {
      virtualKey = '0' + static_cast<UINT>(step.x - kKeyDigit0);
    }
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    BYTE held[256];
    std::copy(keys, keys + 256, held);
    held[VK_SHIFT] = (step.n & Step::kKeyShift) ? 0x80 : 0;
    held[VK_CONTROL] = (step.n & Step::kKeyCtrl) ? 0x80 : 0;
    SetKeyboardState(held);
    SendMessageA(window_, WM_KEYDOWN, virtualKey, 1);
    SetKeyboardState(keys);
  }

  void Run(const Script& script) {
    for (const Step& step : script) Run(step);
  }

  // Ends an open popup, lets an audio block pack the pattern, and ticks idle.
  void Settle() {
    // An open popup ends (a right click cancels it, the tick closes it); so
    // does an open pattern menu, whose box never reaches that corner. With
    // both open, the popup takes the first click.
    for (int clicks = 0; clicks < 3 && (editor_->Popup() != nullptr || editor_->OverlayShown());
         ++clicks) {
      Run(Script{{Step::kRightDown, 5, 280}, {Step::kRightUp, 5, 280}});
      Tick(1);
    }
    Run(Step{Step::kBlock});
    Tick(kIdleTicks);
  }

  std::vector<int> EnginePattern() const {
    return std::vector<int>(plug_->StepPattern, plug_->StepPattern + kPatternEntries);
  }

  std::vector<int> PatternTheBarsDraw() const {
    return editor_test::PatternTheBarsDraw(editor_->BackBuffer(), background_.get(), size_);
  }

  // Every begin-edit the host received is followed by its end, and no end
  // comes without one; "" when so.
  static std::string UnbalancedGestures() { return UnbalancedGesturesIn(HostLog()); }

  // The invariants every settled editor holds; "" when they all do.
  std::string Disagreements() {
    std::string problems = UnbalancedGestures();
    problems += PatternDisagreements(EnginePattern(), PatternTheHostSees(plug_->Effect()),
                                     PatternTheBarsDraw());
    for (int i = 0; i < editor_->ControlCount(); ++i) {
      if (editor_->GetControl(i)->NeedsRedraw()) {
        problems += "control " + std::to_string(i) + " asks to redraw while idle; ";
      }
    }
    if (editor_->DeferredTicks() != 0) problems += "a wheel gesture is still open; ";
    return problems;
  }

  vst2::VstTimeInfo time_ = {};
  std::unique_ptr<Bitmap> background_;
  int size_ = 100;
};

}  // namespace editor_test
