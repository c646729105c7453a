// The editor under load, as a host drives it: many open/close cycles of one
// instance while its audio runs on another thread, and two instances with
// their editors open side by side. Windows, GDI objects and memory must not
// grow, the audio must stay sound throughout, and each editor must paint and
// edit only its own instance, whichever closes first.
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <thread>

#include "editor_fixture.h"
#include "engine/editor_layout.h"
#include "engine/gate_params.h"
#include "gui/bitmap_cache.h"
#include "process_resources.h"

extern "C" vst2::AEffect* VSTPluginMain(vst2::AudioMasterCallback audioMaster);

namespace editor_test {
namespace {

constexpr int kBlockFrames = 64;
constexpr double kSampleRate = 44100.0;
constexpr double kTwoPi = 6.283185307179586;
constexpr uint32_t kSentinel = 0xFF10F020;
// A strip of the editor that only the background covers.
constexpr Rect kBackgroundStrip = {0, 268, kEditorWidth, kEditorHeight};

// ---- The host side: time records and counters, safe across threads. ----

// Each audio thread owns the time record it hands out, so the editor thread
// never reads one that is being advanced.
thread_local vst2::VstTimeInfo tAudioTime = {};

struct HostCounters {
  std::atomic<int> automations{0};
  std::atomic<int> gestureBegins{0};
  std::atomic<int> gestureEnds{0};
};

intptr_t VST2_CALL StressHost(vst2::AEffect* effect, int32_t opcode, int32_t, intptr_t, void*,
                              float) {
  auto* counters = effect != nullptr ? static_cast<HostCounters*>(effect->user) : nullptr;
  switch (opcode) {
    case vst2::audioMasterVersion:
      return vst2::kVstVersion;
    case vst2::audioMasterGetTime:
      return tAudioTime.sampleRate > 0 ? reinterpret_cast<intptr_t>(&tAudioTime) : 0;
    case vst2::audioMasterAutomate:
      if (counters != nullptr) ++counters->automations;
      return 1;
    case vst2::audioMasterBeginEdit:
      if (counters != nullptr) ++counters->gestureBegins;
      return 1;
    case vst2::audioMasterEndEdit:
      if (counters != nullptr) ++counters->gestureEnds;
      return 1;
    default:
      return 0;
  }
}

// One effect created through the entry and started the way a host starts it.
struct HostedEffect {
  HostedEffect() {
    effect = VSTPluginMain(StressHost);
    if (effect == nullptr) return;
    effect->user = &counters;
    plug = static_cast<VSTCLASS*>(static_cast<IPlugVST*>(effect->object));
    editor = dynamic_cast<IEditorWindow*>(plug->Editor());
    Dispatch(vst2::effOpen);
    Dispatch(vst2::effSetSampleRate, 0, 0, nullptr, static_cast<float>(kSampleRate));
    Dispatch(vst2::effSetBlockSize, 0, kBlockFrames);
    Dispatch(vst2::effMainsChanged, 0, 1);
  }
  ~HostedEffect() { Close(); }
  // Suspends and closes the effect, open editor or not.
  void Close() {
    if (effect == nullptr) return;
    Dispatch(vst2::effMainsChanged, 0, 0);
    Dispatch(vst2::effClose);
    effect = nullptr;
    plug = nullptr;
    editor = nullptr;
  }
  intptr_t Dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                    float opt = 0.0f) {
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
  }
  double Param(int index) const { return plug->GetParam(index)->Value(); }

  HostCounters counters;
  vst2::AEffect* effect = nullptr;
  VSTCLASS* plug = nullptr;
  IEditorWindow* editor = nullptr;
};

// A host audio thread: 64-frame processReplacing blocks of a steady stereo
// tone, with the transport playing at 120 BPM, until stopped. With the
// default "Volume" target and "Mix" at 80 % every output sample is the input
// times a gain between the dry share (0.2) and 1; samples outside that, or
// not finite, are counted as faults.
class AudioThread {
 public:
  explicit AudioThread(vst2::AEffect* effect) : effect_(effect), thread_([this] { Run(); }) {}
  ~AudioThread() { Stop(); }

  void Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }
  long Blocks() const { return blocks_; }
  long Faults() const { return faults_; }
  // Waits, pumping the editor's messages, until `blocks` more have run.
  bool WaitForBlocks(long blocks) const;

