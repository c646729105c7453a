// Test signals the host can write as WAV files, so tests and the demo need
// no external audio: a sustained chord ("pad"), a sine, a constant level
// ("dc") and white noise from a fixed seed (the same file on every run).
#pragma once

#include <string>

#include "tools/host/wav_file.h"

struct TestSignalSettings {
  std::string kind;  // pad, sine, dc, noise
  double seconds = 2.0;
  int sampleRate = 44100;
  int channels = 2;
  double frequency = 440.0;  // sine only
  double level = 0.5;        // peak level (pad: of the summed chord)
};

// Fills audio; false for an unknown kind or out-of-range values.
bool GenerateTestSignal(const TestSignalSettings& settings, WavAudio& audio, std::string& error);
