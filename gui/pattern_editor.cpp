#include "gui/pattern_editor.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "engine/gate_engine.h"
#include "engine/millisecond_clock.h"
#include "engine/pattern_messages.h"
#include "engine/pattern_random.h"
#include "engine/pattern_text.h"
#include "framework/plug_base.h"
#include "gui/editor_view.h"
#include "gui/step_edited.h"

namespace {

// Seeds short enough to read off the status line and type back.
constexpr uint32_t kSeedRange = 100000;

bool SameBand(int a, int b) { return (a < kStepCountMax) == (b < kStepCountMax); }

}  // namespace

PatternEditor::PatternEditor(IPlugBase* plug, GateEngine* engine) : plug_(plug), engine_(engine) {}

void PatternEditor::CurrentPattern(uint16_t* pattern) const {
  ScopedLock lock(plug_->InstanceLock());
  std::copy_n(engine_->StepPattern, kPatternEntries, pattern);
}

int PatternEditor::PlayingCycle() const {
  const IPlugParam* cycle = plug_->GetParam(kCycle);
  return cycle ? static_cast<int>(std::lround(cycle->Value())) : kStepCountMax;
}

void PatternEditor::ShowStatus(const char* text) {
  if (!text) return;
  ScopedLock lock(plug_->InstanceLock());
  engine_->ShowInfo(text);
}

void PatternEditor::BeginDraw(int firstEntry) {
  if (drawing_) EndDraw();
  if (firstEntry < 0 || firstEntry >= kPatternEntries) return;
  CurrentPattern(drawBefore_);
  {
    ScopedLock lock(plug_->InstanceLock());
    engine_->HoldWordGestures();
  }
  drawing_ = true;
  drawFirst_ = drawLow_ = drawHigh_ = firstEntry;
  plug_->BeginParamEdit(kStepEditedParam);
}

void PatternEditor::DrawEntry(int entry, uint16_t value) {
  if (!drawing_ || entry < 0 || entry >= kPatternEntries || !SameBand(entry, drawFirst_)) return;
  drawLow_ = std::min(drawLow_, entry);
  drawHigh_ = std::max(drawHigh_, entry);
  {
    ScopedLock lock(plug_->InstanceLock());
    engine_->WriteEntry(entry, value);
    if (drawLow_ == drawHigh_) {
      // One step so far: the single bar's message, "Step 5 time: 75%".
      engine_->editedIndex = static_cast<uint16_t>(entry);
      engine_->editedValue = value;
    } else {
      char label[PatternHistory::kLabelSize];
      FormatDrawLabel(label, drawLow_, drawHigh_);
      engine_->AnnouncePatternEdit(label);
    }
  }
  // Raised for an unchanged entry too, as a click always has been.
  RaiseStepEdited(plug_, plug_->Editor());
}

void PatternEditor::EndDraw() {
  if (!drawing_) return;
  drawing_ = false;
  {
    ScopedLock lock(plug_->InstanceLock());
    engine_->ReleaseWordGestures();
  }
  plug_->EndParamEdit(kStepEditedParam);
  uint16_t after[kPatternEntries];
  CurrentPattern(after);
  char label[PatternHistory::kLabelSize];
  FormatDrawLabel(label, drawLow_, drawHigh_);
  history_.Push(drawBefore_, after, label);
}

void PatternEditor::Write(const uint16_t* pattern, const char* message) {
  {
    ScopedLock lock(plug_->InstanceLock());
    // The host may have set this very pattern since (an undo after a preset).
    if (std::equal(pattern, pattern + kPatternEntries, engine_->StepPattern)) {
      if (message) engine_->ShowInfo(message);
      return;
    }
    engine_->WritePattern(pattern);
    engine_->AnnouncePatternEdit(message);
  }
  plug_->BeginParamEdit(kStepEditedParam);
  RaiseStepEdited(plug_, plug_->Editor());
  plug_->EndParamEdit(kStepEditedParam);
}

