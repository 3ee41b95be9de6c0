#include "scanner/scan_error.h"

#include "scanner/path_text.h"

namespace tamsel {

ScanError::ScanError(std::filesystem::path path, std::string cause, std::error_code code)
    : std::runtime_error(DisplayPath(path) + ": " + cause),
      path_(std::move(path)),
      cause_(std::move(cause)),
      code_(code) {}

ScanError ScanError::FromErrno(std::filesystem::path path, int errnum, std::string doing) {
  const std::error_code code(errnum, std::system_category());
  std::string cause = code.message();
  if (!doing.empty()) cause = doing + ": " + cause;
  return ScanError(std::move(path), std::move(cause), code);
}

}  // namespace tamsel
