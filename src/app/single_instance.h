// One window per program folder: the first window program on a folder holds
// the lock "Window.lock" in its Data folder for its whole run and listens on
// a local socket named after the folder; a second start on the same folder
// finds the lock taken, asks the first window to come to the front and ends.
#pragma once

#include <QObject>
#include <QString>
#include <chrono>
#include <filesystem>
#include <functional>

class QLocalServer;

namespace missivo {

inline constexpr std::string_view kWindowLockFileName = "Window.lock";

class SingleInstance : public QObject {
 public:
  explicit SingleInstance(std::filesystem::path program_folder, QObject* parent = nullptr);
  ~SingleInstance() override;

  // True when this is the first window on the folder: it holds the lock and
  // listens, and `raise` runs whenever a later start asks. False when another
  // window holds the folder: it has been asked to come to the front (waiting
  // up to `limit` for it to listen), and this start should end.
  bool Claim(std::function<void()> raise,
             std::chrono::milliseconds limit = std::chrono::seconds(10));

  // The local socket's name for the folder (the same for every start of one
  // user on it).
  static QString ServerName(const std::filesystem::path& program_folder);

 private:
  std::filesystem::path folder_;
  int lock_fd_ = -1;
  QLocalServer* server_ = nullptr;
  std::function<void()> raise_;
};

}  // namespace missivo
