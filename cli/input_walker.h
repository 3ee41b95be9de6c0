// Turns the paths a user names into the inputs to report on.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "scanner/byte_source.h"

namespace tamsel::cli {

// One input to report on: a file to scan, standard input, or a failure met
// on the way there (a directory that cannot be read, a broken link).
struct Input {
  enum class Kind { kFile, kStandardInput, kFailure };
  Kind kind = Kind::kFile;
  std::filesystem::path path;
  std::string cause;  // for kFailure
};

using InputSink = std::function<void(Input)>;

struct WalkOptions {
  bool recursive = false;
  bool follow_links = false;          // follow symbolic links to directories
  std::vector<std::string> includes;  // a found file's name matches one of these, if any
  std::vector<std::string> excludes;  // and none of these
};

class InputWalker {
 public:
  explicit InputWalker(WalkOptions options) : options_(std::move(options)) {}

  // Expands one path given by the user, in order. "-" on the command line is
  // standard input. Without recursion every path is one input; with it, a
  // directory gives the regular files in it and below, each directory's
  // entries in byte order of their names. Files met inside a tree that are
  // not regular (FIFOs, devices, sockets, links to directories not
  // followed) are skipped and counted, never opened.
  void Expand(const std::filesystem::path& path, bool from_command_line, const InputSink& emit);

  // Files skipped inside trees so far.
  std::uint64_t skipped() const { return skipped_; }

 private:
  void Walk(const std::filesystem::path& dir, const InputSink& emit);
  bool Wanted(const std::filesystem::path& file) const;

  WalkOptions options_;
  std::uint64_t skipped_ = 0;
  // The directories being walked, by device and inode, so that following
  // links cannot lead round in a circle.
  std::vector<std::pair<dev_t, ino_t>> open_dirs_;
};

// Calls each for every NUL-separated name the source gives (the output of
// find -print0); a last name without a NUL counts too, empty names do not.
// Throws ScanError when the list cannot be read.
void ReadNameList(ByteSource& source, const std::function<void(std::string)>& each);

}  // namespace tamsel::cli
