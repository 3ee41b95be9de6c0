#include "window/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QIcon>
#include <QKeySequence>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QUrl>
#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "scanner/scan_error.h"
#include "scanner/version_scanner.h"
#include "window/clock.h"
#include "window/event_pump.h"
#include "window/fatal_message.h"
#include "window/file_dialog.h"
#include "window/native_path.h"
#include "window/result_font.h"

using namespace Qt::Literals::StringLiterals;

namespace tamsel {
namespace {

const QString kCaption = u"Tamsel"_s;
const QString kPromptText = u"ファイルメニューの［開く］でファイルを選んで下さい。"_s;
const QString kBlankLabel = u" "_s;
const QString kStatusMessage = u"ファイルの調査中．．．"_s;
const QString kOpenFilter =
    u"すべてのファイル (*.*)|*.*|"_s
    u"Excel ファイル (*.xls)|*.xls|"_s;
const QString kCrLf = u"\r\n"_s;

// The client area and the controls, in logical pixels (15 twips each).
constexpr int kClientWidth = 470;
constexpr int kClientHeight = 120;
constexpr QRect kLabelGeometry(0, 0, 465, 17);
constexpr QRect kResultGeometry(0, 24, 465, 89);

// The program's own icon, one image for each size the theme has.
QIcon AppIcon() {
  QIcon icon;
  for (const int size : {16, 32, 48}) {
    icon.addFile(u":/icons/%1.png"_s.arg(size), QSize(size, size));
  }
  return icon;
}

// The texts the program builds break lines with CR LF. The widgets that
// show them want one line break: a CR of its own may start an empty line
// or be drawn as a glyph, depending on the widget, so each CR LF
// becomes "\n".
QString ForTextBox(QString text) { return text.replace(kCrLf, u"\n"_s); }

// The single local file a drag carries, or an empty string. The name is
// taken from the URL's bytes, which need not be UTF-8.
QString DroppedFile(const QMimeData* mime) {
  if (mime == nullptr || !mime->hasUrls()) return {};
  const QList<QUrl> urls = mime->urls();
  if (urls.size() != 1) return {};
  const QUrl& url = urls.constFirst();
  if (!url.isLocalFile() || !url.host().isEmpty()) return {};
  return PathFromNative(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
}

}  // namespace

Tamsel::Tamsel(FileDialog& dialog, Clock& clock, EventPump& events, FatalMessage& fatal,
               QWidget* parent)
    : QMainWindow(parent), CommonDialog1(dialog), clock_(clock), events_(events), fatal_(fatal) {
  setObjectName(u"Tamsel"_s);
  setWindowTitle(kCaption);
  setWindowIcon(AppIcon());
  // Sizable, with a system menu and a minimize button, but no maximize
  // button.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setAcceptDrops(true);

  Menu = menuBar()->addMenu(u"ファイル"_s);
  Menu->setObjectName(u"Menu"_s);
  mnuOpen = Menu->addAction(u"開く"_s);
  mnuOpen->setObjectName(u"mnuOpen"_s);
  mnuOpen->setShortcut(QKeySequence::Open);
  connect(mnuOpen, &QAction::triggered, this, &Tamsel::mnuOpen_Click);

  // The controls keep their places and sizes whatever the window's size:
  // no layout.
  auto* client = new QWidget(this);
  client->setObjectName(u"Client"_s);
  setCentralWidget(client);

  Label = new QLabel(client);
  Label->setObjectName(u"Label"_s);
  Label->setGeometry(kLabelGeometry);

  Result = new QPlainTextEdit(client);
  Result->setObjectName(u"Result"_s);
  Result->setGeometry(kResultGeometry);
  Result->setFont(ResultFont());
  Result->setLineWrapMode(QPlainTextEdit::NoWrap);
  Result->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Result->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  // A file dropped on the box is a file to examine, not text to insert:
  // leave drops to the window.
  Result->setAcceptDrops(false);
  Result->viewport()->setAcceptDrops(false);
  Result->setFocus();

  resize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
}

Tamsel::~Tamsel() = default;

void Tamsel::Start(const QString& argument_text) {
  Form_Load(argument_text);
  if (!ending_) show();
}

void Tamsel::Form_Load(const QString& argument_text) {
  Label->setText(kPromptText);
  QString path = argument_text;
  if (path.isEmpty()) {
    CommonDialog1.SetFilter(kOpenFilter);
    CommonDialog1.SetFilterIndex(1);
    CommonDialog1.ShowOpen(this);
    path = CommonDialog1.FileName();
    if (path.isEmpty()) return;
  }
  ExamineFile(path);
  if (ending_) return;
  Label->setText(kPromptText);
}

void Tamsel::mnuOpen_Click() {
  if (ending_) return;
  Label->setText(kPromptText);
  CommonDialog1.SetFilter(kOpenFilter);
  CommonDialog1.SetFilterIndex(1);
  CommonDialog1.ShowOpen(this);
  const QString path = CommonDialog1.FileName();
  if (path.isEmpty()) return;
  ExamineFile(path);
  if (ending_) return;
  Label->setText(kPromptText);
}

void Tamsel::ExamineFile(const QString& path) {
  if (ending_) return;
  // The path stands in every text as the user gave it; a byte of the name
  // that is no UTF-8 is shown as U+FFFD, but the file is opened by it.
  const QString shown = ShownPath(path);
  SetBusyPointer(true);
  Label->setText(kBlankLabel);
  ShowInResult(shown + kCrLf + kStatusMessage);
  show();
  PauseOneSecond();
  if (ending_) return;

  // The scan handles no events: the window neither repaints nor answers
  // until it returns. No exception may leave this handler, since it runs
  // inside Qt's event loop.
  Verdict verdict = Verdict::kNotExcel;
  try {
    verdict = ScanPath(std::filesystem::path(NativeFromPath(path).toStdString())).verdict;
  } catch (const ScanError& e) {
    Fail(shown, QString::fromStdString(e.cause()));
    return;
  } catch (const std::exception& e) {
    Fail(shown, QString::fromLocal8Bit(e.what()));
    return;
  }
  ShowInResult(QString::fromStdString(VerdictText(shown.toStdString(), verdict)));
  SetBusyPointer(false);
}

void Tamsel::PauseOneSecond() {
  using namespace std::chrono_literals;
  const Clock::Duration start = clock_.Now();
  while (!ending_ && clock_.Now() - start < 1s) events_.ProcessPendingEvents();
}

void Tamsel::closeEvent(QCloseEvent* event) {
  event->accept();
  // Closed while the message box of a failed scan is up, the program still
  // ends as failed.
  End(failed_ ? 1 : 0);
}

void Tamsel::dragEnterEvent(QDragEnterEvent* event) {
  if (!ending_ && !DroppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void Tamsel::dropEvent(QDropEvent* event) {
  const QString path = DroppedFile(event->mimeData());
  if (ending_ || path.isEmpty()) return;
  event->acceptProposedAction();
  // As if chosen in the Open dialog.
  Label->setText(kPromptText);
  ExamineFile(path);
  if (ending_) return;
  Label->setText(kPromptText);
}

void Tamsel::SetBusyPointer(bool busy) {
  // The hourglass stands over the whole client area, the text box too,
  // whose own pointer is the text cursor.
  if (busy) {
    setCursor(Qt::WaitCursor);
    Result->viewport()->setCursor(Qt::WaitCursor);
  } else {
    unsetCursor();
    Result->viewport()->setCursor(Qt::IBeamCursor);
  }
}

void Tamsel::ShowInResult(const QString& text) { Result->setPlainText(ForTextBox(text)); }

void Tamsel::Fail(const QString& shown_path, const QString& cause) {
  // The examination stops where it is: Result keeps the status text, Label
  // stays blank and the pointer the hourglass until the program ends.
  ending_ = true;
  failed_ = true;
  std::fprintf(stderr, "tamsel: %s: %s\n", qUtf8Printable(shown_path), qUtf8Printable(cause));
  const QString text = u"ファイルを調べることができませんでした。"_s + kCrLf + kCrLf + shown_path +
                       kCrLf + kCrLf + u"原因: "_s + cause + kCrLf + kCrLf +
                       u"プログラムを終了します。"_s;
  fatal_.Show(this, kCaption, ForTextBox(text));
  End(1);
}

void Tamsel::End(int exit_status) {
  ending_ = true;
  if (ended_emitted_) return;
  ended_emitted_ = true;
  Q_EMIT ended(exit_status);
}

}  // namespace tamsel
