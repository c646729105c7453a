// The pattern menu in the effect's real layout, through the view's entries
// as the windows call them: the button and the grid's frame open it, each
// item makes its own change of a known pattern, Escape, a click beside it and
// the focus lost close it with nothing else happening (the click heard by
// nothing beneath), the keys move as the header says, and it is drawn over
// the editor at the editor's size.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <utility>

#include "engine/editor_layout.h"
#include "engine/gate_plug.h"
#include "engine/pattern_ops.h"
#include "engine/pattern_text.h"
#include "graphics/bitmap.h"
#include "gui/editor_scale.h"
#include "gui/pattern_editor.h"
#include "gui/pattern_menu.h"
#include "gui/text_control.h"
#include "support/project_image_view.h"

namespace {

// The project's view with a clipboard of its own and a count of size menus.
class MenuTestView : public ProjectImageView {
 public:
  using ProjectImageView::ProjectImageView;
  bool CopyToClipboard(const char* text) override {
    clipboard = text;
    return true;
  }
  bool PasteFromClipboard(std::string* text) override {
    *text = clipboard;
    return !clipboard.empty();
  }
  int PromptSizeMenu(int, int, int) override {
    ++sizeMenus;
    return 0;
  }
  std::string clipboard;
  int sizeMenus = 0;
};

constexpr int Row(PatternMenuRow row) { return static_cast<int>(row); }
constexpr Rect kButton = {420, 270, 492, 283};

class PatternMenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plug_ = std::make_unique<VSTCLASS>(SilentHost);
    view_ = new MenuTestView(plug_.get());
    AttachEditorLayout(plug_.get(), plug_.get(), view_);
    menu_ = dynamic_cast<PatternMenu*>(view_->GetControl(view_->ControlCount() - 1));
    ASSERT_NE(menu_, nullptr);
    for (int k = 0; k < kPatternEntries; ++k) {
      known_[k] = static_cast<uint16_t>(k < 32 ? k % 5 : (k * 3 + 1) % 5);
    }
  }

  // A press and release at a layout point, at the editor's current size.
  void Click(int x, int y, bool right = false) {
    MouseMods mods;
    mods.L = !right;
    mods.R = right;
    const int px = ScaleCoordinate(x, view_->SizePercent());
    const int py = ScaleCoordinate(y, view_->SizePercent());
    view_->OnMouseDown(px, py, mods);
    view_->OnMouseUp(px, py, MouseMods{});
  }
  void ClickButton() {
    Click((kButton.left + kButton.right) / 2, (kButton.top + kButton.bottom) / 2);
  }
  // A click on a row of the open menu, `dx` layout pixels from its left.
  void ClickRow(int row, int dx = 20) {
    const Rect rect = menu_->RowRect(row);
    Click(rect.left + dx, (rect.top + rect.bottom) / 2);
  }
  void ClickArrow(int row, int direction) {
    const Rect rect = menu_->RowRect(row);
    Click(direction < 0 ? rect.right - PatternMenu::kValueWidth + 2 : rect.right - 2,
          (rect.top + rect.bottom) / 2);
  }
  // Keys reach the open menu wherever the pointer is, outside the window too
  // (Windows reports where the cursor is; X11 where the pointer was).
  void Key(KeyCode key) { view_->OnKeyDown(-10, -10, key); }
  void UseKnownPattern() {
    plug_->Patterns()->Apply(known_, "Known", "Known pattern");
    ASSERT_TRUE(std::equal(known_, known_ + kPatternEntries, plug_->StepPattern));
  }
  std::string Status() const { return plug_->InfoText->GetText(); }
  // The seed "Randomised ... (seed N...)" names.
  uint32_t SeedInStatus() const {
    const std::string status = Status();
    const size_t at = status.find("seed ");
    EXPECT_NE(at, std::string::npos) << status;
    return at == std::string::npos
               ? 0
               : static_cast<uint32_t>(std::strtoul(&status[at + 5], nullptr, 10));
  }
  bool PatternIs(const uint16_t* expected) const {
    return std::equal(expected, expected + kPatternEntries, plug_->StepPattern);
  }

  std::unique_ptr<VSTCLASS> plug_;
  MenuTestView* view_ = nullptr;  // owned by the plug-in once attached
  PatternMenu* menu_ = nullptr;
  uint16_t known_[kPatternEntries] = {};
};

