// Every factory program and the default, rendered through the VST 2 record
// and pinned as hashes taken before swing, chance, restart modes and MIDI
// switching existed: at their defaults every session sounds as it did.
#include <gtest/gtest.h>

#include <algorithm>
#include <cinttypes>
#include <cstdio>

#include "tests/engine/vst2_render.h"

namespace {

// clang-format off
const struct {
  int program;
  uint64_t hash[2];  // at 120 and 97.3 BPM: FNV-1a of the left then the right output's bytes
} kPinned[] = {
#include "tests/engine/reference_render_table.inc"
};
// clang-format on

// Three seconds from host position 12345; sample-exact at either block size.
TEST(ReferenceRender, EveryProgramRendersAsBeforeAtBothTemposAndBlockSizes) {
  for (const auto& pin : kPinned) {
    for (int run = 0; run < 4; ++run) {
      const double tempo = run < 2 ? 120 : 97.3;
      const int block = run % 2 ? 1000 : 64;
      vst2_render::Effect effect(tempo, block, 12345);
      effect.constantInput = false;
      effect.effect->dispatcher(effect.effect, vst2::effSetProgram, 0, pin.program, nullptr, 0);
      while (effect.rendered < 132300)
        effect.Process(static_cast<int>(std::min<int64_t>(block, 132300 - effect.rendered)));
      uint64_t hash = 0xCBF29CE484222325ull;
      for (const auto* out : {&effect.outLeft, &effect.outRight}) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(out->data());
        for (size_t i = 0; i < out->size() * sizeof(double); ++i)
          hash = (hash ^ bytes[i]) * 0x100000001B3ull;
      }
      EXPECT_EQ(hash, pin.hash[run / 2])
          << "program " << pin.program << " tempo " << tempo << " block " << block;
      if (hash != pin.hash[run / 2])
        std::printf("program %d at %.1f BPM: 0x%016" PRIX64 "ull\n", pin.program, tempo, hash);
    }
  }
}

}  // namespace
