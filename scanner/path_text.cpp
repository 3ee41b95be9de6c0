#include "scanner/path_text.h"

#include <cstdint>

namespace tamsel {
namespace {

// Length of the valid UTF-8 sequence at s[i], or 0 when none starts there.
// When 0, *bad is set to the length of the maximal invalid subpart (the lead
// byte and the continuation bytes that still fitted), so that one U+FFFD
// stands for it, as Unicode recommends.
std::size_t ValidSequenceAt(std::string_view s, std::size_t i, std::size_t* bad) {
  const auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(s[k]); };
  const std::uint8_t b0 = byte(i);
  *bad = 1;
  if (b0 < 0x80) return 1;
  std::size_t need;
  std::uint8_t lo = 0x80, hi = 0xBF;  // range of the second byte
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    need = 1;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    need = 2;
    if (b0 == 0xE0) lo = 0xA0;  // no overlong forms
    if (b0 == 0xED) hi = 0x9F;  // no surrogates
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    need = 3;
    if (b0 == 0xF0) lo = 0x90;
    if (b0 == 0xF4) hi = 0x8F;  // nothing above U+10FFFF
  } else {
    return 0;
  }
  for (std::size_t k = 1; k <= need; ++k) {
    if (i + k >= s.size()) return 0;
    const std::uint8_t b = byte(i + k);
    const bool ok = k == 1 ? (b >= lo && b <= hi) : (b >= 0x80 && b <= 0xBF);
    if (!ok) return 0;
    *bad = k + 1;
  }
  return need + 1;
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
  std::size_t bad = 0;
  for (std::size_t i = 0; i < bytes.size();) {
    const std::size_t n = ValidSequenceAt(bytes, i, &bad);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

std::string ToValidUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size();) {
    std::size_t bad = 0;
    const std::size_t n = ValidSequenceAt(bytes, i, &bad);
    if (n > 0) {
      out.append(bytes.substr(i, n));
      i += n;
    } else {
      out.append("\xEF\xBF\xBD");
      i += bad;
    }
  }
  return out;
}

std::string DisplayPath(const std::filesystem::path& path) { return ToValidUtf8(path.native()); }

}  // namespace tamsel
