#include "framework/plug_base.h"

#include <cstdio>
#include <cstring>

#include "framework/text_copy.h"
#include "gui/editor_view.h"

namespace {
// Upper bound for a host's block size: beyond it the audio callbacks work in
// slices, so a larger request only costs memory.
constexpr int kMaxBlockFrames = 1 << 16;
}  // namespace

IPlugBase::IPlugBase(int paramCount, const char* channelConfig, int presetCount,
                     const char* effectName, const char* productName, const char* vendorName,
                     int32_t vendorVersion, int32_t uniqueId, int32_t makerId, int latency,
                     int midiMode, bool stateChunks, bool isInstrument)
    : uniqueId_(uniqueId),
      makerId_(makerId),
      vendorVersion_(vendorVersion),
      stateChunks_(stateChunks),
      isInstrument_(isInstrument),
      midiMode_(midiMode),
      latency_(latency) {
  // Lists are reserved first so that no push can fail after its `new`.
  try {
    params_.reserve(static_cast<size_t>(paramCount > 0 ? paramCount : 0));
    for (int i = 0; i < paramCount; ++i) params_.push_back(new IPlugParam());
    presets_.reserve(static_cast<size_t>(presetCount > 0 ? presetCount : 0));
    for (int i = 0; i < presetCount; ++i) {
      PresetSlot* preset = new PresetSlot();
      presets_.push_back(preset);
      snprintf(preset->name, sizeof preset->name, "- %d -", i + 1);
    }
    // Every announced parameter is saved until the effect says otherwise;
    // this also gives each slot the storage a capture needs.
    SetSavedParams(paramCount, paramCount);
    CopyTextBounded(effectName_, effectName, sizeof effectName_);
    CopyTextBounded(productName_, productName, sizeof productName_);
    CopyTextBounded(vendorName_, vendorName, sizeof vendorName_);
    ParseChannelConfig(channelConfig);
  } catch (...) {
    DeleteOwned();
    throw;
  }
}

IPlugBase::~IPlugBase() { DeleteOwned(); }

void IPlugBase::DeleteOwned() {
  delete editor_;
  editor_ = nullptr;
  for (IPlugParam* param : params_) delete param;
  for (PresetSlot* preset : presets_) delete preset;
  for (InputChannel* channel : inputs_) delete channel;
  for (OutputChannel* channel : outputs_) delete channel;
  params_.clear();
  presets_.clear();
  inputs_.clear();
  outputs_.clear();
}

// "%d-%d" tokens separated by single spaces; a token that does not parse
// counts as 0-0. The channel count each way is the largest one found.
void IPlugBase::ParseChannelConfig(const char* config) {
  int maxInputs = 0;
  int maxOutputs = 0;
  for (const char* token = config; token;) {
    ChannelIOPair pair = {0, 0};
    if (sscanf(token, "%d-%d", &pair.inputs, &pair.outputs) < 1) pair = {0, 0};
    channelConfigs_.push_back(pair);
    if (pair.inputs > maxInputs) maxInputs = pair.inputs;
    if (pair.outputs > maxOutputs) maxOutputs = pair.outputs;
    token = strchr(token, ' ');
    if (token) ++token;
  }
  inputPointers_.assign(static_cast<size_t>(maxInputs), nullptr);
  outputPointers_.assign(static_cast<size_t>(maxOutputs), nullptr);
  inputs_.reserve(static_cast<size_t>(maxInputs));
  outputs_.reserve(static_cast<size_t>(maxOutputs));
  for (int i = 0; i < maxInputs; ++i) {
    InputChannel* channel = new InputChannel();
    channel->slot = &inputPointers_[static_cast<size_t>(i)];
    inputs_.push_back(channel);
  }
  for (int i = 0; i < maxOutputs; ++i) {
    OutputChannel* channel = new OutputChannel();
    channel->slot = &outputPointers_[static_cast<size_t>(i)];
    outputs_.push_back(channel);
  }
}

bool IPlugBase::MatchesChannelConfig(int inputs, int outputs) const {
  for (const ChannelIOPair& pair : channelConfigs_) {
    if ((inputs < 0 || pair.inputs == inputs) && (outputs < 0 || pair.outputs == outputs)) {
      return true;
    }
  }
  return false;
}

