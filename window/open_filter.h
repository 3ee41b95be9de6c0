// A common dialog's filter list, translated for Qt's file dialog.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace tamsel {

// One description and its patterns, as a filter list gives them.
struct FilterPair {
  QString description;   // "Excel ファイル (*.xls)"
  QStringList patterns;  // {"*.xls"}

  friend bool operator==(const FilterPair&, const FilterPair&) = default;
};

// Splits "description|patterns|description|patterns|..." into pairs; the
// "|" after the last pattern is optional, patterns within a pair are
// separated by ";". A description left without patterns is dropped.
QList<FilterPair> ParseFilterList(const QString& filter_list);

// The Qt name filter for one pair: the description as it stands, a space
// and the patterns in parentheses, separated by spaces. The pattern "*.*"
// becomes "*", since on the platform the list comes from it means every
// file, names without a dot included, while Qt would read it literally.
// The dialog must hide the pattern part (QFileDialog::HideNameFilterDetails)
// or the user reads it twice.
QString QtNameFilter(const FilterPair& pair);

QStringList QtNameFilters(const QString& filter_list);

}  // namespace tamsel
