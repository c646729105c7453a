// The X11 editor's life in a host: opened and closed many times while the
// audio runs, with the process's descriptors (X connections, shared memory),
// threads, heap and the host window's children flat; two instances' editors
// open at once, each answering its own input.
#include <dirent.h>

#include <stdlib.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <thread>

#include "gui/pattern_menu.h"
#include "gui/url_open.h"
#include "gui/user_settings.h"

#include "tests/editor_x11/xvfb_display.h"
// after gtest
#include "tests/editor_x11/x11_editor_fixture.h"
// after Xlib
#include <X11/extensions/XTest.h>

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
    display_ = OpenDisplayConnection();
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

// Quick clicks pair into double clicks only two at a time and on one place:
// a third quick click is a press again, and a quick click on another bar is
// a press of its own. A press on a bar's right end sets its entry; a double
// click sets the bar back to its first value.
TEST_F(X11Editor, AThirdQuickClickAndAQuickClickElsewhereArePresses) {
  HostedX11Editor hosted(display_);
  ASSERT_TRUE(hosted.Open());
  hosted.Tick(2);
  const uint16_t* pattern = hosted.Plug()->StepPattern;
  const uint16_t first = pattern[0];
  const auto click = [&](int k, unsigned long gap) {
    const Rect bar = BarRect(k);
    hosted.Pointer(ButtonPress, Button1, 0, bar.right - 1, bar.top + 5, gap);
    hosted.Pointer(ButtonRelease, Button1, Button1Mask, bar.right - 1, bar.top + 5, 10);
  };
  click(0, 1000);
  const uint16_t pressed = pattern[0];
  ASSERT_NE(pressed, first);
  click(0, 100);
  EXPECT_EQ(pattern[0], first);  // the double click
  click(0, 100);
  EXPECT_EQ(pattern[0], pressed);
  // Bar 1 starts where bar 0 did; a quick click on it presses.
  ASSERT_EQ(pattern[1], first);
  click(1, 100);
  EXPECT_EQ(pattern[1], pressed);
  EXPECT_EQ(UnbalancedGestures(), "");
}

// The editor's own keys as X delivers them, with the modifier state: Shift
// sets the lower row's step, Ctrl+C copies, Ctrl+V pastes over later changes.
TEST_F(X11Editor, KeysWithModifiersSetStepsCopyAndPasteThroughTheWindow) {
  HostedX11Editor hosted(display_);
  ASSERT_TRUE(hosted.Open());
  hosted.Tick(2);
  const Window window = hosted.Editor()->XWindow();
  const uint16_t* pattern = hosted.Plug()->StepPattern;
  hosted.Key(window, XK_Right);
  hosted.Key(window, XK_1);
  hosted.Key(window, XK_3, ShiftMask);
  EXPECT_EQ(pattern[0], 1);
  EXPECT_EQ(pattern[32], 3);
  hosted.Key(window, XK_c, ControlMask);
  hosted.Key(window, XK_0);
  ASSERT_EQ(pattern[0], 0);
  hosted.Key(window, XK_v, ControlMask);
  EXPECT_EQ(pattern[0], 1);
  EXPECT_EQ(UnbalancedGestures(), "");
}

