#include "app/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>

#include "app/application.h"
#include "app/auto_backup.h"
#include "app/exchange_texts.h"
#include "app/file_dialog.h"
#include "app/password_windows.h"
#include "app/plain_labels.h"
#include "app/qt_invoker.h"
#include "app/qt_user_interface.h"
#include "app/splash.h"
#include "app/terminal_view.h"
#include "core/secrets.h"
#include "phone/at_exchange.h"
#include "phone/serial/com_port.h"
#include "shell/qt_text.h"

namespace missivo {

TForm1::TForm1(Options options, QWidget* parent)
    : QMainWindow(parent),
      RzRegIniFile1(options.settings_file),
      program_folder_(std::move(options.program_folder)),
      store_(std::make_unique<DataStore>(program_folder_, Lock, DamagePolicy::kSetAside)) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("Missivo 3.3"));
  BuildFrame();
  BuildMenus();
  BuildMessageTabs();
  BuildTerminalTab();
  BuildSettingsTab();
  BuildAboutTab();
  BuildDialogs();
  bsSkinMessage1 = std::make_unique<QtUserInterface>(this, ProgressBar, ProgressText);
  ConnectTransferCommands();
  ConnectExchangeCommands();
  BuildComposeCommands();
  bsSkinMessage1->SetScripted(options.scripted_dialogs);
  if (options.scripted_dialogs) {
    for (TFileDialog* dialog : {Save, Save2, Open1})
      dialog->SetScripted(true);
  }
  BuildPhoneLink();
  AutoBackup1 = new AutoBackup(*this);

  // Client area 758 x 600, centred on the screen.
  resize(758, 600);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame(QPoint(0, 0), size());
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }

  Timer3 = new QTimer(this);
  Timer3->setObjectName(QStringLiteral("Timer3"));
  Timer3->setInterval(1);
  connect(Timer3, &QTimer::timeout, this, &TForm1::Timer3Timer);
  ShowLabelsPlain(this);
  FormCreate();
}

TForm1::~TForm1() {
  ShutDownPhoneLink();
  MissivoApplication::SetExceptionHandler({});
}

void TForm1::AttachWindows(TForm2* splash, TPassForm* password_window) {
  Form2 = splash;
  PassForm = password_window;
  PassForm->OnOk = [this] { return PassFormOk(); };
}

void TForm1::bsSkinSpeedButton1Click() {
  if (PassForm == nullptr) return;
  PassForm->PrepareToShow(!Lock.password.empty());
  PassForm->exec();
  PassForm->WipeFields();
}

void TForm1::N6Click() {
  bsSkinSpeedButton1Click();
}

bool TForm1::PassFormOk() {
  const PasswordDialogFields fields = {SecretFromField(PassForm->E1), SecretFromField(PassForm->P2),
                                       SecretFromField(PassForm->P3), SecretFromField(PassForm->KQ),
                                       SecretFromField(PassForm->KA)};
  std::string old_password = Lock.locked ? Lock.password : std::string();
  const ScopedWipe wipe_old(old_password);
  Result<FolderLock::Hold> hold = Store().folder_lock().Take();
  if (!hold.ok()) {
    bsSkinMessage1->ShowMessage(hold.message(), MessageKind::kError);
    return false;
  }
  switch (PasswordDialogOk(Lock, fields, Files().password, Lang, *bsSkinMessage1)) {
    case PasswordDialogResult::kWrongOldPassword:
      return false;
    case PasswordDialogResult::kMismatch:
      WipeField(PassForm->P2);
      WipeField(PassForm->P3);
      return false;
    case PasswordDialogResult::kRemoved:
    case PasswordDialogResult::kSet:
      break;
  }
  // The files take the new form at once: the layer never comes off on disk.
  if (const Status relocked = Store().Relock(old_password); !relocked.ok())
    bsSkinMessage1->ShowMessage(relocked.message(), MessageKind::kError);
  return true;
}

QString TForm1::LangString(std::string_view key) const {
  return ToQString(Lang.LangText(key));
}

void TForm1::BuildDialogs() {
  Save = new TFileDialog(TFileDialog::Kind::kSave, QStringLiteral("Save"), this);
  Save->DefaultExt = QStringLiteral("*.txt");
  Save->Filter = QStringLiteral("Текстовый файл (*.txt)|*.txt|Все файлы (*.*)|*.*");
  Save2 = new TFileDialog(TFileDialog::Kind::kSave, QStringLiteral("Save2"), this);
  Save2->DefaultExt = QStringLiteral("*.html");
  Save2->Filter = QStringLiteral("Html файл (*.html)|*.html|Текстовый файл (*.txt)|*.txt|") +
                  ToQString(ExchangeText(LanguageLines(), kExportTypesKey));
  Open1 = new TFileDialog(TFileDialog::Kind::kOpen, QStringLiteral("Open1"), this);
  Open1->Filter = QStringLiteral(
      "Сообщения P2kTools (*.txt)|*.txt|Сообщения Missivo 1.x входящие (*.msg)|*.msg");
}

void TForm1::N3Click() {
  bsSkinPageControl1->setCurrentWidget(bsSkinTabSheet2);
}

void TForm1::N9Click() {
  exit_requested_ = true;
  close();
}

void TForm1::bsSkinSpeedButton5Click() {
  exit_requested_ = true;
  close();
}

void TForm1::bsSkinPageControl1Change() {
  Text1->clear();
}

void TForm1::closeEvent(QCloseEvent* event) {
  // With automatic backup on, the window's close button leaves it in the tray.
  if (!std::exchange(exit_requested_, false) && AutoBackup1->ClosesToTray()) {
    hide();
    event->ignore();
    return;
  }
  // A phone command still running would save after the exit sequence: the
  // window closes when it has ended, which closing the port hurries.
  if (PhoneCommandRunning()) {
    close_after_command_ = true;
    ClosePort();
    event->ignore();
    return;
  }
  if (!closing_done_) {
    closing_done_ = true;
    FormCloseQuery();
  }
  event->accept();
}

void TForm1::BringToFront() {
  QWidget* target = QApplication::activeModalWidget();
  if (target == nullptr) target = this;
  if (!target->isVisible()) return;
  target->setWindowState(target->windowState() & ~Qt::WindowMinimized);
  target->raise();
  target->activateWindow();
  ++raised_;
}

void TForm1::ShowApplicationError(std::exception_ptr error) {
  std::string text;
  try {
    std::rethrow_exception(error);
  } catch (const ESilentAbort&) {
    return;  // the user has been told already, or need not be
  } catch (const std::exception& e) {
    text = e.what();
  } catch (...) {
    text = "Unknown error";
  }
  bsSkinMessage1->ShowMessage(text, MessageKind::kError);
}

}  // namespace missivo
