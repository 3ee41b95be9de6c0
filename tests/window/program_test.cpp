// tamsel as a process: requests on the command line, and the exit status
// after a scan error.
#include <gtest/gtest.h>

#include <QProcess>

#include "tests/support/fixtures.h"
#include "tests/window/qt_printers.h"

using namespace Qt::Literals::StringLiterals;

namespace tamsel {
namespace {

struct Outcome {
  bool finished = false;  // within the time allowed
  int status = -1;
  QString out;
  QString err;
};

// Runs tamsel without a display. Its fatal message box closes itself (see
// QtFatalMessage), so that a run that fails ends on its own.
Outcome RunTamsel(const QStringList& arguments, const QString& folder) {
  QProcess process;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
  env.insert(u"TAMSEL_TEST_DISMISS_FATAL"_s, u"1"_s);
  process.setProcessEnvironment(env);
  process.setWorkingDirectory(folder);
  process.start(QStringLiteral(TAMSEL_BINARY), arguments);
  Outcome run;
  run.finished = process.waitForFinished(30000);
  if (!run.finished) {
    process.kill();
    process.waitForFinished();
  }
  run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  run.out = QString::fromUtf8(process.readAllStandardOutput());
  run.err = QString::fromUtf8(process.readAllStandardError());
  return run;
}

class ProgramTest : public testing::Test {
 protected:
  QString Folder() const { return QString::fromStdString(dir_.path().string()); }
  test::TempDir dir_;
};

TEST_F(ProgramTest, HelpAndVersionPrintAndExit) {
  const Outcome help = RunTamsel({u"--help"_s}, Folder());
  ASSERT_TRUE(help.finished);
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(help.out.startsWith(u"使い方: tamsel [ファイル]\n"_s)) << help.out.toStdString();
  EXPECT_EQ(help.err, QString());

  const Outcome version = RunTamsel({u"--version"_s}, Folder());
  ASSERT_TRUE(version.finished);
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, u"tamsel " TAMSEL_VERSION_STRING "\n"_s);
}

TEST_F(ProgramTest, PathThatNamesNoFileEndsWithFailureAfterTheMessage) {
  const QString missing = Folder() + u"/ない ブック.xls"_s;
  const struct {
    const char* name;
    QStringList arguments;
    QString shown;  // the path as the message names it
  } cases[] = {
      {"one argument", {missing}, missing},
      {"split at the space", {Folder() + u"/ない"_s, u"ブック.xls"_s}, missing},
      {"in double quotes", {u"\""_s + missing + u"\""_s}, missing},
      // Not requests when more follows, and Qt's own options are no
      // options here: the whole text is a relative path.
      {"--help and more", {u"--help"_s, u"extra"_s}, u"--help extra"_s},
      {"a Qt option", {u"-platform"_s, u"xcb"_s}, u"-platform xcb"_s},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Outcome run = RunTamsel(c.arguments, Folder());
    ASSERT_TRUE(run.finished) << "tamsel hung";
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, QString());
    EXPECT_TRUE(run.err.contains(u"tamsel: "_s + c.shown + u": No such file or directory\n"_s))
        << run.err.toStdString();
  }
}

}  // namespace
}  // namespace tamsel
