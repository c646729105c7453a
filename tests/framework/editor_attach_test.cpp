// The framework with an editor view attached: what attaching announces, the
// editor requests of the dispatcher, values travelling from the host to the
// controls, and the postponed end of a wheel gesture.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/bitmap.h"
#include "gui/control.h"
#include "support/fake_host.h"
#include "support/framework_test_plug.h"
#include "support/gui_headless_editor.h"

using namespace vst2;

namespace {

using P = FrameworkTestPlug;

constexpr int32_t kWheelRequest = 0x73744341;  // 'stCA'
constexpr intptr_t kWheelValue = 0x57686565;   // 'Whee'

// The effect's editor size.
constexpr int kWidth = 620;
constexpr int kHeight = 285;

// A host bound to the framework's test effect, with a headless view attached
// the way an effect's constructor attaches its editor.
class EditorAttached : public ::testing::Test {
 protected:
  EditorAttached() : host(&CreateFrameworkTestPlug) {}
  void SetUp() override {
    plug = static_cast<FrameworkTestPlug*>(host.plug());
    view = plug->AttachHeadlessEditor(kWidth, kHeight);
    host.ClearCalls();
  }
  double ControlValue(int index) const { return view->GetControl(index)->GetValue(); }
  // The gesture calls the host received, as "begin i" / "end i".
  std::vector<std::string> Gestures() const {
    std::vector<std::string> found;
    for (const HostCall& call : host.calls) {
      if (call.opcode == audioMasterBeginEdit)
        found.push_back("begin " + std::to_string(call.index));
      if (call.opcode == audioMasterEndEdit) found.push_back("end " + std::to_string(call.index));
    }
    return found;
  }

  FakeHost host;
  FrameworkTestPlug* plug = nullptr;
  HeadlessEditor* view = nullptr;  // owned by the plug-in
};

}  // namespace

TEST(EditorAttach, HandsEveryValueToTheControlsAndAnnouncesTheEditor) {
  FakeHost host(&CreateFrameworkTestPlug);
  auto* plug = static_cast<FrameworkTestPlug*>(host.plug());
  EXPECT_EQ(host.effect()->flags, 0x1018);
  ERect* rect = nullptr;
  EXPECT_EQ(host.Dispatch(effEditGetRect, 0, 0, &rect), 0);  // no editor yet
  EXPECT_EQ(rect, nullptr);
  EXPECT_EQ(plug->EditorRect().right, 0);
  EXPECT_EQ(plug->EditorRect().bottom, 0);

  plug->GetParam(P::kLevel)->SetValue(40);
  plug->GetParam(P::kAmount)->SetValue(0.3);
  HeadlessEditor* view = plug->AttachHeadlessEditor(kWidth, kHeight);
  EXPECT_EQ(plug->Editor(), view);
  // Normalised positions worked out by hand: 40 of 0..100, 16 of 1..32,
  // the first of four, 0.3 of 0..1, 0 of -5..5.
  const double expected[P::kParamCount] = {0.4, 15.0 / 31.0, 0.0, 0.3, 0.5};
  for (int i = 0; i < P::kParamCount; ++i) {
    EXPECT_DOUBLE_EQ(view->GetControl(i)->GetValue(), expected[i]) << "parameter " << i;
  }
  // PrepareDrawing made the back buffer at the view's size.
  ASSERT_NE(view->BackBuffer(), nullptr);
  EXPECT_EQ(view->BackBuffer()->GetWidth(), 620);
  EXPECT_EQ(view->BackBuffer()->GetHeight(), 285);

  EXPECT_EQ(host.effect()->flags, 0x1019);  // effFlagsHasEditor added
  EXPECT_EQ(plug->EditorRect().top, 0);
  EXPECT_EQ(plug->EditorRect().left, 0);
  EXPECT_EQ(plug->EditorRect().right, 620);
  EXPECT_EQ(plug->EditorRect().bottom, 285);

  plug->AttachEditor(nullptr);  // ignored
  EXPECT_EQ(plug->Editor(), view);
  EXPECT_EQ(host.effect()->flags, 0x1019);
}

TEST_F(EditorAttached, EditGetRectHandsOutTheInstancesRectangle) {
  ERect* rect = nullptr;
  EXPECT_EQ(host.Dispatch(effEditGetRect, 0, 0, &rect), 1);
  ASSERT_EQ(rect, &plug->EditorRect());
  EXPECT_EQ(rect->right, 620);
  EXPECT_EQ(rect->bottom, 285);
  EXPECT_EQ(host.Dispatch(effEditGetRect, 0, 0, nullptr), 0);

  // A resized view announces its new size through the same record.
  view->ResizeEditor(300, 200);
  EXPECT_EQ(rect->top, 0);
  EXPECT_EQ(rect->left, 0);
  EXPECT_EQ(rect->right, 300);
  EXPECT_EQ(rect->bottom, 200);
}

TEST_F(EditorAttached, EditOpenAndCloseReachTheViewAndTheHooks) {
  int parentWindow = 0;
  EXPECT_EQ(host.Dispatch(effEditOpen, 0, 0, &parentWindow), 1);
  ASSERT_EQ(view->openParents.size(), 1u);
  EXPECT_EQ(view->openParents[0], &parentWindow);
  EXPECT_EQ(plug->log, (std::vector<std::string>{"editor opened"}));

  EXPECT_EQ(host.Dispatch(effEditClose), 1);
  EXPECT_EQ(view->closeCount, 1);
  EXPECT_EQ(plug->log, (std::vector<std::string>{"editor opened", "editor closing"}));

  // A window that cannot be made: refused, and the opened hook stays silent.
  view->openSucceeds = false;
  EXPECT_EQ(host.Dispatch(effEditOpen, 0, 0, &parentWindow), 0);
  EXPECT_EQ(view->openParents.size(), 2u);
  EXPECT_EQ(plug->log.size(), 2u);
}

