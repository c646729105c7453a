#include "framework/host_id.h"

#include <cstring>

const HostIdEntry kHostIdTable[] = {
    {"cubase", 3},      {"reaper", 1},   {"nuendo", 4},      {"cakewalk", 5},   {"samplitude", 8},
    {"fruity", 7},      {"live", 9},     {"melodyne", 12},   {"vstmanlib", 13}, {"aulab", 14},
    {"forte", 15},      {"chainer", 16}, {"audition", 17},   {"orion", 18},     {"sawstudio", 20},
    {"logic", 21},      {"digital", 22}, {"audiomulch", 23}, {"presonus", 24},  {"acoustica", 25},
    {"garageband", 26}, {"ardour", 27},
};
const int kHostIdTableSize = sizeof kHostIdTable / sizeof kHostIdTable[0];

int32_t HostIdFromProductString(const char* productString) {
  if (!productString) return 0;
  char lower[256];
  size_t length = strnlen(productString, sizeof lower - 1);
  for (size_t i = 0; i < length; ++i) {
    const char c = productString[i];
    lower[i] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  }
  lower[length] = '\0';
  for (int i = 0; i < kHostIdTableSize; ++i) {
    if (strstr(lower, kHostIdTable[i].substring)) return kHostIdTable[i].id;
  }
  return 0;
}

int32_t PackedVersionFromDecimal(int32_t decimalVersion) {
  const int64_t v = decimalVersion;
  return static_cast<int32_t>(v + (v % 10000 / 100) * 156 + (v / 10000) * 55536);
}
