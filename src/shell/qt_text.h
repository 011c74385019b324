// The one place where the program converts between its Windows-1251 texts and
// the QString that Qt shows and takes.
#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "text/cp1251.h"

namespace missivo {

// A Windows-1251 text as a QString.
inline QString ToQString(std::string_view cp1251) {
  const std::string utf8 = Cp1251ToUtf8(cp1251);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// A QString as Windows-1251; characters the code page cannot hold become '?'.
inline std::string FromQString(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  return Utf8ToCp1251(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

}  // namespace missivo
