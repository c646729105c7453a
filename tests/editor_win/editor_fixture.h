// Shared pieces of the editor's Windows tests: a host callback that records
// gesture, automation and time requests (and answers the latter from a record
// the test sets), host windows to open the editor in, a message pump, and
// pixel access to bitmaps. The effect's code is linked
// statically; its images are read from the built module next to the test.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "editor_win/editor_window.h"
#include "editor_win/module_instance.h"
#include "editor_win/module_paths.h"
#include "engine/gate_plug.h"
#include "framework/vst2_interface.h"
#include "graphics/bitmap.h"
#include "graphics/png_loader.h"
#include "gui/user_settings.h"

namespace editor_test {

struct HostCall {
  int32_t opcode;
  int32_t index;
  float value;
  intptr_t number = 0;  // the request's integer value (a height for a resize)
};

inline bool operator==(const HostCall& a, const HostCall& b) {
  return a.opcode == b.opcode && a.index == b.index && a.value == b.value && a.number == b.number;
}

// What the host answers a resize request: 1 grants it (and sizes its
// frame to fit), 0 refuses.
inline intptr_t& HostResizeAnswer() {
  static intptr_t answer = 1;
  return answer;
}

// The host's editor frame, which a granted resize request sizes.
inline HWND& HostFrame() {
  static HWND frame = nullptr;
  return frame;
}

inline std::vector<HostCall>& HostLog() {
  static std::vector<HostCall> log;
  return log;
}

// The time info the host reports; null answers "no time info".
inline vst2::VstTimeInfo*& HostTime() {
  static vst2::VstTimeInfo* time = nullptr;
  return time;
}

inline intptr_t VST2_CALL RecordingHost(vst2::AEffect*, int32_t opcode, int32_t index,
                                        intptr_t value, void*, float opt) {
  if (opcode == vst2::audioMasterAutomate || opcode == vst2::audioMasterBeginEdit ||
      opcode == vst2::audioMasterEndEdit || opcode == vst2::audioMasterGetTime) {
    HostLog().push_back({opcode, index, opt});
  }
  if (opcode == vst2::audioMasterSizeWindow) {
    HostLog().push_back({opcode, index, opt, value});
    if (HostResizeAnswer() != 0 && HostFrame() != nullptr) {
      SetWindowPos(HostFrame(), nullptr, 0, 0, index, static_cast<int>(value),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return HostResizeAnswer();
  }
  if (opcode == vst2::audioMasterVersion) return vst2::kVstVersion;
  if (opcode == vst2::audioMasterGetTime) return reinterpret_cast<intptr_t>(HostTime());
  return 0;
}

inline int CountCalls(int32_t opcode, int32_t index) {
  int count = 0;
  for (const HostCall& call : HostLog()) count += call.opcode == opcode && call.index == index;
  return count;
}

// The built module, whose resources hold the editor's images.
inline HMODULE BuiltModule() {
  static HMODULE module = LoadLibraryA((DirectoryOfModule(nullptr) + "Quorvel.dll").c_str());
  return module;
}

// A plain top-level window standing in for the host's editor frame.
inline HWND CreateHostWindow(int x, int y) {
  static const bool registered = [] {
    WNDCLASSA hostClass = {};
    hostClass.lpfnWndProc = DefWindowProcA;
    hostClass.hInstance = GetModuleHandleA(nullptr);
    hostClass.lpszClassName = "QuorvelTestHostFrame";
    return RegisterClassA(&hostClass) != 0;
  }();
  EXPECT_TRUE(registered);
  return CreateWindowExA(0, "QuorvelTestHostFrame", "host", WS_POPUP | WS_VISIBLE, x, y, 700, 400,
                         nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

// Runs the thread's messages (timers, paints) for about `milliseconds`.
inline void PumpMessages(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  MSG message;
  while (GetTickCount() - start < milliseconds) {
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    Sleep(5);
  }
}

inline uint32_t PixelAt(Bitmap* bitmap, int x, int y) {
  return bitmap->GetBits()[static_cast<intptr_t>(y) * bitmap->GetRowSpan() + x];
}

inline LPARAM Point(int x, int y) { return MAKELPARAM(x, y); }

// The editor's text-entry popup, or null when none is open.
inline HWND FindPopup(HWND editor) { return GetDlgItem(editor, IEditorWindow::kPopupControlId); }

inline std::string WindowText(HWND window) {
  char text[256] = {};
  GetWindowTextA(window, text, sizeof(text));
  return text;
}

// The decoded image resource, for comparing drawn pixels with their source.
inline std::unique_ptr<Bitmap> Image(int id) {
  return std::unique_ptr<Bitmap>(
      LoadPngFromResource(BuiltModule(), static_cast<uint16_t>(id), nullptr));
}

// A pixel of `image` at (x, y) that the image covers opaquely, or 0.
inline uint32_t OpaquePixel(Bitmap* image, int x, int y) {
  const uint32_t pixel = PixelAt(image, x, y);
  return (pixel >> 24) == 255 ? pixel : 0;
}

// Keys a test wants typed into the next menu the editor opens.
inline std::vector<WPARAM>& MenuKeys() {
  static std::vector<WPARAM> keys;
  return keys;
}

// Menus are modal: a thread timer, which the menu's own loop runs, types the
// queued keys into an open menu, or closes it, so that no test waits on one.
inline void CALLBACK AnswerMenus(HWND, UINT, UINT_PTR, DWORD) {
  HWND focus = GetCapture();
  if (MenuKeys().empty()) {
    EndMenu();
    return;
  }
  for (WPARAM key : MenuKeys()) {
    PostMessageA(focus, WM_KEYDOWN, key, 0);
    PostMessageA(focus, WM_KEYUP, key, 0);
  }
  MenuKeys().clear();
}

// Picks `percent` in the size menu the next right click opens.
inline void QueueSizeMenuChoice(int percent) {
  MenuKeys().clear();
  for (int size = 100; size <= percent; size += 25) MenuKeys().push_back(VK_DOWN);
  MenuKeys().push_back(VK_RETURN);
}

// A settings folder of the test process's own, emptied: no test reads or
// writes the user's settings, and each starts without a chosen size.
inline void UseFreshSettingsFolder() {
  char temp[MAX_PATH] = {};
  GetTempPathA(sizeof(temp), temp);
  const std::string folder =
      std::string(temp) + "quorvel-settings-" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(folder.c_str(), nullptr);
  DeleteFileA((folder + "\\editor.txt").c_str());
  SetUserSettingsFolder(folder);
}

// One effect instance with its editor open in a host window.
class OpenEditor : public ::testing::Test {
 protected:
  void SetUp() override {
    menuTimer_ = SetTimer(nullptr, 0, 20, AnswerMenus);
    UseFreshSettingsFolder();
    HostResizeAnswer() = 1;
    ASSERT_NE(BuiltModule(), nullptr) << "Quorvel.dll must sit next to the test program";
    SetEffectModuleInstance(BuiltModule());
    HostLog().clear();
    HostTime() = nullptr;
    plug_ = std::make_unique<VSTCLASS>(RecordingHost);
    editor_ = dynamic_cast<IEditorWindow*>(plug_->Editor());
    ASSERT_NE(editor_, nullptr);
    host_ = CreateHostWindow(100, 100);
    HostFrame() = host_;
    ASSERT_TRUE(editor_->OpenEditorWindow(host_));
    window_ = editor_->Window();
    PumpMessages(150);
    HostLog().clear();
  }

  void TearDown() override {
    KillTimer(nullptr, menuTimer_);
    MenuKeys().clear();
    if (plug_) editor_->CloseEditorWindow();
    plug_.reset();
    if (host_ != nullptr) DestroyWindow(host_);
    HostFrame() = nullptr;
  }

  void Click(int x, int y) {
    SendMessageA(window_, WM_LBUTTONDOWN, MK_LBUTTON, Point(x, y));
    SendMessageA(window_, WM_LBUTTONUP, 0, Point(x, y));
  }

  void RightClick(int x, int y) {
    SendMessageA(window_, WM_RBUTTONDOWN, MK_RBUTTON, Point(x, y));
    SendMessageA(window_, WM_RBUTTONUP, 0, Point(x, y));
  }

  // What a host does before it shows the editor: open the effect (which
  // applies every parameter), tell it the rate and block size, resume it.
  void OpenEffect() {
    vst2::AEffect* effect = plug_->Effect();
    effect->dispatcher(effect, vst2::effOpen, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, vst2::effSetSampleRate, 0, 0, nullptr, 44100.0f);
    effect->dispatcher(effect, vst2::effSetBlockSize, 0, 64, nullptr, 0.0f);
    effect->dispatcher(effect, vst2::effMainsChanged, 0, 1, nullptr, 0.0f);
    HostLog().clear();
  }

  // Host automation of a linear parameter to `value` in its own units.
  void SetFromHost(int index, double value) {
    IPlugParam* param = plug_->GetParam(index);
    const double position = (value - param->Min()) / (param->Max() - param->Min());
    vst2::AEffect* effect = plug_->Effect();
    effect->setParameter(effect, index, static_cast<float>(position));
    ASSERT_EQ(param->Value(), value) << index;
  }

  // One timer period, run directly so the test decides when it happens.
  void Tick(int count = 1) {
    for (int i = 0; i < count; ++i) editor_->OnTimerTick();
  }

  std::unique_ptr<VSTCLASS> plug_;
  IEditorWindow* editor_ = nullptr;
  HWND host_ = nullptr;
  HWND window_ = nullptr;
  UINT_PTR menuTimer_ = 0;
};

}  // namespace editor_test
