// The inner loop of the scan, built once per instruction set.
//
// A kernel walks the input in groups of 64 bytes. For each group it finds
// which bytes begin a character (the lead-byte rule needs only one bit of
// state from the group before), counts the characters, and reports every
// byte that begins a character, is 'M', and has 'l' 14 bytes further on:
// the candidates for "Microsoft Excel". Everything else about a candidate is
// judged by the caller, which sees few of them.
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

// Called for each candidate with its address and its character index.
using CandidateFn = void (*)(void* context, const std::uint8_t* at, std::uint64_t char_index);

// Examines the n bytes at p and advances the cursor past them. n is a
// multiple of 64 except for the last call on an input. From each group's
// start kGroupReach bytes must be readable; bytes past the end of the input
// must be zero.
using KernelFn = void (*)(const std::uint8_t* p, std::size_t n, GroupCursor& cursor,
                          CandidateFn on_candidate, void* context);

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
void RunScalar(const std::uint8_t*, std::size_t, GroupCursor&, CandidateFn, void*);
#if defined(TAMSEL_X86_KERNELS)
void RunSse2(const std::uint8_t*, std::size_t, GroupCursor&, CandidateFn, void*);
void RunAvx2(const std::uint8_t*, std::size_t, GroupCursor&, CandidateFn, void*);
void RunAvx512(const std::uint8_t*, std::size_t, GroupCursor&, CandidateFn, void*);
#endif

}  // namespace tamsel::detail
