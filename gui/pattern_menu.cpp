#include "gui/pattern_menu.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <string>

#include "engine/pattern_messages.h"
#include "engine/pattern_text.h"
#include "gui/editor_view.h"
#include "gui/pattern_editor.h"

namespace {

const Colour kPaper{250, 26, 29, 36};
const Colour kEdge{255, 0, 0, 0};
const Colour kRule{255, 58, 64, 76};
const Colour kHighlight{255, 66, 110, 170};
const Colour kArrow{255, 130, 195, 255};
const Colour kInk{255, 214, 220, 230};
const Colour kGreyInk{255, 100, 108, 120};
constexpr int kTextSize = 11;
constexpr int kTextInset = 8;
constexpr int kArrowHalfHeight = 3;

TextStyle RowStyle(const Colour& colour, int alignment) {
  return TextStyle("Arial", kTextSize, colour, 0, alignment);
}

// The rows that run a pattern operation, and which.
struct OpRow {
  PatternMenuRow row;
  PatternOp op;
};
constexpr OpRow kOpRows[] = {
    {PatternMenuRow::kShiftLeft, PatternOp::kShiftLeft},
    {PatternMenuRow::kShiftRight, PatternOp::kShiftRight},
    {PatternMenuRow::kReverse, PatternOp::kReverse},
    {PatternMenuRow::kInvertTimes, PatternOp::kInvertTimes},
    {PatternMenuRow::kInvertLevels, PatternOp::kInvertLevels},
    {PatternMenuRow::kClear, PatternOp::kClear},
    {PatternMenuRow::kFill, PatternOp::kFill},
};

// The rows that randomise, and what.
struct RandomiseRow {
  PatternMenuRow row;
  RandomiseKind kind;
};
constexpr RandomiseRow kRandomiseRows[] = {
    {PatternMenuRow::kRandomiseTimes, RandomiseKind::kTimes},
    {PatternMenuRow::kRandomiseLevels, RandomiseKind::kLevels},
    {PatternMenuRow::kRandomiseBoth, RandomiseKind::kBoth},
};

// Rows whose label is fixed here.
struct NamedRow {
  PatternMenuRow row;
  const char* name;
};
constexpr NamedRow kNamedRows[] = {
    {PatternMenuRow::kCopy, "Copy"},         {PatternMenuRow::kPaste, "Paste"},
    {PatternMenuRow::kDensity, "Density"},   {PatternMenuRow::kEuclid, "Euclidean"},
    {PatternMenuRow::kRotation, "Rotation"},
};

template <typename Entry, size_t count>
const Entry* FindRow(const Entry (&table)[count], PatternMenuRow row) {
  for (const Entry& entry : table) {
    if (entry.row == row) return &entry;
  }
  return nullptr;
}

// A small triangle pointing left (-1) or right (+1), centred on (x, y):
// columns one pixel wide growing towards its base.
void DrawArrow(IEditorView& view, int x, int y, int direction) {
  for (int i = 0; i <= kArrowHalfHeight; ++i) {
    const int column = x + direction * (i - kArrowHalfHeight / 2);
    view.FillColourRect(kArrow, Rect{column, y - i, column + 1, y + i + 1}, nullptr);
  }
}

}  // namespace

PatternMenu::PatternMenu(IPlugBase* plug, const Rect& editor, PatternEditor* patterns)
    : IControl(plug, editor), patterns_(patterns), editor_(editor) {
  hidden_ = true;
  // A quick second click is one more click on the menu.
  SetDoubleClickAsMouseDown(true);
}

void PatternMenu::OpenAt(int x, int y) {
  const int left = std::clamp(x, editor_.left, editor_.right - kWidth);
  const int top = std::clamp(y, editor_.top, editor_.bottom - kHeight);
  Open(Rect{left, top, left + kWidth, top + kHeight});
}

void PatternMenu::OpenAbove(const Rect& anchor) {
  OpenAt(anchor.right - kWidth, anchor.top - kHeight);
}