 private:
  static constexpr double kDryShare = 0.2;
  static constexpr double kTolerance = 1e-6;

  void Run() {
    tAudioTime = {};
    tAudioTime.sampleRate = kSampleRate;
    tAudioTime.tempo = 120.0;
    tAudioTime.timeSigNumerator = 4;
    tAudioTime.timeSigDenominator = 4;
    tAudioTime.flags = vst2::kVstTransportPlaying | vst2::kVstTempoValid | vst2::kVstPpqPosValid |
                       vst2::kVstTimeSigValid;
    float left[kBlockFrames], right[kBlockFrames], outLeft[kBlockFrames], outRight[kBlockFrames];
    float* inputs[2] = {left, right};
    float* outputs[2] = {outLeft, outRight};
    long sample = 0;
    while (!stop_) {
      for (int j = 0; j < kBlockFrames; ++j, ++sample) {
        const double t = static_cast<double>(sample) / kSampleRate;
        left[j] = static_cast<float>(0.5 * std::sin(kTwoPi * 440.0 * t));
        right[j] = static_cast<float>(-0.25 * std::sin(kTwoPi * 550.0 * t));
      }
      effect_->processReplacing(effect_, inputs, outputs, kBlockFrames);
      for (int j = 0; j < kBlockFrames; ++j) {
        faults_ += !InRange(left[j], outLeft[j]) + !InRange(right[j], outRight[j]);
      }
      tAudioTime.samplePos += kBlockFrames;
      tAudioTime.ppqPos = tAudioTime.samplePos / kSampleRate * 2.0;
      // About six times real time: hard on the lock, fair to the other core.
      if (++blocks_ % 4 == 0) Sleep(1);
    }
  }
  static bool InRange(float in, float out) {
    if (!std::isfinite(out)) return false;
    const double magnitude = std::fabs(static_cast<double>(in));
    const double result = std::fabs(static_cast<double>(out));
    return result <= magnitude * (1 + kTolerance) + 1e-9 &&
           result >= magnitude * kDryShare * (1 - kTolerance) - 1e-9;
  }

  vst2::AEffect* effect_;
  std::atomic<bool> stop_{false};
  std::atomic<long> blocks_{0};
  std::atomic<long> faults_{0};
  std::thread thread_;
};

// ---- Watching the editor window from outside. ----

// Paints and timer ticks seen by one editor window, counted by subclassing it.
struct WindowWatch {
  HWND window = nullptr;
  WNDPROC original = nullptr;
  int paints = 0;
  int ticks = 0;
};

WindowWatch gWatches[2];

LRESULT CALLBACK WatchingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  for (WindowWatch& watch : gWatches) {
    if (watch.window != window) continue;
    if (message == WM_PAINT) ++watch.paints;
    if (message == WM_TIMER && wParam == IEditorWindow::kTimerId) ++watch.ticks;
    return CallWindowProcA(watch.original, window, message, wParam, lParam);
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

WindowWatch& Watch(int slot, HWND window) {
  WindowWatch& watch = gWatches[slot];
  watch = WindowWatch{};
  watch.window = window;
  watch.original = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchingProc)));
  return watch;
}

// Runs the thread's messages until `done` holds or `limitMs` passes.
template <typename Condition>
bool PumpUntil(Condition done, DWORD limitMs) {
  const DWORD start = GetTickCount();
  MSG message;
  while (!done()) {
    if (GetTickCount() - start > limitMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 2, QS_ALLINPUT);
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
  return true;
}

bool AudioThread::WaitForBlocks(long blocks) const {
  const long target = Blocks() + blocks;
  return PumpUntil([&] { return Blocks() >= target; }, 2000);
}

// The editor windows under `host`.
int EditorWindowsUnder(HWND host) {
  int count = 0;
  EnumChildWindows(
      host,
      [](HWND window, LPARAM counter) {
        char name[32] = {};
        GetClassNameA(window, name, sizeof(name));
        if (std::strcmp(name, IEditorWindow::kWindowClassName) == 0)
          ++*reinterpret_cast<int*>(counter);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&count));
  return count;
}

// ---- The back buffer. ----

void FillRect(Bitmap* back, const Rect& rect, uint32_t colour) {
  for (int y = rect.top; y < rect.bottom; ++y) {
    for (int x = rect.left; x < rect.right; ++x) {
      back->GetBits()[static_cast<intptr_t>(y) * back->GetRowSpan() + x] = colour;
    }
  }
}

// Pixels of `rect` that differ from the background image.
int PixelsOffBackground(Bitmap* back, Bitmap* background, const Rect& rect) {
  int off = 0;
  for (int y = rect.top; y < rect.bottom; ++y) {
    for (int x = rect.left; x < rect.right; ++x) {
      off += PixelAt(back, x, y) != PixelAt(background, x, y);
    }
  }
  return off;
}

constexpr uint32_t kTimeBarColour = 0xFF82C3FF;

// Columns of step `step`'s time bar (upper grid) filled with the bar colour.
int TimeBarFill(Bitmap* back, int step) {
  const int left = 30 + 35 * step;
  int width = 0;
  while (width < 40 && PixelAt(back, left + width, 215) == kTimeBarColour) ++width;
  return width;
}

void Click(HWND window, int x, int y) {
  SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, Point(x, y));
  SendMessageA(window, WM_LBUTTONUP, 0, Point(x, y));
}

