// Host identification from the host's product string, and the conversion of
// the host's decimal vendor version to the packed 0xMMMMmmpp form.
#pragma once

#include <cstdint>

struct HostIdEntry {
  const char* substring;  // lower case
  int32_t id;
};

// In the order they are tested; the first contained substring decides.
extern const HostIdEntry kHostIdTable[];
extern const int kHostIdTableSize;

// 0 when no substring matches. Case-insensitive (byte-wise lower-casing).
int32_t HostIdFromProductString(const char* productString);
// major*10000 + minor*100 + patch -> major*65536 + minor*256 + patch.
int32_t PackedVersionFromDecimal(int32_t decimalVersion);
