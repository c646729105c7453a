// Text-entry popups: a native edit box or drop-down list put over the editor
// when the user asks to type a value. The popup is subclassed so that Enter,
// a selection or a click in the editor asks for it to end; the ending itself
// happens on the next timer tick (EndPopupIfAsked), outside the popup's own
// message handling.
#include <algorithm>
#include <cstring>
#include <string>

#include "editor_win/editor_window.h"
#include "editor_win/popup_geometry.h"
#include "framework/plug_param.h"
#include "gui/control.h"
#include "gui/editor_scale.h"
#include "gui/text_control.h"

namespace {

constexpr int kFormatSize = 128;

std::string FormatParam(const IPlugParam& param, double value, bool normalised) {
  char text[kFormatSize] = {};
  param.FormatValue(value, normalised, text, sizeof(text));
  return text;
}

HWND CreatePopupWindow(const char* className, const char* text, DWORD style,
                       const PopupPlacement& layoutPlace, int percent, HWND parent,
                       HINSTANCE module) {
  // Placed in the layout, shown at the editor's size.
  const Rect area = ScaleRect(Rect{layoutPlace.x, layoutPlace.y, layoutPlace.x + layoutPlace.width,
                                   layoutPlace.y + layoutPlace.height},
                              percent);
  const PopupPlacement place{area.left, area.top, area.Width(), area.Height()};
  return CreateWindowExA(
      0, className, text, WS_CHILD | WS_VISIBLE | style, place.x, place.y, place.width,
      place.height, parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(IEditorWindow::kPopupControlId)), module,
      nullptr);
}

// The list offers the parameter's own display texts in the order they were
// given, whatever values they stand for.
const char* DisplayTextOfEntry(const IPlugParam& param, int entry) {
  return param.DisplayTextAt(entry).text;
}

bool IsEditClass(HWND window) {
  char name[8] = {};
  return GetClassNameA(window, name, sizeof(name)) == 4 && lstrcmpiA(name, "EDIT") == 0;
}

}  // namespace

