// A standard USB stick through the window: F3 reads its messages (PDU mode,
// both storages, the long message joined) and F4 its phonebook, the senders
// get their names, and the status bar shows the device's maker and model.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QTest>
#include <QToolButton>

#include "app/qt_user_interface.h"
#include "app/row_model.h"
#include "app/status_panel.h"
#include "phone_window.h"
#include "store/list_file.h"
#include "support/standard_phones.h"

namespace missivo::test {
namespace {

using StandardPhoneTest = PhoneWindowTest;

TEST_F(StandardPhoneTest, F3AndF4ReadAUsbStickWithNamesAndTheDeviceInTheStatusBar) {
  PhoneSim phone(UsbStick().dump());
  auto program = StartOn(phone.Device());
  TForm1& form = program->form1();
  EXPECT_FALSE(form.DevicePanel->isVisible());

  // The keys, pressed where a person's focus is: on the messages list.
  FocusOn(*program, form.SMSTAB, form.List1);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_F4);  // "Считать справочник"
  ASSERT_EQ(form.List2Rows->rows().size(), 2u);
  EXPECT_EQ(form.List2Rows->rows()[1], (Row{W("Пётр"), {"+79160000000"}, kImageContact}));
  EXPECT_EQ(form.DevicePanel->text(), QStringLiteral("huawei E3372"));
  EXPECT_TRUE(form.DevicePanel->isVisibleTo(&form));

  QTest::keyClick(QApplication::focusWidget(), Qt::Key_F3);  // "Считать"
  const std::vector<Row>& rows = form.List1Rows->rows();
  ASSERT_EQ(rows.size(), 5u);  // the status report is no message
  const auto joined = std::find_if(rows.begin(), rows.end(),
                                   [](const Row& row) { return row.caption == StickLongText(); });
  ASSERT_NE(joined, rows.end());
  EXPECT_EQ(SubItem(*joined, kFrom), W("Иван (+79161234567)"));
  EXPECT_EQ(SubItem(*joined, kDateTime), "02/05/2024,08:30:00");
  const Result<std::vector<Row>> archive = ReadListFile(form.Files().archive);
  ASSERT_TRUE(archive.ok());
  EXPECT_EQ(archive.value().size(), 5u);
  EXPECT_TRUE(form.bsSkinMessage1->shown().empty()) << ShownTexts(form).front();

  // Disconnected, the device's name goes.
  form.bsSkinSpeedButton2->click();
  EXPECT_FALSE(form.DevicePanel->isVisibleTo(&form));
}

TEST_F(StandardPhoneTest, TheSettingForcesTheKind) {
  PhoneSim phone(UsbStick().dump());
  auto program = StartOn(phone.Device());
  TForm1& form = program->form1();
  // Forced to the family, the stick is spoken to as the family: its phonebook
  // command is unknown there, so F4 changes nothing; no identification is sent.
  form.PhoneKindBox->setCurrentIndex(static_cast<int>(PhoneKind::kFamily));
  form.N19->trigger();
  EXPECT_TRUE(form.List2Rows->rows().empty());
  for (const std::string& command : phone.Commands())
    EXPECT_NE(command, "AT+CGMI");
  EXPECT_EQ(StoredSettings().at("PhoneKind"), "family");
}

}  // namespace
}  // namespace missivo::test
