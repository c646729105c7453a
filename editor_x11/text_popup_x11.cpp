// Text-entry popups on X11: a small child window of the editor's own, drawn
// with the view's fill and text code, holding either the typed text (an edit
// box) or the parameter's display texts (a list, the combo box). Enter or a
// pick in the list applies, Escape cancels, and so does the popup losing the
// keyboard focus; a left click in the editor applies, a right click cancels,
// as on Windows. The ending itself happens in the tick (EndPopupIfAsked).
#include <algorithm>
#include <cstring>

#include "editor_x11/editor_window_x11.h"
#include "editor_x11/focus_loss.h"
#include "editor_x11/screen_image.h"
#include "framework/plug_param.h"
#include "graphics/blit.h"
#include "graphics/gdi_font.h"
#include "graphics/memory_bitmap.h"
#include "gui/control.h"
#include "gui/editor_scale.h"
#include "gui/font_cache.h"
#include "gui/text_control.h"
// Xlib last: its KeyCode would clash with the view's.
#include "editor_x11/x11_headers.h"

namespace {

constexpr int kFormatSize = 128;
constexpr int kPopupTextSize = 14;
constexpr uint32_t kPaper = 0xFFFFFFFFu;
constexpr uint32_t kInk = 0xFF000000u;
constexpr uint32_t kPicked = 0xFF3399FFu;

std::string FormatParam(const IPlugParam& param, double value, bool normalised) {
  char text[kFormatSize] = {};
  param.FormatValue(value, normalised, text, sizeof(text));
  return text;
}

int CentreX(const Rect& r) { return (r.left + r.right) / 2; }
int CentreY(const Rect& r) { return (r.top + r.bottom) / 2; }

}  // namespace

bool XEditorWindow::OpenPopup(const Rect& layout, IControl* control, IPlugParam* param,
                              const std::string& text, std::vector<std::string> entries,
                              int selected) {
  return OpenPopupAt(ScaleRect(layout, SizePercent()), control, param, text, std::move(entries),
                     selected);
}

bool XEditorWindow::OpenPopupAt(const Rect& area, IControl* control, IPlugParam* param,
                                const std::string& text, std::vector<std::string> entries,
                                int selected) {
  if (area.Width() <= 0 || area.Height() <= 0) return false;
  XSetWindowAttributes attributes = {};
  attributes.event_mask =
      ExposureMask | KeyPressMask | ButtonPressMask | PointerMotionMask | FocusChangeMask;
  const int screen = DefaultScreen(display_);
  popup_.window =
      XCreateWindow(display_, window_, area.left, area.top, static_cast<unsigned>(area.Width()),
                    static_cast<unsigned>(area.Height()), 1, DefaultDepth(display_, screen),
                    InputOutput, DefaultVisual(display_, screen), CWEventMask, &attributes);
  popup_.area = area;
  popup_.control = control;
  popup_.param = param;
  popup_.text = text;
  popup_.entries = std::move(entries);
  popup_.selected = selected;
  popup_.state = kPopupTyping;
  popup_.image = std::make_unique<ScreenImage>(
      display_, popup_.window, DefaultVisual(display_, screen), DefaultDepth(display_, screen));
  XMapRaised(display_, popup_.window);
  XSetInputFocus(display_, popup_.window, RevertToParent, CurrentTime);
  XFlush(display_);
  return true;
}

bool XEditorWindow::PromptParamEdit(IControl* control, IPlugParam* param, bool centred) {
  if (control == nullptr || param == nullptr || popup_.window != 0 || display_ == nullptr) {
    return false;
  }
  const Rect& rect = control->GetRect();
  const std::string current = FormatParam(*param, param->Value(), false);
  const int count = param->DisplayTextCount();
  if (count > 0 && (param->Kind() == kParamBool || param->Kind() == kParamEnum)) {
    std::vector<std::string> entries;
    size_t longest = 0;
    int selected = -1;
    for (int i = 0; i < count; ++i) {
      entries.emplace_back(param->DisplayTextAt(i).text);
      longest = std::max(longest, entries.back().size());
      if (current == entries.back()) selected = i;
    }
    const int width = std::max(24, 8 * static_cast<int>(longest) + 24);
    const int left = centred ? CentreX(rect) - width / 2 : rect.left;
    const Rect area{left, CentreY(rect), left + (centred ? width : rect.Width()),
                    CentreY(rect) + kPopupRowHeight * count};
    return OpenPopup(area, control, param, current, std::move(entries), selected);
  }
  Rect area = rect;
  if (centred) {
    const int width = std::max(7 * static_cast<int>(FormatParam(*param, 1.0, true).size()) + 6, 32);
    area = Rect{CentreX(rect) - width / 2, CentreY(rect) - 8, CentreX(rect) + width - width / 2,
                CentreY(rect) + 8};
  }
  return OpenPopup(area, control, param, current, {}, -1);
}

bool XEditorWindow::PromptTextEdit(IControl* control) {
  auto* textControl = dynamic_cast<ITextControl*>(control);
  if (textControl == nullptr || popup_.window != 0 || display_ == nullptr) return false;
  return OpenPopup(textControl->GetRect(), control, nullptr, textControl->GetText(), {}, -1);
}

