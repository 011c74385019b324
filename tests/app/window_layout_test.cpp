// The main window's layout, controls, menus and the list model.
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStyleOptionViewItem>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>

#include "app/check_box.h"
#include "app/file_dialog.h"
#include "app/image_list.h"
#include "app/qt_user_interface.h"
#include "app/row_model.h"
#include "app_test_support.h"
#include "phone/serial/serial_devices.h"

namespace missivo::test {
namespace {

using WindowLayoutTest = AppTest;

TEST_F(WindowLayoutTest, ControlsCarryTheirNames) {
  Program program(Options());
  TForm1& form = program.form1();
  for (const char* name : {"FIle1",
                           "new1",
                           "N4",
                           "N9",
                           "N1",
                           "N10",
                           "N11",
                           "N18",
                           "N19",
                           "N2",
                           "N14",
                           "N17",
                           "P2kTools1",
                           "Missivo11",
                           "SkinMenu",
                           "N6",
                           "N3",
                           "bsSkinPopupMenu1",
                           "bsSkinPopupMenu2",
                           "MenuItem1",
                           "MenuItem2",
                           "MenuItem3",
                           "MenuItem4",
                           "N21",
                           "N22",
                           "N23",
                           "N24",
                           "bsSkinToolBar1",
                           "ConnB",
                           "bsSkinSpeedButton1",
                           "bsSkinSpeedButton2",
                           "bsSkinSpeedButton3",
                           "bsSkinSpeedButton5",
                           "ProgressBar",
                           "bsSkinPageControl1",
                           "SMSTAB",
                           "ARCHIVETAB",
                           "bsSkinTabSheet1",
                           "bsSkinTabSheet2",
                           "bsSkinTabSheet5",
                           "bsSkinTabSheet6",
                           "bsSkinSplitter1",
                           "Text1",
                           "bsSkinStatusBar1",
                           "Panel1",
                           "ProgressText",
                           "List1",
                           "List2",
                           "List4",
                           "SMSEdit",
                           "Label3",
                           "bsSkinStdLabel5",
                           "bsSkinStdLabel6",
                           "bsSkinStdLabel7",
                           "E2",
                           "E3",
                           "E4",
                           "M1",
                           "bsSkinButton4",
                           "CancelEdit",
                           "ATField",
                           "bsSkinButton1",
                           "bsSkinButton2",
                           "bsSkinButton3",
                           "TermSkrin",
                           "bsSkinGroupBox1",
                           "bsSkinGroupBox2",
                           "bsSkinGroupBox3",
                           "bsSkinStdLabel2",
                           "bsSkinStdLabel4",
                           "Speed",
                           "PT",
                           "Check3",
                           "Check4",
                           "Check6",
                           "Check7",
                           "Check8",
                           "Check9",
                           "Check10",
                           "Check11",
                           "Check13",
                           "Save",
                           "Save2",
                           "Open1",
                           "Timer3",
                           "AboutTree"}) {
    EXPECT_NE(form.findChild<QObject*>(QString::fromLatin1(name)), nullptr) << name;
  }
}

TEST_F(WindowLayoutTest, MenusHoldEveryItemWithItsShortcut) {
  Program program(Options());
  TForm1& form = program.form1();
  const struct {
    QAction* item;
    const char* caption;
    const char* keys;
  } items[] = {
      {form.new1, "Сохранить", "Ctrl+S"},
      {form.N4, "Сохранить все", "Ctrl+Alt+S"},
      {form.N9, "Выход", "Ctrl+X"},
      {form.N10, "Подключить", "Ctrl+Shift+C"},
      {form.N11, "Отключить", "Ctrl+Shift+D"},
      {form.N18, "Считать сообщения", "F3"},
      {form.N19, "Считать справочник", "F4"},
      {form.P2kTools1, "Сообщения P2kTools", ""},
      {form.Missivo11, "Missivo версия 1.х входящие", ""},
      {form.N6, "Защита программы", ""},
      {form.N3, "О Программе", ""},
      {form.MenuItem1, "Удалить", ""},
      {form.MenuItem2, "Удалить все", ""},
      {form.MenuItem3, "Сохранить", "Ctrl+S"},
      {form.N24, "Сохранить все", "Ctrl+Alt+S"},
  };
  for (const auto& expected : items) {
    EXPECT_EQ(expected.item->text(), Q(expected.caption));
    EXPECT_EQ(expected.item->shortcut(), QKeySequence(QString::fromLatin1(expected.keys)))
        << expected.caption;
  }
  const QList<QAction*> bar = form.menuBar()->actions();
  ASSERT_EQ(bar.size(), 4);
  EXPECT_EQ(bar[0]->menu(), form.FIle1);
  EXPECT_EQ(bar[1]->menu(), form.N1);
  EXPECT_EQ(bar[2]->menu(), form.N2);
  EXPECT_EQ(bar[3], form.N3);
  EXPECT_EQ(form.N2->actions().at(0)->menu(), form.N14);
  EXPECT_EQ(form.N2->actions().at(1)->menu(), form.N17);
  EXPECT_EQ(form.N2->actions().at(2)->menu(), form.SkinMenu);
  EXPECT_EQ(form.N2->actions().at(3), form.N6);
}

TEST_F(WindowLayoutTest, FrameToolbarTabsAndLists) {
  Program program(Options());
  TForm1& form = program.form1();
  const QList<QToolButton*> buttons = {form.ConnB, form.bsSkinSpeedButton2, form.bsSkinSpeedButton3,
                                       form.bsSkinSpeedButton5, form.bsSkinSpeedButton1};
  const char* captions[] = {"Подключить", "Отключить", "Считать", "Выход", "Защита програмы"};
  const char* hints[] = {"Подключить устройство", "Отключить устройство", "Считать сообщения",
                         "Выход", ""};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(buttons[i]->text(), Q(captions[i]));
    EXPECT_EQ(buttons[i]->toolTip(), Q(hints[i]));
    EXPECT_FALSE(buttons[i]->icon().isNull());
  }
  EXPECT_TRUE(form.ProgressBar->isHidden());
  EXPECT_EQ(form.ProgressBar->height(), 4);
  EXPECT_TRUE(form.SMSEdit->isHidden());
  EXPECT_EQ(form.E2->text(), Q(".."));
  EXPECT_EQ(form.Speed->currentText(), Q("115200"));
  EXPECT_EQ(form.Speed->count(), 9);
  // PT lists the serial devices of this machine and shows the first.
  const std::vector<std::string> devices = SerialDeviceNames();
  ASSERT_EQ(form.PT->count(), static_cast<int>(devices.size()));
  for (int i = 0; i < form.PT->count(); ++i)
    EXPECT_EQ(form.PT->itemText(i).toStdString(), devices[static_cast<std::size_t>(i)]);
  EXPECT_EQ(form.PT->currentText().toStdString(), devices.empty() ? "" : devices.front());
  EXPECT_TRUE(form.PT->isEditable());
  EXPECT_FALSE(form.Speed->isEditable());
  const std::vector<std::pair<TCheckBox*, bool>> defaults = {
      {form.Check3, true},  {form.Check4, false},  {form.Check6, false},
      {form.Check7, false}, {form.Check8, true},   {form.Check9, true},
      {form.Check10, true}, {form.Check11, false}, {form.Check13, true}};
  for (const auto& [box, checked] : defaults)
    EXPECT_EQ(box->isChecked(), checked);

