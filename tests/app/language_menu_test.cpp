// Language files: the search, the menu, the remembered choice and the texts
// applied to the windows.
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>

#include "app/check_box.h"
#include "app/file_dialog.h"
#include "app/password_windows.h"
#include "app/row_model.h"
#include "app/search_bar.h"
#include "app/status_panel.h"
#include "app_test_support.h"
#include "text/default_language.h"
#include "text/lines.h"

namespace missivo::test {
namespace {

using LanguageMenuTest = AppTest;

QAction* Checked(const QMenu* menu) {
  QAction* found = nullptr;
  for (QAction* item : menu->actions()) {
    if (item->isChecked()) {
      EXPECT_EQ(found, nullptr) << "two items carry the check mark";
      found = item;
    }
  }
  return found;
}

QAction* Item(const QMenu* menu, const QString& caption) {
  for (QAction* item : menu->actions()) {
    if (item->text() == caption) return item;
  }
  ADD_FAILURE() << "no item " << caption.toStdString();
  return nullptr;
}

// A language file: the Russian one with its name line and one text replaced.
std::string LanguageFile(const std::string& name, int key, const std::string& text) {
  auto lines = DefaultRussianLines();
  lines[0] = "Str0=" + name;
  lines[static_cast<std::size_t>(key)] = "Str" + std::to_string(key) + "=" + text;
  return JoinCrLf(lines);
}

TEST_F(LanguageMenuTest, SwitchingToEnglishAppliesEveryText) {
  auto program = StartProgram();
  TForm1& form = program->form1();
  form.bsSkinPageControl1->setTabText(1, Q("Архив (2)"));

  Item(form.N14, Q("English"))->trigger();

  EXPECT_EQ(Checked(form.N14)->text(), Q("English"));
  EXPECT_EQ(StoredSettings().at("LngName"), "English");
  EXPECT_EQ(form.FIle1->title(), Q("File"));
  EXPECT_EQ(form.N1->title(), Q("Phone"));
  EXPECT_EQ(form.N2->title(), Q("Extras"));
  EXPECT_EQ(form.N3->text(), Q("About"));
  EXPECT_EQ(form.N9->text(), Q("Exit"));
  EXPECT_EQ(form.N21->text(), Q("Delete"));
  EXPECT_EQ(form.MenuItem4->text(), Q("Save all"));
  EXPECT_EQ(form.ConnB->text(), Q("Connect"));
  EXPECT_EQ(form.PhoneKindLabel->text(), Q("Phone type:"));
  EXPECT_EQ(form.PhoneKindBox->itemText(2), Q("Standard (3GPP)"));
  EXPECT_EQ(form.bsSkinSpeedButton1->text(), Q("Program protection"));
  EXPECT_EQ(form.bsSkinPageControl1->tabText(0), Q("Messages"));
  EXPECT_EQ(form.bsSkinPageControl1->tabText(1), Q("Archive"));  // without the count
  EXPECT_EQ(form.bsSkinPageControl1->tabText(2), Q("Conversations"));
  EXPECT_EQ(form.bsSkinPageControl1->tabText(6), Q("About"));
  EXPECT_EQ(form.List4Search->Field->placeholderText(), Q("Search"));
  EXPECT_EQ(form.List4Search->Kind->itemText(4), Q("Imported"));
  EXPECT_EQ(form.List1Rows->ColumnTitle(1), Q("From"));
  EXPECT_EQ(form.List4Rows->ColumnTitle(2), Q("Date/Time"));
  EXPECT_EQ(form.List2Rows->ColumnTitle(0), Q("Name"));
  EXPECT_EQ(form.List2Rows->ColumnTitle(1), Q("Number"));
  EXPECT_EQ(form.Panel1->Text(), Q("Status: Disconnected"));
  EXPECT_EQ(form.Check7->text(), Q("Read the phonebook every time messages are read"));
  EXPECT_EQ(form.CancelEdit->text(), Q("Cancel"));
  EXPECT_EQ(form.SkinMenu->actions().last()->text(), Q("Default"));
  EXPECT_EQ(form.PassForm->windowTitle(), Q("Program protection"));
  EXPECT_EQ(form.PassForm->C3->text(), Q("Repeat password:"));
  EXPECT_EQ(form.PassForm->B1->text(), Q("Cancel"));
  EXPECT_EQ(
      ConvertDialogFilter(form.Open1->Filter),
      (QStringList{Q("P2kTools messages (*.txt)"), Q("Missivo 1.x incoming messages (*.msg)")}));
  EXPECT_EQ(ConvertDialogFilter(form.Save->Filter),
            (QStringList{Q("Text file (*.txt)"), Q("All files (*.*)")}));

  Item(form.N14, Q("Українська"))->trigger();
  EXPECT_EQ(form.N1->title(), Q("Телефон"));
  EXPECT_EQ(form.bsSkinPageControl1->tabText(5), Q("Налаштування"));
  EXPECT_EQ(form.bsSkinPageControl1->tabText(2), Q("Листування"));
  EXPECT_EQ(form.List1Rows->ColumnTitle(0), Q("Повідомлення"));

  // The next start remembers the choice.
  auto next = StartProgram();
  EXPECT_EQ(Checked(next->form1().N14)->text(), Q("Українська"));
  EXPECT_EQ(next->form1().bsSkinSpeedButton3->text(), Q("Зчитати"));
}

TEST_F(LanguageMenuTest, BundledLanguageFilesHoldEveryEntryInOrder) {
  for (const char* name : {"English.lng", "Ukrainian.lng"}) {
    SCOPED_TRACE(name);
    const std::string bytes =
        ReadBytes(std::filesystem::path(MISSIVO_SOURCE_DIR) / "resources" / "languages" / name);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    const auto lines = SplitCrLf(bytes);
    ASSERT_EQ(lines.size(), DefaultRussianLines().size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const std::string key = "Str" + std::to_string(i) + "=";
      EXPECT_EQ(lines[i].substr(0, key.size()), key);
      EXPECT_EQ(lines[i].find('\n'), std::string::npos);
    }
    // The filters keep the masks of the Russian ones.
    for (int key : {96, 97, 98}) {
      const auto masks = [](const std::string& line) {
        QStringList parts = QString::fromLatin1(line).split(QLatin1Char('|'));
        QStringList kept;
        for (qsizetype p = 1; p < parts.size(); p += 2)
          kept << parts[p];
        return kept;
      };
      EXPECT_EQ(masks(lines[static_cast<std::size_t>(key)]),
                masks(DefaultRussianLines()[static_cast<std::size_t>(key)]));
    }
  }
  EXPECT_EQ(LineAt(SplitCrLf(ReadBytes(std::filesystem::path(MISSIVO_SOURCE_DIR) / "resources" /
                                       "languages" / "Ukrainian.lng")),
                   0),
            W("Str0=Українська"));
}

TEST_F(LanguageMenuTest, MenuFollowsTheFilesFound) {
  const auto language = folder() / "program" / "Language";
  std::filesystem::create_directories(language / "more");
  WriteBytes(language / "Russian.LNG", LanguageFile("Upper case", 1, "x"));  // not offered
  WriteBytes(language / "twinlng", LanguageFile("Twin", 1, "Twin at the top"));
  WriteBytes(language / "more" / "twin.lng", LanguageFile("Twin", 1, "Twin in a folder"));
  StoreSettings({{"LngName", "Twin"}});

  auto program = StartProgram();
  TForm1& form = program->form1();
  // Names sort byte by byte in each folder; a sub-folder's files follow its entry.
  EXPECT_EQ(Captions(form.N14), (std::vector<QString>{Q("English"), Q("Русский    (Автор: Varsk)"),
                                                      Q("Українська"), Q("Twin"), Q("Twin")}));
  // Both twins are clicked in menu order; the later one ends marked and applied.
  EXPECT_EQ(Checked(form.N14), form.N14->actions().at(4));
  EXPECT_EQ(form.ConnB->text(), Q("Twin at the top"));
  EXPECT_EQ(StoredSettings().at("LngName"), "Twin");
}

TEST_F(LanguageMenuTest, UnknownRememberedNameFallsBackToRussian) {
  StoreSettings({{"LngName", "Klingon"}});
  auto program = StartProgram();
  EXPECT_EQ(Checked(program->form1().N14)->text(), Q("Русский    (Автор: Varsk)"));
  EXPECT_EQ(StoredSettings().at("LngName"), "Русский    (Автор: Varsk)");
}

TEST_F(LanguageMenuTest, LanguageWhoseFileIsGoneOnlyMovesTheMark) {
  auto program = StartProgram();
  TForm1& form = program->form1();
  std::filesystem::remove(folder() / "program" / "Language" / "English.lng");
  Item(form.N14, Q("English"))->trigger();
  EXPECT_EQ(Checked(form.N14)->text(), Q("English"));
  EXPECT_EQ(StoredSettings().at("LngName"), "English");
  EXPECT_EQ(form.ConnB->text(), Q("Подключить"));
}

}  // namespace
}  // namespace missivo::test
