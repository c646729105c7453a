// The CLAP editor on Linux: embedded in a host's X11 window only, with a
// timer of the host's, one window at a time, sized as the host's window lets
// it be, and gone with its timer when the host destroys the editor. (Its
// ticks and the edits they bring the host are module_clap_formats' drag.)
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "clap_test_host.h"
#include "editor_x11/x11_headers.h"
#include "gui/editor_view.h"
#include "gui/user_settings.h"
#include "tests/editor_x11/xvfb_display.h"

namespace {

const ::testing::Environment* const kXvfb =
    ::testing::AddGlobalTestEnvironment(new editor_test::XvfbDisplay);

std::vector<Window> Children(Display* display, Window parent) {
  XSync(display, False);
  Window root = 0, ignored = 0, *children = nullptr;
  unsigned count = 0;
  XQueryTree(display, parent, &root, &ignored, &children, &count);
  std::vector<Window> list(children, children + count);
  if (children) XFree(children);
  return list;
}

TEST(ClapGuiX11, EmbedsTheEditorWithATimerOfTheHosts) {
  SetUserSettingsFolder("/tmp/quorvel-clap-x11-" + std::to_string(getpid()));
  Display* display = XOpenDisplay(nullptr);
  ASSERT_NE(display, nullptr);
  Window parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 620, 285, 0, 0, 0);
  XMapWindow(display, parent);
  XSync(display, False);

  TestHost host;
  ClapPlugin p(host);
  const auto* gui = p.Ext<clap_plugin_gui_t>(CLAP_EXT_GUI);
  ASSERT_NE(gui, nullptr);
  // Embedded X11 windows only.
  for (const char* api : {CLAP_WINDOW_API_X11, CLAP_WINDOW_API_WIN32}) {
    for (const bool floating : {false, true}) {
      EXPECT_EQ(gui->is_api_supported(p.plugin, api, floating),
                std::string(api) == CLAP_WINDOW_API_X11 && !floating)
          << api << " floating " << floating;
    }
  }
  const char* api = nullptr;
  bool floating = true;
  ASSERT_TRUE(gui->get_preferred_api(p.plugin, &api, &floating));
  EXPECT_STREQ(api, CLAP_WINDOW_API_X11);
  EXPECT_FALSE(floating);
  EXPECT_FALSE(gui->can_resize(p.plugin));
  EXPECT_FALSE(gui->create(p.plugin, CLAP_WINDOW_API_X11, true));

  ASSERT_TRUE(gui->create(p.plugin, CLAP_WINDOW_API_X11, false));
  EXPECT_FALSE(gui->create(p.plugin, CLAP_WINDOW_API_X11, false));
  uint32_t width = 0, height = 0;
  ASSERT_TRUE(gui->get_size(p.plugin, &width, &height));
  int32_t preferredWidth = 0, preferredHeight = 0;
  ASSERT_TRUE(p.Object()->Instance()->PreferredEditorSize(&preferredWidth, &preferredHeight));
  EXPECT_EQ(width, static_cast<uint32_t>(preferredWidth));
  EXPECT_EQ(height, static_cast<uint32_t>(preferredHeight));

  clap_window_t window = {};
  window.api = CLAP_WINDOW_API_WIN32;
  window.x11 = parent;
  EXPECT_FALSE(gui->set_parent(p.plugin, &window));
  window.api = CLAP_WINDOW_API_X11;
  ASSERT_TRUE(gui->set_parent(p.plugin, &window));
  EXPECT_EQ(host.timersRegistered, 1);
  const std::vector<Window> editorWindows = Children(display, parent);
  ASSERT_EQ(editorWindows.size(), 1u);
  // A second parent: refused, the first window kept.
  EXPECT_FALSE(gui->set_parent(p.plugin, &window));
  EXPECT_EQ(Children(display, parent), editorWindows);
  EXPECT_EQ(host.timersRegistered, 1);

  // The editor's own size changes ask the host's window to follow; a
  // refusal sends the editor back to the size the window has.
  IEditorView* editor = p.Object()->Instance()->Editor();
  ASSERT_EQ(editor->SizePercent(), 100);
  host.acceptResize = false;
  editor->SetSizePercent(150);
  EXPECT_EQ(host.askedWidth, width * 3 / 2);
  EXPECT_EQ(editor->SizePercent(), 100);
  uint32_t nowWidth = 0, nowHeight = 0;
  ASSERT_TRUE(gui->get_size(p.plugin, &nowWidth, &nowHeight));
  EXPECT_EQ(nowWidth, width);
  EXPECT_EQ(nowHeight, height);
  host.acceptResize = true;
  editor->SetSizePercent(150);
  EXPECT_EQ(editor->SizePercent(), 150);
  ASSERT_TRUE(gui->get_size(p.plugin, &nowWidth, &nowHeight));
  EXPECT_EQ(nowWidth, host.askedWidth);
  EXPECT_EQ(nowHeight, host.askedHeight);
  EXPECT_EQ(nowWidth, width * 3 / 2);
  host.acceptResize = false;
  editor->SetSizePercent(200);
  EXPECT_EQ(editor->SizePercent(), 150);

  gui->destroy(p.plugin);
  EXPECT_EQ(host.timersRegistered, 0);
  EXPECT_TRUE(Children(display, parent).empty());
  // Made again after a destroy, it opens again.
  ASSERT_TRUE(gui->create(p.plugin, CLAP_WINDOW_API_X11, false));
  ASSERT_TRUE(gui->set_parent(p.plugin, &window));
  EXPECT_EQ(Children(display, parent).size(), 1u);
  gui->destroy(p.plugin);
  EXPECT_TRUE(Children(display, parent).empty());
  XDestroyWindow(display, parent);
  XCloseDisplay(display);
  SetUserSettingsFolder("");
}

}  // namespace
