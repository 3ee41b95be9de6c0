// The command line of tamsel-scan.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/report_format.h"

namespace tamsel::cli {

struct Options {
  Format format = Format::kText;
  bool recursive = false;       // -r: walk directories
  bool follow_links = false;    // -L: follow symbolic links to directories too
  std::optional<std::string> files0_from;  // NUL-separated names, "-" for standard input
  std::vector<std::string> includes;       // globs a found file's name must match (one of)
  std::vector<std::string> excludes;       // globs a found file's name must not match
  unsigned jobs = 0;                       // 0: one per core
  enum class Progress { kAuto, kOn, kOff } progress = Progress::kAuto;
  bool summary = false;
  std::vector<std::string> files;
};

struct ParsedCommandLine {
  std::optional<Options> options;  // empty when the program is to end at once
  int exit_status = 0;             // then: 0 after --help or --version, 2 for a usage error
};

// Parses the arguments; prints help, the version or the usage error itself.
ParsedCommandLine ParseCommandLine(int argc, char** argv);

}  // namespace tamsel::cli
