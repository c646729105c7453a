// The editor window's life: opening inside a host window, the first paint,
// moving to a new parent, sharing the window class, closing; and what the
// first paint puts into the back buffer.
#include <png.h>

#include <cstdio>

#include "editor_fixture.h"
#include "engine/editor_layout.h"

namespace editor_test {
namespace {

bool ClassRegistered() {
  WNDCLASSA info;
  return GetClassInfoA(BuiltModule(), IEditorWindow::kWindowClassName, &info) != 0;
}

bool WritePng(Bitmap* bitmap, const std::string& path) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return false;
  }
  png_init_io(png, file);
  const int width = bitmap->GetWidth();
  const int height = bitmap->GetHeight();
  png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  std::vector<png_byte> row(static_cast<size_t>(width) * 3);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const uint32_t pixel = PixelAt(bitmap, x, y);
      row[static_cast<size_t>(x) * 3] = static_cast<png_byte>(pixel >> 16);
      row[static_cast<size_t>(x) * 3 + 1] = static_cast<png_byte>(pixel >> 8);
      row[static_cast<size_t>(x) * 3 + 2] = static_cast<png_byte>(pixel);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return std::fclose(file) == 0;
}

TEST_F(OpenEditor, OpensAsChildOfTheHostWindowAtTheEditorSize) {
  ASSERT_NE(window_, nullptr);
  EXPECT_EQ(GetParent(window_), host_);
  EXPECT_EQ(editor_->GetEditorHwnd(), window_);
  EXPECT_TRUE(editor_->IsWindowOpen());
  char className[32] = {};
  GetClassNameA(window_, className, sizeof(className));
  EXPECT_STREQ(className, "IPlugWndClass");
  RECT client = {};
  GetClientRect(window_, &client);
  EXPECT_EQ(client.right, kEditorWidth);
  EXPECT_EQ(client.bottom, kEditorHeight);
  EXPECT_TRUE(GetWindowLongA(window_, GWL_STYLE) & WS_CHILD);
  EXPECT_EQ(IEditorWindow::OpenWindowCount(), 1);
}

TEST_F(OpenEditor, FirstPaintDrawsTheWholeEditorIntoTheBackBuffer) {
  Bitmap* back = editor_->BackBuffer();
  ASSERT_NE(back, nullptr);
  ASSERT_EQ(back->GetWidth(), kEditorWidth);
  // Time bars start at 2 quarters: the left half of each is filled opaquely.
  const uint32_t timeBarColour = 0xFF82C3FF;
  EXPECT_EQ(PixelAt(back, 31, 215), timeBarColour);  // step 1, x 30..46
  EXPECT_EQ(PixelAt(back, 46, 219), timeBarColour);
  EXPECT_NE(PixelAt(back, 48, 215), timeBarColour);   // right half: the empty cell
  EXPECT_EQ(PixelAt(back, 556, 249), timeBarColour);  // step 32, lower grid
  // Volume bars start full: drawn at 200/255 over the background, so every
  // pixel of the bar differs from the background image there.
  auto background = Image(100);
  ASSERT_NE(background, nullptr);
  for (int x : {30, 47, 63}) {
    EXPECT_NE(PixelAt(back, x, 225), PixelAt(background.get(), x, 225)) << x;
  }
  // Outside every control the background shows unchanged.
  EXPECT_EQ(PixelAt(back, 5, 280), PixelAt(background.get(), 5, 280));

  // The screenshot artefact shows the editor as first shown: nothing above
  // may have edited it, so its values and pattern are a new instance's.
  VSTCLASS untouched(RecordingHost);
  for (int i = 0; i < kGateParamCount; ++i) {
    ASSERT_EQ(plug_->GetParam(i)->Value(), untouched.GetParam(i)->Value()) << i;
  }
  for (int k = 0; k < kPatternEntries; ++k) {
    ASSERT_EQ(plug_->StepPattern[k], untouched.StepPattern[k]) << k;
  }
  EXPECT_TRUE(WritePng(back, DirectoryOfModule(nullptr) + "editor.png"));
}

TEST_F(OpenEditor, SelectedTargetAndPadlockAreDrawnFromTheirImages) {
  Bitmap* back = editor_->BackBuffer();
  auto radio = Image(105);
  auto padlock = Image(104);
  auto background = Image(100);
  ASSERT_NE(radio, nullptr);
  ASSERT_NE(padlock, nullptr);
  ASSERT_NE(background, nullptr);
  // Only pixels where the image differs from the background can tell whether
  // it was drawn.
  auto telling = [&](Bitmap* image, int x, int y, int atX, int atY) {
    const uint32_t source = OpaquePixel(image, x, y);
    return source != PixelAt(background.get(), atX, atY) ? source : 0;
  };
  // Target starts at its first entry: the top button shows rows 0..17 of the
  // selector image; Tie Lock starts on, so the padlock image is drawn.
  int compared = 0;
  for (int y = 0; y < 18; y += 3) {
    for (int x = 0; x < 70; x += 5) {
      const uint32_t source = telling(radio.get(), x, y, 387 + x, 97 + y);
      if (source == 0) continue;
      EXPECT_EQ(PixelAt(back, 387 + x, 97 + y), source) << x << "," << y;
      ++compared;
    }
  }
  for (int y = 0; y < 20; y += 2) {
    for (int x = 0; x < 22; x += 2) {
      const uint32_t source = telling(padlock.get(), x, y, 288 + x, 179 + y);
      if (source == 0) continue;
      EXPECT_EQ(PixelAt(back, 288 + x, 179 + y), source) << x << "," << y;
      ++compared;
    }
  }
  EXPECT_GT(compared, 20);

  // Choosing the third entry moves the selected look to rows 36..53.
  Click(420, 140);
  Tick();
  int thirdCompared = 0;
  for (int x = 0; x < 70; x += 5) {
    const uint32_t source = telling(radio.get(), x, 40, 387 + x, 97 + 40);
    if (source == 0) continue;
    EXPECT_EQ(PixelAt(back, 387 + x, 97 + 40), source) << x;
    ++thirdCompared;
  }
  EXPECT_GT(thirdCompared, 3);
}

