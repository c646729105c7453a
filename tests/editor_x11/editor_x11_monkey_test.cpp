// The X11 editor under random gestures, as the Win32 editor's randomised
// test drives that one: short seeded sequences of clicks, drags, right and
// double clicks, wheel notches, rocker holds, grabs taken away, ticks and
// audio blocks, each on a fresh instance. After each sequence settles, every
// host gesture is closed, the engine, the host's pattern words and the bars'
// pixels show one pattern, and no control asks to redraw.
//
// QUORVEL_MONKEY_SEED sets the first sequence's seed (sequence i uses seed
// + i) and QUORVEL_MONKEY_SEQUENCES how many run; a failure prints the seed
// that replays it alone.
#include <cmath>
#include <cstdlib>
#include <random>

#include "tests/editor_x11/xvfb_display.h"
// after gtest
#include "graphics/png_loader.h"
#include "tests/editor_x11/x11_editor_fixture.h"

namespace editor_test {
namespace {

const ::testing::Environment* const kXvfb = ::testing::AddGlobalTestEnvironment(new XvfbDisplay);

constexpr unsigned kDefaultSeed = 20261207;
constexpr int kDefaultSequences = 150;
constexpr Rect kPageLink = {164, 6, 356, 54};  // opens a browser: never pressed

unsigned EnvNumber(const char* name, unsigned fallback) {
  const char* text = std::getenv(name);
  return text != nullptr && *text != '\0' ? static_cast<unsigned>(std::strtoul(text, nullptr, 10))
                                          : fallback;
}

// Pattern entry k's bar, as the layout places it.
Rect BarRect(int k) {
  const int step = k % 32;
  const int x = 30 + 35 * (step % 16);
  const int y = 221 + 34 * (step / 16);
  return k < 32 ? Rect{x, y - 11, x + 34, y - 1} : Rect{x, y, x + 34, y + 8};
}

// The seven words as the host reads them, decoded digit by digit: base 5,
// ten entries a word (four in the last), first entry most significant.
std::vector<int> PatternTheHostSees(vst2::AEffect* effect) {
  std::vector<int> pattern;
  for (int g = 0; g < 7; ++g) {
    const int digits = g < 6 ? 10 : 4;
    const double largest = g < 6 ? 9765624.0 : 624.0;
    int64_t word = std::llround(effect->getParameter(effect, 10 + g) * largest);
    std::vector<int> entries(static_cast<size_t>(digits));
    for (int d = digits - 1; d >= 0; --d) {
      entries[static_cast<size_t>(d)] = static_cast<int>(word % 5);
      word /= 5;
    }
    if (word != 0) entries.assign(static_cast<size_t>(digits), -1);
    pattern.insert(pattern.end(), entries.begin(), entries.end());
  }
  return pattern;
}

Pixel PixelAt(Bitmap* bitmap, int x, int y) {
  return bitmap->GetBits()[y * bitmap->GetRowSpan() + x] & 0xFFFFFFu;
}

// The quarters each bar shows: a fill from the bar's left edge over
// round(34 x quarters / 4) columns where the background differs; -1 else.
std::vector<int> PatternTheBarsDraw(Bitmap* back, Bitmap* background) {
  static const int kFills[] = {0, 9, 17, 26, 34};
  std::vector<int> pattern;
  for (int k = 0; k < kPatternEntries; ++k) {
    const Rect bar = BarRect(k);
    const int row = (bar.top + bar.bottom) / 2;
    int width = 0;
    while (width < bar.Width() &&
           PixelAt(back, bar.left + width, row) != PixelAt(background, bar.left + width, row)) {
      ++width;
    }
    int shown = -1;
    for (int q = 0; q <= 4; ++q) shown = kFills[q] == width ? q : shown;
    for (int x = bar.left + width; x < bar.right; ++x) {
      if (PixelAt(back, x, row) != PixelAt(background, x, row)) shown = -1;
    }
    pattern.push_back(shown);
  }
  return pattern;
}

// Plays one seeded sequence of gestures on an open editor.
class Monkey {
 public:
  Monkey(unsigned seed, HostedX11Editor* hosted) : rng_(seed), hosted_(hosted) {}

  void Play(std::string* log) {
    log_ = log;
    for (int g = 0; g < kPatternWordCount; ++g) {
      if (Pick(3) == 0) HostSet(kPatternWord0 + g, Pick(g < 6 ? 9765625 : 625));
    }
    if (Pick(2) == 0) HostSet(kCycle, 1 + Pick(32));
    for (int gestures = 1 + Pick(6); gestures > 0; --gestures) Gesture();
  }

