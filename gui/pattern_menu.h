// PatternMenu: the pattern menu, drawn by the view over every other control.
// Its rectangle is the whole editor and it is the view's overlay: while open
// it hears every press, key, wheel notch and pointer movement of the editor,
// so a press beside its box closes it and goes nowhere else. Closed, it is
// hidden and hears nothing.
//
// Items call the instance's PatternEditor (each one an edit through the
// step bars' path and one undo step); Copy and Paste go through the view's
// clipboard. Keys: Up / Down move the highlight (wrapping, greyed rows
// skipped), Left / Right change the value of a row that has one, Enter picks,
// Escape closes. Mouse: the row under the pointer is highlighted, a click
// picks it, a click on a value's arrows changes it, the wheel changes the
// value of the row under the pointer. An action closes the menu; changing a
// value keeps it open.
#pragma once

#include "gui/control.h"
#include "gui/pattern_menu_rows.h"

class PatternEditor;

class PatternMenu : public IControl {
 public:
  static constexpr int kWidth = 150;
  static constexpr int kRowHeight = 13;
  static constexpr int kPadding = 3;
  static constexpr int kHeight = 2 * kPadding + kPatternMenuRowCount * kRowHeight;
  // The value part of a row, at its right end: an arrow zone on each side
  // of the value's text.
  static constexpr int kValueWidth = 64;
  static constexpr int kArrowZone = 12;

  // `editor` is the whole editor's rectangle. [effect constructor]
  PatternMenu(IPlugBase* plug, const Rect& editor, PatternEditor* patterns);

  // Opens with the box's top-left corner at layout point (x, y), moved as
  // little as needed to fit inside the editor. [editor thread]
  void OpenAt(int x, int y);
  // Opens just above `anchor`, right edges aligned (the button's place).
  void OpenAbove(const Rect& anchor);
  void Close();
  bool IsOpen() const { return !hidden_; }

  const Rect& Box() const { return box_; }
  Rect RowRect(int row) const;
  // The row at layout point (x, y), or -1 outside the rows.
  int RowAt(int x, int y) const;
  const PatternMenuRows& Rows() const { return rows_; }
  // The text a row shows (its label, or its label and value for value rows).
  void RowText(int row, char* buffer, int size) const;

  bool Draw(IEditorView& view) override;
  void OnMouseDown(int x, int y, const MouseMods& mods) override;
  void OnMouseOver(int x, int y, const MouseMods& mods) override;
  void OnMouseWheel(int x, int y, const MouseMods& mods, float notches) override;
  void OnKeyDown(int x, int y, KeyCode key) override;
  void OnFocusLost() override;

 private:
  void Open(const Rect& box);
  // The row chosen by Enter or a click; value-only rows step on, actions
  // run and close the menu. [editor thread]
  void Choose(int row);
  void Run(PatternMenuRow row);
  void Changed() { MarkDirty(false); }

  PatternEditor* patterns_;
  PatternMenuRows rows_;
  Rect editor_;
  Rect box_;
};
