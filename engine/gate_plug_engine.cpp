// VSTCLASS's side of the engine: the framework overrides and the hooks that
// connect GateEngine to parameters, host and editor.
#include <cmath>

#include "engine/gate_plug.h"
#include "engine/millisecond_clock.h"
#include "gui/editor_view.h"
#include "gui/step_bar.h"
#include "gui/text_control.h"

void VSTCLASS::OnReset() {
  ScopedLock lock(InstanceLock());
  // Notes sent for a block that never came must not act after a suspend.
  notes.Clear();
  ResetEngine();
}

void VSTCLASS::OnParamChanged(int index) {
  ScopedLock lock(InstanceLock());
  ApplyParamChange(index);
}

void VSTCLASS::ProcessBlock(double** inputs, double** outputs, int frames) {
  ProcessGateBlock(inputs, outputs, frames);
}

void VSTCLASS::OnMidiMessage(const MidiMessage& message) {
  ScopedLock lock(InstanceLock());
  // A note-on of velocity 0 is a note-off.
  if ((message.status & 0xF0) == 0x90 && message.data2 > 0) {
    notes.Add(message.offset, static_cast<uint8_t>(message.data1 & 0x7F));
  }
}

void VSTCLASS::OnHostBlockStart(int frames) { notes.BeginHostBlock(sampleClock, frames); }

double VSTCLASS::EngineParamValue(int index) {
  const IPlugParam* param = GetParam(index);
  return param ? param->Value() : 0.0;
}

void VSTCLASS::StoreEngineParam(int index, double value) {
  if (!GetParam(index)) return;
  BeginParamEdit(index);
  StoreEngineParamInGesture(index, value);
  EndParamEdit(index);
}

void VSTCLASS::BeginEngineParamGesture(int index) { BeginParamEdit(index); }

void VSTCLASS::EndEngineParamGesture(int index) { EndParamEdit(index); }

void VSTCLASS::StoreEngineParamInGesture(int index, double value) {
  IPlugParam* param = GetParam(index);
  if (!param) return;
  param->SetValueClamped(value);
  if (Editor()) Editor()->SetControlsFromUser(index, param->GetNormalized());
}

void VSTCLASS::ResetStepEdited() {
  IPlugParam* param = GetParam(kStepEdited);
  param->SetValueClamped(0.0);
  // The editor's control for StepEdited carries the 0 back into the handler;
  // without that control the handler is told here.
  if (Editor()) Editor()->SetControlsFromUser(kStepEdited, param->GetNormalized());
  if (lastApplied[kStepEdited] != 0) OnParamChanged(kStepEdited);
}

double VSTCLASS::EngineSampleRate() { return SampleRate(); }

double VSTCLASS::EngineSamplesPerBeat() { return SamplesPerBeat(); }

bool VSTCLASS::EngineTransportRunning() { return HostTransportState() != 0; }

int64_t VSTCLASS::EngineSamplePosition() {
  // Not the 32-bit position, which cannot hold positions past 2^31 samples
  // (13.5 hours at 44.1 kHz).
  return HostSamplePosition64();
}

uint32_t VSTCLASS::EngineClock() { return MillisecondClock(); }

void VSTCLASS::SetStatusText(const char* text) {
  if (InfoText) InfoText->SetTextFromPlugin(text);
}

MyBar* VSTCLASS::BarOf(int entry) const {
  if (entry < 0 || entry >= kPatternEntries) return nullptr;
  return entry < kStepCountMax ? timeBars[entry] : volumeBars[entry - kStepCountMax];
}

double VSTCLASS::BarValue(int entry) {
  const MyBar* bar = BarOf(entry);
  return bar ? bar->GetValue() : StepPattern[entry] * 0.25;
}

void VSTCLASS::SetBarValue(int entry, double value) {
  if (MyBar* bar = BarOf(entry)) bar->SetValueFromPlugin(value);
}

void VSTCLASS::SelectProgramFromMidi(int program) {
  // "Restart" and "MIDI Switch" are how this performance runs, not part of
  // a pattern: they stay as they are. The rest comes from the program as a
  // host's program change brings it, the current values kept in their slot.
  constexpr int kKept[] = {kRestartMode, kMidiSwitch};
  double kept[2];
  for (int i = 0; i < 2; ++i) kept[i] = GetParam(kKept[i])->Value();
  CaptureCurrentPreset(nullptr);
  SelectPreset(program);
  for (int i = 0; i < 2; ++i) {
    GetParam(kKept[i])->SetValue(kept[i]);
    OnParamChanged(kKept[i]);
    if (Editor()) Editor()->SetParameterFromPlugin(kKept[i], kept[i], false);
  }
}
