// The command-line argument text: one string, never split.
#include "app/command_line.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/window/qt_printers.h"
#include "window/native_path.h"

using namespace Qt::Literals::StringLiterals;

namespace tamsel {
namespace {

using Request = CommandLine::Request;

QString TextOf(std::vector<const char*> argv) {
  argv.insert(argv.begin(), "tamsel");
  return ArgumentText(static_cast<int>(argv.size()), argv.data());
}

TEST(ArgumentTextTest, ArgumentsAreJoinedWithSingleSpaces) {
  const struct {
    std::vector<const char*> argv;
    QString text;
  } cases[] = {
      {{}, QString()},
      {{"book.xls"}, u"book.xls"_s},
      {{"/古い", "書類/ブック", "1.xls"}, u"/古い 書類/ブック 1.xls"_s},
      {{"two  spaces inside"}, u"two  spaces inside"_s},
      {{"-platform", "offscreen"}, u"-platform offscreen"_s},
      // Shift_JIS テスト: kept byte for byte, the space between too.
      {{"/\x83\x65\x83\x58", "\x83\x67.xls"}, PathFromNative("/\x83\x65\x83\x58 \x83\x67.xls")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text.toStdString());
    EXPECT_EQ(TextOf(c.argv), c.text);
  }
}

TEST(ArgumentTextTest, WholeTextIsThePathOrARequest) {
  const struct {
    QString text;
    Request request;
    QString path;
  } cases[] = {
      {QString(), Request::kExamine, QString()},
      {u"--help"_s, Request::kHelp, QString()},
      {u"--version"_s, Request::kVersion, QString()},
      {u"--help book.xls"_s, Request::kExamine, u"--help book.xls"_s},
      {u"book.xls --version"_s, Request::kExamine, u"book.xls --version"_s},
      {u"-h"_s, Request::kExamine, u"-h"_s},
      {u"\"C:\\My Book.xls\""_s, Request::kExamine, u"C:\\My Book.xls"_s},
      {u"\"\"\"quoted\"\"\""_s, Request::kExamine, u"\"\"quoted\"\""_s},  // one pair only
      {u"\"half"_s, Request::kExamine, u"\"half"_s},
      {u"\""_s, Request::kExamine, u"\""_s},
      {u"\"\""_s, Request::kExamine, QString()},
      {u"a \"b\""_s, Request::kExamine, u"a \"b\""_s},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text.toStdString());
    const CommandLine command = ParseArgumentText(c.text);
    EXPECT_EQ(command.request, c.request);
    EXPECT_EQ(command.path, c.path);
  }
}

}  // namespace
}  // namespace tamsel
