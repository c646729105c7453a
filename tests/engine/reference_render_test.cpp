// Every factory program and the default, rendered through the VST 2 record
// and pinned as hashes taken before swing, chance, restart modes and MIDI
// switching existed: at their defaults every session sounds as it did.
#include <gtest/gtest.h>

#include <algorithm>
#include <cinttypes>
#include <cstdio>

#include "tests/engine/vst2_render.h"

namespace {

const struct {
  int program;
  double tempo;
  uint64_t hash;  // FNV-1a of the left then the right output's bytes
} kPinned[] = {
// clang-format off
#include "tests/engine/reference_render_table.inc"
    // clang-format on
};

// Three seconds from host position 12345; sample-exact at either block size.
TEST(ReferenceRender, EveryProgramRendersAsBeforeAtBothTemposAndBlockSizes) {
  for (const auto& pin : kPinned) {
    for (int block : {64, 1000}) {
      vst2_render::Effect effect(pin.tempo, block, 12345);
      effect.constantInput = false;
      effect.Dispatch(vst2::effSetProgram, 0, pin.program);
      while (effect.rendered < 132300)
        effect.Process(static_cast<int>(std::min<int64_t>(block, 132300 - effect.rendered)));
      uint64_t hash = 0xCBF29CE484222325ull;
      for (const auto* out : {&effect.outLeft, &effect.outRight}) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(out->data());
        for (size_t i = 0; i < out->size() * sizeof(double); ++i)
          hash = (hash ^ bytes[i]) * 0x100000001B3ull;
      }
      EXPECT_EQ(hash, pin.hash) << "program " << pin.program << " tempo " << pin.tempo << " block "
                                << block;
      if (hash != pin.hash)
        std::printf("  {%d, %.1f, 0x%016" PRIX64 "ull},\n", pin.program, pin.tempo, hash);
    }
  }
}

}  // namespace
