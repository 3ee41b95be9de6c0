// Paths that keep every byte of a file name, UTF-8 or not.
#include "window/native_path.h"

#include <gtest/gtest.h>

#include <string>

#include "scanner/path_text.h"
#include "tests/window/qt_printers.h"

using namespace Qt::Literals::StringLiterals;

namespace tamsel {
namespace {

TEST(NativePathTest, EveryNameComesBackByteForByteAndShowsAsTamselScanShowsIt) {
  const struct {
    const char* name;
    QByteArray bytes;
  } cases[] = {
      {"ASCII", "/data/BOOK1.XLS"},
      {"UTF-8 Japanese", "/古い 書類/ブック１.xls"},
      {"Shift_JIS テスト", "/data/\x83\x65\x83\x58\x83\x67.xls"},
      {"Shift_JIS half-width katakana ﾜｰｸ", "/\xDC\xB0\xB8.xls"},
      {"UTF-8 and Shift_JIS mixed", "/書類/\x95\x5C.xls"},
      {"overlong slash", "/a\xC0\xAF"},
      {"encoded surrogate", "/\xED\xA0\x80"},
      {"past U+10FFFF", "/\xF4\x90\x80\x80"},
      {"cut short at the end", "/\xE3\x81"},
      {"bytes FE FF", "\xFE\xFF"},
      {"emoji outside the BMP", "/\xF0\x9F\x93\x8A.xls"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const QString path = PathFromNative(c.bytes);
    EXPECT_EQ(NativeFromPath(path), c.bytes);
    const std::string shown = ToValidUtf8(std::string_view(c.bytes.constData(), c.bytes.size()));
    EXPECT_EQ(ShownPath(path), QString::fromStdString(shown));
  }
}

TEST(NativePathTest, NamesQtCanHoldAreUtf8BothWays) {
  for (const QString& path : {u"/古い 書類/ブック１.xls"_s, u"/data/📊 ﾜｰｸｼｰﾄ.xls"_s, QString()}) {
    SCOPED_TRACE(path.toStdString());
    EXPECT_EQ(PathFromNative(path.toUtf8()), path);
    EXPECT_EQ(NativeFromPath(path), path.toUtf8());
    EXPECT_EQ(ShownPath(path), path);
  }
}

}  // namespace
}  // namespace tamsel
