// The "Язык" menu: one item per language file under "Language", the choice
// remembered as "LngName", and the texts of the chosen file applied to the windows.
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <filesystem>

#include "app/auto_backup_texts.h"
#include "app/check_box.h"
#include "app/exchange_texts.h"
#include "app/file_dialog.h"
#include "app/main_window.h"
#include "app/menu_items.h"
#include "app/password_windows.h"
#include "app/phone_kind_texts.h"
#include "app/row_model.h"
#include "app/status_panel.h"
#include "shell/folder_search.h"
#include "shell/language_choice.h"
#include "shell/language_files.h"
#include "shell/qt_text.h"
#include "shell/text_files.h"

namespace missivo {
void TForm1::BuildLanguageMenu() {
  LanguageFiles = FindFilesEndingWith((program_folder_ / "Language").string(), "lng",
                                      [] { QCoreApplication::processEvents(); });
  for (const std::string& path : LanguageFiles) {
    QAction* item = CaptionedItem(N14, LanguageCaption(path, ReadTextLines(path)));
    connect(item, &QAction::triggered, this, [this, item] { LanguageItemClick(item); });
  }

  const QList<QAction*> items = N14->actions();
  bool clicked = false;
  if (SettingExists("LngName")) {
    const std::string stored = ReadSetting("LngName", "");
    for (QAction* item : items) {
      if (CaptionOf(item) != stored) continue;
      LanguageItemClick(item);
      clicked = true;
    }
  }
  if (clicked || items.isEmpty()) return;
  // Without a remembered choice the program speaks its default language, the
  // Russian file, wherever the file search put it among the others.
  const std::string russian = (program_folder_ / "Language" / "Russian.lng").string();
  for (qsizetype i = 0; i < items.size(); ++i) {
    if (LanguageFiles[static_cast<std::size_t>(i)] == russian) {
      LanguageItemClick(items[i]);
      return;
    }
  }
  LanguageItemClick(items.first());
}

void TForm1::LanguageItemClick(QAction* item) {
  const QList<QAction*> items = N14->actions();
  for (QAction* each : items)
    each->setChecked(false);
  const qsizetype position = items.indexOf(item);
  if (position < 0 || position >= static_cast<qsizetype>(LanguageFiles.size())) return;
  const std::string& path = LanguageFiles[static_cast<std::size_t>(position)];
  item->setChecked(true);
  WriteSetting("LngName", CaptionOf(item));
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return;
  if (!LoadLanguageFile(path, Lang)) return;
  ApplyLanguage();
  update();
  menuBar()->update();
}

void TForm1::ApplyLanguage() {
  const auto text = [this](std::string_view key) { return LangString(key); };
  ConnB->setText(text("Str1"));
  N10->setText(text("Str1"));
  bsSkinSpeedButton2->setText(text("Str2"));
  N11->setText(text("Str2"));
  bsSkinSpeedButton3->setText(text("Str3"));
  bsSkinSpeedButton5->setText(text("Str4"));
  ApplyComposeLanguage();
  ShowPortState();
  bsSkinPageControl1->setTabText(bsSkinPageControl1->indexOf(SMSTAB), text("Str7"));
  bsSkinPageControl1->setTabText(bsSkinPageControl1->indexOf(ARCHIVETAB), text("Str8"));
  Label3->setText(text("Str9"));
  bsSkinStdLabel5->setText(text("Str10"));
  bsSkinStdLabel6->setText(text("Str11"));
  bsSkinStdLabel7->setText(text("Str12"));
  for (QPushButton* button : {bsSkinButton4, bsSkinButton3})
    button->setText(text("Str13"));
  for (QAction* item : {new1, N23, MenuItem3})
    item->setText(text("Str13"));
  CancelEdit->setText(text("Str14"));
  if (PassForm != nullptr) PassForm->B1->setText(text("Str14"));
  bsSkinPageControl1->setTabText(bsSkinPageControl1->indexOf(bsSkinTabSheet1), text("Str15"));
  bsSkinPageControl1->setTabText(bsSkinPageControl1->indexOf(bsSkinTabSheet6), text("Str16"));
  bsSkinButton1->setText(text("Str17"));
  bsSkinButton2->setText(text("Str18"));
  bsSkinPageControl1->setTabText(bsSkinPageControl1->indexOf(bsSkinTabSheet5), text("Str19"));
  bsSkinGroupBox1->setTitle(text("Str20"));
  bsSkinStdLabel2->setText(text("Str21"));
  bsSkinStdLabel4->setText(text("Str22"));
  Check4->setText(text("Str23"));
  bsSkinGroupBox2->setTitle(text("Str24"));
  Check6->setText(text("Str25"));
  Check7->setText(text("Str26"));
  Check8->setText(text("Str27"));
  Check9->setText(text("Str28"));
  Check10->setText(text("Str29"));
  Check13->setText(text("Str30"));
  AutoRead->setText(text(kAutoReadSettingLine));
  PhoneKindLabel->setText(text(kPhoneKindLine));
  for (int choice = 0;
       choice < PhoneKindBox->count() && choice < static_cast<int>(kPhoneKindChoiceLines.size());
       ++choice)
    PhoneKindBox->setItemText(choice,
                              text(kPhoneKindChoiceLines[static_cast<std::size_t>(choice)]));
  bsSkinGroupBox3->setTitle(text("Str31"));
  Check3->setText(text("Str32"));
  Check11->setText(text("Str33"));
  bsSkinPageControl1->setTabText(bsSkinPageControl1->indexOf(bsSkinTabSheet2), text("Str34"));
  N3->setText(text("Str34"));
  FIle1->setTitle(text("Str35"));
  for (QAction* item : {N4, N24, MenuItem4})
    item->setText(text("Str36"));
  N9->setText(text("Str37"));
  N1->setTitle(text("Str38"));
  N18->setText(text("Str39"));
  N19->setText(text("Str40"));
  N2->setTitle(text("Str41"));
  N14->setTitle(text("Str42"));
  N17->setTitle(text("Str46"));
  P2kTools1->setText(text("Str47"));
  Missivo11->setText(text("Str48"));
  SmsBackup1->setText(ToQString(ExchangeText(Lang, kSmsBackupItemKey)));
  VCard1->setText(ToQString(ExchangeText(Lang, kVCardItemKey)));
  SkinMenu->setTitle(text("Str49"));
  for (QAction* item : {N21, MenuItem1})
    item->setText(text("Str53"));
  for (QAction* item : {N22, MenuItem2})
    item->setText(text("Str54"));
  if (const QList<QAction*> skins = SkinMenu->actions(); !skins.isEmpty()) {
    SetItemCaption(skins.last(), LangText("Str81"));
  }
  for (int column = 0; column < 6; ++column) {
    const std::string key = "Str" + std::to_string(82 + column);
    List1Rows->SetColumnTitle(column, text(key));
    List4Rows->SetColumnTitle(column, text(key));
  }
  List2Rows->SetColumnTitle(0, text("Str89"));
  List2Rows->SetColumnTitle(1, text("Str88"));
  Save->Filter = text("Str96");
  Open1->Filter = text("Str97");
  Save2->Filter = text("Str98") + QLatin1Char('|') + ToQString(ExchangeText(Lang, kExportTypesKey));
  bsSkinSpeedButton1->setText(text("Str99"));
  N6->setText(text("Str99"));
  if (PassForm != nullptr) {
    PassForm->setWindowTitle(text("Str99"));
    PassForm->C1->setText(text("Str101"));
    PassForm->C2->setText(text("Str102"));
    PassForm->C3->setText(text("Str103"));
    PassForm->C4->setText(text("Str104"));
    PassForm->C5->setText(text("Str105"));
  }
  ApplySearchLanguage();
}

}  // namespace missivo
