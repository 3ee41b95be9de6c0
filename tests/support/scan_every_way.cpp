#include "tests/support/scan_every_way.h"

#include "scanner/scan_detail.h"
#include "tests/model/literal_scan.h"

namespace tamsel::test {

std::vector<std::size_t> BufferSizesToTry() {
  return {detail::kDefaultBufferBytes, detail::kMinBufferBytes, detail::kMinBufferBytes + 1,
          detail::kMinBufferBytes + 63, 4096 + 17};
}

std::vector<std::string> ScanEveryWay(const Bytes& bytes, Verdict expected, bool model) {
  std::vector<std::string> wrong;
  const std::size_t characters = Cp932Text::Decode(bytes).Length();
  struct Way {
    detail::Kernel kernel;
    std::size_t buffer;
  };
  std::vector<Way> ways;
  for (detail::Kernel kernel : detail::SupportedKernels()) {
    for (std::size_t buffer : BufferSizesToTry()) ways.push_back({kernel, buffer});
  }
  for (const Way& way : ways) {
    MemorySource source(bytes);
    const ScanResult result = detail::ScanSourceWith(source, way.kernel, way.buffer);
    const std::string name = std::string(detail::KernelName(way.kernel)) + ", buffer " + std::to_string(way.buffer);
    if (result.verdict != expected) wrong.push_back(name + ": " + std::string(VerdictCode(result.verdict)));
    if (result.characters != characters) {
      wrong.push_back(name + ": counted " + std::to_string(result.characters) + " characters, not " +
                      std::to_string(characters));
    }
    if (result.bytes != bytes.size()) {
      wrong.push_back(name + ": counted " + std::to_string(result.bytes) + " bytes");
    }
  }
  if (model) {
    const Verdict literal = model::LiteralScan(bytes);
    if (literal != expected) wrong.push_back("literal model: " + std::string(VerdictCode(literal)));
  }
  return wrong;
}

}  // namespace tamsel::test
