// Entry points for tests, benchmarks and the fuzzer: the scan with a chosen
// kernel, so that every kernel this processor has can be held to the same
// answers.
#pragma once

#include "scanner/byte_source.h"
#include "scanner/kernels/kernels.h"
#include "scanner/version_scanner.h"

namespace tamsel::detail {

// Large enough to read near the speed of the page cache, small enough to
// stay in the processor's second-level cache while it is scanned.
inline constexpr std::size_t kDefaultBufferBytes = 256 * 1024;
// The head block (at most 2000 bytes) must fit in the first fill, with one
// group's reach to spare.
inline constexpr std::size_t kMinBufferBytes = 2000 + kGroupReach;

// buffer_bytes below kMinBufferBytes is taken as kMinBufferBytes; tests use
// small buffers to move the buffer's edges across every block position.
ScanResult ScanSourceWith(ByteSource& source, Kernel kernel,
                          std::size_t buffer_bytes = kDefaultBufferBytes);

}  // namespace tamsel::detail
