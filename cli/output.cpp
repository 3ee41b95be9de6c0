#include "cli/output.h"

namespace tamsel::cli {

void Output::Write(std::string_view text) {
  if (!text.empty()) std::fwrite(text.data(), 1, text.size(), stream_);
}

bool Output::Finish() { return std::fflush(stream_) == 0 && !std::ferror(stream_); }

}  // namespace tamsel::cli
