#include "app/file_dialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QWidget>

namespace missivo {

QStringList ConvertDialogFilter(const QString& filter) {
  QStringList result;
  const QStringList parts = filter.split(QLatin1Char('|'));
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString description = parts[i].trimmed();
    QStringList masks = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString& mask : masks)
      mask = mask.trimmed();
    const QString joined = masks.join(QLatin1Char(' '));
    const QString suffix = QStringLiteral("(%1)").arg(joined);
    if (description.endsWith(suffix) || joined.isEmpty()) {
      result << (description.isEmpty() ? joined : description);
    } else {
      result << QStringLiteral("%1 %2").arg(description, suffix).trimmed();
    }
  }
  return result;
}

TFileDialog::TFileDialog(Kind kind, const QString& name, QWidget* owner)
    : QObject(owner), kind_(kind), owner_(owner) {
  setObjectName(name);
}

void TFileDialog::SetNextFile(const QString& file, int filter_index) {
  script_.push_back({file, filter_index});
}

void TFileDialog::SetNextCancel() {
  script_.push_back({std::nullopt, 1});
}

QString TFileDialog::WithDefaultExtension(const QString& file) const {
  QString extension = DefaultExt;
  while (extension.startsWith(QLatin1Char('*')) || extension.startsWith(QLatin1Char('.'))) {
    extension.remove(0, 1);
  }
  if (kind_ != Kind::kSave || extension.isEmpty() || file.isEmpty()) return file;
  if (!QFileInfo(file).suffix().isEmpty()) return file;
  return file + QLatin1Char('.') + extension;
}

bool TFileDialog::Execute() {
  if (!script_.empty()) {
    const Scripted next = script_.front();
    script_.pop_front();
    if (!next.file) return false;
    // As a user would: picking another type first, then confirming.
    if (next.filter_index != FilterIndex && OnTypeChange) OnTypeChange(next.filter_index);
    FilterIndex = next.filter_index;
    FileName = WithDefaultExtension(*next.file);
    return true;
  }
  if (scripted_) return false;

  const QStringList filters = ConvertDialogFilter(Filter);
  QFileDialog dialog(owner_, Title);
  dialog.setObjectName(objectName());
  dialog.setAcceptMode(kind_ == Kind::kSave ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(kind_ == Kind::kSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setNameFilters(filters);
  if (FilterIndex >= 1 && FilterIndex <= filters.size()) {
    dialog.selectNameFilter(filters[FilterIndex - 1]);
  }
  if (!FileName.isEmpty()) dialog.selectFile(FileName);
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& chosen) {
    const int index = static_cast<int>(filters.indexOf(chosen)) + 1;
    if (index >= 1 && OnTypeChange) OnTypeChange(index);
  });
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  FilterIndex = static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1;
  if (FilterIndex < 1) FilterIndex = 1;
  FileName = WithDefaultExtension(dialog.selectedFiles().constFirst());
  return true;
}

}  // namespace missivo