void IPlugBase::SetInputConnected(int channel, bool connected) {
  if (channel < 0 || channel >= NInChannels()) return;
  InputChannel* input = inputs_[static_cast<size_t>(channel)];
  input->connected = connected;
  if (!connected) {
    // A disconnected input reads silence, not the last block it converted.
    input->scratch.assign(input->scratch.size(), 0.0);
    *input->slot = input->scratch.data();
  }
}

void IPlugBase::SetOutputConnected(int channel, bool connected) {
  if (channel < 0 || channel >= NOutChannels()) return;
  OutputChannel* output = outputs_[static_cast<size_t>(channel)];
  output->connected = connected;
  if (!connected) *output->slot = output->scratch.data();
}

bool IPlugBase::IsInputConnected(int channel) const {
  return channel >= 0 && channel < NInChannels() &&
         inputs_[static_cast<size_t>(channel)]->connected;
}

bool IPlugBase::IsOutputConnected(int channel) const {
  return channel >= 0 && channel < NOutChannels() &&
         outputs_[static_cast<size_t>(channel)]->connected;
}

void IPlugBase::SetMaxBlockFrames(int frames) {
  if (frames < 1) return;  // a host's nonsense; keep the buffers we have
  if (frames > kMaxBlockFrames) frames = kMaxBlockFrames;
  if (frames == blockSize_) return;
  for (InputChannel* input : inputs_) {
    input->scratch.assign(static_cast<size_t>(frames), 0.0);
    *input->slot = input->scratch.data();
  }
  for (OutputChannel* output : outputs_) {
    output->scratch.assign(static_cast<size_t>(frames), 0.0);
    *output->slot = output->scratch.data();
  }
  blockSize_ = frames;
}

void IPlugBase::SetDelaySamples(int samples) { latency_ = samples; }

IPlugParam* IPlugBase::GetParam(int index) {
  if (index < 0 || index >= NParams()) return nullptr;
  return params_[static_cast<size_t>(index)];
}

void IPlugBase::AppendParam() {
  params_.reserve(params_.size() + 1);  // a failed push must not lose the new object
  params_.push_back(new IPlugParam());
}

int32_t IPlugBase::VersionDecimal() const {
  const uint32_t packed = static_cast<uint32_t>(vendorVersion_);
  const int32_t major = static_cast<int32_t>(packed >> 16);
  const int32_t minor = static_cast<int32_t>((packed >> 8) & 0xFF);
  const int32_t patch = static_cast<int32_t>(packed & 0xFF);
  return major * 10000 + minor * 100 + patch;
}

void IPlugBase::VersionText(char* text, int size) const {
  if (!text || size <= 0) return;
  const uint32_t packed = static_cast<uint32_t>(vendorVersion_);
  snprintf(text, static_cast<size_t>(size), "v%d.%02d", static_cast<int>(packed >> 16),
           static_cast<int>((packed >> 8) & 0xFF));
}

// ---- Default hooks ----

void IPlugBase::OnReset() { ScopedLock lock(instanceLock_); }

void IPlugBase::OnParamChanged(int /*index*/) { ScopedLock lock(instanceLock_); }

void IPlugBase::OnActiveChanged(bool /*active*/) { ScopedLock lock(instanceLock_); }

void IPlugBase::OnChunkVersionLoaded(int32_t /*version*/) { ScopedLock lock(instanceLock_); }

bool IPlugBase::MidiKeyName(int /*key*/, char* name) {
  if (name) name[0] = '\0';
  return false;
}

void IPlugBase::ProcessBlock(double** inputs, double** outputs, int frames) {
  if (frames <= 0) return;
  const int inCount = NInChannels();
  const int outCount = NOutChannels();
  const size_t bytes = static_cast<size_t>(frames) * sizeof(double);
  for (int i = 0; i < outCount; ++i) {
    if (!outputs[i]) continue;
    if (i < inCount && inputs[i]) {
      if (outputs[i] != inputs[i]) memmove(outputs[i], inputs[i], bytes);
    } else {
      memset(outputs[i], 0, bytes);
    }
  }
}

bool IPlugBase::SendMidiMessages(const MidiMessage* messages, int count) {
  bool allSent = true;
  for (int i = 0; messages && i < count; ++i) {
    if (!SendMidiMessage(messages[i])) allSent = false;
  }
  return allSent;
}
