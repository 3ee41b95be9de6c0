#include "scanner/cp932.h"

#include <algorithm>

namespace tamsel {

Cp932Text Cp932Text::Decode(std::span<const std::uint8_t> bytes, std::size_t max_chars) {
  Cp932Text text;
  std::size_t i = 0;
  while (i < bytes.size() && text.Length() < max_chars) {
    const std::uint8_t b = bytes[i];
    if (IsLeadByte(b) && i + 1 < bytes.size()) {
      text.Append(Cp932Char::Pair(b, bytes[i + 1]));
      i += 2;
    } else {
      text.Append(Cp932Char::Single(b));
      i += 1;
    }
  }
  return text;
}

std::vector<std::uint8_t> Cp932Text::Bytes() const {
  std::vector<std::uint8_t> out;
  out.reserve(chars_.size() * 2);
  for (const Cp932Char& c : chars_) {
    for (std::size_t i = 0; i < c.size(); ++i) out.push_back(c.byte(i));
  }
  return out;
}

Cp932Text operator+(const Cp932Text& a, const Cp932Text& b) {
  std::vector<Cp932Char> chars;
  chars.reserve(a.Length() + b.Length());
  chars.insert(chars.end(), a.chars_.begin(), a.chars_.end());
  chars.insert(chars.end(), b.chars_.begin(), b.chars_.end());
  return Cp932Text(std::move(chars));
}

Cp932Text Mid(const Cp932Text& text, std::size_t start, std::size_t count) {
  const auto& chars = text.Chars();
  if (start == 0 || start > chars.size()) return {};
  const std::size_t first = start - 1;
  const std::size_t n = std::min(count, chars.size() - first);
  return Cp932Text(std::vector<Cp932Char>(chars.begin() + static_cast<std::ptrdiff_t>(first),
                                          chars.begin() + static_cast<std::ptrdiff_t>(first + n)));
}

Cp932Text Right(const Cp932Text& text, std::size_t count) {
  const auto& chars = text.Chars();
  const std::size_t n = std::min(count, chars.size());
  return Cp932Text(std::vector<Cp932Char>(chars.end() - static_cast<std::ptrdiff_t>(n), chars.end()));
}

}  // namespace tamsel
