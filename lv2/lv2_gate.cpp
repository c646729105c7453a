// Lv2Gate's life (creation, activation, port connection) and the
// InstanceHost through which the owned instance reaches the host.
#include "lv2/lv2_gate.h"

#include <algorithm>
#include <cstring>
#include <new>

#include <lv2/atom/atom.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

#include "framework/recursive_lock.h"
#include "instance/effect_instance.h"
#include "lv2/lv2_features.h"
#include "lv2/lv2_ui_link.h"

namespace {

// The host's largest block from its options, or 0 when it gives none.
int32_t OptionMaxBlock(const LV2_Feature* const* features, const Lv2Urids& ids) {
  const auto* option =
      static_cast<const LV2_Options_Option*>(Lv2FeatureData(features, LV2_OPTIONS__options));
  for (; ids.mapped && option && option->key != 0; ++option) {
    if (option->key != ids.maxBlockLength || !option->value) continue;
    if (option->type == ids.atomInt && option->size == sizeof(int32_t)) {
      int32_t frames;
      std::memcpy(&frames, option->value, sizeof frames);
      return frames;
    }
  }
  return 0;
}

}  // namespace

Lv2Gate* Lv2Gate::Create(double sampleRate, const LV2_Feature* const* features) {
  if (!(sampleRate > 0.0)) return nullptr;
  Lv2Gate* gate = new (std::nothrow) Lv2Gate();
  if (!gate) return nullptr;
  if (!gate->Init(sampleRate, features)) {
    delete gate;
    return nullptr;
  }
  return gate;
}

bool Lv2Gate::Init(double sampleRate, const LV2_Feature* const* features) {
  ids_ = MapLv2Urids(static_cast<const LV2_URID_Map*>(Lv2FeatureData(features, LV2_URID__map)));
  const int32_t hostMax = OptionMaxBlock(features, ids_);
  if (hostMax > 0) maxBlock_ = std::min(hostMax, kLargestMaxBlock);
  instance_ = CreateEffectInstance(this);
  if (!instance_) return false;
  paramCount_ = instance_->ParamCount();
  if (paramCount_ > kLv2MaxParamPorts) return false;
  // The instance identifies the host and applies every parameter.
  instance_->Open();
  instance_->SetSampleRate(sampleRate);
  instance_->SetMaxBlockFrames(maxBlock_);
  // A port still holding the instance's own value changes nothing.
  for (int32_t i = 0; i < paramCount_; ++i) {
    applied_[i] = static_cast<float>(instance_->ParamPlain(i, instance_->ParamNormalized(i)));
  }
  return true;
}

Lv2Gate::~Lv2Gate() {
  if (instance_ && active_) Deactivate();
  delete instance_;  // closes and deletes the instance
}

void Lv2Gate::ConnectPort(uint32_t port, void* data) {
  switch (port) {
    case kLv2InLeft:
    case kLv2InRight:
      audioIn_[port - kLv2InLeft] = static_cast<const float*>(data);
      return;
    case kLv2OutLeft:
    case kLv2OutRight:
      audioOut_[port - kLv2OutLeft] = static_cast<float*>(data);
      return;
    case kLv2ControlIn:
      events_ = static_cast<const LV2_Atom_Sequence*>(data);
      return;
    default:
      break;
  }
  const int64_t param = static_cast<int64_t>(port) - kLv2FirstParamPort;
  if (param >= 0 && param < paramCount_) paramPorts_[param] = static_cast<const float*>(data);
}

void Lv2Gate::Activate() {
  if (active_) return;
  active_ = true;
  instance_->SetActive(true);
  instance_->SetProcessing(true);
}

void Lv2Gate::Deactivate() {
  if (!active_) return;
  active_ = false;
  instance_->SetProcessing(false);
  instance_->SetActive(false);
}

void Lv2Gate::TakePortValuesAsApplied() {
  for (int32_t i = 0; i < paramCount_; ++i) {
    if (paramPorts_[i]) applied_[i] = *paramPorts_[i];
  }
}

void Lv2Gate::DetachUi(Lv2UiLink* ui) {
  Lv2UiLink* expected = ui;
  ui_.compare_exchange_strong(expected, nullptr);
}

bool Lv2Gate::OnAudioThread() const {
  return inRun_.load() && std::this_thread::get_id() == runThread_.load();
}

const HostTime* Lv2Gate::TransportTime() { return OnAudioThread() ? sliceTime_ : nullptr; }

// Edits made on the audio thread (a note-on choosing a program) have no
// port to report them on; the UI is for the editor's thread.
void Lv2Gate::BeginEdit(int32_t index) {
  Lv2UiLink* ui = ui_.load();
  if (!ui || OnAudioThread() || index < 0 || index >= paramCount_) return;
  ui->TouchPort(kLv2FirstParamPort + static_cast<uint32_t>(index), true);
}

// The host gets the value the parameter stored, in its own units.
void Lv2Gate::PerformEdit(int32_t index, double /*normalized*/) {
  Lv2UiLink* ui = ui_.load();
  if (!ui || OnAudioThread() || index < 0 || index >= paramCount_) return;
  const double plain = instance_->ParamPlain(index, instance_->ParamNormalized(index));
  ui->WritePort(kLv2FirstParamPort + static_cast<uint32_t>(index), static_cast<float>(plain));
}

void Lv2Gate::EndEdit(int32_t index) {
  Lv2UiLink* ui = ui_.load();
  if (!ui || OnAudioThread() || index < 0 || index >= paramCount_) return;
  ui->TouchPort(kLv2FirstParamPort + static_cast<uint32_t>(index), false);
}

// Nothing a host shows comes from the instance besides the ports.
void Lv2Gate::UpdateDisplay() {}

bool Lv2Gate::ResizeEditor(int32_t width, int32_t height) {
  Lv2UiLink* ui = ui_.load();
  return ui && ui->RequestSize(width, height);
}

// An LV2 host tells neither its name nor its version.
void Lv2Gate::HostIdentity(char* name, int32_t size, int32_t* versionDecimal) {
  if (name && size > 0) name[0] = '\0';
  if (versionDecimal) *versionDecimal = 0;
}
