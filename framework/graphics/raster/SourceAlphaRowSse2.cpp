// Four pixels at a time with SSE2 (every x86-64 processor has it), exact to
// the pixel: every division rounds toward zero as the one-pixel rule does.
// Groups that are wholly transparent are skipped and, at full opacity,
// wholly opaque ones copied, which is most of every picture.
#include <emmintrin.h>

#include "framework/graphics/raster/SourceAlphaRow.h"

namespace velmora {
namespace {

// src + (old - src) * w / 256 truncated toward zero, for two pixels' channels as 16-bit lanes (w: each pixel's weight in
// its four lanes). |old - src| * w <= 255 * 256 fits 16 bits unsigned, so
// the magnitude is a plain product and a shift; the sign goes back after.
inline __m128i MixTwo(__m128i d, __m128i s, __m128i w) {
  const __m128i diff = _mm_sub_epi16(d, s);
  const __m128i sign = _mm_srai_epi16(diff, 15);
  const __m128i magnitude = _mm_sub_epi16(_mm_xor_si128(diff, sign), sign);
  const __m128i scaled = _mm_srli_epi16(_mm_mullo_epi16(magnitude, w), 8);
  return _mm_add_epi16(s, _mm_sub_epi16(_mm_xor_si128(scaled, sign), sign));
}

inline __m128i FourPixels(__m128i d, __m128i s, int a) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i sa = _mm_srli_epi32(s, 24);
  __m128i k, w;
  if (a == 256) {
    k = sa;
    // 255 - s, and 256 where s is 0 (the pixel stays).
    w = _mm_sub_epi32(_mm_sub_epi32(_mm_set1_epi32(255), sa), _mm_cmpeq_epi32(sa, zero));
  } else {
    // a * (s + 1) < 2^16: a 16-bit product in each 32-bit lane.
    k = _mm_srli_epi32(_mm_mullo_epi16(_mm_set1_epi32(a), _mm_add_epi32(sa, _mm_set1_epi32(1))), 8);
    w = _mm_sub_epi32(_mm_set1_epi32(256), k);
  }
  const __m128i alpha = _mm_min_epi16(_mm_add_epi32(_mm_srli_epi32(d, 24), k), _mm_set1_epi32(255));
  const __m128i w16 = _mm_packs_epi32(w, w);
  const __m128i pairs = _mm_unpacklo_epi16(w16, w16);
  const __m128i w01 = _mm_unpacklo_epi32(pairs, pairs);
  const __m128i w23 = _mm_unpackhi_epi32(pairs, pairs);
  const __m128i lo = MixTwo(_mm_unpacklo_epi8(d, zero), _mm_unpacklo_epi8(s, zero), w01);
  const __m128i hi = MixTwo(_mm_unpackhi_epi8(d, zero), _mm_unpackhi_epi8(s, zero), w23);
  const __m128i colours = _mm_and_si128(_mm_packus_epi16(lo, hi), _mm_set1_epi32(0x00ffffff));
  return _mm_or_si128(colours, _mm_slli_epi32(alpha, 24));
}

}  // namespace

void SourceAlphaRow(Pixel* d, const Pixel* s, int n, int a) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i opaque = _mm_set1_epi32(int(0xff000000u));
  int i = 0;
  for (; i + 4 <= n; i += 4) {
    const __m128i sp = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    const __m128i sa = _mm_and_si128(sp, opaque);
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(sa, zero)) == 0xffff) continue;
    __m128i* dp = reinterpret_cast<__m128i*>(d + i);
    if (a == 256 && _mm_movemask_epi8(_mm_cmpeq_epi32(sa, opaque)) == 0xffff) {
      _mm_storeu_si128(dp, sp);
      continue;
    }
    _mm_storeu_si128(dp, FourPixels(_mm_loadu_si128(dp), sp, a));
  }
  for (; i < n; ++i) d[i] = SourceAlphaPixel(d[i], s[i], a);
}

}  // namespace velmora
