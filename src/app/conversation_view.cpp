#include "app/conversation_view.h"

#include <QAbstractTextDocumentLayout>
#include <QEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QSplitter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include "app/compose_texts.h"
#include "app/row_model.h"
#include "app/search_bar.h"
#include "phone/delivery_reports.h"
#include "shell/qt_text.h"
#include "store/row_facts.h"
#include "text/language.h"

namespace missivo {
namespace {

// Messages a conversation opens with; scrolling to the top doubles them.
constexpr std::size_t kChatPage = 400;

QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A message text for one block: line breaks as line separators, so that the
// bubble stays one block.
QString OneBlock(std::string_view utf8) {
  QString text = FromUtf8(utf8);
  text.replace(QStringLiteral("\r\n"), QString(QChar::LineSeparator));
  text.replace(QLatin1Char('\n'), QChar::LineSeparator);
  text.replace(QLatin1Char('\r'), QChar::LineSeparator);
  return text;
}

QColor Mix(const QColor& a, const QColor& b, double share_of_b) {
  return QColor::fromRgbF(
      static_cast<float>(a.redF() * (1 - share_of_b) + b.redF() * share_of_b),
      static_cast<float>(a.greenF() * (1 - share_of_b) + b.greenF() * share_of_b),
      static_cast<float>(a.blueF() * (1 - share_of_b) + b.blueF() * share_of_b));
}

// The formats of the chat, from the palette of the skin in force.
struct ChatFormats {
  QTextBlockFormat incoming, outgoing, day;
  QTextCharFormat text, time, day_text, match;

  ChatFormats(const QPalette& palette, int side_margin) {
    const QColor base = palette.color(QPalette::Base);
    const QColor ink = palette.color(QPalette::Text);
    for (QTextBlockFormat* bubble : {&incoming, &outgoing}) {
      bubble->setTopMargin(6);
      bubble->setBottomMargin(0);
    }
    incoming.setAlignment(Qt::AlignLeft);
    incoming.setRightMargin(side_margin);
    incoming.setLeftMargin(6);
    incoming.setBackground(Mix(base, ink, 0.10));
    outgoing.setAlignment(Qt::AlignLeft);
    outgoing.setLeftMargin(side_margin);
    outgoing.setRightMargin(6);
    outgoing.setBackground(Mix(base, palette.color(QPalette::Highlight), 0.28));
    day.setAlignment(Qt::AlignHCenter);
    day.setTopMargin(12);
    text.setForeground(ink);
    time.setForeground(Mix(ink, base, 0.45));
    time.setFontPointSize(7.5);
    day_text = time;
    day_text.setFontWeight(QFont::Bold);
    match = text;
    match.setBackground(QColor(255, 214, 0));
    match.setForeground(QColor(0, 0, 0));
  }
};

// Inserts `utf8` with the ranges that match `search` in the match format.
void InsertMarked(QTextCursor& cursor, std::string_view utf8, std::string_view search,
                  const ChatFormats& formats) {
  std::size_t done = 0;
  if (!search.empty()) {
    for (const auto& [first, end] : MatchRanges(utf8, search)) {
      cursor.insertText(OneBlock(utf8.substr(done, first - done)), formats.text);
      cursor.insertText(OneBlock(utf8.substr(first, end - first)), formats.match);
      done = end;
    }
  }
  cursor.insertText(OneBlock(utf8.substr(done)), formats.text);
}

}  // namespace

// ---- ConversationListModel ----

void ConversationListModel::SetEntries(std::vector<Entry> entries) {
  beginResetModel();
  entries_ = std::move(entries);
  endResetModel();
}

const ConversationListModel::Entry* ConversationListModel::EntryAt(int row) const {
  return row >= 0 && row < static_cast<int>(entries_.size())
             ? &entries_[static_cast<std::size_t>(row)]
             : nullptr;
}

void ConversationListModel::SetTitles(const QStringList& titles, const QString& no_number) {
  titles_ = titles;
  no_number_ = no_number;
  if (!entries_.empty()) emit dataChanged(index(0, 0), index(rowCount() - 1, 0));
  emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

int ConversationListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(entries_.size());
}

int ConversationListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : 3;
}

QVariant ConversationListModel::data(const QModelIndex& index, int role) const {
  const Entry* entry = EntryAt(index.row());
  if (entry == nullptr || (role != Qt::DisplayRole && role != Qt::ToolTipRole)) return {};
  const Conversation& conversation = *entry->conversation;
  switch (index.column()) {
    case 0: {
      const QString title =
          conversation.Title().empty() ? no_number_ : FromUtf8(conversation.Title());
      if (role == Qt::ToolTipRole && !conversation.name.empty())
        return title + QStringLiteral(" (") + FromUtf8(conversation.number) + QLatin1Char(')');
      return title;
    }
    case 1:
      return entry->shown == conversation.rows.size()
                 ? QString::number(entry->shown)
                 : QStringLiteral("%1 / %2").arg(entry->shown).arg(conversation.rows.size());
    default:
      return ToQString(conversation.last_date_time);
  }
}

