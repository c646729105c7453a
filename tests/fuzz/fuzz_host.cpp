#include "fuzz_host.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

using namespace vst2;

namespace {

// The effect may call back while it is being built, before the host could
// bind itself to the record; those calls go to the host being opened.
FuzzHost* hostBeingOpened = nullptr;

void PlayingAt120(VstTimeInfo& time) {
  time = {};
  time.sampleRate = 44100.0;
  time.tempo = 120.0;
  time.timeSigNumerator = 4;
  time.timeSigDenominator = 4;
  time.flags = kVstTransportPlaying | kVstTempoValid | kVstTimeSigValid | kVstPpqPosValid;
}

}  // namespace

void FuzzFail(const char* what) {
  fprintf(stderr, "fuzz check failed: %s\n", what);
  abort();
}

FuzzHost::FuzzHost() { PlayingAt120(timeInfo); }

FuzzHost::~FuzzHost() { Close(); }

void FuzzHost::Open() {
  Close();
  hostBeingOpened = this;
  effect_ = VSTPluginMain(&FuzzHost::Callback);
  hostBeingOpened = nullptr;
  FUZZ_CHECK(effect_ != nullptr, "the entry gave no effect");
  FUZZ_CHECK(effect_->magic == kEffectMagic, "effect record without its magic");
  effect_->user = this;
  Dispatch(effOpen);
  Dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
  Dispatch(effSetBlockSize, 0, 512);
  Dispatch(effMainsChanged, 0, 1);
}

void FuzzHost::Close() {
  if (!effect_) return;
  effect_->dispatcher(effect_, effClose, 0, 0, nullptr, 0.0f);
  effect_ = nullptr;
}

intptr_t FuzzHost::Dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
  return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

intptr_t VST2_CALL FuzzHost::Callback(AEffect* effect, int32_t opcode, int32_t /*index*/,
                                      intptr_t /*value*/, void* ptr, float /*opt*/) {
  FuzzHost* host = effect && effect->user ? static_cast<FuzzHost*>(effect->user) : hostBeingOpened;
  if (!host) return 0;
  switch (opcode) {
    case audioMasterVersion:
      return kVstVersion;
    case audioMasterGetTime:
      return host->giveTimeInfo ? reinterpret_cast<intptr_t>(&host->timeInfo) : 0;
    case audioMasterGetProductString:
      // The effect's buffer must hold the interface's 64 characters.
      if (!ptr) return 0;
      memcpy(ptr, host->productString, sizeof host->productString);
      static_cast<char*>(ptr)[64] = '\0';
      return 1;
    case audioMasterGetVendorVersion:
      return host->vendorVersion;
    case audioMasterGetSampleRate:
      return 44100;
    default:
      return 0;
  }
}

void CheckParametersSane(FuzzHost& host) {
  for (int32_t i = 0; i < kInstanceParams; ++i) {
    const float position = host.GetParameter(i);
    FUZZ_CHECK(std::isfinite(position) && position >= 0.0f && position <= 1.0f,
               "a parameter reads outside 0..1");
  }
  for (int32_t outside : {-1, kInstanceParams, INT32_MIN, INT32_MAX}) {
    FUZZ_CHECK(host.GetParameter(outside) == 0.0f, "a parameter outside the range reads non-zero");
  }
}

namespace {
int32_t LittleEndianInt32(const uint8_t* bytes) {
  return static_cast<int32_t>(
      static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
      static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24);
}
}  // namespace

ChunkVerdict JudgeChunk(const uint8_t* bytes, size_t size) {
  constexpr ChunkVerdict kForeign = {true, false}, kShort = {false, false};
  if (size < 4) return kShort;
  if (LittleEndianInt32(bytes) != 10000) return kForeign;
  const size_t chunk = static_cast<size_t>(kBareChunkBytes);
  if (size < chunk) return kShort;
  if (size == chunk) return {false, true, 0, 0};
  const uint8_t* tail = bytes + chunk;
  const size_t tailSize = size - chunk;
  if (memcmp(tail, "QRVX", tailSize < 4 ? tailSize : 4) != 0) return kForeign;
  if (tailSize < 12) return kShort;
  const int32_t version = LittleEndianInt32(tail + 4), payload = LittleEndianInt32(tail + 8);
  if (version < 1 || payload < (version >= 2 ? 12 : 8)) return kForeign;
  if (static_cast<size_t>(payload) > tailSize - 12) return kShort;
  if (static_cast<size_t>(payload) != tailSize - 12) return kForeign;
  const int32_t program = LittleEndianInt32(tail + 12), bypass = LittleEndianInt32(tail + 16);
  const int32_t count = version >= 2 ? LittleEndianInt32(tail + 20) : 0;
  if (version >= 2 && (count < 0 || 8 * static_cast<int64_t>(count) > payload - 12)) {
    return kForeign;
  }
  if (program < 0 || program > 49 || (bypass != 0 && bypass != 1)) return kForeign;
  return {false, true, count, chunk + 24};
}

