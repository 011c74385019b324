// The conversations tab: the archive's correspondents (name or number,
// message count, date of the last message), newest first, and the chosen
// one's messages as a chat: incoming on the left, outgoing and drafts on the
// right, whole texts, a line with the date where the day changes. Its search
// bar narrows both to the messages that match and marks the matches.
#pragma once

#include <QAbstractTableModel>
#include <QWidget>
#include <cstddef>
#include <vector>

#include "store/conversations.h"
#include "store/row_search.h"

class QSplitter;
class QTextEdit;
class QTreeView;

namespace missivo {

class LanguageLines;
class RowListModel;
class SearchBar;

// The correspondents list: one row per conversation that has messages shown.
class ConversationListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  using QAbstractTableModel::QAbstractTableModel;

  struct Entry {
    const Conversation* conversation;
    std::size_t shown;  // messages that pass the search
  };
  void SetEntries(std::vector<Entry> entries);
  const Entry* EntryAt(int row) const;
  // The three column headers, and what a correspondent without name or
  // number (a draft never addressed) is called.
  void SetTitles(const QStringList& titles, const QString& no_number);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  std::vector<Entry> entries_;
  QStringList titles_;
  QString no_number_;
};

class ConversationView : public QWidget {
  Q_OBJECT

 public:
  // Shows the rows of `archive`; it follows the archive's changes when shown.
  ConversationView(RowListModel* archive, QWidget* parent = nullptr);
  // The list of correspondents is emptied first: its view outlives the
  // groups it points into while QWidget deletes the children.
  ~ConversationView() override;

  SearchBar* Search = nullptr;
  QTreeView* People = nullptr;
  QTextEdit* Chat = nullptr;

  void ApplyLanguage(const LanguageLines& language);
  // Groups the archive again when it changed since the last time.
  void Refresh();
  // Shows the messages of the correspondent at `row` of People.
  void Open(int row);
  // The conversation shown in Chat, or null.
  const Conversation* Current() const { return current_; }
  const std::vector<Conversation>& Conversations() const { return conversations_; }

 protected:
  void showEvent(QShowEvent* event) override;
  // A new skin's colours: the chat is drawn again in them.
  void changeEvent(QEvent* event) override;

 private:
  void ApplySearch();
  // Shows the newest `shown_limit_` messages of the conversation (those that
  // pass the search), scrolled to the newest, or with the first of the last
  // `keep_top_of_last_blocks` blocks at the top (those shown before).
  void ShowChat(int keep_top_of_last_blocks = 0);
  // Scrolled to the top with older messages left out: shows more of them,
  // the messages in view staying where they are.
  void ShowEarlier();

  RowListModel* archive_;
  ConversationListModel* people_model_ = nullptr;
  QSplitter* splitter_ = nullptr;
  std::vector<Conversation> conversations_;
  const Conversation* current_ = nullptr;
  SearchIndex index_;
  std::vector<bool> matches_;  // per archive row; empty without a search
  bool stale_ = true;
  QString delivered_word_;
  // A long conversation opens with its newest messages; scrolling to the top
  // brings in earlier ones (laying out thousands at once takes long).
  std::size_t shown_limit_ = 0;
  bool more_above_ = false;
  bool showing_ = false;
};

}  // namespace missivo
