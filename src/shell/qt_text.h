// The one place where the program converts between its Windows-1251 texts and
// the QString that Qt shows and takes.
#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "text/cp1251.h"

namespace missivo {

// A UTF-8 text (the lossless fields of a row) as a QString.
inline QString Utf8ToQString(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// A UTF-8 message text for a text box: CR LF and a lone CR become LF, the one
// line break a text box knows.
inline QString TextWithLines(std::string_view utf8) {
  QString text = Utf8ToQString(utf8);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
      .replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return text;
}

// A Windows-1251 text as a QString.
inline QString ToQString(std::string_view cp1251) {
  return Utf8ToQString(Cp1251ToUtf8(cp1251));
}

// A QString as Windows-1251; characters the code page cannot hold become '?'.
inline std::string FromQString(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  return Utf8ToCp1251(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

}  // namespace missivo
