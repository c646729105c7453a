#include "tools/host/host_services.h"

#include <cinttypes>
#include <cmath>
#include <cstring>

namespace {

struct RequestNameEntry {
  int32_t opcode;
  const char* name;
};

constexpr RequestNameEntry kRequestNames[] = {
    {vst2::audioMasterAutomate, "Automate"},
    {vst2::audioMasterVersion, "Version"},
    {vst2::audioMasterCurrentId, "CurrentId"},
    {vst2::audioMasterIdle, "Idle"},
    {vst2::audioMasterWantMidi, "WantMidi"},
    {vst2::audioMasterGetTime, "GetTime"},
    {vst2::audioMasterProcessEvents, "ProcessEvents"},
    {vst2::audioMasterIOChanged, "IOChanged"},
    {vst2::audioMasterSizeWindow, "SizeWindow"},
    {vst2::audioMasterGetSampleRate, "GetSampleRate"},
    {vst2::audioMasterGetBlockSize, "GetBlockSize"},
    {vst2::audioMasterGetCurrentProcessLevel, "GetCurrentProcessLevel"},
    {vst2::audioMasterGetAutomationState, "GetAutomationState"},
    {vst2::audioMasterGetVendorString, "GetVendorString"},
    {vst2::audioMasterGetProductString, "GetProductString"},
    {vst2::audioMasterGetVendorVersion, "GetVendorVersion"},
    {vst2::audioMasterCanDo, "CanDo"},
    {vst2::audioMasterGetLanguage, "GetLanguage"},
    {vst2::audioMasterUpdateDisplay, "UpdateDisplay"},
    {vst2::audioMasterBeginEdit, "BeginEdit"},
    {vst2::audioMasterEndEdit, "EndEdit"},
};

// What this host says yes to when an effect asks audioMasterCanDo.
constexpr const char* kHostCanDo[] = {"sendVstTimeInfo"};

const char* RequestName(int32_t opcode) {
  for (const auto& entry : kRequestNames) {
    if (entry.opcode == opcode) return entry.name;
  }
  return "Unknown";
}

intptr_t CopyText(void* ptr, const std::string& text, size_t limit) {
  if (ptr == nullptr) return 0;
  std::snprintf(static_cast<char*>(ptr), limit, "%s", text.c_str());
  return 1;
}

void LogRequest(const HostServices& host, int32_t opcode, int32_t index, intptr_t value,
                const void* ptr, float opt) {
  if (host.log == nullptr) return;
  std::fprintf(host.log, "audioMaster %s opcode=%d index=%d value=%" PRIdPTR " opt=%.6f",
               RequestName(opcode), opcode, index, value, static_cast<double>(opt));
  if (opcode == vst2::audioMasterCanDo && ptr != nullptr) {
    std::fprintf(host.log, " text=\"%.64s\"", static_cast<const char*>(ptr));
  }
  std::fputc('\n', host.log);
  std::fflush(host.log);
}

vst2::VstTimeInfo* FillTimeInfo(HostServices& host) {
  vst2::VstTimeInfo& info = host.timeInfo;
  info = vst2::VstTimeInfo{};
  info.samplePos = host.samplePosition;
  info.sampleRate = host.sampleRate;
  info.tempo = host.tempo;
  info.ppqPos = host.samplePosition / host.sampleRate * host.tempo / 60.0;
  const double quartersPerBar = host.timeSigNumerator * 4.0 / host.timeSigDenominator;
  info.barStartPos = std::floor(info.ppqPos / quartersPerBar) * quartersPerBar;
  info.timeSigNumerator = host.timeSigNumerator;
  info.timeSigDenominator = host.timeSigDenominator;
  info.flags = vst2::kVstTempoValid | vst2::kVstPpqPosValid | vst2::kVstBarsValid |
               vst2::kVstTimeSigValid;
  if (host.transport == Transport::Playing) info.flags |= vst2::kVstTransportPlaying;
  if (host.transport == Transport::Recording) info.flags |= vst2::kVstTransportRecording;
  if (host.transportChanged) info.flags |= vst2::kVstTransportChanged;
  host.transportChanged = false;
  return &info;
}

}  // namespace

HostServices& Host() {
  static HostServices host;
  return host;
}

intptr_t VST2_CALL HostCallback(vst2::AEffect* /*effect*/, int32_t opcode, int32_t index,
                                intptr_t value, void* ptr, float opt) {
  HostServices& host = Host();
  LogRequest(host, opcode, index, value, ptr, opt);
  switch (opcode) {
    case vst2::audioMasterVersion: return vst2::kVstVersion;
    case vst2::audioMasterGetTime:
      return host.timeInfoAvailable ? reinterpret_cast<intptr_t>(FillTimeInfo(host)) : 0;
    case vst2::audioMasterIOChanged: return 1;
    case vst2::audioMasterGetSampleRate: return static_cast<intptr_t>(host.sampleRate);
    case vst2::audioMasterGetBlockSize: return host.blockSize;
    case vst2::audioMasterGetCurrentProcessLevel: return host.processing ? 2 : 1;
    case vst2::audioMasterGetAutomationState: return 1;
    case vst2::audioMasterGetVendorString:
      return CopyText(ptr, host.vendorString, vst2::kMaxVendorStrLen);
    case vst2::audioMasterGetProductString:
      return CopyText(ptr, host.productString, vst2::kMaxProductStrLen);
    case vst2::audioMasterGetVendorVersion: return host.vendorVersion;
    case vst2::audioMasterCanDo:
      if (ptr == nullptr) return 0;
      for (const char* text : kHostCanDo) {
        if (std::strcmp(static_cast<const char*>(ptr), text) == 0) return 1;
      }
      return 0;
    case vst2::audioMasterGetLanguage: return 1;  // English
    case vst2::audioMasterUpdateDisplay:
    case vst2::audioMasterBeginEdit:
    case vst2::audioMasterEndEdit: return 1;
    default: return 0;  // automation, idle, MIDI, window sizing: accepted, nothing to do
  }
}

bool OpenRequestLog(const std::string& path) {
  CloseRequestLog();
  HostServices& host = Host();
  if (path == "-") {
    host.log = stderr;
    return true;
  }
  host.log = std::fopen(path.c_str(), "w");
  host.logIsFile = host.log != nullptr;
  return host.log != nullptr;
}

void CloseRequestLog() {
  HostServices& host = Host();
  if (host.logIsFile) std::fclose(host.log);
  host.log = nullptr;
  host.logIsFile = false;
}
