// The progress line on standard error.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

#include "cli/scan_pool.h"

namespace tamsel::cli {

class ProgressLine {
 public:
  // fd is where the line goes; nothing is ever written when not enabled.
  ProgressLine(int fd, bool enabled);

  bool enabled() const { return enabled_; }

  // Draws the line anew: files done of those found, bytes, rate, and the
  // file being waited for, cut to the terminal's width.
  void Show(const PoolStatus& status);

  // Removes the line, if it is shown, so that other output can take its
  // place; the next Show draws it again.
  void Clear();

 private:
  int fd_;
  bool enabled_;
  bool shown_ = false;
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

// How many terminal columns text (UTF-8) takes: two for East Asian wide
// characters, one for the rest.
std::size_t DisplayWidth(std::string_view text);

// The end of text that fits in width columns, with "…" in front when cut.
std::string FitFromLeft(std::string_view text, std::size_t width);

// 1536 -> "1.5 KiB".
std::string HumanBytes(double bytes);

}  // namespace tamsel::cli
