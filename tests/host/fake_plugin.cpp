// A tiny VST 2 effect for testing the host: two channels, a gain and a
// probe parameter, three programs, program and bank chunks. It also checks
// the host: processing before effOpen, while suspended, with more frames than
// the announced block size, or a block size change while running aborts the
// process with a message, so a misbehaving host fails its tests.
//
// With the probe on, each block starts with what the host answered to
// audioMasterGetTime, written over the first output samples:
//   out[0][0..3] = samplePos, tempo, flags, ppqPos
//   out[1][0..3] = frames, callback (1 process, 2 replacing, 3 double), sampleRate,
//                  1 when the host returned no time info
// effVendorSpecific(1, value = parameter, opt = value) acts like an editor drag:
// BeginEdit, Automate, EndEdit around the change.
// The MIDI events of effProcessEvents are reported (standard error) with the
// process call that follows them:
//   fake_plugin: midi frames=F delta=D status=S data=N,V
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "framework/vst2_interface.h"

#if defined(_WIN32)
#define FAKE_EXPORT extern "C" __declspec(dllexport)
#else
#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

constexpr int kParams = 2;
constexpr int kPrograms = 3;
constexpr int kChunkBytesProgram = 4 + 4 * kParams;
constexpr int kChunkBytesBank = 8 + 4 * kParams * kPrograms;

struct Program {
  char name[24];
  float values[kParams];
};

struct FakeEffect {
  vst2::AEffect record{};
  vst2::AudioMasterCallback host = nullptr;
  Program programs[kPrograms] = {{"Unity", {0.5f, 0.0f}}, {"Half", {0.25f, 0.0f}}, {"Silent", {0.0f, 0.0f}}};
  int current = 0;
  bool opened = false;
  bool running = false;
  int blockSize = 1024;
  char hostSeen[64] = "";
  vst2::VstMidiEvent midi[64] = {};  // received, for the next process call
  int midiCount = 0;
  unsigned char chunk[kChunkBytesBank];

  float* values() { return programs[current].values; }
  float gain() { return 2.0f * values()[0]; }
};

FakeEffect* Self(vst2::AEffect* e) { return static_cast<FakeEffect*>(e->object); }

[[noreturn]] void HostFault(const char* what) {
  std::fprintf(stderr, "fake_plugin: host fault: %s\n", what);
  std::fflush(stderr);
  std::abort();
}

void CopyText(void* ptr, const char* text, size_t limit) {
  if (ptr != nullptr) std::snprintf(static_cast<char*>(ptr), limit, "%s", text);
}

void PutFloat(unsigned char*& p, float v) {
  std::memcpy(p, &v, 4);
  p += 4;
}
float GetFloat(const unsigned char*& p) {
  float v;
  std::memcpy(&v, p, 4);
  p += 4;
  return v < 0.0f ? 0.0f : v > 1.0f ? 1.0f : v;
}

intptr_t GetChunk(FakeEffect* self, int32_t index, void* ptr) {
  unsigned char* p = self->chunk;
  if (index == 0) {
    std::memcpy(p, "FBNK", 4);
    p += 4;
    int32_t current = self->current;
    std::memcpy(p, &current, 4);
    p += 4;
    for (auto& program : self->programs) {
      for (float v : program.values) PutFloat(p, v);
    }
  } else {
    std::memcpy(p, "FPRG", 4);
    p += 4;
    for (int i = 0; i < kParams; ++i) PutFloat(p, self->values()[i]);
  }
  *static_cast<void**>(ptr) = self->chunk;
  return p - self->chunk;
}

intptr_t SetChunk(FakeEffect* self, int32_t index, intptr_t size, const void* ptr) {
  const unsigned char* p = static_cast<const unsigned char*>(ptr);
  if (index == 0) {
    if (size != kChunkBytesBank || std::memcmp(p, "FBNK", 4) != 0) return 0;
    int32_t current;
    std::memcpy(&current, p + 4, 4);
    if (current < 0 || current >= kPrograms) return 0;
    p += 8;
    self->current = current;
    for (auto& program : self->programs) {
      for (float& v : program.values) v = GetFloat(p);
    }
  } else {
    if (size != kChunkBytesProgram || std::memcmp(p, "FPRG", 4) != 0) return 0;
    p += 4;
    for (int i = 0; i < kParams; ++i) self->values()[i] = GetFloat(p);
  }
  return 1;
}

void FormatParameter(FakeEffect* self, int32_t index, char* text) {
  if (index == 0) {
    std::snprintf(text, 8, "%.3f", static_cast<double>(self->gain()));
  } else {
    std::snprintf(text, 8, "%s", self->values()[1] >= 0.5f ? "on" : "off");
  }
}