void PatternMenu::Open(const Rect& box) {
  box_ = box;
  const PatternHistory& history = patterns_->History();
  rows_.Open(history.CanUndo(), history.CanRedo(), patterns_->PlayingCycle());
  SetHidden(false);
}

void PatternMenu::Close() {
  if (hidden_) return;
  SetHidden(true);
}

void PatternMenu::OnFocusLost() { Close(); }

Rect PatternMenu::RowRect(int row) const {
  const int top = box_.top + kPadding + row * kRowHeight;
  return Rect{box_.left + 1, top, box_.right - 1, top + kRowHeight};
}

int PatternMenu::RowAt(int x, int y) const {
  if (x < box_.left || x >= box_.right || y < box_.top + kPadding) return -1;
  const int row = (y - box_.top - kPadding) / kRowHeight;
  return row < kPatternMenuRowCount ? row : -1;
}

void PatternMenu::RowText(int row, char* buffer, int size) const {
  const auto kind = static_cast<PatternMenuRow>(row);
  const PatternHistory& history = patterns_->History();
  char text[kInfoMessageSize] = {};
  if (const OpRow* op = FindRow(kOpRows, kind)) {
    std::snprintf(text, sizeof(text), "%s", PatternOpLabel(op->op));
  } else if (const RandomiseRow* randomise = FindRow(kRandomiseRows, kind)) {
    std::snprintf(text, sizeof(text), "%s", RandomiseLabel(randomise->kind));
  } else if (kind == PatternMenuRow::kUndo || kind == PatternMenuRow::kRedo) {
    const bool redo = kind == PatternMenuRow::kRedo;
    const bool can = redo ? history.CanRedo() : history.CanUndo();
    const char* label = redo ? history.RedoLabel() : history.UndoLabel();
    FormatUndoMenuItem(text, redo, can ? label : nullptr);
  } else if (const NamedRow* named = FindRow(kNamedRows, kind)) {
    std::snprintf(text, sizeof(text), "%s", named->name);
  }
  std::snprintf(buffer, static_cast<size_t>(size), "%s", text);
}

bool PatternMenu::Draw(IEditorView& view) {
  view.FillColourRect(kEdge, box_, nullptr);
  view.FillColourRect(kPaper, Rect{box_.left + 1, box_.top + 1, box_.right - 1, box_.bottom - 1},
                      nullptr);
  for (int row = 0; row < kPatternMenuRowCount; ++row) {
    const Rect rect = RowRect(row);
    const auto kind = static_cast<PatternMenuRow>(row);
    if (row > 0 && StartsPatternMenuGroup(kind)) {
      view.FillColourRect(kRule, Rect{rect.left + 4, rect.top, rect.right - 4, rect.top + 1},
                          nullptr);
    }
    if (row == rows_.Highlight()) view.FillColourRect(kHighlight, rect, nullptr);
    char text[kInfoMessageSize] = {};
    RowText(row, text, sizeof(text));
    TextStyle style = RowStyle(rows_.IsGreyed(row) ? kGreyInk : kInk, TextStyle::kLeft);
    view.DrawTextInRect(style, text,
                        Rect{rect.left + kTextInset, rect.top, rect.right, rect.bottom});
    if (!HasPatternMenuValue(kind)) continue;
    char value[32] = {};
    if (kind == PatternMenuRow::kDensity) {
      std::snprintf(value, sizeof(value), "%s", DensityName(rows_.Density()));
    } else if (kind == PatternMenuRow::kEuclid) {
      std::snprintf(value, sizeof(value), "%d of %d", rows_.Hits(), rows_.Cycle());
    } else {
      std::snprintf(value, sizeof(value), "%d", rows_.Rotation());
    }
    const int valueLeft = rect.right - kValueWidth;
    const int middle = (rect.top + rect.bottom) / 2;
    DrawArrow(view, valueLeft + kArrowZone / 2, middle, -1);
    DrawArrow(view, rect.right - kArrowZone / 2, middle, 1);
    TextStyle valueStyle = RowStyle(kInk, TextStyle::kCentre);
    view.DrawTextInRect(
        valueStyle, value,
        Rect{valueLeft + kArrowZone, rect.top, rect.right - kArrowZone, rect.bottom});
  }
  return true;
}

