// StateBuffer: a growable byte buffer for state images and host chunks.
// Appending writes at the end; reads are positioned and report -1 on a short
// buffer instead of inventing data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class StateBuffer {
 public:
  static constexpr size_t kGrowStep = 4096;

  void Clear() { size_ = 0; }
  int32_t Size() const { return static_cast<int32_t>(size_); }
  const uint8_t* Data() const { return bytes_.data(); }
  uint8_t* Data() { return bytes_.data(); }

  // Sets the size, growing the storage when needed; new bytes are zero.
  bool Resize(int32_t size);
  // Grows the storage to hold `capacity` bytes, so writes up to it allocate
  // nothing later.
  bool Reserve(size_t capacity);

  bool AppendBytes(const void* data, int32_t count);
  bool AppendInt32(int32_t value);  // little-endian
  bool AppendDouble(double value);  // IEEE-754, little-endian

  // Each read returns the position after the value, or -1 when the buffer
  // holds too few bytes at `position` (the output is then left untouched).
  int32_t ReadInt32(int32_t position, int32_t* value) const;
  int32_t ReadDouble(int32_t position, double* value) const;
  int32_t ReadBytes(int32_t position, void* data, int32_t count) const;

 private:
  std::vector<uint8_t> bytes_;  // capacity, grown in kGrowStep steps
  size_t size_ = 0;
};
