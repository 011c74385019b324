#include "app/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <system_error>

#include "core/atomic_file.h"
#include "store/data_files.h"

namespace missivo {
namespace {

constexpr char kRaiseRequest[] = "raise\n";

}  // namespace

SingleInstance::SingleInstance(std::filesystem::path program_folder, QObject* parent)
    : QObject(parent), folder_(std::move(program_folder)) {}

SingleInstance::~SingleInstance() {
  if (server_ != nullptr) server_->close();
  if (lock_fd_ >= 0) ::close(lock_fd_);
}

QString SingleInstance::ServerName(const std::filesystem::path& program_folder) {
  std::error_code error;
  std::filesystem::path folder = std::filesystem::weakly_canonical(program_folder, error);
  if (error) folder = program_folder;
  const QByteArray digest = QCryptographicHash::hash(QByteArray::fromStdString(folder.string()),
                                                     QCryptographicHash::Sha256)
                                .toHex()
                                .left(24);
  return QStringLiteral("missivo-%1-%2").arg(::getuid()).arg(QString::fromLatin1(digest));
}

bool SingleInstance::Claim(std::function<void()> raise, std::chrono::milliseconds limit) {
  const std::filesystem::path data = folder_ / kDataFolderName;
  std::error_code error;
  std::filesystem::create_directories(data, error);
  const std::filesystem::path lock_path = data / kWindowLockFileName;
  lock_fd_ = ::open(lock_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, kDataFileMode);
  // Without a lock file (a read-only folder) every start is a first one.
  if (lock_fd_ < 0) return true;
  const QString name = ServerName(folder_);
  if (::flock(lock_fd_, LOCK_EX | LOCK_NB) == 0) {
    raise_ = std::move(raise);
    // A socket left by a window that was killed is stale: the lock says so.
    QLocalServer::removeServer(name);
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, [this] {
      while (QLocalSocket* peer = server_->nextPendingConnection()) {
        connect(peer, &QLocalSocket::readyRead, peer, [this, peer] {
          if (peer->readAll().contains("raise") && raise_) raise_();
          peer->disconnectFromServer();
        });
        connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
      }
    });
    server_->listen(name);
    return true;
  }
  ::close(lock_fd_);
  lock_fd_ = -1;
  // The first window may still be starting: it listens before its start sequence.
  QElapsedTimer waited;
  waited.start();
  while (waited.elapsed() < limit.count()) {
    QLocalSocket socket;
    socket.connectToServer(name);
    if (socket.waitForConnected(500)) {
      socket.write(kRaiseRequest);
      socket.waitForBytesWritten(1000);
      socket.disconnectFromServer();
      break;
    }
    QThread::msleep(100);
  }
  return false;
}

}  // namespace missivo
