// Four-pixels-at-a-time forms of the two source-alpha copy rules (the
// editor's most common blits), for x86-64. Each returns how many leading
// pixels it handled (a multiple of 4); the caller finishes the rest with the
// per-pixel rule, whose results these match exactly.
#pragma once

#include <cstdint>

#include "graphics/pixel.h"

// blend::SourceAlphaOpaque over n pixels.
int32_t SourceAlphaOpaqueSse2(Pixel* dest, const Pixel* src, int32_t n);
// blend::SourceAlphaWeighted with 0 < weight < 256 over n pixels.
int32_t SourceAlphaWeightedSse2(Pixel* dest, const Pixel* src, int32_t n, int32_t weight);
