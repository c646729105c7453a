// One audio thread processing 64-frame blocks without pause while other
// threads do what hosts and editors do at any moment: automate parameters
// with random (and invalid) values through the host and the editor paths,
// switch programs, save and load state, and send text and vendor requests.
// Three rounds: with "Target" held on "Volume" every output sample must be
// no louder than its input sample; with everything changing, every sample
// stays within the crossover's bound of twice the input peak; and after a
// last round in which each parameter has one writer, the effect holds
// exactly the last values written. Run under the thread sanitizer in CI.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "engine/gate_params.h"
#include "engine/gate_plug.h"
#include "support/live_gate.h"

using namespace vst2;

namespace {

constexpr int kBlock = 64;
constexpr int kVendorFormatValue = 7, kVendorIsToggle = 8, kVendorParseValue = 27;

// Processes blocks of noise until stopped, checking every output sample.
class AudioThread {
 public:
  explicit AudioThread(AEffect* effect) : effect_(effect) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> noise(-1.0f, 1.0f);
    for (float& sample : left_) sample = noise(rng);
    for (float& sample : right_) sample = noise(rng);
    // Full-scale stretches among the noise.
    for (int i = 0; i < 512; ++i) left_[1024 + i] = right_[3000 + i] = (i / 16) % 2 ? 1.0f : -1.0f;
    thread_ = std::thread([this] { Run(); });
  }
  ~AudioThread() { Stop(); }

  void Stop() {
    stop_.store(true);
    if (thread_.joinable()) thread_.join();
  }
  // Returns once two more blocks have run from start to end.
  void WaitForTwoBlocks() const {
    const long target = blocks.load() + 2;
    while (blocks.load() < target) std::this_thread::yield();
  }

  std::atomic<bool> volumeOnly{false};
  std::atomic<long> blocks{0};
  std::atomic<long> nonFinite{0}, louderThanInput{0}, beyondCrossover{0};

 private:
  void Run() {
    float outLeft[kBlock], outRight[kBlock];
    size_t offset = 0;
    while (!stop_.load()) {
      const bool volume = volumeOnly.load();
      float* in[2] = {&left_[offset], &right_[offset]};
      float* out[2] = {outLeft, outRight};
      effect_->processReplacing(effect_, in, out, kBlock);
      for (int i = 0; i < kBlock; ++i) {
        for (const auto& [input, output] :
             {std::pair{in[0][i], outLeft[i]}, std::pair{in[1][i], outRight[i]}}) {
          if (!std::isfinite(output)) ++nonFinite;
          // The crossover's low band never exceeds the input peak (1), the
          // high band is input minus low band.
          if (std::fabs(output) > 2.0f) ++beyondCrossover;
          if (volume && std::fabs(output) > std::fabs(input) * (1.0f + 1e-6f)) ++louderThanInput;
        }
      }
      offset = (offset + kBlock) % kNoise;
      ++blocks;
    }
  }

  static constexpr size_t kNoise = 4096;
  AEffect* effect_;
  float left_[kNoise], right_[kNoise];
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// A normalised value as automation sends it, now and then out of range or NaN.
float RandomValue(std::mt19937& rng, bool onlyValid) {
  const float value = std::uniform_real_distribution<float>(0.0f, 1.0f)(rng);
  if (onlyValid) return value;
  switch (rng() % 16) {
    case 0:
      return -0.5f;
    case 1:
      return 1.75f;
    case 2:
      return std::numeric_limits<float>::quiet_NaN();
    default:
      return value;
  }
}

int RandomIndex(std::mt19937& rng, int count, bool heldTarget) {
  for (;;) {
    const int index = static_cast<int>(rng() % static_cast<unsigned>(count));
    if (!(heldTarget && index == kTarget)) return index;
  }
}

// Runs each job in a loop on a thread of its own for `span`; returns how
// many times the jobs ran in all.
long RunFor(std::chrono::milliseconds span,
            const std::vector<std::function<void(std::mt19937&)>>& jobs) {
  std::atomic<bool> stop{false};
  std::atomic<long> runs{0};
  std::vector<std::thread> threads;
  unsigned seed = 100;
  for (const auto& job : jobs) {
    threads.emplace_back([&stop, &runs, &job, s = seed++] {
      std::mt19937 rng(s);
      while (!stop.load()) {
        job(rng);
        ++runs;
      }
    });
  }
  std::this_thread::sleep_for(span);
  stop.store(true);
  for (std::thread& thread : threads) thread.join();
  return runs.load();
}

// The host's text and vendor requests, round trips included.
void TextRequests(FakeHost& host, std::mt19937& rng, bool heldTarget) {
  const int index = RandomIndex(rng, kHostVisibleParams, heldTarget);
  char text[64] = {};
  host.Dispatch(effGetParamDisplay, index, 0, text);
  host.Dispatch(effGetParamLabel, index, 0, text);
  host.Dispatch(effGetParamName, index, 0, text);
  host.Dispatch(effGetParamDisplay, index, 0, text);
  static const char* const kOddTexts[] = {"", "abc", "-1e9", "99999999999", "1/3", "nan", "0x10"};
  host.Dispatch(effString2Parameter, index, 0,
                rng() % 2 ? text : const_cast<char*>(kOddTexts[rng() % 7]));
  char vendor[kVendorTextLen] = {};
  host.Dispatch(effVendorSpecific, kVendorFormatValue, index, vendor, RandomValue(rng, false));
  host.Dispatch(effVendorSpecific, kVendorIsToggle, index, nullptr, 0.0f);
  std::strcpy(vendor, rng() % 2 ? "50" : "1/8");
  host.Dispatch(effVendorSpecific, kVendorParseValue, index, vendor, 0.0f);
}

void ProgramsAndState(FakeHost& host, std::mt19937& rng) {
  host.Dispatch(effSetProgram, 0, static_cast<intptr_t>(rng() % 50));
  char name[32] = {};
  host.Dispatch(effGetProgramName, 0, 0, name);
  const int32_t bank = static_cast<int32_t>(rng() % 2);
  void* chunk = nullptr;
  const intptr_t size = host.Dispatch(effGetChunk, bank, 0, &chunk);
  if (size <= 0 || !chunk) return;
  std::vector<char> saved(static_cast<char*>(chunk), static_cast<char*>(chunk) + size);
  host.Dispatch(effSetChunk, bank, size, saved.data());
}

}  // namespace