void PatternMenu::OnMouseDown(int x, int y, const MouseMods& mods) {
  if (hidden_) return;
  const int row = RowAt(x, y);
  if (row < 0) {
    // Beside the box (or on its border): closes, and the press ends here.
    if (!box_.Contains(x, y)) Close();
    return;
  }
  if (!mods.L || rows_.IsGreyed(row)) return;
  rows_.SetHighlight(row);
  const Rect rect = RowRect(row);
  if (HasPatternMenuValue(static_cast<PatternMenuRow>(row)) && x >= rect.right - kValueWidth) {
    // The arrows' zones step the value; the text between them does what
    // Enter does.
    if (x < rect.right - kValueWidth + kArrowZone) {
      rows_.StepValueOf(row, -1);
      Changed();
      return;
    }
    if (x >= rect.right - kArrowZone) {
      rows_.StepValueOf(row, 1);
      Changed();
      return;
    }
  }
  Choose(row);
}

void PatternMenu::OnMouseOver(int x, int y, const MouseMods&) {
  if (hidden_) return;
  if (rows_.SetHighlight(RowAt(x, y))) Changed();
}

void PatternMenu::OnMouseWheel(int x, int y, const MouseMods&, float notches) {
  if (hidden_) return;
  const int row = RowAt(x, y);
  if (row < 0 || notches == 0.0f) return;
  if (rows_.StepValueOf(row, notches > 0.0f ? 1 : -1)) {
    rows_.SetHighlight(row);
    Changed();
  }
}

void PatternMenu::OnKeyDown(int, int, KeyCode key) {
  if (hidden_) return;
  switch (key) {
    case kKeyUp:
    case kKeyDown:
      rows_.Move(key == kKeyUp ? -1 : 1);
      Changed();
      break;
    case kKeyLeft:
    case kKeyRight:
      if (rows_.StepValue(key == kKeyLeft ? -1 : 1)) Changed();
      break;
    case kKeyReturn:
      Choose(rows_.Highlight());
      break;
    case kKeyEscape:
      Close();
      break;
    default:
      break;
  }
}

void PatternMenu::Choose(int row) {
  if (rows_.IsGreyed(row)) return;
  const auto kind = static_cast<PatternMenuRow>(row);
  if (IsPatternMenuValueOnly(kind)) {
    rows_.StepValueOf(row, 1);
    Changed();
    return;
  }
  // Closed first: what the item does (a status message, a clipboard owned
  // by another window) finds no menu left open.
  Close();
  Run(kind);
}

void PatternMenu::Run(PatternMenuRow row) {
  if (const OpRow* op = FindRow(kOpRows, row)) {
    patterns_->RunOp(op->op);
  } else if (const RandomiseRow* randomise = FindRow(kRandomiseRows, row)) {
    patterns_->RunRandomise(randomise->kind, rows_.Density());
  } else if (row == PatternMenuRow::kEuclid) {
    patterns_->RunEuclid(rows_.Hits(), rows_.Rotation());
  } else if (row == PatternMenuRow::kUndo) {
    patterns_->Undo();
  } else if (row == PatternMenuRow::kRedo) {
    patterns_->Redo();
  } else if (row == PatternMenuRow::kCopy) {
    char text[kPatternTextSize] = {};
    patterns_->CopyText(text);
    if (view_ && view_->CopyToClipboard(text)) patterns_->ShowStatus(CopiedMessage());
  } else if (row == PatternMenuRow::kPaste) {
    std::string text;
    if (view_ && view_->PasteFromClipboard(&text)) {
      patterns_->PasteText(text.data(), text.size());
    } else {
      patterns_->ShowStatus(NotAPatternMessage());
    }
  }
}
