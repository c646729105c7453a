// Gestures as scripts of steps any editor window can play, and the three
// views of the pattern they must leave in agreement: what the engine plays
// (StepPattern), what the host holds in parameters 10-16 (decoded here from
// getParameter), and what the bars draw (fill widths read from the back
// buffer). Shared by the editor tests of every window system.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/pattern_words.h"
#include "framework/vst2_interface.h"
#include "graphics/bitmap.h"
#include "gui/editor_scale.h"
#include "gui/records.h"

namespace editor_test {

struct Step {
  enum Kind {
    kDown,  // left button down at (x, y)
    kUp,    // left button up
    kRightDown,
    kRightUp,
    kMove,          // pointer moved with the left button held
    kDoubleClick,   // the second press of a double click
    kWheel,         // n wheel units (120 a notch) with the pointer at (x, y)
    kTicks,         // n timer ticks
    kBlock,         // one audio block
    kStealCapture,  // another window takes the mouse
    kCancelMode,    // the system cancels the mouse mode
    kReopen,        // the host closes the editor and opens it again
    kHostSet,       // the host sets parameter x to n in its own units
    kKey,           // key code x (gui/records.h) with n's modifier bits (kKeyShift,
                    // kKeyCtrl); y 0: to the window, 1 and 2: forwarded by the
                    // host with Ctrl as the command bit (1) or the control bit (2)
  };
  static constexpr int kKeyShift = 1;
  static constexpr int kKeyCtrl = 2;
  Kind kind;
  int x = 0;
  int y = 0;
  int n = 0;
};

using Script = std::vector<Step>;

inline Script Click(int x, int y) { return {{Step::kDown, x, y}, {Step::kUp, x, y}}; }
// A fast double click, as Windows reports it to a window class that takes them.
inline Script DoubleClick(int x, int y) {
  return {{Step::kDown, x, y}, {Step::kUp, x, y}, {Step::kDoubleClick, x, y}, {Step::kUp, x, y}};
}
// A key as a VST 2 host forwards it: the character (letters lower case,
// digits), the virtual key for arrows, the modifier bits with Ctrl as the
// command bit or the control bit, as hosts differ; answers what the
// effect answered.
inline intptr_t ForwardKey(vst2::AEffect* effect, const Step& step) {
  const bool ctrlAsCommand = step.y == 1;
  int character = 0, virtualKey = 0;
  if (step.x >= kKeyUp && step.x <= kKeyRight) {
    static const int kArrows[] = {12, 14, 11, 13};  // up, down, left, right
    virtualKey = kArrows[step.x - kKeyUp];
  } else if (step.x >= kKeyLetterA) {
    character = 'a' + (step.x - kKeyLetterA);
  } else if (step.x >= kKeyDigit0) {
    character = '0' + (step.x - kKeyDigit0);
  } else {
    character = ' ';
  }
  const int modifiers = ((step.n & Step::kKeyShift) ? 1 : 0) |
                        ((step.n & Step::kKeyCtrl) ? (ctrlAsCommand ? 4 : 8) : 0);
  return effect->dispatcher(effect, vst2::effEditKeyDown, character, virtualKey, nullptr,
                            static_cast<float>(modifiers));
}

inline Script Wheel(int x, int y, int units) { return {{Step::kWheel, x, y, units}}; }
inline Script Then(Script a, const Script& b) {
  for (const Step& step : b) a.push_back(step);  // (insert trips a GCC 12 bounds warning)
  return a;
}

inline std::string Describe(const Script& script) {
  static const char* const names[] = {"down",   "up",     "rdown",   "rup",   "move",
                                      "dbl",    "wheel",  "ticks",   "block", "steal",
                                      "cancel", "reopen", "hostset", "key"};
  std::string text;
  for (const Step& step : script) {
    char item[64];
    std::snprintf(item, sizeof(item), "%s(%d,%d,%d) ", names[step.kind], step.x, step.y, step.n);
    text += item;
  }
  return text;
}

// A number from the environment, `fallback` when unset or empty.
inline unsigned EnvNumber(const char* name, unsigned fallback) {
  const char* text = std::getenv(name);
  return text != nullptr && *text != '\0' ? static_cast<unsigned>(std::strtoul(text, nullptr, 10))
                                          : fallback;
}

// One block of silence through the host's float callback.
inline void RunAudioBlock(vst2::AEffect* effect) {
  std::vector<float> left(64, 0.0f), right(64, 0.0f), outLeft(64), outRight(64);
  float* inputs[] = {left.data(), right.data()};
  float* outputs[] = {outLeft.data(), outRight.data()};
  effect->processReplacing(effect, inputs, outputs, 64);
}

// Pattern entry k's bar, as the layout places it: step columns on a 35-pixel
// pitch from x 30, the time bar 10 pixels tall above an 8-pixel volume bar.
inline Rect BarRect(int k) {
  const int step = k % 32;
  const int x = 30 + 35 * (step % 16);
  const int y = 221 + 34 * (step / 16);
  return k < 32 ? Rect{x, y - 11, x + 34, y - 1} : Rect{x, y, x + 34, y + 8};
}

// The seven words as the host reads them, decoded digit by digit: base 5,
// ten entries a word (four in the last), first entry most significant.
inline std::vector<int> PatternTheHostSees(vst2::AEffect* effect) {
  std::vector<int> pattern;
  for (int g = 0; g < 7; ++g) {
    const int digits = g < 6 ? 10 : 4;
    const double largest = g < 6 ? 9765624.0 : 624.0;  // 5^10 - 1, 5^4 - 1
    int64_t word = std::llround(effect->getParameter(effect, 10 + g) * largest);
    std::vector<int> entries(static_cast<size_t>(digits));
    for (int d = digits - 1; d >= 0; --d) {
      entries[static_cast<size_t>(d)] = static_cast<int>(word % 5);
      word /= 5;
    }
    if (word != 0) entries.assign(static_cast<size_t>(digits), -1);  // more digits than entries
    pattern.insert(pattern.end(), entries.begin(), entries.end());
  }
  return pattern;
}

// The quarters each bar shows in `back`, drawn at `percent`: its fill runs
// from the bar's left edge, in a colour `background` never has there, over
// round(34 x quarters / 4) columns of the layout, scaled edge by edge;
// anything else reads as -1.
inline std::vector<int> PatternTheBarsDraw(Bitmap* back, Bitmap* background, int percent) {
  static const int kLayoutFills[] = {0, 9, 17, 26, 34};
  const auto colour = [](Bitmap* bitmap, int x, int y) {
    return bitmap->GetBits()[static_cast<intptr_t>(y) * bitmap->GetRowSpan() + x] & 0xFFFFFFu;
  };
  std::vector<int> pattern;
  for (int k = 0; k < kPatternEntries; ++k) {
    const Rect bar = ScaleRect(BarRect(k), percent);
    int fillWidths[5];
    for (int q = 0; q <= 4; ++q) {
      fillWidths[q] = ScaleCoordinate(BarRect(k).left + kLayoutFills[q], percent) - bar.left;
    }
    const int row = (bar.top + bar.bottom) / 2;
    int width = 0;
    while (width < bar.Width() &&
           colour(back, bar.left + width, row) != colour(background, bar.left + width, row)) {
      ++width;
    }
    int shown = -1;
    for (int q = 0; q <= 4; ++q) shown = fillWidths[q] == width ? q : shown;
    for (int x = bar.left + width; x < bar.right; ++x) {
      if (colour(back, x, row) != colour(background, x, row)) shown = -1;
    }
    pattern.push_back(shown);
  }
  return pattern;
}

// The entries where the three views differ; "" when they agree.
inline std::string PatternDisagreements(const std::vector<int>& engine,
                                        const std::vector<int>& host,
                                        const std::vector<int>& drawn) {
  std::string problems;
  for (int k = 0; k < kPatternEntries; ++k) {
    if (engine[k] == host[k] && engine[k] == drawn[k]) continue;
    problems += "entry " + std::to_string(k) + ": engine " + std::to_string(engine[k]) + " host " +
                std::to_string(host[k]) + " drawn " + std::to_string(drawn[k]) + "; ";
  }
  return problems;
}

}  // namespace editor_test
