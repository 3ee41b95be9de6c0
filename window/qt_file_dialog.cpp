#include "window/qt_file_dialog.h"

#include <QFileDialog>

#include "window/open_filter.h"

using namespace Qt::Literals::StringLiterals;

namespace tamsel {

void ConfigureOpenDialog(QFileDialog& dialog, const QString& filter_list, int filter_index) {
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  const QStringList filters = QtNameFilters(filter_list);
  dialog.setNameFilters(filters);
  if (!filters.isEmpty()) {
    const bool in_list = filter_index >= 1 && filter_index <= filters.size();
    dialog.selectNameFilter(filters[in_list ? filter_index - 1 : 0]);
  }
}

void QtFileDialog::ShowOpen(QWidget* owner) {
  QFileDialog dialog(owner, u"ファイルを開く"_s);
  ConfigureOpenDialog(dialog, filter_, filter_index_);
  if (!folder_.isEmpty()) dialog.setDirectory(folder_);
  file_name_.clear();
  if (dialog.exec() != QDialog::Accepted) return;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return;
  file_name_ = chosen.constFirst();
  folder_ = dialog.directory().absolutePath();
}

}  // namespace tamsel
