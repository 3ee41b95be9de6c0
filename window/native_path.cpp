#include "window/native_path.h"

#include <cstdint>
#include <string>

#include "scanner/path_text.h"

namespace tamsel {
namespace {

constexpr char16_t kEscapeBase = 0xDC00;  // + byte 0x80-0xFF

// The length of the valid UTF-8 sequence at bytes[i], or 0 when the byte
// there starts none (a stray continuation byte, an overlong form, a
// surrogate, a value past U+10FFFF, or a sequence cut short).
qsizetype ValidSequenceAt(const QByteArray& bytes, qsizetype i, char32_t& code_point) {
  const auto byte = [&](qsizetype k) { return static_cast<std::uint8_t>(bytes[k]); };
  const std::uint8_t lead = byte(i);
  qsizetype length = 0;
  char32_t min = 0;
  if (lead < 0x80) {
    code_point = lead;
    return 1;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, code_point = lead & 0x1F, min = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, code_point = lead & 0x0F, min = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, code_point = lead & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (i + length > bytes.size()) return 0;
  for (qsizetype k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    code_point = (code_point << 6) | (byte(i + k) & 0x3F);
  }
  if (code_point < min || code_point > 0x10FFFF) return 0;
  if (code_point >= 0xD800 && code_point <= 0xDFFF) return 0;
  return length;
}

}  // namespace

QString PathFromNative(const QByteArray& native) {
  QString path;
  path.reserve(native.size());
  for (qsizetype i = 0; i < native.size();) {
    char32_t code_point = 0;
    const qsizetype length = ValidSequenceAt(native, i, code_point);
    if (length == 0) {
      path.append(QChar(kEscapeBase + static_cast<std::uint8_t>(native[i])));
      ++i;
    } else {
      path.append(QString::fromUcs4(&code_point, 1));
      i += length;
    }
  }
  return path;
}

QByteArray NativeFromPath(const QString& path) {
  QByteArray native;
  native.reserve(path.size());
  for (qsizetype i = 0; i < path.size(); ++i) {
    const char16_t unit = path[i].unicode();
    const bool pair =
        QChar::isHighSurrogate(unit) && i + 1 < path.size() && path[i + 1].isLowSurrogate();
    if (pair) {
      native.append(path.sliced(i, 2).toUtf8());
      ++i;
    } else if (unit >= kEscapeBase + 0x80 && unit <= kEscapeBase + 0xFF) {
      native.append(static_cast<char>(unit - kEscapeBase));
    } else if (QChar::isSurrogate(unit)) {
      native.append("\xEF\xBF\xBD");
    } else {
      native.append(QString(QChar(unit)).toUtf8());
    }
  }
  return native;
}

QString ShownPath(const QString& path) {
  const QByteArray native = NativeFromPath(path);
  return QString::fromStdString(ToValidUtf8(std::string_view(native.constData(), native.size())));
}

}  // namespace tamsel