// Turns a knob a little: press on it, drag upwards, let go.
void TurnKnob(HWND window, int x, int y) {
  SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, Point(x, y));
  SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, Point(x, y - 6));
  SendMessageA(window, WM_LBUTTONUP, 0, Point(x, y - 6));
}

bool ClassRegistered() {
  WNDCLASSA info;
  return GetClassInfoA(BuiltModule(), IEditorWindow::kWindowClassName, &info) != 0;
}

// The leak measures must see what they count, or the checks below prove
// nothing: one back-buffer-sized DIB section and one heap block must show.
TEST(LeakMeasures, SeeABackBufferAndAHeapBlock) {
  const int gdiBefore = GdiObjects();
  const size_t privateBefore = CommittedPrivateBytes();
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = kEditorWidth;
  info.bmiHeader.biHeight = -kEditorHeight;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(section, nullptr);
  EXPECT_EQ(GdiObjects(), gdiBefore + 1);
  EXPECT_GE(CommittedPrivateBytes(), privateBefore + kEditorWidth * kEditorHeight * 4);
  DeleteObject(section);
  EXPECT_EQ(GdiObjects(), gdiBefore);

  const size_t heapBefore = HeapBytesInUse();
  auto* block = new char[64 * 1024];
  block[0] = 1;
  EXPECT_GE(HeapBytesInUse(), heapBefore + 64 * 1024);
  delete[] block;
  EXPECT_LT(HeapBytesInUse(), heapBefore + 64 * 1024);
}

class EditorStress : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(BuiltModule(), nullptr) << "Quorvel.dll must sit next to the test program";
    SetEffectModuleInstance(BuiltModule());
    background_ = Image(100);
    ASSERT_NE(background_, nullptr);
  }

  // effEditOpen into `host`, watched in `slot`; pumps until the editor has
  // painted and its timer has ticked.
  HWND OpenAndSettle(HostedEffect& hosted, HWND host, int slot) {
    if (hosted.Dispatch(vst2::effEditOpen, 0, 0, host) != 1) {
      ADD_FAILURE() << "effEditOpen failed";
      return nullptr;
    }
    HWND window = hosted.editor->Window();
    WindowWatch& watch = Watch(slot, window);
    EXPECT_TRUE(PumpUntil([&] { return watch.paints > 0 && watch.ticks > 0; }, 1000))
        << "paints " << watch.paints << ", ticks " << watch.ticks;
    return window;
  }

  // Paints `check` over with the sentinel, has the window repaint everything
  // and answers the sentinel pixels left in `check`.
  int SentinelLeftAfterRepaint(HostedEffect& hosted, int slot, const Rect& check) {
    Bitmap* back = hosted.editor->BackBuffer();
    FillRect(back, check, kSentinel);
    const int paintsBefore = gWatches[slot].paints;
    InvalidateRect(hosted.editor->Window(), nullptr, FALSE);
    EXPECT_TRUE(PumpUntil([&] { return gWatches[slot].paints > paintsBefore; }, 1000));
    int left = 0;
    for (int y = check.top; y < check.bottom; ++y) {
      for (int x = check.left; x < check.right; ++x) left += PixelAt(back, x, y) == kSentinel;
    }
    return left;
  }

  std::unique_ptr<Bitmap> background_;
};

