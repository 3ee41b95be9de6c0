// tamsel-scan as a user runs it: output formats, errors, exit statuses.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "scanner/path_text.h"
#include "tests/support/fixtures.h"

namespace tamsel {
namespace {

using test::RunProcess;
using test::TempDir;

const std::string kScan = TAMSEL_SCAN_BINARY;
const std::filesystem::path kSamples = TAMSEL_SAMPLES_DIR;

std::string Sample(const char* name) { return (kSamples / name).string(); }

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(ScanCliTest, TextFormatIsOneLinePerFile) {
  const auto r = RunProcess(kScan, {Sample("book97.xls"), Sample("book95.xls"), Sample("book5.xls"),
                                    Sample("sales.csv")});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, Sample("book97.xls") + ": Microsoft Excel 97 ファイルと思われます。\n" +
                       Sample("book95.xls") + ": Microsoft Excel 95 ファイルと思われます。\n" +
                       Sample("book5.xls") + ": Microsoft Excel 5.0 ファイルです。\n" +
                       Sample("sales.csv") + ": Excel 5.0、95、97のファイルではありません。\n");
}

TEST(ScanCliTest, VerdictFormatIsTheWindowsTextThenCrLf) {
  const auto r = RunProcess(kScan, {"--format=verdict", Sample("book5.xls"), Sample("sales.csv")});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, Sample("book5.xls") + " は\r\nMicrosoft Excel 5.0 ファイルです。\r\n" +
                       Sample("sales.csv") + " は\r\nExcel 5.0、95、97のファイルではありません。\r\n");
}

TEST(ScanCliTest, JsonLinesCarryCodeAndMessage) {
  const auto r = RunProcess(kScan, {"--format", "json", Sample("book97.xls"), Sample("sales.csv")});
  EXPECT_EQ(r.status, 0);
  const auto lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 2u);
  const auto first = nlohmann::json::parse(lines[0]);
  EXPECT_EQ(first["path"], Sample("book97.xls"));
  EXPECT_EQ(first["verdict"], "excel97-likely");
  EXPECT_EQ(first["message"], "Microsoft Excel 97 ファイルと思われます。");
  EXPECT_EQ(nlohmann::json::parse(lines[1])["verdict"], "none");
}

TEST(ScanCliTest, UnreadableFilesAreReportedAndTheRestScanned) {
  TempDir dir;
  const std::string missing = (dir.path() / "missing.xls").string();
  const std::string folder = dir.path().string();
  {
    const auto r = RunProcess(kScan, {missing, Sample("book5.xls"), folder});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, Sample("book5.xls") + ": Microsoft Excel 5.0 ファイルです。\n");
    EXPECT_EQ(r.err, "tamsel-scan: " + missing + ": No such file or directory\n" +
                         "tamsel-scan: " + folder + ": not a regular file (directory); -r scans the files in it\n");
  }
  {
    const auto r = RunProcess(kScan, {"--format=json", missing, Sample("book5.xls")});
    EXPECT_EQ(r.status, 1);
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 2u);
    const auto error = nlohmann::json::parse(lines[0]);
    EXPECT_EQ(error["path"], missing);
    EXPECT_EQ(error["error"], "No such file or directory");
    EXPECT_FALSE(error.contains("verdict"));
    EXPECT_EQ(nlohmann::json::parse(lines[1])["verdict"], "excel5");
    EXPECT_EQ(r.err, "tamsel-scan: " + missing + ": No such file or directory\n");
  }
}

TEST(ScanCliTest, DashReadsStandardInput) {
  std::string input = "header ";
  input += "Microsoft Excel \xDC\xB0\xB8\xBC\xB0\xC4";
  input += std::string(300000, '.');  // more than one pipe buffer
  const auto r = RunProcess(kScan, {"-"}, input);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "-: Microsoft Excel 5.0 ファイルと思われます。\n");
  const auto files = RunProcess(kScan, {"--", "-"}, "Microsoft Excel 5.0");
  EXPECT_EQ(files.out, "-: Microsoft Excel 5.0 ファイルです。\n");
}

TEST(ScanCliTest, NamesThatAreNotUtf8) {
  TempDir dir;
  const auto path = dir.Write("\x82\xA0.xls", test::ToBytes("Microsoft Excel 5.0"));
  const std::string shown = dir.path().string() + "/\xEF\xBF\xBD\xEF\xBF\xBD.xls";
  const auto text = RunProcess(kScan, {path.string()});
  EXPECT_EQ(text.status, 0);
  EXPECT_EQ(text.out, shown + ": Microsoft Excel 5.0 ファイルです。\n");
  const auto json = RunProcess(kScan, {"--format=json", path.string()});
  EXPECT_EQ(nlohmann::json::parse(json.out)["path"], shown);
}

TEST(ScanCliTest, FileNamedLikeAnOption) {
  TempDir dir;
  dir.Write("--format=json", test::ToBytes("Microsoft Excel 5.0"));
  const auto r = RunProcess(kScan, {"--", (dir.path() / "--format=json").string()});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, (dir.path() / "--format=json").string() + ": Microsoft Excel 5.0 ファイルです。\n");
}

TEST(ScanCliTest, UsageErrorsExitWithTwo) {
  struct Row {
    const char* name;
    std::vector<std::string> args;
  };
  const Row rows[] = {
      {"no file", {}},
      {"unknown format", {"--format=xml", Sample("book5.xls")}},
      {"unknown option", {"--bogus", Sample("book5.xls")}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const auto r = RunProcess(kScan, row.args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("tamsel-scan: ", 0), 0u) << r.err;
  }
}

TEST(ScanCliTest, HelpAndVersion) {
  const auto help = RunProcess(kScan, {"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("--format"), std::string::npos);
  const auto version = RunProcess(kScan, {"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, std::string("tamsel-scan ") + TAMSEL_VERSION_STRING + "\n");
}

TEST(ScanCliTest, WriteErrorIsNoSuccess) {
  const auto r = RunProcess(kScan, {Sample("book5.xls")}, {}, "/dev/full");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "tamsel-scan: write error: No space left on device\n");
}

}  // namespace
}  // namespace tamsel
