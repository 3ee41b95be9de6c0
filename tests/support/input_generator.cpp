#include "tests/support/input_generator.h"

#include <algorithm>

#include "scanner/cp932.h"

namespace tamsel::test {
namespace {

std::vector<Cp932Char> Chars(std::string_view bytes) {
  return Cp932Text::Decode({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}).Chars();
}

}  // namespace

std::uint8_t InputGenerator::NonLeadByte() {
  for (;;) {
    const std::uint8_t b = AnyByte();
    if (!IsLeadByte(b)) return b;
  }
}

std::uint8_t InputGenerator::LeadByte() {
  for (;;) {
    const std::uint8_t b = AnyByte();
    if (IsLeadByte(b)) return b;
  }
}

Bytes InputGenerator::Next(bool large) {
  if (Chance(0.08)) {
    // Raw bytes with no structure at all.
    Bytes raw(Below(large && Chance(0.1) ? 300000 : 6000));
    for (auto& b : raw) b = AnyByte();
    return raw;
  }

  // Length in characters, often close to a block boundary.
  std::size_t length;
  const std::size_t shape = Below(10);
  if (shape < 2) {
    length = Below(700);
  } else if (shape < 5) {
    const std::size_t boundary = 1000 + 2000 * Below(4);
    length = boundary - 50 + Below(100);
  } else if (shape < 9 || !large) {
    length = 700 + Below(12000);
  } else {
    length = 128 * 1024 + Below(160 * 1024);  // past the 256 KiB buffer when pairs are many
  }

  const double pair_density = std::array{0.0, 0.02, 0.23, 0.5, 0.95}[Below(5)];
  // Now and then pairs of two lead bytes, in runs of hundreds of bytes, so
  // that whole groups and blocks of groups are lead bytes alone.
  const bool lead_runs = Chance(0.1);
  std::vector<Cp932Char> chars;
  chars.reserve(length);
  for (std::size_t i = 0; i < length; ++i) {
    if (lead_runs && (i / 300) % 2 == 1) {
      chars.push_back(Cp932Char::Pair(LeadByte(), LeadByte()));
      continue;
    }
    chars.push_back(Chance(pair_density) ? Cp932Char::Pair(LeadByte(), AnyByte())
                                         : Cp932Char::Single(Chance(0.3) ? 0x00 : NonLeadByte()));
  }
  const auto put = [&](std::size_t at, const std::vector<Cp932Char>& text) {
    for (std::size_t i = 0; i < text.size() && at + i < chars.size(); ++i) chars[at + i] = text[i];
  };

  // A compound-file header, or none, and a BOF at the Marker or beside it.
  std::size_t marker_at = 510;  // characters before the Marker
  if (Chance(0.5)) {
    put(0, Chars(std::string_view("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8)));
    for (std::size_t i = 6; i < std::min<std::size_t>(510, chars.size()); ++i) {
      chars[i] = Cp932Char::Single(i < 40 ? 0x00 : 0xFF);
    }
  }
  if (Chance(0.8)) {
    const std::size_t at = marker_at - 1 + Below(3);
    const char* bof = Chance(0.5) ? "\x09\x08\x10" : Chance(0.8) ? "\x09\x08\x08" : "\x09\x08\x09";
    put(at, Chars(bof));
    if (Chance(0.15) && at > 0 && at <= chars.size()) chars[at - 1] = Cp932Char::Single(LeadByte());  // pair off the BOF
  }

  // Markers and near misses.
  const std::size_t count = Below(7);
  for (std::size_t k = 0; k < count && !chars.empty(); ++k) {
    std::string text;
    switch (Below(12)) {
      case 0: case 1: text = "Microsoft Excel 5.0"; break;
      case 2: case 3: text = "Microsoft Excel \xDC\xB0\xB8\xBC\xB0\xC4"; break;
      case 4: text = std::string("Microsoft Excel") + '\0' + "@"; break;
      case 5: text = "Microsoft Excel @"; break;
      case 6: text = std::string("Microsoft Excel") + static_cast<char>(LeadByte()) + static_cast<char>(AnyByte()) + "@"; break;
      case 7: text = std::string("Microsoft Excel") + static_cast<char>(LeadByte()) + "@"; break;  // @ eaten
      case 8: text = "Microsoft Excel 5."; break;
      case 9: text = "Microsoft Excel \xDC\xB0\xB8\xBC\xB0"; break;
      case 10: text = "Microsoft Excel"; break;
      default: text = "Microsoft Exce1 5.0"; break;
    }
    const std::vector<Cp932Char> marker = Chars(text);
    std::size_t at;
    if (Chance(0.6) && chars.size() > 1000) {
      // Across a boundary, or at the edge of the 40 characters before one.
      const std::size_t boundaries = (chars.size() - 1000) / 2000 + 1;
      const std::size_t boundary = 1000 + 2000 * Below(boundaries);
      const std::size_t edge = Chance(0.5) ? boundary : boundary - 40;
      at = edge + Below(50) - std::min<std::size_t>(edge, 25);
    } else {
      at = Below(chars.size());
    }
    if (at >= chars.size()) continue;
    put(at, marker);
    if (Chance(0.1) && at > 0) chars[at - 1] = Cp932Char::Single(LeadByte());  // eats the M
  }

  Bytes bytes = Cp932Text(std::move(chars)).Bytes();
  if (Chance(0.1)) bytes.push_back(LeadByte());  // a lead byte with no second byte
  return bytes;
}

}  // namespace tamsel::test
