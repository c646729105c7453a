// The VST 3 view has the editor's size: a host's content scale chooses it
// before the view opens, and a change while it is open asks the host's frame
// to follow with the editor's new pixel size, which the view takes once the
// host confirms it.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "gate_plugin.h"
#include "gui/user_settings.h"
#include "plug_view_resize_steps.h"

namespace {

v3_view_rect SizeOf(v3_plugin_view** view) {
  v3_view_rect rect = {};
  v3_cpp_obj(view)->get_size(view, &rect);
  return rect;
}

TEST(Vst3PlugView, ContentScaleChoosesTheSizeAndTheFrameFollows) {
  char temp[MAX_PATH] = {};
  GetTempPathA(sizeof temp, temp);
  const std::string folder =
      std::string(temp) + "quorvel-vst3-view-" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(folder.c_str(), nullptr);
  DeleteFileA((folder + "\\editor.txt").c_str());
  SetUserSettingsFolder(folder);  // no size chosen by a user

  HostContext host;
  GatePlugin plugin = GatePlugin::Create();
  plugin.Initialise(host);
  auto** view = v3_cpp_obj(plugin.controller)->create_view(plugin.controller, "editor");
  ASSERT_NE(view, nullptr);
  v3_plugin_view_content_scale** scale = nullptr;
  ASSERT_EQ(v3_cpp_obj_query_interface(view, v3_plugin_view_content_scale_iid, &scale), kResultOk);

  EXPECT_EQ(SizeOf(view).right, 620);
  v3_cpp_obj(scale)->set_content_scale_factor(scale, 2.0f);
  v3_view_rect rect = SizeOf(view);
  EXPECT_EQ(rect.right - rect.left, 1240);
  EXPECT_EQ(rect.bottom - rect.top, 570);
  v3_cpp_obj(scale)->set_content_scale_factor(scale, 1.0f);
  EXPECT_EQ(SizeOf(view).right, 620);

  HWND parent =
      CreateWindowA("STATIC", "host", WS_POPUP, 0, 0, 620, 285, nullptr, nullptr, nullptr, nullptr);
  host.resizeWindow = [parent](int width, int height) {
    return SetWindowPos(parent, nullptr, 0, 0, width, height,
                        SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE) != 0;
  };
  v3_cpp_obj(view)->set_frame(view, host.Frame());
  ASSERT_EQ(v3_cpp_obj(view)->attached(view, parent, V3_VIEW_PLATFORM_TYPE_HWND), kResultOk);
  EXPECT_EQ(host.resizes, 0);
  HWND editor = FindWindowExA(parent, nullptr, nullptr, nullptr);
  ASSERT_NE(editor, nullptr);
  const auto clientSize = [](HWND window) {
    RECT client = {};
    GetClientRect(window, &client);
    return WindowSize{client.right - client.left, client.bottom - client.top};
  };
  PlayResizeSteps(
      host, view, scale, [&] { return clientSize(parent); },
      [&](WindowSize) { return clientSize(editor); });
  EXPECT_EQ(v3_cpp_obj(scale)->set_content_scale_factor(scale, 0.0f), kResultFalse);

  EXPECT_EQ(v3_cpp_obj(view)->removed(view), kResultOk);
  v3_cpp_obj(view)->set_frame(view, nullptr);
  v3_cpp_obj_unref(scale);
  v3_cpp_obj_unref(view);
  DestroyWindow(parent);
  plugin.Stop();
  plugin.Release();
  EXPECT_EQ(GateVst3::LiveObjects(), 0);
  SetUserSettingsFolder("");
}

}  // namespace
