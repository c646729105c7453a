// Small UTF-8 helpers for text drawing.
#pragma once

#include <cstdint>

// True if text holds a multi-byte sequence: a lead byte 0xC2-0xF4 followed by
// a continuation byte 0x80-0xBF.
bool HasMultiByteSequence(const char* text, int32_t length);

// Decodes the code at text[*index] and advances *index past it. Two- and
// three-byte sequences give their 11- or 16-bit code, four-byte sequences a
// space (codes beyond 16 bits are not drawn); any other byte is its own code.
uint32_t NextCode(const char* text, int32_t length, int32_t* index);
