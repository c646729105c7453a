// The effect driven through its VST 2 record as a host drives it: time info
// that advances by each process call, note-ons sent before the call they
// belong to, double blocks of a constant 1 (the output is the gain) or a test signal.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/gate_plug.h"

extern "C" vst2::AEffect* VSTPluginMain(vst2::AudioMasterCallback audioMaster);

namespace vst2_render {

struct Host {
  vst2::VstTimeInfo time{};
};
inline Host* currentHost = nullptr;

inline intptr_t VST2_CALL Callback(vst2::AEffect*, int32_t opcode, int32_t, intptr_t, void*,
                                   float) {
  if (opcode == vst2::audioMasterVersion) return 2400;
  if (opcode == vst2::audioMasterGetTime && currentHost) {
    return reinterpret_cast<intptr_t>(&currentHost->time);
  }
  return 0;
}

// Left: a slow sine; right: a hashed counter. Sample i of the render.
inline double SignalLeft(int64_t i) { return 0.7 * std::sin(0.0123 * static_cast<double>(i)); }
inline double SignalRight(int64_t i) {
  uint64_t x = static_cast<uint64_t>(i) * 0x9E3779B97F4A7C15ull + 0x1234567ull;
  x ^= x >> 29;
  x *= 0xBF58476D1CE4E5B9ull;
  x ^= x >> 32;
  return static_cast<double>(x >> 11) / 9007199254740992.0 - 0.5;
}

class Effect {
 public:
  Effect(double tempo, int blockSize, double startPosition = 0) {
    host.time.tempo = tempo;
    host.time.sampleRate = 44100;
    host.time.samplePos = startPosition;
    host.time.flags = vst2::kVstTempoValid | vst2::kVstTransportPlaying;
    currentHost = &host;
    effect = VSTPluginMain(Callback);
    plug = static_cast<VSTCLASS*>(static_cast<IPlugVST*>(effect->object));
    Dispatch(vst2::effSetSampleRate, 0, 0, nullptr, 44100.0f);
    Dispatch(vst2::effSetBlockSize, 0, blockSize);
    Dispatch(vst2::effOpen);
    Dispatch(vst2::effMainsChanged, 0, 1);
  }
  ~Effect() {
    Dispatch(vst2::effClose);
    currentHost = nullptr;
  }
  Effect(const Effect&) = delete;
  Effect& operator=(const Effect&) = delete;

  intptr_t Dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                    float opt = 0) {
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
  }
  void Set(int index, double value) {
    plug->GetParam(index)->SetValueClamped(value);
    plug->OnParamChanged(index);
  }
  // Note-ons for the next process call, at these offsets into it.
  void SendNotes(const std::vector<std::pair<int32_t, int>>& offsetAndNote) {
    std::vector<vst2::VstMidiEvent> midi(offsetAndNote.size());
    std::vector<uint8_t> listBytes(sizeof(vst2::VstEvents) +
                                   offsetAndNote.size() * sizeof(vst2::VstEvent*));
    auto* list = reinterpret_cast<vst2::VstEvents*>(listBytes.data());
    list->numEvents = static_cast<int32_t>(midi.size());
    for (size_t i = 0; i < midi.size(); ++i) {
      midi[i].type = vst2::kVstMidiType;
      midi[i].byteSize = sizeof(vst2::VstMidiEvent);
      midi[i].deltaFrames = offsetAndNote[i].first;
      midi[i].midiData[0] = static_cast<char>(0x90);
      midi[i].midiData[1] = static_cast<char>(offsetAndNote[i].second);
      midi[i].midiData[2] = 100;
      list->events[i] = reinterpret_cast<vst2::VstEvent*>(&midi[i]);
    }
    Dispatch(vst2::effProcessEvents, 0, 0, list);
  }
  // One process call; the host's position moves on by it while the transport runs.
  void Process(int frames) {
    std::vector<double> inLeft(frames), inRight(frames);
    for (int j = 0; j < frames; ++j) {
      inLeft[j] = constantInput ? 1.0 : SignalLeft(rendered + j);
      inRight[j] = constantInput ? 1.0 : SignalRight(rendered + j);
    }
    const size_t at = outLeft.size();
    outLeft.resize(at + frames);
    outRight.resize(at + frames);
    currentHost = &host;  // the one asked for time info
    double* in[2] = {inLeft.data(), inRight.data()};
    double* out[2] = {outLeft.data() + at, outRight.data() + at};
    effect->processDoubleReplacing(effect, in, out, frames);
    rendered += frames;
    if (host.time.flags & vst2::kVstTransportPlaying) host.time.samplePos += frames;
  }
  Host host;
  bool constantInput = true;
  vst2::AEffect* effect = nullptr;
  VSTCLASS* plug = nullptr;
  int64_t rendered = 0;
  std::vector<double> outLeft, outRight;
};

}  // namespace vst2_render
