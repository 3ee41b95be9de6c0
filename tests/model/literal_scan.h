// The scan as its rules are written, one character at a time: blocks of
// characters from Cp932Reader, Windows built by concatenation, and the
// patterns matched by a plain wildcard matcher. Slow on purpose; the fast
// scanner is held to it.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "scanner/byte_source.h"
#include "scanner/cp932.h"
#include "scanner/version_scanner.h"

namespace tamsel::model {

// Whether text matches pattern, where the one-byte character '*' matches any
// run of characters (also none), '?' exactly one character of any kind, and
// every other character only itself.
bool Like(const Cp932Text& text, const Cp932Text& pattern);

Verdict LiteralScan(std::unique_ptr<ByteSource> source);
Verdict LiteralScan(std::span<const std::uint8_t> bytes);

}  // namespace tamsel::model