QVariant ConversationListModel::headerData(int section, Qt::Orientation orientation,
                                           int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
      section >= titles_.size())
    return {};
  return titles_[section];
}

// ---- ConversationView ----

ConversationView::ConversationView(RowListModel* archive, QWidget* parent)
    : QWidget(parent), archive_(archive) {
  setObjectName(QStringLiteral("Conversations"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->setSpacing(2);
  Search = new SearchBar(QStringLiteral("ConversationSearch"), /*full=*/false, this);
  layout->addWidget(Search);

  splitter_ = new QSplitter(Qt::Horizontal, this);
  splitter_->setObjectName(QStringLiteral("ConversationSplitter"));
  layout->addWidget(splitter_, 1);

  People = new QTreeView(splitter_);
  People->setObjectName(QStringLiteral("People"));
  people_model_ = new ConversationListModel(People);
  People->setModel(people_model_);
  People->setRootIsDecorated(false);
  People->setUniformRowHeights(true);
  People->setAllColumnsShowFocus(true);
  People->setSelectionBehavior(QAbstractItemView::SelectRows);
  People->setSelectionMode(QAbstractItemView::SingleSelection);
  People->setEditTriggers(QAbstractItemView::NoEditTriggers);
  People->header()->setStretchLastSection(false);
  People->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  People->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  People->header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);

  Chat = new QTextEdit(splitter_);
  Chat->setObjectName(QStringLiteral("Chat"));
  Chat->setReadOnly(true);
  Chat->setUndoRedoEnabled(false);
  Chat->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  splitter_->addWidget(People);
  splitter_->addWidget(Chat);
  splitter_->setStretchFactor(0, 2);
  splitter_->setStretchFactor(1, 3);

  connect(People->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) { Open(current.row()); });
  connect(Search, &SearchBar::filterChanged, this, [this] { ApplySearch(); });
  // At the top: within a line of it (moving the cursor to the start stops
  // at the document's margin).
  connect(Chat->verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
    if (value - Chat->verticalScrollBar()->minimum() < Chat->fontMetrics().height()) ShowEarlier();
  });
  connect(archive_, &QAbstractItemModel::modelReset, this, [this] {
    stale_ = true;
    if (isVisible()) Refresh();
  });
}

ConversationView::~ConversationView() {
  people_model_->SetEntries({});
}

void ConversationView::ApplyLanguage(const LanguageLines& language) {
  Search->ApplyLanguage(language);
  QStringList titles;
  for (const char* key : {"Str123", "Str124", "Str125"})
    titles << ToQString(language.LangText(key));
  people_model_->SetTitles(titles, ToQString(language.LangText("Str151")));
  delivered_word_ = ToQString(language.LangText(compose_texts::kDelivered));
}

void ConversationView::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  Refresh();
}

void ConversationView::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  // A skin's style sheet reaches the chat's own palette only once the chat is
  // polished again: drawn anew after the events of the change.
  if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange) {
    QTimer::singleShot(0, this, [this] {
      if (current_ == nullptr || showing_) return;
      Chat->ensurePolished();
      ShowChat();
    });
  }
}

void ConversationView::Refresh() {
  if (!stale_) return;
  stale_ = false;
  const std::string key = current_ != nullptr ? current_->key : std::string();
  current_ = nullptr;
  conversations_ = GroupConversations(archive_->rows());
  index_ = SearchIndex();
  ApplySearch();
  // The conversation shown before stays shown when it is still there.
  for (int row = 0; row < people_model_->rowCount(); ++row) {
    if (people_model_->EntryAt(row)->conversation->key == key) {
      People->setCurrentIndex(people_model_->index(row, 0));
      return;
    }
  }
}