// Ctrl held with a press, as X reports it in the event's state, edits the
// step's chance and not its time: step 1 is the first digit of the first
// chance word (4^10), cycling 100 -> 75 -> 50 %.
TEST_F(X11Editor, CtrlClicksOnAStepBarCycleItsChanceThroughTheWindow) {
  HostedX11Editor hosted(display_);
  ASSERT_TRUE(hosted.Open());
  hosted.Tick(2);
  const uint16_t* pattern = hosted.Plug()->StepPattern;
  IPlugParam* word = hosted.Plug()->GetParam(kChanceWord0);
  const uint16_t time = pattern[0];
  const double expected[] = {1048576, 2097152};
  for (double value : expected) {
    hosted.Pointer(ButtonPress, Button1, ControlMask, 33, 215);
    hosted.Pointer(ButtonRelease, Button1, ControlMask | Button1Mask, 33, 215);
    hosted.Tick(1);
    EXPECT_DOUBLE_EQ(word->Value(), value);
  }
  EXPECT_EQ(pattern[0], time);
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
  const auto geometry = [&](Window window) {
    XWindowAttributes a = {};
    XGetWindowAttributes(display_, window, &a);
    return Rect{a.x, a.y, a.x + a.width, a.y + a.height};
  };
  for (const auto& [resources, size] :
       {std::pair{"Xft.antialias:\t1\nXft.dpi:\t144\n", 150}, std::pair{"Xft.dpi:\t192\n", 200},
        std::pair{"Xcursor.size:\t96\n", 100}}) {
    setResources(resources);
    HostedX11Editor hosted(display_);
    // The host's first question already has the size the window opens at.
    vst2::ERect* rect = nullptr;
    ASSERT_EQ(hosted.Dispatch(vst2::effEditGetRect, &rect), 1);
    const Rect asked{rect->left, rect->top, rect->right, rect->bottom};
    EXPECT_EQ(asked, (Rect{0, 0, ScaleCoordinate(620, size), ScaleCoordinate(285, size)}))
        << resources;
    ASSERT_TRUE(hosted.Open());
    EXPECT_EQ(hosted.Editor()->SizePercent(), size) << resources;
    EXPECT_EQ(geometry(hosted.Editor()->XWindow()), asked) << resources;
  }
  XDeleteProperty(display_, root, XInternAtom(display_, "RESOURCE_MANAGER", False));

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
      if (ending == 0) {  // Up on the first row stays there
        hosted.Key(editor->Popup(), XK_Up);
        EXPECT_EQ(editor->PopupSelection(), 0);
        hosted.Key(editor->Popup(), XK_Escape);
      }
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

// The real pointer through the server's test extension: the focus changes
// the server reports as the size menu takes the keyboard and the pointer
// moves over it (NotifyPointer and the like) do not close it.
TEST_F(X11Editor, TheSizeMenuStaysOpenUnderTheRealPointer) {
  int event = 0, error = 0, major = 0, minor = 0;
  ASSERT_TRUE(XTestQueryExtension(display_, &event, &error, &major, &minor));
  HostedX11Editor hosted(display_);
  ASSERT_TRUE(hosted.Open());
  hosted.Tick(2);
  XEditorWindow* editor = hosted.Editor();
  // Moves the pointer to (x, y) of `window`, or presses and releases `button`,
  // then idles until `done` holds (a bounded number of times: the server
  // passes the input on at its own pace).
  const auto input = [&](Window window, int x, int y, unsigned button, auto done) {
    if (button == 0) {
      Window child = 0;
      int rootX = 0, rootY = 0;
      XTranslateCoordinates(display_, window, DefaultRootWindow(display_), x, y, &rootX, &rootY,
                            &child);
      XTestFakeMotionEvent(display_, DefaultScreen(display_), rootX, rootY, CurrentTime);
    } else {
      XTestFakeButtonEvent(display_, button, True, CurrentTime);
      XTestFakeButtonEvent(display_, button, False, CurrentTime);
    }
    XSync(display_, False);
    for (int i = 0; i < 400; ++i, usleep(5000)) {
      hosted.Tick();
      if (done()) return true;
    }
    return false;
  };
  // A right click on the background opens the size menu; over the third row,
  // then the second, the menu follows and stays open.
  input(editor->XWindow(), 5, 200, 0, [] { return true; });
  ASSERT_TRUE(input(0, 0, 0, 3, [&] { return editor->PopupIsSizeMenu(); }));
  const Window menu = editor->Popup();
  EXPECT_TRUE(input(menu, 20, 18 * 2 + 9, 0, [&] { return editor->PopupSelection() == 2; }));
  EXPECT_TRUE(input(menu, 20, 18 + 9, 0, [&] { return editor->PopupSelection() == 1; }));
  for (int i = 0; i < 5; ++i) hosted.Tick();
  EXPECT_EQ(editor->Popup(), menu);
  EXPECT_EQ(UnbalancedGestures(), "");
}

std::string FileText(const std::string& path) {
  std::ifstream file(path);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

// A click on the title plate asks the desktop's opener for the effect's page
// and returns while the opener still runs: here a stand-in found first on
// PATH notes its address, then waits until the test lets it go, which the
// test does only once the click has returned. An editor that waited for it
// would see the stand-in give up first, and its note would say so.
TEST_F(X11Editor, TheTitlePlatesLinkStartsTheOpenerWithoutWaitingForIt) {
  char folder[] = "/tmp/quorvel_opener_XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  const std::string dir = folder;
  ASSERT_EQ(mkfifo((dir + "/go").c_str(), 0600), 0);
  std::ofstream(dir + "/xdg-open")
      << "#!/bin/bash\ncd \"${0%/*}\" && echo \"$1\" >asked && exec 3<>go\n"
         "if read -t 20 w <&3; then echo released; else echo gave up; fi >ended\n";
  ASSERT_EQ(chmod((dir + "/xdg-open").c_str(), 0700), 0);
  const std::string path = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
  setenv("PATH", (dir + ":" + path).c_str(), 1);

  HostedX11Editor hosted(display_);
  ASSERT_TRUE(hosted.Open());
  hosted.Tick(2);
  hosted.Pointer(ButtonPress, Button1, 0, 260, 30);
  hosted.Pointer(ButtonRelease, Button1, Button1Mask, 260, 30);
  // The click has returned; the opener started and still waits.
  for (int i = 0; i < 2000 && FileText(dir + "/asked").empty(); ++i) usleep(5000);
  EXPECT_EQ(FileText(dir + "/asked"), std::string("https://") + IURLOpen::kWebHost + "/" +
                                          hosted.Plug()->EffectName() + "\n");
  EXPECT_EQ(FileText(dir + "/ended"), "");
  // Without blocking: an opener that gave up reads no more.
  const int go = open((dir + "/go").c_str(), O_WRONLY | O_NONBLOCK);
  ASSERT_GE(go, 0);
  EXPECT_EQ(write(go, "go\n", 3), 3);
  close(go);
  for (int i = 0; i < 2000 && FileText(dir + "/ended").empty(); ++i) usleep(5000);
  EXPECT_EQ(FileText(dir + "/ended"), "released\n");
  setenv("PATH", path.c_str(), 1);
  EXPECT_EQ(UnbalancedGestures(), "");
  EXPECT_EQ(std::system(("rm -r " + dir).c_str()), 0);
}

// The pattern menu through X events: the footer button opens it, Escape
// arrives as the menu's key, a focus lost closes it but a keyboard grab
// borrowed by another client does not, and closing the editor closes it.
TEST_F(X11Editor, PatternMenuAnswersXKeysFocusAndPointer) {
  HostedX11Editor hosted(display_);
  ASSERT_TRUE(hosted.Open());
  hosted.Tick(2);
  XEditorWindow* editor = hosted.Editor();
  auto* menu = dynamic_cast<PatternMenu*>(editor->GetControl(editor->ControlCount() - 1));
  ASSERT_NE(menu, nullptr);
  const auto openMenu = [&] {  // a click on the footer button
    hosted.Pointer(ButtonPress, Button1, 0, 456, 276);
    hosted.Pointer(ButtonRelease, Button1, Button1Mask, 456, 276);
    ASSERT_TRUE(menu->IsOpen());
  };
  openMenu();
  hosted.Key(editor->XWindow(), XK_Escape);
  EXPECT_FALSE(menu->IsOpen());
  openMenu();
  hosted.Notify(FocusOut, NotifyGrab);
  EXPECT_TRUE(menu->IsOpen()) << "a borrowed keyboard is no focus lost";
  hosted.Notify(FocusOut, NotifyNormal);
  EXPECT_FALSE(menu->IsOpen());
  openMenu();
  hosted.Close();
  EXPECT_FALSE(menu->IsOpen()) << "closing the editor closes the menu";
}

}  // namespace
}  // namespace editor_test
