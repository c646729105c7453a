// The pattern menu in the effect's real layout, through the view's entries
// as the windows call them: what opens and closes it, each item's change,
// the keys, and its drawing at the editor's size.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

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

using R = PatternMenuRow;
constexpr int Row(R row) { return static_cast<int>(row); }

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
    const int px = ScaleCoordinate(x, view_->SizePercent()),
              py = ScaleCoordinate(y, view_->SizePercent());
    view_->OnMouseDown(px, py, MouseMods{!right, right});
    view_->OnMouseUp(px, py, MouseMods{});
  }
  void ClickButton() { Click(456, 276); }  // the button at 420-492, 270-283
  void ClickRow(R row) {
    const Rect rect = menu_->RowRect(Row(row));
    Click(rect.left + 20, (rect.top + rect.bottom) / 2);
  }
  // The button, then a row of the menu it opens.
  void Pick(R row) {
    ClickButton();
    ClickRow(row);
  }
  // Keys reach the open menu wherever the pointer is, outside the window too
  // (Windows reports where the cursor is; X11 where the pointer was).
  void Key(KeyCode key) { view_->OnKeyDown(-10, -10, key); }
  void UseKnownPattern() { plug_->Patterns()->Apply(known_, "Known", "Known pattern"); }
  std::string Status() const { return plug_->InfoText->GetText(); }
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
    Rect box;  // where the box opens; empty: it stays closed
    const char* what;
  } cases[] = {
      {456, 276, false, {342, 43, 492, 270}, "the button, above it"},
      {456, 276, true, {342, 43, 492, 270}, "the button, right click"},
      {25, 236, true, {25, 58, 175, 285}, "the frame's left border, kept inside"},
      {300, 237, true, {300, 58, 450, 285}, "the activity strip between the grids"},
      {595, 207, true, {470, 58, 620, 285}, "the frame's top right corner"},
      {25, 236, false, {}, "the frame, left click"},
      {40, 215, true, {}, "a time bar (its right click fills it)"},
      {40, 260, true, {}, "a level bar"},
      {300, 150, true, {}, "a knob"},
  };
  for (int percent : {100, 150}) {
    view_->SetSizePercent(percent);
    for (const auto& c : cases) {
      Click(c.x, c.y, c.right);
      const Rect box = menu_->IsOpen() ? menu_->Box() : Rect{};
      EXPECT_TRUE(box == c.box) << c.what << " at " << percent << ": " << box.left << ","
                                << box.top;
      Key(kKeyEscape);
    }
  }
  EXPECT_EQ(view_->sizeMenus, 0);
  // The frame and the button hold no value: a wheel notch over them changes
  // no control's value and leaves nothing asking for a redraw.
  const auto values = [this] {
    std::vector<double> all;
    for (int i = 0; i < view_->ControlCount(); ++i) all.push_back(view_->GetControl(i)->GetValue());
    return all;
  };
  const std::vector<double> before = values();
  for (int pass = 0; pass < 2; ++pass) view_->Draw(EditorRectAt(150));
  for (const auto& at : {std::pair<int, int>{116, 231}, std::pair<int, int>{456, 276}}) {
    view_->OnMouseWheel(ScaleCoordinate(at.first, 150), ScaleCoordinate(at.second, 150),
                        MouseMods{}, 1.0f);
    Rect dirty;
    EXPECT_FALSE(view_->CollectDirty(&dirty)) << at.first << "," << at.second;
    EXPECT_TRUE(values() == before) << at.first << "," << at.second;
  }
}

