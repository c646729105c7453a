// The VST 3 view on Linux: the editor embedded in a host's X11 window,
// driven by a timer and a descriptor handler on the host's run loop, drawing the same background as
// the image it is made of, and leaving neither window nor timer behind.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "editor_x11/x11_headers.h"
#include "gate_plugin.h"
#include "graphics/bitmap.h"
#include "graphics/png_loader.h"
#include "gui/user_settings.h"
#include "tests/editor_x11/xvfb_display.h"

namespace {

const ::testing::Environment* const kXvfb =
    ::testing::AddGlobalTestEnvironment(new editor_test::XvfbDisplay);

unsigned ChildCount(Display* display, Window parent) {
  Window root = 0, ignored = 0, *children = nullptr;
  unsigned count = 0;
  XQueryTree(display, parent, &root, &ignored, &children, &count);
  if (children) XFree(children);
  return count;
}

TEST(Vst3PlugViewX11, EmbedsTheEditorAndTicksFromTheHostsRunLoop) {
  const std::string folder = "/tmp/quorvel-vst3-x11-" + std::to_string(getpid());
  SetUserSettingsFolder(folder);  // no size chosen by a user: 100 % on Xvfb
  const char* source = std::getenv("QUORVEL_SOURCE_DIR");
  std::unique_ptr<Bitmap> background(LoadPngFromFile(
      (std::string(source ? source : QUORVEL_SOURCE_ROOT) + "/img/bg.png").c_str(), nullptr));
  ASSERT_NE(background, nullptr);
  Display* display = XOpenDisplay(nullptr);
  ASSERT_NE(display, nullptr);
  Window parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 620, 285, 0, 0, 0);
  XMapWindow(display, parent);
  XSync(display, False);

  HostContext host;
  GatePlugin plugin = GatePlugin::Create();
  plugin.Initialise(host);
  auto** view = v3_cpp_obj(plugin.controller)->create_view(plugin.controller, "editor");
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(v3_cpp_obj(view)->is_platform_type_supported(view, V3_VIEW_PLATFORM_TYPE_X11),
            kResultOk);
  EXPECT_NE(v3_cpp_obj(view)->is_platform_type_supported(view, V3_VIEW_PLATFORM_TYPE_HWND),
            kResultOk);
  v3_cpp_obj(view)->set_frame(view, host.Frame());
  void* parentId = reinterpret_cast<void*>(static_cast<uintptr_t>(parent));
  ASSERT_EQ(v3_cpp_obj(view)->attached(view, parentId, V3_VIEW_PLATFORM_TYPE_X11), kResultOk);
  ASSERT_NE(host.timer, nullptr);
  EXPECT_EQ(host.timerMs, 41u);
  EXPECT_EQ(ChildCount(display, parent), 1u);

  // A press on the Cycle knob, read when the run loop sees the descriptor
  // readable, with no tick in between: the host hears the gesture begin.
  ASSERT_NE(host.eventHandler, nullptr);
  EXPECT_GE(host.eventFd, 0);
  Window root = 0, ignored = 0, *children = nullptr;
  unsigned count = 0;
  XQueryTree(display, parent, &root, &ignored, &children, &count);
  ASSERT_EQ(count, 1u);
  XEvent press = {};
  press.xbutton = {ButtonPress, 0,   True, display, children[0], root,    0,   1,
                   121,         125, 0,    0,       0,           Button1, True};
  XFree(children);
  XSendEvent(display, press.xbutton.window, False, 0, &press);
  XSync(display, False);
  const int editsBefore = host.edits;
  ASSERT_TRUE(host.FireEvents());
  EXPECT_GT(host.edits, editsBefore);

  for (int tick = 0; tick < 5; ++tick) {
    ASSERT_TRUE(host.FireTimer());
    usleep(45000);
  }
  XSync(display, False);
  // Corners of the background, where no control draws.
  for (const auto& [x, y] : {std::pair{1, 1}, {618, 1}, {1, 283}, {618, 283}}) {
    XImage* image = XGetImage(display, parent, x, y, 1, 1, AllPlanes, ZPixmap);
    ASSERT_NE(image, nullptr);
    const unsigned long shown = XGetPixel(image, 0, 0) & 0xFFFFFF;
    XDestroyImage(image);
    const Pixel drawn = background->GetBits()[y * background->GetRowSpan() + x] & 0xFFFFFF;
    EXPECT_EQ(shown, drawn) << x << "," << y;
  }

  EXPECT_EQ(v3_cpp_obj(view)->removed(view), kResultOk);
  EXPECT_EQ(host.timer, nullptr);
  EXPECT_EQ(host.eventHandler, nullptr);
  XSync(display, False);
  EXPECT_EQ(ChildCount(display, parent), 0u);
  v3_cpp_obj(view)->set_frame(view, nullptr);
  v3_cpp_obj_unref(view);
  plugin.Stop();
  plugin.Release();
  EXPECT_EQ(GateVst3::LiveObjects(), 0);
  XDestroyWindow(display, parent);
  XCloseDisplay(display);
  SetUserSettingsFolder("");
}

}  // namespace
