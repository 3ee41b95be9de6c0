// The committed sample files are what the generator makes, and each gets
// the verdict it is there to show.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "samples/sample_set.h"
#include "scanner/version_scanner.h"
#include "tests/model/literal_scan.h"
#include "tests/support/scan_every_way.h"

namespace tamsel {
namespace {

test::Bytes ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return test::Bytes(std::istreambuf_iterator<char>(in), {});
}

TEST(SamplesTest, CommittedFilesMatchTheGenerator) {
  const std::filesystem::path dir = TAMSEL_SAMPLES_DIR;
  for (const auto& sample : samples::SampleSet()) {
    SCOPED_TRACE(sample.name);
    EXPECT_EQ(ReadAll(dir / sample.name), sample.bytes)
        << "run make-samples " << dir << " and commit the result";
  }
}

TEST(SamplesTest, EachSampleGetsItsVerdict) {
  const std::filesystem::path dir = TAMSEL_SAMPLES_DIR;
  for (const auto& sample : samples::SampleSet()) {
    SCOPED_TRACE(sample.name);
    EXPECT_EQ(VerdictCode(ScanPath(dir / sample.name).verdict), sample.verdict_code);
    EXPECT_EQ(VerdictCode(model::LiteralScan(sample.bytes)), sample.verdict_code);
  }
}

TEST(SamplesTest, WorkbookStreamBeginsAtByte512) {
  // As in the files Excel writes: the stream takes whole sectors from
  // sector 0, so its BOF record is the Marker.
  for (auto biff : {samples::Biff::k5, samples::Biff::k8}) {
    samples::Workbook wb;
    wb.biff = biff;
    const auto stream = samples::BuildWorkbookStream(wb);
    EXPECT_GE(stream.size(), 4096u);
    const auto file = samples::BuildWorkbookFile(wb);
    ASSERT_GT(file.size(), 520u);
    EXPECT_TRUE(std::equal(stream.begin(), stream.begin() + 8, file.begin() + 512));
  }
}

TEST(SamplesTest, MarkerMovesWithLeadBytesInTheHeader) {
  // Each pair among the first 512 bytes moves the Marker one byte on: with
  // one pair in the header, the BOF at byte 512 is no longer the Marker.
  samples::Workbook wb;
  const std::vector<samples::Stream> streams = {
      {"Workbook", samples::BuildWorkbookStream(wb)},
      {"\x05SummaryInformation", samples::BuildSummaryInformation(wb)}};
  const auto plain = samples::BuildCompoundFile(streams);
  const auto shifted = samples::BuildCompoundFile(streams, {0x00, 0x90, 0x00});
  const auto plain_wrong = test::ScanEveryWay(plain, Verdict::kExcel97Likely);
  EXPECT_TRUE(plain_wrong.empty()) << testing::PrintToString(plain_wrong);
  const auto shifted_wrong = test::ScanEveryWay(shifted, Verdict::kNotExcel);
  EXPECT_TRUE(shifted_wrong.empty()) << testing::PrintToString(shifted_wrong);
}

}  // namespace
}  // namespace tamsel
