// Automatic backup in the window against phonesim: with the setting on, each
// kind of connection (by hand, at start, by the device watch) is followed by
// the read with the read settings, its result in the status bar and in a
// desktop notification; with it off a connection reads nothing.
#include "app/auto_backup.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QComboBox>
#include <QLabel>
#include <QToolButton>

#include "app/celo_com.h"
#include "app/check_box.h"
#include "app/row_model.h"
#include "app/status_panel.h"
#include "phone/serial/com_port.h"
#include "phone_window.h"
#include "support/phone_scenario.h"
#include "text/cp1251.h"
#include "text/default_language.h"

namespace missivo::test {
namespace {

using AutoBackupTest = PhoneWindowTest;

bool Listed(const PhoneSim& phone) {
  for (const std::string& command : phone.Commands())
    if (command.starts_with("AT+CMGL")) return true;
  return false;
}

TEST_F(AutoBackupTest, EveryKindOfConnectionIsFollowedByTheRead) {
  enum class Connect { kByHand, kAtStart, kByDeviceWatch };
  const struct {
    const char* name;
    Connect connect;
    bool delete_on_phone;  // Check6
  } cases[] = {
      {"connected by hand", Connect::kByHand, false},
      {"connected at start", Connect::kAtStart, true},
      {"connected when the phone was plugged in", Connect::kByDeviceWatch, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(Options().program_folder / "Data");
    PhoneSim phone(ScenarioWithMessages(3));
    StoreSettings({{"AutoRead", "true"},
                   {"Check6", c.delete_on_phone ? "true" : "false"},
                   {"Check4", c.connect == Connect::kAtStart ? "true" : "false"},
                   {"COMPORTUser", phone.Device()}});
    auto program = StartProgram();
    TForm1& form = program->form1();
    std::vector<QString> notes;
    form.AutoBackup1->notify = [&](const QString& text) { notes.push_back(text); };
    if (c.connect == Connect::kByHand) {
      form.ConnB->click();
    } else if (c.connect == Connect::kByDeviceWatch) {
      form.Check4->SetChecked(true);
      form.CeloCom1->DeviceChange("usb", "usb_device", "add");
    }
    ASSERT_TRUE(WaitFor([&] { return form.List4Rows->rows().size() == 3; }))
        << form.ProgressText->text().toStdString();
    const QString said =
        Q("Новых сообщений в архиве: 3 (") + QString::fromStdString(phone.Device()) + Q(")");
    ASSERT_TRUE(WaitFor([&] { return form.ProgressText->text() == said; }))
        << form.ProgressText->text().toStdString() << " / " << said.toStdString();
    // A notification made before the test could listen (at start) is not asked for.
    if (c.connect != Connect::kAtStart) {
      EXPECT_EQ(notes, std::vector<QString>{said});
    }
    EXPECT_EQ(DeletedIndexes(phone.Commands()),
              c.delete_on_phone ? (std::vector<int>{1, 2, 3}) : std::vector<int>{});
    EXPECT_TRUE(std::filesystem::exists(form.Files().archive));
  }
}

TEST_F(AutoBackupTest, WithTheSettingOffAConnectionReadsNothing) {
  PhoneSim phone(ScenarioWithMessages(2));
  auto program = StartOn(phone.Device());
  TForm1& form = program->form1();
  std::vector<QString> notes;
  form.AutoBackup1->notify = [&](const QString& text) { notes.push_back(text); };
  ASSERT_TRUE(form.Comm->Active());
  EXPECT_FALSE(form.AutoRead->isChecked());
  // Past the moment the read would have begun.
  EXPECT_FALSE(WaitFor([&] { return Listed(phone); }, std::chrono::milliseconds(500)));
  EXPECT_TRUE(notes.empty());

  // Switched on, the next connection reads, and the setting is kept.
  form.AutoRead->SetChecked(true);
  EXPECT_EQ(StoredSettings().at("AutoRead"), "true");
  form.ConnB->click();
  EXPECT_TRUE(WaitFor([&] { return notes.size() == 1; }));
  EXPECT_EQ(form.List4Rows->rows().size(), 2u);
}

// The service holds the port while it reads: the window's connect is refused,
// says so, and is tried again until the port is free; then the read follows.
TEST_F(AutoBackupTest, AConnectRefusedWhileAnotherProgramReadsIsTriedAgain) {
  PhoneSim phone(ScenarioWithMessages(2));
  const int other = ::open(phone.Device().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(other, 0);
  ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
  StoreSettings({{"AutoRead", "true"}});
  auto program = StartOn(phone.Device(), /*connect=*/false);
  TForm1& form = program->form1();
  form.AutoBackup1->retry_interval = std::chrono::milliseconds(100);
  form.ConnB->click();
  EXPECT_FALSE(form.Comm->Active());
  EXPECT_EQ(form.Panel1->Text(), Q("Статус: Занят"));
  // Still refused at the first tries.
  EXPECT_FALSE(WaitFor([&] { return form.Comm->Active(); }, std::chrono::milliseconds(350)));
  ::close(other);
  EXPECT_TRUE(WaitFor([&] { return form.List4Rows->rows().size() == 2; }));
  EXPECT_TRUE(form.Comm->Active());
}

// The text of the result in each language the program ships.
TEST(AutoBackupTextTest, SaysHowManyAndFromWhichPhone) {
  const std::string languages = std::string(MISSIVO_SOURCE_DIR) + "/resources/languages/";
  const struct {
    const char* name;
    std::string bytes;
    const char* text;
  } cases[] = {
      {"Russian", DefaultRussianFileBytes(), "Новых сообщений в архиве: 12 (Nokia 6230)"},
      {"English", ReadBytes(languages + "English.lng"), "12 new messages archived from Nokia 6230"},
      {"Ukrainian", ReadBytes(languages + "Ukrainian.lng"),
       "Нових повідомлень в архіві: 12 (Nokia 6230)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    LanguageLines language;
    language.LoadFromBytes(c.bytes);
    EXPECT_EQ(Cp1251ToUtf8(ArchivedFromText(language, 12, "Nokia 6230")), c.text);
  }
}

}  // namespace
}  // namespace missivo::test
