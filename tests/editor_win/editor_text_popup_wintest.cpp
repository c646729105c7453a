// Popups for text controls, and popups that outlive the controls they edit.
#include <string>

#include "editor_fixture.h"
#include "gui/text_control.h"

namespace editor_test {
namespace {

LOGFONTA PopupFont(HWND popup) {
  LOGFONTA font = {};
  auto handle = reinterpret_cast<HFONT>(SendMessageA(popup, WM_GETFONT, 0, 0));
  EXPECT_NE(handle, nullptr);
  if (handle != nullptr) GetObjectA(handle, sizeof(font), &font);
  return font;
}

class TextPopup : public OpenEditor {
 protected:
  IEditableTextControl* AddTextControl(const Rect& rect, int32_t fontStyle, int32_t align,
                                       bool editable, bool masked) {
    auto* control = new IEditableTextControl(plug_.get(), rect,
                                             TextStyle("Arial", 15, Colour{}, fontStyle, align),
                                             "abc", Colour{}, editable, masked);
    editor_->AttachControl(control);
    return control;
  }
};

TEST_F(TextPopup, MaskedRightAlignedFieldGetsASingleLinePasswordBoxThatTakesEnter) {
  const Rect rect{300, 10, 400, 30};
  IEditableTextControl* control = AddTextControl(rect, TextStyle::kBold, TextStyle::kRight,
                                                 /*editable=*/true, /*masked=*/true);
  ASSERT_TRUE(editor_->PromptTextEdit(control));
  HWND popup = FindPopup(window_);
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(editor_->Popup(), popup);
  EXPECT_EQ(WindowText(popup), "abc");
  const LONG style = GetWindowLongA(popup, GWL_STYLE);
  EXPECT_EQ(style & (ES_LEFT | ES_CENTER | ES_RIGHT), ES_RIGHT);
  EXPECT_NE(style & ES_PASSWORD, 0);
  EXPECT_EQ(style & ES_MULTILINE, 0);
  EXPECT_EQ(style & ES_READONLY, 0);
  RECT place = {};
  GetWindowRect(popup, &place);
  MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&place), 2);
  EXPECT_EQ(place.left, 300);
  EXPECT_EQ(place.top, 10);
  EXPECT_EQ(place.right - place.left, 100);
  EXPECT_EQ(place.bottom - place.top, 20);
  const LOGFONTA font = PopupFont(popup);
  EXPECT_EQ(font.lfHeight, 15);
  EXPECT_EQ(font.lfWeight, 700);
  EXPECT_EQ(font.lfItalic, 0);
  EXPECT_STREQ(font.lfFaceName, "Arial");

  // A single-line box does not ask for Enter itself; a dialog-style host
  // would keep it from the popup unless the popup asks for every key.
  MSG enter = {popup, WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};
  EXPECT_NE(SendMessageA(popup, WM_GETDLGCODE, VK_RETURN, reinterpret_cast<LPARAM>(&enter)) &
                DLGC_WANTALLKEYS,
            0);
  MSG tab = {popup, WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
  EXPECT_EQ(
      SendMessageA(popup, WM_GETDLGCODE, VK_TAB, reinterpret_cast<LPARAM>(&tab)) & DLGC_WANTALLKEYS,
      0);

  SetWindowTextA(popup, "typed");
  SendMessageA(popup, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(editor_->GetPopupState(), IEditorWindow::kPopupCommit);
  EXPECT_STREQ(control->GetText(), "abc");
  Tick();
  EXPECT_FALSE(IsWindow(popup));
  EXPECT_EQ(editor_->Popup(), nullptr);
  EXPECT_STREQ(control->GetText(), "typed");
}

TEST_F(TextPopup, ReadOnlyCentredFieldGetsAnItalicBoxAndKeepsItsText) {
  IEditableTextControl* control = AddTextControl(Rect{300, 40, 380, 60}, TextStyle::kItalic,
                                                 TextStyle::kCentre, /*editable=*/false,
                                                 /*masked=*/false);
  ASSERT_TRUE(editor_->PromptTextEdit(control));
  HWND popup = FindPopup(window_);
  ASSERT_NE(popup, nullptr);
  const LONG style = GetWindowLongA(popup, GWL_STYLE);
  EXPECT_EQ(style & (ES_LEFT | ES_CENTER | ES_RIGHT), ES_CENTER);
  EXPECT_NE(style & ES_READONLY, 0);
  EXPECT_NE(style & ES_MULTILINE, 0);
  EXPECT_EQ(style & ES_PASSWORD, 0);
  const LOGFONTA font = PopupFont(popup);
  EXPECT_EQ(font.lfWeight, 0);
  EXPECT_NE(font.lfItalic, 0);
  // A second request while the popup is open does nothing.
  EXPECT_FALSE(editor_->PromptTextEdit(control));

  SetWindowTextA(popup, "changed");
  SendMessageA(popup, WM_KEYDOWN, VK_RETURN, 0);
  Tick();
  EXPECT_FALSE(IsWindow(popup));
  EXPECT_STREQ(control->GetText(), "abc");
}

TEST_F(OpenEditor, ResizingWithAPopupOpenDropsThePopupBeforeItsControlGoes) {
  // "Attack" at (207, 125) opens an edit box; the view drops its controls on
  // resize, so a commit still pending would reach a control that is gone.
  SendMessageA(window_, WM_RBUTTONDOWN, MK_RBUTTON, Point(207, 125));
  SendMessageA(window_, WM_RBUTTONUP, 0, Point(207, 125));
  HWND popup = FindPopup(window_);
  ASSERT_NE(popup, nullptr);
  SetWindowTextA(popup, "150");
  SendMessageA(popup, WM_KEYDOWN, VK_RETURN, 0);
  ASSERT_EQ(editor_->GetPopupState(), IEditorWindow::kPopupCommit);

  editor_->ResizeEditor(editor_->Width(), editor_->Height());
  EXPECT_FALSE(IsWindow(popup));
  EXPECT_EQ(editor_->Popup(), nullptr);
  EXPECT_EQ(editor_->GetPopupState(), IEditorWindow::kPopupNone);
  Tick();
  EXPECT_EQ(plug_->GetParam(kAttack)->Value(), 5.0);
  // The popup slot is free again for the rebuilt controls.
  auto* field = new IEditableTextControl(plug_.get(), Rect{10, 10, 90, 30}, TextStyle(), "x",
                                         Colour{}, true, false);
  editor_->AttachControl(field);
  EXPECT_TRUE(editor_->PromptTextEdit(field));
}

}  // namespace
}  // namespace editor_test