void ConversationView::ApplySearch() {
  // Groups made from rows that have changed since are not searched; the
  // next Refresh makes new ones and searches them.
  if (stale_) {
    if (isVisible()) Refresh();
    return;
  }
  const RowFilter filter = Search->Filter();
  matches_.clear();
  if (filter.Active()) {
    if (index_.size() != archive_->rows().size()) index_ = SearchIndex(archive_->rows());
    matches_ = index_.Matches(filter);
  }
  std::vector<ConversationListModel::Entry> entries;
  entries.reserve(conversations_.size());
  for (const Conversation& conversation : conversations_) {
    std::size_t shown = conversation.rows.size();
    if (!matches_.empty()) {
      shown = 0;
      for (const std::size_t row : conversation.rows)
        shown += row < matches_.size() && matches_[row] ? 1 : 0;
    }
    if (shown > 0) entries.push_back({&conversation, shown});
  }
  const Conversation* keep = current_;
  people_model_->SetEntries(std::move(entries));
  int row = 0;
  for (int i = 0; keep != nullptr && i < people_model_->rowCount(); ++i)
    if (people_model_->EntryAt(i)->conversation == keep) row = i;
  if (people_model_->rowCount() == 0) {
    current_ = nullptr;
    Chat->clear();
    return;
  }
  const QSignalBlocker quiet(People->selectionModel());
  People->setCurrentIndex(people_model_->index(row, 0));
  current_ = people_model_->EntryAt(row)->conversation;
  ShowChat();
}

void ConversationView::Open(int row) {
  const ConversationListModel::Entry* entry = people_model_->EntryAt(row);
  current_ = entry != nullptr ? entry->conversation : nullptr;
  shown_limit_ = kChatPage;
  ShowChat();
}

void ConversationView::ShowEarlier() {
  QScrollBar* bar = Chat->verticalScrollBar();
  if (showing_ || !more_above_ || bar->maximum() == bar->minimum()) return;
  shown_limit_ *= 2;
  ShowChat(Chat->document()->blockCount());
}

void ConversationView::ShowChat(int keep_top_of_last_blocks) {
  const QScopedValueRollback<bool> busy(showing_, true);
  Chat->clear();
  more_above_ = false;
  if (shown_limit_ == 0) shown_limit_ = kChatPage;
  if (current_ == nullptr) return;
  const QByteArray search_bytes = Search->Field->text().toUtf8();
  const std::string_view search(search_bytes.constData(),
                                static_cast<std::size_t>(search_bytes.size()));
  const ChatFormats formats(Chat->palette(), std::max(40, Chat->viewport()->width() / 4));
  const std::vector<Row>& rows = archive_->rows();
  QTextCursor cursor(Chat->document());
  cursor.beginEditBlock();
  std::vector<std::size_t> shown;
  for (const std::size_t position : current_->rows) {
    if (position >= rows.size()) continue;
    if (!matches_.empty() && !(position < matches_.size() && matches_[position])) continue;
    shown.push_back(position);
  }
  more_above_ = shown.size() > shown_limit_;
  if (more_above_)
    shown.erase(shown.begin(), shown.end() - static_cast<std::ptrdiff_t>(shown_limit_));
  std::string day;
  bool first = true;
  for (const std::size_t position : shown) {
    const Row& row = rows[position];
    const std::string& date_time = SubItem(row, kDateTime);
    const std::string row_day = date_time.substr(0, std::min<std::size_t>(date_time.size(), 10));
    if (first || row_day != day) {
      if (!first) cursor.insertBlock();
      cursor.setBlockFormat(formats.day);
      cursor.insertText(ToQString(row_day), formats.day_text);
      day = row_day;
    }
    first = false;
    cursor.insertBlock();
    const std::optional<RowKind> kind = BestKind(row);
    cursor.setBlockFormat(kind == RowKind::kOutgoing || kind == RowKind::kDraft ? formats.outgoing
                                                                                : formats.incoming);
    InsertMarked(cursor, RowText(row), search, formats);
    const std::string time = date_time.size() > 11 ? date_time.substr(11) : std::string();
    cursor.insertText(QString(QChar::LineSeparator) + ToQString(time), formats.time);
    if (const std::optional<std::string> delivered = DeliveredTime(row)) {
      cursor.insertText(QStringLiteral(" \u2713 ") + DeliveredCaption(delivered_word_, *delivered),
                        formats.time);
    }
  }
  cursor.endEditBlock();
  // The newest message in view, as a chat opens (or the same messages as
  // before earlier ones came in above them).
  const QTextBlock top =
      Chat->document()->findBlockByNumber(Chat->document()->blockCount() - keep_top_of_last_blocks);
  if (keep_top_of_last_blocks > 0 && top.isValid()) {
    Chat->setTextCursor(QTextCursor(top));
    Chat->verticalScrollBar()->setValue(
        static_cast<int>(Chat->document()->documentLayout()->blockBoundingRect(top).top()));
  } else {
    Chat->moveCursor(QTextCursor::End);
    Chat->verticalScrollBar()->setValue(Chat->verticalScrollBar()->maximum());
  }
}

}  // namespace missivo
