// tamsel-scan over whole trees: recursion, name lists, jobs, formats,
// progress, summary and exit statuses, as a user runs it.
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <thread>

#include "tests/model/literal_scan.h"
#include "tests/support/fixtures.h"
#include "tests/support/input_generator.h"

extern char** environ;

namespace tamsel {
namespace {

using test::Bytes;
using test::RunProcess;
using test::TempDir;
using test::ToBytes;

const std::string kScan = TAMSEL_SCAN_BINARY;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string Text(const std::filesystem::path& p, const char* message) { return p.string() + ": " + message; }

constexpr const char* kFive = "Microsoft Excel 5.0 ファイルです。";
constexpr const char* kNone = "Excel 5.0、95、97のファイルではありません。";

TEST(ScanArchiveTest, RecursionReportsEveryFileOnceInSortedOrder) {
  TempDir dir;
  const auto root = dir.path() / "archive";
  std::filesystem::create_directories(root / "1996" / "経理");
  std::filesystem::create_directories(root / "1997");
  dir.Write("archive/1997/b.xls", ToBytes("Microsoft Excel 5.0"));
  dir.Write("archive/1996/経理/売上.xls", ToBytes("Microsoft Excel 5.0"));
  dir.Write("archive/1996/a.txt", ToBytes("plain"));
  dir.Write("archive/README", ToBytes("plain"));
  ASSERT_EQ(::mkfifo((root / "1997" / "pipe.xls").c_str(), 0600), 0);  // would hang if opened

  const auto r = RunProcess(kScan, {"-r", root.string()});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(Lines(r.out), (std::vector<std::string>{
                              Text(root / "1996/a.txt", kNone),
                              Text(root / "1996/経理/売上.xls", kFive),
                              Text(root / "1997/b.xls", kFive),
                              Text(root / "README", kNone),
                          }));

  const auto summary = RunProcess(kScan, {"-r", "--summary", "--format=json", root.string()});
  const auto last = nlohmann::json::parse(Lines(summary.out).back());
  EXPECT_EQ(last["summary"]["files"], 4);
  EXPECT_EQ(last["summary"]["verdicts"]["excel5"], 2);
  EXPECT_EQ(last["summary"]["verdicts"]["none"], 2);
  EXPECT_EQ(last["summary"]["skipped"], 1);
  EXPECT_EQ(last["summary"]["errors"], 0);
}

TEST(ScanArchiveTest, ErrorsInsideATreeLoseNoOtherResult) {
  TempDir dir;
  const auto root = dir.path() / "t";
  std::filesystem::create_directories(root);
  dir.Write("t/a.xls", ToBytes("Microsoft Excel 5.0"));
  std::filesystem::create_symlink(root / "nowhere.xls", root / "b-broken.xls");
  std::filesystem::create_symlink("/proc/self/mem", root / "c-unreadable.xls");  // a read error
  dir.Write("t/d.xls", ToBytes("plain"));

  const auto r = RunProcess(kScan, {"-r", "--format=json", root.string()});
  EXPECT_EQ(r.status, 1);
  const auto lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(nlohmann::json::parse(lines[0])["verdict"], "excel5");
  EXPECT_EQ(nlohmann::json::parse(lines[1])["error"], "No such file or directory");
  EXPECT_EQ(nlohmann::json::parse(lines[2])["error"], "read failed at byte 0: Input/output error");
  EXPECT_EQ(nlohmann::json::parse(lines[3])["verdict"], "none");
  EXPECT_EQ(r.err, "tamsel-scan: " + (root / "b-broken.xls").string() + ": No such file or directory\n" +
                       "tamsel-scan: " + (root / "c-unreadable.xls").string() +
                       ": read failed at byte 0: Input/output error\n");
}

TEST(ScanArchiveTest, ManyJobsGiveTheSameOutputAsOne) {
  // A generated tree of files of every size and verdict; two large ones
  // early, so that later scans finish first under several jobs.
  TempDir dir;
  const auto root = dir.path() / "tree";
  test::InputGenerator generator(4242);
  std::map<std::string, Verdict> expected;
  for (int i = 0; i < 400; ++i) {
    const std::string rel = "d" + std::to_string(i % 13) + "/f" + std::to_string(i) + ".xls";
    std::filesystem::create_directories((root / rel).parent_path());
    Bytes bytes = i < 2 ? Bytes(9 << 20, '.') : generator.Next(/*large=*/false);
    if (i < 2) std::memcpy(bytes.data() + (8 << 20), "Microsoft Excel 5.0", 19);
    dir.Write("tree/" + rel, bytes);
    expected[(root / rel).string()] = model::LiteralScan(bytes);
  }
  const auto one = RunProcess(kScan, {"-r", "-j1", "--format=json", root.string()});
  ASSERT_EQ(one.status, 0) << one.err;
  for (const char* jobs : {"-j2", "-j7"}) {
    SCOPED_TRACE(jobs);
    const auto many = RunProcess(kScan, {"-r", jobs, "--format=json", root.string()});
    EXPECT_EQ(many.out, one.out);
  }
  const auto lines = Lines(one.out);
  ASSERT_EQ(lines.size(), expected.size());
  for (const auto& line : lines) {
    const auto object = nlohmann::json::parse(line);
    const std::string path = object["path"];
    EXPECT_EQ(object["verdict"], VerdictCode(expected.at(path))) << path;
  }
}

TEST(ScanArchiveTest, NamesFromFiles0FromWhateverTheyHoldIn) {
  TempDir dir;
  const std::vector<std::string> names = {"a b.xls", "line\nbreak.xls", "\x82\xA0.xls", "-dash.xls", "comma,\"q\".xls"};
  std::string list;
  for (const auto& n : names) {
    dir.Write(n, ToBytes("Microsoft Excel 5.0"));
    list += (dir.path() / n).string() + '\0';
  }
  list += (dir.path() / "missing.xls").string() + '\0';

  const auto r = RunProcess(kScan, {"--files0-from=-", "--format=json"}, list);
  EXPECT_EQ(r.status, 1);
  const auto lines = Lines(r.out);
  ASSERT_EQ(lines.size(), names.size() + 1);  // one line each: JSON escapes the newline
  EXPECT_EQ(nlohmann::json::parse(lines[0])["path"], (dir.path() / "a b.xls").string());
  EXPECT_EQ(nlohmann::json::parse(lines[1])["path"], (dir.path() / "line\nbreak.xls").string());
  EXPECT_EQ(nlohmann::json::parse(lines[2])["path"], (dir.path() / "\xEF\xBF\xBD\xEF\xBF\xBD.xls").string());
  EXPECT_EQ(nlohmann::json::parse(lines[3])["verdict"], "excel5");
  EXPECT_EQ(nlohmann::json::parse(lines[4])["path"], (dir.path() / "comma,\"q\".xls").string());
  EXPECT_EQ(nlohmann::json::parse(lines[5])["error"], "No such file or directory");

  const auto list_file = dir.Write("list", ToBytes(list));
  const auto from_file = RunProcess(kScan, {"--files0-from", list_file.string(), "--format=json"});
  EXPECT_EQ(from_file.out, r.out);

  const auto csv = RunProcess(kScan, {"--files0-from=-", "--format=csv"}, list);
  EXPECT_EQ(csv.out.substr(0, 28), "path,verdict,message,error\r\n");
  EXPECT_NE(csv.out.find("\"" + (dir.path() / "line\nbreak.xls").string() + "\",excel5,"), std::string::npos);
  EXPECT_NE(csv.out.find("\"" + (dir.path() / "comma,\"\"q\"\".xls").string() + "\",excel5,"), std::string::npos);
  EXPECT_NE(csv.out.find((dir.path() / "missing.xls").string() + ",,,No such file or directory\r\n"),
            std::string::npos);

  const auto both = RunProcess(kScan, {"--files0-from=-", "extra.xls"}, list);
  EXPECT_EQ(both.status, 2);
}

TEST(ScanArchiveTest, PipedIntoHeadEndsQuietly) {
  TempDir dir;
  for (int i = 0; i < 3000; ++i) dir.Write("f" + std::to_string(i), ToBytes("x"));
  // Read one line, then close the pipe, as head -1 does.
  int out[2];
  ASSERT_EQ(::pipe2(out, O_CLOEXEC), 0);
  const auto err_path = dir.path() / "stderr";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_addopen(&actions, 2, err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  std::string program = kScan, r = "-r", root = dir.path().string();
  char* argv[] = {program.data(), r.data(), root.data(), nullptr};
  pid_t pid;
  ASSERT_EQ(::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ), 0);
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);
  char c;
  while (::read(out[0], &c, 1) == 1 && c != '\n') {
  }
  ::close(out[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  EXPECT_TRUE((WIFSIGNALED(status) && WTERMSIG(status) == SIGPIPE) || (WIFEXITED(status) && WEXITSTATUS(status) == 0));
  std::ifstream err(err_path);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(err), {}), "");
}

// Runs tamsel-scan - with standard error on a pseudo-terminal or a pipe,
// and its standard input held open for a while, so that it waits and its
// progress line has time to show.
struct TerminalRun {
  int status = -1;
  std::string out;
  std::string err;
};

TerminalRun RunWaitingOnInput(std::vector<std::string> args, bool terminal) {
  int in[2], out[2], err_pipe[2];
  EXPECT_EQ(::pipe2(in, O_CLOEXEC), 0);
  EXPECT_EQ(::pipe2(out, O_CLOEXEC), 0);
  EXPECT_EQ(::pipe2(err_pipe, O_CLOEXEC), 0);
  int err_read = err_pipe[0];
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  std::string slave;
  if (terminal) {
    err_read = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    EXPECT_GE(err_read, 0);
    EXPECT_EQ(::grantpt(err_read), 0);
    EXPECT_EQ(::unlockpt(err_read), 0);
    slave = ::ptsname(err_read);
    posix_spawn_file_actions_addopen(&actions, 2, slave.c_str(), O_RDWR | O_NOCTTY, 0);
    ::close(err_pipe[0]);
  } else {
    posix_spawn_file_actions_adddup2(&actions, err_pipe[1], 2);
  }
  std::vector<std::string> storage = {kScan};
  storage.insert(storage.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& a : storage) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid;
  EXPECT_EQ(::posix_spawn(&pid, kScan.c_str(), &actions, nullptr, argv.data(), environ), 0);
  posix_spawn_file_actions_destroy(&actions);
  ::close(in[0]);
  ::close(out[1]);
  ::close(err_pipe[1]);

  std::this_thread::sleep_for(std::chrono::milliseconds(600));
  const std::string input = "Microsoft Excel 5.0";
  EXPECT_EQ(::write(in[1], input.data(), input.size()), static_cast<ssize_t>(input.size()));
  ::close(in[1]);

  TerminalRun run;
  int open_fds = 2;
  int fds[2] = {out[0], err_read};
  while (open_fds > 0) {
    pollfd p[2] = {{fds[0], POLLIN, 0}, {fds[1], POLLIN, 0}};
    if (::poll(p, 2, 5000) <= 0) break;
    for (int i = 0; i < 2; ++i) {
      if (fds[i] < 0 || !(p[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      char buf[4096];
      const ssize_t n = ::read(fds[i], buf, sizeof buf);
      if (n > 0) {
        (i == 0 ? run.out : run.err).append(buf, static_cast<std::size_t>(n));
      } else {  // EOF, or EIO from a terminal whose other side has closed
        ::close(fds[i]);
        fds[i] = -1;
        --open_fds;
      }
    }
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return run;
}

TEST(ScanArchiveTest, ProgressOnlyOnATerminalUnlessAskedFor) {
  {
    SCOPED_TRACE("a terminal");
    const auto run = RunWaitingOnInput({"-"}, true);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, std::string("-: ") + kFive + "\n");
    EXPECT_NE(run.err.find("0/1 files"), std::string::npos) << run.err;
    // The line is cleared at the end.
    EXPECT_GE(run.err.size(), 4u);
    EXPECT_EQ(run.err.substr(run.err.size() - 4), "\r\x1b[K");
  }
  {
    SCOPED_TRACE("a terminal, --no-progress");
    const auto run = RunWaitingOnInput({"--no-progress", "-"}, true);
    EXPECT_EQ(run.err, "");
  }
  {
    SCOPED_TRACE("a pipe");
    const auto run = RunWaitingOnInput({"-"}, false);
    EXPECT_EQ(run.err, "");
  }
  {
    SCOPED_TRACE("a pipe, --progress");
    const auto run = RunWaitingOnInput({"--progress", "-"}, false);
    EXPECT_NE(run.err.find("0/1 files"), std::string::npos) << run.err;
  }
}

TEST(ScanArchiveTest, SummaryTable) {
  TempDir dir;
  dir.Write("a.xls", ToBytes("Microsoft Excel 5.0"));
  dir.Write("b.xls", ToBytes("plain"));
  const auto r = RunProcess(kScan, {"-r", "--summary", dir.path().string(), (dir.path() / "missing").string()});
  EXPECT_EQ(r.status, 1);
  const auto lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 2u + 8u);
  EXPECT_EQ(lines[2], "excel5                   1  Microsoft Excel 5.0 ファイルです。");
  EXPECT_EQ(lines[6], std::string("none                     1  ") + kNone);
  EXPECT_EQ(lines[7], "errors                   1  could not be read");
  EXPECT_EQ(lines[8], "skipped                  0  not regular files, not read");
  EXPECT_EQ(lines[9].substr(0, 40), "total                    3  files, 24 by");

  // With CSV the table goes to standard error, and the CSV stays one table.
  const auto csv = RunProcess(kScan, {"-r", "--summary", "--format=csv", dir.path().string()});
  EXPECT_EQ(Lines(csv.out).size(), 3u);
  EXPECT_NE(csv.err.find("excel5                   1"), std::string::npos);
}

TEST(ScanArchiveTest, JobsMustBeAPositiveNumber) {
  for (const char* bad : {"-j0", "-jx", "--jobs=-1"}) {
    SCOPED_TRACE(bad);
    EXPECT_EQ(RunProcess(kScan, {bad, "x"}).status, 2);
  }
  EXPECT_EQ(RunProcess(kScan, {"--progress", "--no-progress", "x"}).status, 2);
}

}  // namespace
}  // namespace tamsel
