// MyBar: one bar of the step grid, showing a StepPattern entry (0..4 quarters)
// as a filled length of its width. Clicking or dragging along it sets the
// entry directly in the engine's pattern and announces the edit through the
// internal parameter StepEdited (17), which makes the engine show the step
// message and pack the pattern for the host. The engine keeps every bar and
// writes into it with SetValueFromPlugin when the pattern changes on its side.
//
// With the instance's PatternEditor (plug->Patterns()), a press draws: moving
// on onto other bars of the same band (times or levels) sets each bar the
// pointer passes to the pointer's place within that bar, and bars skipped
// between two motion events of one row take places interpolated between
// the two, so a stroke draws a curve. The whole stroke is one host gesture
// and one undo step; right clicks, wheel notches and double clicks are one
// step each.
//
// A Ctrl+click (or Ctrl+double click) on either bar of a step edits the
// step's chance instead of the pattern: the StepChances control holding the
// step cycles its level.
#pragma once

#include <cstdint>

#include "gui/control.h"

class StepChances;

class MyBar : public IControl {
 public:
  MyBar(IPlugBase* plug, const Rect& rect, Colour colour, int16_t entryNumber, uint16_t* entry,
        uint16_t* editedIndex, uint16_t* editedValue);

  bool Draw(IEditorView& view) override;
  void OnMouseDown(int x, int y, const MouseMods& mods) override;
  void OnMouseDrag(int x, int y, int dX, int dY, const MouseMods& mods) override;
  // Ends the stroke. [editor thread]
  void OnMouseUp(int x, int y, const MouseMods& mods) override;
  // One quarter per notch, up raises; through the same edit as a click.
  void OnMouseWheel(int x, int y, const MouseMods& mods, float notches) override;
  // Back to the reset value through the same edit as a click.
  void OnMouseDoubleClick(int x, int y, const MouseMods& mods) override;

  // Entry value for a position 0..1 along the bar. A click uses the curved
  // rule, which widens the end zones; a drag the linear one.
  static uint16_t CurvedQuantise(double position);
  static uint16_t LinearQuantise(double position);

  int16_t EntryNumber() const { return entryNumber_; }
  // Marks the bar as the keyboard cursor's step: two pixel rows on its
  // outer edge (the time bar's top, the level bar's bottom), clear of its
  // fill's middle. [editor thread]
  void SetCursorMark(bool marked);
  bool CursorMark() const { return cursorMark_; }

 private:
  enum class Quantiser { kCurved, kLinear, kKeepValue };
  // 0..1 along the bar (not clamped).
  double PlaceOf(int x) const;
  // The bar of this bar's band under (x, y), edges included; null if none.
  MyBar* BandBarAt(int x, int y) const;
  // A stroke reaches `target` at `place`: the bars between the last one
  // reached and it in the same row take interpolated places, then it.
  void DrawOnto(MyBar* target, double place);
  // The step's chance control, found among the view's controls; null if none.
  StepChances* ChancesOfStep() const;
  // The step's chance moves to its next level. [editor thread]
  void CycleChance();
  // One step through the pattern editor as a stroke of its own.
  void EditAlone(uint16_t entryValue);
  // Writes the entry, records the edit for the engine and raises StepEdited.
  // [editor thread; the pattern is written without the instance lock]
  void Edit(int x, Quantiser quantiser);

  Colour colour_;
  int16_t entryNumber_;
  uint16_t* entry_;
  uint16_t* editedIndex_;
  uint16_t* editedValue_;
  // The stroke of a press: the bar reached last and the place there.
  bool cursorMark_ = false;
  // The press edits a chance: its drags draw nothing.
  bool chancePress_ = false;
  MyBar* strokeBar_ = nullptr;
  double strokePlace_ = 0.0;
};
