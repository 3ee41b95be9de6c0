#include <gtest/gtest.h>

#include "scanner/path_text.h"

namespace tamsel {
namespace {

TEST(PathTextTest, InvalidBytesBecomeOneReplacementEach) {
  const std::string r = "\xEF\xBF\xBD";
  struct Row {
    const char* name;
    std::string in;
    std::string out;
  };
  const Row rows[] = {
      {"ASCII", "/data/book1.xls", "/data/book1.xls"},
      {"Japanese in UTF-8", "/経理/売上.xls", "/経理/売上.xls"},
      {"four-byte UTF-8", "\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
      {"Shift_JIS あい", "\x82\xA0\x82\xA2.xls", r + r + r + r + ".xls"},
      {"Shift_JIS half-width katakana", "\xB1\xB2", r + r},
      {"truncated sequence at the end", "a\xE3\x81", "a" + r},
      {"truncated sequence before ASCII", "\xE3\x81" "a", r + "a"},
      {"overlong slash", "\xC0\xAF", r + r},
      {"surrogate", "\xED\xA0\x80", r + r + r},
      {"above U+10FFFF", "\xF4\x90\x80\x80", r + r + r + r},
      {"lone continuation bytes", "\x80\xBF", r + r},
      {"bytes FE FF", "\xFE\xFF", r + r},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(ToValidUtf8(row.in), row.out);
    EXPECT_EQ(IsValidUtf8(row.in), row.in == row.out);
    EXPECT_EQ(DisplayPath(std::filesystem::path(row.in)), row.out);
  }
}

}  // namespace
}  // namespace tamsel
