// Helpers for building test inputs and running the programs.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tamsel::test {

using Bytes = std::vector<std::uint8_t>;

Bytes ToBytes(std::string_view s);
Bytes Concat(std::initializer_list<Bytes> parts);
// n one-byte characters that are no lead byte and start no marker ('.').
Bytes Filler(std::size_t n, std::uint8_t byte = '.');
// n two-byte characters (a lead byte and a second byte).
Bytes Pairs(std::size_t n, std::uint8_t lead = 0x82, std::uint8_t second = 0xA0);

// The first 512 bytes of a compound file as Excel writes them: a signature
// whose E0 A1 and E1 00 are pairs, and no further lead byte, so 510
// characters, and the Marker at bytes 512-514.
Bytes CompoundHeader();

// A folder under base (the system's temporary folder by default), removed
// with what it holds.
class TempDir {
 public:
  explicit TempDir(const std::filesystem::path& base = std::filesystem::temp_directory_path());
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path Write(const std::string& name, const Bytes& bytes) const;

 private:
  std::filesystem::path path_;
};

struct ProcessResult {
  int status = -1;  // exit status, or 128 + signal number
  std::string out;
  std::string err;
};

// Runs program with args (no shell), feeding input on its standard input.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& input = {},
                         const std::filesystem::path& stdout_file = {});

}  // namespace tamsel::test
