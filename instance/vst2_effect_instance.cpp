// Vst2EffectInstance: the format-neutral entries answered by the VST 2
// glue's instance, through its effect record where the work lives behind
// the dispatcher and straight through the framework where it does not.
#include "instance/vst2_effect_instance.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "engine/gate_plug.h"
#include "framework/recursive_lock.h"
#include "framework/state_extension.h"
#include "framework/text_copy.h"
#include "gui/editor_view.h"

namespace {

// Channel pointers moved `offset` frames on; a missing array or channel stays missing.
template <class Sample>
Sample** Offset(Sample** channels, int count, int32_t offset, Sample** moved, int room) {
  if (!channels) return nullptr;
  for (int c = 0; c < count && c < room; ++c)
    moved[c] = channels[c] ? channels[c] + offset : nullptr;
  return moved;
}

// Hosts show a title for every parameter; the pattern and chance words have
// none of their own.
void ParamTitle(const IPlugParam* param, int index, char* title, int size) {
  if (param->Name()[0]) {
    std::snprintf(title, static_cast<size_t>(size), "%s", param->Name());
  } else if (index >= kChanceWord0) {
    std::snprintf(title, static_cast<size_t>(size), "Chance Word %d", index - kChanceWord0 + 1);
  } else {
    std::snprintf(title, static_cast<size_t>(size), "Pattern Word %d", index - kPatternWord0 + 1);
  }
}

// Stepped means evenly spaced whole steps: an integer kind with a straight curve.
int32_t StepCount(const IPlugParam* param) {
  if (param->Kind() == kParamReal || param->CurveExponent() != 1.0) return 0;
  return static_cast<int32_t>(std::lround((param->Max() - param->Min()) / param->Step()));
}

}  // namespace

Vst2EffectInstance::Vst2EffectInstance(VSTCLASS* plug) : plug_(plug) {}

Vst2EffectInstance::~Vst2EffectInstance() { IPlugVST::CloseAndDelete(plug_); }

const char* Vst2EffectInstance::Name() { return plug_->EffectName(); }

int32_t Vst2EffectInstance::InputChannels() { return plug_->NInChannels(); }

int32_t Vst2EffectInstance::OutputChannels() { return plug_->NOutChannels(); }

RecursiveLock& Vst2EffectInstance::Lock() { return plug_->InstanceLock(); }

void Vst2EffectInstance::Open() { plug_->OpenForHost(); }

void Vst2EffectInstance::SetSampleRate(double rate) {
  // Through the precision the effect record carries, as every host's rate did.
  plug_->ChangeSampleRate(static_cast<double>(static_cast<float>(rate)));
}

void Vst2EffectInstance::SetMaxBlockFrames(int32_t frames) { plug_->ChangeMaxBlockFrames(frames); }

void Vst2EffectInstance::SetActive(bool active) { plug_->ChangeActive(active); }

void Vst2EffectInstance::SetProcessing(bool on) { plug_->ChangeProcessing(on); }

int32_t Vst2EffectInstance::ParamCount() { return plug_->Effect()->numParams; }

bool Vst2EffectInstance::ParamInfo(int32_t index, ParamInfoRecord* info) {
  ScopedLock lock(plug_->InstanceLock());
  const IPlugParam* param = index < ParamCount() ? plug_->GetParam(index) : nullptr;
  if (!param || !info) return false;
  ParamTitle(param, index, info->title, ParamInfoRecord::kTextSize);
  CopyTextBounded(info->units, param->Label(), ParamInfoRecord::kTextSize);
  info->stepCount = StepCount(param);
  info->isList = param->Kind() == kParamEnum;
  return true;
}

double Vst2EffectInstance::ParamNormalized(int32_t index) {
  ScopedLock lock(plug_->InstanceLock());
  const IPlugParam* param = index < ParamCount() ? plug_->GetParam(index) : nullptr;
  return param ? param->GetNormalized() : 0.0;
}

void Vst2EffectInstance::SetParamNormalized(int32_t index, double normalized) {
  ScopedLock lock(plug_->InstanceLock());
  IPlugParam* param = index < ParamCount() ? plug_->GetParam(index) : nullptr;
  if (!param) return;
  if (IEditorView* editor = plug_->Editor())
    editor->SetParameterFromPlugin(index, normalized, true);
  param->SetFromNormalized(normalized);
  plug_->OnParamChanged(index);
}

void Vst2EffectInstance::ParamText(int32_t index, double normalized, char* text, int32_t size) {
  if (!text || size <= 0) return;
  text[0] = '\0';
  ScopedLock lock(plug_->InstanceLock());
  const IPlugParam* param = index < ParamCount() ? plug_->GetParam(index) : nullptr;
  if (param) param->FormatValue(normalized, true, text, size);
}

double Vst2EffectInstance::ParamPlain(int32_t index, double normalized) {
  ScopedLock lock(plug_->InstanceLock());
  const IPlugParam* param = index < ParamCount() ? plug_->GetParam(index) : nullptr;
  if (!param) return normalized;
  // Stepped on a copy: the parameter itself keeps its value.
  IPlugParam scratch = *param;
  scratch.SetFromNormalized(std::min(1.0, std::max(0.0, normalized)));
  return scratch.Value();
}

