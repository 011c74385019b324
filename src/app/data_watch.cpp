// Rows that other Missivo programs (missivo-cli, the watcher service) write
// into the data files reach the window without a restart. Every save renames
// a new file into the Data folder, so the folder is watched; a change is
// taken in through the stored files' merge, which keeps this window's own
// unsaved changes. It waits while a command of the window holds row
// positions (a phone command, the edit panel, an import, a question on the
// screen, an operation letting events run).
#include <QApplication>
#include <QFile>
#include <QFileSystemWatcher>
#include <QMenu>
#include <QTimer>

#include "app/main_window.h"
#include "app/qt_user_interface.h"
#include "app/row_model.h"

namespace missivo {
namespace {

// A burst of changes (temporary file, rename) is taken in once.
constexpr int kSettleMs = 150;

}  // namespace

void TForm1::WatchDataFiles() {
  if (data_watch_ != nullptr) return;
  data_watch_ = new QFileSystemWatcher(this);
  data_watch_->addPath(QFile::decodeName(DataFolder().c_str()));
  data_change_timer_ = new QTimer(this);
  data_change_timer_->setSingleShot(true);
  data_change_timer_->setInterval(kSettleMs);
  connect(data_watch_, &QFileSystemWatcher::directoryChanged, data_change_timer_,
          qOverload<>(&QTimer::start));
  connect(data_change_timer_, &QTimer::timeout, this, [this] { TakeInDataChanges(); });
}

bool TForm1::CommandHoldsRows() const {
  return PhoneCommandRunning() || !SMSEdit->isHidden() || !N17->isEnabled() ||
         QApplication::activeModalWidget() != nullptr || bsSkinMessage1->InsideOperation();
}

void TForm1::TakeInDataChanges() {
  if (closing_done_) return;
  if (CommandHoldsRows()) {
    data_change_timer_->start();
    return;
  }
  const struct {
    RowListModel* rows;
    StoredList* file;
  } lists[] = {{List4Rows, &Store().archive()}, {List2Rows, &Store().phonebook()}};
  for (const auto& list : lists) {
    if (!list.file->ChangedOnDisk()) continue;
    const Result<bool> changed = list.file->TakeInChanges(list.rows->rows(), *bsSkinMessage1);
    if (!changed.ok()) {
      bsSkinMessage1->ShowMessage(changed.message(), MessageKind::kError);
    } else if (changed.value()) {
      list.rows->Refresh();
    }
  }
}

}  // namespace missivo
