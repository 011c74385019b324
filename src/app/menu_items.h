// Items of the language and skin menus: each keeps its caption's own
// Windows-1251 bytes (compared with the stored choice) and shows it with '&'
// doubled so that no letter turns into a mnemonic.
#pragma once

#include <QAction>
#include <QMenu>
#include <string>

#include "shell/qt_text.h"

namespace missivo {

inline void SetItemCaption(QAction* item, const std::string& caption) {
  QString shown = ToQString(caption);
  shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
  item->setText(shown);
  item->setData(QByteArray::fromStdString(caption));
}

inline std::string CaptionOf(const QAction* item) {
  return item->data().toByteArray().toStdString();
}

// A checkable item at the end of `menu`.
inline QAction* CaptionedItem(QMenu* menu, const std::string& caption) {
  QAction* item = menu->addAction(QString());
  SetItemCaption(item, caption);
  item->setCheckable(true);
  return item;
}

}  // namespace missivo
