#include "graphics/source_alpha_sse2.h"

#if defined(__SSE2__)
#include <emmintrin.h>

namespace {

// Per-pixel 16-bit factors (one 32-bit lane each, value in the low half)
// spread over the four channel lanes of two pixels.
inline __m128i SpreadLow(__m128i perPixel) {
  __m128i doubled = _mm_or_si128(perPixel, _mm_slli_epi32(perPixel, 16));
  return _mm_unpacklo_epi32(doubled, doubled);
}
inline __m128i SpreadHigh(__m128i perPixel) {
  __m128i doubled = _mm_or_si128(perPixel, _mm_slli_epi32(perPixel, 16));
  return _mm_unpackhi_epi32(doubled, doubled);
}

// Colour channels s + (d - s)·keep/256 truncated toward zero, computed as
// s ± |d - s|·keep/256 so the product fits 16 bits (keep ≤ 256).
inline __m128i MixTowardSource(__m128i d, __m128i s, __m128i keep) {
  const __m128i zero = _mm_setzero_si128();
  __m128i sOverD = _mm_subs_epu8(s, d);
  __m128i distance = _mm_or_si128(_mm_subs_epu8(d, s), sOverD);
  __m128i low = _mm_mullo_epi16(_mm_unpacklo_epi8(distance, zero), SpreadLow(keep));
  __m128i high = _mm_mullo_epi16(_mm_unpackhi_epi8(distance, zero), SpreadHigh(keep));
  __m128i step = _mm_packus_epi16(_mm_srli_epi16(low, 8), _mm_srli_epi16(high, 8));
  __m128i destNotBelow = _mm_cmpeq_epi8(sOverD, zero);
  return _mm_or_si128(_mm_and_si128(destNotBelow, _mm_add_epi8(s, step)),
                      _mm_andnot_si128(destNotBelow, _mm_sub_epi8(s, step)));
}

// Colours from the mix, alpha = min(dA + added, 255), and transparent
// source pixels leave the destination as it was.
inline __m128i Combine(__m128i d, __m128i s, __m128i colours, __m128i addedAlpha) {
  const __m128i alphaMask = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  __m128i alpha = _mm_and_si128(_mm_adds_epu8(d, _mm_slli_epi32(addedAlpha, 24)), alphaMask);
  __m128i blended = _mm_or_si128(_mm_andnot_si128(alphaMask, colours), alpha);
  __m128i transparent = _mm_cmpeq_epi32(_mm_and_si128(s, alphaMask), _mm_setzero_si128());
  return _mm_or_si128(_mm_and_si128(transparent, d), _mm_andnot_si128(transparent, blended));
}

}  // namespace

int32_t SourceAlphaOpaqueSse2(Pixel* dest, const Pixel* src, int32_t n) {
  const __m128i full = _mm_set1_epi32(255);
  int32_t i = 0;
  for (; i + 4 <= n; i += 4) {
    __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dest + i));
    __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    __m128i sourceAlpha = _mm_srli_epi32(s, 24);
    __m128i keep = _mm_sub_epi32(full, sourceAlpha);  // 255 - sA
    __m128i result = Combine(d, s, MixTowardSource(d, s, keep), sourceAlpha);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dest + i), result);
  }
  return i;
}

int32_t SourceAlphaWeightedSse2(Pixel* dest, const Pixel* src, int32_t n, int32_t weight) {
  if (weight <= 0 || weight >= 256) return 0;
  const __m128i weights = _mm_set1_epi32(weight);
  const __m128i one = _mm_set1_epi32(1);
  const __m128i whole = _mm_set1_epi32(256);
  int32_t i = 0;
  for (; i + 4 <= n; i += 4) {
    __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dest + i));
    __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    // k = w·(sA + 1)/256; the product stays below 65536, so 16-bit multiplies serve.
    __m128i k = _mm_srli_epi32(
        _mm_mullo_epi16(_mm_add_epi32(_mm_srli_epi32(s, 24), one), weights), 8);
    __m128i keep = _mm_sub_epi32(whole, k);  // 256 - k
    __m128i result = Combine(d, s, MixTowardSource(d, s, keep), k);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dest + i), result);
  }
  return i;
}

#else

int32_t SourceAlphaOpaqueSse2(Pixel*, const Pixel*, int32_t) { return 0; }
int32_t SourceAlphaWeightedSse2(Pixel*, const Pixel*, int32_t, int32_t) { return 0; }

#endif