intptr_t VST2_CALL Dispatcher(vst2::AEffect* e, int32_t opcode, int32_t index, intptr_t value, void* ptr,
                              float opt) {
  FakeEffect* self = Self(e);
  static const char* const kNames[kParams] = {"Gain", "Probe"};
  static const char* const kLabels[kParams] = {"x", ""};
  const bool validParam = index >= 0 && index < kParams;
  switch (opcode) {
    case vst2::effOpen: {
      self->opened = true;
      // Identify the host once, the way a real effect does at open.
      char product[256] = "";
      self->host(e, vst2::audioMasterGetProductString, 0, 0, product, 0.0f);
      const intptr_t version = self->host(e, vst2::audioMasterGetVendorVersion, 0, 0, nullptr, 0.0f);
      std::snprintf(self->hostSeen, sizeof self->hostSeen, "host=%.30s version=%ld", product,
                    static_cast<long>(version));
      return 0;
    }
    case vst2::effClose:
      if (self->running) HostFault("effClose while the effect is running");
      delete self;
      return 0;
    case vst2::effSetProgram:
      if (value >= 0 && value < kPrograms) self->current = static_cast<int>(value);
      return 0;
    case vst2::effGetProgram: return self->current;
    case vst2::effGetProgramName: CopyText(ptr, self->programs[self->current].name, 24); return 0;
    case vst2::effGetProgramNameIndexed:
      if (index < 0 || index >= kPrograms) return 0;
      CopyText(ptr, self->programs[index].name, 24);
      return 1;
    case vst2::effGetParamName: if (validParam) CopyText(ptr, kNames[index], 8); return 0;
    case vst2::effGetParamLabel: if (validParam) CopyText(ptr, kLabels[index], 8); return 0;
    case vst2::effGetParamDisplay:
      if (validParam && ptr != nullptr) FormatParameter(self, index, static_cast<char*>(ptr));
      return 0;
    case vst2::effString2Parameter:
      if (index != 0 || ptr == nullptr) return 0;
      self->values()[0] = std::fmin(1.0f, std::fmax(0.0f, std::strtof(static_cast<char*>(ptr), nullptr) / 2.0f));
      return 1;
    case vst2::effSetSampleRate: return 0;
    case vst2::effSetBlockSize:
      if (self->running) HostFault("block size changed while running");
      self->blockSize = static_cast<int>(value);
      return 0;
    case vst2::effMainsChanged: self->running = value != 0; return 0;
    case vst2::effProcessEvents: {
      const auto* events = static_cast<const vst2::VstEvents*>(ptr);
      if (events == nullptr) return 0;
      for (int32_t i = 0; i < events->numEvents; ++i) {
        const vst2::VstEvent* event = events->events[i];
        if (event == nullptr || event->type != vst2::kVstMidiType) HostFault("not a MIDI event");
        if (self->midiCount == 64) HostFault("more than 64 MIDI events before a block");
        std::memcpy(&self->midi[self->midiCount++], event, sizeof(vst2::VstMidiEvent));
      }
      return 1;
    }
    case vst2::effGetChunk: return ptr != nullptr ? GetChunk(self, index, ptr) : 0;
    case vst2::effSetChunk: return ptr != nullptr ? SetChunk(self, index, value, ptr) : 0;
    case vst2::effGetEffectName: CopyText(ptr, "Fake", 32); return 1;
    case vst2::effGetVendorString: CopyText(ptr, "Test Fakes", 64); return 1;
    case vst2::effGetProductString: CopyText(ptr, self->hostSeen, 64); return 1;
    case vst2::effGetVendorVersion: return 7;
    case vst2::effGetVstVersion: return vst2::kVstVersion;
    case vst2::effCanDo:
      return ptr != nullptr && std::strcmp(static_cast<char*>(ptr), "receiveVstTimeInfo") == 0 ? 1 : 0;
    case vst2::effVendorSpecific:
      if (index != 1 || value < 0 || value >= kParams) return 0;
      self->host(e, vst2::audioMasterBeginEdit, static_cast<int32_t>(value), 0, nullptr, 0.0f);
      self->values()[value] = opt;
      self->host(e, vst2::audioMasterAutomate, static_cast<int32_t>(value), 0, nullptr, opt);
      self->host(e, vst2::audioMasterEndEdit, static_cast<int32_t>(value), 0, nullptr, 0.0f);
      return 1;
    default: return 0;
  }
}

