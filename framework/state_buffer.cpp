#include "framework/state_buffer.h"

#include <cstring>

bool StateBuffer::Reserve(size_t capacity) {
  if (capacity <= bytes_.size()) return true;
  const size_t grown = (capacity + kGrowStep - 1) / kGrowStep * kGrowStep;
  bytes_.resize(grown, 0);
  return true;
}

bool StateBuffer::Resize(int32_t size) {
  if (size < 0) return false;
  const size_t newSize = static_cast<size_t>(size);
  if (!Reserve(newSize)) return false;
  if (newSize > size_) memset(bytes_.data() + size_, 0, newSize - size_);
  size_ = newSize;
  return true;
}

bool StateBuffer::AppendBytes(const void* data, int32_t count) {
  if (count < 0 || (count > 0 && !data)) return false;
  if (static_cast<size_t>(count) > static_cast<size_t>(INT32_MAX) - size_) return false;
  if (!Reserve(size_ + static_cast<size_t>(count))) return false;
  if (count) memcpy(bytes_.data() + size_, data, static_cast<size_t>(count));
  size_ += static_cast<size_t>(count);
  return true;
}

bool StateBuffer::AppendInt32(int32_t value) {
  const uint32_t bits = static_cast<uint32_t>(value);
  const uint8_t bytes[4] = {static_cast<uint8_t>(bits), static_cast<uint8_t>(bits >> 8),
                            static_cast<uint8_t>(bits >> 16), static_cast<uint8_t>(bits >> 24)};
  return AppendBytes(bytes, 4);
}

bool StateBuffer::AppendDouble(double value) {
  uint64_t bits;
  memcpy(&bits, &value, sizeof bits);
  uint8_t bytes[8];
  for (int i = 0; i < 8; ++i) bytes[i] = static_cast<uint8_t>(bits >> (8 * i));
  return AppendBytes(bytes, 8);
}

int32_t StateBuffer::ReadBytes(int32_t position, void* data, int32_t count) const {
  if (position < 0 || count < 0) return -1;
  if (static_cast<size_t>(position) > size_ ||
      size_ - static_cast<size_t>(position) < static_cast<size_t>(count)) {
    return -1;
  }
  if (count) memcpy(data, bytes_.data() + position, static_cast<size_t>(count));
  return position + count;
}

int32_t StateBuffer::ReadInt32(int32_t position, int32_t* value) const {
  uint8_t bytes[4];
  const int32_t next = ReadBytes(position, bytes, 4);
  if (next < 0) return -1;
  const uint32_t bits = static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
                        static_cast<uint32_t>(bytes[2]) << 16 |
                        static_cast<uint32_t>(bytes[3]) << 24;
  *value = static_cast<int32_t>(bits);
  return next;
}

int32_t StateBuffer::ReadDouble(int32_t position, double* value) const {
  uint8_t bytes[8];
  const int32_t next = ReadBytes(position, bytes, 8);
  if (next < 0) return -1;
  uint64_t bits = 0;
  for (int i = 0; i < 8; ++i) bits |= static_cast<uint64_t>(bytes[i]) << (8 * i);
  memcpy(value, &bits, sizeof bits);
  return next;
}
