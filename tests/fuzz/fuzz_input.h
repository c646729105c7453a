// Reads a fuzzer's byte string as a stream of small decisions. Past the end
// every read gives zeros, so any prefix of an input is itself a valid input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

class FuzzInput {
 public:
  FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  bool Empty() const { return position_ >= size_; }
  size_t Remaining() const { return size_ - position_; }

  uint8_t Byte() { return position_ < size_ ? data_[position_++] : 0; }

  // One of `count` choices (count 1..256).
  uint32_t Choose(uint32_t count) { return count ? Byte() % count : 0; }

  template <class T>
  T Raw() {
    uint8_t bytes[sizeof(T)] = {};
    Take(bytes, sizeof bytes);
    T value;
    memcpy(&value, bytes, sizeof value);
    return value;
  }

  // Copies up to `count` bytes; returns how many there were.
  size_t Take(void* dest, size_t count) {
    const size_t available = count < Remaining() ? count : Remaining();
    if (available) memcpy(dest, data_ + position_, available);
    position_ += available;
    return available;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t position_ = 0;
};
