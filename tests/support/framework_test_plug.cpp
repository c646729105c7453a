#include "support/framework_test_plug.h"

#include <new>

#include "gui/empty_control.h"
#include "support/gui_headless_editor.h"

FrameworkTestPlug::FrameworkTestPlug(vst2::AudioMasterCallback audioMaster)
    : IPlugVST(audioMaster, kAnnouncedParams, "1-1 2-2", kPresetCount, "Framework Test", "Product",
               "Vendor", 0x00020304, 0x54657374, 0x56656E64, 0, 0, false, false) {
  AppendParam();
  GetParam(kLevel)->SetupInt("Level", 100, 0, 100, "%");
  GetParam(kSteps)->SetupInt("Steps", 16, 1, 32, "");
  GetParam(kMode)->SetupEnum("Mode", 0, 4, "");
  const char* modes[] = {"Off", "Low", "High", "Both"};
  for (int i = 0; i < 4; ++i) GetParam(kMode)->AddDisplayText(i, modes[i]);
  GetParam(kAmount)->SetupReal("Amount", 0.5, 0.0, 1.0, 0.01, "");
  GetParam(kNudge)->SetupInt("Nudge", 0, -5, 5, "");
  NameFirstFreePresets(kStartPresetName, 1);
}

HeadlessEditor* FrameworkTestPlug::AttachHeadlessEditor(int width, int height) {
  auto* view = new HeadlessEditor(this, width, height);
  for (int i = 0; i < NParams(); ++i) view->AttachControl(new IEmpty(this, i));
  AttachEditor(view);
  return view;
}

void FrameworkTestPlug::OnParamChanged(int index) {
  IPlugVST::OnParamChanged(index);
  changed.push_back(index);
}

vst2::AEffect* VST2_CALL CreateFrameworkTestPlug(vst2::AudioMasterCallback audioMaster) {
  FrameworkTestPlug* plug = new (std::nothrow) FrameworkTestPlug(audioMaster);
  if (!plug) return nullptr;
  plug->EnsureOnePreset();
  return plug->Effect();
}
