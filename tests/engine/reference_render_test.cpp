// Renders of every factory program and the default, pinned as hashes taken
// before swing, chance, restart modes and MIDI switching existed: with those
// at their defaults every session must sound sample for sample as it did.
#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>

#include "tests/engine/vst2_render.h"

namespace {

// One hash per program and tempo: the engine is sample-exact whatever the
// host's block size, so both block sizes must give it.
struct PinnedRender {
  int program;
  double tempo;
  uint64_t hash;
};

// Three seconds from host position 12345, the test signal of vst2_render.h.
constexpr int64_t kRenderFrames = 132300;
constexpr double kStartPosition = 12345;

// clang-format off
const PinnedRender kPinned[] = {
#include "tests/engine/reference_render_table.inc"
};
// clang-format on

TEST(ReferenceRender, EveryProgramRendersAsBeforeAtBothTemposAndBlockSizes) {
  for (const PinnedRender& pin : kPinned) {
    for (int block : {64, 1000}) {
      vst2_render::Effect effect(pin.tempo, block, kStartPosition);
      effect.Dispatch(vst2::effSetProgram, 0, pin.program);
      effect.Render(kRenderFrames, block);
      const uint64_t hash = effect.Hash();
      EXPECT_EQ(hash, pin.hash) << "program " << pin.program << " tempo " << pin.tempo << " block "
                                << block;
      if (hash != pin.hash) {
        std::printf("  {%d, %.1f, 0x%016" PRIX64 "ull},\n", pin.program, pin.tempo, hash);
      }
    }
  }
}

}  // namespace
