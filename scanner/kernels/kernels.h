// The inner loop of the scan, built once per instruction set.
//
// A kernel walks the input in groups of 64 bytes. For each group it finds
// which bytes begin a character (the lead-byte rule needs only one bit of
// state from the group before), counts the characters, and picks out the
// bytes that begin a character, are 'M', and have 'l' 14 bytes further on:
// the candidates for "Microsoft Excel". It judges each candidate and reports
// those that match a pattern, with the index of their first character.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace tamsel::detail {

struct GroupCursor {
  // 1 when the next byte is the second byte of a pair begun before it.
  std::uint64_t carry = 0;
  // Characters that begin before the next byte.
  std::uint64_t chars = 0;
};

// The patterns, by the order of their tests. Every character of them is a
// one-byte character, except the one the wildcard of kAnyThenAt matches.
enum Match : int {
  kVersion50 = 1,      // "Microsoft Excel 5.0", 19 characters
  kWorksheetKana = 2,  // "Microsoft Excel ﾜｰｸｼｰﾄ", 22 characters
  kAnyThenAt = 3,      // "Microsoft Excel", any one character, "@": 17 characters
};
inline constexpr std::uint64_t kMatchChars[] = {0, 19, 22, 17};

// Called for each match, in input order, with the index of its first
// character.
using MatchFn = void (*)(void* context, Match match, std::uint64_t first_char);

// Examines the n bytes at p and advances the cursor past them. n is a
// multiple of 64 except for the last call on an input. From each group's
// start kGroupReach bytes must be readable; bytes past the end of the input
// must be zero.
using KernelFn = void (*)(const std::uint8_t* p, std::size_t n, GroupCursor& cursor,
                          MatchFn on_match, void* context);

inline constexpr std::size_t kGroupBytes = 64;
// A group's candidates look at most 21 bytes past their first byte (the 22
// bytes of "Microsoft Excel ﾜｰｸｼｰﾄ"), so a group reads 64 + 21 bytes.
inline constexpr std::size_t kCandidateReach = 21;
inline constexpr std::size_t kGroupReach = kGroupBytes + kCandidateReach;

enum class Kernel { kScalar, kSse2, kAvx2, kAvx512 };

std::string_view KernelName(Kernel kernel);

// The kernels this build has and this processor can run, plainest first.
std::vector<Kernel> SupportedKernels();

// The fastest of them; chosen once.
Kernel BestKernel();

KernelFn KernelFunction(Kernel kernel);

// One entry point per instruction set, each in its own source file.
void RunScalar(const std::uint8_t*, std::size_t, GroupCursor&, MatchFn, void*);
#if defined(TAMSEL_X86_KERNELS)
void RunSse2(const std::uint8_t*, std::size_t, GroupCursor&, MatchFn, void*);
void RunAvx2(const std::uint8_t*, std::size_t, GroupCursor&, MatchFn, void*);
void RunAvx512(const std::uint8_t*, std::size_t, GroupCursor&, MatchFn, void*);
#endif

}  // namespace tamsel::detail