double SavedValueAt(const uint8_t* chunk, int index) {
  const size_t at = index < kChunkValues ? 4 + 8 * static_cast<size_t>(index)
                                         : static_cast<size_t>(kBareChunkBytes) + 24 +
                                               8 * static_cast<size_t>(index - kChunkValues);
  double value;
  memcpy(&value, chunk + at, sizeof value);
  return value;
}

void CheckChunkRoundTrip(FuzzHost& host) {
  for (int32_t kind : {0, 1}) {
    void* data = nullptr;
    const intptr_t size = host.Dispatch(effGetChunk, kind, 0, &data);
    FUZZ_CHECK(size == kChunkBytes && data != nullptr, "the chunk has the wrong size");
    const std::vector<uint8_t> saved(static_cast<uint8_t*>(data),
                                     static_cast<uint8_t*>(data) + size);
    int32_t version;
    memcpy(&version, saved.data(), 4);
    FUZZ_CHECK(version == 10000, "the chunk does not start with the version");

    FuzzHost copy;
    copy.Open();
    std::vector<uint8_t> handed(saved);
    FUZZ_CHECK(copy.Dispatch(effSetChunk, kind, size, handed.data()) == 1,
               "a chunk the effect saved does not load");
    for (int32_t i = 0; i < kSavedParams; ++i) {
      FUZZ_CHECK(copy.GetParameter(i) == host.GetParameter(i),
                 "a loaded chunk gives other parameters");
    }
    void* again = nullptr;
    FUZZ_CHECK(copy.Dispatch(effGetChunk, kind, 0, &again) == size && again != nullptr,
               "the loaded instance gives a chunk of another size");
    // The same bytes but for the program word: this format leaves the
    // program to the host, so the copy saves its own, the first.
    std::vector<uint8_t> expected(saved);
    memset(&expected[kProgramAt], 0, 4);
    FUZZ_CHECK(memcmp(again, expected.data(), expected.size()) == 0,
               "the loaded instance gives another chunk");
  }
}

void CheckProcessFinite(FuzzHost& host) {
  constexpr int32_t kFrames = 700;  // more than one block of the size Open() sets
  std::vector<float> in[2], out[2];
  std::vector<double> inDouble[2], outDouble[2];
  for (int c = 0; c < 2; ++c) {
    in[c].resize(kFrames);
    inDouble[c].resize(kFrames);
    for (int32_t j = 0; j < kFrames; ++j) {
      in[c][j] = static_cast<float>(0.5 * std::sin(0.05 * j + c));
      inDouble[c][j] = in[c][j];
    }
    out[c].assign(kFrames, 0.0f);
    outDouble[c].assign(kFrames, 0.0);
  }
  float* inputs[2] = {in[0].data(), in[1].data()};
  float* outputs[2] = {out[0].data(), out[1].data()};
  double* inputsDouble[2] = {inDouble[0].data(), inDouble[1].data()};
  double* outputsDouble[2] = {outDouble[0].data(), outDouble[1].data()};
  AEffect* effect = host.effect();
  effect->processReplacing(effect, inputs, outputs, kFrames);
  effect->processDoubleReplacing(effect, inputsDouble, outputsDouble, kFrames);
  for (int c = 0; c < 2; ++c) {
    for (int32_t j = 0; j < kFrames; ++j) {
      FUZZ_CHECK(std::isfinite(out[c][j]), "the float callback gives a non-finite sample");
      FUZZ_CHECK(std::isfinite(outDouble[c][j]), "the double callback gives a non-finite sample");
    }
  }
}
