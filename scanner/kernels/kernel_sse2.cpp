// SSE2, which every x86-64 processor has.
#include <emmintrin.h>

#include "scanner/kernels/group_loop.h"

namespace tamsel::detail {
namespace {

struct Sse2Masks {
  static std::uint64_t Lead(const std::uint8_t* g) {
    // Only signed byte comparisons exist, so shift each range to the bottom
    // of the signed range: b - 1 lands 0x81..0x9F on -128..-98, and b - 0x60
    // lands 0xE0..0xFC on -128..-100.
    std::uint64_t mask = 0;
    for (unsigned i = 0; i < 4; ++i) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(g + 16 * i));
      const __m128i low = _mm_cmplt_epi8(_mm_add_epi8(v, _mm_set1_epi8(-1)), _mm_set1_epi8(-97));
      const __m128i high =
          _mm_cmplt_epi8(_mm_add_epi8(v, _mm_set1_epi8(-0x60)), _mm_set1_epi8(-99));
      const auto bits = static_cast<std::uint16_t>(_mm_movemask_epi8(_mm_or_si128(low, high)));
      mask |= static_cast<std::uint64_t>(bits) << (16 * i);
    }
    return mask;
  }
  static std::uint64_t Candidates(const std::uint8_t* g) {
    std::uint64_t mask = 0;
    for (unsigned i = 0; i < 4; ++i) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(g + 16 * i));
      const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(g + 16 * i + 14));
      const __m128i both = _mm_and_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('M')),
                                         _mm_cmpeq_epi8(w, _mm_set1_epi8('l')));
      mask |= static_cast<std::uint64_t>(static_cast<std::uint16_t>(_mm_movemask_epi8(both)))
              << (16 * i);
    }
    return mask;
  }
};

}  // namespace

void RunSse2(const std::uint8_t* p, std::size_t n, GroupCursor& cursor, MatchFn fn,
             void* context) {
  RunGroups<Sse2Masks>(p, n, cursor, fn, context);
}

}  // namespace tamsel::detail
