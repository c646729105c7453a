// The editor under random gestures: short seeded sequences of clicks, drags,
// strokes across bars, right and double clicks, wheel notches, rocker holds,
// lost captures, timer ticks, audio blocks and keys (undo, redo, the step
// cursor's; to the window or forwarded by the host) over every kind of
// control, each on a fresh
// instance. After each sequence settles, every host gesture is closed, the
// engine, the host's pattern words and the bars' pixels show one pattern, and
// no control asks to redraw.
//
// QUORVEL_MONKEY_SEED sets the first sequence's seed (sequence i uses seed
// + i) and QUORVEL_MONKEY_SEQUENCES how many run; a failure prints the seed
// that replays it alone.
#include "gesture_fixture.h"
#include "support/gesture_monkey.h"

namespace editor_test {
namespace {

constexpr unsigned kDefaultSeed = 20261207;
constexpr int kDefaultSequences = 800;

class MonkeyEditor : public GestureEditor {
 protected:
  // Runs the sequence of this seed on a fresh instance; "" when every
  // invariant holds, else what broke, the sequence and how to replay it.
  std::string RunSequence(unsigned seed, size_t* steps) {
    const Script script = GestureMonkey(seed).Sequence();
    *steps += script.size();
    FreshInstance();
    Run(script);
    Settle();
    const std::string problems = Disagreements();
    if (problems.empty()) return problems;
    return problems + "\nsequence: " + Describe(script) +
           "\nreplay: QUORVEL_MONKEY_SEED=" + std::to_string(seed) + " QUORVEL_MONKEY_SEQUENCES=1" +
           (size_ != 100 ? " QUORVEL_MONKEY_SIZE=" + std::to_string(size_) : std::string());
  }

  void RunSequences(unsigned defaultSequences) {
    const unsigned firstSeed = EnvNumber("QUORVEL_MONKEY_SEED", kDefaultSeed);
    const unsigned sequences = EnvNumber("QUORVEL_MONKEY_SEQUENCES", defaultSequences);
    size_t steps = 0;
    std::string failure;
    for (unsigned i = 0; i < sequences && failure.empty() && !HasFatalFailure(); ++i) {
      failure = RunSequence(firstSeed + i, &steps);
    }
    EXPECT_EQ(failure, "");
    std::printf("%u sequences (%zu steps) from seed %u at %d %%\n", sequences, steps, firstSeed,
                size_);
  }
};

TEST_F(MonkeyEditor, RandomGestureSequencesKeepThePatternInAgreement) {
  RunSequences(kDefaultSequences);
}

// The same sequences at 200 %, the gestures sent at the scaled places
// (QUORVEL_MONKEY_SIZE picks another size).
TEST_F(MonkeyEditor, AtOtherSizesTheSameGesturesKeepThePatternInAgreement) {
  UseSize(static_cast<int>(EnvNumber("QUORVEL_MONKEY_SIZE", 200)));
  if (HasFatalFailure()) return;
  RunSequences(kDefaultSequences / 4);
}

}  // namespace
}  // namespace editor_test
