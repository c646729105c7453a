// Host services of IPlugVST: automation gestures, time info, host
// identification and MIDI output, through the audio-master callback or,
// when another format's glue drives the instance, its InstanceHost.
#include <cmath>
#include <cstring>

#include "framework/host_id.h"
#include "framework/plug_vst.h"

using namespace vst2;

namespace {
// Hosts with trouble beyond two channels each way.
bool HostNeedsStereoLimit(int32_t hostId) {
  return hostId == 15 || hostId == 17 || hostId == 18 || hostId == 20;
}
}  // namespace

void IPlugVST::BeginParamEdit(int index) {
  FlushPendingEditEnd();
  if (instanceHost_) {
    instanceHost_->BeginEdit(index);
  } else {
    CallHost(audioMasterBeginEdit, index, 0, nullptr, 0.0f);
  }
}

void IPlugVST::ResumeParamEdit(int index) {
  ScopedLock lock(InstanceLock());
  if (index == PendingEditEnd()) return;  // the open wheel gesture continues
  FlushPendingEditEnd();
  if (instanceHost_) {
    instanceHost_->BeginEdit(index);
  } else {
    CallHost(audioMasterBeginEdit, index, 0, nullptr, 0.0f);
  }
}

void IPlugVST::AutomateParam(int index, double normalized) {
  if (instanceHost_) {
    instanceHost_->PerformEdit(index, normalized);
  } else {
    CallHost(audioMasterAutomate, index, 0, nullptr, static_cast<float>(normalized));
  }
}

void IPlugVST::EndParamEdit(int index) {
  if (instanceHost_) {
    instanceHost_->EndEdit(index);
  } else {
    CallHost(audioMasterEndEdit, index, 0, nullptr, 0.0f);
  }
}

void IPlugVST::RequestEditorSize(int width, int height) {
  if (instanceHost_) {
    instanceHost_->ResizeEditor(width, height);
  } else {
    CallHost(audioMasterSizeWindow, width, height, nullptr, 0.0f);
  }
}

void IPlugVST::RequestHostDisplayUpdate() {
  if (instanceHost_) {
    instanceHost_->UpdateDisplay();
  } else {
    CallHost(audioMasterUpdateDisplay, 0, 0, nullptr, 0.0f);
  }
}

const HostTime* IPlugVST::QueryTime(int32_t filter) {
  if (instanceHost_) return instanceHost_->TransportTime();
  const auto* time =
      reinterpret_cast<const VstTimeInfo*>(CallHost(audioMasterGetTime, 0, filter, nullptr, 0.0f));
  if (!time) return nullptr;
  HostTime& t = callbackTime_;
  t.samplePosition = time->samplePos;
  t.tempoValid = (time->flags & kVstTempoValid) != 0;
  t.tempo = time->tempo;
  t.signatureValid = (time->flags & kVstTimeSigValid) != 0;
  t.numerator = time->timeSigNumerator;
  t.denominator = time->timeSigDenominator;
  t.playing = (time->flags & kVstTransportPlaying) != 0;
  t.recording = (time->flags & kVstTransportRecording) != 0;
  return &t;
}

int64_t IPlugVST::HostSamplePosition64() {
  const HostTime* time = QueryTime(0);
  if (!time || !(time->samplePosition >= 0.0) || time->samplePosition >= 9.0e18) return 0;
  // llround, not + 0.5: past 2^52 the addition itself rounds to even.
  return std::llround(time->samplePosition);
}

int32_t IPlugVST::HostSamplePosition() {
  const HostTime* time = QueryTime(0);
  if (!time || !(time->samplePosition >= 0.0)) return 0;
  const double rounded = time->samplePosition + 0.5;
  // Positions past the int32 range wrap instead of overflowing the conversion.
  if (rounded >= 9.0e18) return 0;
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<int64_t>(rounded)));
}

double IPlugVST::HostTempo() {
  const HostTime* time = QueryTime(kVstTempoValid);
  if (time && time->tempoValid && time->tempo >= 0.0) return time->tempo;
  return 0.0;
}

void IPlugVST::HostTimeSignature(int* numerator, int* denominator) {
  if (numerator) *numerator = 0;
  if (denominator) *denominator = 0;
  const HostTime* time = QueryTime(kVstTimeSigValid);
  if (time && time->signatureValid && time->numerator >= 0 && time->denominator >= 0) {
    if (numerator) *numerator = time->numerator;
    if (denominator) *denominator = time->denominator;
  }
}

int32_t IPlugVST::HostTransportState() {
  const HostTime* time = QueryTime(0);
  if (!time) return 0;
  if (time->playing) return 1;
  if (time->recording) return 2;
  return 0;
}

double IPlugVST::SamplesPerBeat() {
  const double tempo = HostTempo();
  return tempo > 0.0 ? SampleRate() / tempo * 60.0 : 0.0;
}

int32_t IPlugVST::HostId() {
  if (StoredHostId() != -1) return StoredHostId();
  char product[256];
  product[0] = '\0';
  int32_t version = 0;
  if (instanceHost_) {
    // As long a name as the callback's product string holds.
    int32_t versionDecimal = 0;
    instanceHost_->HostIdentity(product, kMaxProductStrLen + 1, &versionDecimal);
    if (product[0]) version = PackedVersionFromDecimal(versionDecimal);
  } else {
    CallHost(audioMasterGetProductString, 0, 0, product, 0.0f);
    product[sizeof product - 1] = '\0';
    if (product[0]) {
      version = PackedVersionFromDecimal(
          static_cast<int32_t>(CallHost(audioMasterGetVendorVersion, 0, 0, nullptr, 0.0f)));
    }
  }
  const int32_t id = HostIdFromProductString(product);
  StoreHostIdentity(id, version);
  return id;
}

void IPlugVST::HostSpecificSetup() {
  if (hostSpecificSetupDone_) return;
  hostSpecificSetupDone_ = true;
  if (HostNeedsStereoLimit(HostId())) {
    for (int i = 2; i < NInChannels(); ++i) SetInputConnected(i, false);
    for (int i = 2; i < NOutChannels(); ++i) SetOutputConnected(i, false);
  }
  SyncChannelCounts();
}

bool IPlugVST::SendMidiMessage(const MidiMessage& message) {
  VstMidiEvent event = {};
  event.type = kVstMidiType;
  event.byteSize = sizeof(VstMidiEvent);
  event.deltaFrames = message.offset;
  event.midiData[0] = static_cast<char>(message.status);
  event.midiData[1] = static_cast<char>(message.data1);
  event.midiData[2] = static_cast<char>(message.data2);
  VstEvents list = {};
  list.numEvents = 1;
  list.events[0] = reinterpret_cast<VstEvent*>(&event);
  return CallHost(audioMasterProcessEvents, 0, 0, &list, 0.0f) == 1;
}

bool IPlugVST::SendSysExMessage(const SysExMessage& message) {
  VstMidiSysexEvent event = {};
  event.type = kVstSysExType;
  event.byteSize = sizeof(VstMidiSysexEvent);
  event.deltaFrames = message.offset;
  event.dumpBytes = message.size;
  event.sysexDump = const_cast<char*>(reinterpret_cast<const char*>(message.data));
  VstEvents list = {};
  list.numEvents = 1;
  list.events[0] = reinterpret_cast<VstEvent*>(&event);
  return CallHost(audioMasterProcessEvents, 0, 0, &list, 0.0f) == 1;
}