TEST_F(PatternMenuTest, OpensFromTheButtonAndARightClickOnTheGridsFrame) {
  const struct {
    int x, y;
    bool right;
    bool opens;
    Rect box;  // where the box opens
    const char* what;
  } cases[] = {
      {456, 276, false, true, {342, 43, 492, 270}, "the button, above it"},
      {456, 276, true, true, {342, 43, 492, 270}, "the button, right click"},
      {25, 236, true, true, {25, 58, 175, 285}, "the frame's left border, kept inside"},
      {300, 237, true, true, {300, 58, 450, 285}, "the activity strip between the grids"},
      {595, 207, true, true, {470, 58, 620, 285}, "the frame's top right corner"},
      {25, 236, false, false, {}, "the frame, left click"},
      {40, 215, true, false, {}, "a time bar (its right click fills it)"},
      {40, 260, true, false, {}, "a level bar"},
      {300, 150, true, false, {}, "a knob"},
  };
  for (int percent : {100, 150}) {
    view_->SetSizePercent(percent);
    for (const auto& c : cases) {
      Click(c.x, c.y, c.right);
      EXPECT_EQ(menu_->IsOpen(), c.opens) << c.what << " at " << percent;
      if (!c.opens) continue;
      EXPECT_TRUE(menu_->Box() == c.box)
          << c.what << ": " << menu_->Box().left << "," << menu_->Box().top;
      Key(kKeyEscape);
      ASSERT_FALSE(menu_->IsOpen());
    }
  }
  EXPECT_EQ(view_->sizeMenus, 0);
  // The frame and the button hold no value: a wheel notch over them leaves
  // nothing asking for a redraw (the frame, never drawn, would ask forever).
  for (int pass = 0; pass < 2; ++pass) view_->Draw(EditorRectAt(150));
  for (const auto& at : {std::pair<int, int>{116, 231}, std::pair<int, int>{456, 276}}) {
    view_->OnMouseWheel(ScaleCoordinate(at.first, 150), ScaleCoordinate(at.second, 150),
                        MouseMods{}, 1.0f);
    Rect dirty;
    EXPECT_FALSE(view_->CollectDirty(&dirty)) << at.first << "," << at.second;
  }
}

