// TRzRegIniFile: the settings store, named text values grouped in sections.
// On this platform it is an INI file read and written through QSettings:
// $XDG_CONFIG_HOME/Missivo/Missivo.conf (by default ~/.config/Missivo/Missivo.conf),
// which users and scripts may edit. Every write reaches the file at once.
// Texts are Windows-1251 here and UTF-8 in the file.
#pragma once

#include <QString>
#include <memory>
#include <string>

#include "store/settings_interface.h"

class QSettings;

namespace missivo {

class TRzRegIniFile : public SettingsStore {
 public:
  // The store in `file`; an empty name means DefaultSettingsFile().
  explicit TRzRegIniFile(QString file = {});
  ~TRzRegIniFile() override;
  TRzRegIniFile(const TRzRegIniFile&) = delete;
  TRzRegIniFile& operator=(const TRzRegIniFile&) = delete;

  // $XDG_CONFIG_HOME/Missivo/Missivo.conf, or ~/.config/Missivo/Missivo.conf.
  static QString DefaultSettingsFile();

  const QString& file() const { return file_; }

  // Whether the section holds a value of that name (names compared without
  // regard to case).
  bool ValueExists(const std::string& section, const std::string& key) const override;
  // The stored text, or `fallback` when the section or the value is missing.
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& fallback) const override;
  // Stores the text and writes the file.
  void WriteString(const std::string& section, const std::string& key,
                   const std::string& text) override;

 private:
  // The stored name of `key` in `section`, matched without regard to case;
  // empty when there is none.
  QString StoredKey(const std::string& section, const std::string& key) const;
  QSettings& Storage() const;

  QString file_;
  mutable std::unique_ptr<QSettings> settings_;
};

}  // namespace missivo
