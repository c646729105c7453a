// The host side shared by the effect's fuzz targets: an audio-master
// callback that answers time info and identity from fields the target sets,
// the creation and opening of an effect through the module entry, and the
// checks every target applies to an effect after feeding it. A failed check
// prints what went wrong and aborts, which libFuzzer reports as a crash.
#pragma once

#include <cstdint>

#include "framework/vst2_interface.h"

extern "C" vst2::AEffect* VSTPluginMain(vst2::AudioMasterCallback audioMaster);

[[noreturn]] void FuzzFail(const char* what);
#define FUZZ_CHECK(condition, what)   \
  do {                                \
    if (!(condition)) FuzzFail(what); \
  } while (0)

class FuzzHost {
 public:
  FuzzHost();
  ~FuzzHost();  // closes the effect
  FuzzHost(const FuzzHost&) = delete;
  FuzzHost& operator=(const FuzzHost&) = delete;

  // Creates the effect through VSTPluginMain and sends effOpen, sample rate,
  // block size and mains on, as hosts do. Any effect open before is closed.
  void Open();
  void Close();

  vst2::AEffect* effect() const { return effect_; }
  intptr_t Dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                    float opt = 0.0f);
  float GetParameter(int32_t index) { return effect_->getParameter(effect_, index); }

  // What the callback answers.
  bool giveTimeInfo = true;
  vst2::VstTimeInfo timeInfo = {};
  char productString[65] = "FuzzHost";
  intptr_t vendorVersion = 1000;

 private:
  static intptr_t VST2_CALL Callback(vst2::AEffect* effect, int32_t opcode, int32_t index,
                                     intptr_t value, void* ptr, float opt);
  vst2::AEffect* effect_ = nullptr;
};

// Every parameter the instance has (the announced ones and the internal ones
// behind them) reads as a finite position in 0..1; indices outside read 0.
void CheckParametersSane(FuzzHost& host);

// A chunk taken from `host` loads into a fresh instance and gives the same
// parameters and the same chunk back, for the bank and the program kind.
void CheckChunkRoundTrip(FuzzHost& host);

// A stereo block of a finite signal through the float and the double
// callbacks comes out finite.
void CheckProcessFinite(FuzzHost& host);

// What the effect must make of state bytes, decoded here on their own: a
// foreign chunk (a version word other than 10000, or after the parameters
// anything but the VST 3 state's extension: "QRVX", version >= 1, payload
// size >= 8 ending exactly at the end, program 0..49, bypass 0 or 1) loads
// nothing; any other loads the values it carries and succeeds only whole.
struct ChunkVerdict {
  bool foreign;
  bool succeeds;
};
ChunkVerdict JudgeChunk(const uint8_t* bytes, size_t size);

// Number of parameters an instance has, including those not announced.
constexpr int kInstanceParams = 20;
// Size of the state chunk: int32 version and one double per saved parameter.
constexpr int kSavedParams = 17;
constexpr intptr_t kChunkBytes = 4 + 8 * kSavedParams;
