// A host that runs a GLib main loop and calls effEditIdle rarely or never:
// the editor's idle work then runs from that loop, on the loop's thread, and
// only while the host's own calls are missing; work still waiting when the
// editor closes never runs.
#include <dlfcn.h>
#include <unistd.h>

#include <chrono>
#include <functional>

#include "tests/editor_x11/xvfb_display.h"
// after gtest
#include "tests/editor_x11/x11_editor_fixture.h"

namespace editor_test {
namespace {

const ::testing::Environment* const kXvfb = ::testing::AddGlobalTestEnvironment(new XvfbDisplay);

// The host's GLib, loaded into the process as a GTK or Qt host has it, with
// its default context owned by the test thread.
class HostGLib {
 public:
  HostGLib() {
    library_ = dlopen("libglib-2.0.so.0", RTLD_NOW | RTLD_GLOBAL);
    if (library_ == nullptr) return;
    auto contextDefault = Find<void* (*)()>("g_main_context_default");
    acquire_ = Find<int (*)(void*)>("g_main_context_acquire");
    release_ = Find<void (*)(void*)>("g_main_context_release");
    iterate_ = Find<int (*)(void*, int)>("g_main_context_iteration");
    context_ = contextDefault();
    acquire_(context_);
  }
  ~HostGLib() {
    if (context_ != nullptr) release_(context_);
  }
  bool Loaded() const { return context_ != nullptr; }
  // Runs the loop for `ms` or until `done`, calling `between` every
  // `everyMs` (0: never).
  void RunFor(int ms, int everyMs = 0, const std::function<void()>& between = {},
              const std::function<bool()>& done = {}) {
    const auto start = std::chrono::steady_clock::now();
    auto next = start;
    while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(ms) &&
           !(done && done())) {
      if (everyMs > 0 && std::chrono::steady_clock::now() >= next) {
        between();
        next += std::chrono::milliseconds(everyMs);
      }
      while (iterate_(context_, 0) != 0) {
      }
      usleep(1000);
    }
  }

 private:
  template <class Function>
  Function Find(const char* name) {
    return reinterpret_cast<Function>(dlsym(library_, name));
  }
  void* library_ = nullptr;
  void* context_ = nullptr;
  int (*acquire_)(void*) = nullptr;
  void (*release_)(void*) = nullptr;
  int (*iterate_)(void*, int) = nullptr;
};

class X11EditorIdle : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(glib_.Loaded()) << "libglib-2.0.so.0 is missing (tools/setup.sh installs it)";
    display_ = OpenDisplayConnection();
    ASSERT_NE(display_, nullptr) << "no X display";
    HostLog().clear();
  }
  void TearDown() override {
    if (display_ != nullptr) XCloseDisplay(display_);
  }
  HostGLib glib_;
  Display* display_ = nullptr;
};

TEST_F(X11EditorIdle, WithoutHostIdleCallsTheLoopReadsInputAndEndsTheGestureOnItsThread) {
  HostedX11Editor hosted(display_);
  hosted.idleAfterInput = false;
  ASSERT_TRUE(hosted.Open());
  vst2::AEffect* effect = hosted.Effect();
  const float word = effect->getParameter(effect, 10);
  hosted.Pointer(ButtonPress, Button4, 0, 40, 215);  // wheel up over the first bar
  glib_.RunFor(5000, 0, {}, [] { return HostLog().size() >= 2; });
  EXPECT_GT(hosted.Editor()->PostedIdles(), 0);
  ASSERT_EQ(HostLog().size(), 2u);
  EXPECT_EQ(HostLog()[0].opcode, vst2::audioMasterBeginEdit);
  EXPECT_EQ(HostLog()[1].opcode, vst2::audioMasterEndEdit);
  EXPECT_EQ(HostLog()[1].index, HostLog()[0].index);
  EXPECT_EQ(HostLog()[1].thread, std::this_thread::get_id());
  RunAudioBlock(effect);  // the host's pattern words follow at the next block
  EXPECT_NE(effect->getParameter(effect, 10), word);
}

TEST_F(X11EditorIdle, LoopStaysOutWhileTheHostCallsOftenAndStepsInWhenItStops) {
  HostedX11Editor hosted(display_);
  ASSERT_TRUE(hosted.Open());
  glib_.RunFor(500, 10, [&] { hosted.Idle(); });
  EXPECT_EQ(hosted.Editor()->PostedIdles(), 0);
  glib_.RunFor(5000, 0, {}, [&] { return hosted.Editor()->PostedIdles() >= 3; });
  EXPECT_GE(hosted.Editor()->PostedIdles(), 3);
}

TEST_F(X11EditorIdle, WorkWaitingWhenTheEditorClosesNeverRuns) {
  HostedX11Editor hosted(display_);
  ASSERT_TRUE(hosted.Open());
  usleep(300 * 1000);  // the host is busy: the watchdog posts meanwhile
  hosted.Close();
  glib_.RunFor(200);
  EXPECT_EQ(hosted.Editor()->PostedIdles(), 0);
}

}  // namespace
}  // namespace editor_test
