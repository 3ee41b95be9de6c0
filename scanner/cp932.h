// Characters and texts of code page 932 (Shift_JIS as Windows defines it).
//
// Only the lead-byte rule matters here: nothing is decoded to Unicode and
// there are no invalid sequences. A lead byte takes the byte after it as its
// second byte, whatever that byte is; every other byte is a character alone.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <vector>

namespace tamsel {

namespace detail {
constexpr std::array<bool, 256> MakeLeadTable() {
  std::array<bool, 256> table{};
  for (int b = 0x81; b <= 0x9F; ++b) table[static_cast<std::size_t>(b)] = true;
  for (int b = 0xE0; b <= 0xFC; ++b) table[static_cast<std::size_t>(b)] = true;
  return table;
}
inline constexpr std::array<bool, 256> kLeadTable = MakeLeadTable();
}  // namespace detail

// Lead bytes are 0x81-0x9F and 0xE0-0xFC.
constexpr bool IsLeadByte(std::uint8_t byte) { return detail::kLeadTable[byte]; }

// One character: a single byte, or a lead byte with the byte that followed it.
class Cp932Char {
 public:
  constexpr Cp932Char() = default;
  static constexpr Cp932Char Single(std::uint8_t byte) { return Cp932Char(byte, 0, 1); }
  static constexpr Cp932Char Pair(std::uint8_t lead, std::uint8_t second) {
    return Cp932Char(lead, second, 2);
  }

  // 1 or 2 (0 only for a default-constructed value).
  constexpr std::size_t size() const { return size_; }
  constexpr std::uint8_t byte(std::size_t i) const { return bytes_[i]; }

  // Equal when made of the same bytes; a pair never equals a single byte.
  friend constexpr bool operator==(const Cp932Char&, const Cp932Char&) = default;

 private:
  constexpr Cp932Char(std::uint8_t first, std::uint8_t second, std::uint8_t size)
      : bytes_{first, second}, size_(size) {}

  std::array<std::uint8_t, 2> bytes_{};  // the unused second byte is always 0
  std::uint8_t size_ = 0;
};

// A sequence of characters. Holds any byte values, NUL included; positions
// are counted from 1 in Mid, as the patterns and block rules count them.
class Cp932Text {
 public:
  Cp932Text() = default;
  Cp932Text(std::initializer_list<Cp932Char> chars) : chars_(chars) {}
  explicit Cp932Text(std::vector<Cp932Char> chars) : chars_(std::move(chars)) {}

  // The first max_chars characters of bytes by the lead-byte rule. A lead
  // byte that is the last byte of `bytes` becomes a one-byte character.
  static Cp932Text Decode(std::span<const std::uint8_t> bytes,
                          std::size_t max_chars = SIZE_MAX);

  std::size_t Length() const { return chars_.size(); }
  bool Empty() const { return chars_.empty(); }
  const std::vector<Cp932Char>& Chars() const { return chars_; }
  std::vector<std::uint8_t> Bytes() const;

  void Append(Cp932Char c) { chars_.push_back(c); }

  friend Cp932Text operator+(const Cp932Text& a, const Cp932Text& b);
  friend bool operator==(const Cp932Text&, const Cp932Text&) = default;

 private:
  std::vector<Cp932Char> chars_;
};

// The characters at positions start .. start+count-1 (from 1), cut short at
// the end of the text; empty when start lies beyond it.
Cp932Text Mid(const Cp932Text& text, std::size_t start, std::size_t count);

// The last count characters, or the whole text when it is shorter.
Cp932Text Right(const Cp932Text& text, std::size_t count);

}  // namespace tamsel
