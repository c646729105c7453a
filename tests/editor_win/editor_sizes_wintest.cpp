// The editor at its five sizes: what the host is told, what the window and
// the back buffer hold, where the images land at 200 %, that gestures at the
// scaled places do exactly what they do at 100 %, and how the size is chosen
// (the size menu, remembered per user; the host's content scale).
#include <cstdio>
#include <string>
#include <utility>

#include "gesture_fixture.h"

namespace editor_test {
namespace {

constexpr int32_t kContentScaleRequest = 0x50726553;  // 'PreS'
constexpr intptr_t kContentScaleValue = 0x41654373;   // 'AeCs'

class SizedEditor : public GestureEditor {
 protected:
  // The size the host reads with effEditGetRect, as width x height.
  std::pair<int, int> HostRect() {
    vst2::AEffect* effect = plug_->Effect();
    vst2::ERect* rect = nullptr;
    EXPECT_EQ(effect->dispatcher(effect, vst2::effEditGetRect, 0, 0, &rect, 0.0f), 1);
    if (rect == nullptr) return {0, 0};
    return {rect->right - rect->left, rect->bottom - rect->top};
  }

  std::pair<int, int> ClientSize() const {
    RECT client = {};
    GetClientRect(window_, &client);
    return {client.right, client.bottom};
  }

  // Opaque pixels of `image` from (srcX, srcY), w x h, that differ from the
  // background there must be in the back buffer at (left, top); answers how
  // many were compared.
  int ShownPixels(Bitmap* image, int srcX, int srcY, int w, int h, int left, int top) {
    Bitmap* back = editor_->BackBuffer();
    int compared = 0;
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        const uint32_t source = OpaquePixel(image, srcX + x, srcY + y);
        if (source == 0 || source == PixelAt(background_.get(), left + x, top + y)) continue;
        EXPECT_EQ(PixelAt(back, left + x, top + y), source) << left + x << "," << top + y;
        ++compared;
      }
    }
    return compared;
  }

  // The back buffer as a binary PPM next to the test program: the picture
  // of the editor at this size the README shows.
  void SaveBackBuffer(const char* name) {
    Bitmap* back = editor_->BackBuffer();
    const std::string path = DirectoryOfModule(nullptr) + name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    std::fprintf(file, "P6\n%d %d\n255\n", back->GetWidth(), back->GetHeight());
    for (int y = 0; y < back->GetHeight(); ++y) {
      for (int x = 0; x < back->GetWidth(); ++x) {
        const uint32_t p = PixelAt(back, x, y);
        const unsigned char rgb[3] = {static_cast<unsigned char>(p >> 16),
                                      static_cast<unsigned char>(p >> 8),
                                      static_cast<unsigned char>(p)};
        std::fwrite(rgb, 1, 3, file);
      }
    }
    std::fclose(file);
  }

  intptr_t AnnounceContentScale(float factor) {
    vst2::AEffect* effect = plug_->Effect();
    return effect->dispatcher(effect, vst2::effVendorSpecific, kContentScaleRequest,
                              kContentScaleValue, nullptr, factor);
  }
};

TEST_F(SizedEditor, AtEverySizeTheHostTheWindowAndTheBackBufferAgree) {
  for (int size : kEditorSizes) {
    UseSize(size);
    const Rect expected = EditorRectAt(size);
    EXPECT_EQ(HostRect(), std::make_pair(expected.right, expected.bottom)) << size;
    EXPECT_EQ(ClientSize(), std::make_pair(expected.right, expected.bottom)) << size;
    EXPECT_EQ(editor_->BackBuffer()->GetWidth(), expected.right) << size;
    EXPECT_EQ(editor_->BackBuffer()->GetHeight(), expected.bottom) << size;
    EXPECT_EQ(Disagreements(), "") << size;
  }
  UseSize(200);
  EXPECT_EQ(HostRect(), std::make_pair(1240, 570));
}

