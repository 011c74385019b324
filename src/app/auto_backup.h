// Automatic backup in the window. With the setting AutoRead on, every opening
// of the port (by hand, at start, or by the device watch when the phone is
// plugged in) is followed by the read command with the read settings as they
// are; the result goes to the status bar and to a desktop notification
// (the freedesktop notification service over D-Bus, else the tray icon's
// message; nothing where neither runs). Where the desktop has a tray, a tray
// icon is shown while the setting is on, and closing the window hides it
// there ("Выход" still ends the program).
#pragma once

#include <QObject>
#include <QString>
#include <chrono>
#include <cstddef>
#include <functional>
#include <string>

#include "text/language.h"

class QSystemTrayIcon;

namespace missivo {

class TForm1;

// The text after a read at connection: kArchivedFromLine with the number of
// new archive rows and the phone's name (Windows-1251).
std::string ArchivedFromText(const LanguageLines& language, std::size_t archived,
                             const std::string& phone);

class AutoBackup : public QObject {
  Q_OBJECT

 public:
  explicit AutoBackup(TForm1& form);
  ~AutoBackup() override;

  // The port has opened: the read follows once the connect has ended.
  void PortOpened();
  // The port would not open because another program holds it (the service
  // reading the phone, say): with the setting on, the connect is tried again
  // after `retry_interval` while the port stays closed.
  void PortRefused();
  std::chrono::milliseconds retry_interval{10000};

  // The setting was switched (or loaded): the tray icon follows it.
  void SettingChanged();
  // Whether closing the window hides it in the tray instead.
  bool ClosesToTray() const;

  // Where notifications go; by default the desktop's (tests record them).
  std::function<void(const QString& text)> notify;

 private:
  void ReadAfterConnect();
  void NotifyDesktop(const QString& text);

  TForm1& form_;
  QSystemTrayIcon* tray_ = nullptr;
  bool read_queued_ = false;
  bool retry_queued_ = false;
};

}  // namespace missivo