void PatternEditor::Apply(const uint16_t* pattern, const char* label, const char* message) {
  if (drawing_) EndDraw();
  uint16_t before[kPatternEntries];
  CurrentPattern(before);
  if (!history_.Push(before, pattern, label)) {
    ShowStatus(message);  // nothing changed: nothing for the host to record
    return;
  }
  Write(pattern, message);
}

void PatternEditor::RunOp(PatternOp op) {
  uint16_t pattern[kPatternEntries];
  CurrentPattern(pattern);
  const int cycle = PlayingCycle();
  ApplyPatternOp(op, pattern, cycle);
  char message[kInfoMessageSize];
  FormatPatternOpMessage(message, op, cycle);
  Apply(pattern, PatternOpLabel(op), message);
}

void PatternEditor::RunEuclid(int hits, int rotation) {
  uint16_t pattern[kPatternEntries];
  CurrentPattern(pattern);
  const int cycle = PlayingCycle();
  Euclid(pattern, cycle, hits, rotation);
  char label[PatternHistory::kLabelSize];
  FormatEuclidLabel(label, hits, cycle, rotation);
  char message[kInfoMessageSize];
  FormatEuclidMessage(message, hits, cycle, rotation);
  Apply(pattern, label, message);
}

uint32_t PatternEditor::RunRandomise(RandomiseKind kind, RandomiseDensity density) {
  // The clock makes instances differ; the count makes quick repeats differ.
  PatternRandom source(static_cast<uint64_t>(MillisecondClock()) << 32 | ++seedsDrawn_);
  const uint32_t seed = source.Below(kSeedRange);
  uint16_t pattern[kPatternEntries];
  CurrentPattern(pattern);
  Randomise(pattern, PlayingCycle(), kind, density, seed);
  char message[kInfoMessageSize];
  FormatRandomiseMessage(message, kind, density, seed);
  Apply(pattern, RandomiseLabel(kind), message);
  return seed;
}

bool PatternEditor::Undo() { return StepHistory(false); }

bool PatternEditor::Redo() { return StepHistory(true); }

bool PatternEditor::StepHistory(bool redo) {
  if (drawing_) EndDraw();
  uint16_t pattern[kPatternEntries];
  const char* label = redo ? history_.Redo(pattern) : history_.Undo(pattern);
  char message[kInfoMessageSize];
  FormatUndoMessage(message, redo, label);
  if (!label) {
    ShowStatus(message);
    return false;
  }
  Write(pattern, message);
  return true;
}

int PatternEditor::CopyText(char* buffer) {
  uint16_t pattern[kPatternEntries];
  CurrentPattern(pattern);
  return FormatPatternText(pattern, PlayingCycle(), buffer);
}

bool PatternEditor::PasteText(const char* text, size_t length) {
  uint16_t pattern[kPatternEntries];
  int copiedCycle = 0;
  if (!text || !ParsePatternText(text, length, pattern, &copiedCycle)) {
    ShowStatus(NotAPatternMessage());
    return false;
  }
  char message[kInfoMessageSize];
  FormatPasteMessage(message, copiedCycle, PlayingCycle());
  Apply(pattern, PasteLabel(), message);
  return true;
}

bool PatternEditor::CopyTo(IEditorView& view) {
  char text[kPatternTextSize];
  CopyText(text);
  const bool copied = view.CopyToClipboard(text);
  ShowStatus(copied ? CopiedMessage() : NoClipboardMessage());
  return copied;
}

bool PatternEditor::PasteFrom(IEditorView& view) {
  std::string text;
  if (!view.PasteFromClipboard(&text)) {
    ShowStatus(NotAPatternMessage());
    return false;
  }
  return PasteText(text.data(), text.size());
}

uint16_t PatternEditor::Entry(int entry) const {
  if (entry < 0 || entry >= kPatternEntries) return 0;
  ScopedLock lock(plug_->InstanceLock());
  return engine_->StepPattern[entry];
}

void PatternEditor::SetEntry(int entry, uint16_t value) {
  BeginDraw(entry);
  DrawEntry(entry, value);
  EndDraw();
}
