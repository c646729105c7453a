// The X11 editor's life in a host: opened and closed many times while the
// audio runs, with the process's descriptors (X connections, shared memory),
// threads, heap and the host window's children flat; two instances' editors
// open at once, each answering its own input.
#include <dirent.h>

#include <stdlib.h>

#include <atomic>
#include <cstdio>
#include <thread>

#include "gui/user_settings.h"

#include "tests/editor_x11/xvfb_display.h"
// after gtest
#include "tests/editor_x11/x11_editor_fixture.h"

extern "C" size_t __sanitizer_get_current_allocated_bytes() __attribute__((weak));

namespace editor_test {
namespace {

const ::testing::Environment* const kXvfb = ::testing::AddGlobalTestEnvironment(new XvfbDisplay);

int EntriesIn(const char* folder) {
  DIR* dir = opendir(folder);
  if (dir == nullptr) return -1;
  int count = 0;
  while (readdir(dir) != nullptr) ++count;
  closedir(dir);
  return count;
}

int Children(Display* display, Window window) {
  Window root = 0, parent = 0, *children = nullptr;
  unsigned count = 0;
  XQueryTree(display, window, &root, &parent, &children, &count);
  if (children != nullptr) XFree(children);
  return static_cast<int>(count);
}

struct Resources {
  int descriptors;
  int threads;
  size_t heap;
  int children;
};

Resources Measure(Display* display, Window host) {
  return {EntriesIn("/proc/self/fd"), EntriesIn("/proc/self/task"),
          __sanitizer_get_current_allocated_bytes ? __sanitizer_get_current_allocated_bytes() : 0,
          Children(display, host)};
}

class X11Editor : public ::testing::Test {
 protected:
  void SetUp() override {
    display_ = XOpenDisplay(nullptr);
    ASSERT_NE(display_, nullptr) << "no X display";
    HostLog().clear();
  }
  void TearDown() override {
    if (display_ != nullptr) XCloseDisplay(display_);
  }
  Display* display_ = nullptr;
};

TEST_F(X11Editor, OpensAndClosesTwoHundredTimesWithAudioRunningAndLeavesNothingBehind) {
  HostedX11Editor hosted(display_);
  std::atomic<bool> running{true};
  std::thread audio([&] {
    while (running) RunAudioBlock(hosted.Effect());
  });
  // A first cycle fills the process-wide image and font caches.
  ASSERT_TRUE(hosted.Open());
  hosted.Tick(2);
  hosted.Close();
  const Resources before = Measure(display_, hosted.Host());
  EXPECT_EQ(before.children, 0);
  for (int cycle = 0; cycle < 200; ++cycle) {
    ASSERT_TRUE(hosted.Open()) << cycle;
    EXPECT_EQ(Children(display_, hosted.Host()), 1);
    hosted.Pointer(ButtonPress, Button1, 0, 51, 125);  // a drag on the Rate knob, cut short
    hosted.Pointer(MotionNotify, 0, Button1Mask, 51, 100 + cycle % 20);
    hosted.Tick(1);
    hosted.Close();
  }
  const Resources after = Measure(display_, hosted.Host());
  running = false;
  audio.join();
  EXPECT_EQ(after.descriptors, before.descriptors);
  EXPECT_EQ(after.threads, before.threads);
  EXPECT_EQ(after.children, 0);
  // Allocations come and go with each window; a leak of even one back
  // buffer (700 kB) per cycle would show here.
  EXPECT_LT(after.heap, before.heap + 64 * 1024);
  // Every drag cut short by the close was ended for the host.
  EXPECT_EQ(UnbalancedGestures(), "");
}

TEST_F(X11Editor, TwoInstancesEditorsOpenAtOnceEachAnswerTheirOwnInput) {
  HostedX11Editor first(display_, 0);
  HostedX11Editor second(display_, 700);
  ASSERT_TRUE(first.Open());
  ASSERT_TRUE(second.Open());
  EXPECT_NE(first.Editor()->XWindow(), second.Editor()->XWindow());
  first.Tick(2);
  second.Tick(2);
  // Xvfb offers MIT-SHM: both draw through shared memory.
  EXPECT_TRUE(first.Editor()->UsesSharedMemory());
  EXPECT_TRUE(second.Editor()->UsesSharedMemory());
  const double firstRate = first.Plug()->GetParam(kRate)->Value();
  const double secondRate = second.Plug()->GetParam(kRate)->Value();
  // Dragging the Rate knob up in the second editor turns only the second's.
  second.Pointer(ButtonPress, Button1, 0, 51, 125);
  for (int y = 120; y >= 60; y -= 10) second.Pointer(MotionNotify, 0, Button1Mask, 51, y);
  second.Pointer(ButtonRelease, Button1, Button1Mask, 51, 60);
  first.Tick(2);
  second.Tick(2);
  EXPECT_EQ(first.Plug()->GetParam(kRate)->Value(), firstRate);
  EXPECT_GT(second.Plug()->GetParam(kRate)->Value(), secondRate);
  // Both windows show their editor: the background's corner pixel read back.
  for (HostedX11Editor* hosted : {&first, &second}) {
    XImage* image =
        XGetImage(display_, hosted->Editor()->XWindow(), 5, 280, 1, 1, AllPlanes, ZPixmap);
    ASSERT_NE(image, nullptr);
    const unsigned long pixel = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    EXPECT_EQ(pixel & 0xFFFFFF,
              hosted->Editor()
                      ->BackBuffer()
                      ->GetBits()[280 * hosted->Editor()->BackBuffer()->GetRowSpan() + 5] &
                  0xFFFFFF);
  }
  EXPECT_EQ(UnbalancedGestures(), "");
}

// The popups: Enter applies the typed text, Escape or the focus going
// elsewhere cancels, a left click in the editor applies, and the list of an
// enumerated parameter moves with the arrow keys.
TEST_F(X11Editor, PopupsApplyOnEnterAndClicksAndCancelOnEscapeAndFocusLoss) {
  HostedX11Editor hosted(display_);
  ASSERT_TRUE(hosted.Open());
  hosted.Tick(2);
  IPlugParam* cycle = hosted.Plug()->GetParam(kCycle);
  const auto openOnCycle = [&] {
    hosted.Pointer(ButtonPress, Button3, 0, 121, 125);
    hosted.Pointer(ButtonRelease, Button3, Button3Mask, 121, 125);
    ASSERT_NE(hosted.Editor()->Popup(), 0u);
    char shown[64] = {};
    cycle->FormatValue(cycle->Value(), false, shown, sizeof(shown));
    EXPECT_EQ(hosted.Editor()->PopupText(), shown);
  };
  const auto type = [&](std::initializer_list<KeySym> keys) {
    for (KeySym key : keys) hosted.Key(hosted.Editor()->Popup(), key);
  };
  const double before = cycle->Value();
  openOnCycle();
  type({XK_BackSpace, XK_BackSpace, XK_9, XK_Return});
  hosted.Tick(1);
  EXPECT_EQ(hosted.Editor()->Popup(), 0u);
  EXPECT_EQ(cycle->Value(), 9.0);

  for (const int ending : {0, 1}) {  // Escape, then the focus lost
    openOnCycle();
    type({XK_BackSpace, XK_BackSpace, XK_3});
    EXPECT_EQ(hosted.Editor()->PopupText(), "3");
    if (ending == 0) {
      type({XK_Escape});
    } else {
      hosted.Notify(FocusOut, NotifyNormal, hosted.Editor()->Popup());
    }
    hosted.Tick(1);
    EXPECT_EQ(hosted.Editor()->Popup(), 0u) << ending;
    EXPECT_EQ(cycle->Value(), 9.0) << ending;
  }

  openOnCycle();
  type({XK_BackSpace, XK_BackSpace, XK_2, XK_5});
  hosted.Pointer(ButtonPress, Button1, 0, 5, 280);  // on the background
  hosted.Pointer(ButtonRelease, Button1, Button1Mask, 5, 280);
  hosted.Tick(1);
  EXPECT_EQ(hosted.Editor()->Popup(), 0u);
  EXPECT_EQ(cycle->Value(), 25.0);
  EXPECT_NE(before, 25.0);

  // The Rate knob's list starts on the current entry; Down and Enter pick
  // the next one.
  IPlugParam* rate = hosted.Plug()->GetParam(kRate);
  const double rateBefore = rate->Value();
  hosted.Pointer(ButtonPress, Button3, 0, 51, 125);
  hosted.Pointer(ButtonRelease, Button3, Button3Mask, 51, 125);
  ASSERT_NE(hosted.Editor()->Popup(), 0u);
  EXPECT_GE(hosted.Editor()->PopupSelection(), 0);
  type({XK_Down, XK_Return});
  hosted.Tick(1);
  EXPECT_EQ(hosted.Editor()->Popup(), 0u);
  EXPECT_EQ(rate->Value(), rateBefore + 1.0);
  EXPECT_EQ(UnbalancedGestures(), "");
}

// The desktop's density (Xft.dpi) picks the first size; the size menu opens
// on the current size, inside the editor, and a pick resizes the window,
// asks the host and is remembered; Escape, a click beside it and the focus
// lost choose nothing and press nothing.
TEST_F(X11Editor, SizeMenuPicksRemembersOrChoosesNothingAndDesktopDensityGivesTheFirstSize) {
  char folder[] = "/tmp/quorvel_sizes_XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  SetUserSettingsFolder(folder);
  const Window root = DefaultRootWindow(display_);
  const auto setResources = [&](const char* text) {
    const Atom property = XInternAtom(display_, "RESOURCE_MANAGER", False);
    XChangeProperty(display_, root, property, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(text), static_cast<int>(strlen(text)));
    XSync(display_, False);
  };
  for (const auto& [resources, size] :
       {std::pair{"Xft.antialias:\t1\nXft.dpi:\t144\n", 150}, std::pair{"Xft.dpi:\t192\n", 200},
        std::pair{"Xcursor.size:\t96\n", 100}}) {
    setResources(resources);
    HostedX11Editor hosted(display_);
    ASSERT_TRUE(hosted.Open());
    EXPECT_EQ(hosted.Editor()->SizePercent(), size) << resources;
  }
  XDeleteProperty(display_, root, XInternAtom(display_, "RESOURCE_MANAGER", False));

  const auto geometry = [&](Window window) {
    XWindowAttributes a = {};
    XGetWindowAttributes(display_, window, &a);
    return Rect{a.x, a.y, a.x + a.width, a.y + a.height};
  };
  {
    HostedX11Editor hosted(display_);
    ASSERT_TRUE(hosted.Open());
    XEditorWindow* editor = hosted.Editor();
    HostLog().clear();
    const auto openMenu = [&](int x, int y) {
      hosted.Pointer(ButtonPress, Button3, 0, x, y);
      hosted.Pointer(ButtonRelease, Button3, Button3Mask, x, y);
      ASSERT_TRUE(editor->PopupIsSizeMenu());
      EXPECT_EQ(editor->PopupSelection(), editor->SizePercent() == 100 ? 0 : 2);
    };
    for (int ending = 0; ending < 3; ++ending) {
      openMenu(5, 280);
      const Rect menu = geometry(editor->Popup());
      EXPECT_TRUE(menu.left >= 0 && menu.top >= 0 && menu.right <= 620 && menu.bottom <= 285);
      if (ending == 0) hosted.Key(editor->Popup(), XK_Escape);
      if (ending == 1) {  // on the Cycle knob
        hosted.Pointer(ButtonPress, Button1, 0, 121, 125);
        hosted.Pointer(ButtonRelease, Button1, Button1Mask, 121, 125);
      }
      if (ending == 2) hosted.Notify(FocusOut, NotifyNormal, editor->Popup());
      hosted.Tick(1);
      EXPECT_EQ(editor->Popup(), 0u) << ending;
      EXPECT_EQ(editor->SizePercent(), 100) << ending;
    }
    EXPECT_TRUE(HostLog().empty());
    openMenu(5, 280);
    for (KeySym key : {XK_Down, XK_Down, XK_Return}) hosted.Key(editor->Popup(), key);
    hosted.Tick(1);
    EXPECT_EQ(editor->SizePercent(), 150);
    EXPECT_EQ(geometry(editor->XWindow()), (Rect{0, 0, 930, 428}));
    ASSERT_FALSE(HostLog().empty());
    EXPECT_EQ(HostLog().back().opcode, vst2::audioMasterSizeWindow);
    EXPECT_EQ(HostLog().back().index, 930);
  }
  HostedX11Editor reopened(display_);
  ASSERT_TRUE(reopened.Open());
  EXPECT_EQ(reopened.Editor()->SizePercent(), 150);
  // A click on the first row, 27 pixels high at 150 %.
  reopened.Pointer(ButtonPress, Button3, 0, 920, 420);
  reopened.Pointer(ButtonRelease, Button3, Button3Mask, 920, 420);
  const Window menu = reopened.Editor()->Popup();
  ASSERT_NE(menu, 0u);
  EXPECT_EQ(geometry(menu).right, 930);
  reopened.Pointer(MotionNotify, 0, 0, 20, 30, 1000, menu);
  EXPECT_EQ(reopened.Editor()->PopupSelection(), 1);
  reopened.Pointer(ButtonPress, Button1, 0, 20, 26, 1000, menu);
  reopened.Tick(1);
  EXPECT_EQ(reopened.Editor()->SizePercent(), 100);
  EXPECT_EQ(LoadEditorSizeSetting(), 100);
  reopened.Close();
  SetUserSettingsFolder("");
  std::remove((std::string(folder) + "/editor.txt").c_str());
  rmdir(folder);
}

}  // namespace
}  // namespace editor_test