  const QTabWidget* tabs = form.bsSkinPageControl1;
  ASSERT_EQ(tabs->count(), 7);
  EXPECT_EQ(tabs->widget(0), form.SMSTAB);
  EXPECT_EQ(tabs->widget(2), form.CONVTAB);
  EXPECT_EQ(tabs->widget(6), form.bsSkinTabSheet2);
  EXPECT_EQ(tabs->currentWidget(), form.SMSTAB);

  const int widths[] = {150, 150, 50, 50, 80};
  for (QTreeView* list : {form.List1, form.List4}) {
    EXPECT_EQ(list->model()->columnCount(), 6);
    EXPECT_EQ(list->header()->sectionResizeMode(0), QHeaderView::Stretch);
    for (int column = 1; column < 6; ++column) {
      EXPECT_EQ(list->header()->sectionSize(column), widths[column - 1]);
    }
    EXPECT_EQ(list->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(list->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(list->editTriggers(), QAbstractItemView::NoEditTriggers);
  }
  EXPECT_EQ(form.List2->model()->columnCount(), 2);
  EXPECT_EQ(form.List2->header()->sectionSize(1), 150);
  EXPECT_EQ(form.List2Rows->ColumnTitle(0), Q("Имя"));

  // Switching tabs empties the preview; "О Программе" opens the last tab.
  form.Text1->setPlainText(QStringLiteral("preview"));
  form.N3->trigger();
  EXPECT_EQ(tabs->currentWidget(), form.bsSkinTabSheet2);
  EXPECT_TRUE(form.Text1->toPlainText().isEmpty());
  EXPECT_TRUE(form.AboutTree->topLevelItemCount() >= 2);
  EXPECT_EQ(form.AboutTree->editTriggers(), QAbstractItemView::NoEditTriggers);
}

TEST_F(WindowLayoutTest, ListsShowCoreRowsWithPicturesAndBoldSelection) {
  Program program(Options());
  TForm1& form = program.form1();
  form.List4Rows->SetRows({
      Row{W("Привет"),
          {"+79001234567", "05/01/2006,10:00:00", "6", "1", W("Входящие")},
          kImageRowIncoming},
      Row{"short", {"x"}, -1},
  });
  const QAbstractItemModel* model = form.List4->model();
  ASSERT_EQ(model->rowCount(), 2);
  EXPECT_EQ(model->index(0, 0).data().toString(), Q("Привет"));
  EXPECT_EQ(model->index(0, 5).data().toString(), Q("Входящие"));
  EXPECT_FALSE(model->index(0, 0).data(Qt::DecorationRole).value<QIcon>().isNull());
  EXPECT_FALSE(model->index(1, 0).data(Qt::DecorationRole).isValid());
  EXPECT_EQ(model->index(1, 3).data().toString(), QString());  // missing sub-item
  form.List4Rows->SetHeaderImage(2, kImageSortAscending);
  EXPECT_FALSE(model->headerData(2, Qt::Horizontal, Qt::DecorationRole).value<QIcon>().isNull());
  EXPECT_FALSE(model->headerData(1, Qt::Horizontal, Qt::DecorationRole).isValid());

  // Rows changed in place never read past the end before Refresh().
  form.List4Rows->rows().pop_back();
  EXPECT_FALSE(model->index(1, 0).data().isValid());
  form.List4Rows->Refresh();
  EXPECT_EQ(model->rowCount(), 1);

  form.List4Rows->rows().push_back(Row{"b", {}, kImageRowOutgoing});
  form.List4Rows->Refresh();
  form.List4->selectAll();
  EXPECT_EQ(SelectedRows(form.List4), (std::vector<std::size_t>{0, 1}));
  struct Probe : ListRowDelegate {
    using ListRowDelegate::initStyleOption;
  };
  Probe probe;
  QStyleOptionViewItem option;
  option.state = QStyle::State_Selected;
  probe.initStyleOption(&option, model->index(0, 0));
  EXPECT_TRUE(option.font.bold());
  QStyleOptionViewItem plain;
  probe.initStyleOption(&plain, model->index(0, 0));
  EXPECT_FALSE(plain.font.bold());
}

TEST(ImageListTest, EveryIndexTheWindowUsesHasASharpPicture) {
  App();
  for (int index : {0, 1, 2, 23, 25, 26, 27, 28, 30, 31, 32}) {
    ASSERT_TRUE(ImageList::Has(index)) << index;
    const QIcon icon = ImageList::Icon(index);
    for (const qreal ratio : {1.0, 2.0}) {
      const QPixmap pixmap = icon.pixmap(QSize(16, 16), ratio);
      EXPECT_EQ(pixmap.size(), QSize(16, 16) * ratio) << index;
      // Something is drawn, and not a blur of one colour.
      const QImage image = pixmap.toImage();
      int opaque = 0;
      for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
          opaque += qAlpha(image.pixel(x, y)) > 200;
      }
      EXPECT_GT(opaque, image.width() * image.height() / 10) << index;
    }
  }
  EXPECT_FALSE(ImageList::Has(99));
  EXPECT_TRUE(ImageList::Icon(-1).isNull());
}

TEST(FileDialogTest, FiltersBecomeQtNameFilters) {
  const struct {
    const char* filter;
    QStringList expected;
  } cases[] = {
      {"Текстовый файл (*.txt)|*.txt|Все файлы (*.*)|*.*",
       {Q("Текстовый файл (*.txt)"), Q("Все файлы (*.*)")}},
      {"Pictures|*.png;*.jpg", {Q("Pictures (*.png *.jpg)")}},
      {"Logs (*.log)|*.txt", {Q("Logs (*.log) (*.txt)")}},
      {"Only a description", {}},
      {"", {}},
      {"A|*.a|Dangling", {Q("A (*.a)")}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ConvertDialogFilter(Q(c.filter)), c.expected) << c.filter;
  }
}

TEST(FileDialogTest, ScriptedOutcomesAndTheDefaultExtension) {
  App();
  QWidget owner;
  TFileDialog dialog(TFileDialog::Kind::kSave, QStringLiteral("Save2"), &owner);
  dialog.DefaultExt = QStringLiteral("*.html");
  dialog.SetScripted(true);
  dialog.SetNextFile(QStringLiteral("/tmp/out"), 2);
  dialog.SetNextFile(QStringLiteral("/tmp/out.txt"));
  dialog.SetNextCancel();
  EXPECT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.FileName, QStringLiteral("/tmp/out.html"));
  EXPECT_EQ(dialog.FilterIndex, 2);
  EXPECT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.FileName, QStringLiteral("/tmp/out.txt"));
  EXPECT_FALSE(dialog.Execute());
  EXPECT_FALSE(dialog.Execute());  // nothing scripted left: cancelled, nothing shown
}

