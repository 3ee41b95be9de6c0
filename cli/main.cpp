// tamsel-scan: the verdict for each file named, in the shell.
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/output.h"
#include "cli/report_format.h"
#include "cli/version.h"
#include "scanner/byte_source.h"
#include "scanner/path_text.h"
#include "scanner/scan_error.h"
#include "scanner/version_scanner.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitUnreadable = 1;
constexpr int kExitUsage = 2;

constexpr const char* kProgram = "tamsel-scan";

void Complain(std::string_view shown_path, std::string_view cause) {
  std::fprintf(stderr, "%s: %.*s: %.*s\n", kProgram, static_cast<int>(shown_path.size()),
               shown_path.data(), static_cast<int>(cause.size()), cause.data());
}

}  // namespace

int main(int argc, char** argv) {
  using namespace tamsel;

  CLI::App app{"Tells for each FILE whether Microsoft Excel 5.0, 95 or 97 wrote it.\n"
               "FILE may be - for standard input.",
               kProgram};
  std::string format_name = "text";
  std::vector<std::string> files;
  app.add_option("--format", format_name,
                 "text: PATH: MESSAGE; verdict: the two lines the window shows, CR LF; "
                 "json: one JSON object per line")
      ->check(CLI::IsMember({"text", "verdict", "json"}))
      ->default_str("text");
  app.add_option("FILE", files, "files to scan")->required()->type_name("");
  app.set_version_flag("--version", std::string(kProgram) + " " + TAMSEL_VERSION);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    if (e.get_exit_code() == 0) return app.exit(e);
    std::fprintf(stderr, "%s: %s\nTry '%s --help' for more information.\n", kProgram, e.what(),
                 kProgram);
    return kExitUsage;
  }

  const cli::Format format = cli::FormatFromName(format_name);
  cli::Output out(stdout);
  int status = kExitOk;
  for (const std::string& file : files) {
    const std::filesystem::path path(file);
    const std::string shown = DisplayPath(path);
    try {
      ScanResult result;
      if (file == "-") {
        DescriptorSource input(STDIN_FILENO, "-");
        result = ScanSource(input);
      } else {
        result = ScanPath(path);
      }
      out.Write(cli::FormatResult(format, shown, result));
    } catch (const ScanError& e) {
      // Keep the order of results and errors when both go to a terminal.
      std::fflush(stdout);
      Complain(shown, e.cause());
      out.Write(cli::FormatError(format, shown, e.cause()));
      status = kExitUnreadable;
    }
  }
  if (!out.Finish()) {
    std::fprintf(stderr, "%s: write error: %s\n", kProgram, std::strerror(errno));
    return kExitUnreadable;
  }
  return status;
}
