// Scans the same bytes with every kernel this processor has, with buffers
// whose edges fall at different places, and with the literal model.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "scanner/version_scanner.h"
#include "tests/support/fixtures.h"

namespace tamsel::test {

// The buffer sizes the fast scan is run with: the one in use, the smallest,
// and sizes that put the buffer's edge at other offsets.
std::vector<std::size_t> BufferSizesToTry();

// Each answer that differs from expected, described ("avx2, buffer 2085:
// excel5"). The model is asked too, unless model is false.
std::vector<std::string> ScanEveryWay(const Bytes& bytes, Verdict expected, bool model = true);

}  // namespace tamsel::test
