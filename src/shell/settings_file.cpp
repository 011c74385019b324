#include "shell/settings_file.h"

#include <QDir>
#include <QSettings>
#include <QStringList>

#include "shell/qt_text.h"

namespace missivo {

TRzRegIniFile::TRzRegIniFile(QString file)
    : file_(file.isEmpty() ? DefaultSettingsFile() : std::move(file)) {}

TRzRegIniFile::~TRzRegIniFile() = default;

QString TRzRegIniFile::DefaultSettingsFile() {
  QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
  if (!QDir::isAbsolutePath(base)) base = QDir::homePath() + QStringLiteral("/.config");
  return base + QStringLiteral("/Missivo/Missivo.conf");
}

QSettings& TRzRegIniFile::Storage() const {
  // Opened at the first operation and kept open for the run.
  if (!settings_) settings_ = std::make_unique<QSettings>(file_, QSettings::IniFormat);
  return *settings_;
}

QString TRzRegIniFile::StoredKey(const std::string& section, const std::string& key) const {
  QSettings& settings = Storage();
  const QString wanted = ToQString(key);
  settings.beginGroup(ToQString(section));
  const QStringList keys = settings.childKeys();
  settings.endGroup();
  if (keys.contains(wanted)) return wanted;
  for (const QString& stored : keys) {
    if (stored.compare(wanted, Qt::CaseInsensitive) == 0) return stored;
  }
  return {};
}

bool TRzRegIniFile::ValueExists(const std::string& section, const std::string& key) const {
  return !StoredKey(section, key).isEmpty();
}

std::string TRzRegIniFile::ReadString(const std::string& section, const std::string& key,
                                      const std::string& fallback) const {
  const QString stored = StoredKey(section, key);
  if (stored.isEmpty()) return fallback;
  QSettings& settings = Storage();
  settings.beginGroup(ToQString(section));
  const QVariant value = settings.value(stored);
  settings.endGroup();
  // A hand-written value with an unquoted comma reads as a list; keep its text.
  if (value.typeId() == QMetaType::QStringList) {
    return FromQString(value.toStringList().join(QLatin1Char(',')));
  }
  return FromQString(value.toString());
}

void TRzRegIniFile::WriteString(const std::string& section, const std::string& key,
                                const std::string& text) {
  QSettings& settings = Storage();
  QString stored = StoredKey(section, key);
  if (stored.isEmpty()) stored = ToQString(key);
  settings.beginGroup(ToQString(section));
  settings.setValue(stored, ToQString(text));
  settings.endGroup();
  settings.sync();
}

}  // namespace missivo
