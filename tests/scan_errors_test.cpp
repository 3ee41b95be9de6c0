// Files that cannot be scanned: each gives an error naming the path and the
// cause, never a verdict, a hang or an endless read.
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>

#include "scanner/byte_source.h"
#include "scanner/scan_error.h"
#include "scanner/version_scanner.h"
#include "tests/support/fixtures.h"

namespace tamsel {
namespace {

using test::TempDir;

// The cause ScanPath gives for path, or "" when it gave a verdict.
std::string CauseOf(const std::filesystem::path& path) {
  try {
    ScanPath(path);
    return "";
  } catch (const ScanError& e) {
    EXPECT_EQ(e.path(), path);
    EXPECT_EQ(std::string(e.what()), e.path().string() + ": " + e.cause());
    return e.cause();
  }
}

TEST(ScanErrorTest, FilesThatCannotBeOpened) {
  TempDir dir;
  const auto regular = dir.Write("book1.xls", test::ToBytes("x"));
  std::filesystem::create_symlink(dir.path() / "gone.xls", dir.path() / "dangling.xls");
  const std::string long_name(300, 'a');

  struct Row {
    const char* name;
    std::filesystem::path path;
    const char* cause;
  };
  const Row rows[] = {
      {"missing file", dir.path() / "missing.xls", "No such file or directory"},
      {"dangling symbolic link", dir.path() / "dangling.xls", "No such file or directory"},
      {"a file used as a folder", regular / "inner.xls", "Not a directory"},
      {"name too long", dir.path() / long_name, "File name too long"},
      {"empty path", "", "No such file or directory"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(CauseOf(row.path), row.cause);
  }
}

TEST(ScanErrorTest, NonRegularFilesAreRefusedBeforeReading) {
  TempDir dir;
  const auto fifo = dir.path() / "pipe.xls";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);

  const auto socket_path = dir.path() / "sock.xls";
  const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(sock, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  ASSERT_LT(socket_path.native().size(), sizeof addr.sun_path);
  std::strcpy(addr.sun_path, socket_path.c_str());
  ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);

  struct Row {
    const char* name;
    std::filesystem::path path;
    const char* cause;
  };
  // A FIFO would block open() without a writer; /dev/zero would never end.
  const Row rows[] = {
      {"directory", dir.path(), "not a regular file (directory)"},
      {"FIFO", fifo, "not a regular file (FIFO)"},
      {"socket", socket_path, "not a regular file (socket)"},
      {"endless character device", "/dev/zero", "not a regular file (character device)"},
      {"empty character device", "/dev/null", "not a regular file (character device)"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(CauseOf(row.path), row.cause);
  }
  ::close(sock);
}

TEST(ScanErrorTest, PermissionDenied) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads files whatever their mode";
  TempDir dir;
  const auto path = dir.Write("secret.xls", test::ToBytes("Microsoft Excel 5.0"));
  std::filesystem::permissions(path, std::filesystem::perms::none);
  EXPECT_EQ(CauseOf(path), "Permission denied");
}

TEST(ScanErrorTest, ReadErrorIsNoEndOfFile) {
  // A regular file whose read fails: /proc/self/mem at offset 0, which is
  // not mapped, answers EIO.
  const std::string cause = CauseOf("/proc/self/mem");
  EXPECT_EQ(cause, "read failed at byte 0: Input/output error");
}

// A source that delivers good bytes, then fails, as a disk with a bad
// sector in the middle of a file does.
class FailsAfter : public ByteSource {
 public:
  FailsAfter(test::Bytes good, std::size_t piece) : good_(std::move(good)), piece_(piece) {}
  std::size_t Read(std::span<std::uint8_t> out) override {
    if (pos_ == good_.size()) throw ScanError(name_, "read failed at byte " + std::to_string(pos_) + ": Input/output error");
    const std::size_t n = std::min({out.size(), piece_, good_.size() - pos_});
    std::copy_n(good_.begin() + static_cast<std::ptrdiff_t>(pos_), n, out.begin());
    pos_ += n;
    return n;
  }
  const std::filesystem::path& Name() const override { return name_; }

