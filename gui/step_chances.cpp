#include "gui/step_chances.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

#include "engine/chance_words.h"
#include "engine/gate_params.h"
#include "framework/plug_base.h"
#include "gui/editor_view.h"
#include "gui/pattern_editor.h"

namespace {

// The word's value in its own units from a normalised value.
int32_t WordOf(double normalised, int word) {
  return static_cast<int32_t>(std::lround(normalised * ChanceWordMax(word)));
}

}  // namespace

StepChances::StepChances(IPlugBase* plug, int word, const Rect* timeBars)
    : IControl(plug, Rect{}, kChanceWord0 + word),
      firstStep_(ChanceWordFirstStep(word)),
      lastStep_(ChanceWordLastStep(word)) {
  for (int s = firstStep_; s <= lastStep_; ++s) {
    bars_[s - firstStep_] = timeBars[s];
    rect_ = UnionRect(rect_, timeBars[s]);
  }
  targetRect_ = rect_;
}

Rect StepChances::MarkRect(const Rect& bar, int k) {
  const int right = bar.right - 1 - kMarkPitch * k;
  const int bottom = bar.bottom - 1;
  return Rect{right - kMarkSize, bottom - kMarkSize, right, bottom};
}

int StepChances::LevelOf(int step) const {
  if (!HoldsStep(step)) return 0;
  uint8_t levels[32] = {};
  UnpackChanceWord(levels, paramIndex_ - kChanceWord0, WordOf(value_, paramIndex_ - kChanceWord0));
  return levels[step];
}

bool StepChances::Draw(IEditorView& view) {
  for (int s = firstStep_; s <= lastStep_; ++s) {
    const int level = LevelOf(s);
    for (int k = 0; k < level; ++k) {
      view.FillColourRect(kMarkColour, MarkRect(bars_[s - firstStep_], k), nullptr);
    }
  }
  return true;
}

bool StepChances::HitTest(int, int) { return false; }

void StepChances::CycleStep(int step) {
  if (!HoldsStep(step)) return;
  const int word = paramIndex_ - kChanceWord0;
  uint8_t levels[32] = {};
  UnpackChanceWord(levels, word, WordOf(value_, word));
  levels[step] = static_cast<uint8_t>((levels[step] + 1) % kChanceLevels);
  const double normalised = static_cast<double>(PackChanceWord(levels, word)) / ChanceWordMax(word);
  if (plug_) plug_->BeginParamEdit(paramIndex_);
  SetValueFromUser(normalised);
  if (plug_) plug_->EndParamEdit(paramIndex_);
  if (PatternEditor* patterns = plug_ ? plug_->Patterns() : nullptr) {
    char text[48];
    std::snprintf(text, sizeof(text), "Step %d chance: %d%%", step + 1,
                  ChancePercentOfLevel(levels[step]));
    patterns->ShowStatus(text);
  }
}
