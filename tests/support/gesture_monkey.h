// GestureMonkey: short seeded sequences of clicks, drags, strokes across the
// step bars, right and double clicks, wheel units, rocker holds, lost
// captures, ticks, audio blocks, reopenings, host settings and the editor's
// keys (undo, redo, the step cursor's) and picks from the pattern menu over
// every kind of control of the editor's 100 % layout, as scripts any editor
// window can play.
#pragma once

#include <random>

#include "engine/gate_params.h"
#include "support/gesture_script.h"

namespace editor_test {

class GestureMonkey {
 public:
  explicit GestureMonkey(unsigned seed) : rng_(seed) {}

  Script Sequence() {
    Script script;
    // A start other than the defaults: some pattern words and the cycle.
    for (int g = 0; g < kPatternWordCount; ++g) {
      if (Pick(3) == 0) {
        const int largest = g < 6 ? 9765624 : 624;
        script.push_back({Step::kHostSet, kPatternWord0 + g, 0, Pick(largest + 1)});
      }
    }
    if (Pick(2) == 0) script.push_back({Step::kHostSet, kCycle, 0, 1 + Pick(32)});
    for (int gestures = 1 + Pick(6); gestures > 0; --gestures) AddGesture(&script);
    return script;
  }

 private:
  int Pick(int n) { return static_cast<int>(rng_() % static_cast<unsigned>(n)); }

  static constexpr Rect kPageLink = {164, 6, 356, 54};  // opens a browser: never pressed

  // A point inside one kind of control (edges included), never the page link.
  void PressPoint(int* x, int* y) {
    static const Rect kControls[] = {
        {26, 100, 76, 170},   {96, 100, 146, 170},  {182, 100, 232, 170}, {252, 100, 302, 170},
        {322, 100, 372, 170}, {474, 100, 524, 170}, {544, 100, 594, 170}, {387, 97, 457, 169},
        {193, 174, 285, 194}, {288, 179, 310, 199}, {22, 172, 134, 203},  {485, 172, 597, 203},
        {316, 180, 446, 198}, {30, 230, 589, 243},  {558, 40, 608, 58},   {0, 0, 619, 284},
        {56, 6, 158, 30},     {56, 32, 158, 56},    {426, 8, 594, 22},    {426, 25, 594, 39},
        {426, 42, 554, 56}};
    constexpr int kControlCount = sizeof(kControls) / sizeof(kControls[0]);
    const int pick = Pick(kControlCount + 8);  // the bars weigh as much as eight controls
    const Rect area = pick < kControlCount ? kControls[pick] : BarRect(Pick(kPatternEntries));
    if (Pick(8) == 0) {
      *x = (area.left + area.right) / 2;
      *y = (area.top + area.bottom) / 2;
    } else {
      *x = area.left + Pick(area.Width() + 1);
      *y = area.top + Pick(area.Height() + 1);
    }
    if (kPageLink.Contains(*x, *y)) *y = kPageLink.bottom + 6;
  }

  // Where a drag or a release may go: usually on a control, now and then
  // anywhere, the window's outside included.
  void AnyPoint(int* x, int* y) {
    if (Pick(5) != 0) return PressPoint(x, y);
    *x = -20 + Pick(660);
    *y = -20 + Pick(325);
  }

  void AddGesture(Script* s) {
    int x, y, x2, y2;
    PressPoint(&x, &y);
    AnyPoint(&x2, &y2);
    const int roll = Pick(128);
    if (roll >= 120) return AddMenuPick(s);
    if (roll >= 100) return AddKeysOrStroke(s, roll - 100);
    if (roll < 22) {  // click or drag
      s->push_back({Step::kDown, x, y});
      int lastX = x, lastY = y;
      for (int moves = Pick(5); moves > 0; --moves) {
        if (Pick(2) == 0) {
          lastX += Pick(41) - 20;  // along the control, as a bar is drawn
        } else {
          AnyPoint(&lastX, &lastY);
        }
        s->push_back({Step::kMove, lastX, lastY});
      }
      s->push_back({Step::kUp, lastX, lastY});
    } else if (roll < 30) {
      s->push_back({Step::kRightDown, x, y});
      s->push_back({Step::kRightUp, x, y});
    } else if (roll < 42) {
      for (const Step& step : DoubleClick(x, y)) s->push_back(step);
      if (Pick(6) == 0) s->back() = {Step::kUp, x2, y2};  // released elsewhere
    } else if (roll < 56) {
      static const int kUnits[] = {120, 240, 360, 1560, 60, 180};
      const int units = kUnits[Pick(6)] * (Pick(2) == 0 ? 1 : -1);
      s->push_back({Step::kWheel, x, y, units});
    } else if (roll < 66) {  // a rocker held for a while, on either half or its centre
      static const int kRockerX[] = {30, 77, 78, 130, 493, 541, 542, 590};
      const int rx = kRockerX[Pick(8)];
      s->push_back({Step::kDown, rx, 172 + Pick(32)});
      s->push_back({Step::kTicks, 0, 0, 1 + Pick(90)});
      LoseOrRelease(s, rx, 187);
    } else if (roll < 73) {  // a press whose capture goes elsewhere
      s->push_back({Step::kDown, x, y});
      s->push_back({Step::kMove, x2, y2});
      LoseOrRelease(s, x2, y2);
    } else if (roll < 82) {
      s->push_back({Step::kTicks, 0, 0, 1 + Pick(5)});
    } else if (roll < 90) {
      s->push_back({Step::kBlock});
    } else if (roll < 94) {  // the other button goes down during a press
      s->push_back({Step::kDown, x, y});
      PressPoint(&x2, &y2);
      s->push_back({Step::kRightDown, x2, y2});
      s->push_back({Step::kUp, x, y});
      s->push_back({Step::kRightUp, x2, y2});
    } else if (roll < 96) {
      s->push_back({Step::kReopen});
    } else {  // a release whose press happened elsewhere
      s->push_back({Pick(2) == 0 ? Step::kUp : Step::kRightUp, x2, y2});
    }
  }

