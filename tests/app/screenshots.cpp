// Takes pictures of every tab of the main window, in the default look and in
// each bundled skin, plus the menus, the splash and the password windows.
// Not a test: run under a real X server, e.g.
//   xvfb-run -s "-screen 0 1280x900x24" build-asan/tests/app/app_screenshots /work/screens/app
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>
#include <cstdio>

#include "app/application.h"
#include "app/compose_window.h"
#include "app/conversation_view.h"
#include "app/image_list.h"
#include "app/password_windows.h"
#include "app/program.h"
#include "app/row_model.h"
#include "app/search_bar.h"
#include "app/splash.h"
#include "store/contact_fields.h"
#include "store/list_file.h"
#include "store/message_fields.h"
#include "support/test_support.h"
#include "text/cp1251.h"

namespace {

using missivo::Row;
using missivo::test::W;

// The first message as the read makes it from a text with line breaks and emoji.
Row LosslessSample() {
  const char* whole =
      "Привет! Встречаемся в шесть у входа в парк 🌳\nНе опаздывай 😉\n— мама "
      "❤️";
  Row row{W("Привет! Встречаемся в шесть у входа в парк ?Не опаздывай ?— мама ??"),
          {W("Мама (+79001234567)"), "05/01/2006,10:00:00", "64", "1", W("Входящие")},
          2};
  missivo::MessageFields fields;
  fields.text = whole;
  fields.number = "+79001234567";
  fields.time = "2006-01-05T10:00:00+03:00";
  fields.parts = {"1"};
  missivo::WriteMessageFields(row, fields);
  return row;
}

std::vector<Row> SampleMessages() {
  return {
      LosslessSample(),
      Row{W("Код подтверждения: 4711"),
          {"+79007654321", "28/12/2005,23:59:59", "23", "2", W("Входящие")},
          2},
      Row{W("Буду через десять минут"),
          {W("Сергей (+79161112233)"), "02/01/2006,18:45:10", "23", "3", W("Исходящие")},
          28},
      Row{W("Черновик поздравления с Новым годом"),
          {"", "31/12/2005,12:00:00", "35", "4", W("Черновые")},
          1},
      Row{W("Сообщение из старого архива"),
          {"+79005550000", "14/06/2004,09:30:00", "27", "0000", W("Импорт")},
          0},
      Row{W("Ты сегодня придёшь к ужину?"),
          {W("Мама (+79001234567)"), "04/01/2006,17:20:00", "28", "5", W("Входящие")},
          2},
      Row{W("Да, буду к семи.\r\nКупить что-нибудь по дороге?"),
          {"+79001234567", "04/01/2006,17:25:41", "52", "6", W("Исходящие")},
          28},
      Row{W("Хлеба и молока, пожалуйста"),
          {"89001234567", "04/01/2006,17:31:02", "26", "7", W("Входящие")},
          2},
      Row{W("Спасибо за вечер! Доехал нормально"),
          {W("Мама (+79001234567)"), "05/01/2006,09:12:00", "34", "8", W("Исходящие")},
          28},
  };
}

std::vector<Row> SampleContacts() {
  return {Row{W("Мама"), {"+79001234567"}, 30}, Row{W("Сергей"), {"+79161112233"}, 30},
          Row{W("Служба поддержки"), {"0611"}, 30},
          missivo::MakeContactRow("Νίκος Παπαδόπουλος", "+302101234567"),
          missivo::MakeContactRow("王小明 😀", "+8613812345678")};
}

void Settle() {
  for (int i = 0; i < 5; ++i) {
    QCoreApplication::processEvents();
    QTest::qWait(30);
  }
}

void Save(QWidget* widget, const QString& file) {
  Settle();
  if (!widget->grab().save(file)) std::fprintf(stderr, "cannot save %s\n", qPrintable(file));
}

}  // namespace

