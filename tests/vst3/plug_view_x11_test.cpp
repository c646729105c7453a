// The VST 3 view on Linux: the editor embedded in a host's X11 window,
// driven by a timer and a descriptor handler on the host's run loop, drawing the same background as
// the image it is made of, and leaving neither window nor timer behind.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "editor_x11/x11_headers.h"
#include "engine/gate_params.h"
#include "engine/gate_plug.h"
#include "gate_plugin.h"
#include "graphics/bitmap.h"
#include "graphics/png_loader.h"
#include "gui/control.h"
#include "gui/editor_view.h"
#include "gui/user_settings.h"
#include "plug_view_resize_steps.h"
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

Window FirstChild(Display* display, Window parent) {
  Window root = 0, ignored = 0, *children = nullptr;
  unsigned count = 0;
  XQueryTree(display, parent, &root, &ignored, &children, &count);
  const Window child = count > 0 ? children[0] : 0;
  if (children) XFree(children);
  return child;
}

WindowSize SizeOf(Display* display, Window window) {
  XSync(display, False);
  XWindowAttributes attributes = {};
  XGetWindowAttributes(display, window, &attributes);
  return {attributes.width, attributes.height};
}

// The editor resizes its window on its own connection: wait (at most a few
// seconds) until this connection sees the size expected, and answer the last seen.
WindowSize SizeOnceSettled(Display* display, Window window, WindowSize expected) {
  WindowSize seen = SizeOf(display, window);
  for (int wait = 0; wait < 400 && (seen.width != expected.width || seen.height != expected.height);
       ++wait) {
    usleep(10000);
    seen = SizeOf(display, window);
  }
  return seen;
}

// The back buffer's pixels under a 100 % layout rectangle (the editor at 100 %).
std::vector<Pixel> PixelsUnder(IEditorView& editor, const Rect& rect) {
  Bitmap* buffer = editor.BackBuffer();
  std::vector<Pixel> pixels;
  for (int y = rect.top; y < rect.bottom; ++y) {
    const Pixel* row = buffer->GetBits() + y * buffer->GetRowSpan();
    pixels.insert(pixels.end(), row + rect.left, row + rect.right);
  }
  return pixels;
}

