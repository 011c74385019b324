// TRzRegIniFile: the settings store, named text values grouped in sections.
// On this platform it is an INI file read and written through QSettings:
// $XDG_CONFIG_HOME/Missivo/Missivo.conf (by default ~/.config/Missivo/Missivo.conf),
// which users and scripts may edit. Every write reaches the file at once.
// Texts are Windows-1251 here and UTF-8 in the file.
#pragma once

#include <QString>
#include <memory>
#include <string>
#include <string_view>

class QSettings;

namespace missivo {

class TRzRegIniFile {
 public:
  // The store in `file`; an empty name means DefaultSettingsFile().
  explicit TRzRegIniFile(QString file = {});
  ~TRzRegIniFile();
  TRzRegIniFile(const TRzRegIniFile&) = delete;
  TRzRegIniFile& operator=(const TRzRegIniFile&) = delete;

  // $XDG_CONFIG_HOME/Missivo/Missivo.conf, or ~/.config/Missivo/Missivo.conf.
  static QString DefaultSettingsFile();

  const QString& file() const { return file_; }

  // Whether the section holds a value of that name (names compared without
  // regard to case).
  bool ValueExists(std::string_view section, std::string_view key);
  // The stored text, or `fallback` when the section or the value is missing.
  std::string ReadString(std::string_view section, std::string_view key, std::string_view fallback);
  // Stores the text and writes the file.
  void WriteString(std::string_view section, std::string_view key, std::string_view text);

 private:
  // The stored name of `key` in `section`, matched without regard to case;
  // empty when there is none.
  QString StoredKey(std::string_view section, std::string_view key);
  QSettings& Storage();

  QString file_;
  std::unique_ptr<QSettings> settings_;
};

}  // namespace missivo
