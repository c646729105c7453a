// The X11 UI: the editor embedded in the host's window through the host's
// instance access, its size told to the host, driven by the host's idle
// calls; the editor's gestures reach the host as touches and port writes
// of the parameter's value in its own units, until the UI is gone. (Real
// input through the host's idle calls: tests/module/lv2_formats.sh.)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <lv2/instance-access/instance-access.h>
#include <lv2/ui/ui.h>

#include "editor_x11/x11_headers.h"
#include "engine/gate_params.h"
#include "gui/editor_view.h"
#include "gui/user_settings.h"
#include "lv2/lv2_gate.h"
#include "lv2_fixture.h"
#include "tests/editor_x11/xvfb_display.h"

namespace {

const ::testing::Environment* const kXvfb =
    ::testing::AddGlobalTestEnvironment(new editor_test::XvfbDisplay);

using lv2_test::Direct;
using lv2_test::Plugin;
using lv2_test::UridMap;

// What the host heard from the UI, in order.
struct HostLog {
  std::vector<std::string> calls;
  std::vector<std::pair<uint32_t, float>> writes;

  static void Write(LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t protocol,
                    const void* buffer) {
    auto* log = static_cast<HostLog*>(controller);
    if (size != sizeof(float) || protocol != 0) {
      log->calls.push_back("bad write");
      return;
    }
    const float value = *static_cast<const float*>(buffer);
    log->writes.push_back({port, value});
    log->calls.push_back("write " + std::to_string(port));
  }
  static int Resize(LV2UI_Feature_Handle handle, int width, int height) {
    static_cast<HostLog*>(handle)->calls.push_back("resize " + std::to_string(width) + "x" +
                                                   std::to_string(height));
    return 0;
  }
  static void Touch(LV2UI_Feature_Handle handle, uint32_t port, bool grabbed) {
    static_cast<HostLog*>(handle)->calls.push_back((grabbed ? "grab " : "release ") +
                                                   std::to_string(port));
  }
};

unsigned ChildCount(Display* display, Window parent) {
  Window root = 0, ignored = 0, *children = nullptr;
  unsigned count = 0;
  XQueryTree(display, parent, &root, &ignored, &children, &count);
  if (children) XFree(children);
  return count;
}

class Lv2UiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = "/tmp/quorvel-lv2-ui-" + std::to_string(getpid());
    SetUserSettingsFolder(folder_);  // no size chosen by a user: 100 % on Xvfb
    display_ = XOpenDisplay(nullptr);
    ASSERT_NE(display_, nullptr);
    parent_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 620, 285, 0, 0, 0);
    XMapWindow(display_, parent_);
    XSync(display_, False);
    plugin_.Start(Direct().PortValues());
    resize_ = {&log_, &HostLog::Resize};
    touch_ = {&log_, &HostLog::Touch};
    parentFeature_ = {LV2_UI__parent, reinterpret_cast<void*>(static_cast<uintptr_t>(parent_))};
    instanceFeature_ = {LV2_INSTANCE_ACCESS_URI, plugin_.Handle()};
    resizeFeature_ = {LV2_UI__resize, &resize_};
    touchFeature_ = {LV2_UI__touch, &touch_};
  }
  void TearDown() override {
    if (display_) {
      XDestroyWindow(display_, parent_);
      XCloseDisplay(display_);
    }
    SetUserSettingsFolder("");
  }
  LV2UI_Handle Open(std::vector<const LV2_Feature*> features, LV2UI_Widget* widget) {
    features.push_back(nullptr);
    const LV2UI_Descriptor* ui = Lv2GateUiDescriptor();
    return ui->instantiate(ui, kLv2PluginUri, "/nowhere/", &HostLog::Write, &log_, widget,
                           features.data());
  }
  Lv2Gate* Gate() { return static_cast<Lv2Gate*>(plugin_.Handle()); }

  std::string folder_;
  Display* display_ = nullptr;
  Window parent_ = 0;
  UridMap map_;
  Plugin plugin_{&map_};
  HostLog log_;
  LV2UI_Resize resize_{};
  LV2UI_Touch touch_{};
  LV2_Feature parentFeature_{}, instanceFeature_{}, resizeFeature_{}, touchFeature_{};
};

TEST_F(Lv2UiTest, NeedsParentAndInstanceThenEmbedsTheEditorAndSendsItsEditsAsPortWrites) {
  LV2UI_Widget widget = nullptr;
  EXPECT_EQ(Open({&instanceFeature_, &resizeFeature_}, &widget), nullptr);
  EXPECT_EQ(Open({&parentFeature_, &resizeFeature_}, &widget), nullptr);
  XSync(display_, False);
  EXPECT_EQ(ChildCount(display_, parent_), 0u);
  EXPECT_TRUE(log_.calls.empty());
  LV2UI_Handle ui =
      Open({&parentFeature_, &instanceFeature_, &resizeFeature_, &touchFeature_}, &widget);
  ASSERT_NE(ui, nullptr);
  XSync(display_, False);
  EXPECT_EQ(ChildCount(display_, parent_), 1u);
  IEditorView* editor = Gate()->Instance()->Editor();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(widget, editor->GetEditorHwnd());
  ASSERT_EQ(log_.calls.size(), 1u);
  EXPECT_EQ(log_.calls[0], "resize " + std::to_string(editor->PixelWidth()) + "x" +
                               std::to_string(editor->PixelHeight()));

  // An edit gesture on "Rate" as the editor makes it: the host hears the
  // grab, the value in the parameter's own units, the release.
  log_.calls.clear();
  EffectInstance* instance = Gate()->Instance();
  instance->SetParamNormalized(kRate, instance->ParamNormalizedOfPlain(kRate, 12.0));
  Gate()->BeginEdit(kRate);
  Gate()->PerformEdit(kRate, instance->ParamNormalized(kRate));
  Gate()->EndEdit(kRate);
  const std::vector<std::string> gesture = {"grab 5", "write 5", "release 5"};
  EXPECT_EQ(log_.calls, gesture);
  ASSERT_EQ(log_.writes.size(), 1u);
  EXPECT_EQ(log_.writes[0].second, 12.0f);

  Lv2GateUiDescriptor()->cleanup(ui);
  XSync(display_, False);
  EXPECT_EQ(ChildCount(display_, parent_), 0u);
  // With the UI gone, edits reach no one.
  log_.calls.clear();
  Gate()->BeginEdit(kRate);
  Gate()->PerformEdit(kRate, 0.5);
  Gate()->EndEdit(kRate);
  EXPECT_TRUE(log_.calls.empty());
}

}  // namespace
