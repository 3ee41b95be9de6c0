#include "scanner/byte_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <string>

#include "scanner/scan_error.h"

namespace tamsel {
namespace {

const char* KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "directory";
  if (S_ISFIFO(mode)) return "FIFO";
  if (S_ISCHR(mode)) return "character device";
  if (S_ISBLK(mode)) return "block device";
  if (S_ISSOCK(mode)) return "socket";
  return "special file";
}

ScanError NotRegular(const std::filesystem::path& path, mode_t mode) {
  return ScanError(path, std::string("not a regular file (") + KindOf(mode) + ")");
}

// Files whose access time we may not keep (not ours, and we are not root):
// after the first refusal, O_NOATIME is not asked for again, which would
// cost a second open() for every file of such an archive.
std::atomic<bool> noatime_refused{false};

int OpenReadOnly(const std::filesystem::path& path) {
  // O_NONBLOCK keeps open() from waiting for a writer should a FIFO take the
  // place of the file between stat() and open(); on a regular file it
  // changes nothing. O_NOATIME leaves the access times of an archive as
  // they were where we may (the owner, or root).
  constexpr int kFlags = O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
  int fd = -1;
  if (!noatime_refused.load(std::memory_order_relaxed)) {
    do {
      fd = ::open(path.c_str(), kFlags | O_NOATIME);
    } while (fd < 0 && errno == EINTR);
    if (fd >= 0 || errno != EPERM) return fd;
    noatime_refused.store(true, std::memory_order_relaxed);
  }
  do {
    fd = ::open(path.c_str(), kFlags);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

// Below this size the kernel's read-ahead needs no hint, and the call
// would cost more than it saves.
constexpr off_t kSequentialHintFrom = 1 << 20;

}  // namespace

DescriptorSource::DescriptorSource(int fd, std::filesystem::path name)
    : fd_(fd), name_(std::move(name)) {}

std::size_t DescriptorSource::Read(std::span<std::uint8_t> out) {
  if (fd_ < 0 || out.empty()) return 0;
  for (;;) {
    const ssize_t n = ::read(fd_, out.data(), out.size());
    if (n >= 0) {
      offset_ += static_cast<std::uint64_t>(n);
      return static_cast<std::size_t>(n);
    }
    if (errno == EINTR) continue;
    throw ScanError::FromErrno(name_, errno, "read failed at byte " + std::to_string(offset_));
  }
}

FileSource::FileSource(const std::filesystem::path& path) : DescriptorSource(-1, path) {
  // Look before opening: opening a device can have effects of its own.
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) throw ScanError::FromErrno(path, errno);
  if (!S_ISREG(st.st_mode)) throw NotRegular(path, st.st_mode);

  fd_ = OpenReadOnly(path);
  if (fd_ < 0) throw ScanError::FromErrno(path, errno);
  // And look again at what was opened, which is what will be read.
  if (::fstat(fd_, &st) != 0) {
    const int err = errno;
    Close();
    throw ScanError::FromErrno(path, err);
  }
  if (!S_ISREG(st.st_mode)) {
    Close();
    throw NotRegular(path, st.st_mode);
  }
  if (st.st_size >= kSequentialHintFrom) ::posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
}

FileSource::~FileSource() { Close(); }

void FileSource::Close() {
  if (fd_ >= 0) {
    // A read-only descriptor has nothing to flush; an error of close() here
    // cannot change what was read.
    ::close(fd_);
    fd_ = -1;
  }
}

MemorySource::MemorySource(std::span<const std::uint8_t> bytes, std::size_t piece,
                           std::filesystem::path name)
    : bytes_(bytes.begin(), bytes.end()), piece_(std::max<std::size_t>(piece, 1)), name_(std::move(name)) {}

std::size_t MemorySource::Read(std::span<std::uint8_t> out) {
  const std::size_t n = std::min({out.size(), piece_, bytes_.size() - pos_});
  if (n == 0) return 0;
  std::memcpy(out.data(), bytes_.data() + pos_, n);
  pos_ += n;
  return n;
}

}  // namespace tamsel
