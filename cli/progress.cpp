#include "cli/progress.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>

#include "scanner/path_text.h"

namespace tamsel::cli {
namespace {

// Decodes the UTF-8 sequence at text[i] (valid UTF-8 is assumed, as
// DisplayPath makes it) and returns its length.
std::size_t Decode(std::string_view text, std::size_t i, char32_t* c) {
  const auto b = static_cast<unsigned char>(text[i]);
  std::size_t n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
  if (i + n > text.size()) n = text.size() - i;
  char32_t v = n == 1 ? b : n == 2 ? (b & 0x1F) : n == 3 ? (b & 0x0F) : (b & 0x07);
  for (std::size_t k = 1; k < n; ++k) v = (v << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
  *c = v;
  return n;
}

bool IsWide(char32_t c) {
  return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) || (c >= 0x3041 && c <= 0x33FF) ||
         (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
         (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
         (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1FAFF) ||
         (c >= 0x20000 && c <= 0x3FFFD);
}

std::size_t Width(char32_t c) {
  if (c < 0x20 || c == 0x7F) return 0;
  return IsWide(c) ? 2 : 1;
}

std::size_t TerminalColumns(int fd) {
  winsize ws{};
  if (::ioctl(fd, TIOCGWINSZ, &ws) == 0 && ws.ws_col > 0) return ws.ws_col;
  return 80;
}

void WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t n = ::write(fd, text.data(), text.size());
    if (n <= 0) return;  // progress is a courtesy; losing it loses nothing
    text.remove_prefix(static_cast<std::size_t>(n));
  }
}

}  // namespace

std::size_t DisplayWidth(std::string_view text) {
  std::size_t width = 0;
  for (std::size_t i = 0; i < text.size();) {
    char32_t c;
    i += Decode(text, i, &c);
    width += Width(c);
  }
  return width;
}

std::string FitFromLeft(std::string_view text, std::size_t width) {
  if (DisplayWidth(text) <= width) return std::string(text);
  if (width == 0) return {};
  // Keep whole characters from the end while they fit beside the "…".
  std::size_t keep_from = text.size(), used = 1;
  std::size_t i = text.size();
  while (i > 0) {
    std::size_t start = i - 1;
    while (start > 0 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) --start;
    char32_t c;
    Decode(text, start, &c);
    if (used + Width(c) > width) break;
    used += Width(c);
    keep_from = start;
    i = start;
  }
  return "…" + std::string(text.substr(keep_from));
}

std::string HumanBytes(double bytes) {
  const char* units[] = {"B", "KiB", "MiB", "GiB", "TiB"};
  int u = 0;
  while (bytes >= 1024 && u < 4) {
    bytes /= 1024;
    ++u;
  }
  char text[32];
  std::snprintf(text, sizeof text, u == 0 ? "%.0f %s" : "%.1f %s", bytes, units[u]);
  return text;
}

ProgressLine::ProgressLine(int fd, bool enabled) : fd_(fd), enabled_(enabled) {}

void ProgressLine::Show(const PoolStatus& status) {
  if (!enabled_) return;
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  std::string line = std::to_string(status.done) + "/" + std::to_string(status.found) +
                     (status.all_found ? "" : "+") + " files, " + HumanBytes(static_cast<double>(status.bytes));
  if (seconds > 0.5) line += ", " + HumanBytes(static_cast<double>(status.bytes) / seconds) + "/s";
  const std::size_t columns = TerminalColumns(fd_);
  if (!status.waiting_for.empty() && DisplayWidth(line) + 3 < columns) {
    line += "  " + FitFromLeft(DisplayPath(status.waiting_for), columns - 1 - DisplayWidth(line) - 2);
  }
  // Never wider than the terminal, so that the line never wraps.
  line = DisplayWidth(line) < columns ? line : line.substr(0, columns - 1);
  WriteAll(fd_, "\r\x1b[K" + line);
  shown_ = true;
}

void ProgressLine::Clear() {
  if (!shown_) return;
  WriteAll(fd_, "\r\x1b[K");
  shown_ = false;
}

}  // namespace tamsel::cli
