// The message box that reports an error the program cannot go on after.
#pragma once

#include <QString>

class QWidget;

namespace tamsel {

class FatalMessage {
 public:
  virtual ~FatalMessage() = default;

  // Shows title and text modally over parent and returns when the user has
  // closed the box.
  virtual void Show(QWidget* parent, const QString& title, const QString& text) = 0;
};

// A critical QMessageBox.
//
// For tests that run the program as a process: when the environment
// variable TAMSEL_TEST_DISMISS_FATAL is set, the box is still built and
// shown, then closed as soon as its event loop runs, as if the user had
// pressed OK. Nothing else reads that variable.
class QtFatalMessage final : public FatalMessage {
 public:
  void Show(QWidget* parent, const QString& title, const QString& text) override;
};

}  // namespace tamsel
