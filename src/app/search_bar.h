// The search bar above a message list and inside the conversations: a search
// field that filters as you type, a contact/number chooser, a date range and
// the kind. Esc in any of its fields clears it. It only edits a RowFilter; the
// owner applies it.
#pragma once

#include <QComboBox>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "store/row_search.h"

class QLabel;
class QLineEdit;

namespace missivo {

class LanguageLines;
class SettingsStore;

// The chooser of a correspondent: editable (a number or name may be typed),
// its list filled from `Source` each time it opens.
class ContactChooser : public QComboBox {
  Q_OBJECT

 public:
  struct Choice {
    QString shown;  // "Мама (+79035550101)"
    QString value;  // what the filter takes: the number, or the name
  };
  explicit ContactChooser(QWidget* parent = nullptr);
  std::function<std::vector<Choice>()> Source;
  void showPopup() override;

  // The correspondent chosen or typed; empty for everyone.
  QString Value() const;
  void SetValue(const QString& value);
  // The caption of the first item, which stands for everyone.
  void SetEveryoneCaption(const QString& caption);

 private:
  QString everyone_;
};

class SearchBar : public QWidget {
  Q_OBJECT

 public:
  // `name` names the bar and its fields (`name` + "Field", ...); `full` adds
  // the chooser, the dates and the kind (the conversation view has the field only).
  SearchBar(const QString& name, bool full, QWidget* parent = nullptr);

  QLineEdit* Field = nullptr;
  ContactChooser* Contact = nullptr;
  QLabel* SinceLabel = nullptr;
  QLineEdit* Since = nullptr;
  QLabel* UntilLabel = nullptr;
  QLineEdit* Until = nullptr;
  QComboBox* Kind = nullptr;

  // The filter the controls show; a date that is not valid yet filters nothing.
  RowFilter Filter() const;
  // Empties every control (one filterChanged at the end).
  void Clear();
  // Puts the field's cursor in the search field, its text selected.
  void FocusField();

  void ApplyLanguage(const LanguageLines& language);
  // The bar's state under the settings keys `prefix` + "Search", "SearchFrom",
  // "SearchSince", "SearchUntil", "SearchKind".
  void SaveState(SettingsStore& settings, const std::string& prefix) const;
  void RestoreState(const SettingsStore& settings, const std::string& prefix);

 signals:
  void filterChanged();

 private:
  void Changed();
  bool quiet_ = false;  // while several controls change at once
};

}  // namespace missivo
