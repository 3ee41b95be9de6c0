// The group loop shared by every kernel. Only kernel sources include this,
// each compiled for its own instruction set; everything here has internal
// linkage, so no copy built for a wider instruction set can be linked in
// where a plainer one is needed. For the same reason it calls compiler
// builtins rather than library functions.
#pragma once

#include <cstddef>
#include <cstdint>

#include "scanner/kernels/kernels.h"

namespace tamsel::detail {
namespace {

// Masks is a class with two static functions over 64 bytes at g:
//   Lead(g):       bit i set when g[i] is a lead byte;
//   Candidates(g): bit i set when g[i] == 'M' and g[i + 14] == 'l'.
template <class Masks>
inline void RunGroups(const std::uint8_t* p, std::size_t n, GroupCursor& cursor,
                      CandidateFn on_candidate, void* context) {
  constexpr std::uint64_t kEven = 0x5555555555555555ULL;  // bits 0, 2, 4, ...
  constexpr std::uint64_t kOdd = ~kEven;
  std::uint64_t carry = cursor.carry;
  std::uint64_t chars = cursor.chars;
  for (std::size_t off = 0; off < n; off += kGroupBytes) {
    const std::uint8_t* g = p + off;
    // A byte that is the second of a pair begun in the group before cannot
    // begin a pair itself.
    const std::uint64_t lead = Masks::Lead(g) & ~carry;
    // The byte after a byte that is not a lead byte always begins a
    // character, so every run of lead bytes begins on a character boundary
    // and pairs off from its first byte. Adding the first bit of each run
    // that begins on an odd bit carries through that run and clears it,
    // which leaves the runs that begin on even bits.
    const std::uint64_t run_starts = lead & ~(lead << 1);
    const std::uint64_t even_runs = (lead + (run_starts & kOdd)) & lead;
    const std::uint64_t pair_starts = (even_runs & kEven) | (lead & ~even_runs & kOdd);
    std::uint64_t starts = ~((pair_starts << 1) | carry);
    carry = pair_starts >> 63;
    if (n - off < kGroupBytes) starts &= (std::uint64_t{1} << (n - off)) - 1;

    std::uint64_t candidates = Masks::Candidates(g) & starts;
    while (candidates != 0) {
      const unsigned bit = static_cast<unsigned>(__builtin_ctzll(candidates));
      const std::uint64_t before = starts & ((std::uint64_t{1} << bit) - 1);
      on_candidate(context, g + bit, chars + static_cast<std::uint64_t>(__builtin_popcountll(before)));
      candidates &= candidates - 1;
    }
    chars += static_cast<std::uint64_t>(__builtin_popcountll(starts));
  }
  cursor.carry = carry;
  cursor.chars = chars;
}

}  // namespace
}  // namespace tamsel::detail
