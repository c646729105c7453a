#include "support/gui_test_plug.h"

#include <cstdio>

#include "engine/chance_words.h"
#include "gui/editor_view.h"

GuiTestPlug::GuiTestPlug()
    : IPlugBase(kParamCount, "2-2", 1, "Quorvel", "", "Kelvo", 0x00010000, 0x6F77746B, 0x4B656C76,
                0, 0, false, false) {
  for (int i = 0; i < kParamCount; ++i) GetParam(i)->SetupReal("Plain", 0.0, 0.0, 1.0, 0.01, "");
  GetParam(kPercent)->SetupReal("Percent", 80.0, 0.0, 100.0, 1.0, "%");
  GetParam(kSwitch)->SetupEnum("Switch", 0, 2, "");
  GetParam(kChoice)->SetupEnum("Choice", 0, 4, "");
  for (int g = 0; g < 3; ++g) GetParam(kChanceWord0 + g)->SetupInt("", 0, 0, ChanceWordMax(g), "");
  GetParam(kStepEdited)->SetupInt("StepEdited", 0, 0, 1, "");
  GetParam(kTimesNudge)->SetupInt("TimesNudge", 0, -5, 5, "");
  GetParam(kVolumesNudge)->SetupInt("VolumesNudge", 0, -5, 5, "");
}

void GuiTestPlug::OnParamChanged(int index) {
  char entry[64];
  std::snprintf(entry, sizeof(entry), "changed %d = %g", index, GetParam(index)->Value());
  log.push_back(entry);
  // The effect answers a raised StepEdited by lowering it again through the
  // editor, which re-enters this handler with 0.
  if (index == kStepEdited && GetParam(index)->Value() >= 1.0) {
    GetParam(index)->SetValue(0.0);
    if (Editor()) Editor()->SetControlsFromUser(index, GetParam(index)->GetNormalized());
  }
}

void GuiTestPlug::BeginParamEdit(int index) {
  FlushPendingEditEnd();
  log.push_back("begin " + std::to_string(index));
}

void GuiTestPlug::ResumeParamEdit(int index) {
  if (index != PendingEditEnd()) {
    FlushPendingEditEnd();
    log.push_back("begin " + std::to_string(index));
  }
}

void GuiTestPlug::AutomateParam(int index, double normalized) {
  char entry[64];
  std::snprintf(entry, sizeof(entry), "automate %d %g", index, normalized);
  log.push_back(entry);
}

void GuiTestPlug::EndParamEdit(int index) { log.push_back("end " + std::to_string(index)); }

std::vector<std::string> GuiTestPlug::LogWith(const std::string& prefix) const {
  std::vector<std::string> found;
  for (const std::string& entry : log) {
    if (entry.compare(0, prefix.size(), prefix) == 0) found.push_back(entry);
  }
  return found;
}
