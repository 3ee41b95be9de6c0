// tamsel-scan: the verdict for each file named, or for every file in a tree.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

#include "cli/input_walker.h"
#include "cli/options.h"
#include "cli/output.h"
#include "cli/progress.h"
#include "cli/report_format.h"
#include "cli/scan_pool.h"
#include "scanner/byte_source.h"
#include "scanner/path_text.h"
#include "scanner/scan_error.h"

namespace {

using namespace tamsel;
using namespace tamsel::cli;

constexpr int kExitOk = 0;
constexpr int kExitUnreadable = 1;

void Complain(std::string_view shown_path, std::string_view cause) {
  std::fprintf(stderr, "tamsel-scan: %.*s: %.*s\n", static_cast<int>(shown_path.size()), shown_path.data(),
               static_cast<int>(cause.size()), cause.data());
}

// Reads the names of a --files0-from list; a FIFO or pipe is fine here, as
// the list is read as a stream, never scanned.
void ProduceFromList(const std::string& list, InputWalker& walker, const InputSink& emit) {
  const std::filesystem::path path(list);
  int fd = STDIN_FILENO;
  if (list != "-") {
    do {
      fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
      emit({Input::Kind::kFailure, path, std::strerror(errno)});
      return;
    }
  }
  try {
    DescriptorSource source(fd, path);
    ReadNameList(source, [&](std::string name) { walker.Expand(name, false, emit); });
  } catch (const ScanError& e) {
    emit({Input::Kind::kFailure, path, e.cause()});
  }
  if (fd != STDIN_FILENO) ::close(fd);
}

}  // namespace

int main(int argc, char** argv) {
  // Output piped into head ends the program quietly at the next write, as
  // for every filter, also when the parent had the signal ignored.
  std::signal(SIGPIPE, SIG_DFL);

  ParsedCommandLine parsed = ParseCommandLine(argc, argv);
  if (!parsed.options) return parsed.exit_status;
  const Options& options = *parsed.options;

  const unsigned jobs = options.jobs != 0 ? options.jobs : std::max(1u, std::thread::hardware_concurrency());
  const bool progress_wanted = options.progress == Options::Progress::kOn ||
                               (options.progress == Options::Progress::kAuto && ::isatty(STDERR_FILENO));
  ProgressLine progress(STDERR_FILENO, progress_wanted);
  // Results on the same terminal as the progress line must not be drawn over.
  const bool output_shares_terminal = progress.enabled() && ::isatty(STDOUT_FILENO);

  InputWalker walker({options.recursive, options.follow_links, options.includes, options.excludes});
  Output out(stdout);
  out.Write(FormatHeader(options.format));
  Summary summary;
  int status = kExitOk;
  const auto started = std::chrono::steady_clock::now();

  ScanPool pool(jobs);
  pool.Run(
      [&](const InputSink& emit) {
        if (options.files0_from) {
          ProduceFromList(*options.files0_from, walker, emit);
        } else {
          for (const std::string& file : options.files) walker.Expand(file, true, emit);
        }
      },
      [&](Outcome&& outcome) {
        const std::string shown = DisplayPath(outcome.input.path);
        if (outcome.result) {
          if (output_shares_terminal) progress.Clear();
          out.Write(FormatResult(options.format, shown, *outcome.result));
          ++summary.verdicts[static_cast<int>(outcome.result->verdict)];
          summary.bytes += outcome.result->bytes;
        } else {
          progress.Clear();
          // Keep the order of results and errors when both reach a terminal.
          std::fflush(stdout);
          Complain(shown, outcome.cause);
          out.Write(FormatError(options.format, shown, outcome.cause));
          ++summary.errors;
          status = kExitUnreadable;
        }
      },
      [&](const PoolStatus& pool_status) { progress.Show(pool_status); });
  progress.Clear();

  summary.skipped = walker.skipped();
  summary.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  if (options.summary) {
    // The CSV stays one table; its summary goes beside it, to standard error.
    if (options.format == Format::kCsv) {
      std::fflush(stdout);
      std::fputs(FormatSummary(Format::kText, summary).c_str(), stderr);
    } else {
      out.Write(FormatSummary(options.format, summary));
    }
  }
  if (!out.Finish()) {
    std::fprintf(stderr, "tamsel-scan: write error: %s\n", std::strerror(errno));
    return kExitUnreadable;
  }
  return status;
}