 private:
  int Pick(int n) { return static_cast<int>(rng_() % static_cast<unsigned>(n)); }

  void Note(const char* what, int x = 0, int y = 0) {
    *log_ += std::string(what) + "(" + std::to_string(x) + "," + std::to_string(y) + ") ";
  }

  void HostSet(int index, int value) {
    IPlugParam* param = hosted_->Plug()->GetParam(index);
    const double position = (value - param->Min()) / (param->Max() - param->Min());
    hosted_->Effect()->setParameter(hosted_->Effect(), index, static_cast<float>(position));
    Note("set", index, value);
  }

  void PressPoint(int* x, int* y) {
    static const Rect kControls[] = {
        {26, 100, 76, 170},   {96, 100, 146, 170},  {182, 100, 232, 170}, {252, 100, 302, 170},
        {322, 100, 372, 170}, {474, 100, 524, 170}, {544, 100, 594, 170}, {387, 97, 457, 169},
        {193, 174, 285, 194}, {288, 179, 310, 199}, {22, 172, 134, 203},  {485, 172, 597, 203},
        {316, 180, 446, 198}, {30, 230, 589, 243},  {45, 12, 95, 30},     {0, 0, 619, 284}};
    constexpr int kControlCount = sizeof(kControls) / sizeof(kControls[0]);
    const int pick = Pick(kControlCount + 8);
    const Rect area = pick < kControlCount ? kControls[pick] : BarRect(Pick(kPatternEntries));
    *x = area.left + Pick(area.Width() + 1);
    *y = area.top + Pick(area.Height() + 1);
    if (kPageLink.Contains(*x, *y)) *y = kPageLink.bottom + 6;
  }

  void AnyPoint(int* x, int* y) {
    if (Pick(5) != 0) return PressPoint(x, y);
    *x = -20 + Pick(660);
    *y = -20 + Pick(325);
  }

  void Down(unsigned button, int x, int y, unsigned long gap = 1000) {
    Note(button == Button1 ? "down" : "rdown", x, y);
    hosted_->Pointer(ButtonPress, button, 0, x, y, gap);
  }
  void Up(unsigned button, int x, int y) {
    Note(button == Button1 ? "up" : "rup", x, y);
    hosted_->Pointer(ButtonRelease, button, button == Button1 ? Button1Mask : Button3Mask, x, y);
  }
  void Move(int x, int y) {
    Note("move", x, y);
    hosted_->Pointer(MotionNotify, 0, Button1Mask, x, y);
  }
  void Ticks(int n) {
    Note("ticks", n);
    hosted_->Tick(n);
  }
  // The grab taken away: by another client's grab ending ours, or a window
  // switch taking the focus.
  void LoseOrRelease(int x, int y) {
    switch (Pick(3)) {
      case 0:
        return Up(Button1, x, y);
      case 1:
        Note("ungrab");
        hosted_->Notify(LeaveNotify, NotifyUngrab);
        break;
      default:
        Note("focusout");
        hosted_->Notify(FocusOut, NotifyNormal);
        break;
    }
    Ticks(Pick(4));
    if (Pick(2) == 0) Up(Button1, x, y);  // reaches us all the same
  }