double Vst2EffectInstance::ParamNormalizedOfPlain(int32_t index, double plain) {
  ScopedLock lock(plug_->InstanceLock());
  const IPlugParam* param = index < ParamCount() ? plug_->GetParam(index) : nullptr;
  return param ? param->ToNormalized(plain) : plain;
}

bool Vst2EffectInstance::ParamFromText(int32_t index, const char* text, double* normalized) {
  ScopedLock lock(plug_->InstanceLock());
  const IPlugParam* param = index < ParamCount() ? plug_->GetParam(index) : nullptr;
  if (!param || !text || !normalized) return false;
  // A display text or a leading number; anything else names no value.
  double shown = 0.0;
  char* end = const_cast<char*>(text);
  const bool displayText = param->ValueForDisplayText(text, &shown);
  if (!displayText) std::strtod(text, &end);
  if (!displayText && end == text) return false;
  // Stepped as the VST 2 text entry stores it.
  *normalized = param->ToNormalized(param->ValueFromText(text));
  return true;
}

static_assert(PresetSlot::kNameSize <= EffectInstance::kProgramNameBytes,
              "a preset name fits the seam's program name");

int32_t Vst2EffectInstance::ProgramCount() { return plug_->NPresets(); }

int32_t Vst2EffectInstance::CurrentProgram() {
  ScopedLock lock(plug_->InstanceLock());
  return plug_->CurrentPresetIndex();
}

void Vst2EffectInstance::ProgramName(int32_t index, char* name, int32_t size) {
  if (!name || size <= 0) return;
  name[0] = '\0';
  ScopedLock lock(plug_->InstanceLock());
  if (index < 0 || index >= plug_->NPresets()) return;
  CopyTextBounded(name, plug_->PresetName(index), static_cast<size_t>(size));
}

void Vst2EffectInstance::SelectProgram(int32_t program) { plug_->SelectProgramFromHost(program); }

uint32_t Vst2EffectInstance::NoteProgramSwitches() { return plug_->midiProgramSwitches; }

bool Vst2EffectInstance::SaveState(StateBuffer& buffer, bool bypassed) {
  // The bank request, as VST 2 hosts save a project.
  return plug_->WriteChunk(buffer, true, bypassed);
}

bool Vst2EffectInstance::LoadState(const StateBuffer& bytes, LoadedState* carried) {
  if (carried) *carried = LoadedState();
  // One step for the audio thread: values and program together.
  ScopedLock lock(plug_->InstanceLock());
  if (plug_->LoadChunk(true, bytes.Size(), bytes.Data()) != 1) return false;
  const int32_t chunkBytes = 4 + 8 * plug_->NChunkParams();
  StateExtension extension;
  // A bare chunk (an older build's) leaves program and bypass as they are.
  if (bytes.Size() <= chunkBytes || ReadStateExtension(bytes, chunkBytes, plug_->NPresets(),
                                                       &extension) != ExtensionRead::kComplete) {
    return true;
  }
  plug_->AdoptPresetOfState(extension.program);
  if (carried) *carried = {true, extension.program, extension.bypassed};
  return true;
}

void Vst2EffectInstance::QueueMidi(const MidiMessage& message) { plug_->OnMidiMessage(message); }

void Vst2EffectInstance::ProcessFloat(float** inputs, float** outputs, int32_t offset,
                                      int32_t frames) {
  float* in[kMaxChannels];
  float* out[kMaxChannels];
  vst2::AEffect* effect = plug_->Effect();
  effect->processReplacing(effect, Offset(inputs, plug_->NInChannels(), offset, in, kMaxChannels),
                           Offset(outputs, plug_->NOutChannels(), offset, out, kMaxChannels),
                           frames);
}

void Vst2EffectInstance::ProcessDouble(double** inputs, double** outputs, int32_t offset,
                                       int32_t frames) {
  double* in[kMaxChannels];
  double* out[kMaxChannels];
  vst2::AEffect* effect = plug_->Effect();
  effect->processDoubleReplacing(
      effect, Offset(inputs, plug_->NInChannels(), offset, in, kMaxChannels),
      Offset(outputs, plug_->NOutChannels(), offset, out, kMaxChannels), frames);
}

void Vst2EffectInstance::ProcessNothing() {
  ScopedLock lock(plug_->InstanceLock());
  plug_->OnHostBlockStart(0);
}

IEditorView* Vst2EffectInstance::Editor() { return plug_->Editor(); }

bool Vst2EffectInstance::OpenEditor(void* parent) { return plug_->OpenEditorIn(parent); }

void Vst2EffectInstance::CloseEditor() { plug_->CloseEditor(); }

bool Vst2EffectInstance::PreferredEditorSize(int32_t* width, int32_t* height) {
  IEditorView* editor = plug_->Editor();
  if (!editor || !width || !height) return false;
  // Before the window opens the size follows the user, the host and the
  // screen, as the editor rectangle request does.
  editor->ApplyPreferredSize();
  *width = editor->PixelWidth();
  *height = editor->PixelHeight();
  return true;
}

void Vst2EffectInstance::EditorIdle() { plug_->HostIdle(true); }

bool Vst2EffectInstance::EditorKeyDown(int32_t character, int32_t virtualKey, int32_t modifiers) {
  return plug_->EditorKey(true, character, virtualKey, static_cast<float>(modifiers)) != 0;
}

bool Vst2EffectInstance::EditorWheel(float distance) { return plug_->EditorWheel(distance) != 0; }
