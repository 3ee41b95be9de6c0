// AVX-512 with the byte permutes of VBMI; compiled with those flags and run
// only where the processor has them.
#include <immintrin.h>

#include <array>

#include "scanner/kernels/group_loop.h"

namespace tamsel::detail {
namespace {

// Every lead byte has its top bit set, so a 128-entry table indexed by the
// low seven bits, and-ed with the byte itself, says whether it is one.
// kLowHalf covers indices 0x00-0x3F (lead bytes 0x81-0x9F), kHighHalf
// indices 0x40-0x7F (lead bytes 0xE0-0xFC).
constexpr std::array<std::uint8_t, 64> MakeHalf(unsigned base) {
  std::array<std::uint8_t, 64> half{};
  for (unsigned i = 0; i < 64; ++i) {
    const unsigned byte = 0x80 | (base + i);
    const bool lead = (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    half[i] = lead ? 0x80 : 0x00;
  }
  return half;
}
alignas(64) constexpr std::array<std::uint8_t, 64> kLowHalf = MakeHalf(0x00);
alignas(64) constexpr std::array<std::uint8_t, 64> kHighHalf = MakeHalf(0x40);

struct Avx512Masks {
  static std::uint64_t Lead(const std::uint8_t* g) {
    const __m512i v = _mm512_loadu_si512(g);
    const __m512i entry = _mm512_permutex2var_epi8(_mm512_load_si512(kLowHalf.data()), v,
                                                   _mm512_load_si512(kHighHalf.data()));
    return _mm512_test_epi8_mask(entry, v);
  }
  static std::uint64_t Candidates(const std::uint8_t* g) {
    const __m512i v = _mm512_loadu_si512(g);
    const __m512i w = _mm512_loadu_si512(g + 14);
    return _mm512_cmpeq_epi8_mask(v, _mm512_set1_epi8('M')) &
           _mm512_cmpeq_epi8_mask(w, _mm512_set1_epi8('l'));
  }
};

}  // namespace

void RunAvx512(const std::uint8_t* p, std::size_t n, GroupCursor& cursor, MatchFn fn,
               void* context) {
  RunGroups<Avx512Masks>(p, n, cursor, fn, context);
}

}  // namespace tamsel::detail