  void Gesture() {
    int x, y, x2, y2;
    PressPoint(&x, &y);
    AnyPoint(&x2, &y2);
    const int roll = Pick(100);
    if (roll < 22) {  // click or drag
      Down(Button1, x, y);
      int lastX = x, lastY = y;
      for (int moves = Pick(5); moves > 0; --moves) {
        if (Pick(2) == 0) {
          lastX += Pick(41) - 20;
        } else {
          AnyPoint(&lastX, &lastY);
        }
        Move(lastX, lastY);
      }
      Up(Button1, lastX, lastY);
    } else if (roll < 30) {
      Down(Button3, x, y);
      Up(Button3, x, y);
    } else if (roll < 42) {  // a double click: the second press soon after, close by
      Down(Button1, x, y);
      Up(Button1, x, y);
      Down(Button1, x + Pick(3) - 1, y, 100);
      Pick(6) == 0 ? Up(Button1, x2, y2) : Up(Button1, x, y);
    } else if (roll < 56) {
      const int notches = (1 + Pick(3)) * (Pick(2) == 0 ? 1 : -1);
      Note("wheel", x, notches);
      for (int i = 0; i < std::abs(notches); ++i) {
        const unsigned button = notches > 0 ? Button4 : Button5;
        hosted_->Pointer(ButtonPress, button, 0, x, y);
        hosted_->Pointer(ButtonRelease, button, 0, x, y);
      }
    } else if (roll < 66) {  // a rocker held for a while
      static const int kRockerX[] = {30, 77, 78, 130, 493, 541, 542, 590};
      const int rx = kRockerX[Pick(8)];
      Down(Button1, rx, 172 + Pick(32));
      Ticks(1 + Pick(40));
      LoseOrRelease(rx, 187);
    } else if (roll < 73) {
      Down(Button1, x, y);
      Move(x2, y2);
      LoseOrRelease(x2, y2);
    } else if (roll < 82) {
      Ticks(1 + Pick(5));
    } else if (roll < 90) {
      Note("block");
      RunAudioBlock(hosted_->Effect());
    } else if (roll < 94) {  // the other button goes down during a press
      Down(Button1, x, y);
      PressPoint(&x2, &y2);
      Down(Button3, x2, y2);
      Up(Button1, x, y);
      Up(Button3, x2, y2);
    } else if (roll < 96) {
      Note("reopen");
      hosted_->Close();
      EXPECT_TRUE(hosted_->Open());
    } else {
      Up(Pick(2) == 0 ? Button1 : Button3, x2, y2);
    }
  }

  std::mt19937 rng_;
  HostedX11Editor* hosted_;
  std::string* log_ = nullptr;
};

TEST(X11EditorMonkey, RandomGesturesLeaveEngineHostAndBarsAgreeing) {
  Display* display = XOpenDisplay(nullptr);
  ASSERT_NE(display, nullptr);
  const char* source = std::getenv("QUORVEL_SOURCE_DIR");
  std::unique_ptr<Bitmap> background(LoadPngFromFile(
      (std::string(source != nullptr ? source : QUORVEL_SOURCE_ROOT) + "/img/bg.png").c_str(),
      nullptr));
  ASSERT_NE(background, nullptr);
  const unsigned seed = EnvNumber("QUORVEL_MONKEY_SEED", kDefaultSeed);
  const int sequences = static_cast<int>(EnvNumber("QUORVEL_MONKEY_SEQUENCES", kDefaultSequences));
  int failures = 0;
  for (int i = 0; i < sequences && failures < 3; ++i) {
    HostLog().clear();
    std::string log;
    {
      HostedX11Editor hosted(display);
      ASSERT_TRUE(hosted.Open());
      RunAudioBlock(hosted.Effect());
      hosted.Tick(2);
      Monkey(seed + static_cast<unsigned>(i), &hosted).Play(&log);
      // Settle: an open popup ends (a right click cancels it), an audio
      // block packs the pattern, then the editor idles.
      if (hosted.Editor()->Popup() != 0) {
        hosted.Pointer(ButtonPress, Button3, 0, 5, 280);
        hosted.Pointer(ButtonRelease, Button3, Button3Mask, 5, 280);
      }
      RunAudioBlock(hosted.Effect());
      hosted.Tick(16);
      std::string problems = UnbalancedGestures();
      const std::vector<int> engine(hosted.Plug()->StepPattern,
                                    hosted.Plug()->StepPattern + kPatternEntries);
      const std::vector<int> host = PatternTheHostSees(hosted.Effect());
      const std::vector<int> drawn =
          PatternTheBarsDraw(hosted.Editor()->BackBuffer(), background.get());
      for (int k = 0; k < kPatternEntries; ++k) {
        if (engine[k] == host[k] && engine[k] == drawn[k]) continue;
        problems += "entry " + std::to_string(k) + ": engine " + std::to_string(engine[k]) +
                    " host " + std::to_string(host[k]) + " drawn " + std::to_string(drawn[k]) +
                    "; ";
      }
      Rect dirty;
      if (hosted.Editor()->CollectDirty(&dirty)) problems += "a control asks to redraw; ";
      if (hosted.Editor()->DeferredTicks() != 0) problems += "a wheel gesture is still open; ";
      if (!problems.empty()) {
        ++failures;
        ADD_FAILURE() << problems << "\nsequence: " << log
                      << "\nreplay: QUORVEL_MONKEY_SEED=" << seed + static_cast<unsigned>(i)
                      << " QUORVEL_MONKEY_SEQUENCES=1";
      }
    }
  }
  std::printf("%d sequences from seed %u\n", sequences, seed);
  XCloseDisplay(display);
}

}  // namespace
}  // namespace editor_test
