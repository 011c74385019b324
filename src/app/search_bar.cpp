#include "app/search_bar.h"

#include <QAbstractItemView>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

#include "shell/qt_text.h"
#include "store/settings_interface.h"
#include "text/language.h"

namespace missivo {
namespace {

// Kind chooser positions: 0 is every kind.
constexpr RowKind kKinds[] = {RowKind::kIncoming, RowKind::kOutgoing, RowKind::kDraft,
                              RowKind::kImported};

// Esc in a field of the bar clears the whole bar.
class EscapeClears : public QObject {
 public:
  EscapeClears(SearchBar* bar) : QObject(bar), bar_(bar) {}

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::KeyPress ||
        static_cast<QKeyEvent*>(event)->key() != Qt::Key_Escape)
      return false;
    bar_->Clear();
    return true;
  }

 private:
  SearchBar* bar_;
};

QString Text(const LanguageLines& language, const char* key) {
  return ToQString(language.LangText(key));
}

std::string DayOf(const QLineEdit* edit) {
  return ParseDay(FromQString(edit->text().trimmed())).value_or("");
}

// A date field shows red text while what it holds is no date.
void MarkDate(QLineEdit* edit) {
  const QString text = edit->text().trimmed();
  const bool bad = !text.isEmpty() && !ParseDay(FromQString(text));
  edit->setStyleSheet(bad ? QStringLiteral("color: #c00000;") : QString());
}

}  // namespace

ContactChooser::ContactChooser(QWidget* parent) : QComboBox(parent) {
  setEditable(true);
  setInsertPolicy(QComboBox::NoInsert);
  setMaxVisibleItems(20);
}

void ContactChooser::SetEveryoneCaption(const QString& caption) {
  const QSignalBlocker quiet(this);
  const QString value = Value();
  everyone_ = caption;
  if (count() == 0) addItem(caption);
  setItemText(0, caption);
  setEditText(value);
  // An empty field stands for everyone and says so.
  lineEdit()->setPlaceholderText(caption);
}

void ContactChooser::showPopup() {
  if (Source) {
    const QSignalBlocker quiet(this);
    const QString typed = currentText();
    clear();
    addItem(everyone_);
    for (const Choice& choice : Source())
      addItem(choice.shown, choice.value);
    setEditText(typed);
  }
  QComboBox::showPopup();
}

QString ContactChooser::Value() const {
  const QString text = currentText().trimmed();
  if (text.isEmpty() || text == everyone_) return {};
  const int found = findText(text);
  if (found > 0) return itemData(found).toString();
  return text;
}

void ContactChooser::SetValue(const QString& value) {
  const QSignalBlocker quiet(this);
  setEditText(value);
}

SearchBar::SearchBar(const QString& name, bool full, QWidget* parent) : QWidget(parent) {
  setObjectName(name);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(4);
  auto* escape = new EscapeClears(this);

  Field = new QLineEdit(this);
  Field->setObjectName(name + QStringLiteral("Field"));
  Field->setClearButtonEnabled(true);
  Field->installEventFilter(escape);
  layout->addWidget(Field, 3);
  connect(Field, &QLineEdit::textChanged, this, &SearchBar::Changed);
  if (!full) return;

  Contact = new ContactChooser(this);
  Contact->setObjectName(name + QStringLiteral("Contact"));
  Contact->installEventFilter(escape);
  Contact->lineEdit()->installEventFilter(escape);
  layout->addWidget(Contact, 2);
  connect(Contact, &QComboBox::activated, this, [this](int index) {
    if (index == 0) Contact->SetValue({});  // "everyone" leaves the field empty
    Changed();
  });
  connect(Contact->lineEdit(), &QLineEdit::editingFinished, this, &SearchBar::Changed);

  const auto date = [&](QLabel*& label, QLineEdit*& edit, const QString& suffix) {
    label = new QLabel(this);
    label->setObjectName(name + suffix + QStringLiteral("Label"));
    edit = new QLineEdit(this);
    edit->setObjectName(name + suffix);
    edit->setMaxLength(10);
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("00.00.00000")) + 12);
    edit->installEventFilter(escape);
    label->setBuddy(edit);
    layout->addWidget(label);
    layout->addWidget(edit);
    connect(edit, &QLineEdit::textChanged, this, [this, edit] {
      MarkDate(edit);
      Changed();
    });
  };
  date(SinceLabel, Since, QStringLiteral("Since"));
  date(UntilLabel, Until, QStringLiteral("Until"));

  Kind = new QComboBox(this);
  Kind->setObjectName(name + QStringLiteral("Kind"));
  Kind->installEventFilter(escape);
  for (std::size_t i = 0; i <= std::size(kKinds); ++i)
    Kind->addItem(QString());
  layout->addWidget(Kind, 1);
  connect(Kind, &QComboBox::currentIndexChanged, this, &SearchBar::Changed);
}

