#include "app/run_window.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTimer>

#include "window/main_window.h"

namespace tamsel {

int RunWindow(Tamsel& window, const QString& argument_text) {
  const bool quit_on_last_window = QGuiApplication::quitOnLastWindowClosed();
  QGuiApplication::setQuitOnLastWindowClosed(false);
  const QMetaObject::Connection ending = QObject::connect(
      &window, &Tamsel::ended, [](int exit_status) { QCoreApplication::exit(exit_status); });
  QTimer::singleShot(0, &window, [&window, argument_text] { window.Start(argument_text); });
  const int exit_status = QCoreApplication::exec();
  QObject::disconnect(ending);
  QGuiApplication::setQuitOnLastWindowClosed(quit_on_last_window);
  return exit_status;
}

}  // namespace tamsel