TEST_F(SizedEditor, At200PercentTheImagesLandAtTheirScaledPlaces) {
  UseSize(200);
  SetFromHost(kPatternWord0, 1234567);  // bars of every length
  SetFromHost(kTarget, 2);              // the third button
  SetFromHost(kTieLock, 1);
  plug_->currentStep = 17;  // lower row, second column
  Settle();
  EXPECT_EQ(Disagreements(), "");

  auto radio = Image(205);
  auto padlock = Image(204);
  auto lowerLamp = Image(208);
  ASSERT_TRUE(radio && padlock && lowerLamp);
  EXPECT_GT(ShownPixels(radio.get(), 0, 2 * 36, 140, 36, 2 * 387, 2 * (97 + 2 * 18)), 10);
  EXPECT_GT(ShownPixels(padlock.get(), 0, 0, 44, 40, 2 * 288, 2 * 179), 10);
  EXPECT_GT(ShownPixels(lowerLamp.get(), 0, 0, 22, 14, 2 * (30 + 35 + 12), 2 * 236), 5);
  SaveBackBuffer("editor_capture_200.ppm");
  // The other buttons show the background's unselected look.
  Bitmap* back = editor_->BackBuffer();
  for (int y = 2 * 97; y < 2 * (97 + 2 * 18); ++y) {
    for (int x = 2 * 387; x < 2 * 457; x += 7) {
      ASSERT_EQ(PixelAt(back, x, y), PixelAt(background_.get(), x, y)) << x << "," << y;
    }
  }
}

// Each gesture, sent at the scaled places, leaves the same host log, pattern
// and parameters at every size as at 100 %.
TEST_F(SizedEditor, GesturesAtScaledPlacesDoWhatTheyDoAt100Percent) {
  const Script drag = {{Step::kDown, 207, 125},
                       {Step::kMove, 207, 119},
                       {Step::kMove, 206, 101},
                       {Step::kMove, 208, 140},
                       {Step::kUp, 208, 140}};
  const Script cases[] = {
      editor_test::Click(30 + 35 * 5 + 25, 215),  // a time bar near its end
      editor_test::Click(30 + 35 * 15 + 33, 255 + 5),
      Then(Script{{Step::kDown, 31, 246}, {Step::kMove, 60, 246}, {Step::kMove, 99, 247}},
           Script{{Step::kUp, 99, 247}}),
      drag,
      editor_test::Click(420, 97 + 3 * 18 + 2),  // the fourth Target button
      editor_test::Click(298, 189),              // the padlock
      Then(Script{{Step::kDown, 40, 185}, {Step::kTicks, 0, 0, 30}}, Script{{Step::kUp, 40, 185}}),
      Wheel(30 + 35 * 7 + 3, 225, -240),
      DoubleClick(121, 125),  // a knob back to its default
      Then(drag, editor_test::Click(200, 184)),
  };
  for (const Script& script : cases) {
    std::vector<HostCall> log100;
    std::vector<int> pattern100;
    std::vector<float> params100;
    for (int size : kEditorSizes) {
      UseSize(size);
      FreshInstance();
      Run(script);
      Settle();
      ASSERT_EQ(Disagreements(), "") << size << ": " << Describe(script);
      std::vector<float> params;
      vst2::AEffect* effect = plug_->Effect();
      for (int i = 0; i < kHostVisibleParams; ++i)
        params.push_back(effect->getParameter(effect, i));
      if (size == 100) {
        log100 = HostLog();
        pattern100 = EnginePattern();
        params100 = params;
        continue;
      }
      EXPECT_TRUE(HostLog() == log100) << size << ": " << Describe(script);
      EXPECT_EQ(EnginePattern(), pattern100) << size << ": " << Describe(script);
      EXPECT_EQ(params, params100) << size << ": " << Describe(script);
    }
  }
}

