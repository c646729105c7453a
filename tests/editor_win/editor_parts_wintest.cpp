// The editor window's fixed tables and plain helpers: key codes, popup
// placement, file filters, directories, and the message boxes of OpenUrl.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "editor_win/editor_window.h"
#include "editor_win/file_filter.h"
#include "editor_win/key_map.h"
#include "editor_win/module_paths.h"
#include "editor_win/mouse_mods.h"
#include "editor_win/popup_geometry.h"
#include "editor_win/system_dialogs.h"

namespace {

TEST(KeyMap, MapsSpaceArrowsDigitsAndLetters) {
  EXPECT_EQ(KeyCodeForVirtualKey(VK_SPACE), 0);
  EXPECT_EQ(KeyCodeForVirtualKey(VK_UP), 1);
  EXPECT_EQ(KeyCodeForVirtualKey(VK_DOWN), 2);
  EXPECT_EQ(KeyCodeForVirtualKey(VK_LEFT), 3);
  EXPECT_EQ(KeyCodeForVirtualKey(VK_RIGHT), 4);
  EXPECT_EQ(KeyCodeForVirtualKey('0'), 5);
  EXPECT_EQ(KeyCodeForVirtualKey('9'), 14);
  EXPECT_EQ(KeyCodeForVirtualKey('A'), 15);
  EXPECT_EQ(KeyCodeForVirtualKey('Z'), 40);
  EXPECT_EQ(KeyCodeForVirtualKey(0x61), 15);
  EXPECT_EQ(KeyCodeForVirtualKey(0x7A), 40);
  EXPECT_EQ(KeyCodeForVirtualKey(VK_RETURN), kKeyReturn);
  EXPECT_EQ(KeyCodeForVirtualKey(VK_ESCAPE), kKeyEscape);
}

TEST(KeyMap, DropsEveryOtherKey) {
  int mapped = 0;
  for (uint32_t key = 0; key < 256; ++key) mapped += KeyCodeForVirtualKey(key) >= 0;
  EXPECT_EQ(mapped, 1 + 4 + 10 + 26 + 26 + 2);
  EXPECT_EQ(KeyCodeForVirtualKey(VK_F12), -1);
  EXPECT_EQ(KeyCodeForVirtualKey(0x60), -1);
  EXPECT_EQ(KeyCodeForVirtualKey(VK_TAB), -1);
}

// Holds the thread's keyboard state for one test, with Alt down or up.
class AltKeyState {
 public:
  explicit AltKeyState(bool down) {
    GetKeyboardState(saved_);
    BYTE keys[256];
    std::copy(saved_, saved_ + 256, keys);
    keys[VK_MENU] = down ? 0x80 : 0;
    keys[VK_SHIFT] = 0;
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
  }
  ~AltKeyState() { SetKeyboardState(saved_); }

