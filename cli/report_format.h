// How one file's result is written in each output format.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "scanner/version_scanner.h"

namespace tamsel::cli {

enum class Format { kText, kVerdict, kJson };

// The names --format takes, and the format each names.
inline constexpr std::string_view kFormatNames[] = {"text", "verdict", "json"};
Format FormatFromName(std::string_view name);

// shown_path is the path as text (valid UTF-8); cause is why the file could
// not be read. Each returns the bytes to write, line ending included.
std::string FormatResult(Format format, std::string_view shown_path, const ScanResult& result);
// Empty when the format reports errors on standard error only.
std::string FormatError(Format format, std::string_view shown_path, std::string_view cause);

}  // namespace tamsel::cli
