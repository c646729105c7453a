// Conversions between the effect's 8-bit texts and the interface's 16-bit
// strings. Non-ASCII characters become '?', since the effect's texts are ASCII.
#pragma once

#include <cstdint>

// Copies `text` into `out` (`size` 16-bit units), always terminated.
void CopyToText16(int16_t* out, int size, const char* text);
// Copies a terminated 16-bit string into `out` (`size` bytes), always terminated.
void CopyFromText16(char* out, int size, const int16_t* text);
