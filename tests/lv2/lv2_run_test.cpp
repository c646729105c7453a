// The plug-in's run against the same effect driven straight through the
// seam, on randomised blocks: control ports become values at the block's
// start, once; transport positions split the block at their frame and the
// transport moves on between them (computed here on a frame count of the
// test's own); note-ons reach the instance at their frames; blocks of no
// frames, one frame, blocks larger than the instance's (rendered in pieces,
// the transport moved on between them), input and output in one buffer,
// events past the block, control values between steps, beyond the ranges or
// NaN. Then sequences that lie about their sizes. Outputs are compared sample for sample.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "engine/gate_params.h"
#include "lv2_fixture.h"
#include "tests/engine/pattern_test_seed.h"

namespace {

using lv2_test::Direct;
using lv2_test::Plugin;
using lv2_test::PositionEvent;
using lv2_test::UridMap;

constexpr int kTrance = 12;  // a factory program with a pattern of varied steps

// The transport as a host means it: each position sets what it carries at
// its frame, and the position moves on with the speed over every frame
// since, counted from the start of the render.
class TransportModel {
 public:
  void Apply(const PositionEvent& p, int64_t frame) {
    position_ = known_ ? PositionAt(frame) : 0.0;
    anchor_ = frame;
    known_ = true;
    if (p.frame) position_ = static_cast<double>(*p.frame);
    if (p.speed) speed_ = *p.speed;
    if (p.bpm) bpm_ = *p.bpm;
    if (p.beatsPerBar) beatsPerBar_ = *p.beatsPerBar;
    if (p.beatUnit) beatUnit_ = *p.beatUnit;
  }
  const HostTime* At(int64_t frame) {
    if (!known_) return nullptr;
    time_ = HostTime();
    time_.samplePosition = PositionAt(frame);
    time_.playing = speed_ != 0.0 && time_.samplePosition >= 0.0;
    time_.tempoValid = bpm_ > 0.0;
    time_.tempo = time_.tempoValid ? bpm_ : 0.0;
    time_.signatureValid = beatsPerBar_ > 0.0 && beatUnit_ > 0;
    if (time_.signatureValid) {
      time_.numerator = static_cast<int32_t>(std::lround(beatsPerBar_));
      time_.denominator = beatUnit_;
    }
    return &time_;
  }

