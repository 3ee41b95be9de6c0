#include "window/result_font.h"

#include <QFontDatabase>
#include <QStringList>

using namespace Qt::Literals::StringLiterals;

namespace tamsel {
namespace {

bool LooksSans(const QString& family) {
  return family.contains(u"Gothic"_s, Qt::CaseInsensitive) ||
         family.contains(u"Sans"_s, Qt::CaseInsensitive) || family.contains(u"ゴシック"_s);
}

}  // namespace

QFont ResultFont() {
  QStringList families = {u"ＭＳ Ｐゴシック"_s, u"MS PGothic"_s, u"IPAPGothic"_s, u"IPAexGothic"_s};
  QStringList others;
  for (const QString& family : QFontDatabase::families(QFontDatabase::Japanese)) {
    if (families.contains(family)) continue;
    (LooksSans(family) ? families : others).append(family);
  }
  families.append(others);

  QFont font;
  font.setFamilies(families);
  font.setStyleHint(QFont::SansSerif);
  font.setPointSize(12);
  font.setBold(true);
  return font;
}

}  // namespace tamsel