void VST2_CALL SetParameter(vst2::AEffect* e, int32_t index, float value) {
  if (index >= 0 && index < kParams) Self(e)->values()[index] = value;
}

float VST2_CALL GetParameter(vst2::AEffect* e, int32_t index) {
  return index >= 0 && index < kParams ? Self(e)->values()[index] : 0.0f;
}

template <typename Sample>
void Process(vst2::AEffect* e, Sample** in, Sample** out, int32_t frames, int callback) {
  FakeEffect* self = Self(e);
  if (!self->opened) HostFault("audio before effOpen");
  if (!self->running) HostFault("audio while suspended (mains off)");
  if (frames < 0 || frames > self->blockSize) HostFault("block longer than the block size");
  for (int c = 0; c < 2; ++c) {
    if (in[c] == nullptr || out[c] == nullptr) HostFault("null channel buffer");
  }
  for (int i = 0; i < self->midiCount; ++i) {
    const vst2::VstMidiEvent& m = self->midi[i];
    std::fprintf(stderr, "fake_plugin: midi frames=%d delta=%d status=%d data=%d,%d\n", frames,
                 m.deltaFrames, static_cast<unsigned char>(m.midiData[0]),
                 static_cast<unsigned char>(m.midiData[1]), static_cast<unsigned char>(m.midiData[2]));
  }
  if (self->midiCount > 0) std::fflush(stderr);
  self->midiCount = 0;
  const float gain = self->gain();
  for (int c = 0; c < 2; ++c) {
    for (int32_t i = 0; i < frames; ++i) {
      const Sample y = static_cast<Sample>(gain * static_cast<float>(in[c][i]));
      out[c][i] = callback == 1 ? out[c][i] + y : y;
    }
  }
  if (self->values()[1] < 0.5f) return;
  auto* info = reinterpret_cast<vst2::VstTimeInfo*>(
      self->host(e, vst2::audioMasterGetTime, 0, vst2::kVstTempoValid, nullptr, 0.0f));
  const double probe[2][4] = {
      {info ? info->samplePos : 0.0, info ? info->tempo : 0.0, info ? static_cast<double>(info->flags) : 0.0,
       info ? info->ppqPos : 0.0},
      {static_cast<double>(frames), static_cast<double>(callback), info ? info->sampleRate : 0.0,
       info ? 0.0 : 1.0}};
  for (int c = 0; c < 2; ++c) {
    for (int32_t i = 0; i < 4 && i < frames; ++i) out[c][i] = static_cast<Sample>(probe[c][i]);
  }
}

void VST2_CALL ProcessAccumulating(vst2::AEffect* e, float** in, float** out, int32_t frames) {
  Process(e, in, out, frames, 1);
}
void VST2_CALL ProcessReplacing(vst2::AEffect* e, float** in, float** out, int32_t frames) {
  Process(e, in, out, frames, 2);
}
void VST2_CALL ProcessDouble(vst2::AEffect* e, double** in, double** out, int32_t frames) {
  Process(e, in, out, frames, 3);
}

}  // namespace

// FAKE_PLUGIN_ENTRY=null makes the entry return no effect, =badmagic a record
// with a wrong magic: load failures the host must report.
FAKE_EXPORT vst2::AEffect* VSTPluginMain(vst2::AudioMasterCallback host) {
  if (host == nullptr || host(nullptr, vst2::audioMasterVersion, 0, 0, nullptr, 0.0f) < 2400) return nullptr;
  const char* mode = std::getenv("FAKE_PLUGIN_ENTRY");
  if (mode != nullptr && std::strcmp(mode, "null") == 0) return nullptr;
  if (mode != nullptr && std::strcmp(mode, "badmagic") == 0) {
    static vst2::AEffect broken{};
    broken.magic = 0x12345678;
    return &broken;
  }
  auto* self = new FakeEffect;
  self->host = host;
  vst2::AEffect& r = self->record;
  r.magic = vst2::kEffectMagic;
  r.dispatcher = Dispatcher;
  r.process = ProcessAccumulating;
  r.processReplacing = ProcessReplacing;
  r.processDoubleReplacing = ProcessDouble;
  r.setParameter = SetParameter;
  r.getParameter = GetParameter;
  r.numPrograms = kPrograms;
  r.numParams = kParams;
  r.numInputs = 2;
  r.numOutputs = 2;
  r.flags = vst2::effFlagsCanReplacing | vst2::effFlagsCanDoubleReplacing | vst2::effFlagsProgramChunks;
  r.ioRatio = 1.0f;
  r.object = self;
  r.uniqueID = 0x466B506C;  // 'FkPl'
  r.version = 7;
  return &r;
}
