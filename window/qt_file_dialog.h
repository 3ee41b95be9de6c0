// The Open dialog on Qt's own file dialog.
#pragma once

#include <QString>

#include "window/file_dialog.h"

class QFileDialog;

namespace tamsel {

// Qt's own dialog, not the desktop's (QFileDialog::DontUseNativeDialog):
// it is the one whose filters behave as the filter list means them on every
// desktop. It matches patterns without regard to case, so "*.xls" shows
// BOOK1.XLS, and it can hide the pattern part of a Qt name filter, so a
// description that names its pattern already is shown once, as it stands.
// The GTK and portal dialogs match with case and show descriptions their
// own way.
class QtFileDialog final : public FileDialog {
 public:
  void SetFilter(const QString& filter) override { filter_ = filter; }
  void SetFilterIndex(int index) override { filter_index_ = index; }
  void ShowOpen(QWidget* owner) override;
  QString FileName() const override { return file_name_; }

 private:
  QString filter_;
  int filter_index_ = 1;
  QString file_name_;  // empty after a cancelled ShowOpen
  QString folder_;     // where the last chosen file was; the next dialog opens there
};

// Makes dialog an Open dialog for one existing file with the filters of
// filter_list, filter_index (from 1) selected. An index outside the list
// selects the first filter.
void ConfigureOpenDialog(QFileDialog& dialog, const QString& filter_list, int filter_index);

}  // namespace tamsel
