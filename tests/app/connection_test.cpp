// Connecting and disconnecting through the window against phonesim over a real
// pseudo-terminal: the status panel, the port's errors and line errors, the
// device watch and the port list.
#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QAction>
#include <QComboBox>
#include <QToolButton>

#include "app/celo_com.h"
#include "app/check_box.h"
#include "app/image_list.h"
#include "app/qt_user_interface.h"
#include "app/status_panel.h"
#include "phone/com_error.h"
#include "phone/serial/com_port.h"
#include "phone/serial/serial_devices.h"
#include "phone_window.h"

namespace missivo::test {
namespace {

using ConnectionTest = PhoneWindowTest;

// The status texts the panel passes through while the port closes and opens.
struct StatusRecorder {
  explicit StatusRecorder(TForm1& form) {
    form.Comm->AfterClose = [this, &form](TCustomComPort&) {
      form.CommAfterClose();
      texts.push_back(form.Panel1->Text().toStdString());
    };
    form.Comm->AfterOpen = [this, &form](TCustomComPort&) {
      form.CommAfterOpen();
      texts.push_back(form.Panel1->Text().toStdString());
    };
  }
  std::vector<std::string> texts;
};

TEST_F(ConnectionTest, ConnectReconnectAndDisconnect) {
  PhoneSim phone;
  auto program = StartOn(phone.Device());
  TForm1& form = program->form1();
  ASSERT_TRUE(form.Comm->Active());
  EXPECT_EQ(form.Panel1->Text(), Q("Статус: Подключен"));
  EXPECT_EQ(form.Panel1->Image(), kImageStatusConnected);
  EXPECT_FALSE(form.Speed->isEnabled());
  EXPECT_TRUE(form.PT->isEnabled());
  EXPECT_EQ(form.Comm->DeviceName(), phone.Device());
  EXPECT_EQ(form.Comm->CustomBaudRate(), 115200);

  // Connecting while connected closes and opens again with what is shown now.
  StatusRecorder statuses(form);
  {
    const QSignalBlocker quiet(form.Speed);  // the list is disabled for the user only
    form.Speed->setCurrentIndex(4);
  }
  form.N10->trigger();
  EXPECT_EQ(statuses.texts, (std::vector<std::string>{"Статус: Отключен", "Статус: Подключен"}));
  EXPECT_TRUE(form.Comm->Active());
  EXPECT_EQ(form.Comm->CustomBaudRate(), 9600);

  form.bsSkinSpeedButton2->click();
  EXPECT_FALSE(form.Comm->Active());
  EXPECT_EQ(form.Panel1->Text(), Q("Статус: Отключен"));
  EXPECT_EQ(form.Panel1->Image(), kImageStatusDisconnected);
  EXPECT_TRUE(form.Speed->isEnabled());

  // Disconnecting while disconnected only sets the status again.
  form.Panel1->SetText(QStringLiteral("x"));
  form.N11->trigger();
  EXPECT_EQ(form.Panel1->Text(), Q("Статус: Отключен"));
  EXPECT_TRUE(form.bsSkinMessage1->shown().empty());
}

// The message names the device, in the program's language.
TEST_F(ConnectionTest, MissingDeviceStaysDisconnectedAndTheErrorIsShown) {
  const std::string device = (folder() / "no-such-port").string();
  auto program = StartOn(device);
  TForm1& form = program->form1();
  EXPECT_FALSE(form.Comm->Active());
  EXPECT_EQ(form.Panel1->Text(), Q("Статус: Отключен"));
  EXPECT_EQ(form.Panel1->Image(), kImageStatusDisconnected);
  EXPECT_EQ(ShownTexts(form), std::vector<std::string>{"Устройство " + device + " не найдено"});
}

TEST_F(ConnectionTest, DeviceHeldByAnotherProgramShowsBusy) {
  PhoneSim phone;
  const int other = ::open(phone.Device().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(other, 0);
  ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
  auto program = StartOn(phone.Device());
  TForm1& form = program->form1();
  EXPECT_FALSE(form.Comm->Active());
  EXPECT_EQ(form.Panel1->Text(), Q("Статус: Занят"));
  EXPECT_EQ(form.Panel1->Image(), kImageStatusBusy);
  // CommError shows no box of its own; the error reaches the application's handler.
  EXPECT_EQ(ShownTexts(form), std::vector<std::string>{"Device or resource busy"});
  ::close(other);

  form.ConnB->click();
  EXPECT_TRUE(form.Comm->Active());
  EXPECT_EQ(form.Panel1->Text(), Q("Статус: Подключен"));
}

TEST_F(ConnectionTest, PermissionDeniedNamesTheGroupAndOtherErrorsTheirCode) {
  auto program = StartProgram();
  TForm1& form = program->form1();
  const auto device = folder() / "ttyACM0";
  WriteBytes(device, "");
  struct stat info {};
  ASSERT_EQ(::stat(device.c_str(), &info), 0);
  const std::string group = ::getgrgid(info.st_gid)->gr_name;

  TComAction action = TComAction::caFail;
  form.CommError(ComErrorFromErrno(EACCES, device.string()), action);
  EXPECT_EQ(action, TComAction::caAbort);
  // Not the busy status: the user must join the group, not close another program.
  EXPECT_EQ(form.Panel1->Text(), Q("Статус: Отключен"));
  ASSERT_EQ(ShownTexts(form).size(), 1u);
  EXPECT_NE(ShownTexts(form)[0].find("Permission denied: " + device.string() +
                                     " belongs to the group \"" + group + "\""),
            std::string::npos)
      << ShownTexts(form)[0];
  EXPECT_EQ(form.bsSkinMessage1->shown()[0].kind, MessageKind::kError);

  action = TComAction::caFail;
  form.CommError(EComError("Broken pipe", 32), action);
  EXPECT_EQ(action, TComAction::caAbort);
  EXPECT_EQ(ShownTexts(form).back(), "Ощибка32: Broken pipe");

  // Codes 2, 31 and 0 close without a box; the error goes on to the caller.
  for (const int code : {2, 31, 0}) {
    action = TComAction::caFail;
    form.CommError(EComError("gone", code), action);
    EXPECT_EQ(action, TComAction::caFail);
  }
  EXPECT_EQ(ShownTexts(form).size(), 2u);
}

TEST_F(ConnectionTest, LineErrorsShowTheirBoxesInOrderAndOnlyBreakCloses) {
  PhoneSim phone;
  auto program = StartOn(phone.Device());
  TForm1& form = program->form1();
  ASSERT_TRUE(form.Comm->Active());

  form.CommLineError({TLineError::leFrame, TLineError::leTxFull});
  EXPECT_TRUE(form.Comm->Active());
  EXPECT_EQ(ShownTexts(form), (std::vector<std::string>{"Frame error", "Transmitter full"}));

  // The break's box comes first and closes the port, then the others.
  std::vector<std::string> order;
  form.Comm->AfterClose = [&](TCustomComPort&) {
    form.CommAfterClose();
    order.push_back("closed after " + std::to_string(ShownTexts(form).size()) + " boxes");
  };
  form.CommLineError({TLineError::leParity, TLineError::leFrame, TLineError::leBreak});
  EXPECT_FALSE(form.Comm->Active());
  EXPECT_EQ(order, std::vector<std::string>{"closed after 3 boxes"});
  EXPECT_EQ(ShownTexts(form),
            (std::vector<std::string>{"Frame error", "Transmitter full",
                                      "Устройство не обнаружено!", "Frame error", "Parity error"}));
  EXPECT_EQ(form.Panel1->Text(), Q("Статус: Отключен"));
}

TEST_F(ConnectionTest, DeviceWatchReconnectsOnlyWithAutomaticConnection) {
  auto phone = std::make_unique<PhoneSim>();
  auto program = StartOn(phone->Device(), /*connect=*/false);
  TForm1& form = program->form1();

  // Off: arrivals and removals change nothing.
  form.CeloCom1->DeviceChange("usb", "usb_device", "add");
  form.CeloCom1->DeviceChange("usb", "usb_device", "remove");
  EXPECT_FALSE(form.Comm->Active());

  form.Check4->SetChecked(true);
  // Other kinds of change are ignored.
  form.CeloCom1->DeviceChange("usb", "usb_interface", "add");
  form.CeloCom1->DeviceChange("usb", "usb_device", "change");
  EXPECT_FALSE(form.Comm->Active());
  // Any USB device that arrives opens the closed port, and reopens an open one.
  form.CeloCom1->DeviceChange("usb", "usb_device", "add");
  EXPECT_TRUE(form.Comm->Active());
  StatusRecorder statuses(form);
  form.CeloCom1->DeviceChange("usb", "usb_device", "add");
  form.CeloCom1->DeviceChange("usb", "usb_device", "remove");
  EXPECT_TRUE(form.Comm->Active());
  EXPECT_EQ(statuses.texts, (std::vector<std::string>{"Статус: Отключен", "Статус: Подключен",
                                                      "Статус: Отключен", "Статус: Подключен"}));

  // The phone leaves: the reopening fails quietly and the status stays disconnected.
  phone.reset();
  form.CeloCom1->DeviceChange("usb", "usb_device", "remove");
  EXPECT_FALSE(form.Comm->Active());
  EXPECT_EQ(form.Panel1->Text(), Q("Статус: Отключен"));
  EXPECT_TRUE(form.bsSkinMessage1->shown().empty());
}

TEST_F(ConnectionTest, DeviceArrivalDuringAPhoneCommandConnectsAfterIt) {
  PhoneSim phone;
  auto program = StartOn(phone.Device(), /*connect=*/false);
  TForm1& form = program->form1();
  form.Check4->SetChecked(true);

  {
    const PhoneCommandGuard::Hold command = form.PhoneGuard.TryStart();
    ASSERT_TRUE(command);
    EXPECT_FALSE(form.ConnB->isEnabled());
    form.CeloCom1->DeviceChange("usb", "usb_device", "add");
    EXPECT_FALSE(form.Comm->Active());
  }
  EXPECT_TRUE(form.ConnB->isEnabled());
  EXPECT_TRUE(WaitFor([&] { return form.Comm->Active(); }));
}

TEST_F(ConnectionTest, PortListFollowsTheDevicesAndKeepsTheTypedName) {
  auto program = StartProgram();
  TForm1& form = program->form1();
  form.PT->setEditText(QStringLiteral("/dev/my-phone"));
  const auto add_stale_item = [&form] {
    const QSignalBlocker quiet(form.PT);
    form.PT->addItem(QStringLiteral("/dev/gone"));
    form.PT->setEditText(QStringLiteral("/dev/my-phone"));
  };
  add_stale_item();
  form.CeloCom1->DeviceChange("tty", "", "add");
  const std::vector<std::string> devices = SerialDeviceNames();
  ASSERT_EQ(form.PT->count(), static_cast<int>(devices.size()));
  for (int i = 0; i < form.PT->count(); ++i)
    EXPECT_EQ(form.PT->itemText(i).toStdString(), devices[static_cast<std::size_t>(i)]);
  EXPECT_EQ(form.PT->currentText(), Q("/dev/my-phone"));
  EXPECT_EQ(StoredSettings().at("COMPORTUser"), "/dev/my-phone");
  // A USB device's arrival refreshes the list as well.
  add_stale_item();
  form.CeloCom1->DeviceChange("usb", "usb_device", "remove");
  EXPECT_EQ(form.PT->count(), static_cast<int>(devices.size()));
  EXPECT_EQ(form.PT->currentText(), Q("/dev/my-phone"));
}

}  // namespace
}  // namespace missivo::test
