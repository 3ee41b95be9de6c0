#include "tests/model/literal_scan.h"

#include <string_view>

#include "scanner/cp932_reader.h"

namespace tamsel::model {
namespace {

Cp932Text Text(std::string_view bytes) {
  return Cp932Text::Decode({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
}

bool IsStar(const Cp932Char& c) { return c == Cp932Char::Single('*'); }
bool IsAny(const Cp932Char& c) { return c == Cp932Char::Single('?'); }

}  // namespace

bool Like(const Cp932Text& text, const Cp932Text& pattern) {
  const auto& t = text.Chars();
  const auto& p = pattern.Chars();
  std::size_t ti = 0, pi = 0;
  std::size_t star = SIZE_MAX, resume = 0;
  while (ti < t.size()) {
    if (pi < p.size() && IsStar(p[pi])) {
      star = pi++;
      resume = ti;
    } else if (pi < p.size() && (IsAny(p[pi]) || p[pi] == t[ti])) {
      ++pi;
      ++ti;
    } else if (star != SIZE_MAX) {
      pi = star + 1;
      ti = ++resume;
    } else {
      return false;
    }
  }
  while (pi < p.size() && IsStar(p[pi])) ++pi;
  return pi == p.size();
}

Verdict LiteralScan(std::unique_ptr<ByteSource> source) {
  const Cp932Text pattern1 = Text("*Microsoft Excel 5.0*");
  const Cp932Text pattern2 = Text("*Microsoft Excel \xDC\xB0\xB8\xBC\xB0\xC4*");
  const Cp932Text pattern3 = Text("*Microsoft Excel?@*");
  const Cp932Text bof5 = Text("\x09\x08\x08");
  const Cp932Text bof8 = Text("\x09\x08\x10");

  Verdict verdict = Verdict::kNotExcel;
  Cp932Reader reader;
  reader.Open(std::move(source));
  const Cp932Text head_block = reader.ReadChars(1000);
  const Cp932Text marker = Mid(head_block, 511, 3);

  const auto apply_tests = [&](const Cp932Text& window) {
    if (Like(window, pattern1)) verdict = Verdict::kExcel5;
    if (Like(window, pattern2)) verdict = Verdict::kExcel5Likely;
    if (Like(window, pattern3)) {
      if (marker == bof5) verdict = Verdict::kExcel95Likely;
      if (marker == bof8) verdict = Verdict::kExcel97Likely;
    }
  };

  apply_tests(head_block);
  Cp932Text tail = head_block;
  while (!reader.AtEnd()) {
    const Cp932Text block = reader.ReadChars(2000);
    apply_tests(tail + block);
    tail = Right(block, 40);
  }
  reader.Close();
  return verdict;
}

Verdict LiteralScan(std::span<const std::uint8_t> bytes) {
  return LiteralScan(std::make_unique<MemorySource>(bytes));
}

}  // namespace tamsel::model