TEST_F(PatternMenuTest, EveryItemMakesItsOwnChangeOfAKnownPattern) {
  const int cycle = plug_->Patterns()->PlayingCycle();
  using Change = std::function<void(uint16_t*, uint32_t seed)>;
  const auto op = [cycle](PatternOp o) -> Change {
    return [=](uint16_t* p, uint32_t) { ApplyPatternOp(o, p, cycle); };
  };
  const auto random = [cycle](RandomiseKind kind, RandomiseDensity density) -> Change {
    return [=](uint16_t* p, uint32_t seed) { Randomise(p, cycle, kind, density, seed); };
  };
  const struct {
    R row;
    int densityClicks;  // on the density row first (medium, dense, sparse)
    Change change;
  } items[] = {
      {R::kShiftLeft, 0, op(PatternOp::kShiftLeft)},
      {R::kShiftRight, 0, op(PatternOp::kShiftRight)},
      {R::kReverse, 0, op(PatternOp::kReverse)},
      {R::kInvertTimes, 0, op(PatternOp::kInvertTimes)},
      {R::kInvertLevels, 0, op(PatternOp::kInvertLevels)},
      {R::kClear, 0, op(PatternOp::kClear)},
      {R::kFill, 0, op(PatternOp::kFill)},
      {R::kRandomiseTimes, 1, random(RandomiseKind::kTimes, RandomiseDensity::kDense)},
      {R::kRandomiseLevels, 1, random(RandomiseKind::kLevels, RandomiseDensity::kSparse)},
      {R::kRandomiseBoth, 2, random(RandomiseKind::kBoth, RandomiseDensity::kDense)},
      // Hits 5 -> 7 and rotation 0 -> 1 on the arrows, then the row's text runs it.
      {R::kEuclid, 0, [cycle](uint16_t* p, uint32_t) { Euclid(p, cycle, 7, 1); }},
  };
  for (const auto& item : items) {
    UseKnownPattern();
    ClickButton();
    for (int i = 0; i < item.densityClicks; ++i) ClickRow(R::kDensity);
    if (item.row == R::kEuclid) {
      const Rect hits = menu_->RowRect(Row(R::kEuclid)), turn = menu_->RowRect(Row(R::kRotation));
      const int less = hits.right - PatternMenu::kValueWidth + 2, more = hits.right - 2;
      for (int x : {more, more, more, less}) Click(x, (hits.top + hits.bottom) / 2);
      Click(more, (turn.top + turn.bottom) / 2);
      EXPECT_TRUE(PatternIs(known_));
    }
    ASSERT_TRUE(menu_->IsOpen());
    ClickRow(item.row);
    // The seed "Randomised ... (seed N...)" names; the other items name none.
    const std::string status = Status();
    const size_t at = status.find("seed ");
    uint16_t expected[kPatternEntries];
    std::copy_n(known_, kPatternEntries, expected);
    item.change(expected, at == std::string::npos
                              ? 0
                              : static_cast<uint32_t>(std::strtoul(&status[at + 5], nullptr, 10)));
    EXPECT_TRUE(PatternIs(expected)) << Row(item.row) << ": " << status;
    EXPECT_FALSE(menu_->IsOpen()) << Row(item.row);
  }
}

TEST_F(PatternMenuTest, UndoRedoCopyAndPasteItems) {
  uint16_t start[kPatternEntries];
  std::copy_n(plug_->StepPattern, kPatternEntries, start);
  // Nothing to undo: the row is greyed, a click on it does nothing.
  Pick(R::kUndo);
  EXPECT_TRUE(menu_->Rows().IsGreyed(Row(R::kUndo)));
  EXPECT_TRUE(menu_->IsOpen());
  EXPECT_TRUE(PatternIs(start));
  Key(kKeyEscape);

  UseKnownPattern();
  const struct {
    R row;
    const char* text;
    const uint16_t* after;
  } steps[] = {{R::kUndo, "Undo Known", start}, {R::kRedo, "Redo Known", known_}};
  for (const auto& step : steps) {
    ClickButton();
    char text[kInfoMessageSize];
    menu_->RowText(Row(step.row), text, sizeof(text));
    EXPECT_STREQ(text, step.text);
    ClickRow(step.row);
    EXPECT_TRUE(PatternIs(step.after)) << step.text;
  }

  // Copy puts the pattern's text on the clipboard; Paste brings it back;
  // text that is no pattern changes nothing.
  Pick(R::kCopy);
  char copied[kPatternTextSize];
  FormatPatternText(known_, plug_->Patterns()->PlayingCycle(), copied);
  EXPECT_EQ(view_->clipboard, copied);
  EXPECT_EQ(Status(), "Pattern copied");
  Pick(R::kClear);
  Pick(R::kPaste);
  EXPECT_TRUE(PatternIs(known_)) << Status();
  view_->clipboard = "hello";
  Pick(R::kPaste);
  EXPECT_TRUE(PatternIs(known_));
  EXPECT_EQ(Status(), "Not a pattern: nothing pasted");
}

