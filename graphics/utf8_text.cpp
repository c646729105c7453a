#include "graphics/utf8_text.h"

namespace {

bool IsContinuation(const char* text, int32_t length, int32_t at) {
  if (at >= length) return false;
  auto byte = static_cast<uint8_t>(text[at]);
  return byte >= 0x80 && byte <= 0xBF;
}

uint32_t ContinuationBits(const char* text, int32_t at) {
  return static_cast<uint8_t>(text[at]) & 0x3Fu;
}

}  // namespace

bool HasMultiByteSequence(const char* text, int32_t length) {
  for (int32_t i = 0; i + 1 < length; ++i) {
    auto byte = static_cast<uint8_t>(text[i]);
    if (byte >= 0xC2 && byte <= 0xF4 && IsContinuation(text, length, i + 1)) return true;
  }
  return false;
}

uint32_t NextCode(const char* text, int32_t length, int32_t* index) {
  int32_t i = *index;
  auto lead = static_cast<uint8_t>(text[i]);
  if (lead >= 0xC2 && lead <= 0xDF && IsContinuation(text, length, i + 1)) {
    *index = i + 2;
    return ((lead & 0x1Fu) << 6) | ContinuationBits(text, i + 1);
  }
  if (lead >= 0xE0 && lead <= 0xEF && IsContinuation(text, length, i + 1) &&
      IsContinuation(text, length, i + 2)) {
    *index = i + 3;
    return ((lead & 0x0Fu) << 12) | (ContinuationBits(text, i + 1) << 6) |
           ContinuationBits(text, i + 2);
  }
  if (lead >= 0xF0 && lead <= 0xF4 && IsContinuation(text, length, i + 1) &&
      IsContinuation(text, length, i + 2) && IsContinuation(text, length, i + 3)) {
    *index = i + 4;
    return ' ';
  }
  *index = i + 1;
  return lead;
}