bool IEditorWindow::PromptParamEdit(IControl* control, IPlugParam* param, bool centred) {
  if (control == nullptr || param == nullptr || popup_ != nullptr || window_ == nullptr) {
    return false;
  }
  const Rect& rect = control->GetRect();
  const std::string current = FormatParam(*param, param->Value(), false);
  const int count = param->DisplayTextCount();
  HWND popup;
  if (count > 0 && (param->Kind() == kParamBool || param->Kind() == kParamEnum)) {
    size_t longest = 0;
    int selected = -1;
    for (int i = 0; i < count; ++i) {
      const char* text = DisplayTextOfEntry(*param, i);
      longest = std::max(longest, std::strlen(text));
      if (current == text) selected = i;
    }
    popup = CreatePopupWindow("COMBOBOX", "", CBS_DROPDOWNLIST,
                              ComboBoxPlacement(rect, count, longest, centred), SizePercent(),
                              window_, module_);
    if (popup == nullptr) return false;
    for (int i = 0; i < count; ++i) {
      SendMessageA(popup, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(DisplayTextOfEntry(*param, i)));
    }
    SendMessageA(popup, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
  } else {
    DWORD style = ES_MULTILINE;
    size_t topLength = 0;
    if (centred) {
      style |= ES_CENTER;
      topLength = FormatParam(*param, 1.0, true).size();
    }
    popup = CreatePopupWindow("EDIT", current.c_str(), style,
                              ParamEditBoxPlacement(rect, topLength, centred), SizePercent(),
                              window_, module_);
    if (popup == nullptr) return false;
    SendMessageA(popup, EM_SETSEL, 0, -1);
  }
  SetFocus(popup);
  HFONT font =
      CreateFontA(ScaleCoordinate(14, SizePercent()), 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
  AdoptPopup(popup, control, param, font);
  return true;
}

bool IEditorWindow::PromptTextEdit(IControl* control) {
  auto* textControl = dynamic_cast<ITextControl*>(control);
  if (textControl == nullptr || popup_ != nullptr || window_ == nullptr) return false;
  const TextStyle& style = textControl->GetStyle();
  auto* editable = dynamic_cast<IEditableTextControl*>(textControl);

  DWORD editStyle = style.alignment == TextStyle::kLeft    ? ES_LEFT
                    : style.alignment == TextStyle::kRight ? ES_RIGHT
                                                           : ES_CENTER;
  if (editable == nullptr || !editable->IsEditable()) editStyle |= ES_READONLY;
  editStyle |= (editable != nullptr && editable->IsMasked()) ? ES_PASSWORD : ES_MULTILINE;

  const Rect& rect = textControl->GetRect();
  HWND popup = CreatePopupWindow("EDIT", textControl->GetText(), editStyle,
                                 {rect.left, rect.top, rect.Width(), rect.Height()}, SizePercent(),
                                 window_, module_);
  if (popup == nullptr) return false;
  SendMessageA(popup, EM_SETSEL, 0, -1);
  SetFocus(popup);
  HFONT font = CreateFontA(ScaleCoordinate(style.size, SizePercent()), 0, 0, 0,
                           (style.style & TextStyle::kBold) ? FW_BOLD : 0,
                           (style.style & TextStyle::kItalic) ? TRUE : FALSE, 0, 0, 0, 0, 0, 0, 0,
                           style.face);
  AdoptPopup(popup, control, nullptr, font);
  return true;
}

void IEditorWindow::AdoptPopup(HWND popup, IControl* control, IPlugParam* param, HFONT font) {
  popup_ = popup;
  popupControl_ = control;
  popupParam_ = param;
  popupFont_ = font;
  popupPreviousProc_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(popup, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PopupProc)));
  SetWindowLongPtrA(popup, GWLP_USERDATA, kPopupMarker);
  if (font != nullptr) SendMessageA(popup, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void IEditorWindow::ForgetPopup() {
  popup_ = nullptr;
  popupControl_ = nullptr;
  popupParam_ = nullptr;
  popupPreviousProc_ = nullptr;
  popupState_ = kPopupNone;
  // The popup only borrowed its font; it goes once the popup is gone.
  if (popupFont_ != nullptr) DeleteObject(popupFont_);
  popupFont_ = nullptr;
}

void IEditorWindow::EndPopupIfAsked() {
  if (popup_ == nullptr || popupState_ == kPopupNone) return;
  if (popupState_ == kPopupCommit) {
    char text[kMaxPopupText + 1] = {};
    SendMessageA(popup_, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text));
    ApplyTypedValue(popupControl_, popupParam_, text);
  }
  if (popupState_ == kPopupCommit || popupState_ == kPopupCancel) {
    if (popupControl_ != nullptr) popupControl_->EndPrompt();
    DestroyPopup();
  }
  popupState_ = kPopupNone;
}

void IEditorWindow::DestroyPopup() {
  if (popup_ == nullptr) return;
  HWND popup = popup_;
  SetWindowLongPtrA(popup, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(popupPreviousProc_));
  DestroyWindow(popup);
  ForgetPopup();
}

LRESULT CALLBACK IEditorWindow::PopupProc(HWND popup, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* editor =
      reinterpret_cast<IEditorWindow*>(GetWindowLongPtrA(GetParent(popup), GWLP_USERDATA));
  if (editor == nullptr || editor->popup_ != popup) {
    return DefWindowProcA(popup, message, wParam, lParam);
  }
  return editor->HandlePopupMessage(popup, message, wParam, lParam);
}

LRESULT IEditorWindow::HandlePopupMessage(HWND popup, UINT message, WPARAM wParam, LPARAM lParam) {
  const WNDPROC previous = popupPreviousProc_;
  HideTooltip();
  switch (message) {
    case WM_KILLFOCUS:
      popupState_ = kPopupNone;
      break;
    case WM_SETFOCUS:
      popupState_ = kPopupTyping;
      break;
    case WM_KEYDOWN:
      if (wParam == VK_RETURN) {
        if (IsEditClass(popup)) SendMessageA(popup, EM_SETSEL, static_cast<WPARAM>(-1), 0);
        popupState_ = kPopupCommit;
        return 0;
      }
      popupState_ = kPopupTyping;
      break;
    case WM_GETDLGCODE: {
      LRESULT code = CallWindowProcA(previous, popup, message, wParam, lParam);
      // Hosts with dialog-style keyboard handling would keep Enter from a
      // text popup otherwise.
      const auto* queried = reinterpret_cast<const MSG*>(lParam);
      if (popupParam_ == nullptr && queried != nullptr && queried->message == WM_KEYDOWN &&
          queried->wParam == VK_RETURN) {
        code |= DLGC_WANTALLKEYS;
      }
      return code;
    }
    case WM_COMMAND:
      if (HIWORD(wParam) == CBN_SELCHANGE) {
        popupState_ = kPopupCommit;
        return 0;
      }
      break;
    default:
      break;
  }
  return CallWindowProcA(previous, popup, message, wParam, lParam);
}