TEST_F(PatternMenuTest, EscapeAClickBesideItAndFocusLossCloseItAndChangeNothing) {
  const struct {
    const char* what;
    std::function<void()> close;
  } cases[] = {
      {"Escape", [this] { Key(kKeyEscape); }},
      {"a click on a bar beside the box", [this] { Click(40, 215); }},
      {"a right click on the title plate", [this] { Click(250, 30, true); }},
      {"a click on the button again", [this] { ClickButton(); }},
      {"the focus lost", [this] { view_->OnFocusLost(); }},
  };
  UseKnownPattern();
  for (const auto& c : cases) {
    const std::string status = Status();
    ClickButton();
    ASSERT_TRUE(menu_->IsOpen()) << c.what;
    Key(kKeyDown);  // the highlight moves: still nothing is changed
    c.close();
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
  const auto highlight = [this] { return static_cast<R>(menu_->Rows().Highlight()); };
  EXPECT_EQ(highlight(), R::kCopy);
  Key(kKeyUp);
  EXPECT_EQ(highlight(), R::kFill);
  Key(kKeyDown);
  EXPECT_EQ(highlight(), R::kCopy);
  // Left and Right change only a row with a value.
  Key(kKeyRight);
  EXPECT_EQ(menu_->Rows().Hits(), 5);
  for (int i = 0; i < 11; ++i) Key(kKeyDown);
  ASSERT_EQ(highlight(), R::kEuclid);
  Key(kKeyLeft);
  EXPECT_EQ(menu_->Rows().Hits(), 4);

  // As a VST 2 host forwards them (virtual keys 4 Return, 6 Escape, 19 the
  // keypad's Enter, 14 Down): the open menu uses every key, even one it has
  // no use for; closed, Return and Escape go back to the host.
  vst2::AEffect* effect = plug_->Effect();
  const auto hostKey = [effect](int character, int virtualKey) {
    return effect->dispatcher(effect, vst2::effEditKeyDown, character, virtualKey, nullptr, 0.0f);
  };
  EXPECT_EQ(hostKey('q', 0), 1);
  EXPECT_EQ(hostKey(0, 6), 1);
  EXPECT_FALSE(menu_->IsOpen());
  EXPECT_EQ(hostKey(0, 6), 0);
  EXPECT_EQ(hostKey(0, 4), 0);
  // Something to undo: the menu opens on Undo; Down passes the greyed Redo
  // (Copy, Paste, Shift left), the keypad's Enter picks and closes.
  UseKnownPattern();
  ClickButton();
  for (int i = 0; i < 3; ++i) EXPECT_EQ(hostKey(0, 14), 1);
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
    ClickButton();
    const Rect row = menu_->RowRect(Row(R::kReverse));
    view_->OnMouseOver(ScaleCoordinate(row.left + 30, percent),
                       ScaleCoordinate(row.top + 5, percent), MouseMods{});
    ASSERT_TRUE(view_->Draw(EditorRectAt(percent)));
    Bitmap* back = view_->BackBuffer();
    // Left of the text, across the row's whole height, in window pixels.
    const Rect pixels = view_->PixelRect(row);
    const int x = pixels.left + percent / 100;
    for (int y = pixels.top; y < pixels.bottom; ++y) {
      ASSERT_EQ(PixelAt(back, x, y), highlight) << percent << "% at " << x << "," << y;
    }
    EXPECT_NE(PixelAt(back, x, pixels.top - 1), highlight) << percent;
    EXPECT_NE(PixelAt(back, x, pixels.bottom), highlight) << percent;
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
