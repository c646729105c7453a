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
// foreign chunk (a version word other than 10000, or after the 17 values
// anything but an extension of ours: "QRVX", version >= 1, a payload that
// holds its version's fields (8 bytes in version 1; 12 and N values from
// version 2 on, N >= 0) and ends exactly at the end, program 0..49, bypass 0
// or 1) loads nothing; any other loads the values it carries and succeeds
// only whole.
struct ChunkVerdict {
  bool foreign;
  bool succeeds;
  // For a whole chunk: how many values past the 17 it carries (0 for a bare
  // chunk or a version-1 extension: those parameters take their defaults)
  // and where the first one starts. -1 when they keep their values.
  int32_t extensionValues = -1;
  size_t valuesAt = 0;
};
ChunkVerdict JudgeChunk(const uint8_t* bytes, size_t size);

// Number of parameters an instance has, including those not announced.
constexpr int kInstanceParams = 27;
// Values in the chunk itself, after its int32 version: what older builds saved.
constexpr int kChunkValues = 17;
constexpr intptr_t kBareChunkBytes = 4 + 8 * kChunkValues;
// The values the extension carries after them, and the whole chunk this
// build saves: the bare chunk, the extension's 24 bytes, its values.
constexpr int kSavedParams = 24;
constexpr intptr_t kChunkBytes = kBareChunkBytes + 24 + 8 * (kSavedParams - kChunkValues);
// Where the extension's program word sits in such a chunk.
constexpr size_t kProgramAt = static_cast<size_t>(kBareChunkBytes) + 12;
// The documented defaults of the values past the chunk's: Swing 50, Chance
// 100, Restart and MIDI Switch 0, the chance words 0.
constexpr double kExtensionDefaults[kSavedParams - kChunkValues] = {50, 100, 0, 0, 0, 0, 0};

// The saved values in a chunk this build wrote (kChunkBytes long).
double SavedValueAt(const uint8_t* chunk, int index);
