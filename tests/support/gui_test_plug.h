// GuiTestPlug: a plug-in instance for the editor tests. Its host services
// record every call in order ("begin 3", "automate 3 0.5", "end 3",
// "resume 3", "changed 3 = 1"), so tests can check gesture order. Its
// parameters mimic the effect's where the controls care: a percentage, an
// on/off switch, a four-way choice, the three chance words (21-23, integers
// 0..4^steps - 1), StepEdited (24), which it resets to 0 the way the effect
// does, and the two nudges (25, 26, -5..5).
#pragma once

#include <string>
#include <vector>

#include "framework/plug_base.h"

class GuiTestPlug : public IPlugBase {
 public:
  static constexpr int kPercent = 0;  // real 0..100 "%", default 80
  static constexpr int kSwitch = 4;   // enum of 2
  static constexpr int kChoice = 8;   // enum of 4
  static constexpr int kChanceWord0 = 21;
  static constexpr int kStepEdited = 24;
  static constexpr int kTimesNudge = 25;
  static constexpr int kVolumesNudge = 26;
  static constexpr int kParamCount = 27;

  GuiTestPlug();

  void OnParamChanged(int index) override;
  void BeginParamEdit(int index) override;
  void ResumeParamEdit(int index) override;
  void AutomateParam(int index, double normalized) override;
  void EndParamEdit(int index) override;
  void RequestHostDisplayUpdate() override {}
  int32_t HostSamplePosition() override { return 0; }
  double HostTempo() override { return 0.0; }
  void HostTimeSignature(int* numerator, int* denominator) override {
    *numerator = 0;
    *denominator = 0;
  }
  int32_t HostId() override { return 0; }
  void SyncEditorRect() override { log.push_back("sync rect"); }
  void HostSpecificSetup() override {}
  bool SendMidiMessage(const MidiMessage&) override { return false; }
  bool SendSysExMessage(const SysExMessage&) override { return false; }

  // Entries of the log that start with prefix.
  std::vector<std::string> LogWith(const std::string& prefix) const;

  std::vector<std::string> log;
};
