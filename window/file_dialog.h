// The Open dialog as the window uses it: the model of a common dialog.
#pragma once

#include <QString>

class QWidget;

namespace tamsel {

// A filter list is one string of description and pattern pairs, each part
// followed by "|" ("Text (*.txt)|*.txt|"); patterns within a pair are
// separated by ";". The filter index counts the pairs from 1.
class FileDialog {
 public:
  virtual ~FileDialog() = default;

  virtual void SetFilter(const QString& filter) = 0;
  virtual void SetFilterIndex(int index) = 0;

  // Shows the dialog modally over owner (which may still be hidden) and
  // returns when the user has chosen a file or cancelled.
  virtual void ShowOpen(QWidget* owner) = 0;

  // The file chosen by the last ShowOpen; empty when it was cancelled.
  virtual QString FileName() const = 0;
};

}  // namespace tamsel