 private:
  BYTE saved_[256] = {};
};

TEST(MouseModsRecord, ButtonsShiftAndControlComeFromTheMessageAltFromTheKeyboard) {
  {
    // Shift and Control as the message reports them, whatever the keyboard says.
    AltKeyState alt(false);
    const MouseMods mods = MouseModsFromMessage(MK_RBUTTON | MK_SHIFT);
    EXPECT_FALSE(mods.L);
    EXPECT_TRUE(mods.R);
    EXPECT_TRUE(mods.S);
    EXPECT_FALSE(mods.C);
    EXPECT_FALSE(mods.A);
    const MouseMods control = MouseModsFromMessage(MK_LBUTTON | MK_CONTROL);
    EXPECT_TRUE(control.L);
    EXPECT_FALSE(control.R);
    EXPECT_FALSE(control.S);
    EXPECT_TRUE(control.C);
  }
  {
    AltKeyState alt(true);
    const MouseMods mods = MouseModsFromMessage(MK_LBUTTON);
    EXPECT_TRUE(mods.L);
    EXPECT_FALSE(mods.S);
    EXPECT_TRUE(mods.A);
    // The host's wheel path has no buttons; its keys come from the keyboard.
    const MouseMods wheel = MouseModsFromKeyboard();
    EXPECT_FALSE(wheel.L);
    EXPECT_FALSE(wheel.R);
    EXPECT_FALSE(wheel.S);
    EXPECT_FALSE(wheel.C);
    EXPECT_TRUE(wheel.A);
  }
}

TEST(PopupPlacement, EditBoxIsCentredAndSizedForTheTopText) {
  const Rect knob{100, 50, 150, 120};  // centre (125, 85)
  const PopupPlacement six = ParamEditBoxPlacement(knob, 6, true);
  EXPECT_EQ(six.width, 48);
  EXPECT_EQ(six.height, 16);
  EXPECT_EQ(six.x, 125 - 24);
  EXPECT_EQ(six.y, 85 - 8);
  EXPECT_EQ(ParamEditBoxPlacement(knob, 2, true).width, 32);
  const PopupPlacement over = ParamEditBoxPlacement(knob, 6, false);
  EXPECT_EQ(over.x, 100);
  EXPECT_EQ(over.y, 50);
  EXPECT_EQ(over.width, 50);
  EXPECT_EQ(over.height, 70);
}

TEST(PopupPlacement, ComboBoxHeightFollowsTheTextCount) {
  const Rect selector{387, 97, 457, 169};  // centre (422, 133)
  const PopupPlacement list = ComboBoxPlacement(selector, 4, 10, true);
  EXPECT_EQ(list.height, 180);
  EXPECT_EQ(list.width, 104);
  EXPECT_EQ(list.x, 422 - 52);
  EXPECT_EQ(list.y, 133);
  EXPECT_EQ(ComboBoxPlacement(selector, 2, 0, true).width, 24);
}

TEST(FileFilterText, JoinsExtensionsIntoOnePattern) {
  const FileFilter filter = BuildFileFilter("wav aif");
  EXPECT_EQ(filter.filter, std::string("*.wav;*.aif\0*.wav;*.aif\0\0", 25));
  EXPECT_EQ(filter.defaultExtension, "wav");
  EXPECT_EQ(BuildFileFilter("  png ").filter, std::string("*.png\0*.png\0\0", 13));
  EXPECT_TRUE(BuildFileFilter("").filter.empty());
  EXPECT_TRUE(BuildFileFilter(nullptr).defaultExtension.empty());
}

TEST(ModulePaths, DirectoryEndsInABackslash) {
  EXPECT_EQ(DirectoryOfPath("C:\\hosts\\host.exe"), "C:\\hosts\\");
  EXPECT_EQ(DirectoryOfPath("host.exe"), "");
  EXPECT_EQ(DirectoryOfPath("C:\\hosts\\"), "");
  EXPECT_EQ(DirectoryOfPath(nullptr), "");
  const std::string own = DirectoryOfModule(nullptr);
  ASSERT_FALSE(own.empty());
  EXPECT_EQ(own.back(), '\\');
  char name[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, name, MAX_PATH);
  EXPECT_EQ(std::string(name).rfind(own, 0), 0u);
}

TEST(EditorServices, FileDialogWithoutAWindowAnswersEmpty) {
  IEditorWindow editor(nullptr, 620, 285, 0, GetModuleHandleA(nullptr));
  std::string result = "proposed.wav";
  editor.PromptFile(&result, kFileSave, nullptr, "wav");
  EXPECT_TRUE(result.empty());
  Colour colour{255, 1, 2, 3};
  EXPECT_FALSE(editor.PromptColour(&colour, "Colour"));
  EXPECT_EQ(colour.R, 1);
  std::string directory;
  editor.GetHostDirectory(&directory);
  EXPECT_EQ(directory, DirectoryOfModule(nullptr));
  EXPECT_EQ(editor.FrameRate(), 24);
}

// Answers every message box of this thread with a fixed button and records
// its caption.
struct MessageBoxAnswer {
  static int& Button() {
    static int button = IDNO;
    return button;
  }
  static std::vector<std::string>& Captions() {
    static std::vector<std::string> captions;
    return captions;
  }
  static std::vector<HWND>& Boxes() {
    static std::vector<HWND> boxes;
    return boxes;
  }
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
    HWND box = reinterpret_cast<HWND>(wParam);
    // Only dialog windows are message boxes; a box may be activated more
    // than once, and is answered the first time.
    char className[16] = {};
    if (code == HCBT_ACTIVATE && GetClassNameA(box, className, sizeof(className)) > 0 &&
        std::string(className) == "#32770" &&
        std::find(Boxes().begin(), Boxes().end(), box) == Boxes().end()) {
      Boxes().push_back(box);
      char caption[128] = {};
      GetWindowTextA(box, caption, sizeof(caption));
      Captions().push_back(caption);
      PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(Button()), 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
};

TEST(EditorServices, OpenUrlAsksFirstAndReportsFailure) {
  HHOOK hook = SetWindowsHookExA(WH_CBT, MessageBoxAnswer::Hook, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  MessageBoxAnswer::Captions().clear();

  // Declining the question opens nothing.
  MessageBoxAnswer::Button() = IDNO;
  EXPECT_FALSE(
      OpenUrlWithShell(nullptr, "C:\\quorvel-missing\\page.qrv", "Page", "Open it?", "Failed"));
  ASSERT_EQ(MessageBoxAnswer::Captions().size(), 1u);
  EXPECT_EQ(MessageBoxAnswer::Captions()[0], "Page");

  // An address the system cannot open shows the error text.
  MessageBoxAnswer::Button() = IDOK;
  EXPECT_FALSE(
      OpenUrlWithShell(nullptr, "C:\\quorvel-missing\\page.qrv", "Page", nullptr, "Failed"));
  EXPECT_EQ(MessageBoxAnswer::Captions().size(), 2u);
  // Without an error text nothing is shown.
  EXPECT_FALSE(
      OpenUrlWithShell(nullptr, "C:\\quorvel-missing\\page.qrv", nullptr, nullptr, nullptr));
  EXPECT_EQ(MessageBoxAnswer::Captions().size(), 2u);
  UnhookWindowsHookEx(hook);
}

}  // namespace
