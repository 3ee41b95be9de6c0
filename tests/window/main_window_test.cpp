// The window Tamsel with fakes for its seams: start-up, the Open command,
// the pause, nested commands, closing and scan errors, step by step.
#include "window/main_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QElapsedTimer>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <filesystem>
#include <fstream>

#include "tests/support/fixtures.h"
#include "tests/window/fakes.h"
#include "tests/window/qt_printers.h"
#include "window/native_path.h"

using namespace Qt::Literals::StringLiterals;
using namespace std::chrono_literals;

namespace tamsel {
namespace {

using test::FakeClock;
using test::FakeEventPump;
using test::FakeFatalMessage;
using test::FakeFileDialog;
using test::Look;
using test::LookOf;
using test::TempDir;

const QString kPrompt = u"ファイルメニューの［開く］でファイルを選んで下さい。"_s;
const QString kOpenFilter = u"すべてのファイル (*.*)|*.*|Excel ファイル (*.xls)|*.xls|"_s;
const QString kExcel97 = u"Microsoft Excel 97 ファイルと思われます。"_s;
const QString kExcel95 = u"Microsoft Excel 95 ファイルと思われます。"_s;
const QString kExcel5 = u"Microsoft Excel 5.0 ファイルです。"_s;
const QString kNotExcel = u"Excel 5.0、95、97のファイルではありません。"_s;

QString Sample(const char* name) {
  return QString::fromStdString((std::filesystem::path(TAMSEL_SAMPLES_DIR) / name).string());
}

// The text box's lines while a file is examined and once it is done.
QString Status(const QString& path) { return path + u"\nファイルの調査中．．．"_s; }
QString Verdict(const QString& path, const QString& message) { return path + u" は\n"_s + message; }

Look Busy(const QString& path) { return {u" "_s, Status(path), Qt::WaitCursor, true}; }
Look Done(const QString& path, const QString& message) {
  return {kPrompt, Verdict(path, message), Qt::ArrowCursor, true};
}

class WindowTest : public testing::Test {
 protected:
  WindowTest() {
    pump.window = &window;
    dialog.window = &window;
    fatal.window = &window;
  }

  QAction* OpenItem() { return window.findChild<QAction*>(u"mnuOpen"_s); }
  QLabel* Label() { return window.findChild<QLabel*>(u"Label"_s); }
  QPlainTextEdit* Result() { return window.findChild<QPlainTextEdit*>(u"Result"_s); }
  QList<int> EndedStatuses() {
    QList<int> statuses;
    for (const QList<QVariant>& args : ended) statuses.append(args.at(0).toInt());
    return statuses;
  }

