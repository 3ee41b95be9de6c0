// The floor of reading a tree: reads every file named on standard input
// (NUL-separated, as find -print0 writes them) to its end, with one buffer
// of the size the scan uses, and does nothing else: read-files < LIST
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

int main() {
  std::vector<char> buffer(256 * 1024);
  std::string list, name;
  for (ssize_t n; (n = ::read(STDIN_FILENO, buffer.data(), buffer.size())) > 0;) {
    list.append(buffer.data(), static_cast<std::size_t>(n));
  }
  unsigned long long files = 0, bytes = 0;
  for (std::size_t start = 0; start < list.size();) {
    std::size_t end = list.find('\0', start);
    if (end == std::string::npos) end = list.size();
    name.assign(list, start, end - start);
    start = end + 1;
    const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) continue;
    for (ssize_t n; (n = ::read(fd, buffer.data(), buffer.size())) > 0;) bytes += static_cast<unsigned long long>(n);
    ::close(fd);
    ++files;
  }
  std::fprintf(stderr, "read-files: %llu files, %llu bytes\n", files, bytes);
  return 0;
}
