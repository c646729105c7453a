// The arguments a fuzzed host passes: text buffers of the sizes hosts use,
// with guard bytes on both sides, and index, value and opt numbers drawn
// from the fuzz bytes with the edge values weighted in.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "fuzz_host.h"
#include "fuzz_input.h"

constexpr int kGuardBytes = 16;
constexpr uint8_t kGuard = 0xA5;

// A buffer handed to the effect, with guard bytes on both sides.
class GuardedBuffer {
 public:
  explicit GuardedBuffer(size_t size) : size_(size), bytes_(size + 2 * kGuardBytes, kGuard) {}
  char* data() { return reinterpret_cast<char*>(bytes_.data() + kGuardBytes); }
  size_t size() const { return size_; }
  void CheckGuards() const {
    for (int i = 0; i < kGuardBytes; ++i) {
      FUZZ_CHECK(bytes_[i] == kGuard && bytes_[kGuardBytes + size_ + i] == kGuard,
                 "the effect wrote outside a buffer");
    }
  }
  bool Terminated() { return memchr(data(), '\0', size_) != nullptr; }

 private:
  size_t size_;
  std::vector<uint8_t> bytes_;
};

// Text sizes hosts pass; an answer may use no less than the interface's
// documented size for its kind (given as `minimum`, terminator included).
inline size_t TextBufferSize(FuzzInput& input, size_t minimum) {
  static const size_t kSizes[] = {8, 9, 24, 25, 32, 33, 64, 65, 256};
  const size_t size = kSizes[input.Choose(sizeof kSizes / sizeof kSizes[0])];
  return size < minimum ? minimum : size;
}

// Writes a terminated text of fuzz bytes into the buffer.
inline void FillText(FuzzInput& input, GuardedBuffer& buffer) {
  static const char* const kTexts[] = {"",     "0.5",   "-1e308", "nan",
                                       "inf",  "1e999", "Whole",  "Low",
                                       "High", "1/16",  "  12.5", "receiveVstTimeInfo"};
  const uint8_t how = input.Byte();
  if (how < 64) {
    const char* text = kTexts[how % (sizeof kTexts / sizeof kTexts[0])];
    strncpy(buffer.data(), text, buffer.size() - 1);
    buffer.data()[buffer.size() - 1] = '\0';
    return;
  }
  const size_t length = input.Take(buffer.data(), input.Choose(256) % buffer.size());
  buffer.data()[length] = '\0';
}

inline int32_t FuzzIndex(FuzzInput& input) {
  static const int32_t kEdges[] = {INT32_MIN, INT32_MAX, -1, 0, 16, 17, 19, 20, 49, 50};
  switch (input.Choose(4)) {
    case 0:
      return input.Choose(24);
    case 1:
      return static_cast<int8_t>(input.Byte());
    case 2:
      return input.Raw<int32_t>();
    default:
      return kEdges[input.Choose(sizeof kEdges / sizeof kEdges[0])];
  }
}

inline intptr_t FuzzValue(FuzzInput& input) {
  static const intptr_t kEdges[] = {INTPTR_MIN,
                                    INTPTR_MAX,
                                    static_cast<intptr_t>(INT32_MAX),
                                    static_cast<intptr_t>(static_cast<uint32_t>(INT32_MAX) + 1u),
                                    static_cast<intptr_t>(UINT32_MAX),
                                    -1,
                                    0,
                                    1,
                                    64,
                                    1 << 20,
                                    0x57686565};
  switch (input.Choose(4)) {
    case 0:
      return input.Choose(72);
    case 1:
      return static_cast<int8_t>(input.Byte());
    case 2:
      return input.Raw<intptr_t>();
    default:
      return kEdges[input.Choose(sizeof kEdges / sizeof kEdges[0])];
  }
}

inline float FuzzFloat(FuzzInput& input) {
  static const float kEdges[] = {0.0f,     0.5f,     1.0f,     -1.0f,     -0.0f,
                                 44100.0f, 48000.0f, 1e-38f,   1e-45f,    1e30f,
                                 -1e30f,   NAN,      INFINITY, -INFINITY, 3.0e38f};
  if (input.Choose(2) == 0) return kEdges[input.Choose(sizeof kEdges / sizeof kEdges[0])];
  return input.Raw<float>();
}

inline double FuzzDouble(FuzzInput& input) {
  static const double kEdges[] = {0.0,       120.0,   60.0,     1.0,         -1.0, 999.0,
                                  1e-300,    1e300,   9.3e18,   -9.3e18,     NAN,  INFINITY,
                                  -INFINITY, 44100.0, 4.9e-324, 2147483648.0};
  switch (input.Choose(3)) {
    case 0:
      return kEdges[input.Choose(sizeof kEdges / sizeof kEdges[0])];
    case 1:
      return input.Byte() * 2.0 + input.Byte() / 256.0;
    default:
      return input.Raw<double>();
  }
}
