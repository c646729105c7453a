#include "vst3/text16.h"

void CopyToText16(int16_t* out, int size, const char* text) {
  if (!out || size <= 0) return;
  int i = 0;
  for (; text && text[i] && i < size - 1; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    out[i] = static_cast<int16_t>(c < 0x80 ? c : '?');
  }
  out[i] = 0;
}

void CopyFromText16(char* out, int size, const int16_t* text) {
  if (!out || size <= 0) return;
  int i = 0;
  for (; text && text[i] && i < size - 1; ++i) {
    const auto c = static_cast<uint16_t>(text[i]);
    out[i] = static_cast<char>(c < 0x80 ? c : '?');
  }
  out[i] = '\0';
}
