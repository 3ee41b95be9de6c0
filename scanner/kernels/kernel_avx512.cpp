// AVX-512 with the byte permutes of VBMI and the 64-bit population counts
// of VPOPCNTDQ; compiled with those flags and run only where the processor
// has them.
// GCC 12's AVX-512 headers fill some results from a deliberately undefined
// value, which its own -Wmaybe-uninitialized then reports in every caller.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
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

// Reports the matches among a block's candidates. Kept out of the block
// loop, so that the loop keeps its constants in registers.
[[gnu::noinline]] void FinishBlock(const std::uint8_t* q, const std::uint64_t* pair_starts,
                                   const std::uint64_t* carries, std::uint64_t chars_before_block,
                                   MatchFn on_match, void* context) {
  std::uint64_t chars_before = chars_before_block;
  for (unsigned j = 0; j < 8; ++j) {
    const std::uint8_t* g = q + kGroupBytes * j;
    const std::uint64_t starts = ~((pair_starts[j] << 1) | carries[j]);
    for (std::uint64_t c = Avx512Masks::Candidates(g) & starts; c != 0; c &= c - 1) {
      const unsigned bit = static_cast<unsigned>(__builtin_ctzll(c));
      const int match = Judge(g + bit);
      if (match == 0) continue;
      const std::uint64_t before = starts & ((std::uint64_t{1} << bit) - 1);
      on_match(context, static_cast<Match>(match),
               chars_before + static_cast<std::uint64_t>(__builtin_popcountll(before)));
    }
    chars_before += static_cast<std::uint64_t>(__builtin_popcountll(starts));
  }
}

// Eight groups at a time: the lead masks of a block of 512 bytes go into
// the eight 64-bit lanes of one register, and the pairing arithmetic of
// RunGroups runs on all eight lanes at once. Only the open pair passes from
// lane to lane, and it is simply the top aligned bit of the lane before,
// unless a lane is lead bytes alone (rare), when the lanes are chained one
// by one. Candidates are rare too; a block with any is finished group by
// group. Returns the bytes examined, a multiple of 512.
std::size_t RunBlocks(const std::uint8_t* p, std::size_t n, GroupCursor& cursor, MatchFn on_match,
                      void* context) {
  constexpr std::size_t kBlock = 8 * kGroupBytes;
  const std::size_t blocks = n / kBlock;
  if (blocks == 0) return 0;
  const __m512i low = _mm512_load_si512(kLowHalf.data());
  const __m512i high = _mm512_load_si512(kHighHalf.data());
  const __m512i odd = _mm512_set1_epi64(static_cast<long long>(0xAAAAAAAAAAAAAAAAULL));
  const __m512i one = _mm512_set1_epi64(1);
  const __m512i all = _mm512_set1_epi64(-1);
  const __m512i zero = _mm512_setzero_si512();
  const __m512i letter_m = _mm512_set1_epi8('M');
  const __m512i letter_l = _mm512_set1_epi8('l');

  const std::uint64_t carry_in = cursor.carry;
  std::uint64_t carry = carry_in;
  __m512i pair_counts = zero;  // pairs begun in this call, lane by lane
  for (std::size_t b = 0; b < blocks; ++b) {
    const std::uint8_t* q = p + b * kBlock;
    __m512i lead = zero;
    __mmask64 any_candidate = 0;
#pragma GCC unroll 8
    for (unsigned j = 0; j < 8; ++j) {
      const __m512i v = _mm512_loadu_si512(q + kGroupBytes * j);
      const __mmask64 lead_bits = _mm512_test_epi8_mask(_mm512_permutex2var_epi8(low, v, high), v);
      lead = _mm512_mask_set1_epi64(lead, static_cast<__mmask8>(1u << j),
                                    static_cast<long long>(_cvtmask64_u64(lead_bits)));
      const __mmask64 m = _mm512_cmpeq_epi8_mask(v, letter_m);
      any_candidate |= _mm512_mask_cmpeq_epi8_mask(m, _mm512_loadu_si512(q + kGroupBytes * j + 14), letter_l);
    }
    // As in RunGroups, lane by lane: aligned = lead & (even_runs ^ odd).
    const __m512i run_starts = _mm512_andnot_si512(_mm512_slli_epi64(lead, 1), lead);
    const __m512i even_runs = _mm512_and_si512(_mm512_add_epi64(lead, _mm512_and_si512(run_starts, odd)), lead);
    const __m512i aligned = _mm512_ternarylogic_epi64(lead, even_runs, odd, 0x60);
    const __m512i first_run = _mm512_andnot_si512(_mm512_add_epi64(lead, one), lead);
    const __m512i top = _mm512_srli_epi64(aligned, 63);
    const __mmask8 lead_only = _mm512_cmpeq_epi64_mask(lead, all);
    __m512i carries;  // the open pair coming into each lane
    if (lead_only == 0) [[likely]] {
      carries = _mm512_alignr_epi64(top, _mm512_set1_epi64(static_cast<long long>(carry)), 7);
      carry = static_cast<std::uint64_t>(_mm_extract_epi64(_mm512_extracti64x2_epi64(top, 3), 1));
    } else {
      alignas(64) std::uint64_t tops[8], in[8];
      _mm512_store_si512(tops, top);
      for (unsigned j = 0; j < 8; ++j) {
        in[j] = carry;
        if (((lead_only >> j) & 1) == 0) carry = tops[j];
      }
      carries = _mm512_load_si512(in);
    }
    // pair_starts = aligned ^ (first_run & -carry)
    const __m512i pair_starts =
        _mm512_ternarylogic_epi64(aligned, first_run, _mm512_sub_epi64(zero, carries), 0x78);
    if (any_candidate != 0) [[unlikely]] {
      alignas(64) std::uint64_t starts_of[8], carry_of[8];
      _mm512_store_si512(starts_of, pair_starts);
      _mm512_store_si512(carry_of, carries);
      // Second bytes before the block: as in RunGroups.
      const std::uint64_t pairs = static_cast<std::uint64_t>(_mm512_reduce_add_epi64(pair_counts));
      const std::uint64_t chars_before = cursor.chars + b * kBlock - (carry_in + pairs - carry_of[0]);
      FinishBlock(q, starts_of, carry_of, chars_before, on_match, context);
    }
    pair_counts = _mm512_add_epi64(pair_counts, _mm512_popcnt_epi64(pair_starts));
  }
  const std::size_t done = blocks * kBlock;
  const std::uint64_t pairs = static_cast<std::uint64_t>(_mm512_reduce_add_epi64(pair_counts));
  cursor.chars += done - (carry_in + pairs - carry);
  cursor.carry = carry;
  return done;
}

}  // namespace

void RunAvx512(const std::uint8_t* p, std::size_t n, GroupCursor& cursor, MatchFn fn, void* context) {
  const std::size_t done = RunBlocks(p, n, cursor, fn, context);
  RunGroups<Avx512Masks>(p + done, n - done, cursor, fn, context);
}

}  // namespace tamsel::detail
