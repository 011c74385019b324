// The list tabs (messages, archive with its edit panel, phonebook) and the
// terminal tab.
#include <QComboBox>
#include <QCompleter>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "app/conversation_view.h"
#include "app/main_window.h"
#include "app/row_filter_proxy.h"
#include "app/row_model.h"
#include "app/search_bar.h"

namespace missivo {
namespace {

const std::vector<ListColumn>& MessageColumns() {
  static const std::vector<ListColumn> columns = {
      {QStringLiteral("Сообщение"), 0},    {QStringLiteral("От"), 150},
      {QStringLiteral("Дата/Время"), 150}, {QStringLiteral("Размер"), 50},
      {QStringLiteral("Индекс"), 50},      {QStringLiteral("Тип"), 80},
  };
  return columns;
}

// A list view of a new core row list; with `shown`, through a filter proxy.
QTreeView* ListView(QWidget* page, const char* name, RowListModel** model,
                    const std::vector<ListColumn>& columns, RowFilterProxy** shown = nullptr) {
  auto* view = new QTreeView(page);
  view->setObjectName(QString::fromLatin1(name));
  *model = new RowListModel(static_cast<int>(columns.size()), view);
  (*model)->setObjectName(QString::fromLatin1(name) + QStringLiteral("Rows"));
  if (shown != nullptr) {
    *shown = new RowFilterProxy(*model, view);
    (*shown)->setObjectName(QString::fromLatin1(name) + QStringLiteral("Shown"));
  }
  SetUpListView(view, *model, columns, shown != nullptr ? *shown : nullptr);
  return view;
}

void AttachPopup(QTreeView* view, QMenu* popup) {
  view->setContextMenuPolicy(Qt::CustomContextMenu);
  QObject::connect(view, &QWidget::customContextMenuRequested, view,
                   [view, popup](QPoint at) { popup->popup(view->viewport()->mapToGlobal(at)); });
}

QVBoxLayout* PageLayout(QWidget* page) {
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->setSpacing(2);
  return layout;
}

QLabel* Label(QWidget* owner, const char* name, const QString& text) {
  auto* label = new QLabel(text, owner);
  label->setObjectName(QString::fromLatin1(name));
  return label;
}

QPushButton* Button(QWidget* owner, const char* name, const QString& text) {
  auto* button = new QPushButton(text, owner);
  button->setObjectName(QString::fromLatin1(name));
  return button;
}

QLineEdit* Edit(QWidget* owner, const char* name) {
  auto* edit = new QLineEdit(owner);
  edit->setObjectName(QString::fromLatin1(name));
  return edit;
}

}  // namespace

void TForm1::BuildMessageTabs() {
  QVBoxLayout* messages = PageLayout(SMSTAB);
  List1Search = new SearchBar(QStringLiteral("List1Search"), /*full=*/true, SMSTAB);
  messages->addWidget(List1Search);
  List1 = ListView(SMSTAB, "List1", &List1Rows, MessageColumns(), &List1Shown);
  AttachPopup(List1, bsSkinPopupMenu2);
  messages->addWidget(List1);

  QVBoxLayout* archive = PageLayout(ARCHIVETAB);
  List4Search = new SearchBar(QStringLiteral("List4Search"), /*full=*/true, ARCHIVETAB);
  archive->addWidget(List4Search);
  List4 = ListView(ARCHIVETAB, "List4", &List4Rows, MessageColumns(), &List4Shown);
  AttachPopup(List4, bsSkinPopupMenu1);
  archive->addWidget(List4, 1);

  SMSEdit = new QWidget(ARCHIVETAB);
  SMSEdit->setObjectName(QStringLiteral("SMSEdit"));
  SMSEdit->setMinimumHeight(96);
  auto* grid = new QGridLayout(SMSEdit);
  grid->setContentsMargins(4, 4, 4, 4);
  Label3 = Label(SMSEdit, "Label3", QStringLiteral("Дата/Время:"));
  bsSkinStdLabel5 = Label(SMSEdit, "bsSkinStdLabel5", QStringLiteral("Индекс:"));
  bsSkinStdLabel6 = Label(SMSEdit, "bsSkinStdLabel6", QStringLiteral("Тип:"));
  bsSkinStdLabel7 = Label(SMSEdit, "bsSkinStdLabel7", QStringLiteral("Сообщение:"));
  E2 = Edit(SMSEdit, "E2");
  E2->setText(QStringLiteral(".."));
  E3 = Edit(SMSEdit, "E3");
  E4 = Edit(SMSEdit, "E4");
  M1 = new QPlainTextEdit(SMSEdit);
  M1->setObjectName(QStringLiteral("M1"));
  bsSkinButton4 = Button(SMSEdit, "bsSkinButton4", QStringLiteral("Сохранить"));
  CancelEdit = Button(SMSEdit, "CancelEdit", QStringLiteral("Отмена"));
  grid->addWidget(Label3, 0, 0);
  grid->addWidget(E2, 0, 1);
  grid->addWidget(bsSkinStdLabel5, 0, 2);
  grid->addWidget(E3, 0, 3);
  grid->addWidget(bsSkinStdLabel6, 0, 4);
  grid->addWidget(E4, 0, 5);
  grid->addWidget(bsSkinStdLabel7, 1, 0, Qt::AlignTop);
  grid->addWidget(M1, 1, 1, 1, 5);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(bsSkinButton4);
  buttons->addWidget(CancelEdit);
  grid->addLayout(buttons, 2, 0, 1, 6);
  grid->setColumnStretch(1, 2);
  grid->setColumnStretch(3, 1);
  grid->setColumnStretch(5, 1);
  grid->setRowStretch(1, 1);
  SMSEdit->hide();
  archive->addWidget(SMSEdit, 1);

  List2 = ListView(bsSkinTabSheet1, "List2", &List2Rows,
                   {{QStringLiteral("Имя"), 0}, {QStringLiteral("Номер"), 150}});
  PageLayout(bsSkinTabSheet1)->addWidget(List2);

  Conversations = new ConversationView(List4Rows, CONVTAB);
  PageLayout(CONVTAB)->addWidget(Conversations);
}

void TForm1::BuildTerminalTab() {
  QVBoxLayout* layout = PageLayout(bsSkinTabSheet6);
  auto* row = new QHBoxLayout;
  row->setSpacing(4);
  ATField = new QComboBox(bsSkinTabSheet6);
  ATField->setObjectName(QStringLiteral("ATField"));
  ATField->setEditable(true);
  ATField->setInsertPolicy(QComboBox::NoInsert);
  ATField->setDuplicatesEnabled(true);
  // The history stays in the list; completing inline would send "ATI" for "AT".
  ATField->setCompleter(nullptr);
  bsSkinButton1 = Button(bsSkinTabSheet6, "bsSkinButton1", QStringLiteral("Отправить"));
  bsSkinButton2 = Button(bsSkinTabSheet6, "bsSkinButton2", QStringLiteral("Очистить"));
  bsSkinButton3 = Button(bsSkinTabSheet6, "bsSkinButton3", QStringLiteral("Сохранить"));
  row->addWidget(ATField, 1);
  row->addWidget(bsSkinButton1);
  row->addWidget(bsSkinButton2);
  row->addWidget(bsSkinButton3);
  layout->addLayout(row);

  TermSkrin = new QPlainTextEdit(bsSkinTabSheet6);
  TermSkrin->setObjectName(QStringLiteral("TermSkrin"));
  TermSkrin->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  // White page, black sans-serif text 12 pixels high, whatever the skin.
  QFont font(QStringLiteral("Arial"));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(12);
  TermSkrin->setFont(font);
  TermSkrin->setStyleSheet(
      QStringLiteral("QPlainTextEdit#TermSkrin { background: white; color: black; }"));
  layout->addWidget(TermSkrin, 1);
}

}  // namespace missivo
