// What the test host answers through its audio-master callback: sample
// rate, block size, tempo, position and transport for time-info requests,
// the product string and vendor version it identifies itself with. Every
// request is written, one line each, to the request log when one is open.
// The host runs one effect, so the state is one process-wide record.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "framework/vst2_interface.h"

enum class Transport { Stopped, Playing, Recording };

struct HostServices {
  double sampleRate = 44100.0;
  int32_t blockSize = 1024;
  double tempo = 120.0;
  double samplePosition = 0.0;
  int32_t timeSigNumerator = 4;
  int32_t timeSigDenominator = 4;
  Transport transport = Transport::Stopped;
  bool transportChanged = true;  // reported once with the next time info
  bool timeInfoAvailable = true; // false: audioMasterGetTime answers null
  bool processing = false;       // inside an audio callback (process level)
  std::string productString = "QuorvelTestHost";
  std::string vendorString = "Quorvel";
  int32_t vendorVersion = 1000;

  FILE* log = nullptr;  // request log, or null
  bool logIsFile = false;

  vst2::VstTimeInfo timeInfo{};  // the record handed out by audioMasterGetTime

  bool Advancing() const { return transport != Transport::Stopped; }
};

HostServices& Host();

// The callback handed to `VSTPluginMain`. [any thread the effect calls from]
intptr_t VST2_CALL HostCallback(vst2::AEffect* effect, int32_t opcode, int32_t index,
                                intptr_t value, void* ptr, float opt);

// Opens the request log ("-" for standard error); false if it cannot be created.
bool OpenRequestLog(const std::string& path);
void CloseRequestLog();