TEST_F(PatternMenuTest, EveryItemMakesItsOwnChangeOfAKnownPattern) {
  const int cycle = plug_->Patterns()->PlayingCycle();
  const struct {
    PatternMenuRow row;
    PatternOp op;
  } ops[] = {
      {PatternMenuRow::kShiftLeft, PatternOp::kShiftLeft},
      {PatternMenuRow::kShiftRight, PatternOp::kShiftRight},
      {PatternMenuRow::kReverse, PatternOp::kReverse},
      {PatternMenuRow::kInvertTimes, PatternOp::kInvertTimes},
      {PatternMenuRow::kInvertLevels, PatternOp::kInvertLevels},
      {PatternMenuRow::kClear, PatternOp::kClear},
      {PatternMenuRow::kFill, PatternOp::kFill},
  };
  for (const auto& item : ops) {
    UseKnownPattern();
    ClickButton();
    ClickRow(Row(item.row));
    uint16_t expected[kPatternEntries];
    std::copy_n(known_, kPatternEntries, expected);
    ApplyPatternOp(item.op, expected, cycle);
    EXPECT_TRUE(PatternIs(expected)) << Row(item.row);
    EXPECT_FALSE(menu_->IsOpen()) << Row(item.row);
  }

  // Randomise with each kind, the density picked in the menu first.
  const struct {
    PatternMenuRow row;
    RandomiseKind kind;
    int densitySteps;  // clicks on the density row (medium, dense, sparse)
    RandomiseDensity density;
  } randoms[] = {
      {PatternMenuRow::kRandomiseTimes, RandomiseKind::kTimes, 1, RandomiseDensity::kDense},
      {PatternMenuRow::kRandomiseLevels, RandomiseKind::kLevels, 1, RandomiseDensity::kSparse},
      {PatternMenuRow::kRandomiseBoth, RandomiseKind::kBoth, 2, RandomiseDensity::kDense},
  };
  for (const auto& item : randoms) {
    UseKnownPattern();
    ClickButton();
    for (int i = 0; i < item.densitySteps; ++i) ClickRow(Row(PatternMenuRow::kDensity));
    ASSERT_TRUE(menu_->IsOpen());
    EXPECT_EQ(menu_->Rows().Density(), item.density);
    ClickRow(Row(item.row));
    uint16_t expected[kPatternEntries];
    std::copy_n(known_, kPatternEntries, expected);
    Randomise(expected, cycle, item.kind, item.density, SeedInStatus());
    EXPECT_TRUE(PatternIs(expected)) << Row(item.row) << ": " << Status();
  }

  // Euclid: hits 5 -> 7 and rotation 0 -> 1 on the arrows, then the row's text runs it.
  UseKnownPattern();
  ClickButton();
  ClickArrow(Row(PatternMenuRow::kEuclid), 1);
  ClickArrow(Row(PatternMenuRow::kEuclid), 1);
  ClickArrow(Row(PatternMenuRow::kEuclid), 1);
  ClickArrow(Row(PatternMenuRow::kEuclid), -1);
  ClickArrow(Row(PatternMenuRow::kRotation), 1);
  ASSERT_TRUE(menu_->IsOpen());
  EXPECT_TRUE(PatternIs(known_));
  ClickRow(Row(PatternMenuRow::kEuclid));
  uint16_t expected[kPatternEntries];
  std::copy_n(known_, kPatternEntries, expected);
  Euclid(expected, cycle, 7, 1);
  EXPECT_TRUE(PatternIs(expected)) << Status();
  EXPECT_FALSE(menu_->IsOpen());
}

TEST_F(PatternMenuTest, UndoRedoCopyAndPasteItems) {
  uint16_t start[kPatternEntries];
  std::copy_n(plug_->StepPattern, kPatternEntries, start);
  // Nothing to undo: the row is greyed, a click on it does nothing.
  ClickButton();
  EXPECT_TRUE(menu_->Rows().IsGreyed(Row(PatternMenuRow::kUndo)));
  ClickRow(Row(PatternMenuRow::kUndo));
  EXPECT_TRUE(menu_->IsOpen());
  EXPECT_TRUE(PatternIs(start));
  Key(kKeyEscape);

  UseKnownPattern();
  ClickButton();
  char text[kInfoMessageSize];
  menu_->RowText(Row(PatternMenuRow::kUndo), text, sizeof(text));
  EXPECT_STREQ(text, "Undo Known");
  ClickRow(Row(PatternMenuRow::kUndo));
  EXPECT_TRUE(PatternIs(start));
  ClickButton();
  menu_->RowText(Row(PatternMenuRow::kRedo), text, sizeof(text));
  EXPECT_STREQ(text, "Redo Known");
  ClickRow(Row(PatternMenuRow::kRedo));
  EXPECT_TRUE(PatternIs(known_));

  // Copy puts the pattern's text on the clipboard; Paste brings it back.
  ClickButton();
  ClickRow(Row(PatternMenuRow::kCopy));
  char copied[kPatternTextSize];
  FormatPatternText(known_, plug_->Patterns()->PlayingCycle(), copied);
  EXPECT_EQ(view_->clipboard, copied);
  EXPECT_EQ(Status(), "Pattern copied");
  ClickButton();
  ClickRow(Row(PatternMenuRow::kClear));
  EXPECT_FALSE(PatternIs(known_));
  ClickButton();
  ClickRow(Row(PatternMenuRow::kPaste));
  EXPECT_TRUE(PatternIs(known_)) << Status();

  // Text that is no pattern changes nothing.
  view_->clipboard = "hello";
  ClickButton();
  ClickRow(Row(PatternMenuRow::kFill));
  uint16_t filled[kPatternEntries];
  std::copy_n(plug_->StepPattern, kPatternEntries, filled);
  ClickButton();
  ClickRow(Row(PatternMenuRow::kPaste));
  EXPECT_TRUE(PatternIs(filled));
  EXPECT_EQ(Status(), "Not a pattern: nothing pasted");
}

