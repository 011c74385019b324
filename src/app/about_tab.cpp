// The "О Программе" tab: a read-only tree with the version history and credits.
#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/image_list.h"
#include "app/main_window.h"

namespace missivo {
namespace {

struct Node {
  const char* title;
  std::vector<const char*> lines;
};

const std::vector<Node>& History() {
  static const std::vector<Node> history = {
      {"Версия 3.3",
       {"Архив и копия справочника хранятся в зашифрованных файлах",
        "Пароль программы закрывает файлы данных до следующего запуска",
        "Оформление программы выбирается в меню «Дополнительно»",
        "Языковые файлы: русский, английский и украинский",
        "Экспорт сообщений в текст и HTML по редактируемым шаблонам"}},
      {"Версия 3.2",
       {"Справочник телефона читается пачками, чтение стало быстрее",
        "Номера отправителей показываются вместе с именами из справочника",
        "Сортировка архива по столбцу запоминается между запусками"}},
      {"Версия 3.1",
       {"Импорт сообщений, сохранённых утилитой P2kTools", "Импорт входящих сообщений версии 1.x",
        "Правка сообщения в архиве по клавише F2"}},
      {"Версия 3.0",
       {"Новое окно с вкладками и строкой состояния", "Терминал AT-команд с историей и журналом",
        "Автоматическое подключение при появлении устройства USB"}},
      {"Версия 2.x",
       {"Архив сообщений с проверкой повторов", "Чтение исходящих и черновых сообщений"}},
      {"Версия 1.x", {"Чтение входящих сообщений телефона в список"}},
  };
  return history;
}

const Node& Credits() {
  static const Node credits = {
      "Благодарности",
      {"Всем, кто присылал ответы своих телефонов для проверки разбора",
       "Переводчикам языковых файлов", "Всем, кто сообщал об ошибках и предлагал улучшения",
       "Missivo распространяется бесплатно"}};
  return credits;
}

// A node with one child per line.
QTreeWidgetItem* AddNode(QTreeWidgetItem* node, const Node& content) {
  for (const char* line : content.lines)
    new QTreeWidgetItem(node, {QString::fromUtf8(line)});
  return node;
}

}  // namespace

void TForm1::BuildAboutTab() {
  auto* layout = new QVBoxLayout(bsSkinTabSheet2);
  layout->setContentsMargins(2, 2, 2, 2);
  AboutTree = new QTreeWidget(bsSkinTabSheet2);
  AboutTree->setObjectName(QStringLiteral("AboutTree"));
  AboutTree->setHeaderHidden(true);
  AboutTree->setColumnCount(1);
  AboutTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
  AboutTree->setSelectionMode(QAbstractItemView::SingleSelection);
  AboutTree->setIconSize(QSize(ImageList::kSmallSize, ImageList::kSmallSize));
  auto* root = new QTreeWidgetItem(AboutTree, {QStringLiteral("Missivo 3.3")});
  root->setIcon(0, ImageList::Icon(kImageTabAbout));
  for (const Node& node : History()) {
    AddNode(new QTreeWidgetItem(root, {QString::fromUtf8(node.title)}), node);
  }
  auto* credits = new QTreeWidgetItem(AboutTree, {QString::fromUtf8(Credits().title)});
  credits->setIcon(0, ImageList::Icon(kImageRowContact));
  AddNode(credits, Credits());
  // The current version and the credits open; older versions fold away.
  root->setExpanded(true);
  root->child(0)->setExpanded(true);
  credits->setExpanded(true);
  layout->addWidget(AboutTree);
}

}  // namespace missivo
