#include "window/fatal_message.h"

#include <QMessageBox>
#include <QTimer>

namespace tamsel {

void QtFatalMessage::Show(QWidget* parent, const QString& title, const QString& text) {
  QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::Ok, parent);
  if (qEnvironmentVariableIsSet("TAMSEL_TEST_DISMISS_FATAL")) {
    QTimer::singleShot(0, &box, &QMessageBox::accept);
  }
  box.exec();
}

}  // namespace tamsel
