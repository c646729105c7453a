// The X11 UI: refused without the host's window or instance access; then
// the editor embedded in the host's window, its size told to the host; the
// editor's gestures reach the host as touches and port writes of the
// parameter's value in its own units, until the UI is gone. (Real input
// through the host's idle calls: tests/module/lv2_formats.sh.)
#include <gtest/gtest.h>
#include <unistd.h>

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

// What the host heard from the UI, in order.
std::vector<std::string> calls;

void Write(LV2UI_Controller, uint32_t port, uint32_t size, uint32_t protocol, const void* buffer) {
  const bool plain = size == sizeof(float) && protocol == 0;
  calls.push_back("write " + std::to_string(port) + "=" +
                  (plain ? std::to_string(*static_cast<const float*>(buffer)) : "?"));
}
int Resize(LV2UI_Feature_Handle, int width, int height) {
  calls.push_back("resize " + std::to_string(width) + "x" + std::to_string(height));
  return 0;
}
void Touch(LV2UI_Feature_Handle, uint32_t port, bool grabbed) {
  calls.push_back((grabbed ? "grab " : "release ") + std::to_string(port));
}

unsigned ChildCount(Display* display, Window parent) {
  Window root = 0, ignored = 0, *children = nullptr;
  unsigned count = 0;
  XQueryTree(display, parent, &root, &ignored, &children, &count);
  if (children) XFree(children);
  return count;
}

TEST(Lv2Ui, NeedsParentAndInstanceThenEmbedsTheEditorAndSendsItsEditsAsPortWrites) {
  SetUserSettingsFolder("/tmp/quorvel-lv2-ui-" + std::to_string(getpid()));  // 100 % on Xvfb
  Display* display = XOpenDisplay(nullptr);
  ASSERT_NE(display, nullptr);
  const Window parent =
      XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 620, 285, 0, 0, 0);
  XMapWindow(display, parent);
  lv2_test::UridMap map;
  lv2_test::Plugin plugin(&map);
  plugin.Start(lv2_test::Direct().PortValues());
  auto* gate = static_cast<Lv2Gate*>(plugin.Handle());
  LV2UI_Resize resize = {nullptr, Resize};
  LV2UI_Touch touch = {nullptr, Touch};
  const LV2_Feature parentFeature = {LV2_UI__parent,
                                     reinterpret_cast<void*>(static_cast<uintptr_t>(parent))};
  const LV2_Feature instanceFeature = {LV2_INSTANCE_ACCESS_URI, plugin.Handle()};
  const LV2_Feature resizeFeature = {LV2_UI__resize, &resize};
  const LV2_Feature touchFeature = {LV2_UI__touch, &touch};
  const LV2UI_Descriptor* descriptor = Lv2GateUiDescriptor();
  LV2UI_Widget widget = nullptr;
  auto open = [&](std::vector<const LV2_Feature*> features) {
    features.push_back(nullptr);
    return descriptor->instantiate(descriptor, kLv2PluginUri, "/nowhere/", Write, nullptr, &widget,
                                   features.data());
  };
  EXPECT_EQ(open({&instanceFeature, &resizeFeature}), nullptr);
  EXPECT_EQ(open({&parentFeature, &resizeFeature}), nullptr);
  XSync(display, False);
  EXPECT_EQ(ChildCount(display, parent), 0u);
  EXPECT_TRUE(calls.empty());

  LV2UI_Handle ui = open({&parentFeature, &instanceFeature, &resizeFeature, &touchFeature});
  ASSERT_NE(ui, nullptr);
  XSync(display, False);
  EXPECT_EQ(ChildCount(display, parent), 1u);
  IEditorView* editor = gate->Instance()->Editor();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(widget, editor->GetEditorHwnd());
  // An edit gesture on "Rate" as the editor makes it: the size first, then
  // the grab, the value in the parameter's own units, the release.
  EffectInstance* instance = gate->Instance();
  instance->SetParamNormalized(kRate, instance->ParamNormalizedOfPlain(kRate, 12.0));
  gate->BeginEdit(kRate);
  gate->PerformEdit(kRate, instance->ParamNormalized(kRate));
  gate->EndEdit(kRate);
  const std::vector<std::string> heard = {"resize " + std::to_string(editor->PixelWidth()) + "x" +
                                              std::to_string(editor->PixelHeight()),
                                          "grab 5", "write 5=" + std::to_string(12.0f),
                                          "release 5"};
  EXPECT_EQ(calls, heard);

  descriptor->cleanup(ui);
  XSync(display, False);
  EXPECT_EQ(ChildCount(display, parent), 0u);
  // With the UI gone, edits reach no one.
  calls.clear();
  gate->BeginEdit(kRate);
  gate->PerformEdit(kRate, 0.5);
  gate->EndEdit(kRate);
  EXPECT_TRUE(calls.empty());
  XDestroyWindow(display, parent);
  XCloseDisplay(display);
  SetUserSettingsFolder("");
}

}  // namespace
