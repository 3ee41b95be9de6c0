#include "tests/support/fixtures.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <stdexcept>

extern char** environ;

namespace tamsel::test {

Bytes ToBytes(std::string_view s) { return Bytes(s.begin(), s.end()); }

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

Bytes Filler(std::size_t n, std::uint8_t byte) { return Bytes(n, byte); }

Bytes Pairs(std::size_t n, std::uint8_t lead, std::uint8_t second) {
  Bytes out;
  for (std::size_t i = 0; i < n; ++i) {
    out.push_back(lead);
    out.push_back(second);
  }
  return out;
}

Bytes CompoundHeader() {
  Bytes h = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  h.resize(512, 0);
  h[0x1C] = 0xFE;  // byte order FFFE: FE and FF are one-byte characters
  h[0x1D] = 0xFF;
  for (std::size_t i = 76; i < 512; ++i) h[i] = 0xFF;  // free DIFAT slots
  return h;
}

TempDir::TempDir(const std::filesystem::path& base) {
  std::string templ = (base / "tamsel-test-XXXXXX").string();
  if (::mkdtemp(templ.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = templ;
}

TempDir::~TempDir() {
  std::error_code ec;
  // Folders made unreadable by a test must be removable again.
  for (auto it = std::filesystem::recursive_directory_iterator(
           path_, std::filesystem::directory_options::skip_permission_denied, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
  }
  std::filesystem::remove_all(path_, ec);
}

std::filesystem::path TempDir::Write(const std::string& name, const Bytes& bytes) const {
  const auto p = path_ / name;
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out.flush()) throw std::runtime_error("cannot write " + p.string());
  return p;
}

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& input, const std::filesystem::path& stdout_file) {
  int in[2], out[2], err[2];
  if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) {
    throw std::runtime_error("pipe failed");
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], 0);
  if (stdout_file.empty()) {
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  } else {
    posix_spawn_file_actions_addopen(&actions, 1, stdout_file.c_str(), O_WRONLY, 0);
  }
  posix_spawn_file_actions_adddup2(&actions, err[1], 2);

  std::vector<std::string> argv_storage = {program};
  argv_storage.insert(argv_storage.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& a : argv_storage) argv.push_back(a.data());
  argv.push_back(nullptr);

  pid_t pid;
  const int rc = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(in[0]);
  ::close(out[1]);
  ::close(err[1]);
  if (rc != 0) throw std::runtime_error("cannot start " + program + ": " + std::strerror(rc));

  // Feed standard input while draining both outputs, so no pipe fills up.
  ProcessResult result;
  std::size_t fed = 0;
  int in_fd = in[1];
  if (input.empty()) {
    ::close(in_fd);
    in_fd = -1;
  }
  const struct sigaction ignore = {};
  struct sigaction old {};
  struct sigaction quiet = ignore;
  quiet.sa_handler = SIG_IGN;
  ::sigaction(SIGPIPE, &quiet, &old);
  int open_outputs = 2;
  while (open_outputs > 0 || in_fd >= 0) {
    pollfd fds[3] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}, {in_fd, POLLOUT, 0}};
    if (::poll(fds, 3, -1) < 0 && errno != EINTR) break;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd >= 0 && (fds[i].revents & (POLLIN | POLLHUP | POLLERR))) {
        char buf[65536];
        const ssize_t n = ::read(fds[i].fd, buf, sizeof buf);
        if (n > 0) {
          (i == 0 ? result.out : result.err).append(buf, static_cast<std::size_t>(n));
        } else {
          ::close(fds[i].fd);
          (i == 0 ? out[0] : err[0]) = -1;
          --open_outputs;
        }
      }
    }
    if (in_fd >= 0 && (fds[2].revents & (POLLOUT | POLLERR | POLLHUP))) {
      const ssize_t n = ::write(in_fd, input.data() + fed, input.size() - fed);
      if (n > 0) fed += static_cast<std::size_t>(n);
      if (n < 0 || fed == input.size()) {
        ::close(in_fd);
        in_fd = -1;
      }
    }
  }
  ::sigaction(SIGPIPE, &old, nullptr);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return result;
}

}  // namespace tamsel::test
