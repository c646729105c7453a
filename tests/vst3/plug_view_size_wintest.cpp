// The VST 3 view has the editor's size: a host's content scale chooses it
// before the view opens, and a change while it is open asks the host's frame
// to follow with the editor's new pixel size.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "gate_plugin.h"
#include "gui/user_settings.h"

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

  HWND parent = CreateWindowA("STATIC", "host", WS_POPUP, 0, 0, 1240, 570, nullptr, nullptr,
                              nullptr, nullptr);
  v3_cpp_obj(view)->set_frame(view, host.Frame());
  ASSERT_EQ(v3_cpp_obj(view)->attached(view, parent, V3_VIEW_PLATFORM_TYPE_HWND), kResultOk);
  EXPECT_EQ(host.resizes, 0);
  v3_cpp_obj(scale)->set_content_scale_factor(scale, 1.5f);
  EXPECT_EQ(host.resizes, 1);
  EXPECT_EQ(host.lastResize.right - host.lastResize.left, 930);
  EXPECT_EQ(host.lastResize.bottom - host.lastResize.top, 428);
  rect = SizeOf(view);
  EXPECT_EQ(rect.right - rect.left, 930);
  EXPECT_EQ(rect.bottom - rect.top, 428);
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