TEST_F(PatternMenuTest, EscapeAClickBesideItAndFocusLossCloseItAndChangeNothing) {
  enum Closer { kEscape, kClickOnABar, kRightClickOnTheTitle, kClickOnTheButton, kFocusLost };
  const struct {
    Closer closer;
    const char* what;
  } cases[] = {
      {kEscape, "Escape"},
      {kClickOnABar, "a click on a bar beside the box"},
      {kRightClickOnTheTitle, "a right click on the title plate"},
      {kClickOnTheButton, "a click on the button again"},
      {kFocusLost, "the focus lost"},
  };
  UseKnownPattern();
  for (const auto& c : cases) {
    const std::string status = Status();
    ClickButton();
    ASSERT_TRUE(menu_->IsOpen()) << c.what;
    Key(kKeyDown);  // the highlight moves: still nothing is changed
    switch (c.closer) {
      case kEscape:
        Key(kKeyEscape);
        break;
      case kClickOnABar:
        Click(40, 215);
        break;
      case kRightClickOnTheTitle:
        Click(250, 30, true);
        break;
      case kClickOnTheButton:
        ClickButton();
        break;
      case kFocusLost:
        view_->OnFocusLost();
        break;
    }
    EXPECT_FALSE(menu_->IsOpen()) << c.what;
    EXPECT_TRUE(PatternIs(known_)) << c.what;
    EXPECT_EQ(Status(), status) << c.what;
    EXPECT_STREQ(plug_->Patterns()->History().UndoLabel(), "Known") << c.what;
    EXPECT_EQ(view_->CapturedControl(), -1) << c.what;
  }
  EXPECT_EQ(view_->sizeMenus, 0);
  // Closed, the same click reaches the bar again.
  Click(40, 215);
  EXPECT_NE(plug_->StepPattern[0], known_[0]);
}

TEST_F(PatternMenuTest, KeysMoveWrappingPastGreyedRowsChangeValuesAndPick) {
  ClickButton();
  // Nothing to undo or redo: Copy first, Up wraps past the greyed rows to Fill.
  EXPECT_EQ(menu_->Rows().Highlight(), Row(PatternMenuRow::kCopy));
  Key(kKeyUp);
  EXPECT_EQ(menu_->Rows().Highlight(), Row(PatternMenuRow::kFill));
  Key(kKeyDown);
  EXPECT_EQ(menu_->Rows().Highlight(), Row(PatternMenuRow::kCopy));
  // Left and Right change only a row with a value.
  Key(kKeyRight);
  EXPECT_EQ(menu_->Rows().Hits(), 5);
  for (int i = 0; i < 11; ++i) Key(kKeyDown);
  ASSERT_EQ(menu_->Rows().Highlight(), Row(PatternMenuRow::kEuclid));
  Key(kKeyLeft);
  EXPECT_EQ(menu_->Rows().Hits(), 4);
  // Enter on Fill fills and closes.
  for (int i = 0; i < 12; ++i) Key(kKeyUp);
  EXPECT_EQ(menu_->Rows().Highlight(), Row(PatternMenuRow::kFill));
  Key(kKeyReturn);
  EXPECT_FALSE(menu_->IsOpen());
  for (int k = 0; k < plug_->Patterns()->PlayingCycle(); ++k) {
    EXPECT_EQ(plug_->StepPattern[k], 4) << k;
    EXPECT_EQ(plug_->StepPattern[32 + k], 4) << k;
  }
  // Closed, keys are no longer the menu's.
  Key(kKeyReturn);
  EXPECT_FALSE(menu_->IsOpen());

  // As a VST 2 host forwards them (virtual keys 4 Return, 6 Escape, 19 the
  // keypad's Enter, 14 Down): the open menu uses every key, even one it has
  // no use for; closed, Return and Escape go back to the host.
  vst2::AEffect* effect = plug_->Effect();
  const auto hostKey = [effect](int character, int virtualKey) {
    return effect->dispatcher(effect, vst2::effEditKeyDown, character, virtualKey, nullptr, 0.0f);
  };
  UseKnownPattern();
  ClickButton();
  EXPECT_EQ(hostKey('q', 0), 1);
  EXPECT_EQ(hostKey(0, 6), 1);
  EXPECT_FALSE(menu_->IsOpen());
  EXPECT_EQ(hostKey(0, 6), 0);
  EXPECT_EQ(hostKey(0, 4), 0);
  // Something to undo: the menu opens on Undo; Down passes the greyed Redo.
  ClickButton();
  for (const char* next : {"Copy", "Paste", "Shift left"}) {
    EXPECT_EQ(hostKey(0, 14), 1) << next;
  }
  EXPECT_EQ(hostKey(0, 19), 1);
  EXPECT_FALSE(menu_->IsOpen());
  EXPECT_EQ(plug_->StepPattern[0], known_[1]) << "step 2 moved to step 1";
  ClickButton();
  EXPECT_EQ(hostKey(0, 4), 1);
  EXPECT_TRUE(PatternIs(known_)) << Status();
}

