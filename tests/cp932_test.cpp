// The character model and the reader that delivers blocks of characters.
#include <gtest/gtest.h>

#include <memory>

#include "scanner/cp932.h"
#include "scanner/cp932_reader.h"
#include "scanner/scan_error.h"
#include "tests/support/fixtures.h"

namespace tamsel {
namespace {

using test::Bytes;
using test::Filler;

Cp932Text Singles(std::size_t n) { return Cp932Text::Decode(Bytes(n, 'x')); }

TEST(LeadByteTest, RangesAndTheirNeighbours) {
  struct Row {
    std::uint8_t byte;
    bool lead;
  };
  const Row rows[] = {
      {0x00, false}, {0x40, false}, {0x7F, false}, {0x80, false}, {0x81, true},  {0x9F, true},
      {0xA0, false}, {0xB0, false}, {0xDF, false}, {0xE0, true},  {0xFC, true},  {0xFD, false},
      {0xFE, false}, {0xFF, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "byte 0x" << std::hex << int{row.byte});
    EXPECT_EQ(IsLeadByte(row.byte), row.lead);
  }
  int leads = 0;
  for (int b = 0; b < 256; ++b) leads += IsLeadByte(static_cast<std::uint8_t>(b)) ? 1 : 0;
  EXPECT_EQ(leads, 31 + 29);
}

TEST(Cp932TextTest, DecodesByTheLeadByteRule) {
  struct Row {
    const char* name;
    Bytes bytes;
    std::vector<Cp932Char> chars;
  };
  using C = Cp932Char;
  const Row rows[] = {
      // The M of 83 4D belongs to the pair and is no letter.
      {"83 4D is one character", {0x83, 0x4D}, {C::Pair(0x83, 0x4D)}},
      {"compound file signature",
       {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1, 0x00, 0x00},
       {C::Single(0xD0), C::Single(0xCF), C::Single(0x11), C::Pair(0xE0, 0xA1), C::Single(0xB1),
        C::Single(0x1A), C::Pair(0xE1, 0x00), C::Single(0x00)}},
      {"lead byte takes NUL and a lead byte alike",
       {0x81, 0x00, 0x9F, 0xE0, 0x41},
       {C::Pair(0x81, 0x00), C::Pair(0x9F, 0xE0), C::Single(0x41)}},
      {"half-width katakana are one byte each", {0xDC, 0xB0, 0xC4}, {C::Single(0xDC), C::Single(0xB0), C::Single(0xC4)}},
      {"a lead byte last in the input stands alone", {0x41, 0xFC}, {C::Single(0x41), C::Single(0xFC)}},
      {"empty", {}, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const Cp932Text text = Cp932Text::Decode(row.bytes);
    EXPECT_EQ(text, Cp932Text(row.chars));
    EXPECT_EQ(text.Bytes(), row.bytes);
  }
}

TEST(Cp932TextTest, PairNeverEqualsSingle) {
  EXPECT_NE(Cp932Char::Pair(0x83, 0x00), Cp932Char::Single(0x83));
  EXPECT_NE(Cp932Text::Decode(Bytes{0x83, 0x4D}), Cp932Text::Decode(Bytes{0x4D}));
  EXPECT_NE(Cp932Char::Pair(0x83, 0x4D), Cp932Char::Pair(0x83, 0x4E));
}

TEST(Cp932TextTest, MidAndRightCutAtTheEnds) {
  EXPECT_EQ(Mid(Singles(512), 511, 3).Length(), 2u);
  EXPECT_EQ(Mid(Singles(510), 511, 3).Length(), 0u);
  EXPECT_EQ(Mid(Singles(511), 511, 3).Length(), 1u);
  EXPECT_EQ(Mid(Singles(513), 511, 3).Length(), 3u);
  EXPECT_EQ(Right(Singles(25), 40), Singles(25));
  EXPECT_EQ(Right(Singles(100), 40).Length(), 40u);

  const Cp932Text abc = Cp932Text::Decode(test::ToBytes("abc\x82\xA0" "d"));
  EXPECT_EQ(Mid(abc, 3, 2), Cp932Text::Decode(test::ToBytes("c\x82\xA0")));
  EXPECT_EQ(Right(abc, 2), Cp932Text::Decode(test::ToBytes("\x82\xA0" "d")));
  EXPECT_EQ(Mid(abc, 1, 0).Length(), 0u);
  EXPECT_EQ(Cp932Text::Decode(test::ToBytes("ab")) + Cp932Text::Decode(test::ToBytes("\x82\xA0")),
            Cp932Text::Decode(test::ToBytes("ab\x82\xA0")));
}

std::unique_ptr<ByteSource> Memory(const Bytes& bytes, std::size_t piece = SIZE_MAX) {
  return std::make_unique<MemorySource>(bytes, piece);
}

TEST(Cp932ReaderTest, BlockEndsAfterTheSecondByteOfItsLastCharacter) {
  // 999 one-byte characters, then a pair as the 1000th: the block is 1001
  // bytes, and the next block starts right after the pair.
  const Bytes bytes = test::Concat({Filler(999), {0x88, 0x9F}, {'n', 'e', 'x', 't'}});
  for (std::size_t piece : {std::size_t{1}, std::size_t{2}, std::size_t{7}, SIZE_MAX}) {
    SCOPED_TRACE(piece);
    Cp932Reader reader;
    reader.Open(Memory(bytes, piece));
    const Cp932Text head = reader.ReadChars(1000);
    ASSERT_EQ(head.Length(), 1000u);
    EXPECT_EQ(head.Bytes().size(), 1001u);
    EXPECT_EQ(head.Chars().back(), Cp932Char::Pair(0x88, 0x9F));
    EXPECT_FALSE(reader.AtEnd());
    EXPECT_EQ(reader.ReadChars(2000), Cp932Text::Decode(test::ToBytes("next")));
    EXPECT_TRUE(reader.AtEnd());
  }
}

TEST(Cp932ReaderTest, PairingRunsOnAcrossBlocksAndReads) {
  // Lead bytes everywhere: reading in blocks of any size, from reads of any
  // size, groups the bytes exactly as one decode of the whole input does.
  Bytes bytes;
  for (int i = 0; i < 3000; ++i) bytes.push_back(static_cast<std::uint8_t>((i * 37 + i / 3) & 0xFF));
  const Cp932Text whole = Cp932Text::Decode(bytes);
  for (std::size_t piece : {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{7}, SIZE_MAX}) {
    for (std::size_t block : {std::size_t{1}, std::size_t{3}, std::size_t{1000}}) {
      SCOPED_TRACE(testing::Message() << "piece " << piece << " block " << block);
      Cp932Reader reader;
      reader.Open(Memory(bytes, piece));
      Cp932Text joined;
      while (!reader.AtEnd()) joined = joined + reader.ReadChars(block);
      EXPECT_EQ(joined, whole);
    }
  }
}

TEST(Cp932ReaderTest, EndOfInput) {
  {
    SCOPED_TRACE("empty input: empty head block, then at end");
    Cp932Reader reader;
    reader.Open(Memory({}));
    EXPECT_EQ(reader.ReadChars(1000).Length(), 0u);
    EXPECT_TRUE(reader.AtEnd());
  }
  {
    SCOPED_TRACE("a short read gives what remains, without error");
    Cp932Reader reader;
    reader.Open(Memory(Filler(25)));
    EXPECT_EQ(reader.ReadChars(1000).Length(), 25u);
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_EQ(reader.ReadChars(2000).Length(), 0u);
  }
  {
    SCOPED_TRACE("at end as soon as the last character is read, not later");
    Cp932Reader reader;
    reader.Open(Memory(Filler(3000)));
    EXPECT_EQ(reader.ReadChars(1000).Length(), 1000u);
    EXPECT_FALSE(reader.AtEnd());
    EXPECT_EQ(reader.ReadChars(2000).Length(), 2000u);
    EXPECT_TRUE(reader.AtEnd());
  }
  {
    SCOPED_TRACE("0x1A is an ordinary character");
    Cp932Reader reader;
    reader.Open(Memory({'a', 0x1A, 'b'}));
    EXPECT_EQ(reader.ReadChars(10), Cp932Text::Decode(Bytes{'a', 0x1A, 'b'}));
  }
  {
    SCOPED_TRACE("a lead byte that is the last byte becomes one character");
    Cp932Reader reader;
    reader.Open(Memory({'a', 0x81}));
    EXPECT_EQ(reader.ReadChars(10), Cp932Text({Cp932Char::Single('a'), Cp932Char::Single(0x81)}));
    EXPECT_TRUE(reader.AtEnd());
  }
}

// A source that fails after some bytes, as a disk with a bad sector does.
class FailingSource : public ByteSource {
 public:
  explicit FailingSource(std::size_t good) : good_(good) {}
  std::size_t Read(std::span<std::uint8_t> out) override {
    if (given_ >= good_) throw ScanError(name_, "read failed: Input/output error");
    const std::size_t n = std::min(out.size(), good_ - given_);
    std::fill_n(out.begin(), n, 'x');
    given_ += n;
    return n;
  }
  const std::filesystem::path& Name() const override { return name_; }

 private:
  std::size_t good_;
  std::size_t given_ = 0;
  std::filesystem::path name_ = "bad.xls";
};

TEST(Cp932ReaderTest, ReadErrorsReachTheCaller) {
  Cp932Reader reader;
  reader.Open(std::make_unique<FailingSource>(10));
  EXPECT_THROW(reader.ReadChars(1000), ScanError);
}

TEST(Cp932ReaderTest, OpenNamesTheMissingFile) {
  Cp932Reader reader;
  try {
    reader.Open("/nonexistent/tamsel/book1.xls");
    FAIL() << "no error";
  } catch (const ScanError& e) {
    EXPECT_EQ(e.path(), "/nonexistent/tamsel/book1.xls");
    EXPECT_EQ(e.cause(), "No such file or directory");
  }
}

}  // namespace
}  // namespace tamsel