 private:
  double PositionAt(int64_t frame) const {
    return position_ + static_cast<double>(frame - anchor_) * speed_;
  }
  bool known_ = false;
  double position_ = 0.0;
  int64_t anchor_ = 0;
  double speed_ = 0.0;
  double bpm_ = 0.0;
  double beatsPerBar_ = 0.0;
  int32_t beatUnit_ = 0;
  HostTime time_{};
};

struct Note {
  int64_t at;
  uint8_t status, pitch, velocity;
};

struct Block {
  int32_t frames;
  std::vector<PositionEvent> positions;  // in time order
  std::vector<Note> notes;               // in time order
  int param = -1;                        // a control port moved before the block
  float value = 0.0f;
};

// A stereo signal with something for every gate to act on.
struct Signal {
  std::vector<float> left, right;
  explicit Signal(size_t frames) : left(frames), right(frames) {
    for (size_t i = 0; i < frames; ++i) {
      left[i] = static_cast<float>(0.5 * std::sin(0.031 * static_cast<double>(i)));
      right[i] = static_cast<float>(0.4 * std::sin(0.0071 * static_cast<double>(i) + 1.0));
    }
  }
};

struct Outputs {
  std::vector<float> left, right;
};

// The plug-in's output for `blocks`, the events laid out in one sequence
// per block in time order; `shared`: rendered in place, over the input.
Outputs RunPlugin(const std::vector<Block>& blocks, const std::vector<float>& ports,
                  const Signal& in, size_t total, bool shared = false) {
  UridMap map;
  Plugin plugin(&map);
  plugin.Start(ports);
  Outputs out{std::vector<float>(total), std::vector<float>(total)};
  if (shared) out = {in.left, in.right};
  const float* fromL = shared ? out.left.data() : in.left.data();
  const float* fromR = shared ? out.right.data() : in.right.data();
  size_t start = 0;
  for (const Block& block : blocks) {
    if (block.param >= 0) plugin.Port(block.param) = block.value;
    size_t p = 0, n = 0;
    while (p < block.positions.size() || n < block.notes.size()) {
      const bool position = n == block.notes.size() || (p < block.positions.size() &&
                                                        block.positions[p].at <= block.notes[n].at);
      if (position) {
        plugin.Events().AddPosition(block.positions[p++]);
      } else {
        const Note& note = block.notes[n++];
        plugin.Events().AddMidi(note.at, note.status, note.pitch, note.velocity);
      }
    }
    plugin.Run(fromL + start, fromR + start, out.left.data() + start, out.right.data() + start,
               static_cast<uint32_t>(block.frames));
    start += static_cast<size_t>(block.frames);
  }
  return out;
}

// The same blocks straight through the seam: the slices, times and note
// offsets computed here.
Outputs RunDirect(const std::vector<Block>& blocks, const std::vector<float>& ports, Signal& in,
                  size_t total) {
  Direct direct;
  for (size_t i = 0; i < ports.size(); ++i) {
    if (ports[i] != static_cast<float>(direct.Plain(static_cast<int>(i))))
      direct.SetPlain(static_cast<int>(i), ports[i]);
  }
  std::vector<float> portValues = ports;
  TransportModel transport;
  Outputs out{std::vector<float>(total), std::vector<float>(total)};
  int64_t blockStart = 0;
  for (const Block& block : blocks) {
    // A port the host writes with the value it holds has not changed: the
    // instance keeps what it has (a program a note chose, say). A NaN is no value.
    if (block.param >= 0 && portValues[static_cast<size_t>(block.param)] != block.value &&
        !std::isnan(block.value)) {
      portValues[static_cast<size_t>(block.param)] = block.value;
      direct.SetPlain(block.param, block.value);
    }
    const int32_t frames = block.frames;
    auto noteFrame = [frames](int64_t at) {
      return std::min<int64_t>(std::max<int64_t>(at, 0), std::max(frames - 1, 0));
    };
    auto queueNotes = [&](int64_t from, int64_t to) {
      for (const Note& note : block.notes) {
        const int64_t at = noteFrame(note.at);
        if (at < from || at >= to || (note.status & 0xF0) != 0x90 || note.velocity == 0) continue;
        direct.Instance().QueueMidi(
            {static_cast<int32_t>(at - from), note.status, note.pitch, note.velocity});
      }
    };
    auto render = [&](int64_t from, int64_t to) {
      for (int64_t piece = from; piece < to; piece += 4096) {
        const int64_t end = std::min<int64_t>(to, piece + 4096);
        queueNotes(piece, end);
        const size_t base = static_cast<size_t>(blockStart);
        direct.Render(in.left.data() + base, in.right.data() + base, out.left.data() + base,
                      out.right.data() + base, static_cast<int32_t>(piece),
                      static_cast<int32_t>(end - piece), transport.At(blockStart + piece));
      }
    };
    int64_t sliceStart = 0;
    for (const PositionEvent& p : block.positions) {
      const int64_t at =
          std::max(std::min<int64_t>(std::max<int64_t>(p.at, 0), frames), sliceStart);
      if (at > sliceStart) render(sliceStart, at);
      sliceStart = at;
      transport.Apply(p, blockStart + at);
    }
    if (frames > 0) {
      render(sliceStart, frames);
    } else {
      queueNotes(0, 1);
      direct.Instance().ProcessNothing();
    }
    blockStart += frames;
  }
  return out;
}

size_t TotalFrames(const std::vector<Block>& blocks) {
  size_t total = 0;
  for (const Block& block : blocks) total += static_cast<size_t>(block.frames);
  return total;
}

// The first sample where the two outputs differ, or -1.
int64_t FirstDifference(const Outputs& a, const Outputs& b) {
  for (size_t i = 0; i < a.left.size(); ++i) {
    if (a.left[i] != b.left[i] || a.right[i] != b.right[i]) return static_cast<int64_t>(i);
  }
  return -1;
}

std::vector<Block> RandomBlocks(std::mt19937& random) {
  std::vector<Block> blocks(14);
  for (Block& block : blocks) {
    const unsigned kind = random() % 10;
    block.frames = kind == 0   ? 0
                   : kind == 1 ? 1 + static_cast<int32_t>(random() % 3)
                   : kind == 2 ? 4097 + static_cast<int32_t>(random() % 6000)
                               : 16 + static_cast<int32_t>(random() % 900);
    // Events up to a few frames past the block's end.
    const int64_t reach = block.frames + 8;
    for (int k = 0; k < 2; ++k) {
      if (random() % 5 >= 2) continue;
      PositionEvent p;
      p.at = static_cast<int64_t>(random() % static_cast<unsigned>(reach));
      // Mostly complete positions, some with only the tempo or only the
      // speed (a stop or a start where the transport got to).
      const unsigned shape = random() % 6;
      if (shape < 4) {
        const int64_t frames[] = {0, 1000, -3000, static_cast<int64_t>(random() % 400000)};
        p.frame = frames[random() % 4];
      }
      if (shape != 5) p.bpm = std::vector<float>{90.0f, 120.0f, 128.0f, 141.5f}[random() % 4];
      if (shape != 4) p.speed = random() % 3 == 0 ? 0.0f : 1.0f;
      if (shape < 4) {
        p.beatsPerBar = random() % 3 == 0 ? 3.0f : 4.0f;
        p.beatUnit = random() % 4 == 0 ? 8 : 4;
      }
      block.positions.push_back(p);
    }
    std::sort(block.positions.begin(), block.positions.end(),
              [](const PositionEvent& a, const PositionEvent& b) { return a.at < b.at; });
    const int notes = static_cast<int>(random() % 4);
    for (int k = 0; k < notes; ++k) {
      const uint8_t statuses[] = {0x90, 0x91, 0x80};
      block.notes.push_back({static_cast<int64_t>(random() % static_cast<unsigned>(reach - 4)),
                             statuses[random() % 3], static_cast<uint8_t>(36 + random() % 50),
                             static_cast<uint8_t>(random() % 128)});
    }
    std::stable_sort(block.notes.begin(), block.notes.end(),
                     [](const Note& a, const Note& b) { return a.at < b.at; });
    if (random() % 3 == 0) {
      // A step of the range, between steps, beyond either end, or no value.
      const int params[] = {kRate, kTarget, kCycle, kSwing, kGate};
      block.param = params[random() % 5];
      const float values[] = {static_cast<float>(random() % 28), 7.4f, 99.0f, -5.0f, std::nanf("")};
      block.value = values[random() % 5];
    }
  }
  return blocks;
}

TEST(Lv2Run, MatchesTheInstanceDrivenWithTheSameTimeNotesAndValues) {
  const unsigned seed = PatternTestSeed(24);
  SCOPED_TRACE(SeedTrace(seed));
  std::mt19937 random(seed);
  for (int round = 0; round < 12; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    const std::vector<Block> blocks = RandomBlocks(random);
    // A factory program's pattern, which the grid's placement shows.
    std::vector<float> ports = Direct().ProgramPortValues(1 + static_cast<int>(random() % 20));
    // Notes restart the pattern in some rounds (in the others the host
    // position places it) and switch programs in others.
    ports[kRestartMode] =
        static_cast<float>(round % 2 == 0 ? kRestartMidiNote : kRestartHostPosition);
    const int switches[] = {kSwitchOff, kSwitchImmediate, kSwitchNextStep};
    ports[kMidiSwitch] = static_cast<float>(switches[round % 3]);
    ports[kRate] = static_cast<float>(random() % 28);
    ports[kCycle] = static_cast<float>(1 + random() % 32);
    const size_t total = TotalFrames(blocks);
    Signal in(total);
    const Outputs viaPlugin = RunPlugin(blocks, ports, in, total, round % 4 == 3);
    const Outputs viaSeam = RunDirect(blocks, ports, in, total);
    EXPECT_EQ(FirstDifference(viaPlugin, viaSeam), -1);
  }
}

TEST(Lv2Run, EventsThatRunPastTheSequenceAreNotRead) {
  // Each sequence starts the transport at its first frame; notes restart
  // the pattern where they fall.
  UridMap map;
  std::vector<float> ports = Direct().ProgramPortValues(kTrance);
  ports[kRestartMode] = static_cast<float>(kRestartMidiNote);
  PositionEvent start;
  start.frame = 0;
  start.speed = 1.0f;
  start.bpm = 120.0f;
  const Signal in(300);
  // A start, then the note at 100 if `note`, then `object` (a time position)
  // at 50 if any, then a note at 150 claiming 1 GiB if `lying`; the
  // sequence's own size cut to `declared` if set.
  auto render = [&](bool note, const std::vector<uint8_t>& object, bool lying, uint32_t declared) {
    lv2_test::Sequence events(map);
    events.AddPosition(start);
    if (note) events.AddMidi(100, 0x90, 60, 100);
    if (!object.empty())
      events.AddEvent(50, map.Id(LV2_ATOM__Object), object.data(),
                      static_cast<uint32_t>(object.size()));
    const uint32_t lyingAt = events.Port()->atom.size;  // bytes from the sequence body
    if (lying) events.AddMidi(150, 0x90, 61, 100);
    LV2_Atom_Sequence* port = events.Port();
    if (lying)
      reinterpret_cast<LV2_Atom_Event*>(reinterpret_cast<uint8_t*>(&port->body) + lyingAt)
          ->body.size = 1u << 30;
    if (declared) port->atom.size = declared;
    Plugin plugin(&map);
    plugin.Start(ports);
    Outputs out{std::vector<float>(300), std::vector<float>(300)};
    plugin.Run(in.left.data(), in.right.data(), out.left.data(), out.right.data(), 300, port);
    return out;
  };
  // A note claiming more bytes than the sequence holds: it and what follows unread.
  EXPECT_EQ(FirstDifference(render(true, {}, true, 0), render(true, {}, false, 0)), -1);
  // A sequence shorter than its own header: nothing read.
  EXPECT_EQ(FirstDifference(render(true, {}, false, 4), render(false, {}, false, 4)), -1);
  // A position with a tempo, then a speed claiming more than the object
  // holds: the whole object is ignored.
  std::vector<uint8_t> object(
      sizeof(LV2_Atom_Object_Body) + 2 * sizeof(LV2_Atom_Property_Body) + 16, 0);
  const LV2_Atom_Object_Body head = {0, map.Id(LV2_TIME__Position)};
  const LV2_Atom_Property_Body tempo = {
      map.Id(LV2_TIME__beatsPerMinute), 0, {sizeof(float), map.Id(LV2_ATOM__Float)}};
  const float bpm = 90.0f;
  const LV2_Atom_Property_Body speed = {
      map.Id(LV2_TIME__speed), 0, {1000, map.Id(LV2_ATOM__Float)}};
  uint8_t* at = object.data();
  std::memcpy(at, &head, sizeof head);
  std::memcpy(at += sizeof head, &tempo, sizeof tempo);
  std::memcpy(at += sizeof tempo, &bpm, sizeof bpm);
  std::memcpy(at + 8, &speed, sizeof speed);
  EXPECT_EQ(FirstDifference(render(false, object, false, 0), render(false, {}, false, 0)), -1);
}

}  // namespace
