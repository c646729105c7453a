// The host's transport as the instance sees it, against hand-made time
// info: the seconds timeline gives the position in samples at the
// activated rate (preferred over the beat timeline), the beat timeline
// gives it through the tempo, a position before zero keeps the transport
// stopped, and no transport means no time info at all. Each row renders
// two blocks through the plug-in and through an instance whose host hands
// it the expected time info; the renders must be equal, and the rows must
// not all render alike.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "clap_test_host.h"

namespace {

constexpr double kRate = 48000.0;
constexpr uint32_t kFrames = 480;  // 10 ms
constexpr uint32_t kSeconds = CLAP_TRANSPORT_HAS_SECONDS_TIMELINE;
constexpr uint32_t kBeats = CLAP_TRANSPORT_HAS_BEATS_TIMELINE;
constexpr uint32_t kTempo = CLAP_TRANSPORT_HAS_TEMPO;
constexpr uint32_t kPlaying = CLAP_TRANSPORT_IS_PLAYING;
constexpr uint32_t kSignature = CLAP_TRANSPORT_HAS_TIME_SIGNATURE;

struct Row {
  const char* what;
  bool hasTransport[2];  // in the first block, the second
  uint32_t flags;
  double beats, seconds, tempo;
  uint16_t numerator, denominator;
  double position;  // what the instance must see at the first block's start
  bool playing;
};

// clang-format off
const Row kRows[] = {
    {"no transport", {false, false}, 0, 0, 0, 0, 0, 0, 0, false},
    {"seconds, beats disagreeing", {true, true}, kSeconds | kBeats | kTempo | kPlaying, 1.0, 2.5, 120.0, 4, 4, 120000, true},
    {"beats at 90 bpm", {true, true}, kBeats | kTempo | kPlaying, 3.0, 0.0, 90.0, 4, 4, 96000, true},
    {"stopped in 3/4", {true, true}, kSeconds | kTempo | kSignature, 0.0, 1.0, 140.0, 3, 4, 48000, false},
    {"playing in pre-roll", {true, true}, kSeconds | kTempo | kPlaying, 0.0, -0.005, 120.0, 4, 4, -240, false},
    {"no timeline", {true, true}, kTempo | kPlaying, 0.0, 0.0, 100.0, 4, 4, 0, true},
    {"playing, then no transport", {true, false}, kSeconds | kTempo | kPlaying, 0.0, 3.0, 120.0, 4, 4, 144000, true},
};
// clang-format on

TEST(ClapTransport, InstanceSeesTheHostsTimeAtTheActivatedRate) {
  std::vector<std::vector<float>> renders;
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.what);
    TestHost host;
    ClapPlugin p(host);
    p.Start(kRate, kFrames);
    FixedTimeHost fixed;
    const auto straight = StartedInstance(fixed, kRate, kFrames);
    ClapBlock block(false, kFrames, 0.5), expected(false, kFrames, 0.5);
    std::vector<float> render;
    for (int number = 0; number < 2; ++number) {
      // The host's clock moves on by one block.
      const double elapsed = number * kFrames / kRate;
      clap_event_transport_t transport = {};
      transport.header = {sizeof transport, 0, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_TRANSPORT, 0};
      transport.flags = row.flags;
      transport.tempo = row.tempo;
      transport.song_pos_beats =
          std::llround((row.beats + elapsed * row.tempo / 60.0) * CLAP_BEATTIME_FACTOR);
      transport.song_pos_seconds = std::llround((row.seconds + elapsed) * CLAP_SECTIME_FACTOR);
      transport.tsig_num = row.numerator;
      transport.tsig_denom = row.denominator;
      InputEvents none;
      OutputEvents out;
      ASSERT_EQ(block.Run(p, &none, &out, row.hasTransport[number] ? &transport : nullptr),
                CLAP_PROCESS_CONTINUE);

      fixed.give = row.hasTransport[number];
      HostTime& time = fixed.time;
      time = {};
      time.samplePosition = row.position + number * kFrames;
      // Playing once the position reaches zero.
      time.playing = row.playing || ((row.flags & kPlaying) != 0 && time.samplePosition >= 0);
      time.tempoValid = row.hasTransport[0];
      time.tempo = row.tempo;
      time.signatureValid = (row.flags & kSignature) != 0;
      time.numerator = time.signatureValid ? row.numerator : 0;
      time.denominator = time.signatureValid ? row.denominator : 0;
      expected.RenderStraight(*straight, 0, static_cast<int32_t>(kFrames));
      for (int c = 0; c < 2; ++c) {
        for (uint32_t i = 0; i < kFrames; ++i) {
          ASSERT_EQ(block.out32[c][i], expected.out32[c][i])
              << "block " << number << " channel " << c << " frame " << i;
          render.push_back(block.out32[c][i]);
        }
      }
    }
    renders.push_back(render);
  }
  // The time info matters to the render: the rows do not all sound alike.
  int distinct = 0;
  for (size_t i = 1; i < renders.size(); ++i) distinct += renders[i] != renders[0];
  EXPECT_GT(distinct, 0);
}

}  // namespace
