// The pattern as text, for the clipboard: short, readable in a forum post or
// a mail, the same on every platform. Version 1 is one line of four fields
// separated by single spaces:
//
//   QRV1 c12 t2402.2402.2402.2402.2402.2402.2402.2402 l4443.4443.4443.4443.4443.4443.4443.4443
//
//   QRV1   what it is and the version of this layout
//   c12    the Cycle of the pattern's instance when copied (1-32, no leading 0)
//   t...   gate times of steps 1-32 in quarters (digits 0-4), in groups of
//          four steps separated by '.'
//   l...   levels of steps 1-32, likewise
//
// All 32 steps travel, the ones past the cycle too, so a paste reproduces the
// whole pattern. Pasting does not set Cycle, which is the host's parameter of
// its own (and outside the pattern's undo history); the copied cycle is
// reported so the status line can mention a difference.
//
// Reading is strict, so text that is not a pattern changes nothing: exactly
// these fields in this order, nothing else. Runs of spaces, tabs, line breaks
// and no-break spaces (UTF-8 C2 A0) are accepted before, between and after
// the fields, as forums and mail clients wrap and re-space text.
#pragma once

#include <cstddef>
#include <cstdint>

// Room for the text and its terminating NUL.
constexpr int kPatternTextSize = 96;
// Longer clipboard contents are not read at all.
constexpr size_t kPatternTextMaxInput = 1024;

// Writes the text of `pattern` (64 entries, values above 4 written as 4) and
// `cycle` (limited to 1..32) into buffer, kPatternTextSize bytes.
// Returns the text's length. [any thread]
int FormatPatternText(const uint16_t* pattern, int cycle, char* buffer);

// Reads `length` bytes of `text` (no terminator needed; a NUL inside is not a
// pattern). On success writes all 64 entries to `pattern` and the copied
// cycle to `cycle` and returns true; otherwise returns false and writes
// nothing. [any thread]
bool ParsePatternText(const char* text, size_t length, uint16_t* pattern, int* cycle);
