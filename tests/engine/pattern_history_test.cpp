#include "engine/pattern_history.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/engine/pattern_test_seed.h"

namespace {

// The reference: every step in a vector, the cursor an index, the capacity
// enforced by dropping the front.
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
    if (steps.size() > static_cast<size_t>(PatternHistory::kCapacity)) steps.erase(steps.begin());
    cursor = steps.size();
  }
};

// Pushes (a third of them changing nothing), undos and redos in random runs,
// long enough to pass the capacity several times, against the model.
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
      ModelStep step{current, current, "Step " + std::to_string(op)};
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
    ASSERT_EQ(history.UndoCount(), static_cast<int>(model.cursor));
    ASSERT_EQ(history.RedoCount(), static_cast<int>(model.steps.size() - model.cursor));
    ASSERT_EQ(history.CanUndo(), model.cursor > 0);
    ASSERT_EQ(history.CanRedo(), model.cursor < model.steps.size());
    ASSERT_EQ(std::string(history.UndoLabel()),
              model.cursor > 0 ? model.steps[model.cursor - 1].label : "");
    ASSERT_EQ(std::string(history.RedoLabel()),
              model.cursor < model.steps.size() ? model.steps[model.cursor].label : "");
  }
  EXPECT_GT(timesFull, 100) << "the run should fill the history";
  EXPECT_GT(timesAtAnEnd, 20) << "the run should undo and redo past the ends";
}

TEST(PatternHistory, KeepsTheNewestStepsUpToItsCapacity) {
  static_assert(PatternHistory::kCapacity >= 100);
  PatternHistory history;
  TestPattern p{};
  for (int n = 0; n < PatternHistory::kCapacity + 5; ++n) {
    TestPattern next = p;
    next.e[n % kPatternEntries] = static_cast<uint16_t>((next.e[n % kPatternEntries] + 1) % 5);
    ASSERT_TRUE(history.Push(p.e, next.e, std::to_string(n).c_str()));
    p = next;
  }
  int undone = 0;
  while (const char* label = history.Undo(p.e)) {
    EXPECT_EQ(std::string(label), std::to_string(PatternHistory::kCapacity + 4 - undone));
    ++undone;
  }
  EXPECT_EQ(undone, PatternHistory::kCapacity);
  EXPECT_EQ(history.RedoCount(), PatternHistory::kCapacity);
  history.Forget();
  EXPECT_FALSE(history.CanUndo());
  EXPECT_FALSE(history.CanRedo());
}

TEST(PatternHistory, LongLabelsAreCut) {
  PatternHistory history;
  TestPattern a{}, b{};
  b.e[63] = 4;
  const std::string longLabel(100, 'w');
  history.Push(a.e, b.e, longLabel.c_str());
  EXPECT_EQ(std::string(history.UndoLabel()), longLabel.substr(0, PatternHistory::kLabelSize - 1));
  history.Push(b.e, a.e, nullptr);
  EXPECT_STREQ(history.UndoLabel(), "");
}

}  // namespace
