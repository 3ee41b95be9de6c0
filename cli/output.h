// Standard output for the command line, with write errors kept, not lost.
#pragma once

#include <cstdio>
#include <string_view>

namespace tamsel::cli {

class Output {
 public:
  explicit Output(std::FILE* stream) : stream_(stream) {}

  void Write(std::string_view text);

  // Flushes and reports whether every write reached the stream; errno tells
  // why not.
  bool Finish();

 private:
  std::FILE* stream_;
};

}  // namespace tamsel::cli