TEST(ConcurrencyStress, AudioStaysBoundedAndTheLastWritesWin) {
  // 174 BPM: short steps, many step changes a second.
  LiveGate live(44100.0, 174.0, kBlock);
  FakeHost& host = live.host;
  AEffect* effect = live.effect();
  VSTCLASS* gate = live.gate();
  AudioThread audio(effect);

  // Round one: "Target" held on "Volume", everything else changing.
  effect->setParameter(effect, kTarget, 0.0f);
  audio.WaitForTwoBlocks();
  audio.volumeOnly.store(true);
  const long blocksBefore = audio.blocks.load();
  long requests = RunFor(std::chrono::milliseconds(2000),
                         {[&](std::mt19937& rng) {
                            effect->setParameter(effect, RandomIndex(rng, kHostVisibleParams, true),
                                                 RandomValue(rng, false));
                          },
                          [&](std::mt19937& rng) {
                            // The editor also sends its momentary step and nudge events.
                            gate->ApplyEditorParamChange(RandomIndex(rng, kGateParamCount, true),
                                                         RandomValue(rng, false));
                          },
                          [&](std::mt19937& rng) { TextRequests(host, rng, true); }});
  audio.volumeOnly.store(false);
  // A block that read the flag just before it fell must end before the
  // target may change.
  audio.WaitForTwoBlocks();

  // Round two: everything, programs and state included.
  requests += RunFor(std::chrono::milliseconds(2000),
                     {[&](std::mt19937& rng) {
                        effect->setParameter(effect, RandomIndex(rng, kHostVisibleParams, false),
                                             RandomValue(rng, false));
                      },
                      [&](std::mt19937& rng) {
                        gate->ApplyEditorParamChange(RandomIndex(rng, kGateParamCount, false),
                                                     RandomValue(rng, false));
                      },
                      [&](std::mt19937& rng) { TextRequests(host, rng, false); },
                      [&](std::mt19937& rng) { ProgramsAndState(host, rng); }});
  // Edits the editor events left pending are stored by the next blocks.
  audio.WaitForTwoBlocks();

  // Round three: the host owns the even parameters, the editor the odd ones;
  // each remembers what it wrote last.
  float lastValue[kHostVisibleParams] = {};
  int writes[kHostVisibleParams] = {};
  requests += RunFor(std::chrono::milliseconds(1000),
                     {[&](std::mt19937& rng) {
                        const int index = 2 * static_cast<int>(rng() % (kHostVisibleParams / 2));
                        lastValue[index] = RandomValue(rng, true);
                        ++writes[index];
                        effect->setParameter(effect, index, lastValue[index]);
                      },
                      [&](std::mt19937& rng) {
                        const int index = 1 + 2 * static_cast<int>(rng() % (kHostVisibleParams / 2));
                        lastValue[index] = RandomValue(rng, true);
                        ++writes[index];
                        gate->ApplyEditorParamChange(index, lastValue[index]);
                      }});
  audio.WaitForTwoBlocks();
  audio.Stop();
  const long blocksRun = audio.blocks.load() - blocksBefore;
  std::printf("%ld blocks of %d frames against %ld host and editor requests\n", blocksRun, kBlock,
              requests);

  EXPECT_EQ(audio.nonFinite.load(), 0);
  EXPECT_EQ(audio.louderThanInput.load(), 0);
  EXPECT_EQ(audio.beyondCrossover.load(), 0);
  // The audio thread kept running all along rather than waiting it out.
  EXPECT_GT(blocksRun, 100);

  // The same last writes given to a fresh instance, one by one.
  LiveGate fresh(44100.0, 174.0, kBlock);
  VSTCLASS* expected = fresh.gate();
  for (int index = 0; index < kHostVisibleParams; ++index) {
    SCOPED_TRACE(index);
    ASSERT_GT(writes[index], 0);
    if (index % 2 == 0) {
      fresh.Set(index, lastValue[index]);
    } else {
      expected->ApplyEditorParamChange(index, lastValue[index]);
    }
  }
  for (int index = 0; index < kHostVisibleParams; ++index) {
    SCOPED_TRACE(index);
    EXPECT_EQ(effect->getParameter(effect, index),
              fresh.effect()->getParameter(fresh.effect(), index));
    EXPECT_EQ(gate->lastApplied[index], expected->lastApplied[index]);
  }
  EXPECT_EQ(0, std::memcmp(gate->StepPattern, expected->StepPattern, sizeof gate->StepPattern));
}
