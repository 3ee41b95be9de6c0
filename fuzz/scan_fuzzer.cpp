// libFuzzer target: every kernel, with buffers of several sizes, must give
// the literal model's verdict and character count.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "scanner/cp932.h"
#include "scanner/scan_detail.h"
#include "tests/model/literal_scan.h"

namespace {

void Check(const tamsel::ScanResult& got, tamsel::Verdict want, std::size_t chars, std::size_t bytes,
           tamsel::detail::Kernel kernel, std::size_t buffer) {
  if (got.verdict == want && got.characters == chars && got.bytes == bytes) return;
  std::fprintf(stderr, "kernel %.*s, buffer %zu: verdict %.*s (model %.*s), %llu characters (%zu), %llu bytes (%zu)\n",
               static_cast<int>(tamsel::detail::KernelName(kernel).size()), tamsel::detail::KernelName(kernel).data(),
               buffer, static_cast<int>(tamsel::VerdictCode(got.verdict).size()), tamsel::VerdictCode(got.verdict).data(),
               static_cast<int>(tamsel::VerdictCode(want).size()), tamsel::VerdictCode(want).data(),
               static_cast<unsigned long long>(got.characters), chars, static_cast<unsigned long long>(got.bytes), bytes);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tamsel;
  const std::span<const std::uint8_t> bytes(data, size);
  const Verdict want = model::LiteralScan(bytes);
  const std::size_t chars = Cp932Text::Decode(bytes).Length();
  for (detail::Kernel kernel : detail::SupportedKernels()) {
    for (std::size_t buffer : {detail::kMinBufferBytes, detail::kMinBufferBytes + 61, detail::kDefaultBufferBytes}) {
      MemorySource source(bytes, 1 + size % 4093);
      Check(detail::ScanSourceWith(source, kernel, buffer), want, chars, size, kernel, buffer);
    }
  }
  return 0;
}
