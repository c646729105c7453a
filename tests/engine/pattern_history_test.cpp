#include "engine/pattern_history.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/engine/pattern_test_seed.h"

namespace {

static_assert(PatternHistory::kCapacity >= 100);

// The reference: every step in a vector, the cursor an index, the capacity
// enforced by dropping the front, labels cut to fit.
struct ModelStep {
  TestPattern before, after;
  std::string label;
};

struct Model {
  std::vector<ModelStep> steps;
  size_t cursor = 0;

  void Push(const ModelStep& step) {
    if (step.before == step.after) return;
    steps.resize(cursor);
    steps.push_back(step);
    steps.back().label.resize(std::min<size_t>(step.label.size(), PatternHistory::kLabelSize - 1));
    if (steps.size() > static_cast<size_t>(PatternHistory::kCapacity)) steps.erase(steps.begin());
    cursor = steps.size();
  }
};

// Pushes (a third of them changing nothing, some with overlong labels),
// undos and redos in random runs, long enough to pass the capacity several
// times, against the model.
TEST(PatternHistory, MatchesAVectorModel) {
  const unsigned seed = PatternTestSeed(4711);
  SCOPED_TRACE(SeedTrace(seed));
  std::mt19937 random(seed);
  PatternHistory history;
  Model model;
  TestPattern current = RandomTestPattern(random);
  int timesFull = 0, timesAtAnEnd = 0;
  for (int op = 0; op < 6000; ++op) {
    SCOPED_TRACE("operation " + std::to_string(op));
    // Phases of mostly pushes, mostly undos and a mix reach both ends.
    const unsigned roll = random() % 20, phase = (op / 500) % 3;
    const unsigned kind = phase == 0   ? (roll < 18 ? 0 : 1 + roll % 2)
                          : phase == 1 ? (roll < 3 ? 0 : (roll < 16 ? 1 : 2))
                                       : roll % 3;
    if (kind == 0) {
      ModelStep step{current, current, std::string(op % 7 == 0 ? 40 : 0, 'w') + std::to_string(op)};
      if (random() % 3 != 0) step.after.e[random() % kPatternEntries] ^= 1 + random() % 3;
      EXPECT_EQ(history.Push(step.before.e, step.after.e, step.label.c_str()),
                !(step.before == step.after));
      model.Push(step);
      current = step.after;
      if (model.steps.size() == PatternHistory::kCapacity) ++timesFull;
    } else {
      const bool redo = kind == 2;
      TestPattern applied = current;
      const char* label = redo ? history.Redo(applied.e) : history.Undo(applied.e);
      const bool possible = redo ? model.cursor < model.steps.size() : model.cursor > 0;
      ASSERT_EQ(label != nullptr, possible);
      if (!possible) {
        ++timesAtAnEnd;
        ASSERT_EQ(applied, current) << "nothing to apply wrote the pattern";
        continue;
      }
      const ModelStep& step = model.steps[redo ? model.cursor++ : --model.cursor];
      ASSERT_EQ(std::string(label), step.label);
      ASSERT_EQ(applied, redo ? step.after : step.before);
      current = applied;
    }
    ASSERT_EQ(history.CanUndo(), model.cursor > 0);
    ASSERT_EQ(history.CanRedo(), model.cursor < model.steps.size());
    ASSERT_EQ(std::string(history.UndoLabel()),
              model.cursor > 0 ? model.steps[model.cursor - 1].label : "");
    ASSERT_EQ(std::string(history.RedoLabel()),
              model.cursor < model.steps.size() ? model.steps[model.cursor].label : "");
  }
  EXPECT_GT(timesFull, 100) << "the run should fill the history";
  EXPECT_GT(timesAtAnEnd, 20) << "the run should undo and redo past the ends";
  history.Forget();
  EXPECT_FALSE(history.CanUndo() || history.CanRedo());
}

}  // namespace
