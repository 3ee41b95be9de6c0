// File names as the window holds them: text that keeps every byte.
//
// On Linux a file name is bytes. Most are UTF-8, but names that come from
// old Japanese archives are often Shift_JIS, which Qt would decode to U+FFFD
// and could then no longer open. The window holds a path as a QString in
// which valid UTF-8 stands decoded and each byte outside it is kept as the
// lone surrogate U+DC00 + byte (U+DC80-U+DCFF), so the file is always
// opened by the bytes it was named by. For every name Qt itself can hold,
// this is plain UTF-8 both ways, as QFile::encodeName does it.
#pragma once

#include <QByteArray>
#include <QString>

namespace tamsel {

QString PathFromNative(const QByteArray& native);

// The bytes PathFromNative was given. A lone surrogate outside
// U+DC80-U+DCFF, which no decoding gives, becomes the bytes of U+FFFD.
QByteArray NativeFromPath(const QString& path);

// The path as the user reads it: valid UTF-8 as it stands and each run of
// other bytes as one U+FFFD, as tamsel-scan shows it too.
QString ShownPath(const QString& path);

}  // namespace tamsel
