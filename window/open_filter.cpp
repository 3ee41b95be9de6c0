#include "window/open_filter.h"

using namespace Qt::Literals::StringLiterals;

namespace tamsel {

QList<FilterPair> ParseFilterList(const QString& filter_list) {
  QStringList parts = filter_list.split(u'|');
  // The list ends with "|", which leaves one empty part behind it.
  if (!parts.isEmpty() && parts.constLast().isEmpty()) parts.removeLast();
  QList<FilterPair> pairs;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    pairs.append({parts[i], parts[i + 1].split(u';', Qt::SkipEmptyParts)});
  }
  return pairs;
}

QString QtNameFilter(const FilterPair& pair) {
  QStringList patterns;
  for (const QString& pattern : pair.patterns) {
    const QString qt_pattern = pattern.trimmed() == u"*.*"_s ? u"*"_s : pattern.trimmed();
    if (!patterns.contains(qt_pattern)) patterns.append(qt_pattern);
  }
  return pair.description + u" ("_s + patterns.join(u' ') + u')';
}

QStringList QtNameFilters(const QString& filter_list) {
  QStringList filters;
  for (const FilterPair& pair : ParseFilterList(filter_list)) filters.append(QtNameFilter(pair));
  return filters;
}

}  // namespace tamsel
