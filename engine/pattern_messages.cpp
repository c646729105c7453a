#include "engine/pattern_messages.h"

#include <algorithm>
#include <cstdio>

#include "engine/pattern_words.h"

namespace {

struct OpTexts {
  const char* label;
  const char* verb;   // before the steps
  const char* after;  // after them
};

// In PatternOp order.
constexpr OpTexts kOpTexts[kPatternOpCount] = {
    {"Shift left", "Shifted", " left"},
    {"Shift right", "Shifted", " right"},
    {"Reverse", "Reversed", ""},
    {"Invert times", "Inverted times of", ""},
    {"Invert levels", "Inverted levels of", ""},
    {"Clear", "Cleared times of", ""},
    {"Fill", "Filled", ""},
};

// "step 1" or "steps 1-12".
void FormatSteps(char* buffer, int size, int first, int last) {
  if (first == last) {
    std::snprintf(buffer, static_cast<size_t>(size), "step %d", first);
  } else {
    std::snprintf(buffer, static_cast<size_t>(size), "steps %d-%d", first, last);
  }
}

// ", rotated 2" or nothing, for a rotation already within 0..cycle-1.
void FormatRotation(char* buffer, int size, int rotation) {
  buffer[0] = '\0';
  if (rotation != 0) std::snprintf(buffer, static_cast<size_t>(size), ", rotated %d", rotation);
}

int RotationWithin(int cycle, int rotation) {
  const int n = PlayingSteps(cycle);
  return ((rotation % n) + n) % n;
}

}  // namespace

const char* PatternOpLabel(PatternOp op) { return kOpTexts[static_cast<int>(op)].label; }

void FormatPatternOpMessage(char* buffer, PatternOp op, int cycle) {
  char steps[16];
  FormatSteps(steps, sizeof steps, 1, PlayingSteps(cycle));
  const OpTexts& texts = kOpTexts[static_cast<int>(op)];
  std::snprintf(buffer, kInfoMessageSize, "%s %s%s", texts.verb, steps, texts.after);
}

void FormatEuclidLabel(char* buffer, int hits, int cycle, int rotation) {
  char rotated[24];  // ", rotated " and any int
  FormatRotation(rotated, sizeof rotated, RotationWithin(cycle, rotation));
  const int n = PlayingSteps(cycle);
  std::snprintf(buffer, PatternHistory::kLabelSize, "Euclid %d of %d%s", std::clamp(hits, 0, n), n,
                rotated);
}

void FormatEuclidMessage(char* buffer, int hits, int cycle, int rotation) {
  char rotated[24];  // ", rotated " and any int
  FormatRotation(rotated, sizeof rotated, RotationWithin(cycle, rotation));
  const int n = PlayingSteps(cycle);
  std::snprintf(buffer, kInfoMessageSize, "Euclidean rhythm: %d of %d steps%s",
                std::clamp(hits, 0, n), n, rotated);
}

const char* DensityName(RandomiseDensity density) {
  switch (density) {
    case RandomiseDensity::kSparse:
      return "sparse";
    case RandomiseDensity::kMedium:
      return "medium";
    case RandomiseDensity::kDense:
      return "dense";
  }
  return "";
}

const char* RandomiseLabel(RandomiseKind kind) {
  switch (kind) {
    case RandomiseKind::kTimes:
      return "Randomise times";
    case RandomiseKind::kLevels:
      return "Randomise levels";
    case RandomiseKind::kBoth:
      return "Randomise pattern";
  }
  return "";
}

void FormatRandomiseMessage(char* buffer, RandomiseKind kind, RandomiseDensity density,
                            uint32_t seed) {
  const unsigned long shown = seed;
  switch (kind) {
    case RandomiseKind::kTimes:
      std::snprintf(buffer, kInfoMessageSize, "Randomised times (seed %lu, %s)", shown,
                    DensityName(density));
      break;
    case RandomiseKind::kLevels:
      std::snprintf(buffer, kInfoMessageSize, "Randomised levels (seed %lu)", shown);
      break;
    case RandomiseKind::kBoth:
      std::snprintf(buffer, kInfoMessageSize, "Randomised pattern (seed %lu, %s)", shown,
                    DensityName(density));
      break;
  }
}

void FormatDrawLabel(char* buffer, int firstEntry, int lastEntry) {
  const bool levels = firstEntry >= kStepCountMax;
  const int first = std::min(firstEntry, lastEntry) % kStepCountMax + 1;
  const int last = std::max(firstEntry, lastEntry) % kStepCountMax + 1;
  if (first == last) {
    std::snprintf(buffer, PatternHistory::kLabelSize, "Step %d %s", first,
                  levels ? "level" : "time");
  } else {
    std::snprintf(buffer, PatternHistory::kLabelSize, "Draw %s, steps %d-%d",
                  levels ? "levels" : "times", first, last);
  }
}

const char* PasteLabel() { return "Paste"; }

const char* CopiedMessage() { return "Pattern copied"; }

const char* NotAPatternMessage() { return "Not a pattern: nothing pasted"; }

const char* NoClipboardMessage() { return "Clipboard not available"; }

void FormatPasteMessage(char* buffer, int copiedCycle, int cycle) {
  if (copiedCycle == cycle) {
    std::snprintf(buffer, kInfoMessageSize, "Pasted pattern");
  } else {
    std::snprintf(buffer, kInfoMessageSize, "Pasted pattern (copied with Cycle %d)", copiedCycle);
  }
}

void FormatUndoMessage(char* buffer, bool redo, const char* label) {
  if (!label) {
    std::snprintf(buffer, kInfoMessageSize, "%s", redo ? "Nothing to redo" : "Nothing to undo");
  } else {
    std::snprintf(buffer, kInfoMessageSize, "%s: %s", redo ? "Redone" : "Undone", label);
  }
}

void FormatUndoMenuItem(char* buffer, bool redo, const char* label) {
  const char* verb = redo ? "Redo" : "Undo";
  if (!label || !*label) {
    std::snprintf(buffer, kInfoMessageSize, "%s", verb);
  } else {
    std::snprintf(buffer, kInfoMessageSize, "%s %s", verb, label);
  }
}
