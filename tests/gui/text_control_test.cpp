#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>
#include <thread>

#include "graphics/bitmap.h"
#include "gui/program_slot.h"
#include "gui/text_control.h"
#include "tests/gui/gui_fixture.h"

namespace {

TextStyle StatusStyle() { return TextStyle("Arial", 15, Colour{180, 255, 255, 255}, 0, 1); }

TEST(TextControl, ReplacingTheTextNeverMovesIt) {
  ITextControl text(nullptr, Rect{316, 180, 446, 198}, StatusStyle(), "");
  const char* storage = text.GetText();
  text.SetTextFromPlugin("Gate steps: 80%");
  EXPECT_STREQ(text.GetText(), "Gate steps: 80%");
  text.SetTextFromPlugin("Step 32 volume: 100%");
  text.SetTextFromPlugin(std::string(2000, 'x').c_str());
  EXPECT_EQ(text.GetText(), storage);
  EXPECT_EQ(std::strlen(text.GetText()), ITextControl::kTextCapacity - 1);
  text.SetTextFromPlugin("");
  EXPECT_EQ(text.GetText(), storage);
  EXPECT_STREQ(text.GetText(), "");
}

TEST(ProgramSlot, ShowsTheNumberAlwaysAndTheNameOnlyWhole) {
  // The line holds 22 characters: "12 " leaves 19 for the name.
  const struct {
    int index;
    const char* name;
    const char* line;
  } cases[] = {
      {0, "Mini Gate", "1 Mini Gate"},
      {11, "Ascending Volume 3", "12 Ascending Volume 3"},
      {11, "Nineteen characters", "12 Nineteen characters"},
      {11, "Twenty characters ok", "12"},
      {49, "", "50"},
      {49, nullptr, "50"},
      {8, "Exactly twenty chars", "9 Exactly twenty chars"},
      {9, "Exactly twenty chars", "10"},
  };
  for (const auto& c : cases) {
    char line[64];
    std::memset(line, '#', sizeof(line));
    ProgramSlot::FormatLine(c.index, c.name, line, sizeof(line));
    EXPECT_STREQ(line, c.line) << c.index << " " << (c.name ? c.name : "(null)");
  }
}

TEST(TextControl, NewTextIsDrawnTwiceAndTheSameTextNotAgain) {
  GuiFixture f(620, 285);
  auto* text = new ITextControl(&f.plug, Rect{316, 180, 446, 198}, StatusStyle(), "");
  f.view->AttachControl(text);
  f.Attach();
  while (f.Tick()) {
  }
  text->SetTextFromPlugin("Tie steps locked");
  EXPECT_TRUE(f.Tick());
  EXPECT_TRUE(f.Tick());
  EXPECT_FALSE(f.Tick());
  text->SetTextFromPlugin("Tie steps locked");
  EXPECT_FALSE(f.Tick());
  // Natively the text is drawn with FreeType: ink inside the box only.
  Bitmap* buffer = f.view->BackBuffer();
  std::fill(buffer->GetBits(), buffer->GetBits() + buffer->GetRowSpan() * buffer->GetHeight(),
            0xFF000000u);
  EXPECT_TRUE(text->Draw(*f.view));
  int inside = 0;
  int outside = 0;
  for (int y = 0; y < buffer->GetHeight(); ++y) {
    for (int x = 0; x < buffer->GetWidth(); ++x) {
      if (buffer->GetBits()[y * buffer->GetRowSpan() + x] == 0xFF000000u) continue;
      (x >= 316 && x < 446 && y >= 180 && y < 198 ? inside : outside) += 1;
    }
  }
  EXPECT_GT(inside, 100);
  EXPECT_EQ(outside, 0);
}

// The engine sets status messages from the audio thread while the editor
// draws. Every text a reader sees must lie inside the control's own buffer
// and be terminated there (AddressSanitizer reports any read of freed memory).
TEST(TextControl, ReaderRacingAWriterStaysInsideTheBuffer) {
  ITextControl text(nullptr, Rect{0, 0, 10, 10}, StatusStyle(), "");
  const char* storage = text.GetText();
  std::atomic<bool> done{false};
  std::thread writer([&] {
    const char* messages[] = {"Step 5 time: 75%", "Gate steps: 80%", "", "Steps volume: -25%"};
    for (int i = 0; i < 20000; ++i) text.SetTextFromPlugin(messages[i % 4]);
    done = true;
  });
  size_t longest = 0;
  char seen[ITextControl::kTextCapacity];
  while (!done) {
    ASSERT_EQ(text.GetText(), storage);
    const size_t length = text.CopyText(seen, sizeof(seen));
    ASSERT_EQ(length, strnlen(seen, sizeof(seen)));
    longest = std::max(longest, length);
  }
  writer.join();
  EXPECT_LT(longest, ITextControl::kTextCapacity);
  EXPECT_STREQ(text.GetText(), "Steps volume: -25%");
}

TEST(EditableText, MasksAndTakesTypedText) {
  GuiFixture f(620, 285);
  auto* field = new IEditableTextControl(&f.plug, Rect{0, 0, 100, 20}, StatusStyle(), "abc",
                                         Colour{255, 10, 20, 30}, true, true);
  f.view->AttachControl(field);
  f.Attach();
  f.view->OnMouseDown(5, 5, LeftButton());
  ASSERT_EQ(f.view->textPrompts.size(), 1u);
  EXPECT_EQ(f.view->textPrompts[0], field);
  f.view->ApplyTypedValue(field, nullptr, "typed");
  EXPECT_STREQ(field->GetText(), "typed");
  // The background is filled even though no text can be drawn natively.
  f.view->Draw(Rect{0, 0, 100, 20});
  EXPECT_EQ(f.view->PixelAt(50, 10), 0xFF0A141Eu);
}

}  // namespace
