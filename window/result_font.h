// The font of the verdict box.
#pragma once

#include <QFont>

namespace tamsel {

// "ＭＳ Ｐゴシック", 12 point, bold. Where it is missing (on Linux it
// usually is), IPAPGothic takes its place: it has the same proportional
// metrics. Then any font the system has for Japanese, Gothic (sans) ones
// first, so that no character of a path or verdict is drawn as a box.
QFont ResultFont();

}  // namespace tamsel
