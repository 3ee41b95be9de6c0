// The one error type of the scanner: a file that could not be opened or read.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>

namespace tamsel {

class ScanError : public std::runtime_error {
 public:
  // cause is the reason in words ("No such file or directory", "not a
  // regular file (directory)"); code is the errno behind it, if any.
  ScanError(std::filesystem::path path, std::string cause, std::error_code code = {});

  // Builds the error from errno, optionally saying what was being done
  // ("read failed at byte 4096").
  static ScanError FromErrno(std::filesystem::path path, int errnum, std::string doing = {});

  const std::filesystem::path& path() const { return path_; }
  const std::string& cause() const { return cause_; }
  std::error_code code() const { return code_; }

 private:
  std::filesystem::path path_;
  std::string cause_;
  std::error_code code_;
};

}  // namespace tamsel
