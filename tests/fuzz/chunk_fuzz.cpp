// libFuzzer target for state loading: effSetChunk with arbitrary bytes, as a
// bank or a program chunk, on a live effect. The first byte chooses the kind
// and how the host hands the chunk over; the rest is the chunk.
//
// Independent of the loader, the target decodes the chunk itself (int32
// version, then one little-endian double for each of the 17 chunk values,
// then at most an extension with the values after them; JudgeChunk tells
// ours from foreign bytes) and predicts what the effect must hold
// afterwards: nothing new from a foreign chunk, otherwise each value that is
// present, rounded to its parameter's step of 1 and clamped to its range (a
// NaN leaves the old value), and the old values from the first missing one
// on; past the 17, a whole chunk's extension values, or the documented
// defaults for those it does not carry, and the old values when the chunk is
// not whole. It then checks that the effect stays sane: positions in 0..1, a
// chunk that round-trips through a second instance, finite audio.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "fuzz_host.h"
#include "fuzz_input.h"

using namespace vst2;

namespace {

// Kinds of handing over: the chunk with its size, and the three ways a host
// can get it wrong that the effect must take as an empty chunk.
enum Handover { kExactSize, kNegativeSize, kOversizedSize, kNullData };

std::vector<double> SavedValues(FuzzHost& host) {
  void* data = nullptr;
  const intptr_t size = host.Dispatch(effGetChunk, 1, 0, &data);
  FUZZ_CHECK(size == kChunkBytes && data != nullptr, "the chunk has the wrong size");
  std::vector<double> values(kSavedParams);
  for (int i = 0; i < kSavedParams; ++i) values[i] = SavedValueAt(static_cast<uint8_t*>(data), i);
  return values;
}

// Each saved parameter's range, learnt once by loading all -inf and all +inf.
struct Ranges {
  std::vector<double> min, max;
};

const Ranges& ParamRanges() {
  static const Ranges ranges = [] {
    Ranges found;
    for (double fill : {-INFINITY, INFINITY}) {
      FuzzHost host;
      host.Open();
      // The version, the values, then "QRVX", version 2, the payload size,
      // program 0, bypass 0 and the count before the extension's values.
      std::vector<uint8_t> chunk(kChunkBytes);
      const int32_t words[7] = {10000,
                                0x58565251,
                                2,
                                12 + 8 * (kSavedParams - kChunkValues),
                                0,
                                0,
                                kSavedParams - kChunkValues};
      memcpy(chunk.data(), &words[0], 4);
      memcpy(&chunk[kBareChunkBytes], &words[1], 24);
      for (int i = 0; i < kChunkValues; ++i) memcpy(&chunk[4 + 8 * i], &fill, 8);
      for (int i = 0; i < kSavedParams - kChunkValues; ++i) {
        memcpy(&chunk[kBareChunkBytes + 24 + 8 * i], &fill, 8);
      }
      FUZZ_CHECK(host.Dispatch(effSetChunk, 1, kChunkBytes, chunk.data()) == 1,
                 "the range probe does not load");
      (fill < 0 ? found.min : found.max) = SavedValues(host);
    }
    return found;
  }();
  return ranges;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const Ranges& ranges = ParamRanges();
  FuzzInput input(data, size);
  const uint8_t mode = input.Byte();
  const int32_t kind = mode & 1;  // 0 bank, 1 program
  const Handover handover = static_cast<Handover>((mode >> 1) & 3);
  const bool otherPresetFirst = (mode & 0x08) != 0;
  const bool processFirst = (mode & 0x10) != 0;

  // The chunk in a heap block of exactly its size, so any read past its end
  // is caught.
  const size_t chunkSize = input.Remaining();
  std::unique_ptr<uint8_t[]> chunk(new uint8_t[chunkSize]);
  input.Take(chunk.get(), chunkSize);

  FuzzHost host;
  host.Open();
  if (otherPresetFirst) host.Dispatch(effSetProgram, 0, mode >> 5);
  if (processFirst) CheckProcessFinite(host);
  const std::vector<double> before = SavedValues(host);

  intptr_t sizeArgument = static_cast<intptr_t>(chunkSize);
  void* dataArgument = chunk.get();
  switch (handover) {
    case kExactSize:
      break;
    case kNegativeSize:
      sizeArgument = chunkSize % 2 ? INTPTR_MIN : -static_cast<intptr_t>(chunkSize) - 1;
      break;
    case kOversizedSize:
      // Beyond what the effect takes as a chunk size; it must not read the data.
      sizeArgument = INTPTR_MAX > INT32_MAX ? static_cast<intptr_t>(INT32_MAX) + 1 + chunkSize : -1;
      break;
    case kNullData:
      dataArgument = nullptr;
      break;
  }
  const size_t usable = handover == kExactSize ? chunkSize : 0;
  const ChunkVerdict verdict = JudgeChunk(chunk.get(), usable);
  const intptr_t result = host.Dispatch(effSetChunk, kind, sizeArgument, dataArgument);
  FUZZ_CHECK(result == (verdict.succeeds ? 1 : 0), "effSetChunk reports the wrong result");

  // The values the chunk must have left behind.
  const std::vector<double> after = SavedValues(host);
  for (int i = 0; i < kSavedParams; ++i) {
    double expected = before[i];
    size_t at = 4 + 8 * static_cast<size_t>(i);
    bool present = !verdict.foreign && at + 8 <= usable && usable >= 4;
    if (i >= kChunkValues) {
      const int32_t past = i - kChunkValues;
      at = verdict.valuesAt + 8 * static_cast<size_t>(past);
      present = verdict.succeeds && past < verdict.extensionValues;
      if (verdict.succeeds && !present) expected = kExtensionDefaults[past];
    }
    if (present) {
      uint64_t bits = 0;
      for (int b = 0; b < 8; ++b) bits |= static_cast<uint64_t>(chunk[at + b]) << (8 * b);
      double value;
      memcpy(&value, &bits, 8);
      // Every saved parameter is whole-numbered: the value is rounded to the
      // step, counted from 0, before the clamp.
      if (!std::isnan(value)) {
        expected = std::fmin(std::fmax(std::floor(value + 0.5), ranges.min[i]), ranges.max[i]);
      }
    }
    FUZZ_CHECK(after[i] == expected, "a parameter holds another value than the chunk gave");
  }

  CheckParametersSane(host);
  CheckChunkRoundTrip(host);
  CheckProcessFinite(host);
  CheckParametersSane(host);
  return 0;
}
