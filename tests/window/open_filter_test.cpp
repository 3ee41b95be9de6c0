// The filter list of the Open dialog, and what Qt's dialog makes of it.
#include "window/open_filter.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QListView>
#include <QTimer>
#include <fstream>
#include <set>

#include "tests/support/fixtures.h"
#include "tests/window/qt_printers.h"
#include "window/qt_file_dialog.h"

using namespace Qt::Literals::StringLiterals;

namespace tamsel {
namespace {

const QString kOpenFilter = u"すべてのファイル (*.*)|*.*|Excel ファイル (*.xls)|*.xls|"_s;

TEST(FilterListTest, SplitsIntoDescriptionsAndPatterns) {
  const struct {
    const char* name;
    QString list;
    QList<FilterPair> pairs;
  } cases[] = {
      {"the Open dialog's list",
       kOpenFilter,
       {{u"すべてのファイル (*.*)"_s, {u"*.*"_s}}, {u"Excel ファイル (*.xls)"_s, {u"*.xls"_s}}}},
      {"no | after the last pattern", u"Text|*.txt"_s, {{u"Text"_s, {u"*.txt"_s}}}},
      {"several patterns", u"Books|*.xls;*.xlw|"_s, {{u"Books"_s, {u"*.xls"_s, u"*.xlw"_s}}}},
      {"a description without patterns", u"A|*.a|B"_s, {{u"A"_s, {u"*.a"_s}}}},
      {"empty", QString(), {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ParseFilterList(c.list), c.pairs);
  }
}

TEST(FilterListTest, QtNameFiltersKeepTheDescriptionAndReadStarDotStarAsEveryFile) {
  EXPECT_EQ(QtNameFilters(kOpenFilter),
            (QStringList{u"すべてのファイル (*.*) (*)"_s, u"Excel ファイル (*.xls) (*.xls)"_s}));
  EXPECT_EQ(QtNameFilter({u"Books"_s, {u"*.xls"_s, u"*.*"_s, u"*.xlw"_s}}),
            u"Books (*.xls * *.xlw)"_s);
}

// Qt's own file dialog, set up as the program sets it up, on a folder of
// names that tell the filters apart.
class OpenDialogTest : public testing::Test {
 protected:
  OpenDialogTest() {
    for (const char* name : {"Makefile", "BOOK1.XLS", "book2.xls", "Book3.Xls", "notes.txt",
                             "report.xlsx", "old.xls.bak"}) {
      dir_.Write(name, {});
    }
  }

  QString Folder() const { return QString::fromStdString(dir_.path().string()); }

  // The file names the dialog lists, once it has read the folder.
  static std::set<QString> Listed(QFileDialog& dialog) {
    auto* view = dialog.findChild<QListView*>(u"listView"_s);
    auto* model = dialog.findChild<QFileSystemModel*>();
    if (view == nullptr || model == nullptr) return {};
    std::set<QString> names;
    QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
      const QModelIndex root = view->rootIndex();
      if (model->rowCount(root) == 0) continue;
      names.clear();
      for (int row = 0; row < model->rowCount(root); ++row) {
        const QModelIndex index = model->index(row, 0, root);
        // A file the filter excludes may be listed but disabled.
        if (index.flags() & Qt::ItemIsEnabled) names.insert(index.data().toString());
      }
      break;
    }
    return names;
  }

  test::TempDir dir_;
};

TEST_F(OpenDialogTest, FiltersShowTheirDescriptionsOnceAndMatchAsOnWindows) {
  const std::set<QString> every = {u"Makefile"_s,   u"BOOK1.XLS"_s, u"book2.xls"_s,
                                   u"Book3.Xls"_s,  u"notes.txt"_s, u"report.xlsx"_s,
                                   u"old.xls.bak"_s};
  const std::set<QString> books = {u"BOOK1.XLS"_s, u"book2.xls"_s, u"Book3.Xls"_s};
  const struct {
    int filter_index;
    QString selected;
    std::set<QString> listed;
  } cases[] = {
      {1, u"すべてのファイル (*.*)"_s, every},
      {2, u"Excel ファイル (*.xls)"_s, books},
      {7, u"すべてのファイル (*.*)"_s, every},  // out of the list: the first
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.filter_index);
    QFileDialog dialog;
    ConfigureOpenDialog(dialog, kOpenFilter, c.filter_index);
    dialog.setDirectory(Folder());
    dialog.show();

    auto* types = dialog.findChild<QComboBox*>(u"fileTypeCombo"_s);
    ASSERT_NE(types, nullptr);
    ASSERT_EQ(types->count(), 2);
    EXPECT_EQ(types->itemText(0), u"すべてのファイル (*.*)"_s);
    EXPECT_EQ(types->itemText(1), u"Excel ファイル (*.xls)"_s);
    EXPECT_EQ(types->currentText(), c.selected);
    EXPECT_EQ(Listed(dialog), c.listed);
  }
}

// Plays the user at the next modal dialog: chooses file, or cancels when
// file is empty.
void AnswerNextDialog(const QString& file) {
  QTimer::singleShot(0, [file] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptOpen);
    if (file.isEmpty()) {
      dialog->reject();
    } else {
      dialog->selectFile(file);
      static_cast<QDialog*>(dialog)->accept();  // QFileDialog::accept, which is protected
    }
  });
}

TEST_F(OpenDialogTest, FileNameIsTheChosenFileAndEmptyAfterCancel) {
  QtFileDialog dialog;
  dialog.SetFilter(kOpenFilter);
  dialog.SetFilterIndex(1);
  const QString chosen = Folder() + u"/Makefile"_s;

  AnswerNextDialog(chosen);
  dialog.ShowOpen(nullptr);
  EXPECT_EQ(dialog.FileName(), chosen);

  AnswerNextDialog(QString());
  dialog.ShowOpen(nullptr);
  EXPECT_EQ(dialog.FileName(), QString()) << "a cancel never repeats the last file";
}

}  // namespace
}  // namespace tamsel
