// tamsel: the window, started on the file the command line names or on the
// one chosen in the Open dialog.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdio>

#include "app/command_line.h"
#include "app/run_window.h"
#include "window/clock.h"
#include "window/event_pump.h"
#include "window/fatal_message.h"
#include "window/main_window.h"
#include "window/qt_file_dialog.h"

using namespace Qt::Literals::StringLiterals;

int main(int argc, char** argv) {
  using namespace tamsel;

  // The arguments are read before Qt sees them: QApplication takes its own
  // options (-style, -platform, -display, -session ...) out of argv, and
  // they could be part of a path. Qt is set up through its environment
  // variables instead.
  const CommandLine command = ParseArgumentText(ArgumentText(argc, argv));
  switch (command.request) {
    case CommandLine::Request::kHelp:
      std::fputs(qUtf8Printable(HelpText()), stdout);
      return 0;
    case CommandLine::Request::kVersion:
      std::fputs("tamsel " TAMSEL_VERSION "\n", stdout);
      return 0;
    case CommandLine::Request::kExamine:
      break;
  }

  int qt_argc = 1;
  char* qt_argv[] = {argv[0], nullptr};
  QApplication app(qt_argc, qt_argv);
  QApplication::setApplicationName(u"tamsel"_s);
  QApplication::setApplicationVersion(QStringLiteral(TAMSEL_VERSION));
  QGuiApplication::setDesktopFileName(u"io.github.tamsel.Tamsel"_s);

  // The user interface is Japanese, Qt's own dialog included, whatever the
  // desktop's language.
  QTranslator qt_texts;
  if (qt_texts.load(QLocale(QLocale::Japanese, QLocale::Japan), u"qtbase"_s, u"_"_s,
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(&qt_texts);
  }

  QtFileDialog dialog;
  SteadyClock clock;
  QtEventPump events;
  QtFatalMessage fatal;
  Tamsel window(dialog, clock, events, fatal);
  QApplication::setWindowIcon(window.windowIcon());
  return RunWindow(window, command.path);
}
