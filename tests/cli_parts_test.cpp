// The parts of tamsel-scan, in process: the walk, name lists, CSV fields,
// widths on the terminal, and the order of the pool's outcomes.
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>

#include "cli/input_walker.h"
#include "cli/progress.h"
#include "cli/report_format.h"
#include "cli/scan_pool.h"
#include "scanner/byte_source.h"
#include "tests/support/fixtures.h"

namespace tamsel::cli {
namespace {

using test::TempDir;
using test::ToBytes;

WalkOptions Recursive(bool follow_links = false, std::vector<std::string> includes = {},
                      std::vector<std::string> excludes = {}) {
  WalkOptions o;
  o.recursive = true;
  o.follow_links = follow_links;
  o.includes = std::move(includes);
  o.excludes = std::move(excludes);
  return o;
}

// "kind path" for each input, with paths relative to root.
std::vector<std::string> Walk(const WalkOptions& options, const std::filesystem::path& root,
                              std::uint64_t* skipped = nullptr) {
  InputWalker walker(options);
  std::vector<std::string> seen;
  walker.Expand(root, true, [&](Input in) {
    const char* kind = in.kind == Input::Kind::kFile ? "file" : in.kind == Input::Kind::kFailure ? "fail" : "stdin";
    seen.push_back(std::string(kind) + " " + in.path.lexically_relative(root).string() +
                   (in.cause.empty() ? "" : ": " + in.cause));
  });
  if (skipped != nullptr) *skipped = walker.skipped();
  return seen;
}

TEST(InputWalkerTest, WalksInByteOrderAndSkipsWhatIsNoRegularFile) {
  TempDir dir;
  const auto root = dir.path() / "tree";
  std::filesystem::create_directories(root / "b" / "inner");
  std::filesystem::create_directories(root / "a");
  for (const char* name : {"b/inner/z.xls", "b/A.xls", "a/x.xls", "B.xls", "a.xls", "\x82\xA0.xls"}) {
    dir.Write("tree/" + std::string(name), ToBytes("x"));
  }
  ASSERT_EQ(::mkfifo((root / "a" / "fifo.xls").c_str(), 0600), 0);
  std::filesystem::create_symlink(root / "a", root / "link-to-a");
  std::filesystem::create_symlink(root / "a.xls", root / "link-to-file.xls");
  std::filesystem::create_symlink(root / "gone", root / "broken.xls");

  std::uint64_t skipped = 0;
  const auto seen = Walk(Recursive(), root, &skipped);
  const std::vector<std::string> expected = {
      "file B.xls",
      "file a/x.xls",  // the FIFO beside it is skipped, never opened
      "file a.xls",
      "file b/A.xls",
      "file b/inner/z.xls",
      "fail broken.xls: No such file or directory",
      "file link-to-file.xls",  // links to files are scanned; links to directories are not followed
      "file \x82\xA0.xls",
  };
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(skipped, 2u);
}

TEST(InputWalkerTest, FollowsLinksToDirectoriesOnlyWhenAskedAndNeverInACircle) {
  TempDir dir;
  const auto root = dir.path() / "tree";
  std::filesystem::create_directories(root / "sub");
  dir.Write("tree/sub/book.xls", ToBytes("x"));
  std::filesystem::create_symlink(root, root / "sub" / "up");  // a circle

  EXPECT_EQ(Walk(Recursive(), root), std::vector<std::string>{"file sub/book.xls"});
  const auto followed = Walk(Recursive(true), root);
  EXPECT_EQ(followed, (std::vector<std::string>{
                          "file sub/book.xls",
                          "fail sub/up: link to a directory that contains it; not followed"}));
}

TEST(InputWalkerTest, FiltersNamesFoundInTreesWithoutRegardToCase) {
  TempDir dir;
  const auto root = dir.path() / "tree";
  std::filesystem::create_directories(root);
  for (const char* name : {"BOOK1.XLS", "book2.xls", "notes.txt", "old.xls.bak", "tmp.xls"}) {
    dir.Write("tree/" + std::string(name), ToBytes("x"));
  }
  EXPECT_EQ(Walk(Recursive(false, {"*.xls"}), root),
            (std::vector<std::string>{"file BOOK1.XLS", "file book2.xls", "file tmp.xls"}));
  EXPECT_EQ(Walk(Recursive(false, {"*.xls", "*.txt"}, {"TMP*"}), root),
            (std::vector<std::string>{"file BOOK1.XLS", "file book2.xls", "file notes.txt"}));
  // A file named on the command line is scanned whatever its name.
  InputWalker walker(Recursive(false, {"*.xls"}));
  std::vector<Input> inputs;
  walker.Expand(root / "notes.txt", true, [&](Input in) { inputs.push_back(in); });
  ASSERT_EQ(inputs.size(), 1u);
  EXPECT_EQ(inputs[0].kind, Input::Kind::kFile);
}

TEST(InputWalkerTest, CommandLinePaths) {
  TempDir dir;
  std::filesystem::create_directories(dir.path() / "d");
  std::vector<Input> inputs;
  InputWalker plain({});
  const InputSink keep = [&](Input in) { inputs.push_back(std::move(in)); };
  plain.Expand("-", true, keep);
  plain.Expand("-", false, keep);  // from a name list: a file named "-"
  plain.Expand(dir.path() / "d", true, keep);
  plain.Expand(dir.path() / "missing", true, keep);
  ASSERT_EQ(inputs.size(), 4u);
  EXPECT_EQ(inputs[0].kind, Input::Kind::kStandardInput);
  EXPECT_EQ(inputs[1].kind, Input::Kind::kFile);
  EXPECT_EQ(inputs[2].kind, Input::Kind::kFailure);
  EXPECT_EQ(inputs[2].cause, "not a regular file (directory); -r scans the files in it");
  EXPECT_EQ(inputs[3].kind, Input::Kind::kFile);  // the scan will say it is missing
}

TEST(NameListTest, NulSeparatedNamesOfAnyBytes) {
  const std::string list = std::string("a b.xls") + '\0' + "line\nbreak.xls" + '\0' + '\0' +
                           "\x82\xA0.xls" + '\0' + "last-without-nul";
  for (std::size_t piece : {std::size_t{1}, std::size_t{3}, SIZE_MAX}) {
    SCOPED_TRACE(piece);
    MemorySource source(ToBytes(list), piece);
    std::vector<std::string> names;
    ReadNameList(source, [&](std::string n) { names.push_back(n); });
    EXPECT_EQ(names, (std::vector<std::string>{"a b.xls", "line\nbreak.xls", "\x82\xA0.xls", "last-without-nul"}));
  }
}

TEST(CsvFieldTest, QuotesOnlyWhatMustBeQuoted) {
  struct Row {
    const char* in;
    const char* out;
  };
  const Row rows[] = {
      {"plain.xls", "plain.xls"},
      {"売上、1997年.xls", "売上、1997年.xls"},  // an ideographic comma is no comma
      {"a,b.xls", "\"a,b.xls\""},
      {"say \"hi\".xls", "\"say \"\"hi\"\".xls\""},
      {"line\nbreak", "\"line\nbreak\""},
      {"cr\rhere", "\"cr\rhere\""},
      {"", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.in);
    EXPECT_EQ(CsvField(row.in), row.out);
  }
}

TEST(ProgressTextTest, WidthsAndCutting) {
  EXPECT_EQ(DisplayWidth("book1.xls"), 9u);
  EXPECT_EQ(DisplayWidth("売上.xls"), 8u);      // two wide characters
  EXPECT_EQ(DisplayWidth("ｳﾘｱｹﾞ.xls"), 9u);     // half-width katakana are narrow
  EXPECT_EQ(FitFromLeft("/data/book1.xls", 40), "/data/book1.xls");
  EXPECT_EQ(FitFromLeft("/data/book1.xls", 10), "…book1.xls");
  // A wide character that would not fit whole is left out, not cut.
  EXPECT_EQ(FitFromLeft("/経理/売上.xls", 8), "…上.xls");
  EXPECT_EQ(FitFromLeft("/経理/売上.xls", 9), "…売上.xls");
  EXPECT_EQ(FitFromLeft("/経理/売上.xls", 10), "…/売上.xls");
  EXPECT_EQ(HumanBytes(512), "512 B");
  EXPECT_EQ(HumanBytes(1536), "1.5 KiB");
  EXPECT_EQ(HumanBytes(3.0 * 1024 * 1024 * 1024), "3.0 GiB");
}

TEST(ScanPoolTest, OutcomesComeInInputOrderWhateverTheJobs) {
  TempDir dir;
  std::vector<std::filesystem::path> files;
  for (int i = 0; i < 300; ++i) {
    // Larger files early, so that later scans finish first.
    const std::size_t size = i < 10 ? 3 << 20 : 100;
    test::Bytes bytes(size, '.');
    if (i % 7 == 0) {
      const std::string marker = "Microsoft Excel 5.0";
      std::copy(marker.begin(), marker.end(), bytes.begin() + 10);
    }
    files.push_back(dir.Write("f" + std::to_string(i), bytes));
  }
  for (unsigned jobs : {1u, 2u, 8u}) {
    SCOPED_TRACE(jobs);
    ScanPool pool(jobs);
    std::vector<std::filesystem::path> order;
    int excel5 = 0;
    pool.Run(
        [&](const InputSink& emit) {
          for (const auto& f : files) emit({Input::Kind::kFile, f, {}});
          emit({Input::Kind::kFailure, "x", "made up"});
        },
        [&](Outcome&& o) {
          order.push_back(o.input.path);
          if (o.result && o.result->verdict == Verdict::kExcel5) ++excel5;
        },
        [](const PoolStatus&) {});
    ASSERT_EQ(order.size(), files.size() + 1);
    EXPECT_TRUE(std::equal(files.begin(), files.end(), order.begin()));
    EXPECT_EQ(order.back(), "x");
    EXPECT_EQ(excel5, 43);
  }
}

}  // namespace
}  // namespace tamsel::cli
