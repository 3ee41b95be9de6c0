// AVX2; this file is compiled with -mavx2 and run only where the processor
// has it.
#include <immintrin.h>

#include "scanner/kernels/group_loop.h"

namespace tamsel::detail {
namespace {

struct Avx2Masks {
  static std::uint64_t Lead(const std::uint8_t* g) {
    // The same shifted signed comparisons as the SSE2 kernel.
    std::uint64_t mask = 0;
    for (unsigned i = 0; i < 2; ++i) {
      const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(g + 32 * i));
      const __m256i low =
          _mm256_cmpgt_epi8(_mm256_set1_epi8(-97), _mm256_add_epi8(v, _mm256_set1_epi8(-1)));
      const __m256i high =
          _mm256_cmpgt_epi8(_mm256_set1_epi8(-99), _mm256_add_epi8(v, _mm256_set1_epi8(-0x60)));
      const auto bits = static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_or_si256(low, high)));
      mask |= static_cast<std::uint64_t>(bits) << (32 * i);
    }
    return mask;
  }
  static std::uint64_t Candidates(const std::uint8_t* g) {
    std::uint64_t mask = 0;
    for (unsigned i = 0; i < 2; ++i) {
      const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(g + 32 * i));
      const __m256i w = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(g + 32 * i + 14));
      const __m256i both = _mm256_and_si256(_mm256_cmpeq_epi8(v, _mm256_set1_epi8('M')),
                                            _mm256_cmpeq_epi8(w, _mm256_set1_epi8('l')));
      mask |= static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm256_movemask_epi8(both)))
              << (32 * i);
    }
    return mask;
  }
};

}  // namespace

void RunAvx2(const std::uint8_t* p, std::size_t n, GroupCursor& cursor, MatchFn fn,
             void* context) {
  RunGroups<Avx2Masks>(p, n, cursor, fn, context);
}

}  // namespace tamsel::detail
