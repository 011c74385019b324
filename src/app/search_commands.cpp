// The window's finding and reading: the search bars above List1 and List4
// with their filter proxies (the tab captions show "shown of total" while a
// filter is on, the preview marks the matches, the bars' state is kept in the
// settings), Ctrl+F, the conversations tab, opening a row by double-click or
// Enter, and the From column fitted to its content on request.
#include <QAction>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QTabWidget>
#include <QTextBlock>
#include <QTimer>
#include <QTreeView>

#include "app/conversation_view.h"
#include "app/guard.h"
#include "app/main_window.h"
#include "app/row_filter_proxy.h"
#include "app/row_model.h"
#include "app/search_bar.h"
#include "shell/qt_text.h"
#include "store/conversations.h"
#include "store/row_search.h"

namespace missivo {
namespace {

// The correspondents of `rows` for a contact chooser, newest first.
std::vector<ContactChooser::Choice> ChoicesOf(const std::vector<Row>& rows) {
  std::vector<ContactChooser::Choice> choices;
  for (const Conversation& conversation : GroupConversations(rows)) {
    const QString name = QString::fromUtf8(conversation.name);
    const QString number = QString::fromUtf8(conversation.number);
    if (!name.isEmpty() && !number.isEmpty()) {
      choices.push_back({name + QStringLiteral(" (") + number + QLatin1Char(')'), number});
    } else {
      choices.push_back({name.isEmpty() ? number : name, name.isEmpty() ? number : name});
    }
  }
  return choices;
}

// A header menu with one item that fits the From column to its content.
void AddFitFromColumn(QTreeView* view, QAction* fit) {
  QHeaderView* header = view->header();
  header->setContextMenuPolicy(Qt::CustomContextMenu);
  QObject::connect(header, &QWidget::customContextMenuRequested, view, [view, fit](QPoint at) {
    QMenu menu(view);
    menu.addAction(fit);
    menu.exec(view->header()->mapToGlobal(at));
  });
}

// The search text of the bar that belongs to the tab shown.
QString SearchTextOf(const TForm1& form) {
  const QWidget* tab = form.bsSkinPageControl1->currentWidget();
  if (tab == form.SMSTAB) return form.List1Search->Field->text();
  if (tab == form.ARCHIVETAB) return form.List4Search->Field->text();
  return {};
}

}  // namespace

void TForm1::ConnectSearch() {
  const struct {
    SearchBar* bar;
    RowFilterProxy* shown;
    QTreeView* view;
    RowListModel* rows;
    const char* prefix;
  } lists[] = {{List1Search, List1Shown, List1, List1Rows, "List1"},
               {List4Search, List4Shown, List4, List4Rows, "List4"}};
  search_save_ = new QTimer(this);
  search_save_->setSingleShot(true);
  search_save_->setInterval(500);
  connect(search_save_, &QTimer::timeout, this, [this] { SaveSearchState(); });
  for (const auto& list : lists) {
    list.bar->Contact->Source = [rows = list.rows] { return ChoicesOf(rows->rows()); };
    connect(list.bar, &SearchBar::filterChanged, this,
            Guarded([this, list] { SearchChanged(list.bar, list.shown); }));
    connect(list.view, &QAbstractItemView::activated, this,
            [this, view = list.view](const QModelIndex& index) {
              RunGuarded([&] { OpenRow(view, index); });
            });
    auto* fit = new QAction(list.view);
    fit->setObjectName(QString::fromLatin1(list.prefix) + QStringLiteral("FitFrom"));
    connect(fit, &QAction::triggered, list.view,
            [view = list.view] { view->resizeColumnToContents(kColumnFrom); });
    AddFitFromColumn(list.view, fit);
  }
  connect(Conversations->Search, &SearchBar::filterChanged, search_save_,
          qOverload<>(&QTimer::start));
  auto* find = new QShortcut(QKeySequence::Find, this);
  find->setObjectName(QStringLiteral("FindShortcut"));
  connect(find, &QShortcut::activated, this, Guarded([this] { FindClick(); }));
}

void TForm1::SearchChanged(SearchBar* bar, RowFilterProxy* shown) {
  shown->SetFilter(bar->Filter());
  UpdateTabCaptions();
  HighlightPreview();
  search_save_->start();
}

void TForm1::SaveSearchState() {
  search_save_->stop();
  List1Search->SaveState(RzRegIniFile1, "List1");
  List4Search->SaveState(RzRegIniFile1, "List4");
  WriteSetting("ConversationsSearch", FromQString(Conversations->Search->Field->text()));
}

void TForm1::ApplySearchLanguage() {
  List1Search->ApplyLanguage(Lang);
  List4Search->ApplyLanguage(Lang);
  Conversations->ApplyLanguage(Lang);
  bsSkinPageControl1->setTabText(bsSkinPageControl1->indexOf(CONVTAB),
                                 ToQString(LangText("Str121")));
  for (QTreeView* view : {List1, List4}) {
    if (auto* fit = view->findChild<QAction*>(view->objectName() + QStringLiteral("FitFrom")))
      fit->setText(ToQString(LangText("Str126")));
  }
}

void TForm1::RestoreSearchState() {
  List1Search->RestoreState(RzRegIniFile1, "List1");
  List4Search->RestoreState(RzRegIniFile1, "List4");
  Conversations->Search->Field->setText(ToQString(ReadSetting("ConversationsSearch")));
  search_save_->stop();  // nothing new to write
}

void TForm1::HighlightPreview() {
  QList<QTextEdit::ExtraSelection> marks;
  const QString search = SearchTextOf(*this);
  if (!search.isEmpty()) {
    const QString shown = Text1->toPlainText();
    const QByteArray utf8 = shown.toUtf8();
    const QByteArray search_utf8 = search.toUtf8();
    QTextCharFormat mark;
    mark.setBackground(QColor(255, 214, 0));
    mark.setForeground(QColor(0, 0, 0));
    for (const auto& [first, end] :
         MatchRanges(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())),
                     std::string_view(search_utf8.constData(),
                                      static_cast<std::size_t>(search_utf8.size())))) {
      QTextCursor cursor(Text1->document());
      cursor.setPosition(static_cast<int>(
          QString::fromUtf8(utf8.constData(), static_cast<qsizetype>(first)).size()));
      cursor.setPosition(
          static_cast<int>(QString::fromUtf8(utf8.constData(), static_cast<qsizetype>(end)).size()),
          QTextCursor::KeepAnchor);
      marks.append({cursor, mark});
    }
  }
  Text1->setExtraSelections(marks);
}

void TForm1::FindClick() {
  QWidget* tab = bsSkinPageControl1->currentWidget();
  if (tab == CONVTAB) {
    Conversations->Search->FocusField();
    return;
  }
  if (tab != SMSTAB) bsSkinPageControl1->setCurrentWidget(ARCHIVETAB);
  (bsSkinPageControl1->currentWidget() == SMSTAB ? List1Search : List4Search)->FocusField();
}

void TForm1::OpenRow(QTreeView* view, const QModelIndex& index) {
  if (!index.isValid()) return;
  if (view == List4) {
    OpenArchiveEdit(CoreRow(view->model(), index.row()));
  } else {
    ShowPreview(view, List1Rows, index.row());
  }
}

}  // namespace missivo
