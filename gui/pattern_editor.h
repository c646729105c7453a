// PatternEditor: every change of the step pattern the editor makes beyond a
// single bar (drawing across bars, the pattern menu's operations, paste,
// undo and redo) and the undo history that records them. One per effect
// instance, owned by it, so the history outlives the editor window; it is
// never saved with the host's state.
//
// Every change takes the single-bar edit's road: the entries and their bars
// are written under the instance lock, then StepEdited is raised inside a
// host gesture, so the engine shows the change's own status message and
// packs the pattern into the host's pattern words at the next audio block.
// Engine pattern, host words and bars therefore stay in agreement, and the
// saved state keeps its format.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/pattern_history.h"
#include "engine/pattern_ops.h"
#include "engine/pattern_words.h"

class GateEngine;
class IEditorView;
class IPlugBase;

class PatternEditor {
 public:
  PatternEditor(IPlugBase* plug, GateEngine* engine);
  PatternEditor(const PatternEditor&) = delete;
  PatternEditor& operator=(const PatternEditor&) = delete;

  // A drawing gesture across the bars of one band (times 0-31 or levels
  // 32-63): one host gesture on StepEdited and one on each pattern word
  // from BeginDraw to EndDraw (which packs what is still pending), one
  // undo step labelled by FormatDrawLabel. Entries of the other band are
  // ignored. A BeginDraw during a drawing ends that one first.
  // [editor thread]
  void BeginDraw(int firstEntry);
  void DrawEntry(int entry, uint16_t value);
  void EndDraw();
  bool Drawing() const { return drawing_; }  // [editor thread]

  // Replaces all 64 entries as one undo step labelled `label` (none when
  // nothing changes) and shows `message`. [editor thread]
  void Apply(const uint16_t* pattern, const char* label, const char* message);
  // The menu's operations on the playing steps, each one Apply.
  void RunOp(PatternOp op);                // [editor thread]
  void RunEuclid(int hits, int rotation);  // [editor thread]
  // Picks a fresh seed and returns it; the status line shows it.
  uint32_t RunRandomise(RandomiseKind kind, RandomiseDensity density);  // [editor thread]

  // Restore the pattern before / after the step and say so in the status
  // line; false (and "Nothing to undo") when there is none. [editor thread]
  bool Undo();
  bool Redo();
  const PatternHistory& History() const { return history_; }  // [editor thread]

  // The current pattern as clipboard text (kPatternTextSize bytes); returns
  // its length. [editor thread]
  int CopyText(char* buffer);
  // Applies pasted text; text that is not a pattern changes nothing and
  // the status line says so. [editor thread]
  bool PasteText(const char* text, size_t length);

  // Copy and paste through the view's system clipboard, saying what
  // happened in the status line. [editor thread]
  bool CopyTo(IEditorView& view);
  bool PasteFrom(IEditorView& view);

  // One entry, and one entry set as a one-step stroke (the step cursor's
  // keys). [editor thread]
  uint16_t Entry(int entry) const;
  void SetEntry(int entry, uint16_t value);

  // The keyboard's step cursor (0-31), -1 while hidden; kept here so it
  // outlives the editor window. [editor thread]
  int CursorStep() const { return cursorStep_; }
  void SetCursorStep(int step) { cursorStep_ = step; }

  // The Cycle parameter's value. [editor thread]
  int PlayingCycle() const;
  // A message in the status line (e.g. CopiedMessage()). [editor thread]
  void ShowStatus(const char* text);

 private:
  void CurrentPattern(uint16_t* pattern) const;
  // Writes the pattern and raises StepEdited inside its own host gesture.
  void Write(const uint16_t* pattern, const char* message);
  // Undo (false) or redo (true) one step of the history.
  bool StepHistory(bool redo);

  IPlugBase* plug_;
  GateEngine* engine_;
  PatternHistory history_;
  bool drawing_ = false;
  int drawFirst_ = 0;
  int drawLow_ = 0;
  int drawHigh_ = 0;
  uint16_t drawBefore_[kPatternEntries] = {};
  uint32_t seedsDrawn_ = 0;
  int cursorStep_ = -1;
};
