// The effect driven through its VST 2 record as a host drives it: time info
// that moves on by each process call, note-ons sent before the call they
// belong to, double blocks of a constant 1 (the output is the gain) or a test signal.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

#include "engine/gate_plug.h"

extern "C" vst2::AEffect* VSTPluginMain(vst2::AudioMasterCallback audioMaster);

namespace vst2_render {

inline vst2::VstTimeInfo* currentTime = nullptr;  // the processing effect's host time

inline intptr_t VST2_CALL Callback(vst2::AEffect*, int32_t opcode, int32_t, intptr_t, void*,
                                   float) {
  if (opcode == vst2::audioMasterGetTime) return reinterpret_cast<intptr_t>(currentTime);
  return opcode == vst2::audioMasterVersion ? 2400 : 0;
}

// Channel c's sample i: a slow sine on the left, a hashed counter on the right.
inline double Signal(int c, int64_t i) {
  if (c == 0) return 0.7 * std::sin(0.0123 * static_cast<double>(i));
  uint64_t x = static_cast<uint64_t>(i) * 0x9E3779B97F4A7C15ull + 0x1234567ull;
  x ^= x >> 29;
  x *= 0xBF58476D1CE4E5B9ull;
  x ^= x >> 32;
  return static_cast<double>(x >> 11) / 9007199254740992.0 - 0.5;
}

struct Effect {
  Effect(double tempo, int blockSize, double startPosition) {
    time.tempo = tempo;
    time.sampleRate = 44100;
    time.samplePos = startPosition;
    time.flags = vst2::kVstTempoValid | vst2::kVstTransportPlaying;
    currentTime = &time;
    effect = VSTPluginMain(Callback);
    plug = static_cast<VSTCLASS*>(static_cast<IPlugVST*>(effect->object));
    effect->dispatcher(effect, vst2::effSetSampleRate, 0, 0, nullptr, 44100.0f);
    effect->dispatcher(effect, vst2::effSetBlockSize, 0, blockSize, nullptr, 0);
    effect->dispatcher(effect, vst2::effOpen, 0, 0, nullptr, 0);
    effect->dispatcher(effect, vst2::effMainsChanged, 0, 1, nullptr, 0);
  }
  ~Effect() { effect->dispatcher(effect, vst2::effClose, 0, 0, nullptr, 0); }
  Effect(const Effect&) = delete;
  Effect& operator=(const Effect&) = delete;

  void Set(int index, double value) {
    plug->GetParam(index)->SetValueClamped(value);
    plug->OnParamChanged(index);
  }
  // A note-on for the next process call, at this offset into it.
  void SendNote(int32_t offset, int note) {
    vst2::VstMidiEvent midi{};
    midi.type = vst2::kVstMidiType;
    midi.byteSize = sizeof midi;
    midi.deltaFrames = offset;
    midi.midiData[0] = static_cast<char>(0x90);
    midi.midiData[1] = static_cast<char>(note);
    midi.midiData[2] = 100;
    struct {
      int32_t numEvents;
      intptr_t reserved;
      vst2::VstEvent* events[1];
    } list = {1, 0, {reinterpret_cast<vst2::VstEvent*>(&midi)}};
    effect->dispatcher(effect, vst2::effProcessEvents, 0, 0, &list, 0);
  }
  void Process(int frames) {
    std::vector<double> in[2] = {std::vector<double>(frames, 1.0),
                                 std::vector<double>(frames, 1.0)};
    for (int c = 0; c < 2 && !constantInput; ++c) {
      for (int j = 0; j < frames; ++j) in[c][j] = Signal(c, rendered + j);
    }
    outLeft.resize(rendered + frames);
    outRight.resize(rendered + frames);
    double* ins[2] = {in[0].data(), in[1].data()};
    double* outs[2] = {outLeft.data() + rendered, outRight.data() + rendered};
    currentTime = &time;
    effect->processDoubleReplacing(effect, ins, outs, frames);
    rendered += frames;
    if (time.flags & vst2::kVstTransportPlaying) time.samplePos += frames;
  }

  vst2::VstTimeInfo time{};
  bool constantInput = true;
  vst2::AEffect* effect = nullptr;
  VSTCLASS* plug = nullptr;
  int64_t rendered = 0;
  std::vector<double> outLeft, outRight;
};

}  // namespace vst2_render