TEST_F(EditorAttached, TheHostsWheelRequestReachesTheView) {
  view->wheelAnswer = 7;
  EXPECT_EQ(host.Dispatch(effVendorSpecific, kWheelRequest, kWheelValue, nullptr, -2.5f), 7);
  EXPECT_EQ(view->hostWheelDeltas, (std::vector<float>{-2.5f}));
  view->wheelAnswer = 0;
  EXPECT_EQ(host.Dispatch(effVendorSpecific, kWheelRequest, kWheelValue, nullptr, 1.0f), 0);
  EXPECT_EQ(view->hostWheelDeltas.size(), 2u);
  // The request code with any other value is not a wheel step.
  EXPECT_EQ(host.Dispatch(effVendorSpecific, kWheelRequest, 0, nullptr, 1.0f), 0);
  EXPECT_EQ(view->hostWheelDeltas.size(), 2u);
}

TEST_F(EditorAttached, HostValuesReachTheControls) {
  // setParameter hands the host's position itself to the controls, before
  // the parameter rounds it (16.5 steps of 1..32 is not a whole number).
  host.effect()->setParameter(host.effect(), P::kSteps, 0.5f);
  EXPECT_EQ(ControlValue(P::kSteps), 0.5);
  host.effect()->setParameter(host.effect(), P::kLevel, 0.25f);
  EXPECT_EQ(ControlValue(P::kLevel), 0.25);
  EXPECT_EQ(plug->GetParam(P::kLevel)->Value(), 25);
  std::vector<double> before;
  for (int i = 0; i < P::kParamCount; ++i) before.push_back(ControlValue(i));
  host.effect()->setParameter(host.effect(), 99, 0.75f);  // no such parameter
  for (int i = 0; i < P::kParamCount; ++i) EXPECT_EQ(ControlValue(i), before[i]) << i;

  // Typed text arrives in units and is converted for the controls.
  char low[] = "Low";
  EXPECT_EQ(host.Dispatch(effString2Parameter, P::kMode, 0, low), 1);
  EXPECT_DOUBLE_EQ(ControlValue(P::kMode), 1.0 / 3.0);

  // A program change pushes the recalled values to the controls.
  plug->AddFactoryPreset("Recall", 50, 1, 2, 0.75, 3);
  host.Dispatch(effSetProgram, 0, 1);
  EXPECT_DOUBLE_EQ(ControlValue(P::kLevel), 0.5);
  EXPECT_DOUBLE_EQ(ControlValue(P::kSteps), 0.0);
  EXPECT_DOUBLE_EQ(ControlValue(P::kMode), 2.0 / 3.0);
  EXPECT_DOUBLE_EQ(ControlValue(P::kAmount), 0.75);
  EXPECT_DOUBLE_EQ(ControlValue(P::kNudge), 0.5);  // kept out of presets: still 0
}

TEST_F(EditorAttached, AWheelGestureEndsAfterTheViewsCountdown) {
  plug->ResumeParamEdit(P::kLevel);
  plug->DeferParamEditEnd(P::kLevel);
  EXPECT_EQ(view->deferredTicks, 12);  // half a second at 24 frames per second
  EXPECT_EQ(Gestures(), (std::vector<std::string>{"begin 0"}));

  // A further step on the same parameter continues the gesture and re-arms.
  view->deferredTicks = 3;
  plug->ResumeParamEdit(P::kLevel);
  plug->DeferParamEditEnd(P::kLevel);
  EXPECT_EQ(view->deferredTicks, 12);
  EXPECT_EQ(Gestures(), (std::vector<std::string>{"begin 0"}));

  // A step on another parameter first closes the open gesture.
  plug->ResumeParamEdit(P::kSteps);
  EXPECT_EQ(Gestures(), (std::vector<std::string>{"begin 0", "end 0", "begin 1"}));
  EXPECT_EQ(view->deferredTicks, 0);
  plug->DeferParamEditEnd(P::kSteps);

  // So does a mouse-down.
  plug->BeginParamEdit(P::kMode);
  EXPECT_EQ(Gestures(),
            (std::vector<std::string>{"begin 0", "end 0", "begin 1", "end 1", "begin 2"}));
  plug->EndParamEdit(P::kMode);

  // The countdown running out ends the gesture once.
  plug->ResumeParamEdit(P::kAmount);
  plug->DeferParamEditEnd(P::kAmount);
  host.ClearCalls();
  plug->FlushPendingEditEnd();
  plug->FlushPendingEditEnd();
  EXPECT_EQ(Gestures(), (std::vector<std::string>{"end 3"}));
  EXPECT_EQ(view->deferredTicks, 0);
}

TEST(EditorAttach, ASlowViewStillCountsDownAtLeastOneTick) {
  FakeHost host(&CreateFrameworkTestPlug);
  IPlugVST* plug = host.plug();
  auto* view = new HeadlessEditor(plug, 10, 10, 1);  // one frame per second
  plug->AttachEditor(view);
  plug->ResumeParamEdit(P::kLevel);
  plug->DeferParamEditEnd(P::kLevel);
  EXPECT_EQ(view->deferredTicks, 1);
  EXPECT_TRUE(host.CallsOf(audioMasterEndEdit).empty());
}