 private:
  test::Bytes good_;
  std::size_t piece_;
  std::size_t pos_ = 0;
  std::filesystem::path name_ = "damaged.xls";
};

TEST(ScanErrorTest, ReadErrorInTheMiddleEndsTheScanWithTheError) {
  // The bytes before the error already hold a verdict; it must not be given.
  const test::Bytes good = test::Concat({test::ToBytes("Microsoft Excel 5.0"), test::Filler(600000)});
  for (std::size_t piece : {std::size_t{4096}, std::size_t{1} << 20}) {
    SCOPED_TRACE(piece);
    FailsAfter source(good, piece);
    try {
      ScanSource(source);
      FAIL() << "a verdict for a file that could not be read";
    } catch (const ScanError& e) {
      EXPECT_EQ(e.path(), "damaged.xls");
      EXPECT_EQ(e.cause(), "read failed at byte 600019: Input/output error");
    }
  }
}

TEST(ScanFileTest, OpensNamesThatAreNotUtf8AndShowsThemRepaired) {
  TempDir dir;
  // あ in Shift_JIS, as an old archive names its files.
  const std::filesystem::path name(std::string("\x82\xA0.xls"));
  const auto path = dir.Write(name.string(), test::ToBytes("Microsoft Excel 5.0"));
  const std::string shown = dir.path().string() + "/\xEF\xBF\xBD\xEF\xBF\xBD.xls";
  EXPECT_EQ(ScanFile(path), shown + " は\r\nMicrosoft Excel 5.0 ファイルです。");
}

TEST(ScanFileTest, PathWithSpacesAndJapaneseStandsUnchanged) {
  TempDir dir;
  const auto folder = dir.path() / "経理 1997";
  std::filesystem::create_directory(folder);
  const auto path = folder / "売上 表.xls";
  {
    const test::Bytes bytes = test::ToBytes("nothing here");
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  EXPECT_EQ(ScanFile(path), path.string() + " は\r\nExcel 5.0、95、97のファイルではありません。");
}

TEST(ScanFileTest, FollowsSymbolicLinksToRegularFiles) {
  TempDir dir;
  const auto target = dir.Write("real.xls", test::ToBytes("Microsoft Excel 5.0"));
  std::filesystem::create_symlink(target, dir.path() / "link.xls");
  EXPECT_EQ(ScanPath(dir.path() / "link.xls").verdict, Verdict::kExcel5);
}

TEST(ScanFileTest, FilesOver4GiB) {
  // A sparse file: the head block holds test 3b, and "Microsoft Excel 5.0"
  // lies past 4 GiB. With character counts cut to 32 bits the late match
  // would land in the head block's Window and 3b would win there.
  // Holes read far faster from tmpfs than from most disk file systems.
  const std::filesystem::path shm = "/dev/shm";
  TempDir dir(::access(shm.c_str(), W_OK) == 0 ? shm : std::filesystem::temp_directory_path());
  const auto path = dir.path() / "huge.xls";
  const test::Bytes head = test::Concat({test::CompoundHeader(), {0x09, 0x08, 0x10, 0x00},
                                         test::ToBytes("Microsoft Excel"), {0x00, '@'}});
  const std::uint64_t late = (std::uint64_t{1} << 32) + 100;
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::pwrite(fd, head.data(), head.size(), 0), static_cast<ssize_t>(head.size()));
  const std::string text = "Microsoft Excel 5.0";
  ASSERT_EQ(::pwrite(fd, text.data(), text.size(), static_cast<off_t>(late)), static_cast<ssize_t>(text.size()));
  ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(late + 4096)), 0);
  ::close(fd);

  const ScanResult result = ScanPath(path);
  EXPECT_EQ(result.bytes, late + 4096);
  EXPECT_EQ(result.verdict, Verdict::kExcel5);
}

}  // namespace
}  // namespace tamsel
