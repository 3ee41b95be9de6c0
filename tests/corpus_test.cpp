// Real spreadsheet files, when a folder of them is given in
// TAMSEL_CORPUS_DIR: the scan must agree with the literal model on each.
// The files are not part of the project; the test prints what it found.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>

#include "scanner/version_scanner.h"
#include "tests/model/literal_scan.h"
#include "tests/support/scan_every_way.h"

namespace tamsel {
namespace {

TEST(CorpusTest, RealFilesAgreeWithTheLiteralModel) {
  const char* dir = std::getenv("TAMSEL_CORPUS_DIR");
  if (dir == nullptr || *dir == '\0') GTEST_SKIP() << "set TAMSEL_CORPUS_DIR to a folder of spreadsheet files";
  std::vector<std::filesystem::path> paths;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
    if (entry.is_regular_file()) paths.push_back(entry.path());
  }
  std::sort(paths.begin(), paths.end());
  ASSERT_FALSE(paths.empty());
  std::map<std::string, int> counts;
  for (const auto& path : paths) {
    SCOPED_TRACE(path.string());
    std::ifstream in(path, std::ios::binary);
    const test::Bytes bytes((std::istreambuf_iterator<char>(in)), {});
    const Verdict model = model::LiteralScan(bytes);
    const Verdict fast = ScanPath(path).verdict;
    EXPECT_EQ(fast, model);
    const auto wrong = test::ScanEveryWay(bytes, model, /*model=*/false);
    EXPECT_TRUE(wrong.empty()) << testing::PrintToString(wrong);
    ++counts[std::string(VerdictCode(fast))];
    std::printf("%-16s %s\n", std::string(VerdictCode(fast)).c_str(), path.filename().c_str());
  }
  std::printf("%zu files:", paths.size());
  for (const auto& [code, n] : counts) std::printf(" %s %d,", code.c_str(), n);
  std::printf("\n");
}

}  // namespace
}  // namespace tamsel
