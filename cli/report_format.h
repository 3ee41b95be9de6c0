// How one file's result is written in each output format.
#pragma once

#include <memory>
#include <string>
#include <cstdint>
#include <string_view>

#include "scanner/version_scanner.h"

namespace tamsel::cli {

enum class Format { kText, kVerdict, kJson, kCsv };

// "text", "verdict", "json" or "csv".
Format FormatFromName(std::string_view name);

// shown_path is the path as text (valid UTF-8); cause is why the file could
// not be read. Each returns the bytes to write, line ending included.
std::string FormatResult(Format format, std::string_view shown_path, const ScanResult& result);
// Empty when the format reports errors on standard error only.
std::string FormatError(Format format, std::string_view shown_path, std::string_view cause);

// What comes before the first result: the header row of CSV.
std::string FormatHeader(Format format);

// One field of CSV, quoted when it must be (RFC 4180).
std::string CsvField(std::string_view text);

struct Summary {
  std::uint64_t verdicts[5] = {};  // by Verdict
  std::uint64_t errors = 0;        // inputs that could not be read
  std::uint64_t skipped = 0;       // not regular files met in trees
  std::uint64_t bytes = 0;
  double seconds = 0;
};

// The counts as a small table, or for JSON as one object.
std::string FormatSummary(Format format, const Summary& summary);

}  // namespace tamsel::cli