void XEditorWindow::DrawPopup() {
  if (popup_.window == 0) return;
  const int width = popup_.area.Width();
  const int height = popup_.area.Height();
  MemoryBitmap canvas(width, height, 4);
  FillRect(&canvas, 0, 0, width, height, kPaper, 1.0f, kBlendCopy);
  TextStyle style("Arial", ScaleCoordinate(kPopupTextSize, SizePercent()), Colour{255, 0, 0, 0});
  GdiFont* font = FindFont(style);
  if (popup_.entries.empty()) {
    if (font != nullptr) {
      DrawWithFont(font, &canvas, popup_.text.c_str(), Rect{2, 1, width - 2, height}, kInk,
                   kTextNoClip);
    }
  } else {
    const int row = ScaleCoordinate(kPopupRowHeight, SizePercent());
    for (size_t i = 0; i < popup_.entries.size(); ++i) {
      const int top = static_cast<int>(i) * row;
      const bool picked = static_cast<int>(i) == popup_.selected;
      if (picked) FillRect(&canvas, 0, top, width, row, kPicked, 1.0f, kBlendCopy);
      if (font != nullptr) {
        DrawWithFont(font, &canvas, popup_.entries[i].c_str(), Rect{3, top + 1, width, top + row},
                     picked ? kPaper : kInk, kTextNoClip);
      }
    }
  }
  popup_.image->Put(&canvas, 0, 0, width, height);
}

void XEditorWindow::HandlePopupEvent(const XEvent& event) {
  switch (event.type) {
    case Expose:
      DrawPopup();
      break;
    case FocusOut:
      if (popup_.state == kPopupTyping && FocusIsLost(event.xfocus.mode, event.xfocus.detail)) {
        popup_.state = kPopupCancel;
      }
      break;
    case MotionNotify:
      // A list follows the pointer, as a menu does.
      if (!popup_.entries.empty()) {
        const int row = std::max(ScaleCoordinate(kPopupRowHeight, SizePercent()), 1);
        const int over = event.xmotion.y / row;
        if (over >= 0 && over < static_cast<int>(popup_.entries.size()) &&
            over != popup_.selected) {
          popup_.selected = over;
          DrawPopup();
        }
      }
      break;
    case ButtonPress:
      if (!popup_.entries.empty() && event.xbutton.button == Button1) {
        const int row = ScaleCoordinate(kPopupRowHeight, SizePercent());
        const int picked = event.xbutton.y / std::max(row, 1);
        if (picked >= 0 && picked < static_cast<int>(popup_.entries.size())) {
          popup_.selected = picked;
          popup_.state = kPopupCommit;
        }
      }
      break;
    case KeyPress: {
      XKeyEvent key = event.xkey;
      char typed[8] = {};
      KeySym symbol = 0;
      const int length = XLookupString(&key, typed, sizeof(typed), &symbol, nullptr);
      if (symbol == XK_Return || symbol == XK_KP_Enter) {
        popup_.state = kPopupCommit;
      } else if (symbol == XK_Escape) {
        popup_.state = kPopupCancel;
      } else if (!popup_.entries.empty()) {
        const int last = static_cast<int>(popup_.entries.size()) - 1;
        if (symbol == XK_Up) popup_.selected = std::max(0, popup_.selected - 1);
        if (symbol == XK_Down) popup_.selected = std::min(last, popup_.selected + 1);
      } else if (symbol == XK_BackSpace) {
        if (!popup_.text.empty()) popup_.text.pop_back();
      } else if (length == 1 && typed[0] >= 0x20 && typed[0] < 0x7F &&
                 popup_.text.size() < static_cast<size_t>(kMaxPopupText)) {
        popup_.text += typed[0];
      }
      DrawPopup();
      break;
    }
    default:
      break;
  }
}

void XEditorWindow::EndPopupIfAsked() {
  if (popup_.window == 0 || (popup_.state != kPopupCommit && popup_.state != kPopupCancel)) {
    return;
  }
  if (popup_.sizeMenu) {
    const int picked = popup_.state == kPopupCommit ? popup_.selected : -1;
    DestroyPopup();
    // The view rebuilds itself at the new size: the popup is gone first.
    if (picked >= 0 && picked < kEditorSizeCount) ChooseSizeFromMenu(kEditorSizes[picked]);
    return;
  }
  if (popup_.state == kPopupCommit) {
    const std::string text = popup_.entries.empty() || popup_.selected < 0
                                 ? popup_.text
                                 : popup_.entries[static_cast<size_t>(popup_.selected)];
    ApplyTypedValue(popup_.control, popup_.param, text.c_str());
  }
  if (popup_.control != nullptr) popup_.control->EndPrompt();
  DestroyPopup();
}

void XEditorWindow::DestroyPopup() {
  if (popup_.window == 0) return;
  popup_.image.reset();
  if (display_ != nullptr) {
    XDestroyWindow(display_, popup_.window);
    XFlush(display_);
  }
  popup_ = PopupRecord();
}
