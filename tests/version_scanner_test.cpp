// The verdict on inputs that show each rule of the scan, held to the same
// expectation by every kernel, every buffer size and the literal model.
#include <gtest/gtest.h>

#include <functional>

#include "scanner/version_scanner.h"
#include "tests/support/fixtures.h"
#include "tests/support/scan_every_way.h"

namespace tamsel {
namespace {

using test::Bytes;
using test::Concat;
using test::Filler;
using test::ToBytes;

const Bytes k50 = ToBytes("Microsoft Excel 5.0");
const Bytes kKana = ToBytes("Microsoft Excel \xDC\xB0\xB8\xBC\xB0\xC4");  // ﾜｰｸｼｰﾄ
const Bytes kNulAt = Concat({ToBytes("Microsoft Excel"), {0x00, '@'}});   // as property sets hold it
const Bytes kBof5 = {0x09, 0x08, 0x08, 0x00};
const Bytes kBof8 = {0x09, 0x08, 0x10, 0x00};

// A compound-file header with the Marker bytes right after it.
Bytes Biff8(const Bytes& rest) { return Concat({test::CompoundHeader(), kBof8, rest}); }
Bytes Biff5(const Bytes& rest) { return Concat({test::CompoundHeader(), kBof5, rest}); }
Bytes NoBof(const Bytes& rest) { return Concat({test::CompoundHeader(), {0xFD, 0xFF, 0xFF}, rest}); }

// text placed so that its first character is character `at` (from 0) of
// the input, with one-byte filler before it; prefix counts as characters.
Bytes Place(Bytes prefix, std::size_t prefix_chars, std::size_t at, const Bytes& text) {
  prefix.insert(prefix.end(), at - prefix_chars, '.');
  prefix.insert(prefix.end(), text.begin(), text.end());
  return prefix;
}

// The compound-file header and BOF make 514 characters (510 + 4).
constexpr std::size_t kBiffChars = 514;

struct Row {
  std::string name;
  std::function<Bytes()> bytes;
  Verdict expected;
};

std::vector<Row> Rows() {
  using V = Verdict;
  std::vector<Row> rows = {
      {"empty file", [] { return Bytes{}; }, V::kNotExcel},
      {"5.0 alone", [] { return k50; }, V::kExcel5},
      {"worksheet in katakana alone", [] { return kKana; }, V::kExcel5Likely},
      {"?@ without a Marker: head block under 513 characters", [] { return kNulAt; }, V::kNotExcel},
      {"?@ and BIFF8 BOF after a compound header", [] { return Biff8(kNulAt); }, V::kExcel97Likely},
      {"?@ and BIFF5 BOF after a compound header", [] { return Biff5(kNulAt); }, V::kExcel95Likely},
      {"?@ and a Marker that is no BOF", [] { return NoBof(kNulAt); }, V::kNotExcel},
      {"a pair in the header moves the Marker off the BOF",
       [] {
         Bytes b = Biff8(kNulAt);
         b[100] = 0x85;  // 85 FF is a pair: the header is 509 characters
         return b;
       },
       V::kNotExcel},
      {"a pair in the header moves the Marker onto a BOF one byte on",
       [] {
         Bytes b = Concat({test::CompoundHeader(), {0x00}, kBof8, kNulAt});
         b[100] = 0x85;
         return b;
       },
       V::kExcel97Likely},
      {"Marker at characters 511-513 of a plain text", [] { return Concat({Filler(510), kBof8, kNulAt}); },
       V::kExcel97Likely},
      {"Marker one character early", [] { return Concat({Filler(509), kBof8, kNulAt}); }, V::kNotExcel},
      {"Marker whose first character is a pair",
       [] { return Concat({Filler(510), {0x89}, kBof8, kNulAt}); }, V::kNotExcel},
      {"head block of 512 characters: Marker of two", [] { return Concat({kNulAt, Filler(510 - 17), {0x09, 0x08}}); },
       V::kNotExcel},
      {"lead byte eats the M", [] { return Concat({{0x83}, k50}); }, V::kNotExcel},
      {"two lead bytes pair up and leave the M", [] { return Concat({{0x83, 0x83}, k50}); }, V::kExcel5},
      {"three lead bytes eat the M", [] { return Concat({{0x83, 0x83, 0x83}, k50}); }, V::kNotExcel},
      // Runs of lead bytes longer than a group or a block of groups: only
      // their length decides whether the M is eaten.
      {"999 lead bytes eat the M", [] { return Concat({Bytes(999, 0x81), k50}); }, V::kNotExcel},
      {"1000 lead bytes pair up and leave the M", [] { return Concat({Bytes(1000, 0x81), k50}); }, V::kExcel5},
      {"4097 lead bytes after one character eat the M", [] { return Concat({{'x'}, Bytes(4097, 0xE0), k50}); },
       V::kNotExcel},
      {"4097 lead bytes after a pair eat the M", [] { return Concat({{0x81, 'x'}, Bytes(4097, 0xFC), k50}); },
       V::kNotExcel},
      {"4096 lead bytes after three characters leave the M",
       [] { return Concat({{'x', 'y', 'z'}, Bytes(4096, 0x9F), k50}); }, V::kExcel5},
      {"lead byte as second byte of a pair does not eat the M",
       [] { return Concat({{0x83, 0x83, 0x83, 0x41}, k50}); }, V::kExcel5},
      {"capital letters", [] { return ToBytes("MICROSOFT EXCEL 5.0"); }, V::kNotExcel},
      {"small letters", [] { return ToBytes("microsoft excel 5.0"); }, V::kNotExcel},
      {"full-width letters",
       [] {
         return Bytes{0x82, 0x6C, 0x82, 0x89, 0x82, 0x83, 0x82, 0x92, 0x82, 0x8F, 0x82, 0x93,
                      0x82, 0x8F, 0x82, 0x86, 0x82, 0x94, 0x20, 0x82, 0x64, 0x82, 0x98, 0x82,
                      0x83, 0x82, 0x85, 0x82, 0x8C, 0x20, 0x82, 0x54, 0x81, 0x44, 0x82, 0x4F};
       },
       V::kNotExcel},
      {"5.1 is no 5.0", [] { return ToBytes("Microsoft Excel 5.1"); }, V::kNotExcel},
      {"katakana cut short", [] { return ToBytes("Microsoft Excel \xDC\xB0\xB8\xBC\xB0"); }, V::kNotExcel},
      {"wildcard is a space", [] { return Biff8(ToBytes("Microsoft Excel @")); }, V::kExcel97Likely},
      {"wildcard is a pair", [] { return Biff8(ToBytes("Microsoft Excel\x82\xA0@")); }, V::kExcel97Likely},
      {"@ taken as the second byte of a pair", [] { return Biff8(ToBytes("Microsoft Excel\x81@")); },
       V::kNotExcel},
      {"a pair with @ as its second byte, then @", [] { return Biff8(ToBytes("Microsoft Excel\x81@@")); },
       V::kExcel97Likely},
      {"no character before @", [] { return Biff8(ToBytes("Microsoft Excel@")); }, V::kNotExcel},
      {"two characters before @", [] { return Biff8(ToBytes("Microsoft Excel..@")); }, V::kNotExcel},
      {"lead byte after Excel at the end of the file", [] { return Biff8(ToBytes("Microsoft Excel\x81")); },
       V::kNotExcel},
      {"lead byte at the end of the file after 5.0", [] { return Concat({k50, {0x81}}); }, V::kExcel5},
      {"0x1A does not end the file", [] { return Concat({{'a', 0x1A, 0x1A}, k50}); }, V::kExcel5},
      {"NUL bytes are ordinary", [] { return Concat({Bytes(5000, 0x00), k50}); }, V::kExcel5},
      {"a Marker that is no BOF leaves the verdict as it was", [] { return NoBof(Concat({k50, kNulAt})); },
       V::kExcel5},
      {"tests 1 and 3a in one Window: 3a", [] { return Biff5(Concat({k50, kNulAt})); }, V::kExcel95Likely},
      {"tests 3a and 1 in one Window: still 3a", [] { return Biff5(Concat({kNulAt, k50})); },
       V::kExcel95Likely},
      {"tests 2 and 1 in one Window: 2", [] { return Concat({k50, kKana}); }, V::kExcel5Likely},
      {"3b in the head block, 5.0 in the first block: 3b",
       [] { return Place(Biff8(kNulAt), kBiffChars + 17, 1500, k50); }, V::kExcel97Likely},
      {"3b in the head block, 5.0 in the second block: 1",
       [] { return Place(Biff8(kNulAt), kBiffChars + 17, 3500, k50); }, V::kExcel5},
      {"katakana in the head block, 5.0 in the first block: 2",
       [] { return Place(kKana, kKana.size(), 1500, k50); }, V::kExcel5Likely},
      {"katakana in the head block, 5.0 in the second block: 1",
       [] { return Place(kKana, kKana.size(), 3100, k50); }, V::kExcel5},
      {"5.0 in the head block, katakana in the first block: 2",
       [] { return Place(k50, k50.size(), 2000, kKana); }, V::kExcel5Likely},
      {"head block's last characters are not in the third Window",
       // 3b at the very end of the head block, 5.0 in the second block.
       [] { return Place(Place(Biff8({}), kBiffChars, 1000 - 17, kNulAt), 1000, 3050, k50); },
       V::kExcel5},
      // The first block is characters 1000-2999; its last 40 are 2960-2999.
      {"a match wholly in a block's last 40 characters is found again in the next Window",
       [] {
         Bytes b = Place(Biff8(kNulAt), kBiffChars + 17, 2960, k50);
         return Concat({b, Filler(100)});
       },
       V::kExcel5},
      {"a match that begins one character before the last 40 is not",
       [] {
         Bytes b = Place(Biff8(kNulAt), kBiffChars + 17, 2959, k50);
         return Concat({b, Filler(100)});
       },
       V::kExcel97Likely},
      {"no further Window when the file ends on a block's end",
       [] {
         Bytes b = Place(Biff8(kNulAt), kBiffChars + 17, 2970, k50);
         return Concat({b, Filler(3000 - 2970 - 19)});
       },
       V::kExcel97Likely},
      {"one character more makes the further Window",
       [] {
         Bytes b = Place(Biff8(kNulAt), kBiffChars + 17, 2970, k50);
         return Concat({b, Filler(3001 - 2970 - 19)});
       },
       V::kExcel5},
      {"a match at the end of a file that ends on a block's end counts only in that block's Window",
       // The second block is characters 3000-4999; 5.0 sits in its last 40.
       [] {
         Bytes b = Place(Biff8(kNulAt), kBiffChars + 17, 4970, k50);
         return Concat({b, Filler(5000 - 4970 - 19)});
       },
       V::kExcel5},
      {"no further Window when the file is exactly the head block",
       [] { return Concat({Biff8(kNulAt), Filler(1000 - kBiffChars - 17)}); }, V::kExcel97Likely},
      {"pairs count as one character for the block rules",
       // As the "one character before the last 40" row, with pairs before
       // the match: counted as bytes, the match would fall in a later block.
       [] { return Concat({Biff8(kNulAt), test::Pairs(2959 - kBiffChars - 17), k50, Filler(100)}); },
       V::kExcel97Likely},
  };
  // "Microsoft Excel 5.0" cut by a block boundary at each of its places.
  for (std::size_t boundary : {std::size_t{1000}, std::size_t{3000}, std::size_t{7000}}) {
    for (std::size_t cut = 1; cut < k50.size(); ++cut) {
      rows.push_back({"5.0 cut after " + std::to_string(cut) + " characters by the boundary at " +
                          std::to_string(boundary),
                      [boundary, cut] { return Concat({Filler(boundary - cut), k50, Filler(5)}); },
                      V::kExcel5});
    }
  }
  return rows;
}

TEST(VersionScanTest, EdgeCases) {
  for (const Row& row : Rows()) {
    SCOPED_TRACE(row.name);
    const auto wrong = test::ScanEveryWay(row.bytes(), row.expected);
    EXPECT_TRUE(wrong.empty()) << testing::PrintToString(wrong);
  }
}

TEST(VerdictTextTest, PathThenTheFixedMessage) {
  struct TextRow {
    Verdict verdict;
    const char* code;
    const char* message;
  };
  const TextRow rows[] = {
      {Verdict::kNotExcel, "none", "Excel 5.0、95、97のファイルではありません。"},
      {Verdict::kExcel5, "excel5", "Microsoft Excel 5.0 ファイルです。"},
      {Verdict::kExcel5Likely, "excel5-likely", "Microsoft Excel 5.0 ファイルと思われます。"},
      {Verdict::kExcel95Likely, "excel95-likely", "Microsoft Excel 95 ファイルと思われます。"},
      {Verdict::kExcel97Likely, "excel97-likely", "Microsoft Excel 97 ファイルと思われます。"},
  };
  for (const TextRow& row : rows) {
    SCOPED_TRACE(row.code);
    EXPECT_EQ(VerdictMessage(row.verdict), row.message);
    EXPECT_EQ(VerdictCode(row.verdict), row.code);
  }
  EXPECT_EQ(VerdictText("C:\\data\\book1.xls", Verdict::kExcel97Likely),
            "C:\\data\\book1.xls は\r\nMicrosoft Excel 97 ファイルと思われます。");
  EXPECT_EQ(VerdictText("/home/山田 花子/売上 1997.xls", Verdict::kExcel5),
            "/home/山田 花子/売上 1997.xls は\r\nMicrosoft Excel 5.0 ファイルです。");
}

}  // namespace
}  // namespace tamsel
