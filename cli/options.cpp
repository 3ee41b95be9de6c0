#include "cli/options.h"

#include <CLI/CLI.hpp>
#include <cstdio>

#include "cli/version.h"

namespace tamsel::cli {

ParsedCommandLine ParseCommandLine(int argc, char** argv) {
  CLI::App app{
      "Tells for each FILE whether Microsoft Excel 5.0, 95 or 97 wrote it.\n"
      "FILE may be - for standard input; with -r, directories are walked.",
      "tamsel-scan"};
  app.get_formatter()->column_width(30);
  Options o;
  std::string format = "text";
  app.add_option("--format", format,
                 "text: PATH: MESSAGE; verdict: the two lines the window shows, CR LF; "
                 "json: one JSON object per line; csv: RFC 4180 with a header row")
      ->check(CLI::IsMember({"text", "verdict", "json", "csv"}))
      ->type_name("FORMAT")
      ->default_str("text");
  app.add_flag("-r,--recursive", o.recursive,
               "scan the files in directories and their subdirectories, in sorted order");
  app.add_flag("-L,--dereference", o.follow_links, "with -r, follow symbolic links to directories");
  auto* files0 = app.add_option("--files0-from", o.files0_from,
                                "read NUL-separated file names from FILE (- for standard input)")
                     ->type_name("FILE");
  app.add_option("--include", o.includes,
                 "with -r, scan only files whose name matches GLOB (any case); may be repeated")
      ->allow_extra_args(false)
      ->type_name("GLOB");
  app.add_option("--exclude", o.excludes, "with -r, skip files whose name matches GLOB (any case)")
      ->allow_extra_args(false)
      ->type_name("GLOB");
  app.add_option("-j,--jobs", o.jobs, "scan N files at a time (default: one per core)")
      ->check(CLI::Range(1, 1024))
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast)
      ->type_name("N");
  bool progress = false, no_progress = false;
  auto* progress_flag =
      app.add_flag("--progress", progress, "show progress on standard error even when it is no terminal");
  app.add_flag("--no-progress", no_progress, "never show progress (shown by default on a terminal)")
      ->excludes(progress_flag);
  app.add_flag("--summary", o.summary, "end with the number of files of each verdict");
  app.add_option("FILE", o.files, "files or, with -r, directories to scan")->type_name("")->excludes(files0);
  app.set_version_flag("--version", std::string("tamsel-scan ") + TAMSEL_VERSION);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    if (e.get_exit_code() == 0) return {std::nullopt, app.exit(e)};
    std::fprintf(stderr, "tamsel-scan: %s\nTry 'tamsel-scan --help' for more information.\n", e.what());
    return {std::nullopt, 2};
  }
  if (o.files.empty() && !o.files0_from) {
    std::fprintf(stderr,
                 "tamsel-scan: no FILE given\nTry 'tamsel-scan --help' for more information.\n");
    return {std::nullopt, 2};
  }
  o.format = FormatFromName(format);
  if (progress) o.progress = Options::Progress::kOn;
  if (no_progress) o.progress = Options::Progress::kOff;
  return {std::move(o), 0};
}

}  // namespace tamsel::cli