  // 0-9: a stroke from a bar along its row, jumping over bars, now and then
  // leaving the bars or losing the press; 10-19: undo, redo or cursor keys.
  void AddKeysOrStroke(Script* s, int roll) {
    if (roll < 10) {
      const Rect bar = BarRect(Pick(kPatternEntries));
      int x = bar.left + Pick(bar.Width() + 1);
      const int y = bar.top + Pick(bar.Height() + 1);
      s->push_back({Step::kDown, x, y});
      for (int moves = 1 + Pick(5); moves > 0; --moves) {
        x += Pick(181) - 90;  // up to two and a half steps a motion
        s->push_back({Step::kMove, x, Pick(6) == 0 ? y + Pick(41) - 20 : y});
      }
      if (Pick(5) == 0) return LoseOrRelease(s, x, y);
      s->push_back({Step::kUp, x, y});
      return;
    }
    static const struct {
      int key;
      int mods;
    } kKeys[] = {
        {LetterKey('Z'), Step::kKeyCtrl},
        {LetterKey('Z'), Step::kKeyCtrl},
        {LetterKey('Z'), Step::kKeyCtrl | Step::kKeyShift},
        {LetterKey('Y'), Step::kKeyCtrl},
        {kKeyLeft, 0},
        {kKeyRight, 0},
        {kKeyUp, 0},
        {kKeyDown, Step::kKeyShift},
        {kKeyDigit0 + 3, 0},
        {kKeyDigit0 + 1, Step::kKeyShift},
        {LetterKey('Q'), 0},  // not the editor's
    };
    constexpr int kKeyCount = sizeof(kKeys) / sizeof(kKeys[0]);
    for (int keys = 1 + Pick(4); keys > 0; --keys) {
      const auto& key = kKeys[Pick(kKeyCount)];
      s->push_back({Step::kKey, key.key, Pick(3), key.mods});
    }
  }

  // The PATTERN button, then a click anywhere on the menu it opens above
  // itself (a row runs, a value row changes and the menu stays open, a
  // greyed row does nothing), now and then a second one.
  void AddMenuPick(Script* s) {
    static constexpr Rect kButton = {420, 270, 492, 283};
    static constexpr Rect kMenu = {342, 43, 492, 270};
    s->push_back({Step::kDown, kButton.left + Pick(kButton.Width()), kButton.top + 5});
    s->push_back({Step::kUp, kButton.left + Pick(kButton.Width()), kButton.top + 5});
    for (int picks = 1 + (Pick(4) == 0); picks > 0; --picks) {
      const int x = kMenu.left + Pick(kMenu.Width());
      const int y = kMenu.top + Pick(kMenu.Height());
      s->push_back({Step::kDown, x, y});
      s->push_back({Step::kUp, x, y});
    }
  }

  void LoseOrRelease(Script* s, int x, int y) {
    switch (Pick(3)) {
      case 0:
        s->push_back({Step::kUp, x, y});
        return;
      case 1:
        s->push_back({Step::kStealCapture});
        break;
      default:
        s->push_back({Step::kCancelMode});
        break;
    }
    s->push_back({Step::kTicks, 0, 0, Pick(4)});
    if (Pick(2) == 0) s->push_back({Step::kUp, x, y});  // reaches us all the same
  }

  std::mt19937 rng_;
};

}  // namespace editor_test
