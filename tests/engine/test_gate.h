// A GateEngine with its hooks answered by plain fields: parameter values in
// their own units, a scripted host (tempo, transport, position, sample rate),
// a hand-set clock, and records of what the engine wrote out.
#pragma once

#include <string>
#include <vector>

#include "engine/gate_engine.h"

class TestGate : public GateEngine {
 public:
  TestGate() {
    // The effect's defaults: 0-16, then swing, chance, restart, MIDI switch,
    // the chance words and the editor's momentary three.
    const double defaults[kGateParamCount] = {
        9,       16,      5,   100, 1,   30, 5, 1000, 0, 80, 4882812, 4882812, 4882812, 5078124,
        9765624, 9765624, 624, 50,  100, 0,  0, 0,    0, 0,  0,       0,       0};
    for (int i = 0; i < kGateParamCount; ++i) params[i] = defaults[i];
    for (int i = 0; i < kPatternEntries; ++i) bars[i] = -1;
  }

  // Host opens the effect: every parameter applied in index order.
  void Open() {
    for (int i = 0; i < kGateParamCount; ++i) ApplyParamChange(i);
  }
  void Set(int index, double value) {
    params[index] = value;
    ApplyParamChange(index);
  }
  // A bar edit as the editor makes it.
  void EditBar(int entry, int value) {
    StepPattern[entry] = static_cast<uint16_t>(value);
    editedIndex = static_cast<uint16_t>(entry);
    editedValue = static_cast<uint16_t>(value);
    Set(kStepEdited, 1);
  }
  void Block(std::vector<double>& left, std::vector<double>& right) {
    double* in[2] = {left.data(), right.data()};
    outLeft.assign(left.size(), -99);
    outRight.assign(right.size(), -99);
    double* out[2] = {outLeft.data(), outRight.data()};
    ProcessGateBlock(in, out, static_cast<int>(left.size()));
  }

  using GateEngine::RealignStepClock;

  double params[kGateParamCount];
  double sampleRate = 44100;
  double tempo = 120;  // 0: no tempo
  bool playing = true;
  int64_t position = 0;
  uint32_t clock = 0;
  int positionQueries = 0;
  bool hasStatusLine = true;
  std::string statusText;
  std::vector<std::string> shownTexts;
  double bars[kPatternEntries];  // -1: no bar for that entry
  std::vector<std::pair<int, double>> stored;
  std::vector<double> outLeft, outRight;

 protected:
  double EngineParamValue(int index) override { return params[index]; }
  void StoreEngineParam(int index, double value) override {
    stored.emplace_back(index, value);
    params[index] = value;
  }
  void ResetStepEdited() override {
    params[kStepEdited] = 0;
    ApplyParamChange(kStepEdited);
  }
  double EngineSampleRate() override { return sampleRate; }
  double EngineSamplesPerBeat() override { return tempo > 0 ? sampleRate / tempo * 60 : 0; }
  bool EngineTransportRunning() override { return playing; }
  int64_t EngineSamplePosition() override {
    ++positionQueries;
    return position;
  }
  uint32_t EngineClock() override { return clock; }
  void SetStatusText(const char* text) override {
    if (!hasStatusLine) return;
    statusText = text;
    shownTexts.emplace_back(text);
  }
  double BarValue(int entry) override {
    return bars[entry] >= 0 ? bars[entry] : StepPattern[entry] * 0.25;
  }
  void SetBarValue(int entry, double value) override { bars[entry] = value; }
};
