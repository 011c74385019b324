// Connecting to the phone: the serial port Comm with its handlers, the status
// panel, the device watch CeloCom1 and the port list PT.
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMetaObject>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <utility>

#include "app/auto_backup.h"
#include "app/celo_com.h"
#include "app/check_box.h"
#include "app/event_hook.h"
#include "app/file_dialog.h"
#include "app/guard.h"
#include "app/image_list.h"
#include "app/main_window.h"
#include "app/phone_command_scope.h"
#include "app/qt_invoker.h"
#include "app/qt_user_interface.h"
#include "app/status_panel.h"
#include "app/terminal_view.h"
#include "phone/at_exchange.h"
#include "phone/serial/com_port.h"
#include "phone/serial/serial_devices.h"
#include "phone/terminal_log.h"
#include "shell/qt_text.h"
#include "text/cp1251.h"

namespace missivo {
namespace {

// The line errors after the break, in the order their boxes come, with their fixed texts.
constexpr std::pair<TLineError, const char*> kLineErrorTexts[] = {
    {TLineError::leDeviceNotSelected, "Device not selected"},
    {TLineError::leFrame, "Frame error"},
    {TLineError::leIO, "IO error"},
    {TLineError::leMode, "Mode error"},
    {TLineError::leOutOfPaper, "Out of paper"},
    {TLineError::leOverrun, "Overrun error"},
    {TLineError::leDeviceTimeOut, "Device timeout"},
    {TLineError::leRxOverflow, "Receiver overflow"},
    {TLineError::leParity, "Parity error"},
    {TLineError::leTxFull, "Transmitter full"},
};

// The commands that start a conversation with the phone ("Отключить" only
// closes the port, and stays: it is the way to stop a long read).
void EnablePhoneCommands(TForm1& form, bool enabled) {
  for (QAction* item : {form.N10, form.N18, form.N19, form.MenuItem1, form.MenuItem2})
    item->setEnabled(enabled);
  for (QToolButton* button : {form.ConnB, form.bsSkinSpeedButton3})
    button->setEnabled(enabled);
  form.bsSkinButton1->setEnabled(enabled);
}

// Permission denied on the device: its own message, which names the device's group.
constexpr std::int32_t kErrorAccessDenied = 13;

}  // namespace

void TForm1::BuildPhoneLink() {
  CommInvoker = std::make_unique<QtMainThreadInvoker>();
  Comm = std::make_unique<TComPort>();
  Comm->SetMainThreadInvoker(CommInvoker.get());
  PhoneGuard.on_change = [this](bool busy) { PhoneGuardChange(busy); };
  Comm->AfterOpen = [this](TCustomComPort&) { CommAfterOpen(); };
  Comm->AfterClose = [this](TCustomComPort&) { CommAfterClose(); };
  Comm->OnLineError = [this](TCustomComPort&, TLineErrors errors) { CommLineError(errors); };
  Comm->OnError = [this](TCustomComPort&, const EComError& error, TComAction& action) {
    CommError(error, action);
  };

  Terminal = std::make_unique<TerminalView>(
      TermSkrin, program_folder_ / kTerminalLogName, [this] { return Check3->isChecked(); },
      [this](const Status& failure) {
        bsSkinMessage1->ShowMessage(failure.message(), MessageKind::kError);
      });
  Exchange = std::make_unique<AtExchange>(*Comm, *Terminal, *bsSkinMessage1, Lang);

  CeloCom1 = new TCeloCom(this);
  CeloCom1->OnUSBArrival = [this](TCeloCom&) { CeloCom1USBArrival(); };
  CeloCom1->OnUSBRemove = [this](TCeloCom&) { CeloCom1USBRemove(); };
  CeloCom1->OnPortsChange = [this](TCeloCom&) { RefreshPortList(); };

  connect(ConnB, &QToolButton::clicked, this, Guarded([this] { ConnBClick(); }));
  connect(N10, &QAction::triggered, this, Guarded([this] { N10Click(); }));
  connect(bsSkinSpeedButton2, &QToolButton::clicked, this,
          Guarded([this] { bsSkinSpeedButton2Click(); }));
  connect(N11, &QAction::triggered, this, Guarded([this] { N11Click(); }));

  connect(bsSkinButton1, &QPushButton::clicked, this, Guarded([this] { bsSkinButton1Click(); }));
  connect(bsSkinButton2, &QPushButton::clicked, this, Guarded([this] { bsSkinButton2Click(); }));
  connect(bsSkinButton3, &QPushButton::clicked, this, Guarded([this] { bsSkinButton3Click(); }));
  connect(TermSkrin, &QPlainTextEdit::textChanged, this, Guarded([this] { TermSkrinChange(); }));
  // The keys typed into the command box reach the combo box, which hands them to
  // its line edit itself (past any filter on the line edit).
  OnKeyUp(ATField, [this](int key) { ATFieldKeyUp(key); });
  Save->OnTypeChange = [this](int) { SaveTypeChange(); };
  ConnectListHandlers();
}

void TForm1::ShutDownPhoneLink() {
  // The window's widgets and texts must not be touched by a port that closes
  // after them.
  PhoneGuard.on_change = nullptr;
  if (Comm) {
    Comm->AfterOpen = nullptr;
    Comm->AfterClose = nullptr;
    Comm->OnLineError = nullptr;
    Comm->OnError = nullptr;
  }
  Exchange.reset();
  Comm.reset();
  CommInvoker.reset();
}

void TForm1::ConnectPort() {
  PhoneCommandScope command(*this);
  if (!command) {
    connect_pending_ = true;
    return;
  }
  // An open port is closed and opened again with the settings shown now.
  if (Comm->Active()) Comm->SetActive(false);
  Comm->SetBaudRate(TBaudRate::brCustom);
  Comm->SetCustomBaudRate(SpeedValue());
  // A device path is file system bytes, not text of the code page.
  Comm->SetDeviceName(PT->currentText().toStdString());
  Comm->SetActive(true);
}

void TForm1::ClosePort() {
  if (Comm) Comm->Close();
}

void TForm1::ConnBClick() {
  try {
    ConnectPort();
  } catch (const EComError& error) {
    if (error.ErrorCode() != kErrorNoDevice) throw;
    // The system's own text ("No such file or directory") names neither the
    // device nor the program's language.
    bsSkinMessage1->ShowMessage(FillIn(LangText("Str113"), {Utf8ToCp1251(Comm->DeviceName())}),
                                MessageKind::kError);
  }
}

void TForm1::N10Click() {
  ConnBClick();
}

void TForm1::bsSkinSpeedButton2Click() {
  Comm->Close();
  Panel1->SetImage(kImageStatusDisconnected);
  Panel1->SetText(LangString("Str6"));
}

void TForm1::N11Click() {
  bsSkinSpeedButton2Click();
}

void TForm1::CommAfterOpen() {
  hang_up_shown_ = false;
  Profile.Forget();
  ShowDevice();
  ShowPortState();
  Speed->setEnabled(false);
  AutoBackup1->PortOpened();
}

void TForm1::CommAfterClose() {
  Profile.Forget();
  ShowDevice();
  ShowPortState();
  Speed->setEnabled(true);
}

void TForm1::ShowPortState() {
  const bool open = Comm && Comm->Active();
  Panel1->SetImage(open ? kImageStatusConnected : kImageStatusDisconnected);
  Panel1->SetText(LangString(open ? "Str61" : "Str6"));
}

void TForm1::CommLineError(TLineErrors errors) {
  if (errors.Contains(TLineError::leBreak)) {
    bsSkinMessage1->ShowMessage(LangText("Str62"), MessageKind::kError);
    hang_up_shown_ = true;
    Comm->SetActive(false);
  }
  for (const auto& [error, text] : kLineErrorTexts) {
    if (errors.Contains(error)) bsSkinMessage1->ShowMessage(text, MessageKind::kError);
  }
}

void TForm1::CommError(const EComError& error, TComAction& action) {
  switch (error.ErrorCode()) {
    case kErrorDeviceNotWorking:
    case 0:
    case kErrorNoDevice:
      Comm->SetActive(false);
      // The failed transfer of a hang-up: "device not found" has just been
      // shown, so the error ends its command silently instead of a second box.
      if (error.ErrorCode() == kErrorDeviceNotWorking && std::exchange(hang_up_shown_, false))
        action = TComAction::caAbort;
      return;
    case kErrorBusy:
      Panel1->SetImage(kImageStatusBusy);
      Panel1->SetText(LangString("Str63"));
      AutoBackup1->PortRefused();
      return;
    case kErrorAccessDenied:
      bsSkinMessage1->ShowMessage(error.what(), MessageKind::kError);
      action = TComAction::caAbort;
      return;
    default:
      bsSkinMessage1->ShowMessage(
          LangText("Str93") + std::to_string(error.ErrorCode()) + ": " + error.what(),
          MessageKind::kError);
      action = TComAction::caAbort;
  }
}

// A connect asked for by the device watch. Its port failures have shown their
// status already; a phone that has gone must not bring up a box at every
// device that comes or goes.
void TForm1::ConnectFromDeviceWatch() {
  try {
    ConnectPort();
  } catch (const EComError&) {
  }
}

void TForm1::CeloCom1USBArrival() {
  RefreshPortList();
  if (Check4->isChecked()) ConnectFromDeviceWatch();
}

void TForm1::CeloCom1USBRemove() {
  RefreshPortList();
  if (Check4->isChecked()) ConnectFromDeviceWatch();
}

void TForm1::PhoneGuardChange(bool busy) {
  EnablePhoneCommands(*this, !busy);
  if (busy) return;
  if (std::exchange(close_after_command_, false)) {
    QMetaObject::invokeMethod(this, &TForm1::close, Qt::QueuedConnection);
    return;
  }
  // A device that came or went meanwhile gets its connect now.
  if (std::exchange(connect_pending_, false)) {
    QMetaObject::invokeMethod(
        this, [this] { RunGuarded([this] { ConnectFromDeviceWatch(); }); }, Qt::QueuedConnection);
  }
}

void TForm1::RefreshPortList() {
  const QString text = PT->currentText();
  const QSignalBlocker quiet(PT);
  PT->clear();
  for (const std::string& device : SerialDeviceNames())
    PT->addItem(QString::fromStdString(device));
  PT->setEditText(text);
}

const DeviceProfile& TForm1::PhoneProfile() {
  const DeviceProfile& profile = Profile.Get(*Exchange);
  ShowDevice();
  return profile;
}

// "huawei E3372" once the device has said who it is; nothing before, or for a
// kind forced without asking.
void TForm1::ShowDevice() {
  const DeviceIdentity* identity = Profile.Identity();
  QString text;
  if (identity != nullptr) {
    text = QString::fromUtf8(identity->maker + " " + identity->model).trimmed();
  }
  DevicePanel->setText(text);
  DevicePanel->setVisible(!text.isEmpty());
}

}  // namespace missivo