  FakeClock clock;
  FakeEventPump pump{clock};
  FakeFileDialog dialog;
  FakeFatalMessage fatal;
  Tamsel window{dialog, clock, pump, fatal};
  QSignalSpy ended{&window, &Tamsel::ended};
};

// ---------------------------------------------------------------- make-up

TEST_F(WindowTest, CaptionFrameAndIcon) {
  EXPECT_EQ(window.windowTitle(), u"Tamsel"_s);
  const Qt::WindowFlags flags = window.windowFlags();
  EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
  EXPECT_TRUE(flags & Qt::WindowSystemMenuHint);
  EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
  EXPECT_LT(window.minimumSize().width(), window.maximumSize().width()) << "not sizable";
  EXPECT_LT(window.minimumSize().height(), window.maximumSize().height()) << "not sizable";
  const QList<QSize> sizes = window.windowIcon().availableSizes();
  EXPECT_TRUE(sizes.contains(QSize(16, 16)));
  EXPECT_TRUE(sizes.contains(QSize(32, 32)));
}

TEST_F(WindowTest, ControlsKeepTheirPlacesAndSizesWhenTheWindowIsResized) {
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  EXPECT_EQ(window.centralWidget()->size(), QSize(470, 120)) << "client area";
  EXPECT_EQ(window.centralWidget()->layout(), nullptr);
  for (const QSize size : {QSize(800, 400), QSize(200, 90)}) {
    SCOPED_TRACE(size.width());
    window.resize(size);
    QCoreApplication::processEvents();
    EXPECT_EQ(Label()->geometry(), QRect(0, 0, 465, 17));
    EXPECT_EQ(Result()->geometry(), QRect(0, 24, 465, 89));
  }
}

TEST_F(WindowTest, ResultIsAMultiLineBoxWithAHorizontalScrollBarOnlyAndTheFocus) {
  QPlainTextEdit* result = Result();
  EXPECT_EQ(result->lineWrapMode(), QPlainTextEdit::NoWrap);
  EXPECT_EQ(result->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  EXPECT_EQ(result->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
  EXPECT_FALSE(result->isReadOnly());
  EXPECT_TRUE(result->toPlainText().isEmpty());
  EXPECT_TRUE(Label()->text().isEmpty());
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  EXPECT_EQ(window.focusWidget(), result);
}

TEST_F(WindowTest, ResultFontDrawsEveryJapaneseCharacterItShows) {
  const QFont font = Result()->font();
  ASSERT_FALSE(font.families().isEmpty());
  EXPECT_EQ(font.families().constFirst(), u"ＭＳ Ｐゴシック"_s);
  EXPECT_EQ(font.pointSize(), 12);
  EXPECT_TRUE(font.bold());

  // The font the text is drawn in, whichever family of the list it is, has
  // a glyph for each character the window shows, so that none is a box.
  const QString family = QFontInfo(font).family();
  EXPECT_TRUE(QFontDatabase::writingSystems(family).contains(QFontDatabase::Japanese))
      << family.toStdString();
  QFont drawn(family, 12);
  drawn.setBold(true);
  const QFontMetrics metrics(drawn);
  for (const QString& text : {kPrompt, kExcel97, kExcel95, kExcel5, kNotExcel,
                              u"ファイルの調査中．．．"_s, u"/古い書類/ﾜｰｸｼｰﾄ"_s}) {
    for (const char32_t c : text.toUcs4()) {
      EXPECT_TRUE(metrics.inFontUcs4(c))
          << family.toStdString() << " lacks U+" << std::hex << static_cast<unsigned>(c);
    }
  }
}

TEST_F(WindowTest, MenuFileWithItemOpen) {
  const QList<QAction*> menus = window.menuBar()->actions();
  ASSERT_EQ(menus.size(), 1);
  QMenu* menu = menus.constFirst()->menu();
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(menu->objectName(), u"Menu"_s);
  EXPECT_EQ(menu->title(), u"ファイル"_s);
  ASSERT_EQ(menu->actions().size(), 1);
  QAction* open = menu->actions().constFirst();
  EXPECT_EQ(open, OpenItem());
  EXPECT_EQ(open->text(), u"開く"_s);
  EXPECT_EQ(open->shortcut(), QKeySequence(u"Ctrl+O"_s));
}

TEST(IconTest, ThemeImagesAreSixteenColoursAtTheirSizes) {
  const std::filesystem::path icons = TAMSEL_ICONS_DIR;
  for (const int size : {16, 32, 48}) {
    SCOPED_TRACE(size);
    const std::string folder = std::to_string(size) + "x" + std::to_string(size);
    const QImage image(
        QString::fromStdString((icons / folder / "apps" / "io.github.tamsel.Tamsel.png").string()));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(size, size));
    EXPECT_LE(image.colorCount(), 16);
    EXPECT_GT(image.colorCount(), 0) << "not an indexed image";
  }
  EXPECT_TRUE(std::filesystem::is_regular_file(icons / "scalable" / "apps" /
                                               "io.github.tamsel.Tamsel.svg"));
}

// -------------------------------------------------------------- start-up

TEST_F(WindowTest, StartedWithAPathShowsTheStatusDuringThePauseThenTheVerdict) {
  const QString book = Sample("book97.xls");
  window.Start(book);

  EXPECT_EQ(dialog.shows, 0);
  ASSERT_EQ(pump.calls, 10);
  for (const Look& look : pump.looks) EXPECT_EQ(look, Busy(book));
  EXPECT_EQ(LookOf(window), Done(book, kExcel97));
  // Two lines, the CR LF of the verdict turned into one line break.
  EXPECT_EQ(Result()->document()->blockCount(), 2);
  EXPECT_FALSE(Result()->toPlainText().contains(u'\r'));
  EXPECT_TRUE(ended.isEmpty());
}

TEST_F(WindowTest, EachSampleGetsItsVerdict) {
  const struct {
    const char* name;
    QString message;
  } cases[] = {
      {"book5.xls", kExcel5},    {"book95.xls", kExcel95}, {"book97.xls", kExcel97},
      {"book97j.xls", kExcel97}, {"sales.csv", kNotExcel},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    window.ExamineFile(Sample(c.name));
    EXPECT_EQ(Result()->toPlainText(), Verdict(Sample(c.name), c.message));
  }
}

TEST_F(WindowTest, StartedWithoutArgumentsAndTheDialogCancelled) {
  window.Start(QString());

  ASSERT_EQ(dialog.shows, 1);
  EXPECT_EQ(dialog.filter, kOpenFilter);
  EXPECT_EQ(dialog.filter_index, 1);
  EXPECT_FALSE(dialog.owner_visible[0]);
  EXPECT_EQ(pump.calls, 0) << "nothing is examined";
  EXPECT_EQ(LookOf(window), (Look{kPrompt, QString(), Qt::ArrowCursor, true}));
  EXPECT_TRUE(ended.isEmpty());
}

TEST_F(WindowTest, FileChosenAtStartUpBeforeTheWindowIsEverVisible) {
  const QString book = Sample("book5.xls");
  dialog.answers = {book};
  window.Start(QString());

  ASSERT_EQ(dialog.shows, 1);
  EXPECT_FALSE(dialog.owner_visible[0]);
  EXPECT_EQ(dialog.looks[0], (Look{kPrompt, QString(), Qt::ArrowCursor, false}));
  ASSERT_FALSE(pump.looks.empty());
  EXPECT_EQ(pump.looks.front(), Busy(book)) << "shown when the pause begins";
  EXPECT_EQ(LookOf(window), Done(book, kExcel5));
}

TEST_F(WindowTest, PathWithSpacesAndJapaneseStandsUnchanged) {
  TempDir dir;
  std::filesystem::create_directory(dir.path() / "古い 書類");
  const std::filesystem::path file = dir.path() / "古い 書類" / "ブック  1 .xls";
  std::filesystem::copy_file(TAMSEL_SAMPLES_DIR "/book97.xls", file);
  const QString path = QString::fromStdString(file.string());

  window.Start(path);
  ASSERT_FALSE(pump.looks.empty());
  EXPECT_EQ(pump.looks.front(), Busy(path));
  EXPECT_EQ(LookOf(window), Done(path, kExcel97));
}

TEST_F(WindowTest, FileNamedInShiftJisIsOpenedByItsBytes) {
  // テスト.xls as an old archive names it; no UTF-8.
  const std::string name = "\x83\x65\x83\x58\x83\x67.xls";
  TempDir dir;
  std::filesystem::copy_file(TAMSEL_SAMPLES_DIR "/book97.xls", dir.path() / name);
  const QByteArray native = QByteArray::fromStdString((dir.path() / name).string());
  const QString shown =
      QString::fromStdString(dir.path().string()) + u"/\uFFFDe\uFFFDX\uFFFDg.xls"_s;

  window.Start(PathFromNative(native));
  ASSERT_FALSE(pump.looks.empty());
  EXPECT_EQ(pump.looks.front(), Busy(shown));
  EXPECT_EQ(LookOf(window), Done(shown, kExcel97));
  EXPECT_TRUE(fatal.shown.empty());
}

// ---------------------------------------------------------- Open command

TEST_F(WindowTest, OpenCancelledKeepsTheVerdict) {
  const QString book = Sample("book97.xls");
  window.Start(book);
  const int pauses = pump.calls;

  OpenItem()->trigger();
  EXPECT_EQ(dialog.shows, 1);
  EXPECT_EQ(dialog.filter, kOpenFilter);
  EXPECT_EQ(dialog.filter_index, 1);
  EXPECT_EQ(pump.calls, pauses);
  EXPECT_EQ(LookOf(window), Done(book, kExcel97));
}

TEST_F(WindowTest, OpenChosenExaminesTheFileWithItsOwnSecond) {
  window.Start(Sample("book97.xls"));
  const QString book = Sample("sales.csv");
  dialog.answers = {book};
  pump.looks.clear();

  OpenItem()->trigger();
  EXPECT_TRUE(dialog.owner_visible[0]);
  EXPECT_EQ(dialog.looks[0].label, kPrompt) << "the prompt stands while the dialog is up";
  ASSERT_EQ(pump.looks.size(), 10u);
  for (const Look& look : pump.looks) EXPECT_EQ(look, Busy(book));
  EXPECT_EQ(LookOf(window), Done(book, kNotExcel));
}

// ----------------------------------------------------------------- pause

TEST_F(WindowTest, PauseLastsUntilTheClockHasAdvancedOneSecond) {
  const struct {
    Clock::Duration step;
    int calls;
  } cases[] = {
      {100ms, 10}, {250ms, 4}, {999ms, 2}, {1000ms, 1}, {3s, 1}, {1ms, 1000},
  };
  const QString book = Sample("book95.xls");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.step.count());
    pump.step = c.step;
    pump.calls = 0;
    pump.looks.clear();
    const Clock::Duration start = clock.now;
    window.ExamineFile(book);
    EXPECT_EQ(pump.calls, c.calls);
    EXPECT_GE(clock.now - start, 1s);
    // Every look taken during the pause is still the status, so the scan
    // ran only after the second.
    for (const Look& look : pump.looks) EXPECT_EQ(look.result, Status(book));
    EXPECT_EQ(Result()->toPlainText(), Verdict(book, kExcel95));
  }
}

// ----------------------------------------------------------- concurrency

TEST_F(WindowTest, OpenDuringThePauseRunsNestedAndCompletesFirst) {
  const QString outer = Sample("book97.xls");
  const QString inner = Sample("book5.xls");
  std::optional<Look> after_inner;
  pump.on_call = [&](int call) {
    if (call != 3) return;
    dialog.answers = {inner};
    OpenItem()->trigger();
    after_inner = LookOf(window);
  };
  window.Start(outer);

  ASSERT_EQ(pump.looks.size(), 13u) << "3 of the outer pause, 10 of the inner, then none";
  for (int i = 0; i < 3; ++i) EXPECT_EQ(pump.looks[i], Busy(outer)) << i;
  ASSERT_EQ(dialog.looks.size(), 1u);
  EXPECT_EQ(dialog.looks[0], (Look{kPrompt, Status(outer), Qt::WaitCursor, true}));
  for (int i = 3; i < 13; ++i) EXPECT_EQ(pump.looks[i], Busy(inner)) << i;
  // The inner command is over before the outer pause goes on: its verdict,
  // the prompt and the default pointer, with which the outer scan then runs.
  EXPECT_EQ(after_inner, Done(inner, kExcel5));
  EXPECT_EQ(LookOf(window), Done(outer, kExcel97));
}

TEST_F(WindowTest, OpenCancelledDuringThePauseOnlyPutsThePromptBack) {
  const QString book = Sample("book97.xls");
  pump.on_call = [&](int call) {
    if (call == 3) OpenItem()->trigger();
  };
  window.Start(book);

  ASSERT_EQ(pump.looks.size(), 10u);
  const Look prompt_while_busy{kPrompt, Status(book), Qt::WaitCursor, true};
  for (int i = 3; i < 10; ++i) EXPECT_EQ(pump.looks[i], prompt_while_busy) << i;
  EXPECT_EQ(LookOf(window), Done(book, kExcel97));
}

// --------------------------------------------------------------- closing

TEST_F(WindowTest, ClosingDuringTheStartUpPauseEndsTheProgram) {
  pump.on_call = [&](int call) {
    if (call == 3) window.close();
  };
  window.Start(Sample("book97.xls"));

  EXPECT_EQ(pump.calls, 3) << "the pause stops at once";
  EXPECT_FALSE(window.isVisible()) << "the window must not come back";
  EXPECT_EQ(EndedStatuses(), QList<int>{0});
  EXPECT_TRUE(window.IsEnding());
  EXPECT_EQ(Result()->toPlainText(), Status(Sample("book97.xls"))) << "no scan after closing";

  // Nothing more runs: neither the Open command nor another examination.
  OpenItem()->trigger();
  window.ExamineFile(Sample("book5.xls"));
  EXPECT_EQ(dialog.shows, 0);
  EXPECT_EQ(pump.calls, 3);
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(ended.size(), 1);
}

TEST_F(WindowTest, ClosingDuringANestedPauseEndsBothCommands) {
  const QString inner = Sample("book5.xls");
  pump.on_call = [&](int call) {
    if (call == 3) {
      dialog.answers = {inner};
      OpenItem()->trigger();
    }
    if (call == 5) window.close();
  };
  window.Start(Sample("book97.xls"));

  EXPECT_EQ(pump.calls, 5);
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(EndedStatuses(), QList<int>{0});
  EXPECT_EQ(Result()->toPlainText(), Status(inner)) << "neither scan ran after closing";
}

// ---------------------------------------------------------------- errors

TEST(WindowErrorTest, ScanErrorStopsTheExaminationShowsTheCauseAndEndsWithFailure) {
  TempDir dir;
  const struct {
    const char* name;
    QString path;
    QString cause;
  } cases[] = {
      {"no such file", QString::fromStdString((dir.path() / "ない.xls").string()),
       u"No such file or directory"_s},
      {"a folder", QString::fromStdString(dir.path().string()),
       u"not a regular file (directory)"_s},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FakeClock case_clock;
    FakeEventPump case_pump(case_clock);
    FakeFileDialog case_dialog;
    FakeFatalMessage case_fatal;
    Tamsel w(case_dialog, case_clock, case_pump, case_fatal);
    case_fatal.window = &w;
    QSignalSpy w_ended(&w, &Tamsel::ended);
    qsizetype ended_while_shown = -1;
    case_fatal.on_show = [&] { ended_while_shown = w_ended.size(); };

    w.Start(c.path);

    EXPECT_EQ(case_pump.calls, 10) << "the error shows after the pause";
    ASSERT_EQ(case_fatal.shown.size(), 1u);
    const auto& box = case_fatal.shown[0];
    EXPECT_EQ(box.title, u"Tamsel"_s);
    EXPECT_TRUE(box.text.contains(c.path)) << box.text.toStdString();
    EXPECT_TRUE(box.text.contains(c.cause)) << box.text.toStdString();
    EXPECT_FALSE(box.text.contains(u'\r'));
    // Stopped where it was: status, blank label, hourglass.
    EXPECT_EQ(box.look, Busy(c.path));
    EXPECT_EQ(LookOf(w), Busy(c.path));
    EXPECT_EQ(ended_while_shown, 0) << "the program ends after the box is closed";
    ASSERT_EQ(w_ended.size(), 1);
    EXPECT_EQ(w_ended.at(0).at(0).toInt(), 1);
  }
}

TEST_F(WindowTest, FailedNestedScanEndsTheOuterExaminationToo) {
  TempDir dir;
  const QString missing = QString::fromStdString((dir.path() / "missing.xls").string());
  pump.on_call = [&](int call) {
    if (call != 3) return;
    dialog.answers = {missing};
    OpenItem()->trigger();
  };
  window.Start(Sample("book97.xls"));

  EXPECT_EQ(fatal.shown.size(), 1u);
  EXPECT_EQ(EndedStatuses(), QList<int>{1});
  EXPECT_EQ(pump.calls, 13);
  EXPECT_EQ(LookOf(window), Busy(missing)) << "the outer scan did not run";
}

TEST_F(WindowTest, ClosingWhileTheErrorIsShownStillEndsWithFailure) {
  fatal.on_show = [&] { window.close(); };
  window.Start(u"/nonexistent/book.xls"_s);
  EXPECT_EQ(EndedStatuses(), QList<int>{1});
}

// ------------------------------------------------------------------ drop

QMimeData* UrlsData(const QList<QUrl>& urls) {
  auto* data = new QMimeData;
  data->setUrls(urls);
  return data;
}

TEST_F(WindowTest, DroppedFileIsExaminedAsIfChosenInTheDialog) {
  window.Start(QString());
  const QString book = Sample("book95.xls");
  std::unique_ptr<QMimeData> data(UrlsData({QUrl::fromLocalFile(book)}));
  const QPoint where(100, 60);

  QDragEnterEvent enter(where, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&window, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(where), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&window, &drop);

  EXPECT_TRUE(drop.isAccepted());
  EXPECT_EQ(pump.calls, 10);
  EXPECT_EQ(LookOf(window), Done(book, kExcel95));
  // The text box leaves drops to the window rather than taking the URL as
  // text to insert.
  EXPECT_FALSE(Result()->acceptDrops());
  EXPECT_FALSE(Result()->viewport()->acceptDrops());
}

TEST_F(WindowTest, DroppedFileNamedInShiftJisIsOpenedByItsBytes) {
  window.Start(QString());
  const std::string name = "\x83\x65\x83\x58\x83\x67.xls";
  TempDir dir;
  std::filesystem::copy_file(TAMSEL_SAMPLES_DIR "/book5.xls", dir.path() / name);
  // As a file manager puts it in text/uri-list: the bytes percent-encoded.
  const QByteArray native = QByteArray::fromStdString((dir.path() / name).string());
  std::unique_ptr<QMimeData> data(
      UrlsData({QUrl(QString::fromLatin1("file://" + native.toPercentEncoding("/")))}));
  // Qt hands a drop only to a widget that has accepted the drag's entry.
  QDragEnterEvent enter(QPoint(100, 60), Qt::CopyAction, data.get(), Qt::LeftButton,
                        Qt::NoModifier);
  QCoreApplication::sendEvent(&window, &enter);
  QDropEvent drop(QPointF(100, 60), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&window, &drop);

  EXPECT_TRUE(fatal.shown.empty());
  EXPECT_EQ(Result()->toPlainText(), Verdict(ShownPath(PathFromNative(native)), kExcel5));
}

TEST_F(WindowTest, DragOfAnythingButOneLocalFileIsRefused) {
  const QList<QList<QUrl>> refused = {
      {QUrl(u"https://example.invalid/book.xls"_s)},
      {QUrl::fromLocalFile(Sample("book5.xls")), QUrl::fromLocalFile(Sample("book95.xls"))},
      {},
  };
  for (const QList<QUrl>& urls : refused) {
    SCOPED_TRACE(urls.size());
    std::unique_ptr<QMimeData> data(UrlsData(urls));
    QDragEnterEvent enter(QPoint(10, 40), Qt::CopyAction, data.get(), Qt::LeftButton,
                          Qt::NoModifier);
    enter.setAccepted(false);
    QCoreApplication::sendEvent(&window, &enter);
    EXPECT_FALSE(enter.isAccepted());
  }
}

// ------------------------------------------------- real clock and events

TEST(WindowRealTimeTest, PauseHandlesEventsForARealSecond) {
  SteadyClock clock;
  QtEventPump events;
  FakeFileDialog dialog;
  FakeFatalMessage fatal;
  Tamsel window(dialog, clock, events, fatal);
  const QString book = Sample("book97.xls");

  // A timer that fires during the pause sees the status: the event loop
  // ran, and the window was painted with it.
  std::optional<Look> during;
  QTimer::singleShot(300, &window, [&] { during = LookOf(window); });
  QElapsedTimer elapsed;
  elapsed.start();
  window.Start(book);

  EXPECT_GE(elapsed.elapsed(), 1000);
  EXPECT_EQ(during, Busy(book));
  EXPECT_EQ(LookOf(window), Done(book, kExcel97));

  // Ctrl+O goes through Qt's own shortcut handling to the Open command.
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  QTest::keyClick(&window, Qt::Key_O, Qt::ControlModifier);
  EXPECT_EQ(dialog.shows, 1);
}

}  // namespace
}  // namespace tamsel