TEST_F(SizedEditor, SizeMenuChangesTheSizeAndTheChoiceStays) {
  QueueSizeMenuChoice(150);
  RightClick(5, 280);  // the bare background
  EXPECT_EQ(editor_->SizePercent(), 150);
  EXPECT_EQ(CountCalls(vst2::audioMasterSizeWindow, 930), 1);
  EXPECT_TRUE(HostLog().back() == (HostCall{vst2::audioMasterSizeWindow, 930, 0.0f, 428}));
  EXPECT_EQ(ClientSize(), std::make_pair(930, 428));
  EXPECT_EQ(HostRect(), std::make_pair(930, 428));

  editor_->CloseEditorWindow();
  ASSERT_TRUE(editor_->OpenEditorWindow(host_));
  window_ = editor_->Window();
  EXPECT_EQ(editor_->SizePercent(), 150);
  FreshInstance();
  EXPECT_EQ(editor_->SizePercent(), 150);
  EXPECT_EQ(ClientSize(), std::make_pair(930, 428));

  // The title plate offers it too; the page link stays on the left button.
  QueueSizeMenuChoice(200);
  RightClick(ScaleCoordinate(250, 150), ScaleCoordinate(30, 150));
  EXPECT_EQ(editor_->SizePercent(), 200);
  EXPECT_EQ(LoadEditorSizeSetting(), 200);
  // A menu closed without a choice changes nothing; a right click on a
  // control is the control's own.
  RightClick(10, 10);
  RightClick(ScaleCoordinate(30 + 35 * 2 + 10, 200), ScaleCoordinate(215, 200));
  EXPECT_EQ(editor_->SizePercent(), 200);
  EXPECT_EQ(plug_->StepPattern[2], 4);  // the right click filled the bar
}

TEST_F(SizedEditor, HostContentScaleGivesTheNearestSizeUnlessTheUserChose) {
  const struct {
    float factor;
    int size;
  } cases[] = {{2.0f, 200}, {1.5f, 150}, {1.3f, 125}, {1.9f, 200}, {3.0f, 200}, {0.5f, 100}};
  for (const auto& c : cases) {
    EXPECT_EQ(AnnounceContentScale(c.factor), 1) << c.factor;
    EXPECT_EQ(editor_->SizePercent(), c.size) << c.factor;
    EXPECT_EQ(HostRect().first, EditorRectAt(c.size).right) << c.factor;
  }
  EXPECT_EQ(AnnounceContentScale(0.0f), 0);
  // Announced before the window opens, the host reads the size at once.
  editor_->CloseEditorWindow();
  AnnounceContentScale(2.0f);
  EXPECT_EQ(HostRect(), std::make_pair(1240, 570));
  ASSERT_TRUE(editor_->OpenEditorWindow(host_));
  window_ = editor_->Window();
  EXPECT_EQ(ClientSize(), std::make_pair(1240, 570));
  // The user's choice comes first.
  ASSERT_TRUE(SaveEditorSizeSetting(125));
  AnnounceContentScale(2.0f);
  EXPECT_EQ(editor_->SizePercent(), 125);
}

TEST_F(SizedEditor, MovingToAMonitorOfAnotherDensityChoosesTheSizeAgain) {
  ASSERT_TRUE(SaveEditorSizeSetting(175));  // chosen meanwhile in another instance
  EXPECT_EQ(editor_->SizePercent(), 100);
  SendMessageA(window_, 0x02E3 /* WM_DPICHANGED_AFTERPARENT */, 0, 0);
  EXPECT_EQ(editor_->SizePercent(), 175);
  EXPECT_EQ(ClientSize(), std::make_pair(1085, 499));
}

TEST_F(SizedEditor, AHostThatRefusesTheSizeKeepsAWorkingEditorInItsFrame) {
  HostResizeAnswer() = 0;
  QueueSizeMenuChoice(200);
  RightClick(5, 280);
  ASSERT_EQ(editor_->SizePercent(), 200);
  EXPECT_EQ(CountCalls(vst2::audioMasterSizeWindow, 1240), 1);
  RECT frame = {};
  GetClientRect(host_, &frame);
  EXPECT_EQ(frame.right, 700);  // the host's frame kept its size
  EXPECT_EQ(ClientSize(), std::make_pair(1240, 570));
  size_ = 200;
  background_ = SizedBackground(200);
  // Input works everywhere, and what the frame shows is drawn.
  Run(editor_test::Click(30 + 35 * 3 + 30, 215));
  Run(editor_test::Click(298, 189));  // the padlock, on from the start: off
  Settle();
  EXPECT_EQ(plug_->StepPattern[3], 4);
  EXPECT_EQ(plug_->GetParam(kTieLock)->Value(), 0.0);
  Run(editor_test::Click(298, 189));
  Settle();
  EXPECT_EQ(plug_->GetParam(kTieLock)->Value(), 1.0);
  auto padlock = Image(204);
  ASSERT_NE(padlock, nullptr);
  EXPECT_GT(ShownPixels(padlock.get(), 0, 0, 44, 40, 2 * 288, 2 * 179), 10);
}

}  // namespace
}  // namespace editor_test
