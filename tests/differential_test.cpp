// The fast scan against the literal model on many generated inputs.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include "tests/model/literal_scan.h"
#include "tests/support/input_generator.h"
#include "tests/support/scan_every_way.h"

namespace tamsel {
namespace {

std::uint64_t EnvOr(const char* name, std::uint64_t fallback) {
  const char* v = std::getenv(name);
  return v != nullptr && *v != '\0' ? std::strtoull(v, nullptr, 0) : fallback;
}

TEST(DifferentialTest, FastScanAgreesWithTheLiteralModel) {
  // TAMSEL_DIFF_SEED and TAMSEL_DIFF_CASES run other or more cases.
  const std::uint64_t seed = EnvOr("TAMSEL_DIFF_SEED", 19970101);
  const std::uint64_t cases = EnvOr("TAMSEL_DIFF_CASES", 3000);
  test::InputGenerator generator(seed);
  std::map<Verdict, int> seen;
  int failures = 0;
  for (std::uint64_t i = 0; i < cases && failures < 5; ++i) {
    const test::Bytes bytes = generator.Next();
    const Verdict expected = model::LiteralScan(bytes);
    ++seen[expected];
    const auto wrong = test::ScanEveryWay(bytes, expected, /*model=*/false);
    if (!wrong.empty()) {
      ++failures;
      ADD_FAILURE() << "seed " << seed << ", case " << i << " (" << bytes.size()
                    << " bytes): the model says " << VerdictCode(expected) << "; "
                    << testing::PrintToString(wrong);
    }
  }
  // The generator is worth as much as the verdicts it reaches.
  for (Verdict v : kAllVerdicts) EXPECT_GT(seen[v], 0) << "no case gave " << VerdictCode(v);
}

}  // namespace
}  // namespace tamsel
