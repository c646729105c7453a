// The CLAP editor on Windows: embedded in a host's window through the
// win32 window API only, running its own window timer (the host's is not
// asked for), one window at a time, and gone when the host destroys it.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "clap_test_host.h"
#include "gui/user_settings.h"
#include "instance/effect_instance.h"

namespace {

TEST(ClapGuiWin32, EmbedsTheEditorWithItsOwnTimer) {
  char temp[MAX_PATH] = {};
  GetTempPathA(sizeof temp, temp);
  const std::string folder =
      std::string(temp) + "quorvel-clap-view-" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(folder.c_str(), nullptr);
  DeleteFileA((folder + "\\editor.txt").c_str());
  SetUserSettingsFolder(folder);  // no size chosen by a user

  TestHost host;
  ClapPlugin p(host);
  const auto* gui = p.Ext<clap_plugin_gui_t>(CLAP_EXT_GUI);
  ASSERT_NE(gui, nullptr);
  EXPECT_TRUE(gui->is_api_supported(p.plugin, CLAP_WINDOW_API_WIN32, false));
  EXPECT_FALSE(gui->is_api_supported(p.plugin, CLAP_WINDOW_API_WIN32, true));
  EXPECT_FALSE(gui->is_api_supported(p.plugin, CLAP_WINDOW_API_X11, false));
  const char* api = nullptr;
  bool floating = true;
  ASSERT_TRUE(gui->get_preferred_api(p.plugin, &api, &floating));
  EXPECT_STREQ(api, CLAP_WINDOW_API_WIN32);
  EXPECT_FALSE(floating);

  HWND parent =
      CreateWindowA("STATIC", "host", WS_POPUP, 0, 0, 620, 285, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(parent, nullptr);
  ASSERT_TRUE(gui->create(p.plugin, CLAP_WINDOW_API_WIN32, false));
  clap_window_t window = {};
  window.api = CLAP_WINDOW_API_WIN32;
  window.win32 = parent;
  ASSERT_TRUE(gui->set_parent(p.plugin, &window));
  EXPECT_EQ(host.timersRegistered, 0);
  const HWND editorWindow = GetWindow(parent, GW_CHILD);
  ASSERT_NE(editorWindow, nullptr);
  EXPECT_FALSE(gui->set_parent(p.plugin, &window));
  EXPECT_EQ(GetWindow(parent, GW_CHILD), editorWindow);
  EXPECT_EQ(GetWindow(editorWindow, GW_HWNDNEXT), nullptr);
  uint32_t width = 0, height = 0;
  ASSERT_TRUE(gui->get_size(p.plugin, &width, &height));
  RECT client = {};
  GetClientRect(editorWindow, &client);
  EXPECT_EQ(static_cast<uint32_t>(client.right - client.left), width);
  EXPECT_EQ(static_cast<uint32_t>(client.bottom - client.top), height);

  gui->destroy(p.plugin);
  EXPECT_EQ(GetWindow(parent, GW_CHILD), nullptr);
  DestroyWindow(parent);
  SetUserSettingsFolder("");
}

}  // namespace
