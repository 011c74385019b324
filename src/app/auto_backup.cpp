#include "app/auto_backup.h"

#include <QAction>
#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QVariantMap>

#include "app/auto_backup_texts.h"
#include "app/check_box.h"
#include "app/guard.h"
#include "app/main_window.h"
#include "app/read_trouble.h"
#include "phone/com_error.h"
#include "phone/read_command.h"
#include "phone/serial/com_port.h"
#include "shell/qt_text.h"
#include "text/cp1251.h"

namespace missivo {
namespace {

const QString kNotifications = QStringLiteral("org.freedesktop.Notifications");

// The freedesktop notification service, when one runs on the session bus.
bool NotifyOverDBus(const QString& text) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected() || bus.interface() == nullptr ||
      !bus.interface()->isServiceRegistered(kNotifications).value()) {
    return false;
  }
  QDBusMessage call = QDBusMessage::createMethodCall(
      kNotifications, QStringLiteral("/org/freedesktop/Notifications"), kNotifications,
      QStringLiteral("Notify"));
  call << QStringLiteral("Missivo") << 0u << QStringLiteral("missivo") << QStringLiteral("Missivo")
       << text << QStringList() << QVariantMap() << -1;
  return bus.send(call);
}

}  // namespace

std::string ArchivedFromText(const LanguageLines& language, std::size_t archived,
                             const std::string& phone) {
  return FillIn(language.LangText(kArchivedFromLine), {std::to_string(archived), phone});
}

AutoBackup::AutoBackup(TForm1& form) : QObject(&form), form_(form) {
  notify = [this](const QString& text) { NotifyDesktop(text); };
}

AutoBackup::~AutoBackup() = default;

void AutoBackup::PortOpened() {
  // The connect holds the phone command guard until it returns, and at start
  // the settings are loaded after the automatic connection.
  if (std::exchange(read_queued_, true)) return;
  QMetaObject::invokeMethod(
      this,
      [this] {
        read_queued_ = false;
        RunGuarded([this] { ReadAfterConnect(); });
      },
      Qt::QueuedConnection);
}

void AutoBackup::PortRefused() {
  if (!form_.AutoRead->isChecked() || std::exchange(retry_queued_, true)) return;
  QTimer::singleShot(retry_interval, this, [this] {
    retry_queued_ = false;
    if (!form_.AutoRead->isChecked() || form_.Comm->Active()) return;
    // A refusal again shows its status and comes back here; other failures
    // (the phone has gone) end the retries.
    try {
      form_.ConnectPort();
    } catch (const EComError&) {
    }
  });
}

void AutoBackup::ReadAfterConnect() {
  if (!form_.AutoRead->isChecked() || !form_.Comm->Active()) return;
  const QString device = QString::fromStdString(form_.Comm->DeviceName());
  const ReadCommandResult result = form_.ReadMessages();
  // Another phone command was running, or the phone went away meanwhile.
  if (result.outcome == ReadCommandOutcome::kBusy || !result.port_open) return;
  // The phone by the name it gave ("huawei E3372"), else by its device.
  const QString name = form_.DevicePanel->text();
  const std::string phone = FromQString(name.isEmpty() ? device : name);
  // What the read could not do, else the new messages the saved archive holds.
  const std::string trouble = ReadTroubleText(result, form_.Lang);
  const QString text = ToQString(
      trouble.empty() ? ArchivedFromText(form_.Lang, result.archived_saved, phone) : trouble);
  form_.ProgressText->setText(text);
  if (notify) notify(text);
}

void AutoBackup::NotifyDesktop(const QString& text) {
  if (NotifyOverDBus(text)) return;
  if (tray_ != nullptr && tray_->isVisible() && QSystemTrayIcon::supportsMessages()) {
    tray_->showMessage(QStringLiteral("Missivo"), text);
  }
}

void AutoBackup::SettingChanged() {
  const bool wanted = form_.AutoRead->isChecked() && QSystemTrayIcon::isSystemTrayAvailable();
  if (wanted && tray_ == nullptr) {
    tray_ = new QSystemTrayIcon(QIcon(QStringLiteral(":/missivo.svg")), this);
    tray_->setToolTip(QStringLiteral("Missivo"));
    auto* menu = new QMenu(&form_);
    QAction* exit = menu->addAction(form_.LangString("Str37"));  // "Выход"
    connect(menu, &QMenu::aboutToShow, this,
            [this, exit] { exit->setText(form_.LangString("Str37")); });
    connect(exit, &QAction::triggered, &form_, &TForm1::N9Click);
    tray_->setContextMenu(menu);
    connect(tray_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason why) {
              if (why != QSystemTrayIcon::Trigger && why != QSystemTrayIcon::DoubleClick) return;
              form_.showNormal();
              form_.BringToFront();
            });
  }
  if (tray_ != nullptr) tray_->setVisible(wanted);
}

bool AutoBackup::ClosesToTray() const {
  return tray_ != nullptr && tray_->isVisible() && form_.AutoRead->isChecked();
}

}  // namespace missivo