TEST_F(EditorStress, TwoHundredOpenCloseCyclesWhileAudioRuns) {
  HostedEffect hosted;
  ASSERT_NE(hosted.effect, nullptr);
  ASSERT_NE(hosted.editor, nullptr);
  HWND host = CreateHostWindow(100, 100);
  ASSERT_NE(host, nullptr);
  // A click near a step bar's end shows the system's sideways pointer, whose
  // images the system makes on first use; have them made before counting.
  LoadCursorA(nullptr, IDC_SIZEWE);
  AudioThread audio(hosted.effect);
  ASSERT_TRUE(audio.WaitForBlocks(50));

  constexpr int kCycles = 200;
  constexpr int kBaselineCycle = 20;
  Resources baseline = {};
  long blocksAtBaseline = 0;
  int totalTicks = 0;
  int edits = 0;
  const DWORD start = GetTickCount();
  for (int cycle = 1; cycle <= kCycles; ++cycle) {
    // The background strip must come back from a fresh draw on every open.
    FillRect(hosted.editor->BackBuffer(), kBackgroundStrip, kSentinel);
    ASSERT_EQ(EditorWindowsUnder(host), 0) << "cycle " << cycle;
    HWND window = OpenAndSettle(hosted, host, 0);
    ASSERT_NE(window, nullptr) << "cycle " << cycle;
    ASSERT_EQ(EditorWindowsUnder(host), 1) << "cycle " << cycle;
    ASSERT_EQ(GetParent(window), host);
    ASSERT_EQ(PixelsOffBackground(hosted.editor->BackBuffer(), background_.get(), kBackgroundStrip),
              0)
        << "cycle " << cycle;
    totalTicks += gWatches[0].ticks;

    // Now and then an edit: a step bar (time or volume) or a knob turned.
    if (cycle % 7 == 0) {
      const int step = cycle % 16;
      Click(window, 30 + 35 * step + (cycle * 5) % 34, cycle % 2 ? 215 : 225);
      ++edits;
    } else if (cycle % 11 == 0) {
      TurnKnob(window, cycle % 2 ? 207 : 277, 125);  // Attack or Release
      ++edits;
    }

    ASSERT_EQ(hosted.Dispatch(vst2::effEditClose), 1);
    ASSERT_FALSE(IsWindow(window)) << "cycle " << cycle;
    ASSERT_EQ(EditorWindowsUnder(host), 0) << "cycle " << cycle;
    ASSERT_FALSE(ClassRegistered()) << "cycle " << cycle;
    if (cycle == kBaselineCycle) {
      baseline = Measure();
      blocksAtBaseline = audio.Blocks();
    }
  }
  const DWORD elapsed = GetTickCount() - start;
  const Resources after = Measure();
  const long blocksAfter = audio.Blocks();
  audio.Stop();

  std::printf(
      "%d cycles in %lu ms, %d timer ticks, %d edits, %ld audio blocks\n"
      "cycle %d -> %d: GDI objects %d -> %d, USER objects %d -> %d, windows %d -> %d, "
      "cached images %d -> %d, heap bytes %zu -> %zu, private bytes %zu -> %zu\n",
      kCycles, static_cast<unsigned long>(elapsed), totalTicks, edits, blocksAfter, kBaselineCycle,
      kCycles, baseline.gdiObjects, after.gdiObjects, baseline.userObjects, after.userObjects,
      baseline.windows, after.windows, baseline.cachedBitmaps, after.cachedBitmaps,
      baseline.heapBytes, after.heapBytes, baseline.privateBytes, after.privateBytes);

  EXPECT_EQ(audio.Faults(), 0);
  EXPECT_GT(blocksAfter, blocksAtBaseline + 1000) << "the audio thread stalled";
  EXPECT_GE(totalTicks, kCycles);
  EXPECT_GT(hosted.counters.automations.load(), 0);
  EXPECT_EQ(hosted.counters.gestureBegins.load(), hosted.counters.gestureEnds.load());
  // A leak per cycle or per edit would show by dozens; the slack is for
  // objects the system makes lazily on its own.
  EXPECT_LE(after.gdiObjects, baseline.gdiObjects + 2);
  EXPECT_LE(after.userObjects, baseline.userObjects + 2);
  EXPECT_EQ(after.windows, baseline.windows);
  EXPECT_EQ(after.cachedBitmaps, baseline.cachedBitmaps);
  // One back buffer is 700 KB; 180 leaks of even 400 bytes pass 64 KB.
  EXPECT_LT(after.heapBytes, baseline.heapBytes + 64 * 1024);
  EXPECT_LT(after.privateBytes, baseline.privateBytes + 8 * 1024 * 1024);
  DestroyWindow(host);
}