uint32_t PixelAt(Bitmap* bitmap, int x, int y) { return ViewOf(bitmap).Row(y)[x]; }

TEST_F(PatternMenuTest, DrawnOverTheEditorWithTheHighlightAtTheScaledPlace) {
  const uint32_t highlight = 0xFF426EAAu;
  for (int percent : {100, 200}) {
    view_->SetSizePercent(percent);
    const Rect window = EditorRectAt(percent);
    ClickButton();
    const Rect row = menu_->RowRect(Row(PatternMenuRow::kReverse));
    const Rect other = menu_->RowRect(Row(PatternMenuRow::kShiftRight));
    view_->OnMouseOver(ScaleCoordinate(row.left + 30, percent),
                       ScaleCoordinate(row.top + 5, percent), MouseMods{});
    ASSERT_EQ(menu_->Rows().Highlight(), Row(PatternMenuRow::kReverse));
    ASSERT_TRUE(view_->Draw(window));
    Bitmap* back = view_->BackBuffer();
    // Left of the text, across the row's whole height, in window pixels.
    const Rect pixels = view_->PixelRect(row);
    const int x = pixels.left + percent / 100;
    for (int y = pixels.top; y < pixels.bottom; ++y) {
      ASSERT_EQ(PixelAt(back, x, y), highlight) << percent << "% at " << x << "," << y;
    }
    EXPECT_NE(PixelAt(back, x, pixels.top - 1), highlight) << percent;
    EXPECT_NE(PixelAt(back, x, pixels.bottom), highlight) << percent;
    EXPECT_NE(PixelAt(back, x, view_->PixelRect(other).top + 2), highlight) << percent;
    // The box's edge is drawn at its scaled place; outside it is the editor.
    const Rect box = view_->PixelRect(menu_->Box());
    EXPECT_EQ(PixelAt(back, box.left, (box.top + box.bottom) / 2), 0xFF000000u) << percent;
    EXPECT_NE(PixelAt(back, box.left - 1, (box.top + box.bottom) / 2), 0xFF000000u) << percent;
    // Closed, the next pass draws what was under it.
    Key(kKeyEscape);
    Rect dirty;
    ASSERT_TRUE(view_->CollectDirty(&dirty));
    view_->Draw(view_->PixelRect(dirty));
    EXPECT_NE(PixelAt(back, x, (pixels.top + pixels.bottom) / 2), highlight) << percent;
  }
}

}  // namespace