TEST_F(OpenEditor, LampFollowsThePlayingStepOnEveryTick) {
  Bitmap* back = editor_->BackBuffer();
  auto lamp = Image(107);
  auto lowerLamp = Image(108);
  auto background = Image(100);
  ASSERT_NE(background, nullptr);
  ASSERT_NE(lamp, nullptr);
  ASSERT_NE(lowerLamp, nullptr);

  // Lamp pixels that differ from the background must be in the back buffer;
  // returns how many there were.
  auto lampPixelsShown = [&](Bitmap* image, int left, int top) {
    int compared = 0;
    for (int y = 0; y < 7; ++y) {
      for (int x = 0; x < 11; ++x) {
        const uint32_t source = OpaquePixel(image, x, y);
        if (source == 0 || source == PixelAt(background.get(), left + x, top + y)) continue;
        EXPECT_EQ(PixelAt(back, left + x, top + y), source);
        ++compared;
      }
    }
    return compared;
  };

  plug_->currentStep = 3;  // upper row: hangs from the strip's top
  Tick();
  const int x3 = 30 + 35 * 3 + 12;
  EXPECT_GT(lampPixelsShown(lamp.get(), x3, 230), 0);

  plug_->currentStep = 17;  // lower row, second column: sits on the strip's bottom
  Tick();
  EXPECT_GT(lampPixelsShown(lowerLamp.get(), 30 + 35 * 1 + 12, 236), 0);
  // The lamp of step 4 is gone: the background shows there again.
  for (int y = 0; y < 7; ++y) {
    for (int x = 0; x < 11; ++x) {
      EXPECT_EQ(PixelAt(back, x3 + x, 230 + y), PixelAt(background.get(), x3 + x, 230 + y));
    }
  }
}

TEST_F(OpenEditor, ClosingDestroysTheWindowAndReleasesTheClass) {
  EXPECT_TRUE(ClassRegistered());
  editor_->CloseEditorWindow();
  EXPECT_FALSE(IsWindow(window_));
  EXPECT_EQ(editor_->GetEditorHwnd(), nullptr);
  EXPECT_FALSE(editor_->IsWindowOpen());
  EXPECT_EQ(IEditorWindow::OpenWindowCount(), 0);
  EXPECT_FALSE(ClassRegistered());
  editor_->CloseEditorWindow();  // a second close does nothing
  EXPECT_EQ(IEditorWindow::OpenWindowCount(), 0);
}

TEST_F(OpenEditor, WindowCloseMessageClosesTheEditor) {
  SendMessageA(window_, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(window_));
  EXPECT_FALSE(editor_->IsWindowOpen());
  EXPECT_EQ(IEditorWindow::OpenWindowCount(), 0);
}

TEST_F(OpenEditor, ReopeningMovesTheEditorIntoTheNewParent) {
  SetWindowPos(window_, nullptr, 10, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  HWND secondHost = CreateHostWindow(300, 200);
  RECT oldRect = {};
  GetWindowRect(window_, &oldRect);

  ASSERT_TRUE(editor_->OpenEditorWindow(secondHost));
  HWND moved = editor_->Window();
  EXPECT_FALSE(IsWindow(window_));
  EXPECT_EQ(GetParent(moved), secondHost);
  EXPECT_EQ(editor_->Parent(), secondHost);
  EXPECT_EQ(IEditorWindow::OpenWindowCount(), 1);
  // Same place on screen as before, now relative to the new parent.
  RECT newRect = {};
  GetWindowRect(moved, &newRect);
  EXPECT_EQ(newRect.left, oldRect.left);
  EXPECT_EQ(newRect.top, oldRect.top);
  EXPECT_EQ(newRect.right - newRect.left, kEditorWidth);

  editor_->CloseEditorWindow();
  DestroyWindow(secondHost);
}

TEST(EditorWindowClass, TwoEditorsShareOneRegistration) {
  ASSERT_NE(BuiltModule(), nullptr);
  SetEffectModuleInstance(BuiltModule());
  VSTCLASS first(RecordingHost);
  VSTCLASS second(RecordingHost);
  auto* firstEditor = dynamic_cast<IEditorWindow*>(first.Editor());
  auto* secondEditor = dynamic_cast<IEditorWindow*>(second.Editor());
  ASSERT_NE(firstEditor, nullptr);
  ASSERT_NE(secondEditor, nullptr);
  HWND host = CreateHostWindow(50, 50);

  ASSERT_TRUE(firstEditor->OpenEditorWindow(host));
  ASSERT_TRUE(secondEditor->OpenEditorWindow(host));
  EXPECT_EQ(IEditorWindow::OpenWindowCount(), 2);
  firstEditor->CloseEditorWindow();
  EXPECT_EQ(IEditorWindow::OpenWindowCount(), 1);
  EXPECT_TRUE(ClassRegistered());
  EXPECT_TRUE(IsWindow(secondEditor->Window()));
  secondEditor->CloseEditorWindow();
  EXPECT_EQ(IEditorWindow::OpenWindowCount(), 0);
  EXPECT_FALSE(ClassRegistered());
  DestroyWindow(host);
}

}  // namespace
}  // namespace editor_test
