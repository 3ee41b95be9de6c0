// The group loop shared by every kernel. Only kernel sources include this,
// each compiled for its own instruction set; everything here has internal
// linkage, so no copy built for a wider instruction set can be linked in
// where a plainer one is needed. For the same reason it calls compiler
// builtins rather than library functions.
#pragma once

#include <cstddef>
#include <cstdint>

#include "scanner/cp932.h"
#include "scanner/kernels/kernels.h"

namespace tamsel::detail {
namespace {

std::uint64_t Load64(const std::uint8_t* p) {
  std::uint64_t v;
  __builtin_memcpy(&v, p, sizeof v);
  return v;
}

constexpr std::uint64_t Pack64(const char* s) {
  std::uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = (v << 8) | static_cast<std::uint8_t>(s[i]);
  return v;
}

// Which pattern the candidate at q matches, or 0. q begins a character and
// has 21 readable bytes after it. The byte after "Excel" begins a character
// too, as 'l' is no lead byte; and no pattern character is a lead byte, so
// from there on bytes compare as characters do.
int Judge(const std::uint8_t* q) {
  // "Microsoft Excel" as two overlapping 8-byte words.
  if (Load64(q) != Pack64("Microsof") || Load64(q + 7) != Pack64("ft Excel")) return 0;
  const std::uint8_t* rest = q + 15;
  if (rest[IsLeadByte(rest[0]) ? 2 : 1] == '@') return kAnyThenAt;
  // " 5.0" and " ﾜｰｸｼｰﾄ" (20 DC B0 B8 BC B0 C4), each as one word.
  const std::uint64_t word = Load64(rest);
  if ((word & 0xFFFFFFFFULL) == (Pack64(" 5.0\0\0\0\0") & 0xFFFFFFFFULL)) return kVersion50;
  if ((word & 0x00FFFFFFFFFFFFFFULL) == (Pack64(" \xDC\xB0\xB8\xBC\xB0\xC4\0") & 0x00FFFFFFFFFFFFFFULL)) {
    return kWorksheetKana;
  }
  return 0;
}

// Masks is a class with two static functions over 64 bytes at g:
//   Lead(g):       bit i set when g[i] is a lead byte;
//   Candidates(g): bit i set when g[i] == 'M' and g[i + 14] == 'l'.
//
// Which bytes begin a character follows from one fact: the byte after a
// byte that is not a lead byte always begins one (it either stood alone or
// ended a pair). So every run of lead bytes that follows such a byte begins
// on a character boundary and pairs off from its first byte, and only the
// run at the very start of a group depends on the group before: it begins
// on a boundary, or one byte late when the group before left a pair open.
template <class Masks>
inline void RunGroups(const std::uint8_t* p, std::size_t n, GroupCursor& cursor,
                      MatchFn on_match, void* context) {
  constexpr std::uint64_t kEven = 0x5555555555555555ULL;  // bits 0, 2, 4, ...
  constexpr std::uint64_t kOdd = ~kEven;
  constexpr std::uint64_t kAll = ~std::uint64_t{0};
  // Candidates are rare; those of a chunk are reported after it, so that
  // the loop over its groups makes no calls and keeps its state in registers.
  constexpr std::size_t kChunkGroups = 64;

  const std::uint64_t carry_in = cursor.carry;
  std::uint64_t carry = carry_in;  // the group's first byte is the second byte of a pair
  std::uint64_t pairs = 0;         // pairs begun in this call whose second byte is in it

  struct Hit {
    std::size_t off;              // of the group
    std::uint64_t candidates;     // that begin a character
    std::uint64_t starts;         // bytes of the group that begin a character
    std::uint64_t chars_before;   // characters that begin before the group
  };

  // Bits of a run that pair off from its first byte: every other bit from
  // there. For the runs that begin on even bits these are the even bits of
  // the run, for the others the odd ones.
  const auto group = [&](const std::uint8_t* g, std::uint64_t valid_pairs) {
    const std::uint64_t lead = Masks::Lead(g);
    // Adding the first bit of each run that begins on an odd bit carries
    // through that run and clears it, which leaves the runs that begin on
    // even bits.
    const std::uint64_t run_starts = lead & ~(lead << 1);
    const std::uint64_t even_runs = (lead + (run_starts & kOdd)) & lead;
    // Pair starts if g[0] begins a character.
    const std::uint64_t aligned = lead & (even_runs ^ kOdd);
    // With a pair left open, the lead bytes from bit 0 pair off one later.
    const std::uint64_t first_run = lead & ~(lead + 1);
    const std::uint64_t pair_starts = (aligned ^ (first_run & (0 - carry))) & valid_pairs;
    struct Result {
      std::uint64_t pair_starts, next_carry;
    };
    // Only a group of lead bytes alone passes the open pair through;
    // otherwise bit 63 lies past the first run and does not depend on it.
    return Result{pair_starts, lead == kAll ? carry : aligned >> 63};
  };

  // A group ends in one of three ways: as a full group; as the last group
  // of the input, where a lead byte on its last byte has no second byte and
  // is a character of its own (valid_pairs leaves it out); or not at all.
  const std::size_t full_end = n & ~(kGroupBytes - 1);
  for (std::size_t chunk = 0; chunk < n; chunk += kChunkGroups * kGroupBytes) {
    const std::size_t chunk_end =
        n - chunk < kChunkGroups * kGroupBytes ? n : chunk + kChunkGroups * kGroupBytes;
    Hit hits[kChunkGroups];
    unsigned hit_count = 0;
    const auto note_candidates = [&](std::size_t off, std::uint64_t candidates,
                                     std::uint64_t pair_starts) {
      const std::uint64_t starts = ~((pair_starts << 1) | carry);
      // Second bytes before the group: one for the pair left open when
      // this call began, one for each pair begun since, less the pair
      // whose second byte is the group's first byte.
      const std::uint64_t trails = carry_in + pairs - carry;
      hits[hit_count++] = {off, candidates & starts, starts, cursor.chars + off - trails};
    };
    std::size_t off = chunk;
    for (const std::size_t end = chunk_end < full_end ? chunk_end : full_end; off < end;
         off += kGroupBytes) {
      const std::uint8_t* g = p + off;
      const auto [pair_starts, next_carry] = group(g, kAll);
      const std::uint64_t candidates = Masks::Candidates(g);
      if (candidates != 0) [[unlikely]] note_candidates(off, candidates, pair_starts);
      pairs += static_cast<std::uint64_t>(__builtin_popcountll(pair_starts));
      carry = next_carry;
    }
    if (off < chunk_end) {
      const std::uint8_t* g = p + off;
      const auto [pair_starts, next_carry] = group(g, (std::uint64_t{1} << (n - off - 1)) - 1);
      const std::uint64_t candidates = Masks::Candidates(g);
      if (candidates != 0) note_candidates(off, candidates, pair_starts);
      pairs += static_cast<std::uint64_t>(__builtin_popcountll(pair_starts));
      carry = next_carry;
    }
    for (unsigned h = 0; h < hit_count; ++h) {
      for (std::uint64_t c = hits[h].candidates; c != 0; c &= c - 1) {
        const unsigned bit = static_cast<unsigned>(__builtin_ctzll(c));
        const int match = Judge(p + hits[h].off + bit);
        if (match == 0) continue;
        const std::uint64_t before = hits[h].starts & ((std::uint64_t{1} << bit) - 1);
        on_match(context, static_cast<Match>(match),
                 hits[h].chars_before + static_cast<std::uint64_t>(__builtin_popcountll(before)));
      }
    }
  }
  cursor.chars += n - (carry_in + pairs - carry);
  cursor.carry = carry;
}

}  // namespace
}  // namespace tamsel::detail