// Host ticks until the control has drawn its value (both passes).
void TickUntilDrawn(HostContext& host, IControl& control) {
  for (int tick = 0; tick < 100 && (control.IsDirty() || control.RedrawAgain()); ++tick) {
    ASSERT_TRUE(host.FireTimer());
    usleep(45000);
  }
  EXPECT_FALSE(control.IsDirty() || control.RedrawAgain());
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
  // A host that throws while the view opens: an error, and no window left.
  host.timerThrows = true;
  EXPECT_EQ(v3_cpp_obj(view)->attached(view, parentId, V3_VIEW_PLATFORM_TYPE_X11), kInternalError);
  host.timerThrows = false;
  XSync(display, False);
  EXPECT_EQ(ChildCount(display, parent), 0u);
  EXPECT_EQ(host.timer, nullptr);

  ASSERT_EQ(v3_cpp_obj(view)->attached(view, parentId, V3_VIEW_PLATFORM_TYPE_X11), kResultOk);
  ASSERT_NE(host.timer, nullptr);
  EXPECT_EQ(host.timerMs, 41u);
  EXPECT_EQ(ChildCount(display, parent), 1u);
  // Attached twice: refused, the first window and timer untouched.
  const Window editorWindow = FirstChild(display, parent);
  v3_timer_handler** const timer = host.timer;
  EXPECT_NE(v3_cpp_obj(view)->attached(view, parentId, V3_VIEW_PLATFORM_TYPE_X11), kResultOk);
  XSync(display, False);
  EXPECT_EQ(ChildCount(display, parent), 1u);
  EXPECT_EQ(FirstChild(display, parent), editorWindow);
  EXPECT_EQ(host.timer, timer);

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

  // Host automation while the editor is open: the Rate knob draws each value
  // the controller is given, and the same value the same way.
  IEditorView* editor = plugin.Plug()->Editor();
  ASSERT_NE(editor, nullptr);
  ASSERT_EQ(editor->SizePercent(), 100);
  IControl* knob = nullptr;
  for (int i = 0; i < editor->ControlCount() && !knob; ++i) {
    if (editor->GetControl(i)->GetParamIndex() == kRate) knob = editor->GetControl(i);
  }
  ASSERT_NE(knob, nullptr);
  std::vector<Pixel> drawn[2];
  for (int round = 0; round < 3; ++round) {
    const double value = round == 1 ? 0.9 : 0.1;
    plugin.SetParam(kRate, value);
    TickUntilDrawn(host, *knob);
    EXPECT_DOUBLE_EQ(knob->GetValue(), value);
    const std::vector<Pixel> pixels = PixelsUnder(*editor, knob->GetRect());
    if (round < 2) {
      drawn[round] = pixels;
    } else {
      EXPECT_EQ(pixels, drawn[0]);
    }
  }
  EXPECT_NE(drawn[0], drawn[1]);

  // The view's own size changes: the host's window follows them.
  host.resizeWindow = [&](int width, int height) {
    XResizeWindow(display, parent, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XSync(display, False);
    return true;
  };
  v3_plugin_view_content_scale** scale = nullptr;
  ASSERT_EQ(v3_cpp_obj_query_interface(view, v3_plugin_view_content_scale_iid, &scale), kResultOk);
  PlayResizeSteps(
      host, view, scale, [&] { return SizeOf(display, parent); },
      [&](WindowSize expected) { return SizeOnceSettled(display, editorWindow, expected); });
  v3_cpp_obj_unref(scale);

  // The host's keys while the view is attached (character, key code and
  // modifier bits as VST 2 numbers them): the editor's are taken, the
  // others and every release go back to the host.
  VSTCLASS* gate = plugin.Plug();
  const auto keyDown = [&](int16_t character, int16_t keyCode, int16_t modifiers) {
    return v3_cpp_obj(view)->on_key_down(view, character, keyCode, modifiers);
  };
  EXPECT_EQ(keyDown('q', 0, 0), kResultFalse);
  EXPECT_EQ(keyDown('q', 0, 8), kResultFalse);
  EXPECT_EQ(keyDown(0, 13, 0), kResultOk);  // Right: the cursor shows on step 1
  EXPECT_EQ(keyDown('3', 0, 0), kResultOk);
  EXPECT_EQ(gate->StepPattern[0], 3);
  EXPECT_EQ(keyDown('z', 0, 8), kResultOk);  // Ctrl+Z
  EXPECT_EQ(gate->StepPattern[0], 2);
  EXPECT_EQ(keyDown('y', 0, 4), kResultOk);  // Ctrl+Y, Ctrl as the command bit
  EXPECT_EQ(gate->StepPattern[0], 3);
  EXPECT_EQ(v3_cpp_obj(view)->on_key_up(view, 'y', 0, 4), kResultFalse);

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

// Each interface the view answers holds one reference; the view goes with
// the last one, exactly once, and its reference on the owner with it.
TEST(Vst3PlugViewX11, EveryInterfaceHoldsAReferenceAndTheLastReleaseEndsTheView) {
  HostContext host;
  GatePlugin plugin = GatePlugin::Create();
  plugin.Initialise(host);
  const auto ownerReferences = [&] {
    v3_cpp_obj_ref(plugin.component);
    return v3_cpp_obj_unref(plugin.component);
  };
  const uint32_t withoutView = ownerReferences();
  auto** view = v3_cpp_obj(plugin.controller)->create_view(plugin.controller, "editor");
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(ownerReferences(), withoutView + 1);
  const v3_tuid* const answered[] = {&v3_funknown_iid, &v3_plugin_view_iid,
                                     &v3_plugin_view_content_scale_iid, &v3_timer_handler_iid,
                                     &v3_event_handler_iid};
  const auto unknown = [](void* face) { return *static_cast<v3_funknown**>(face); };
  std::vector<void*> faces;
  for (const v3_tuid* iid : answered) {
    void* face = nullptr;
    ASSERT_EQ(unknown(view)->query_interface(view, *iid, &face), kResultOk);
    ASSERT_NE(face, nullptr);
    faces.push_back(face);
    // The view's own reference and one per interface taken so far.
    v3_cpp_obj_ref(view);
    EXPECT_EQ(v3_cpp_obj_unref(view), faces.size() + 1);
  }
  void* none = &none;
  EXPECT_EQ(unknown(view)->query_interface(view, v3_component_iid, &none), kNoInterface);
  EXPECT_EQ(none, nullptr);
  // A second view is refused while this one lives.
  EXPECT_EQ(v3_cpp_obj(plugin.controller)->create_view(plugin.controller, "editor"), nullptr);
  for (size_t i = 0; i < faces.size(); ++i) {
    EXPECT_EQ(unknown(faces[i])->unref(faces[i]), faces.size() - i);
    EXPECT_EQ(ownerReferences(), withoutView + 1);
  }
  EXPECT_EQ(v3_cpp_obj_unref(view), 0u);
  EXPECT_EQ(ownerReferences(), withoutView);
  // Gone from its owner too: the controller makes a new one.
  auto** again = v3_cpp_obj(plugin.controller)->create_view(plugin.controller, "editor");
  ASSERT_NE(again, nullptr);
  v3_cpp_obj_unref(again);
  plugin.Stop();
  plugin.Release();
  EXPECT_EQ(GateVst3::LiveObjects(), 0);
}

}  // namespace