TEST_F(WindowLayoutTest, ProgressAndMessagesGoThroughTheSeam) {
  Program program(Options());
  TForm1& form = program.form1();
  QtUserInterface& ui = *form.bsSkinMessage1;
  ui.ShowProgress(10, 3);
  ui.SetProgressText(W("Чтение данных"));
  EXPECT_FALSE(form.ProgressBar->isHidden());
  EXPECT_EQ(form.ProgressBar->maximum(), 10);
  EXPECT_EQ(form.ProgressBar->value(), 3);
  EXPECT_EQ(form.ProgressText->text(), Q("Чтение данных"));
  ui.HideProgress();
  EXPECT_TRUE(form.ProgressBar->isHidden());

  ui.SetNextAnswer(false);
  EXPECT_FALSE(ui.AskYesNo(W("Удалить?")));
  EXPECT_TRUE(ui.AskYesNo(W("Удалить?")));  // scripted mode answers Yes
  ui.ShowMessage(W("Готово!"), MessageKind::kInformation);
  ASSERT_EQ(ui.shown().size(), 3u);
  EXPECT_EQ(ui.shown()[2].text, W("Готово!"));
  ui.SetNextPassword(W("пароль"));
  EXPECT_EQ(ui.AskPassword("x"), W("пароль"));
  EXPECT_EQ(ui.AskPassword("y"), std::nullopt);
  EXPECT_EQ(ui.last_password_caption(), "y");
  EXPECT_EQ(ui.password_prompts(), 2);
}

}  // namespace
}  // namespace missivo::test