int main(int argc, char* argv[]) {
  missivo::MissivoApplication app(argc, argv);
  app.setQuitOnLastWindowClosed(false);
  const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screens");
  QDir().mkpath(out);

  missivo::test::TempFolder folder;
  ::setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);
  const auto program_folder = folder / "program";
  std::filesystem::create_directories(program_folder / "Data");
  (void)missivo::WriteListFile(SampleMessages(), program_folder / "Data" / "Messages.sms");
  (void)missivo::WriteListFile(SampleContacts(), program_folder / "Data" / "Phonebook.pbk");

  missivo::TForm1::Options options;
  options.program_folder = program_folder;
  options.scripted_dialogs = true;
  missivo::Program program(options, std::chrono::minutes(5));
  program.Start();
  missivo::TForm1& form = program.form1();
  form.List1Rows->SetRows({SampleMessages()[0], SampleMessages()[1], SampleMessages()[2]});
  form.bsSkinPageControl1->setTabText(0, QStringLiteral("Сообщения (3)"));
  form.List1->selectionModel()->select(form.List1->model()->index(1, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
  form.List4->selectionModel()->select(form.List4->model()->index(0, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
  form.List4Rows->SetHeaderImage(2, 32);
  form.Text1->setPlainText(
      QString::fromUtf8(missivo::Cp1251ToUtf8(SampleMessages()[0].caption).c_str()));
  form.TermSkrin->setPlainText(
      QStringLiteral("AT\nOK\nAT+CGMI\n+CGMI: \"Phone Maker\"\nOK\nAT+CPMS?\nНет связи\n"));
  form.ATField->setEditText(QStringLiteral("AT+CSQ"));

  // Every picture of ImageList1 at 16 and at 32 pixels (a screen at twice the
  // density), on a light and on a dark ground.
  {
    const QList<int> indexes = {0, 1, 2, 28, 30, 25, 26, 27, 31, 32, 23, 3,  4,  5, 6,
                                7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20};
    QImage sheet(indexes.size() * 40 + 8, 4 * 40, QImage::Format_ARGB32);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    painter.fillRect(0, 80, sheet.width(), 80, QColor(0x23, 0x27, 0x2e));
    for (qsizetype i = 0; i < indexes.size(); ++i) {
      const QIcon icon = missivo::ImageList::Icon(indexes[i]);
      for (int ground = 0; ground < 2; ++ground) {
        const int x = 8 + static_cast<int>(i) * 40;
        painter.drawPixmap(x, ground * 80 + 8, icon.pixmap(QSize(16, 16), 1.0));
        painter.drawPixmap(x, ground * 80 + 36, icon.pixmap(QSize(32, 32), 1.0));
      }
    }
    painter.end();
    sheet.save(out + QStringLiteral("/image-list.png"));
  }

  Save(&program.form2(), out + QStringLiteral("/splash.png"));
  program.form2().hide();

  const QStringList tabs = {QStringLiteral("messages"),      QStringLiteral("archive"),
                            QStringLiteral("conversations"), QStringLiteral("phonebook"),
                            QStringLiteral("terminal"),      QStringLiteral("settings"),
                            QStringLiteral("about")};
  QList<QAction*> skins = form.SkinMenu->actions();
  const QStringList looks = {QStringLiteral("daylight"), QStringLiteral("nightfall"),
                             QStringLiteral("default")};
  for (qsizetype look = 0; look < skins.size() && look < looks.size(); ++look) {
    skins[look]->trigger();
    for (int tab = 0; tab < tabs.size(); ++tab) {
      form.bsSkinPageControl1->setCurrentIndex(tab);
      if (tab == 0) {
        form.Text1->setPlainText(
            QString::fromUtf8(missivo::Cp1251ToUtf8(SampleMessages()[1].caption).c_str()));
      }
      if (tab == 1) {  // the preview of the selected archive row
        form.Text1->setPlainText(QString::fromStdString(missivo::BestText(LosslessSample())));
      }
      Save(&form, QStringLiteral("%1/%2-%3.png").arg(out, looks[look], tabs[tab]));
    }
    // The archive's edit panel, as F2 shows it.
    form.bsSkinPageControl1->setCurrentWidget(form.ARCHIVETAB);
    form.List4->hide();
    form.E2->setText(QStringLiteral("05/01/2006,10:00:00"));
    form.E3->setText(QStringLiteral("1"));
    form.E4->setText(QStringLiteral("Входящие"));
    form.M1->setPlainText(QString::fromStdString(missivo::BestText(LosslessSample())));
    form.SMSEdit->show();
    Save(&form, QStringLiteral("%1/%2-archive-edit.png").arg(out, looks[look]));
    form.SMSEdit->hide();
    form.List4->show();

    // The archive filtered through its search bar, the matches marked in the preview.
    form.List4Search->Field->setText(QStringLiteral("в"));
    form.List4Search->Since->setText(QStringLiteral("01.01.2006"));
    form.List4->selectionModel()->clearSelection();
    form.List4->selectionModel()->select(form.List4->model()->index(0, 0),
                                         QItemSelectionModel::Select | QItemSelectionModel::Rows);
    form.List4Click();
    Save(&form, QStringLiteral("%1/%2-archive-search.png").arg(out, looks[look]));
    form.List4Search->Clear();

    // The compose window with its counter, addressed to a contact.
    form.OpenCompose(QString());
    form.Compose->To->setText(QString::fromUtf8("Мама (+79035550101)"));
    form.Compose->Body->setPlainText(QString::fromUtf8(
        "Доехала хорошо, поезд пришёл вовремя. Завтра позвоню, когда буду дома. Целую!"));
    Save(form.Compose, QStringLiteral("%1/%2-compose.png").arg(out, looks[look]));
    form.Compose->close();

    // A conversation, and the same one searched.
    form.bsSkinPageControl1->setCurrentWidget(form.CONVTAB);
    Save(&form, QStringLiteral("%1/%2-conversation.png").arg(out, looks[look]));
    form.Conversations->Search->Field->setText(QStringLiteral("сегодня"));
    Save(&form, QStringLiteral("%1/%2-conversation-search.png").arg(out, looks[look]));
    form.Conversations->Search->Field->clear();

    form.N2->popup(form.mapToGlobal(QPoint(120, 40)));
    Settle();
    form.N14->popup(form.N2->mapToGlobal(QPoint(form.N2->width(), 0)));
    Save(form.N2, QStringLiteral("%1/%2-menu-extra.png").arg(out, looks[look]));
    Save(form.N14, QStringLiteral("%1/%2-menu-language.png").arg(out, looks[look]));
    form.N14->hide();
    form.N17->popup(form.N2->mapToGlobal(QPoint(form.N2->width(), 0)));
    Save(form.N17, QStringLiteral("%1/%2-menu-convert.png").arg(out, looks[look]));
    form.N17->hide();
    form.N2->hide();

    form.PassForm->PrepareToShow(false);
    form.PassForm->show();
    Save(form.PassForm, QStringLiteral("%1/%2-password-window.png").arg(out, looks[look]));
    form.PassForm->hide();
    missivo::TUnlockPrompt prompt(&form);
    prompt.SetTexts(QStringLiteral("Программа заблокирована"), QStringLiteral("Пароль:"));
    prompt.show();
    Save(&prompt, QStringLiteral("%1/%2-unlock-prompt.png").arg(out, looks[look]));
  }

  // English texts on the settings tab, where the lines are longest.
  for (QAction* item : form.N14->actions()) {
    if (item->text() == QStringLiteral("English")) item->trigger();
  }
  form.bsSkinPageControl1->setCurrentWidget(form.bsSkinTabSheet5);
  Save(&form, out + QStringLiteral("/default-settings-english.png"));
  form.bsSkinPageControl1->setCurrentWidget(form.CONVTAB);
  Save(&form, out + QStringLiteral("/default-conversation-english.png"));
  form.bsSkinPageControl1->setCurrentIndex(0);
  Save(&form, out + QStringLiteral("/default-messages-english.png"));
  form.N17->popup(form.mapToGlobal(QPoint(120, 40)));
  Save(form.N17, out + QStringLiteral("/default-menu-convert-english.png"));
  form.N17->hide();
  return 0;
}