RowFilter SearchBar::Filter() const {
  RowFilter filter;
  const QByteArray text = Field->text().toUtf8();
  filter.text.assign(text.constData(), static_cast<std::size_t>(text.size()));
  if (Contact == nullptr) return filter;
  const QByteArray from = Contact->Value().toUtf8();
  filter.from.assign(from.constData(), static_cast<std::size_t>(from.size()));
  filter.since = DayOf(Since);
  filter.until = DayOf(Until);
  if (Kind->currentIndex() > 0)
    filter.kind = kKinds[static_cast<std::size_t>(Kind->currentIndex() - 1)];
  return filter;
}

void SearchBar::Changed() {
  if (!quiet_) emit filterChanged();
}

void SearchBar::Clear() {
  quiet_ = true;
  Field->clear();
  if (Contact != nullptr) {
    Contact->SetValue({});
    Since->clear();
    Until->clear();
    Kind->setCurrentIndex(0);
  }
  quiet_ = false;
  emit filterChanged();
}

void SearchBar::FocusField() {
  Field->setFocus(Qt::ShortcutFocusReason);
  Field->selectAll();
}

void SearchBar::ApplyLanguage(const LanguageLines& language) {
  Field->setPlaceholderText(Text(language, "Str114"));
  if (Contact == nullptr) return;
  Contact->SetEveryoneCaption(Text(language, "Str115"));
  SinceLabel->setText(Text(language, "Str116"));
  UntilLabel->setText(Text(language, "Str117"));
  Since->setPlaceholderText(Text(language, "Str127"));
  Until->setPlaceholderText(Text(language, "Str127"));
  const char* kinds[] = {"Str118", "Str67", "Str68", "Str69", "Str119"};
  for (int i = 0; i < Kind->count(); ++i)
    Kind->setItemText(i, Text(language, kinds[i]));
}

void SearchBar::SaveState(SettingsStore& settings, const std::string& prefix) const {
  const std::string section(kSettingsSection);
  settings.WriteString(section, prefix + "Search", FromQString(Field->text()));
  if (Contact == nullptr) return;
  settings.WriteString(section, prefix + "SearchFrom", FromQString(Contact->Value()));
  settings.WriteString(section, prefix + "SearchSince", FromQString(Since->text()));
  settings.WriteString(section, prefix + "SearchUntil", FromQString(Until->text()));
  const int kind = Kind->currentIndex();
  settings.WriteString(
      section, prefix + "SearchKind",
      kind > 0 ? std::string(KindName(kKinds[static_cast<std::size_t>(kind - 1)])) : "");
}

void SearchBar::RestoreState(const SettingsStore& settings, const std::string& prefix) {
  const std::string section(kSettingsSection);
  const auto read = [&](const char* key) {
    return ToQString(settings.ReadString(section, prefix + key, ""));
  };
  quiet_ = true;
  Field->setText(read("Search"));
  if (Contact != nullptr) {
    Contact->SetValue(read("SearchFrom"));
    Since->setText(read("SearchSince"));
    Until->setText(read("SearchUntil"));
    const std::optional<RowKind> kind =
        KindOfName(settings.ReadString(section, prefix + "SearchKind", ""));
    int position = 0;
    for (std::size_t i = 0; kind && i < std::size(kKinds); ++i)
      if (kKinds[i] == *kind) position = static_cast<int>(i) + 1;
    Kind->setCurrentIndex(position);
  }
  quiet_ = false;
  emit filterChanged();
}

}  // namespace missivo