int SentinelPixels(Bitmap* back) {
  int count = 0;
  for (int y = 0; y < kEditorHeight; ++y) {
    for (int x = 0; x < kEditorWidth; ++x) count += PixelAt(back, x, y) == kSentinel;
  }
  return count;
}

TEST_F(EditorStress, TwoEditorsSideBySidePaintAndEditOnlyTheirOwnInstance) {
  constexpr Rect kWhole = {0, 0, kEditorWidth, kEditorHeight};
  HostedEffect first;
  HostedEffect second;
  ASSERT_NE(first.editor, nullptr);
  ASSERT_NE(second.editor, nullptr);
  HWND firstHost = CreateHostWindow(40, 40);
  HWND secondHost = CreateHostWindow(80, 460);
  ASSERT_NE(firstHost, nullptr);
  ASSERT_NE(secondHost, nullptr);
  AudioThread firstAudio(first.effect);
  AudioThread secondAudio(second.effect);
  ASSERT_TRUE(firstAudio.WaitForBlocks(20));
  ASSERT_TRUE(secondAudio.WaitForBlocks(20));
  const long firstBlocksAtStart = firstAudio.Blocks();
  const long secondBlocksAtStart = secondAudio.Blocks();
  Bitmap* firstBack = first.editor->BackBuffer();
  Bitmap* secondBack = second.editor->BackBuffer();

  // Both open, each in its own host window, and each draws all of itself.
  FillRect(firstBack, kWhole, kSentinel);
  FillRect(secondBack, kWhole, kSentinel);
  HWND firstWindow = OpenAndSettle(first, firstHost, 0);
  HWND secondWindow = OpenAndSettle(second, secondHost, 1);
  ASSERT_NE(firstWindow, nullptr);
  ASSERT_NE(secondWindow, nullptr);
  EXPECT_EQ(GetParent(firstWindow), firstHost);
  EXPECT_EQ(GetParent(secondWindow), secondHost);
  EXPECT_EQ(IEditorWindow::OpenWindowCount(), 2);
  for (Bitmap* back : {firstBack, secondBack}) {
    EXPECT_EQ(SentinelPixels(back), 0);
    EXPECT_EQ(PixelsOffBackground(back, background_.get(), kBackgroundStrip), 0);
    EXPECT_EQ(TimeBarFill(back, 2), 17);  // 2 quarters of 34 pixels
  }

  // Every step starts at time 2: the first pattern word holds ten 2s in base 5.
  const double allTwos = 2.0 * (9765625.0 - 1.0) / 4.0;
  ASSERT_EQ(first.Param(kPatternWord0), allTwos);
  ASSERT_EQ(second.Param(kPatternWord0), allTwos);
  double secondParams[kHostVisibleParams];
  for (int i = 0; i < kHostVisibleParams; ++i) secondParams[i] = second.Param(i);

  // The left end of step 3's time bar in the first editor sets that step's
  // time to 0; the first instance's audio packs it into its third digit.
  Click(firstWindow, 30 + 35 * 2, 215);
  EXPECT_EQ(first.plug->StepPattern[2], 0);
  EXPECT_EQ(second.plug->StepPattern[2], 2);
  EXPECT_TRUE(PumpUntil([&] { return first.Param(kPatternWord0) != allTwos; }, 2000));
  EXPECT_EQ(first.Param(kPatternWord0), allTwos - 2 * 78125.0);  // 2 * 5^7
  EXPECT_TRUE(PumpUntil([&] { return TimeBarFill(firstBack, 2) == 0; }, 1000));
  ASSERT_TRUE(secondAudio.WaitForBlocks(20));
  for (int i = 0; i < kHostVisibleParams; ++i) EXPECT_EQ(second.Param(i), secondParams[i]) << i;
  for (int k = 0; k < kPatternEntries; ++k) {
    EXPECT_EQ(second.plug->StepPattern[k], k < kStepCountMax ? 2 : 4) << k;
  }
  EXPECT_EQ(TimeBarFill(secondBack, 2), 17);
  EXPECT_GT(first.counters.automations.load(), 0);
  EXPECT_EQ(second.counters.automations.load(), 0);

  // Closed in the opposite order: the first editor still draws everything
  // from the shared images and fonts once the second is gone.
  ASSERT_EQ(second.Dispatch(vst2::effEditClose), 1);
  EXPECT_FALSE(IsWindow(secondWindow));
  EXPECT_TRUE(ClassRegistered());
  EXPECT_EQ(SentinelLeftAfterRepaint(first, 0, kWhole), 0);
  EXPECT_EQ(PixelsOffBackground(firstBack, background_.get(), kBackgroundStrip), 0);
  EXPECT_EQ(TimeBarFill(firstBack, 2), 0);
  EXPECT_EQ(TimeBarFill(firstBack, 3), 17);
  ASSERT_EQ(first.Dispatch(vst2::effEditClose), 1);
  EXPECT_FALSE(IsWindow(firstWindow));
  EXPECT_FALSE(ClassRegistered());
  EXPECT_EQ(EditorWindowsUnder(firstHost) + EditorWindowsUnder(secondHost), 0);

  // Once more, closed in the order they opened: now the second must survive.
  firstWindow = OpenAndSettle(first, firstHost, 0);
  secondWindow = OpenAndSettle(second, secondHost, 1);
  ASSERT_NE(firstWindow, nullptr);
  ASSERT_NE(secondWindow, nullptr);
  ASSERT_EQ(first.Dispatch(vst2::effEditClose), 1);
  EXPECT_FALSE(IsWindow(firstWindow));
  EXPECT_EQ(SentinelLeftAfterRepaint(second, 1, kWhole), 0);
  EXPECT_EQ(PixelsOffBackground(secondBack, background_.get(), kBackgroundStrip), 0);
  EXPECT_EQ(TimeBarFill(secondBack, 2), 17);
  ASSERT_EQ(second.Dispatch(vst2::effEditClose), 1);
  EXPECT_FALSE(IsWindow(secondWindow));
  EXPECT_FALSE(ClassRegistered());

  // A host that closes an instance with its editor still open: the window
  // goes with the instance and the other editor keeps drawing.
  firstWindow = OpenAndSettle(first, firstHost, 0);
  secondWindow = OpenAndSettle(second, secondHost, 1);
  ASSERT_NE(firstWindow, nullptr);
  ASSERT_NE(secondWindow, nullptr);
  firstAudio.Stop();
  EXPECT_EQ(firstAudio.Faults(), 0);
  EXPECT_GT(firstAudio.Blocks(), firstBlocksAtStart + 100);
  first.Close();
  EXPECT_FALSE(IsWindow(firstWindow));
  EXPECT_EQ(EditorWindowsUnder(firstHost), 0);
  EXPECT_EQ(IEditorWindow::OpenWindowCount(), 1);
  EXPECT_EQ(SentinelLeftAfterRepaint(second, 1, kWhole), 0);
  EXPECT_EQ(PixelsOffBackground(secondBack, background_.get(), kBackgroundStrip), 0);

  // Both closed, then a fresh open still registers, draws and ticks.
  ASSERT_EQ(second.Dispatch(vst2::effEditClose), 1);
  EXPECT_FALSE(ClassRegistered());
  FillRect(secondBack, kWhole, kSentinel);
  secondWindow = OpenAndSettle(second, secondHost, 1);
  ASSERT_NE(secondWindow, nullptr);
  EXPECT_TRUE(ClassRegistered());
  EXPECT_EQ(SentinelPixels(secondBack), 0);
  EXPECT_EQ(TimeBarFill(secondBack, 2), 17);
  ASSERT_EQ(second.Dispatch(vst2::effEditClose), 1);
  EXPECT_EQ(EditorWindowsUnder(secondHost), 0);

  secondAudio.Stop();
  EXPECT_EQ(secondAudio.Faults(), 0);
  EXPECT_GT(secondAudio.Blocks(), secondBlocksAtStart + 100);
  DestroyWindow(firstHost);
  DestroyWindow(secondHost);
}

}  // namespace
}  // namespace editor_test
