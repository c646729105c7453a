#include "engine/pattern_text.h"

#include <algorithm>
#include <cstdio>

#include "engine/pattern_words.h"

namespace {

constexpr char kPrefix[] = "QRV1";
constexpr int kGroupSteps = 4;

// Writes one field: its letter, then the 32 entries from `entries`.
char* FormatSteps(char* out, char letter, const uint16_t* entries) {
  *out++ = letter;
  for (int i = 0; i < kStepCountMax; ++i) {
    if (i > 0 && i % kGroupSteps == 0) *out++ = '.';
    *out++ = static_cast<char>('0' + std::min<uint16_t>(entries[i], 4));
  }
  return out;
}

// A cursor over the input that never reads past its end.
struct Reader {
  const char* at;
  const char* end;

  bool AtEnd() const { return at == end; }
  bool Take(char c) {
    if (at == end || *at != c) return false;
    ++at;
    return true;
  }
  // Skips spaces, tabs, line breaks and no-break spaces; true if any.
  bool SkipSpace() {
    const char* start = at;
    for (;;) {
      if (at != end && (*at == ' ' || *at == '\t' || *at == '\r' || *at == '\n')) {
        ++at;
      } else if (end - at >= 2 && at[0] == '\xC2' && at[1] == '\xA0') {
        at += 2;
      } else {
        return at != start;
      }
    }
  }
  bool Digit(int max, int* value) {
    if (at == end || *at < '0' || *at > '0' + max) return false;
    *value = *at++ - '0';
    return true;
  }
};

bool ReadCycle(Reader& in, int* cycle) {
  int first = 0, second = 0;
  if (!in.Take('c') || !in.Digit(9, &first) || first == 0) return false;
  *cycle = in.Digit(9, &second) ? first * 10 + second : first;
  return *cycle <= kStepCountMax;
}

bool ReadSteps(Reader& in, char letter, uint16_t* entries) {
  if (!in.Take(letter)) return false;
  for (int i = 0; i < kStepCountMax; ++i) {
    int value = 0;
    if (i > 0 && i % kGroupSteps == 0 && !in.Take('.')) return false;
    if (!in.Digit(4, &value)) return false;
    entries[i] = static_cast<uint16_t>(value);
  }
  return true;
}

}  // namespace

int FormatPatternText(const uint16_t* pattern, int cycle, char* buffer) {
  const int written = std::snprintf(buffer, kPatternTextSize, "%s c%d ", kPrefix,
                                    std::clamp(cycle, 1, kStepCountMax));
  char* out = FormatSteps(buffer + written, 't', pattern);
  *out++ = ' ';
  out = FormatSteps(out, 'l', pattern + kStepCountMax);
  *out = '\0';
  return static_cast<int>(out - buffer);
}

bool ParsePatternText(const char* text, size_t length, uint16_t* pattern, int* cycle) {
  if (!text || length > kPatternTextMaxInput) return false;
  Reader in{text, text + length};
  uint16_t entries[kPatternEntries];
  int copiedCycle = 0;
  in.SkipSpace();
  for (const char* c = kPrefix; *c; ++c) {
    if (!in.Take(*c)) return false;
  }
  const bool parsed = in.SkipSpace() && ReadCycle(in, &copiedCycle) && in.SkipSpace() &&
                      ReadSteps(in, 't', entries) && in.SkipSpace() &&
                      ReadSteps(in, 'l', entries + kStepCountMax);
  in.SkipSpace();
  if (!parsed || !in.AtEnd()) return false;
  std::copy_n(entries, kPatternEntries, pattern);
  *cycle = copiedCycle;
  return true;
}
