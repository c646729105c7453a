// Tooltips of the editor window: one tool covering the whole window, whose
// text follows the control under the mouse after the hover delay. Only used
// when the view enables tooltips.
#include "editor_win/editor_window.h"
// after windows.h
#include <commctrl.h>

#include "gui/control.h"

namespace {

TOOLINFOA WholeWindowTool(HWND window) {
  TOOLINFOA tool = {};
  // The older structure size: common controls without a manifest reject the newer one.
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  tool.hwnd = window;
  tool.uId = reinterpret_cast<UINT_PTR>(window);
  return tool;
}

}  // namespace

void IEditorWindow::CreateTooltips() {
  INITCOMMONCONTROLSEX classes = {sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES};
  bool ok = InitCommonControlsEx(&classes) != FALSE;
  if (ok) {
    tooltipWindow_ = CreateWindowExA(
        0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr, module_, nullptr);
    ok = tooltipWindow_ != nullptr;
  }
  if (ok) {
    SetWindowPos(tooltipWindow_, HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
    TOOLINFOA tool = WholeWindowTool(window_);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ok = SendMessageA(tooltipWindow_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool)) != 0;
  }
  if (!ok) {
    if (tooltipWindow_ != nullptr) DestroyWindow(tooltipWindow_);
    tooltipWindow_ = nullptr;
    tooltipsEnabled_ = false;
  }
}

void IEditorWindow::TrackMouseLeaving() {
  TRACKMOUSEEVENT track = {};
  track.cbSize = sizeof(track);
  track.dwFlags = TME_LEAVE;
  track.hwndTrack = window_;
  track.dwHoverTime = HOVER_DEFAULT;
  if (tooltipsEnabled_ && hovered_ != tooltipControl_) {
    tooltipControl_ = hovered_;
    if (tooltipControl_ >= 0) track.dwFlags |= TME_HOVER;
    HideTooltip();
  }
  TrackMouseEvent(&track);
}

void IEditorWindow::ShowTooltip() {
  tooltipControl_ = tooltipsEnabled_ ? hovered_ : -1;
  if (tooltipControl_ < 0 || tooltipWindow_ == nullptr) return;
  IControl* control = GetControl(tooltipControl_);
  if (control == nullptr || control->GetTooltip() == nullptr) return;
  TOOLINFOA tool = WholeWindowTool(window_);
  tool.lpszText = const_cast<char*>(control->GetTooltip());
  SendMessageA(tooltipWindow_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
  tooltipShown_ = true;
}

void IEditorWindow::HideTooltip() {
  if (!tooltipShown_) return;
  if (tooltipWindow_ != nullptr) {
    TOOLINFOA tool = WholeWindowTool(window_);
    SendMessageA(tooltipWindow_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
  }
  tooltipShown_ = false;
}
