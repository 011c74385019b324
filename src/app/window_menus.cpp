// The main menu and the popup menus of the two message lists.
#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

#include "app/guard.h"
#include "app/image_list.h"
#include "app/main_window.h"

namespace missivo {
namespace {

QMenu* Menu(QWidget* owner, const char* name, const QString& caption) {
  auto* menu = new QMenu(caption, owner);
  menu->setObjectName(QString::fromLatin1(name));
  return menu;
}

QAction* Item(QMenu* menu, const char* name, const QString& caption, const QKeySequence& keys = {},
              int image = -1) {
  QAction* item = menu->addAction(caption);
  item->setObjectName(QString::fromLatin1(name));
  item->setShortcut(keys);
  if (image >= 0) item->setIcon(ImageList::Icon(image));
  return item;
}

// The four items shared by both popup menus: delete, delete all, save, save all.
void PopupItems(QMenu* menu, const char* const names[4], QAction** items[4]) {
  *items[0] = Item(menu, names[0], QStringLiteral("Удалить"), {}, kImageDelete);
  *items[1] = Item(menu, names[1], QStringLiteral("Удалить все"), {}, kImageDeleteAll);
  menu->addSeparator();
  *items[2] = Item(menu, names[2], QStringLiteral("Сохранить"),
                   QKeySequence(QStringLiteral("Ctrl+S")), kImageSave);
  *items[3] = Item(menu, names[3], QStringLiteral("Сохранить все"),
                   QKeySequence(QStringLiteral("Ctrl+Alt+S")), kImageSaveAll);
  // The shortcuts belong to the "Файл" menu; here they are only shown.
  (*items[2])->setShortcutContext(Qt::WidgetShortcut);
  (*items[3])->setShortcutContext(Qt::WidgetShortcut);
}

}  // namespace

void TForm1::BuildMenus() {
  QMenuBar* bar = menuBar();
  bar->setObjectName(QStringLiteral("Menu"));

  FIle1 = Menu(this, "FIle1", QStringLiteral("Файл"));
  new1 = Item(FIle1, "new1", QStringLiteral("Сохранить"), QKeySequence(QStringLiteral("Ctrl+S")),
              kImageSave);
  N4 = Item(FIle1, "N4", QStringLiteral("Сохранить все"),
            QKeySequence(QStringLiteral("Ctrl+Alt+S")), kImageSaveAll);
  FIle1->addSeparator();
  N9 = Item(FIle1, "N9", QStringLiteral("Выход"), QKeySequence(QStringLiteral("Ctrl+X")),
            kImageExit);
  bar->addMenu(FIle1);

  N1 = Menu(this, "N1", QStringLiteral("Телефон"));
  N10 = Item(N1, "N10", QStringLiteral("Подключить"), QKeySequence(QStringLiteral("Ctrl+Shift+C")),
             kImageConnect);
  N11 = Item(N1, "N11", QStringLiteral("Отключить"), QKeySequence(QStringLiteral("Ctrl+Shift+D")),
             kImageDisconnect);
  N1->addSeparator();
  N18 = Item(N1, "N18", QStringLiteral("Считать сообщения"), QKeySequence(Qt::Key_F3), kImageRead);
  N19 = Item(N1, "N19", QStringLiteral("Считать справочник"), QKeySequence(Qt::Key_F4),
             kImageReadPhonebook);
  bar->addMenu(N1);

  N2 = Menu(this, "N2", QStringLiteral("Дополнительно"));
  N14 = Menu(N2, "N14", QStringLiteral("Язык"));
  N14->setIcon(ImageList::Icon(kImageLanguage));
  N2->addMenu(N14);
  N17 = Menu(N2, "N17", QStringLiteral("Конвертировать"));
  N17->setIcon(ImageList::Icon(kImageConvert));
  P2kTools1 = Item(N17, "P2kTools1", QStringLiteral("Сообщения P2kTools"));
  // The letter after "1." is the Cyrillic х here (and the Latin x in the import filter).
  Missivo11 = Item(N17, "Missivo11", QStringLiteral("Missivo версия 1.х входящие"));
  SmsBackup1 = Item(N17, "SmsBackup1", QStringLiteral("Резервная копия SMS (XML)"));
  VCard1 = Item(N17, "VCard1", QStringLiteral("Контакты (vCard)"));
  N2->addMenu(N17);
  SkinMenu = Menu(N2, "SkinMenu", QStringLiteral("Оформление"));
  SkinMenu->setIcon(ImageList::Icon(kImageSkinItem));
  N2->addMenu(SkinMenu);
  N6 = Item(N2, "N6", QStringLiteral("Защита программы"), {}, kImageProtect);
  bar->addMenu(N2);

  N3 = bar->addAction(QStringLiteral("О Программе"));
  N3->setObjectName(QStringLiteral("N3"));

  connect(N9, &QAction::triggered, this, &TForm1::N9Click);
  connect(N3, &QAction::triggered, this, &TForm1::N3Click);
  connect(N6, &QAction::triggered, this, Guarded([this] { N6Click(); }));

  bsSkinPopupMenu2 = Menu(this, "bsSkinPopupMenu2", QString());
  const char* const list1_names[4] = {"MenuItem1", "MenuItem2", "MenuItem3", "MenuItem4"};
  QAction** list1_items[4] = {&MenuItem1, &MenuItem2, &MenuItem3, &MenuItem4};
  PopupItems(bsSkinPopupMenu2, list1_names, list1_items);

  bsSkinPopupMenu1 = Menu(this, "bsSkinPopupMenu1", QString());
  const char* const list4_names[4] = {"N21", "N22", "N23", "N24"};
  QAction** list4_items[4] = {&N21, &N22, &N23, &N24};
  PopupItems(bsSkinPopupMenu1, list4_names, list4_items);
}

}  // namespace missivo
